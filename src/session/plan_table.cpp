#include "session/plan_table.h"

#include <QStringList>

#include "kernel/app_state.h"
#include "db/connection.h"

namespace korvo::session {

QString planTableStatement() {
  static const char* const kColumns[][2] = {
      {"STATEMENT_ID", "VARCHAR2(32)"},
      {"TIMESTAMP", "DATE"},
      {"REMARKS", "VARCHAR2(80)"},
      {"OPERATION", "VARCHAR2(30)"},
      {"OPTIONS", "VARCHAR2(30)"},
      {"OBJECT_NODE", "VARCHAR2(128)"},
      {"OBJECT_OWNER", "VARCHAR2(30)"},
      {"OBJECT_NAME", "VARCHAR2(30)"},
      {"OBJECT_INSTANCE", "NUMBER(22)"},
      {"OBJECT_TYPE", "VARCHAR2(30)"},
      {"SEARCH_COLUMNS", "NUMBER(22)"},
      {"ID", "NUMBER(22)"},
      {"COST", "NUMBER(22)"},
      {"PARENT_ID", "NUMBER(22)"},
      {"POSITION", "NUMBER(22)"},
      {"CARDINALITY", "NUMBER(22)"},
      {"OPTIMIZER", "VARCHAR2(255)"},
      {"BYTES", "NUMBER(22)"},
      {"OTHER_TAG", "VARCHAR2(255)"},
      {"OTHER", "LONG"},
  };
  QStringList definitions;
  for (const auto& column : kColumns)
    definitions << QString::fromLatin1(column[0]).leftJustified(28, ' ') +
                       QString::fromLatin1(column[1]);
  return "Create table PLAN_TABLE ( " + definitions.join(',') + ")";
}

void InitPlanTable(db::Connection& connection, kernel::AppState& state) {
  state.planTablePresent = false;
  try {
    connection.exec(planTableStatement());
    state.planTablePresent = true;
  } catch (const db::DbError&) {
    // Already there, or no privilege: the dictionary decides below.
  }
  auto cursor =
      connection.query("select table_name from user_tables where table_name = 'PLAN_TABLE'");
  QList<db::Row> rows;
  if (cursor->fetch(rows, 1) > 0) state.planTablePresent = true;
}

}  // namespace korvo::session
