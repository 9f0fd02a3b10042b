// korvo generate CONNECT QUERYFILE: the statement the query builder would run
// for a saved query, one MemoSql line per output line.

#include <QFileInfo>

#include "builder/query_files.h"
#include "builder/workspace.h"
#include "cli/cli_login.h"
#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "db/connection.h"
#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "sqlgen/prompts.h"
#include "sqlgen/sql_generation.h"

namespace korvo::cli {
namespace {

int runGenerate(const QStringList& arguments, CliStreams& streams) {
  const char* usage =
      "Usage: korvo generate user/password@alias QUERYFILE [--lang FR|AN] [--prompt Q=A ...]\n";
  QStringList rest = arguments;
  int status = kExitOk;
  std::optional<SavedQueryArguments> args =
      readSavedQueryArguments(rest, "generate", usage, streams, status, true);
  if (!args) return status;
  kernel::AppState& state = args->state;
  const QString& queryFile = args->queryFile;
  const db::ConnectString* connect = &args->connect;

  std::unique_ptr<db::Connection> connection = openLogin(*connect, streams);
  if (!connection) return kExitFailure;
  kernel::RecordingInteraction interaction;
  builder::Workspace workspace(state, *connection, interaction);
  const auto fail = [&](const QString& message) {
    streams.err << "korvo generate: " << message << '\n';
    connection->close();
    return kExitFailure;
  };

  // Both files are read and checked before the grids take them.
  const builder::QueryFileResult opened = builder::openQuery(queryFile, workspace.grids());
  if (!opened.ok()) return fail(opened.error);

  if (const std::optional<QString> refused = loadUniverse(workspace)) return fail(*refused);

  // The prompts' answers, as the prompt dialog would give them.
  builder::QueryGrids& grids = workspace.grids();
  sqlgen::PromptCollection prompts =
      sqlgen::collectPrompts(grids.objects(), grids.conditions(), workspace.catalogue());
  if (!prompts.error.isEmpty()) return fail(sqlgen::promptFaultMessage(workspace.appState().language, prompts.error));
  QString unanswered;
  if (!answerPrompts(args->promptAnswers, prompts.prompts, unanswered))
    return fail(QStringLiteral("the prompt \"%1\" has no answer: give it with --prompt \"%1=ANSWER\"")
                    .arg(unanswered));
  sqlgen::writeConditionAnswers(prompts.prompts, grids.conditions());

  const sqlgen::Generation generation =
      sqlgen::generer_requete(workspace.grids().objects(), workspace.grids().conditions(),
                              workspace.catalogue(), *connection, workspace.texts());
  if (!generation.ok()) {
    if (generation.refusedEmpty) return fail(args->queryArgument + QStringLiteral(": ") + generation.error);
    return fail(QStringLiteral("the statement cannot be generated: ") + generation.error);
  }
  const sqlgen::Replacement replaced =
      sqlgen::replacePromptCalls(generation.lines.join(QLatin1Char('\n')), prompts.prompts);
  if (!replaced.error.isEmpty()) return fail(sqlgen::promptFaultMessage(workspace.appState().language, replaced.error));
  for (const QString& line : replaced.text.split(QLatin1Char('\n'))) streams.out << line << '\n';
  connection->close();
  return kExitOk;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("generate"),
    QStringLiteral("user/password@alias QUERYFILE [--lang FR|AN] [--prompt Q=A ...]"),
    QStringLiteral("print the SELECT statement generated for a saved query"),
    QStringLiteral(
        "Reads the saved query QUERYFILE (the result-object file in a REQUETES folder; its\n"
        "conditions are read from the file of the same name in the CONDITIONS folder beside\n"
        "it), loads the catalogue of the universe imported into the schema and prints the\n"
        "SELECT statement the query builder generates for it: one line of the SQL memo per\n"
        "output line, every blank kept, trailing ones included. --lang gives the language\n"
        "of the connector and operator words of the query (default: the settings file's).\n"
        "A query that asks for values at run time takes them from --prompt QUESTION=ANSWER\n"
        "(repeatable; QUESTION as `korvo prompts` lists it) and prints the statement with\n"
        "the answers in it; a prompt without an answer stops with exit status 1.\n"
        "Exit status 1 when a file is missing or invalid, the schema holds no universe, the\n"
        "query has no result object or the database refuses an auxiliary query; 2 for a\n"
        "malformed command line.\n"),
    runGenerate,
}};

}  // namespace
}  // namespace korvo::cli
