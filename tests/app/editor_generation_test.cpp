// The road from the query grids to the editor in the whole window: a fresh
// schema with the demonstration universe imported, objects added in query
// mode, and editor mode showing the statement the grids make.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/main_window_features.h"
#include "builder/query_panel.h"
#include "db/connection.h"
#include "main_window_fixture.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"
#include "sqlgen/sql_panel.h"
#include "support/test_paths.h"

namespace korvo::app {
namespace {

QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& text) {
  const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

TEST(EditorGeneration, TheEditorShowsTheStatementOfTheGrids) {
  const QByteArray ini = "[PARAMETRES]\r\nLANG=FR\r\nCOST=0\r\nMESG_DEMO=YES\r\n";
  testing::MainWindowHarness harness(&ini);
  MainWindow& w = *harness.window;
  MainWindowFeatures features(w, harness.interaction);

  QTemporaryDir schemas;
  const QString alias = "local:" + schemas.path();
  auto connection = db::connectionForAlias(alias);
  connection->open(alias, "scott", "tiger");
  {
    kernel::AppState state;
    kernel::RecordingInteraction quiet;
    repository::UniverseList list(*connection, quiet, state);
    const QString folder = QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS");
    ASSERT_EQ(repository::UniverseImport(*connection, quiet, state, list, folder).ImporterUnivers(),
              repository::ImportOutcome::Finished)
        << quiet.errors.join(" | ").toStdString();
  }
  w.setConnection(std::move(connection));
  w.show();

  w.procPanelRequete();
  builder::QueryPanel* q = w.queryPanel();
  // Without a result object the editor stays empty.
  w.sqlClick();
  EXPECT_TRUE(w.sqlPanel()->memoSql->toPlainText().isEmpty());

  w.procPanelRequete();
  for (const char* name : {"Département", "Masse salariale"}) {
    QTreeWidgetItem* node = findNode(q->treeViewClasse, QString::fromUtf8(name));
    ASSERT_NE(node, nullptr) << name;
    q->treeViewClasse->setCurrentItem(node);
    q->sbAjouter->click();
  }
  w.sqlClick();
  const QString sql = w.sqlPanel()->memoSql->toPlainText();
  EXPECT_EQ(sql, QString("Select distinct \n"
                         "    KORVO_DEPT.DNAME \"Département\",\n"
                         "    sum(KORVO_EMP.SAL) \"Masse salariale\"\n"
                         " From \n"
                         "    KORVO_DEPT,\n"
                         "    KORVO_EMP\n"
                         " where  1=1\n"
                         "    AND KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO\n"
                         " GROUP BY KORVO_DEPT.DNAME"))
      << sql.toStdString();
  EXPECT_TRUE(harness.interaction.errors.isEmpty());

  // "Bloquer Sql" keeps the text the user has.
  w.sqlPanel()->memoSql->setPlainText("select 1 from dual");
  w.sqlPanel()->cbBloquerSql->setChecked(true);
  w.procPanelRequete();
  w.sqlClick();
  EXPECT_EQ(w.sqlPanel()->memoSql->toPlainText(), "select 1 from dual");
}

}  // namespace
}  // namespace korvo::app
