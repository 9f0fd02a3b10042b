// korvo universes CONNECT: the universe list of the schema, as the universe
// grid shows it (headers, then one line per universe, columns separated by tabs).

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "cli/cli_login.h"
#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "db/connection.h"
#include "db/tab_separated.h"
#include "repository/universe_list.h"

namespace korvo::cli {
namespace {

int runUniverses(const QStringList& arguments, CliStreams& streams) {
  QStringList rest = arguments;
  kernel::AppState state = programState(rest, streams);
  if (rest.size() != 1) {
    streams.err << "Usage: korvo universes [--lang FR|AN] user/password@alias\n";
    return kExitUsage;
  }
  const std::optional<db::ConnectString> connect = readConnectArgument(rest[0], "universes", streams);
  if (!connect) return kExitUsage;
  std::unique_ptr<db::Connection> connection = openLogin(*connect, streams);
  if (!connection) return kExitFailure;
  kernel::RecordingInteraction interaction;
  repository::UniverseList list(*connection, interaction, state);
  const bool listed = list.Init_Univers();
  for (const QString& text : interaction.informed) streams.err << text << '\n';
  for (const QString& text : interaction.errors) streams.err << text << '\n';
  if (!listed) return kExitFailure;
  const kernel::Grid& grid = list.grid();
  streams.out << db::tabSeparatedLine(grid.headers()) << '\n';
  for (int r = 1; r < grid.rowCount(); ++r) {
    const QStringList row = grid.row(r);
    // The grid's one empty row of an empty list is not a universe.
    if (row.join(QString()).isEmpty()) continue;
    streams.out << db::tabSeparatedLine(row) << '\n';
  }
  connection->close();
  // An interrupted import was reported above; the list may be stale or empty.
  return list.unfinishedImportFound() ? kExitFailure : kExitOk;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("universes"),
    QStringLiteral("[--lang FR|AN] user/password@alias"),
    QStringLiteral("list the universes of the schema as the universe grid shows them"),
    QStringLiteral("Lists the BusinessObjects universes when the schema holds the BusinessObjects\n"
                   "repository, otherwise the universe of the tool's own repository. Output: the\n"
                   "grid's headers, then one line per universe, columns separated by tabs.\n"
                   "Exit status 1 when an earlier import did not finish (staging tables or an\n"
                   "incomplete repository are left in the schema; the text goes to standard\n"
                   "error): import the universe again.\n"),
    runUniverses,
}};

}  // namespace
}  // namespace korvo::cli
