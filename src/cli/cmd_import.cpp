// korvo import CONNECT [FOLDER]: loads a universe folder into the repository
// tables of the connected schema, as the import button does.

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "cli/cli_login.h"
#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "db/connection.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"

namespace korvo::cli {
namespace {

// Messages appear as they come: information on standard output, errors on
// standard error; the confirmation is answered Yes, since running the command
// is the user's consent.
class CommandLineInteraction : public kernel::Interaction {
 public:
  explicit CommandLineInteraction(CliStreams& streams) : streams_(streams) {}
  void inform(const QString& text) override { streams_.out << text << '\n' << Qt::flush; }
  void error(const QString& text) override { streams_.err << text << '\n' << Qt::flush; }
  bool confirm(const QString& text) override {
    streams_.err << text << " Yes\n" << Qt::flush;
    return true;
  }

 private:
  CliStreams& streams_;
};

int runImport(const QStringList& arguments, CliStreams& streams) {
  QStringList rest = arguments;
  kernel::AppState state = programState(rest, streams);
  if (rest.isEmpty() || rest.size() > 2) {
    streams.err << "Usage: korvo import [--lang FR|AN] user/password@alias [FOLDER]\n";
    return kExitUsage;
  }
  const std::optional<db::ConnectString> connect = readConnectArgument(rest[0], "import", streams);
  if (!connect) return kExitUsage;
  std::unique_ptr<db::Connection> connection = openLogin(*connect, streams);
  if (!connection) return kExitFailure;
  CommandLineInteraction interaction(streams);
  repository::UniverseList list(*connection, interaction, state);
  repository::UniverseImport import(*connection, interaction, state, list,
                                    rest.value(1, QStringLiteral("UNIVERS")));
  const repository::ImportOutcome outcome = import.ImporterUnivers();
  try {
    if (connection->inTransaction()) connection->commit();
    connection->close();
  } catch (const db::DbError& e) {
    streams.err << e.text() << '\n';
    return kExitFailure;
  }
  // Refused staging rows and a missing universe row let the import finish in
  // the window; a script must still learn that something was lost.
  if (outcome != repository::ImportOutcome::Finished || import.rowsLost()) return kExitFailure;
  return kExitOk;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("import"),
    QStringLiteral("[--lang FR|AN] user/password@alias [FOLDER]"),
    QStringLiteral("import a universe folder into the repository tables"),
    QStringLiteral("Loads the ten files of FOLDER (default: UNIVERS in the current folder) into\n"
                   "the KORVO_ repository tables of the schema, builds the join tree and installs\n"
                   "the demonstration tables. The confirmation is answered Yes. Exit status 0\n"
                   "only when the import finished with every row of the files loaded and a\n"
                   "universe row; 1 otherwise (refused rows are reported on standard error).\n"
                   "A folder with an unusable file is refused before anything is changed; an\n"
                   "import that fails later drops what it had built. Without a password in the\n"
                   "connection, KORVO_PASSWORD is used.\n"),
    runImport,
}};

}  // namespace
}  // namespace korvo::cli
