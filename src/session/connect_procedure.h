#pragma once
// The connect procedure behind the connection dialog's "OK": opens the Oracle
// connection, prepares the session and the plan table, checks the server,
// titles the windows, saves the Oracle profiles, names the session and starts
// the read-committed transaction the program works in.
#include <QString>
#include <functional>
#include <memory>

#include "session/profile_grid.h"

namespace korvo::kernel {
struct AppState;
class Interaction;
}  // namespace korvo::kernel
namespace korvo::db {
class Connection;
}

namespace korvo::session {

class ConnectTarget;

inline constexpr const char* kOracleProfileFile = "ParamOra.dat";
inline constexpr const char* kOracle8iRefusal = "Oracle 8i server is not supported...";

// Makes an unopened connection for an alias (db::connectionForAlias unless a
// test gives its own).
using ConnectionFactory = std::function<std::unique_ptr<db::Connection>(const QString& alias)>;

// Everything the procedure works with besides the typed fields.
struct ConnectEnvironment {
  kernel::AppState& state;
  kernel::Interaction& interaction;
  ConnectTarget& target;
  ConnectionFactory makeConnection;
  // The workstation's short date format in program notation ("M/D/YYYY").
  QString regionalDateFormat;
};

// The fields as the user means them: the password in clear.
struct LoginFields {
  QString database;
  QString user;
  QString password;
};

enum class ConnectOutcome {
  Connected,  // the dialog closes and the main window is enabled
  Failed,     // an error was shown; the dialog stays open
  Refused,    // an Oracle 8i server; the connection stays open, the dialog too
};

// The module name the session carries: "KORVO-BO6 " followed by the version.
QString moduleNameStatement();

// Runs the procedure. Errors of the driver, the server or the profile file are
// shown with their own text through the interaction and end the procedure.
// The Oracle profile grid is set to 4 columns and saved to "ParamOra.dat" in
// the current folder.
ConnectOutcome Connexion(const LoginFields& fields, Grid& oracleProfiles,
                         ConnectEnvironment& environment);

}  // namespace korvo::session
