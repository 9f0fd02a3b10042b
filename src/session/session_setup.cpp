#include "session/session_setup.h"

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "kernel/language.h"
#include "db/connection.h"
#include "session/short_date_format.h"

namespace korvo::session {

void SQLConnection1AfterConnect(db::Connection& connection, kernel::AppState& state,
                                kernel::Interaction& interaction, const QString& regionalDateFormat) {
  if (state.dbmsType != "ORACLE") return;

  state.decimalSeparator = '.';
  connection.exec("ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'");

  // Starting again from the regional format keeps a reconnection on the same
  // format: the table maps "MM/DD/YYYY" and "YYYY/MM/DD" to "DD/MM/YYYY".
  const QString dateFormat = sessionDateFormatFor(regionalDateFormat.toUpper());
  state.shortDateFormat = dateFormat;
  try {
    connection.exec("ALTER SESSION SET NLS_DATE_FORMAT='" + dateFormat + " hh24:mi:ss'");
  } catch (const db::DbError&) {
    interaction.inform(kernel::textTables(state.language).messages.value(48));
  }

  try {
    connection.exec("ALTER SESSION SET NLS_TIMESTAMP_FORMAT='YYYY/MM/DD HH24:MI:SS.FF'");
    connection.exec("ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT='YYYY/MM/DD HH24:MI:SS.FF TZR'");
  } catch (const db::DbError&) {
    // Older servers know neither setting; dates still work without them.
  }

  try {
    connection.exec("ALTER SESSION SET OPTIMIZER_MODE = FIRST_ROWS_100");
  } catch (const db::DbError&) {
    // Only a preference of the optimizer.
  }
}

}  // namespace korvo::session
