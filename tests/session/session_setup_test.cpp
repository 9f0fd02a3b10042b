#include "session/session_setup.h"

#include <gtest/gtest.h>

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "kernel/language.h"
#include "session_test_support.h"

namespace korvo::session {
namespace {

using testing::Script;
using testing::ScriptedConnection;

const QString kNumeric = "exec ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'";
const QString kTimestamp = "exec ALTER SESSION SET NLS_TIMESTAMP_FORMAT='YYYY/MM/DD HH24:MI:SS.FF'";
const QString kTimestampTz =
    "exec ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT='YYYY/MM/DD HH24:MI:SS.FF TZR'";
const QString kOptimizer = "exec ALTER SESSION SET OPTIMIZER_MODE = FIRST_ROWS_100";

QString dateStatement(const QString& format) {
  return "exec ALTER SESSION SET NLS_DATE_FORMAT='" + format + " hh24:mi:ss'";
}

struct Harness {
  std::shared_ptr<Script> script = std::make_shared<Script>();
  ScriptedConnection connection{script};
  kernel::AppState state;
  kernel::RecordingInteraction interaction;
};

TEST(SessionSetupTest, SendsTheStatementsInOrder) {
  Harness s;
  s.state.decimalSeparator = ',';
  SQLConnection1AfterConnect(s.connection, s.state, s.interaction, "M/D/YYYY");
  EXPECT_EQ(s.script->statements(), (QStringList{kNumeric, dateStatement("MM/DD/YYYY"), kTimestamp,
                                                 kTimestampTz, kOptimizer}));
  EXPECT_EQ(s.state.shortDateFormat, "MM/DD/YYYY");
  EXPECT_EQ(s.state.decimalSeparator, QChar('.'));
  EXPECT_TRUE(s.interaction.informed.isEmpty());
}

TEST(SessionSetupTest, RegionalFormatsChooseTheSessionFormat) {
  const QList<QPair<QString, QString>> cases = {
      {"M/D/YYYY", "MM/DD/YYYY"},    // United States
      {"DD/MM/YYYY", "DD/MM/YYYY"},  // France
      {"YYYY-MM-DD", "YYYY/MM/DD"},
      {"DD.MM.YYYY", "DD/MM/YYYY"},
  };
  for (const auto& [regional, session] : cases) {
    Harness s;
    SQLConnection1AfterConnect(s.connection, s.state, s.interaction, regional);
    EXPECT_EQ(s.state.shortDateFormat, session);
    EXPECT_EQ(s.script->statements().value(1), dateStatement(session));
  }
}

TEST(SessionSetupTest, ASecondConnectionKeepsTheFormatOfTheFirst) {
  Harness s;
  SQLConnection1AfterConnect(s.connection, s.state, s.interaction, "M/D/YYYY");
  SQLConnection1AfterConnect(s.connection, s.state, s.interaction, "M/D/YYYY");
  EXPECT_EQ(s.state.shortDateFormat, "MM/DD/YYYY");
  EXPECT_EQ(s.script->statements().count(dateStatement("MM/DD/YYYY")), 2);
}

TEST(SessionSetupTest, RefusedNumericCharactersFailsTheConnection) {
  Harness s;
  s.script->failures["ALTER SESSION SET NLS_NUMERIC"] = "ORA-00922: missing or invalid option";
  EXPECT_THROW(SQLConnection1AfterConnect(s.connection, s.state, s.interaction, "M/D/YYYY"),
               db::DbError);
  EXPECT_EQ(s.script->statements(), QStringList{kNumeric});
}

TEST(SessionSetupTest, RefusedDateFormatShowsEntry48AndGoesOn) {
  for (const QString language : {"FR", "AN"}) {
    Harness s;
    s.state.language = language;
    s.script->failures["ALTER SESSION SET NLS_DATE_FORMAT"] =
        "ORA-01821: date format not recognized";
    SQLConnection1AfterConnect(s.connection, s.state, s.interaction, "DD/MM/YYYY");
    EXPECT_EQ(s.interaction.informed, QStringList{kernel::textTables(language).messages.value(48)});
    EXPECT_FALSE(s.interaction.informed.first().isEmpty());
    EXPECT_EQ(s.script->statements().size(), 5);
    EXPECT_EQ(s.state.shortDateFormat, "DD/MM/YYYY");
  }
}

TEST(SessionSetupTest, TimestampAndOptimizerFailuresAreSilent) {
  Harness s;
  s.script->failures["ALTER SESSION SET NLS_TIMESTAMP_FORMAT"] = "ORA-00922";
  s.script->failures["ALTER SESSION SET OPTIMIZER_MODE"] = "ORA-00922";
  SQLConnection1AfterConnect(s.connection, s.state, s.interaction, "DD/MM/YYYY");
  // The first timestamp statement failing skips the second.
  EXPECT_EQ(s.script->statements(),
            (QStringList{kNumeric, dateStatement("DD/MM/YYYY"), kTimestamp, kOptimizer}));
  EXPECT_TRUE(s.interaction.informed.isEmpty());
  EXPECT_TRUE(s.interaction.errors.isEmpty());
}

TEST(SessionSetupTest, OtherDatabaseTypesGetNothing) {
  for (const QString type : {"MSSQL", "MYSQL5"}) {
    Harness s;
    s.state.dbmsType = type;
    s.state.shortDateFormat = "D.M.YYYY";
    s.state.decimalSeparator = ',';
    SQLConnection1AfterConnect(s.connection, s.state, s.interaction, "M/D/YYYY");
    EXPECT_TRUE(s.script->log.isEmpty());
    EXPECT_EQ(s.state.shortDateFormat, "D.M.YYYY");
    EXPECT_EQ(s.state.decimalSeparator, QChar(','));
  }
}

}  // namespace
}  // namespace korvo::session
