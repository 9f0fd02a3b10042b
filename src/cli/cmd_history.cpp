// korvo history [--limit N] [--search TEXT]: the run history, newest first,
// one tab-separated line per run.

#include "cli/subcommand.h"
#include "db/tab_separated.h"
#include "sqlgen/run_history.h"

namespace korvo::cli {
namespace {

int runHistory(const QStringList& arguments, CliStreams& streams) {
  const char* usage = "Usage: korvo history [--limit N] [--search TEXT]\n";
  int limit = sqlgen::RunHistory::kKeptRuns;
  QString search;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if ((a == u"--limit" || a == u"--search") && i + 1 < arguments.size()) {
      const QString value = arguments[++i];
      if (a == u"--search") {
        search = value;
        continue;
      }
      bool ok = false;
      limit = value.toInt(&ok);
      if (ok && limit >= 0) continue;
    }
    streams.err << usage;
    return kExitUsage;
  }
  sqlgen::RunHistory history(sqlgen::RunHistory::defaultPath(), QStringLiteral("AN"));
  if (!history.notice().isEmpty()) streams.err << "korvo history: " << history.notice() << '\n';
  if (!history.isOpen()) {
    streams.err << "korvo history: " << history.lastError() << '\n';
    return kExitFailure;
  }
  streams.out << db::tabSeparatedLine({"ID", "STARTED", "TRIGGER", "ALIAS", "USER", "UNIVERSE",
                                       "OUTCOME", "ROWS", "DURATION_MS", "REFUSAL", "ERROR",
                                       "OBJECTS", "PROMPTS", "STATEMENT"})
              << '\n';
  for (const sqlgen::RunRecord& r : history.runs(search, limit)) {
    QStringList prompts;
    for (const auto& [question, answer] : r.promptAnswers) prompts << question + '=' + answer;
    streams.out << db::tabSeparatedLine(
                       {QString::number(r.id), r.startedAt.toString(Qt::ISODateWithMs),
                        sqlgen::runTriggerName(r.trigger), r.alias, r.user, r.universeName,
                        sqlgen::outcomeName(r.outcome), QString::number(r.rows),
                        QString::number(r.durationMs), r.refusal < 0 ? QString() : QString::number(r.refusal),
                        r.error, r.objectNames.join(QStringLiteral(", ")), prompts.join(QStringLiteral("; ")),
                        r.statement})
                << '\n';
  }
  return kExitOk;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("history"),
    QStringLiteral("[--limit N] [--search TEXT]"),
    QStringLiteral("print the run history, newest first"),
    QStringLiteral(
        "Prints the runs recorded in the history ($XDG_DATA_HOME/korvo-bo6/history.sqlite):\n"
        "every run of the desktop program (builder, SQL editor, refresh, sort) and of\n"
        "korvo run, the last 10,000 kept. Output: a heading line, then one line per run,\n"
        "newest first, tab-separated (escapes as korvo run): its number, start time, what\n"
        "started it, connection alias and user, universe, outcome (rows, refused, error,\n"
        "cancelled), rows fetched, duration in milliseconds, the catalogue entry of a\n"
        "refusal, the error text, the result objects, the prompt answers and the statement.\n"
        "--limit N prints the N newest; --search TEXT only runs whose statement or an\n"
        "object name holds TEXT (any case). A damaged history file is set aside (the\n"
        "message on standard error) and a new one started.\n"),
    runHistory,
}};

}  // namespace
}  // namespace korvo::cli
