#include "session/connect_procedure.h"

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "db/connection.h"
#include "session/connect_target.h"
#include "session/plan_table.h"
#include "session/profile_file.h"
#include "session/session_setup.h"

namespace korvo::session {

namespace {

// Opens a connection and prepares its session; a connection whose set-up
// fails is closed again, as if the opening itself had failed.
std::unique_ptr<db::Connection> openSession(const LoginFields& fields, ConnectEnvironment& env) {
  if (!env.makeConnection) throw db::DbError("No database driver is available");
  std::unique_ptr<db::Connection> connection = env.makeConnection(fields.database);
  if (!connection) throw db::DbError("No database driver for \"" + fields.database + "\"");
  connection->open(fields.database, fields.user, fields.password);
  try {
    SQLConnection1AfterConnect(*connection, env.state, env.interaction, env.regionalDateFormat);
  } catch (...) {
    connection->close();
    throw;
  }
  return connection;
}

ConnectOutcome connectOracle(const LoginFields& fields, Grid& oracleProfiles,
                             ConnectEnvironment& env, db::Connection*& adopted) {
  if (db::Connection* previous = env.target.connection()) previous->close();

  std::unique_ptr<db::Connection> opened = openSession(fields, env);
  db::Connection& connection = *opened;
  env.target.setConnection(std::move(opened));
  env.target.rememberLogin({fields.database, fields.user, fields.password});
  adopted = &connection;
  env.state.connectedAlias = fields.database;
  env.state.connectedUser = fields.user;

  InitPlanTable(connection, env.state);

  {
    auto cursor = connection.query("select banner from v$version");
    QList<db::Row> rows;
    if (cursor->fetch(rows, 1) > 0 && !rows.first().isEmpty())
      env.state.banner = rows.first().first().toString();
  }
  if (env.state.banner.left(8) == "Oracle8i") {
    env.interaction.inform(kOracle8iRefusal);
    return ConnectOutcome::Refused;
  }

  const QString user = fields.user.toUpper();
  const QString database = fields.database.toUpper();
  env.target.setWindowCaption("KORVO-BO6 - " + env.state.banner + " - [" + user + "@" + database +
                              "]");
  env.target.setApplicationTitle("Korvo-Bo6 - [" + user + "@" + database + "]");

  oracleProfiles.setColumnCount(4);
  EnregistrerStringGrid(oracleProfiles, kOracleProfileFile);

  connection.exec(moduleNameStatement());
  return ConnectOutcome::Connected;
}

}  // namespace

QString moduleNameStatement() {
  return QString("BEGIN DBMS_APPLICATION_INFO.SET_MODULE('KORVO-BO6 ") + kernel::kVersion +
         "','');end;";
}

ConnectOutcome Connexion(const LoginFields& fields, Grid& oracleProfiles,
                         ConnectEnvironment& env) {
  try {
    env.target.detachResultGrid();
    if (env.state.dbmsType != "ORACLE") {
      // Only Oracle connections are opened; the other pages only keep profiles.
      env.interaction.error("Only Oracle databases can be connected (" + env.state.dbmsType + ")");
      return ConnectOutcome::Failed;
    }
    db::Connection* connection = nullptr;
    const ConnectOutcome outcome = connectOracle(fields, oracleProfiles, env, connection);
    if (outcome != ConnectOutcome::Connected) return outcome;

    env.target.clearClassTree();
    env.target.showUniverseMode();
    // Read committed is the isolation every driver gives a transaction here.
    connection->begin();
    return ConnectOutcome::Connected;
  } catch (const db::DbError& e) {
    env.interaction.error(e.text());
  } catch (const ProfileFileError& e) {
    env.interaction.error(e.text());
  } catch (const std::exception& e) {
    env.interaction.error(QString::fromStdString(e.what()));
  }
  return ConnectOutcome::Failed;
}

}  // namespace korvo::session
