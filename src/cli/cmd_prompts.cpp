// korvo prompts CONNECT QUERYFILE: the values a saved query asks for when it
// runs, in the order the prompt dialog shows them.

#include "builder/query_files.h"
#include "builder/workspace.h"
#include "cli/cli_login.h"
#include "cli/subcommand.h"
#include "db/connection.h"
#include "db/tab_separated.h"
#include "kernel/interaction.h"
#include "sqlgen/prompts.h"

namespace korvo::cli {
namespace {

QString kindName(sqlgen::PromptRequest::Kind kind) {
  switch (kind) {
    case sqlgen::PromptRequest::Condition:
      return QStringLiteral("condition");
    case sqlgen::PromptRequest::ObjectPrompt:
      return QStringLiteral("prompt");
    case sqlgen::PromptRequest::Variable:
      return QStringLiteral("variable");
  }
  return QString();
}

int runPrompts(const QStringList& arguments, CliStreams& streams) {
  const char* usage = "Usage: korvo prompts user/password@alias QUERYFILE [--lang FR|AN]\n";
  int status = kExitOk;
  std::optional<SavedQueryArguments> args =
      readSavedQueryArguments(arguments, "prompts", usage, streams, status);
  if (!args) return status;
  std::unique_ptr<db::Connection> connection = openLogin(args->connect, streams);
  if (!connection) return kExitFailure;
  kernel::RecordingInteraction interaction;
  builder::Workspace workspace(args->state, *connection, interaction);
  const auto fail = [&](const QString& message) {
    streams.err << "korvo prompts: " << message << '\n';
    connection->close();
    return kExitFailure;
  };
  const builder::QueryFileResult opened = builder::openQuery(args->queryFile, workspace.grids());
  if (!opened.ok()) return fail(opened.error);
  if (const std::optional<QString> refused = loadUniverse(workspace)) return fail(*refused);
  const sqlgen::PromptCollection prompts = sqlgen::collectPrompts(
      workspace.grids().objects(), workspace.grids().conditions(), workspace.catalogue());
  if (!prompts.error.isEmpty()) return fail(sqlgen::promptFaultMessage(workspace.appState().language, prompts.error));
  for (const sqlgen::PromptRequest& p : prompts.prompts) {
    QStringList fields{kindName(p.kind), p.label};
    if (p.kind == sqlgen::PromptRequest::Condition) fields << p.operatorLabel;
    streams.out << db::tabSeparatedLine(fields) << '\n';
  }
  connection->close();
  return kExitOk;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("prompts"),
    QStringLiteral("user/password@alias QUERYFILE [--lang FR|AN]"),
    QStringLiteral("list the values a saved query asks for when it runs"),
    QStringLiteral(
        "Prints, one a line and in the order the prompt dialog asks them, the prompts a\n"
        "run of the saved query QUERYFILE would ask for: the kind (condition, prompt or\n"
        "variable), a tab, the label (the object name of a condition prompt, the question\n"
        "of an @Prompt, the name of an @Variable) and, for a condition prompt, a tab and\n"
        "its operator. The labels are the QUESTION of --prompt QUESTION=ANSWER for korvo\n"
        "generate and korvo run. Exit status 1 when a file is missing or invalid or the\n"
        "schema holds no universe; 2 for a malformed command line.\n"),
    runPrompts,
}};

}  // namespace
}  // namespace korvo::cli
