#pragma once
// The user's PLAN_TABLE, into which cost estimates EXPLAIN their statements.
#include <QString>

namespace korvo::kernel {
struct AppState;
}
namespace korvo::db {
class Connection;
}

namespace korvo::session {

// "Create table PLAN_TABLE ( " and the 20 column definitions, each name padded
// with blanks to 28 characters, joined by "," and closed by ")".
QString planTableStatement();

// Creates the table when the schema has none (a failure, such as an existing
// table or a missing privilege, is ignored) and sets AppState::planTablePresent
// when the table was created or the dictionary shows it.
void InitPlanTable(db::Connection& connection, kernel::AppState& state);

}  // namespace korvo::session
