#pragma once
// What every new Oracle session is told before anything else is sent on it:
// numbers and dates travel as text in the forms the program reads and writes,
// and queries favour their first rows.
#include <QString>

namespace korvo::kernel {
struct AppState;
class Interaction;
}  // namespace korvo::kernel
namespace korvo::db {
class Connection;
}

namespace korvo::session {

// Runs right after the connection is open, for the DBMS type "ORACLE" only.
// The session date format is chosen from the regional short date format on every
// connection (see sessionDateFormatFor) and becomes the program short date
// format. A refused NLS_NUMERIC_CHARACTERS statement throws db::DbError: the
// connection is then unusable. A refused date format shows catalogue entry 48;
// the timestamp and optimizer statements may fail silently.
void SQLConnection1AfterConnect(db::Connection& connection, kernel::AppState& state,
                                kernel::Interaction& interaction, const QString& regionalDateFormat);

}  // namespace korvo::session
