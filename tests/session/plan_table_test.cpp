#include "session/plan_table.h"

#include <gtest/gtest.h>

#include "kernel/app_state.h"
#include "session_test_support.h"

namespace korvo::session {
namespace {

using testing::Script;
using testing::ScriptedConnection;

const QString kDictionary = "select table_name from user_tables where table_name = 'PLAN_TABLE'";

TEST(PlanTableTest, StatementPadsEveryColumnNameTo28Characters) {
  const QString sql = planTableStatement();
  const QString blanks = QString(28, ' ');
  EXPECT_TRUE(sql.startsWith("Create table PLAN_TABLE ( STATEMENT_ID" + blanks.left(16) +
                             "VARCHAR2(32),TIMESTAMP" + blanks.left(19) + "DATE,REMARKS"));
  EXPECT_TRUE(sql.endsWith(",OTHER_TAG" + blanks.left(19) + "VARCHAR2(255),OTHER" +
                           blanks.left(23) + "LONG)"));
  const QStringList definitions =
      sql.mid(QString("Create table PLAN_TABLE ( ").size()).chopped(1).split(',');
  ASSERT_EQ(definitions.size(), 20);
  for (const QString& definition : definitions) {
    EXPECT_TRUE(definition.at(27) == ' ') << definition.toStdString();
    EXPECT_NE(definition.at(28), QChar(' ')) << definition.toStdString();
  }
  EXPECT_TRUE(sql.contains(",OBJECT_NODE" + blanks.left(17) + "VARCHAR2(128),"));
  EXPECT_TRUE(sql.contains(",OBJECT_INSTANCE" + blanks.left(13) + "NUMBER(22),"));
}

TEST(PlanTableTest, FlagFollowsCreationAndDictionary) {
  struct Case {
    const char* name;
    bool createFails;
    bool dictionaryHasRow;
    bool expected;
  };
  const Case cases[] = {
      {"created", false, true, true},
      {"exists already", true, true, true},
      {"no privilege, no table", true, false, false},
      {"created, dictionary silent", false, false, true},
  };
  for (const Case& c : cases) {
    auto script = std::make_shared<Script>();
    if (c.createFails)
      script->failures["Create table PLAN_TABLE"] = "ORA-00955: name is already used";
    if (c.dictionaryHasRow) script->answers[kDictionary] = {db::Row{QVariant("PLAN_TABLE")}};
    ScriptedConnection connection(script);
    kernel::AppState state;
    state.planTablePresent = !c.expected;
    InitPlanTable(connection, state);
    EXPECT_EQ(state.planTablePresent, c.expected) << c.name;
    EXPECT_EQ(script->statements(),
              (QStringList{"exec " + planTableStatement(), "query " + kDictionary}))
        << c.name;
  }
}

}  // namespace
}  // namespace korvo::session
