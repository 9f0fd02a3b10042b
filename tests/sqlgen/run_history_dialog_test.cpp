// The run history window on its own: the runs newest first in the
// interface's language, the search as it is typed, the details of the
// selected run, and the double click that hands the run back.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>

#include "qt_print.h"
#include "sqlgen/run_history_dialog.h"

using namespace korvo::sqlgen;

namespace {

class HistoryWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    history = std::make_unique<RunHistory>(folder.filePath("h.sqlite"));
    add("select ENAME from KORVO_EMP", {"Employé"}, RunTrigger::Builder, RunRecord::Outcome::Fetched, 14);
    add("select DNAME from KORVO_DEPT", {"Département"}, RunTrigger::Editor, RunRecord::Outcome::Failed, 0);
    add("select 1 from dual", {}, RunTrigger::Sort, RunRecord::Outcome::Cancelled, 0);
  }
  void add(const QString& statement, const QStringList& objects, RunTrigger trigger,
           RunRecord::Outcome outcome, long long rows) {
    RunRecord r;
    r.startedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0));
    r.statement = statement;
    r.objectNames = objects;
    r.trigger = trigger;
    r.outcome = outcome;
    r.rows = rows;
    r.alias = "local:/x";
    r.user = "scott";
    if (outcome == RunRecord::Outcome::Failed) r.error = "ORA-00942: table or view does not exist";
    ASSERT_TRUE(history->record(r));
  }
  static QStringList column(QTableWidget* list, int col) {
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r) out << list->item(r, col)->text();
    return out;
  }
  QTemporaryDir folder;
  std::unique_ptr<RunHistory> history;
};

TEST_F(HistoryWindow, ListsSearchesAndHandsBackTheRun) {
  RunHistoryDialog dialog(*history, "AN");
  EXPECT_EQ(dialog.windowTitle(), "Run history");
  QTableWidget* list = dialog.runList();
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Origin");
  EXPECT_EQ(column(list, 1), (QStringList{"Sort", "SQL editor", "Query builder"}));
  EXPECT_EQ(column(list, 2), (QStringList{"Cancelled", "Error", "Rows"}));
  EXPECT_EQ(column(list, 3), (QStringList{"", "", "14"}));  // rows only for a run that fetched
  // The newest is selected and shown.
  EXPECT_TRUE(dialog.details()->toPlainText().endsWith("\nselect 1 from dual"));

  dialog.searchBox()->setText("korvo_");
  EXPECT_EQ(list->rowCount(), 2);
  dialog.searchBox()->setText(QString::fromUtf8("DÉPARTEMENT"));
  ASSERT_EQ(list->rowCount(), 1);
  const QString details = dialog.details()->toPlainText();
  EXPECT_TRUE(details.contains("Origin: SQL editor"));
  EXPECT_TRUE(details.contains("Connection: scott@local:/x"));
  EXPECT_TRUE(details.contains("Message: ORA-00942: table or view does not exist"));

  long long reopened = 0;
  dialog.onReopen = [&](const RunRecord& r) { reopened = r.id; };
  emit list->cellDoubleClicked(0, 3);
  EXPECT_EQ(reopened, 2);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(HistoryWindow, InFrench) {
  RunHistoryDialog dialog(*history, "FR");
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Historique des exécutions"));
  EXPECT_EQ(column(dialog.runList(), 1), (QStringList{"Tri", QString::fromUtf8("Éditeur SQL"), QString::fromUtf8("Requête")}));
  EXPECT_TRUE(dialog.details()->toPlainText().contains(QString::fromUtf8("Résultat: Annulée")));
}

}  // namespace
