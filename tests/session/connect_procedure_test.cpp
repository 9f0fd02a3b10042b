#include "session/connect_procedure.h"

#include <gtest/gtest.h>

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "session/plan_table.h"
#include "session/profile_file.h"
#include "session_test_support.h"

namespace korvo::session {
namespace {

using testing::readFile;
using testing::RecordingTarget;
using testing::Script;
using testing::ScriptedConnection;
using testing::TemporaryCurrentFolder;

const QString kBannerQuery = "select banner from v$version";
const QString kOracle10 = "Oracle Database 10g Enterprise Edition Release 10.2.0.1.0 - Prod";

struct Road {
  TemporaryCurrentFolder folder;
  std::shared_ptr<Script> script = std::make_shared<Script>();
  kernel::AppState state;
  kernel::RecordingInteraction interaction;
  RecordingTarget target;
  QStringList aliases;
  ConnectEnvironment env{state, interaction, target,
                         [this](const QString& alias) -> std::unique_ptr<db::Connection> {
                           aliases << alias;
                           return std::make_unique<ScriptedConnection>(script);
                         },
                         "DD/MM/YYYY"};
  Grid profiles{5, 2};

  Road() {
    script->answers[kBannerQuery] = {db::Row{QVariant(kOracle10)}};
    profiles.setCell(0, 0, "Base");
    profiles.setCell(1, 0, "orcl");
  }
  ConnectOutcome connect(const QString& database = "orcl", const QString& user = "scott",
                         const QString& password = "tiger") {
    return Connexion({database, user, password}, profiles, env);
  }
};

TEST(ConnectProcedureTest, RunsEveryStepInOrder) {
  Road road;
  ASSERT_EQ(road.connect("orcl", "Scott", "tiger"), ConnectOutcome::Connected);

  EXPECT_EQ(road.aliases, QStringList{"orcl"});
  const QStringList log = road.script->log;
  ASSERT_GE(log.size(), 3);
  EXPECT_EQ(log[0], "open orcl/Scott/tiger");
  EXPECT_EQ(log[1], "exec ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'");
  const QStringList expectedTail = {
      "exec " + planTableStatement(),
      "query select table_name from user_tables where table_name = 'PLAN_TABLE'",
      "query " + kBannerQuery,
      "exec BEGIN DBMS_APPLICATION_INFO.SET_MODULE('KORVO-BO6 1.1.0','');end;",
      "begin",
  };
  EXPECT_EQ(log.mid(log.size() - expectedTail.size()), expectedTail);
  EXPECT_EQ(log.count("begin"), 1);

  EXPECT_EQ(road.target.calls,
            (QStringList{"detachResultGrid", "setConnection", "setWindowCaption",
                         "setApplicationTitle", "clearClassTree", "showUniverseMode"}));
  EXPECT_EQ(road.target.caption, "KORVO-BO6 - " + kOracle10 + " - [SCOTT@ORCL]");
  EXPECT_EQ(road.target.applicationTitle, "Korvo-Bo6 - [SCOTT@ORCL]");
  EXPECT_EQ(road.state.banner, kOracle10);
  EXPECT_TRUE(road.state.planTablePresent);
  EXPECT_TRUE(road.target.held->isOpen());
  EXPECT_TRUE(road.target.held->inTransaction());
  EXPECT_TRUE(road.interaction.errors.isEmpty());

  // The Oracle profiles are saved with 4 columns.
  EXPECT_EQ(road.profiles.columnCount(), 4);
  EXPECT_EQ(readFile("ParamOra.dat"),
            QByteArray("4\r\n2\r\nBase\r\norcl\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
}

TEST(ConnectProcedureTest, ThePreviousConnectionIsClosedFirst) {
  Road road;
  auto previous = std::make_shared<Script>();
  road.target.held = std::make_unique<ScriptedConnection>(previous);
  road.target.held->open("old", "u", "p");
  ASSERT_EQ(road.connect(), ConnectOutcome::Connected);
  EXPECT_EQ(previous->log.last(), "close");
}

TEST(ConnectProcedureTest, RefusedLoginShowsTheDriverTextAndStopsThere) {
  Road road;
  road.script->openFailure = "ORA-01017: invalid username/password; logon denied";
  EXPECT_EQ(road.connect(), ConnectOutcome::Failed);
  EXPECT_EQ(road.interaction.errors,
            QStringList{"ORA-01017: invalid username/password; logon denied"});
  EXPECT_EQ(road.target.calls, QStringList{"detachResultGrid"});
  EXPECT_EQ(road.target.held, nullptr);
  EXPECT_FALSE(QFile::exists("ParamOra.dat"));
}

TEST(ConnectProcedureTest, RefusedSessionSetUpClosesTheNewConnection) {
  Road road;
  road.script->failures["ALTER SESSION SET NLS_NUMERIC"] = "ORA-00922: missing or invalid option";
  EXPECT_EQ(road.connect(), ConnectOutcome::Failed);
  EXPECT_EQ(road.interaction.errors, QStringList{"ORA-00922: missing or invalid option"});
  EXPECT_EQ(road.script->log.last(), "close");
  EXPECT_EQ(road.target.held, nullptr);
}

TEST(ConnectProcedureTest, Oracle8iIsRefusedButStaysConnected) {
  Road road;
  road.script->answers[kBannerQuery] = {
      db::Row{QVariant("Oracle8i Enterprise Edition Release 8.1.7.0.0 - Production")}};
  EXPECT_EQ(road.connect(), ConnectOutcome::Refused);
  EXPECT_EQ(road.interaction.informed, QStringList{"Oracle 8i server is not supported..."});
  EXPECT_EQ(road.target.calls, (QStringList{"detachResultGrid", "setConnection"}));
  ASSERT_NE(road.target.held, nullptr);
  EXPECT_TRUE(road.target.held->isOpen());
  EXPECT_FALSE(road.script->log.contains("begin"));
  EXPECT_FALSE(QFile::exists("ParamOra.dat"));
}

TEST(ConnectProcedureTest, LaterReleasesAreAccepted) {
  for (const QString banner :
       {"Oracle9i Enterprise Edition Release 9.2.0.1.0 - Production",
        "Oracle8 Enterprise Edition Release 8.0.5.0.0", "Korvo embedded Oracle-dialect engine"}) {
    Road road;
    road.script->answers[kBannerQuery] = {db::Row{QVariant(banner)}};
    EXPECT_EQ(road.connect(), ConnectOutcome::Connected) << banner.toStdString();
  }
}

TEST(ConnectProcedureTest, NoBannerRowKeepsThePreviousBanner) {
  Road road;
  road.state.banner = "kept";
  road.script->answers.remove(kBannerQuery);
  ASSERT_EQ(road.connect(), ConnectOutcome::Connected);
  EXPECT_EQ(road.target.caption, "KORVO-BO6 - kept - [SCOTT@ORCL]");
}

TEST(ConnectProcedureTest, FailingModuleNameAbandonsTheRest) {
  Road road;
  road.script->failures["BEGIN DBMS_APPLICATION_INFO"] =
      "ORA-06550: line 1, column 7: PLS-00201: identifier 'DBMS_APPLICATION_INFO' must be declared";
  EXPECT_EQ(road.connect(), ConnectOutcome::Failed);
  EXPECT_EQ(road.interaction.errors.size(), 1);
  EXPECT_FALSE(road.target.calls.contains("showUniverseMode"));
  EXPECT_FALSE(road.script->log.contains("begin"));
  EXPECT_TRUE(QFile::exists("ParamOra.dat"));  // saved just before
}

TEST(ConnectProcedureTest, UnwritableProfileFileIsReported) {
  Road road;
  QDir().mkdir("ParamOra.dat");  // a folder in its place cannot be replaced by a file
  EXPECT_EQ(road.connect(), ConnectOutcome::Failed);
  ASSERT_EQ(road.interaction.errors.size(), 1);
  EXPECT_TRUE(road.interaction.errors.first().contains("ParamOra.dat"));
  EXPECT_FALSE(road.target.calls.contains("showUniverseMode"));
}

TEST(ConnectProcedureTest, OnlyOracleIsConnected) {
  Road road;
  road.state.dbmsType = "MSSQL";
  EXPECT_EQ(road.connect(), ConnectOutcome::Failed);
  EXPECT_EQ(road.interaction.errors.size(), 1);
  EXPECT_TRUE(road.aliases.isEmpty());
  EXPECT_EQ(road.target.calls, QStringList{"detachResultGrid"});
}

}  // namespace
}  // namespace korvo::session
