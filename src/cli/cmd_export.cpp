// korvo export CONNECT UNIVERSE_ID [FOLDER] [--scramble]: copies a universe of
// the BusinessObjects repository tables into a universe folder, as the export
// button does.

#include "cli/cli_login.h"
#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "db/connection.h"
#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "repository/universe_export.h"
#include "repository/universe_list.h"

namespace korvo::cli {
namespace {

// Information on standard output, errors on standard error; the scrambling
// question is answered by --scramble.
class ExportInteraction : public kernel::Interaction {
 public:
  ExportInteraction(CliStreams& streams, bool scramble) : streams_(streams), scramble_(scramble) {}
  void inform(const QString& text) override { streams_.out << text << '\n' << Qt::flush; }
  void error(const QString& text) override { streams_.err << text << '\n' << Qt::flush; }
  bool confirm(const QString& text) override {
    streams_.err << text << (scramble_ ? " Yes\n" : " No\n") << Qt::flush;
    return scramble_;
  }

 private:
  CliStreams& streams_;
  bool scramble_;
};

int runExport(const QStringList& arguments, CliStreams& streams) {
  QStringList rest = arguments;
  const bool scramble = rest.removeAll(QStringLiteral("--scramble")) > 0;
  kernel::AppState state = programState(rest, streams);
  const char* usage =
      "Usage: korvo export [--lang FR|AN] user/password@alias UNIVERSE_ID [FOLDER] [--scramble]\n";
  if (rest.size() < 2 || rest.size() > 3) {
    streams.err << usage;
    return kExitUsage;
  }
  const QString universeId = rest[1];
  // Checked before anything else: the id is appended to SQL text.
  if (!repository::isUniverseIdText(universeId)) {
    streams.err << "korvo export: the universe id must be digits: \"" << universeId
                << "\"; nothing was exported\n";
    return kExitFailure;
  }
  const std::optional<db::ConnectString> connect = readConnectArgument(rest[0], "export", streams);
  if (!connect) return kExitUsage;
  std::unique_ptr<db::Connection> connection = openLogin(*connect, streams);
  if (!connection) return kExitFailure;

  ExportInteraction interaction(streams, scramble);
  repository::UniverseList list(*connection, interaction, state);
  if (!list.Init_Univers()) {
    connection->close();
    return kExitFailure;
  }
  if (list.boRepositoryFound()) {
    try {
      auto cursor = connection->query(
          QStringLiteral("select count(*) from UNV_UNIVERSE where UNIVERSE_ID = ") + universeId);
      QList<db::Row> rows;
      cursor->fetch(rows, 1);
      if (rows.isEmpty() || rows[0].value(0).toLongLong() == 0) {
        streams.err << "korvo export: no universe " << universeId << " in UNV_UNIVERSE\n";
        connection->close();
        return kExitFailure;
      }
    } catch (const db::DbError& e) {
      streams.err << e.text() << '\n';
      connection->close();
      return kExitFailure;
    }
  }
  repository::UniverseExport exporter(*connection, interaction, state,
                                      rest.value(2, QStringLiteral("UNIVERS")));
  const repository::ExportOutcome outcome = exporter.ExporterUnivers(list.boRepositoryFound(), universeId);
  connection->close();
  return outcome == repository::ExportOutcome::Finished ? kExitOk : kExitFailure;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("export"),
    QStringLiteral("[--lang FR|AN] user/password@alias UNIVERSE_ID [FOLDER] [--scramble]"),
    QStringLiteral("export a universe of the BusinessObjects repository into a universe folder"),
    QStringLiteral(
        "Writes the ten files of universe UNIVERSE_ID (digits, a UNIVERSE_ID of UNV_UNIVERSE)\n"
        "from the UNV_ tables of the schema into FOLDER (default: UNIVERS in the current\n"
        "folder, created when missing). --scramble answers the scrambling question Yes:\n"
        "class and object names are then written scrambled. The files are written beside\n"
        "the folder first and moved into it only when all ten are written, so a failed\n"
        "export leaves the folder as it was. Exit status 0 only after \"Univers exporté....\"\n"
        "(\"Universe exported....\"); 1 for a refusal (an id that is not digits or names no\n"
        "universe) or a failure; 2 for a malformed command line.\n"),
    runExport,
}};

}  // namespace
}  // namespace korvo::cli
