// korvo run CONNECT QUERYFILE: a saved query run as the run button runs it,
// its rows on standard output.

#include <QFileInfo>

#include "builder/query_files.h"
#include "builder/workspace.h"
#include "cli/cli_login.h"
#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "db/connection.h"
#include "db/tab_separated.h"
#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "kernel/workstation_id.h"
#include "session/plan_table.h"
#include "sqlgen/file_export.h"
#include "sqlgen/query_run.h"
#include "sqlgen/run_provenance.h"
#include "sqlgen/run_recording.h"

namespace korvo::cli {
namespace {

constexpr int kPacketRows = 500;

// Messages and errors go to standard error; the cost question is answered by
// --yes, and without it the question is printed and refused.
class RunInteraction : public kernel::Interaction {
 public:
  RunInteraction(CliStreams& streams, bool yes) : streams_(streams), yes_(yes) {}
  void inform(const QString& text) override { streams_.err << "korvo run: " << text << '\n'; }
  void error(const QString& text) override { streams_.err << text << '\n'; }
  bool confirm(const QString& text) override {
    if (yes_) return true;
    streams_.err << "korvo run: " << text << "\n(answer it with --yes)\n";
    return false;
  }

 private:
  CliStreams& streams_;
  bool yes_;
};

// Takes every `flag` off `arguments`; true when there was one.
bool takeFlag(QStringList& arguments, const QString& flag) { return arguments.removeAll(flag) > 0; }

QString fieldText(const db::Connection& connection, const QVariant& value) {
  return value.isNull() ? QString() : connection.display(value);
}

// The heading line, then the first packet of rows or every row; a database
// error on the way ends the output where it stands.
int printRows(db::Connection& connection, const QString& statement, bool all, CliStreams& streams,
              sqlgen::RunRecording& recording) {
  long long printed = 0;
  try {
    std::unique_ptr<db::Cursor> cursor = connection.query(statement);
    QList<db::Row> rows;
    cursor->fetch(rows, kPacketRows);
    QStringList titles;
    for (const db::ColumnInfo& column : cursor->columns()) titles << column.name;
    streams.out << db::tabSeparatedLine(titles) << '\n';
    while (!rows.isEmpty()) {
      for (const db::Row& row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QVariant& value : row) fields << fieldText(connection, value);
        streams.out << db::tabSeparatedLine(fields) << '\n';
      }
      printed += rows.size();
      rows.clear();
      if (!all || cursor->atEnd()) break;
      cursor->fetch(rows, kPacketRows);
    }
  } catch (const db::DbError& e) {
    streams.out.flush();
    streams.err << e.text() << '\n';
    recording.failed(e.text());
    return kExitFailure;
  }
  recording.fetched(printed);
  return kExitOk;
}

// Takes "NAME VALUE" off `arguments`: the value, "" when absent, nothing
// when the name ends the line.
std::optional<QString> takeOption(QStringList& arguments, const QString& name) {
  const qsizetype at = arguments.indexOf(name);
  if (at < 0) return QString();
  if (at + 1 >= arguments.size()) return std::nullopt;
  const QString value = arguments.at(at + 1);
  arguments.remove(at, 2);
  return value;
}

struct FileOutput {
  QString path;
  sqlgen::ExportFormat format = sqlgen::ExportFormat::Tsv;
  QChar separator = QLatin1Char(',');
  bool provenance = false;
};

// Every row into the file, in one go; the rows written on standard error.
int writeRowsToFile(db::Connection& connection, const QString& statement, const FileOutput& output,
                    const sqlgen::Provenance& provenance, CliStreams& streams,
                    sqlgen::RunRecording& recording) {
  sqlgen::ExportOptions options;
  options.format = output.format;
  options.separator = output.separator;
  options.text = [&connection](const QVariant& value) { return fieldText(connection, value); };
  options.provenance = provenance;
  options.withProvenance = output.provenance;
  sqlgen::ExportOutcome outcome;
  try {
    std::unique_ptr<db::Cursor> cursor = connection.query(statement);
    sqlgen::CursorRows rows(*cursor);
    outcome = sqlgen::exportToFile(output.path, rows, options);
  } catch (const db::DbError& e) {
    outcome.error = e.text();
  }
  if (!outcome.ok()) {
    streams.err << outcome.error << '\n';
    recording.failed(outcome.error);
    return kExitFailure;
  }
  recording.fetched(outcome.rows);
  streams.err << "korvo run: " << outcome.rows << " rows written to " << output.path << '\n';
  return kExitOk;
}

int runRun(const QStringList& arguments, CliStreams& streams) {
  const char* usage =
      "Usage: korvo run user/password@alias QUERYFILE [--lang FR|AN] [--yes] [--all]\n"
      "                 [--prompt QUESTION=ANSWER ...]\n"
      "                 [--output FILE [--format tsv|csv|xlsx|html] [--separator C] [--provenance]]\n";
  QStringList rest = arguments;
  const bool yes = takeFlag(rest, QStringLiteral("--yes"));
  FileOutput output;
  output.provenance = takeFlag(rest, QStringLiteral("--provenance"));
  const std::optional<QString> outputPath = takeOption(rest, QStringLiteral("--output"));
  const std::optional<QString> formatName = takeOption(rest, QStringLiteral("--format"));
  const std::optional<QString> separator = takeOption(rest, QStringLiteral("--separator"));
  if (!outputPath || !formatName || !separator) {
    streams.err << usage;
    return kExitUsage;
  }
  output.path = *outputPath;
  if (!formatName->isEmpty()) {
    const std::optional<sqlgen::ExportFormat> format = sqlgen::exportFormatNamed(*formatName);
    if (!format) {
      streams.err << "korvo run: unknown format \"" << *formatName << "\" (tsv, csv, xlsx or html)\n";
      return kExitUsage;
    }
    output.format = *format;
  } else if (!output.path.isEmpty()) {
    output.format = sqlgen::exportFormatOfPath(output.path).value_or(sqlgen::ExportFormat::Tsv);
  }
  if (!formatName->isEmpty() && output.path.isEmpty() && output.format != sqlgen::ExportFormat::Tsv) {
    streams.err << "korvo run: --format " << *formatName << " writes a file: give it with --output FILE\n";
    return kExitUsage;
  }
  if (!separator->isEmpty()) {
    const QString sep = *separator == u"\\t" ? QStringLiteral("\t") : *separator;
    if (sep.size() != 1 || sep == u"\"" || sep == u"\n" || sep == u"\r") {
      streams.err << "korvo run: the separator is one character, not a quote or a line break\n";
      return kExitUsage;
    }
    output.separator = sep.at(0);
  }
  const bool all = takeFlag(rest, QStringLiteral("--all"));
  int status = kExitOk;
  std::optional<SavedQueryArguments> args =
      readSavedQueryArguments(rest, "run", usage, streams, status, true);
  if (!args) return status;
  kernel::AppState& state = args->state;
  const QString& queryFile = args->queryFile;
  const db::ConnectString* connect = &args->connect;

  std::unique_ptr<db::Connection> connection = openLogin(*connect, streams);
  if (!connection) return kExitFailure;
  // As after every connection of the desktop program: the plan table the
  // estimate writes into, and the identifier its rows are kept under.
  session::InitPlanTable(*connection, state);
  state.workstationId = kernel::workstationId();

  RunInteraction interaction(streams, yes);
  sqlgen::MessageTap tap(interaction);
  builder::Workspace workspace(state, *connection, tap);
  const auto fail = [&](const QString& message) {
    streams.err << "korvo run: " << message << '\n';
    connection->close();
    return kExitFailure;
  };
  const builder::QueryFileResult opened = builder::openQuery(queryFile, workspace.grids());
  if (!opened.ok()) return fail(opened.error);
  if (const std::optional<QString> refused = loadUniverse(workspace)) return fail(*refused);

  // Every run goes into the history, whatever its end; a history that cannot
  // be written is said, never a reason to refuse the run.
  sqlgen::RunHistory history(sqlgen::RunHistory::defaultPath(), state.language);
  if (!history.notice().isEmpty()) streams.err << "korvo run: " << history.notice() << '\n';
  sqlgen::RunRecording recording(sqlgen::RunTrigger::CommandLine, workspace, true, connect->alias,
                                 connect->user);
  const sqlgen::UniverseName universe = sqlgen::schemaUniverse(*connection);
  recording.setUniverse(universe.id, universe.name);
  const auto keep = [&] {
    if (!recording.commit(history))
      streams.err << "korvo run: the run history was not written: " << history.lastError() << '\n';
  };
  sqlgen::RunState run;
  QString unanswered;
  run.askPrompts = [&](sqlgen::PromptList& prompts) {
    return answerPrompts(args->promptAnswers, prompts, unanswered);
  };
  QStringList memo;
  const std::optional<QString> statement =
      sqlgen::procExecuter(workspace, run, /*builderShown=*/true, /*bloquerSql=*/false, memo);
  recording.setPrompts(run.lastPrompts);
  recording.setStatement(statement ? *statement : memo.join(QLatin1Char('\n')));
  if (!statement) {
    QString reason = tap.last;
    if (!unanswered.isEmpty()) {
      reason = "the prompt \"" + unanswered + "\" has no answer";
      streams.err << "korvo run: " << reason << ": give it with --prompt \"" << unanswered << "=ANSWER\"\n";
    }
    if (tap.lastWasError && unanswered.isEmpty())
      recording.failed(reason);
    else
      recording.refused(workspace.texts(), reason);
    keep();
    connection->close();
    return kExitFailure;
  }
  if (!output.path.isEmpty()) {
    const sqlgen::Provenance provenance =
        sqlgen::provenanceOf(workspace.grids(), run.lastPrompts, universe.name, *statement,
                             QDateTime::currentDateTime());
    status = writeRowsToFile(*connection, *statement, output, provenance, streams, recording);
  } else {
    status = printRows(*connection, *statement, all, streams, recording);
  }
  keep();
  connection->close();
  return status;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("run"),
    QStringLiteral("user/password@alias QUERYFILE [--lang FR|AN] [--yes] [--all] [--prompt Q=A ...]\n"
                   "      [--output FILE [--format tsv|csv|xlsx|html] [--separator C] [--provenance]]"),
    QStringLiteral("run a saved query and print its rows"),
    QStringLiteral(
        "Runs the saved query QUERYFILE (the result-object file in a REQUETES folder, its\n"
        "conditions in the file of the same name in the CONDITIONS folder beside it) as the\n"
        "query builder's run button does: the conditions are checked, the statement is\n"
        "generated over the universe imported into the schema, refused unless it is a\n"
        "SELECT without Cartesian product, and its cost is estimated with EXPLAIN PLAN.\n"
        "A cost above COST of the settings file Korvo-BO6.ini in the current folder (0\n"
        "without one) asks for confirmation: --yes answers Yes, otherwise the question is\n"
        "printed and the run refused. A query that asks for values at run time takes its\n"
        "answers from --prompt QUESTION=ANSWER (repeatable): QUESTION is the label the\n"
        "prompt dialog shows (the object name of a condition prompt, the question of an\n"
        "@Prompt, the name of an @Variable); a prompt without one stops the run (exit 1).\n"
        "Output: a heading line of the column titles, then the rows, tab-separated (a tab,\n"
        "line break, carriage return or backslash in a value written \\t, \\n, \\r, \\\\);\n"
        "the first 500 rows, every row with --all. --output FILE writes every row to FILE\n"
        "instead, as --format says (by default from FILE's suffix; tsv otherwise): tsv as\n"
        "printed, csv (RFC 4180, UTF-8, separator --separator, \\t for a tab; ',' by\n"
        "default), xlsx (typed cells, and a second sheet \"Query\" with the universe, the\n"
        "result objects, the conditions, the prompt answers, the statement, the time and\n"
        "the row count) or html; --provenance adds the same to csv (a trailing comment\n"
        "block) and html (a second table). The file appears only complete: a failure\n"
        "leaves no file. --lang gives the language of the\n"
        "messages and of the query's connector and operator words (default: the settings\n"
        "file's). Exit status 1 for a refusal, a missing or invalid file or a database\n"
        "error (the message on standard error); 2 for a malformed command line.\n"),
    runRun,
}};

}  // namespace
}  // namespace korvo::cli
