// The run history file: every field back as recorded, newest first, the
// search, the 10,000 kept, a damaged file set aside, and a recorded query
// reopened into both grids in either language.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include "builder/query_grids.h"
#include "kernel/app_state.h"
#include "kernel/language.h"
#include "qt_print.h"
#include "sqlgen/run_history.h"
#include "sqlgen/run_recording.h"

using namespace korvo;
using namespace korvo::sqlgen;

namespace {

class History : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.isValid()); }
  QString file() const { return folder.filePath("korvo-bo6/history.sqlite"); }
  static RunRecord runOf(const QString& statement, const QStringList& objects = {}) {
    RunRecord r;
    r.startedAt = QDateTime(QDate(2026, 12, 1), QTime(9, 30, 15, 250));
    r.statement = statement;
    r.objectNames = objects;
    return r;
  }
  QTemporaryDir folder;
};

TEST_F(History, EveryFieldComesBackAsRecorded) {
  RunRecord r = runOf("select DEPT from EMP", {"Department", "Total salary"});
  r.trigger = RunTrigger::Sort;
  r.alias = "local:/x";
  r.user = "scott";
  r.universeId = "1";
  r.universeName = "Démo";
  r.objectsPacket = "<objects/>";
  r.conditionsPacket = "<conditions/>";
  r.promptAnswers = {{"Quelle fonction ?", "clerk"}, {"Year", ""}};
  r.outcome = RunRecord::Outcome::Refused;
  r.rows = 12;
  r.durationMs = 34;
  r.refusal = 45;
  r.error = "Le coût ...";
  {
    RunHistory history(file());
    ASSERT_TRUE(history.isOpen()) << history.lastError().toStdString();
    EXPECT_TRUE(history.notice().isEmpty());
    ASSERT_TRUE(history.record(r)) << history.lastError().toStdString();
    EXPECT_EQ(r.id, 1);
  }
  // Another opening, as after the program ended.
  RunHistory again(file());
  const std::optional<RunRecord> back = again.run(1);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->startedAt, r.startedAt);
  EXPECT_EQ(back->trigger, RunTrigger::Sort);
  EXPECT_EQ(back->alias, "local:/x");
  EXPECT_EQ(back->user, "scott");
  EXPECT_EQ(back->universeId, "1");
  EXPECT_EQ(back->universeName, "Démo");
  EXPECT_EQ(back->objectsPacket, "<objects/>");
  EXPECT_EQ(back->conditionsPacket, "<conditions/>");
  EXPECT_EQ(back->objectNames, r.objectNames);
  EXPECT_EQ(back->promptAnswers, r.promptAnswers);
  EXPECT_EQ(back->statement, r.statement);
  EXPECT_EQ(back->outcome, RunRecord::Outcome::Refused);
  EXPECT_EQ(back->rows, 12);
  EXPECT_EQ(back->durationMs, 34);
  EXPECT_EQ(back->refusal, 45);
  EXPECT_EQ(back->error, "Le coût ...");
  EXPECT_FALSE(again.run(2).has_value());
}

TEST_F(History, NewestFirstAndTheSearch) {
  RunHistory history(file());
  for (RunRecord r : {runOf("select ENAME from EMP", {"Employé"}), runOf("select DNAME from DEPT", {"Department"}),
                      runOf("select 1 from DUAL")})
    ASSERT_TRUE(history.record(r));
  struct Case {
    QString search;
    QList<long long> ids;
  };
  const QList<Case> cases = {
      {"", {3, 2, 1}},
      {"from", {3, 2, 1}},
      {"DEPT", {2}},    // in the statement
      {"dept", {2}},    // any case
      {"employé", {1}}, // an object name, accents included
      {"EMPLOYÉ", {1}},
      {"department", {2}},
      {"nowhere", {}},
      // Characters that mean something to LIKE are plain text here.
      {"%", {}},
      {"_", {}},
  };
  for (const Case& c : cases) {
    QList<long long> ids;
    for (const RunRecord& r : history.runs(c.search)) ids << r.id;
    EXPECT_EQ(ids, c.ids) << c.search.toStdString();
  }
  EXPECT_EQ(history.runs(QString(), 2).size(), 2);
  EXPECT_EQ(history.runs(QString(), 2).first().id, 3);
}

TEST_F(History, ARecordedRunSurvivesACrashOfTheProgram) {
  const QString path = file();
  // The child records one run and dies at once, closing nothing.
  EXPECT_DEATH(
      {
        RunHistory history(path);
        RunRecord r = runOf("select 1 from dual");
        if (history.record(r)) std::abort();
      },
      "");
  RunHistory after(path);
  ASSERT_TRUE(after.isOpen()) << after.lastError().toStdString();
  EXPECT_TRUE(after.notice().isEmpty());
  ASSERT_EQ(after.count(), 1);
  EXPECT_EQ(after.runs().first().statement, "select 1 from dual");
}

TEST_F(History, KeepsTheLastTenThousandRuns) {
  RunHistory history(file());
  RunRecord r = runOf("select 1 from dual");
  for (int i = 0; i < RunHistory::kKeptRuns + 25; ++i) {
    r.rows = i;
    ASSERT_TRUE(history.record(r)) << history.lastError().toStdString();
  }
  EXPECT_EQ(history.count(), RunHistory::kKeptRuns);
  const QList<RunRecord> runs = history.runs();
  ASSERT_EQ(runs.size(), RunHistory::kKeptRuns);
  EXPECT_EQ(runs.first().rows, RunHistory::kKeptRuns + 24);
  EXPECT_EQ(runs.last().rows, 25);  // the 25 oldest went
}

TEST_F(History, ADamagedFileIsSetAsideAndANewOneStarted) {
  QDir().mkpath(QFileInfo(file()).absolutePath());
  QFile damaged(file());
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write(QByteArray(4096, 'x'));
  damaged.close();
  RunHistory history(file(), "AN");
  ASSERT_TRUE(history.isOpen()) << history.lastError().toStdString();
  EXPECT_TRUE(history.notice().startsWith("The run history ")) << history.notice().toStdString();
  EXPECT_TRUE(history.setAsidePath().startsWith(file() + ".damaged-"));
  QFile kept(history.setAsidePath());
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray(4096, 'x'));
  RunRecord r = runOf("select 1 from dual");
  EXPECT_TRUE(history.record(r));
  EXPECT_EQ(history.count(), 1);
  // The French message for the French interface.
  QFile again(file());
  ASSERT_TRUE(again.open(QIODevice::WriteOnly | QIODevice::Truncate));
  again.write(QByteArray("this is not a database, only text\n").repeated(50));
  again.close();
  QFile::remove(file() + "-wal");
  QFile::remove(file() + "-shm");
  RunHistory french(file(), "FR");
  EXPECT_TRUE(french.notice().startsWith("L'historique des exécutions ")) << french.notice().toStdString();
  EXPECT_TRUE(french.isOpen());
}

TEST_F(History, AHistoryHeldByAnotherProgramIsNotDamaged) {
  RunHistory first(file());
  RunRecord r = runOf("select 1 from dual");
  ASSERT_TRUE(first.record(r));
  // Another program holds the write lock for longer than the wait: the
  // second history cannot record this run, but the file stays where it is.
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(file()).constData(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
  RunHistory second(file());
  EXPECT_TRUE(second.notice().isEmpty());
  RunRecord blocked = runOf("select 2 from dual");
  EXPECT_FALSE(second.isOpen() && second.record(blocked));
  sqlite3_exec(holder, "rollback", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_TRUE(QDir(QFileInfo(file()).absolutePath()).entryList({"*.damaged-*"}).isEmpty());
  RunHistory third(file());
  EXPECT_EQ(third.count(), 1);
}

TEST_F(History, AFolderThatCannotHoldTheFileRecordsNothing) {
  QFile blocker(folder.filePath("blocked"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  RunHistory history(folder.filePath("blocked/history.sqlite"));
  EXPECT_FALSE(history.isOpen());
  EXPECT_FALSE(history.lastError().isEmpty());
  RunRecord r = runOf("select 1 from dual");
  EXPECT_FALSE(history.record(r));
  EXPECT_TRUE(history.runs().isEmpty());
}

TEST(CatalogueEntry, RefusalMessagesByTheirEntry) {
  const kernel::TextTables& fr = kernel::frenchTexts();
  struct Case {
    QString message;
    int entry;
  };
  const QList<Case> cases = {
      {fr.messages.value(45) + "1234, voulez vous continuer?", 45},  // entry then details
      {fr.messages.value(26), 26},
      {"ORA-00942: table or view does not exist", -1},
      {"", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(catalogueEntryOf(fr, c.message), c.entry) << c.message.toStdString();
}

TEST(RecordedQuery, ReopensIntoBothGridsInTheOtherLanguage) {
  kernel::AppState french;
  french.language = "FR";
  builder::QueryGrids grids(french);
  grids.replaceObjects({{"2", "0", "Department", "Char"}, {"20", "1", "Total salary", "Num"}});
  grids.replaceConditions({{"6", "", "ET", "(", "Fonction", "Egal à", "", "clerk", "Char", "0"},
                           {"6", "", "OU", "", "Fonction", "Egal à", "", "analyst", "Char", "0"},
                           {"", ")", "", "", "", "", "", "", "", ""}});
  RunRecord r;
  QString fault;
  ASSERT_TRUE(captureQuery(grids, r, fault)) << fault.toStdString();
  EXPECT_EQ(r.objectNames, (QStringList{"Department", "Total salary"}));

  // The same query written in English words is what the English grids show.
  kernel::AppState english;
  english.language = "AN";
  builder::QueryGrids expected(english);
  expected.replaceObjects({{"2", "0", "Department", "Char"}, {"20", "1", "Total salary", "Num"}});
  expected.replaceConditions({{"6", "", "AND", "(", "Fonction", "Equal to", "", "clerk", "Char", "0"},
                              {"6", "", "OR", "", "Fonction", "Equal to", "", "analyst", "Char", "0"},
                              {"", ")", "", "", "", "", "", "", "", ""}});
  builder::QueryGrids reopened(english);
  ASSERT_EQ(restoreQuery(r, reopened), std::nullopt);
  EXPECT_EQ(reopened.objects(), expected.objects());
  EXPECT_EQ(reopened.conditions(), expected.conditions());

  // And back in French, exactly as captured.
  builder::QueryGrids frenchAgain(french);
  ASSERT_EQ(restoreQuery(r, frenchAgain), std::nullopt);
  EXPECT_EQ(frenchAgain.objects(), grids.objects());
  EXPECT_EQ(frenchAgain.conditions(), grids.conditions());

  // A run of the editor's text holds no query: the grids stay as they are.
  RunRecord editor;
  EXPECT_NE(restoreQuery(editor, frenchAgain), std::nullopt);
  EXPECT_EQ(frenchAgain.objects(), grids.objects());
}

}  // namespace
