// The statistics command: its two questions, the login never in an argument,
// and the embedded engine's fallback (korvo sql on the shipped scripts)
// really gathering the statistics the cost model reads.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <sqlite3.h>

#include "cli/korvo_program.h"
#include "db/connection.h"
#include "db/embedded_connection.h"
#include "kernel/interaction.h"
#include "kernel/language.h"
#include "repository/statistics_launch.h"
#include "support/test_paths.h"

using namespace korvo;
using namespace korvo::repository;

namespace {

const session::LoginParameters kOracle{"PROD", "scott", "s3cret!"};

TEST(StatisticsLaunch, TheLoginNeverGoesIntoAnArgument) {
  const std::optional<ClientLaunch> sqlplus =
      statisticsLaunch(kOracle, "stat_prep.sql", "/usr/bin/sqlplus", "/opt/korvo");
  ASSERT_TRUE(sqlplus);
  EXPECT_EQ(sqlplus->program, "/usr/bin/sqlplus");
  EXPECT_FALSE(sqlplus->arguments.join(' ').contains("s3cret!"));
  EXPECT_EQ(sqlplus->standardInput, QByteArray("connect scott/s3cret!@PROD\n@stat_prep.sql\nexit\n"));
  EXPECT_FALSE(sqlplus->environment.contains("KORVO_PASSWORD"));

  const session::LoginParameters local{"local:demo", "scott", "s3cret!"};
  const QString korvo = korvo::testing::korvoProgram();
  ASSERT_FALSE(korvo.isEmpty()) << "build the korvo target first";
  // sqlplus cannot reach the embedded engine: korvo sql runs the script there.
  const std::optional<ClientLaunch> fallback =
      statisticsLaunch(local, "stat_exec.sql", "/usr/bin/sqlplus", korvo);
  ASSERT_TRUE(fallback);
  EXPECT_EQ(fallback->program, korvo);
  EXPECT_EQ(fallback->arguments, QStringList({"sql", "scott@local:demo", "@stat_exec.sql"}));
  EXPECT_EQ(fallback->environment.value("KORVO_PASSWORD"), "s3cret!");
  EXPECT_TRUE(fallback->standardInput.isEmpty());
  // Neither client: nothing to start.
  EXPECT_FALSE(statisticsLaunch(kOracle, "stat_prep.sql", "", korvo));
  EXPECT_FALSE(statisticsLaunch(local, "stat_prep.sql", "", "/nonexistent/korvo"));
}

TEST(StatisticsLaunch, QuestionsAndRefusals) {
  kernel::AppState state;
  kernel::RecordingInteraction interaction;
  StatisticsLauncher launcher(state, interaction, "/nonexistent/korvo", [] { return QString(); });
  state.dbmsType = "MSSQL";
  launcher.statistiquesClick(kOracle);
  EXPECT_TRUE(interaction.asked.isEmpty());

  state.dbmsType = "ORACLE";
  interaction.answers = {false, false};
  launcher.statistiquesClick(kOracle);
  const QStringList& messages = kernel::textTables("FR").messages;
  EXPECT_EQ(interaction.asked, QStringList({messages[30], messages[31]}));
  EXPECT_TRUE(launcher.running().isEmpty());
  EXPECT_TRUE(interaction.errors.isEmpty());

  // No client to start: catalogue entry 16, and the second question is not asked.
  interaction.asked.clear();
  interaction.answers = {true, true};
  launcher.statistiquesClick(kOracle);
  EXPECT_EQ(interaction.errors, QStringList({messages[16]}));
  EXPECT_EQ(interaction.asked.size(), 1);
}

TEST(StatisticsLaunch, OnTheEmbeddedEngineKorvoSqlGathersThem) {
  const QString korvo = korvo::testing::korvoProgram();
  ASSERT_FALSE(korvo.isEmpty()) << "build the korvo target first";
  QTemporaryDir dir;
  for (const char* script : {"stat_prep.sql", "stat_exec.sql"})
    ASSERT_TRUE(QFile::copy(QDir(korvo::testing::sourceRoot()).filePath(QString("data/") + script),
                            dir.filePath(script)));
  const QString alias = "local:" + dir.filePath("schemas");
  auto connection = db::connectionForAlias(alias);
  connection->open(alias, "scott", "tiger");
  connection->exec("create table N1 (V number)");
  connection->exec("create table N2 (W varchar2(5))");
  connection->exec("insert into N1 select level from dual connect by level <= 30");
  connection->exec("insert into N2 values ('a')");
  connection->commit();
  const QString schemaFile = static_cast<db::EmbeddedConnection&>(*connection).schemaFile();
  connection->close();

  // The scripts run from the current folder, as the window's do.
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  kernel::AppState state;
  kernel::RecordingInteraction interaction;
  {
    StatisticsLauncher launcher(state, interaction, korvo, [] { return QString(); });
    interaction.answers = {true, true};
    launcher.statistiquesClick({alias, "scott", "tiger"});
    QElapsedTimer clock;
    clock.start();
    while (!launcher.running().isEmpty() && clock.elapsed() < 60000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(launcher.running().isEmpty());
  }
  QDir::setCurrent(previous);
  EXPECT_TRUE(interaction.errors.isEmpty()) << interaction.errors.join(" | ").toStdString();
  QFile written(dir.filePath("stat_tables.sql"));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(written.readAll()).trimmed(),
            "execute dbms_stats.gather_table_stats(user, 'N1');\n"
            "execute dbms_stats.gather_table_stats(user, 'N2');");

  // What the cost model reads: SQLite's statistics table, filled for both tables.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(schemaFile.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "select count(distinct tbl) from sqlite_stat1 where tbl in ('N1', 'N2')", -1, &st, nullptr),
            SQLITE_OK)
      << sqlite3_errmsg(db);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(st, 0), 2);
  sqlite3_finalize(st);
  sqlite3_close(db);
}

}  // namespace
