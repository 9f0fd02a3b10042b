// korvo universes CONNECT: the universe list of the schema, as the universe
// grid shows it (headers, then one line per universe, columns separated by tabs).
#include <QProcessEnvironment>

#include "app/app_state.h"
#include "app/interaction.h"
#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "db/connection.h"
#include "repository/universe_list.h"

namespace korvo::cli {
namespace {

int runUniverses(const QStringList& arguments, CliStreams& streams) {
  QStringList rest = arguments;
  app::AppState state;
  if (rest.size() >= 2 && rest[0] == QLatin1String("--lang")) {
    state.language = rest[1].toUpper();
    rest = rest.mid(2);
  }
  if (rest.size() != 1) {
    streams.err << "Usage: korvo universes [--lang FR|AN] user/password@alias\n";
    return kExitUsage;
  }
  const std::optional<db::ConnectString> connect = db::parseConnectString(rest[0]);
  if (!connect) {
    streams.err << "korvo universes: the connection is written user/password@alias, for example "
                   "scott/tiger@local:demo\n";
    return kExitUsage;
  }
  const QString password = connect->hasPassword
                               ? connect->password
                               : QProcessEnvironment::systemEnvironment().value("KORVO_PASSWORD");
  std::unique_ptr<db::Connection> connection = db::connectionForAlias(connect->alias);
  try {
    connection->open(connect->alias, connect->user, password);
  } catch (const db::DbError& e) {
    streams.err << "ERROR:\n" << e.text() << '\n';
    return kExitFailure;
  }
  app::RecordingInteraction interaction;
  repository::UniverseList list(*connection, interaction, state);
  const bool listed = list.Init_Univers();
  for (const QString& text : interaction.informed) streams.err << text << '\n';
  for (const QString& text : interaction.errors) streams.err << text << '\n';
  if (!listed) return kExitFailure;
  streams.out << list.grid().headers.join('\t') << '\n';
  for (const QStringList& row : list.grid().rows) {
    // The grid's one empty row of an empty list is not a universe.
    if (row.join(QString()).isEmpty()) continue;
    streams.out << row.join('\t') << '\n';
  }
  connection->close();
  return kExitOk;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("universes"),
    QStringLiteral("[--lang FR|AN] user/password@alias"),
    QStringLiteral("list the universes of the schema as the universe grid shows them"),
    QStringLiteral("Lists the BusinessObjects universes when the schema holds the BusinessObjects\n"
                   "repository, otherwise the universe of the tool's own repository. Output: the\n"
                   "grid's headers, then one line per universe, columns separated by tabs.\n"),
    runUniverses,
}};

}  // namespace
}  // namespace korvo::cli
