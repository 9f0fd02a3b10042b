// The analyst's whole road in the window: a fresh schema with the
// demonstration universe imported, two objects and a condition added by
// double-click in query mode, the run with its cost question, the result
// grid sorted by a title click, and the rows copied to the clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/main_window_features.h"
#include "app/main_window_target.h"
#include "app/run_features.h"
#include "sqlgen/run_history.h"
#include "sqlgen/run_history_dialog.h"
#include "sqlgen/file_export.h"
#include <QFileInfo>
#include <QMimeData>
#include "builder/workspace.h"
#include "builder/query_panel.h"
#include "db/connection.h"
#include "main_window_fixture.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"
#include "session/plan_table.h"
#include "builder/value_list_dialog.h"
#include <QLabel>
#include "sqlgen/prompt_dialog.h"
#include "sqlgen/result_panel.h"
#include "sqlgen/sql_panel.h"
#include "kernel/toolbar_widget.h"
#include "support/test_paths.h"
#include "support/when_modal.h"

namespace korvo::app {
namespace {

QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& text) {
  const QList<QTreeWidgetItem*> found =
      tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

void doubleClick(QTreeWidget* tree, QTreeWidgetItem* item) {
  QCoreApplication::processEvents();  // the tree lays out its items
  tree->scrollToItem(item);
  tree->setCurrentItem(item);
  const QPoint at = tree->visualItemRect(item).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

void doubleClickText(QTreeWidget* list, const QString& text) {
  const QList<QTreeWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  ASSERT_FALSE(found.isEmpty()) << text.toStdString();
  doubleClick(list, found.first());
}

// With KORVO_SCREENSHOT_DIR set (scripts/screenshots.sh), the window at a
// step of the road is written there as `name`.
void snapshot(MainWindow& w, const char* name) {
  const QByteArray folder = qgetenv("KORVO_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QCoreApplication::processEvents();
  const QString path = QDir(QString::fromLocal8Bit(folder)).filePath(QLatin1String(name));
  EXPECT_TRUE(w.grab().toImage().save(path)) << path.toStdString();
}

class RunRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    // The icons are compiled into the program only; the test reads the files.
    if (!QFile::exists(":/icons/add.png"))
      kernel::setIconFolder(korvo::testing::sourceRoot() + "/src/resources/icons");
    const QByteArray ini = "[PARAMETRES]\r\nLANG=FR\r\nCOST=0\r\nMESG_DEMO=YES\r\n";
    harness = std::make_unique<testing::MainWindowHarness>(&ini);
    MainWindow& w = *harness->window;
    features = std::make_unique<MainWindowFeatures>(w, harness->interaction);
    const QString alias = "local:" + schemas.path();
    auto connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    kernel::RecordingInteraction quiet;
    repository::UniverseList list(*connection, quiet, w.state());
    const QString folder = QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS");
    imported = repository::UniverseImport(*connection, quiet, w.state(), list, folder)
                   .ImporterUnivers() == repository::ImportOutcome::Finished;
    session::InitPlanTable(*connection, w.state());
    w.setConnection(std::move(connection));
    w.resize(1280, 760);
    w.show();
  }

  // Query mode with Département and Masse salariale as result objects and
  // the condition Salaire supérieur à 1000.
  void buildQuery() {
    MainWindow& w = *harness->window;
    w.procPanelRequete();
    builder::QueryPanel* q = w.queryPanel();
    q->button1->click();  // Tout développer
    for (const char* name : {"Département", "Masse salariale"}) {
      QTreeWidgetItem* node = findNode(q->treeViewClasse, QString::fromUtf8(name));
      ASSERT_NE(node, nullptr) << name;
      doubleClick(q->treeViewClasse, node);
    }
    QTreeWidgetItem* salary = findNode(q->treeViewClasse, QStringLiteral("Salaire"));
    ASSERT_NE(salary, nullptr);
    q->treeViewClasse->setCurrentItem(salary);
    q->sbAjouterCond->click();
    doubleClickText(q->treeViewOper, QString::fromUtf8("Supérieur à"));
    doubleClickText(q->treeViewOperande, QStringLiteral("Saisir une nouvelle constante"));
    QTableWidget* cond = q->stringGridCond;
    QTableWidgetItem* operand = cond->item(0, 7);
    ASSERT_NE(operand, nullptr);
    operand->setText(QStringLiteral("1000"));
  }

  QTemporaryDir schemas;
  std::unique_ptr<testing::MainWindowHarness> harness;
  std::unique_ptr<MainWindowFeatures> features;
  bool imported = false;
};

QStringList gridColumn(QTableView* grid, int column) {
  QStringList values;
  if (!grid->model()) return {QStringLiteral("<the grid shows no result>")};
  for (int r = 0; r < grid->model()->rowCount(); ++r)
    values << grid->model()->index(r, column).data().toString();
  return values;
}

TEST_F(RunRoad, BuildRunSortAndCopy) {
  ASSERT_TRUE(imported);
  ASSERT_NO_FATAL_FAILURE(buildQuery());
  MainWindow& w = *harness->window;
  builder::QueryPanel* q = w.queryPanel();
  ASSERT_TRUE(q->sbExecute->isEnabled()) << "no result object was added";
  snapshot(w, "screenshot-query-real.png");

  // Cost 0 is the threshold: the positive estimate is asked about. No first.
  harness->interaction.answers = {false};
  q->sbExecute->click();
  ASSERT_EQ(harness->interaction.asked.size(), 1);
  EXPECT_TRUE(harness->interaction.asked[0].startsWith(
      QString::fromUtf8("Le coût de la requete est estimé à: ")));
  EXPECT_TRUE(harness->interaction.asked[0].endsWith(", voulez vous continuer?"));
  EXPECT_EQ(w.mode(), WorkMode::Query);

  harness->interaction.answers = {true};
  q->sbExecute->click();
  ASSERT_EQ(w.mode(), WorkMode::Result) << harness->interaction.errors.join(" | ").toStdString();
  EXPECT_TRUE(harness->interaction.errors.isEmpty())
      << harness->interaction.errors.join(" | ").toStdString();
  QTableView* grid = w.resultPanel()->dbGridData;
  ASSERT_EQ(grid->model()->columnCount(), 2);
  EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("Département"));
  QStringList departments = gridColumn(grid, 0);
  std::sort(departments.begin(), departments.end());
  EXPECT_EQ(departments, QStringList({"ACCOUNTING", "RESEARCH", "SALES"}));

  // A title click sorts on the server, then the other way round.
  const int section = 0;
  const QPoint title(grid->horizontalHeader()->sectionViewportPosition(section) + 5, 5);
  QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, title);
  EXPECT_EQ(gridColumn(grid, 0), QStringList({"ACCOUNTING", "RESEARCH", "SALES"}));
  EXPECT_EQ(w.statusText(1), QString::fromUtf8("TRI: Département ASC"));
  QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, title);
  EXPECT_EQ(gridColumn(grid, 0), QStringList({"SALES", "RESEARCH", "ACCOUNTING"}));
  EXPECT_EQ(w.statusText(1), QString::fromUtf8("TRI: Département DESC"));
  snapshot(w, "screenshot-result-real.png");

  // The copy: titles, tabs, CR LF after every line; salaries above 1000.
  QApplication::clipboard()->clear();
  w.resultPanel()->sbCopier->click();
  EXPECT_EQ(QApplication::clipboard()->text(),
            QString::fromUtf8("Département\tMasse salariale\r\n"
                              "SALES\t8450\r\n"
                              "RESEARCH\t10075\r\n"
                              "ACCOUNTING\t8750\r\n"))
      << QApplication::clipboard()->text().toStdString();
  EXPECT_TRUE(harness->interaction.informed.isEmpty())
      << harness->interaction.informed.join(" | ").toStdString();

  // Refresh runs the memo again, without the sort, and clears the sort text.
  harness->interaction.answers = {true};
  w.resultPanel()->sbRaf->click();
  EXPECT_EQ(w.statusText(1), QString());
  EXPECT_EQ(grid->model()->rowCount(), 3);

  // The editor shows the statement that ran.
  w.sqlClick();
  EXPECT_TRUE(w.sqlPanel()->memoSql->toPlainText().contains("KORVO_EMP.SAL > 1000"))
      << w.sqlPanel()->memoSql->toPlainText().toStdString();
  snapshot(w, "screenshot-editor-real.png");
}

TEST_F(RunRoad, APromptIsAskedInTheDialogAndItsAnswerRuns) {
  ASSERT_TRUE(imported);
  MainWindow& w = *harness->window;
  w.procPanelRequete();
  harness->interaction.chosenFiles = {QDir(korvo::testing::sourceRoot())
                                          .filePath(QString::fromUtf8(
                                              "data/REQUETES/Employés des fonctions choisies.xml"))};
  w.queryPanel()->sbOuvrir->click();
  ASSERT_TRUE(harness->interaction.errors.isEmpty())
      << harness->interaction.errors.join(" | ").toStdString();
  harness->interaction.defaultAnswer = true;

  // Cancel first: nothing runs.
  const auto answerDialog = [](const QString& answer, bool ok) {
    korvo::testing::whenModal<sqlgen::PromptDialog>([answer, ok](sqlgen::PromptDialog* dialog) {
      EXPECT_EQ(dialog->findChild<QLabel*>("LB6")->text(), "Fonction");
      EXPECT_FALSE(dialog->okButton()->isEnabled());
      dialog->field(0)->setText(answer);
      if (ok)
        dialog->okButton()->click();
      else
        dialog->reject();
    });
  };
  answerDialog("('PRESIDENT')", false);
  w.queryPanel()->sbExecute->click();
  EXPECT_EQ(w.mode(), WorkMode::Query);

  // The answer chosen from the list of values of the prompt's object.
  korvo::testing::whenModal<sqlgen::PromptDialog>([](sqlgen::PromptDialog* dialog) {
    dialog->field(0)->setFocus();
    QApplication::processEvents();
    korvo::testing::whenModal<builder::ValueListDialog>([](builder::ValueListDialog* list) {
      const QList<QListWidgetItem*> found =
          list->valueList()->findItems("PRESIDENT", Qt::MatchExactly);
      ASSERT_EQ(found.size(), 1);
      found[0]->setSelected(true);
      list->okButton()->click();
    });
    dialog->valuesButton()->click();
    EXPECT_EQ(dialog->field(0)->text(), "('PRESIDENT')");
    dialog->okButton()->click();
  });
  w.queryPanel()->sbExecute->click();
  ASSERT_EQ(w.mode(), WorkMode::Result);
  EXPECT_EQ(gridColumn(w.resultPanel()->dbGridData, 0), QStringList({"KING"}));
  // The answer went into the condition grid, as a constant of the query.
  EXPECT_EQ(w.queryPanel()->stringGridCond->item(0, 7)->text(), "('PRESIDENT')");
}

TEST_F(RunRoad, TheValuePanelWritesTheChosenValuesIntoTheCondition) {
  ASSERT_TRUE(imported);
  MainWindow& w = *harness->window;
  w.procPanelRequete();
  builder::QueryPanel* q = w.queryPanel();
  q->button1->click();
  doubleClick(q->treeViewClasse, findNode(q->treeViewClasse, QStringLiteral("Employé")));
  q->treeViewClasse->setCurrentItem(findNode(q->treeViewClasse, QStringLiteral("Fonction")));
  q->sbAjouterCond->click();
  doubleClickText(q->treeViewOper, QString::fromUtf8("Dans liste"));
  doubleClickText(q->treeViewOperande, QStringLiteral("Liste de valeur"));
  ASSERT_TRUE(q->panelValeur->isVisible());
  EXPECT_TRUE(q->label1->text().startsWith("Liste de valeurs"));
  QListWidget* list = q->listBoxValeur;
  ASSERT_EQ(list->count(), 5);
  auto* filter = q->panelValeur->findChild<QLineEdit*>("EditFiltreValeur");
  ASSERT_NE(filter, nullptr);
  filter->setText("MAN");  // narrows as typed, ignoring case
  QStringList shown;
  for (int i = 0; i < list->count(); ++i)
    if (!list->item(i)->isHidden()) shown << list->item(i)->text();
  EXPECT_EQ(shown, QStringList({"MANAGER", "SALESMAN"}));
  list->findItems("MANAGER", Qt::MatchExactly)[0]->setSelected(true);
  list->findItems("SALESMAN", Qt::MatchExactly)[0]->setSelected(true);
  q->btSelValeur->click();
  EXPECT_FALSE(q->panelValeur->isVisible());
  EXPECT_EQ(q->stringGridCond->item(0, 7)->text(), "('MANAGER','SALESMAN')");

  harness->interaction.defaultAnswer = true;
  q->sbExecute->click();
  ASSERT_EQ(w.mode(), WorkMode::Result);
  EXPECT_EQ(w.resultPanel()->dbGridData->model()->rowCount(), 7);
}

TEST_F(RunRoad, ACallInTheEditorsTextIsAskedOnceAndAnsweredOnRefresh) {
  ASSERT_TRUE(imported);
  MainWindow& w = *harness->window;
  harness->interaction.defaultAnswer = true;
  sqlgen::SqlPanel* editor = w.sqlPanel();
  editor->cbBloquerSql->setChecked(true);
  w.sqlClick();
  editor->memoSql->setPlainText(
      "select ename from KORVO_EMP where ename = @Variable('BOUSER') order by 1");
  int asked = 0;
  korvo::testing::whenModal<sqlgen::PromptDialog>([&asked](sqlgen::PromptDialog* dialog) {
    ASSERT_NE(dialog, nullptr);
    ++asked;
    EXPECT_EQ(dialog->findChild<QLabel*>("LB100000")->text(), "BOUSER");
    dialog->field(0)->setText("SCOTT");
    dialog->okButton()->click();
  });
  editor->sbExecuteSql->click();
  ASSERT_EQ(w.mode(), WorkMode::Result);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(gridColumn(w.resultPanel()->dbGridData, 0), QStringList({"SCOTT"}));
  EXPECT_EQ(editor->memoSql->toPlainText(),
            "select ename from KORVO_EMP where ename = 'SCOTT' order by 1");
  // The memo now holds the answer: a refresh asks nothing.
  w.resultPanel()->sbRaf->click();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(gridColumn(w.resultPanel()->dbGridData, 0), QStringList({"SCOTT"}));
}

TEST_F(RunRoad, EditorRunsTheUsersOwnSelectAndRefusesOtherStatements) {
  ASSERT_TRUE(imported);
  MainWindow& w = *harness->window;
  sqlgen::SqlPanel* editor = w.sqlPanel();
  editor->cbBloquerSql->setChecked(true);
  w.sqlClick();
  editor->memoSql->setPlainText("delete from KORVO_EMP");
  editor->sbExecuteSql->click();
  EXPECT_EQ(harness->interaction.informed,
            QStringList({QString::fromUtf8("Cette base est en consultation, instruction non autorisée...")}));
  EXPECT_EQ(w.mode(), WorkMode::Editor);

  // A new connection lets the grid go of its rows; the run binds it again.
  MainWindowTarget(w).detachResultGrid();
  harness->interaction.defaultAnswer = true;
  editor->memoSql->setPlainText("select ename from KORVO_EMP where deptno = 10 order by ename");
  editor->memoSql->setFocus();
  QTest::keyClick(editor->memoSql, Qt::Key_F9);
  ASSERT_EQ(w.mode(), WorkMode::Result);
  EXPECT_EQ(gridColumn(w.resultPanel()->dbGridData, 0),
            QStringList({"CLARK", "KING", "MILLER"}));
}

TEST_F(RunRoad, TheEditorSendsTheScriptAsItStands) {
  ASSERT_TRUE(imported);
  MainWindow& w = *harness->window;
  sqlgen::SqlPanel* editor = w.sqlPanel();
  editor->cbBloquerSql->setChecked(true);
  harness->interaction.defaultAnswer = true;
  const QString refused = QString::fromUtf8("Cette base est en consultation, instruction non autorisée...");
  const auto run = [&](const QString& text) {
    w.sqlClick();
    editor->memoSql->setPlainText(text);
    harness->interaction.informed.clear();
    harness->interaction.errors.clear();
    editor->sbExecuteSql->click();
  };

  // Blank lines, then a lower-case select: it runs.
  run("\n\n   select ename from korvo_emp where empno = 7839");
  ASSERT_EQ(w.mode(), WorkMode::Result);
  EXPECT_EQ(gridColumn(w.resultPanel()->dbGridData, 0), QStringList({"KING"}));
  // Its first word is not SELECT: refused before the database sees it.
  for (const char* text : {"update KORVO_EMP set SAL = 0", "-- the clerks\nselect * from KORVO_EMP"}) {
    run(text);
    EXPECT_EQ(w.mode(), WorkMode::Editor) << text;
    EXPECT_EQ(harness->interaction.informed, QStringList({refused})) << text;
  }
  // Sent whole: the database refuses the semicolon.
  run("select ename from korvo_emp;");
  EXPECT_EQ(w.mode(), WorkMode::Editor);
  ASSERT_EQ(harness->interaction.errors.size(), 1);
  EXPECT_TRUE(harness->interaction.errors[0].startsWith("ORA-00911")) << harness->interaction.errors[0].toStdString();

  // "Bloquer Sql" keeps the text across the modes, and a Cartesian query written by hand runs.
  const QString cartesian = "select count(*) from KORVO_EMP, KORVO_DEPT";
  editor->memoSql->setPlainText(cartesian);
  w.procPanelRequete();
  w.sqlClick();
  EXPECT_EQ(editor->memoSql->toPlainText(), cartesian);
  editor->sbExecuteSql->click();
  ASSERT_EQ(w.mode(), WorkMode::Result);
  EXPECT_EQ(gridColumn(w.resultPanel()->dbGridData, 0), QStringList({"56"}));
}

TEST_F(RunRoad, EveryTriggerIsRecordedInTheHistory) {
  ASSERT_TRUE(imported);
  QTemporaryDir data;
  RunFeatures* runs = features->run();
  runs->setHistoryPath(data.filePath("history.sqlite"));
  MainWindow& w = *harness->window;
  w.state().connectedAlias = "local:" + schemas.path();
  w.state().connectedUser = "scott";
  ASSERT_NO_FATAL_FAILURE(buildQuery());

  harness->interaction.answers = {false};  // the cost question: No
  w.queryPanel()->sbExecute->click();
  harness->interaction.answers = {true};
  w.queryPanel()->sbExecute->click();
  ASSERT_EQ(w.mode(), WorkMode::Result);
  QTableView* grid = w.resultPanel()->dbGridData;
  QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                    QPoint(grid->horizontalHeader()->sectionViewportPosition(0) + 5, 5));
  harness->interaction.answers = {true};
  w.resultPanel()->sbRaf->click();
  w.sqlClick();
  w.sqlPanel()->memoSql->setPlainText("select no_such_column from dual");
  harness->interaction.defaultAnswer = true;
  w.sqlPanel()->sbExecuteSql->click();

  sqlgen::RunHistory* history = runs->history();
  ASSERT_NE(history, nullptr);
  const QList<sqlgen::RunRecord> recorded = history->runs();
  QStringList seen;
  for (const sqlgen::RunRecord& r : recorded)
    seen << sqlgen::runTriggerName(r.trigger) + ":" + sqlgen::outcomeName(r.outcome) + ":" +
                QString::number(r.rows);
  EXPECT_EQ(seen, (QStringList{"editor:error:0", "refresh:rows:3", "sort:rows:3", "builder:rows:3",
                               "builder:refused:0"}));
  ASSERT_EQ(recorded.size(), 5);
  EXPECT_TRUE(recorded[0].error.startsWith("ORA-00904")) << recorded[0].error.toStdString();
  EXPECT_TRUE(recorded[2].statement.endsWith(" ASC")) << recorded[2].statement.toStdString();
  EXPECT_EQ(recorded[4].refusal, 45);
  EXPECT_EQ(recorded[3].alias, "local:" + schemas.path());
  EXPECT_EQ(recorded[3].user, "scott");
  EXPECT_FALSE(recorded[3].universeName.isEmpty());
  EXPECT_EQ(recorded[3].objectNames, QStringList({QString::fromUtf8("Département"), "Masse salariale"}));
  // The builder's query comes back exactly into grids of the same language.
  kernel::AppState french;
  builder::QueryGrids reopened(french);
  ASSERT_EQ(sqlgen::restoreQuery(recorded[3], reopened), std::nullopt);
  EXPECT_EQ(reopened.objects(), features->workspace().grids().objects());
  EXPECT_EQ(reopened.conditions(), features->workspace().grids().conditions());
  EXPECT_FALSE(recorded[2].hasQuery());  // the sort ran the memo's text
}

TEST_F(RunRoad, TheHistoryReopensARunAndTheResultGoesWholeToAFile) {
  ASSERT_TRUE(imported);
  QTemporaryDir data;
  RunFeatures* runs = features->run();
  runs->setHistoryPath(data.filePath("history.sqlite"));
  MainWindow& w = *harness->window;
  ASSERT_NO_FATAL_FAILURE(buildQuery());
  harness->interaction.defaultAnswer = true;
  w.queryPanel()->sbExecute->click();
  ASSERT_EQ(w.mode(), WorkMode::Result);
  const kernel::Grid objects = features->workspace().grids().objects();
  const kernel::Grid conditions = features->workspace().grids().conditions();

  // More rows than the grid's first packet of 500: the export fetches the rest.
  w.sqlClick();
  w.sqlPanel()->memoSql->setPlainText("select level N, 'x,y' T from dual connect by level <= 1234");
  w.sqlPanel()->sbExecuteSql->click();
  ASSERT_EQ(w.mode(), WorkMode::Result) << harness->interaction.errors.join(" | ").toStdString();
  ASSERT_EQ(w.resultPanel()->dbGridData->model()->rowCount(), 500);
  const QString csv = data.filePath("all.csv");
  const sqlgen::ExportOutcome out = runs->exportResultTo(csv);
  ASSERT_TRUE(out.ok()) << out.error.toStdString();
  EXPECT_EQ(out.rows, 1234);
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_EQ(bytes.count("\r\n"), 1235);
  EXPECT_TRUE(bytes.startsWith("N,T\r\n1,\"x,y\"\r\n"));
  EXPECT_TRUE(bytes.endsWith("1234,\"x,y\"\r\n"));
  // The same through the menu item, the file chosen in the save box.
  harness->interaction.chosenFiles = {data.filePath("all.html")};
  QAction* item = w.findChild<QAction*>("ExporterGrille1");
  ASSERT_NE(item, nullptr);
  item->trigger();
  EXPECT_TRUE(QFileInfo::exists(data.filePath("all.html")));
  // And through the result toolbar's button, into a workbook.
  harness->interaction.chosenFiles = {data.filePath("all.xlsx")};
  QToolButton* button = w.resultPanel()->findChild<QToolButton*>("SBExportGrid");
  ASSERT_NE(button, nullptr);
  button->click();
  EXPECT_TRUE(QFileInfo::exists(data.filePath("all.xlsx")));

  // The copy: the plain text, and the same cells as HTML beside it.
  w.resultPanel()->sbCopier->click();
  const QMimeData* copied = QApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_TRUE(copied->text().startsWith("N\tT\r\n1\tx,y\r\n"));
  EXPECT_TRUE(copied->hasHtml());
  EXPECT_TRUE(copied->html().contains("<tr><td>1</td><td>x,y</td></tr>"));

  // The history window lists both runs, newest first, and searches them.
  QAction* historyItem = w.findChild<QAction*>("HistoriqueExecutions1");
  ASSERT_NE(historyItem, nullptr);
  EXPECT_EQ(historyItem->shortcut(), QKeySequence("Ctrl+H"));
  w.procPanelRequete();
  features->workspace().grids().replaceObjects({});
  features->workspace().grids().replaceConditions({});
  korvo::testing::whenModal<sqlgen::RunHistoryDialog>([](sqlgen::RunHistoryDialog* dialog) {
    EXPECT_EQ(dialog->runList()->rowCount(), 2);
    EXPECT_TRUE(dialog->details()->toPlainText().contains("connect by level")) ;
    dialog->searchBox()->setText(QString::fromUtf8("masse SALARIALE"));
    ASSERT_EQ(dialog->runList()->rowCount(), 1);
    EXPECT_TRUE(dialog->details()->toPlainText().contains("KORVO_EMP.SAL > 1000"));
    emit dialog->runList()->cellDoubleClicked(0, 0);
  });
  historyItem->trigger();
  // Reopened, not run: the query is back in both grids, the result unchanged.
  EXPECT_EQ(w.mode(), WorkMode::Query);
  EXPECT_EQ(features->workspace().grids().objects(), objects);
  EXPECT_EQ(features->workspace().grids().conditions(), conditions);
  EXPECT_EQ(runs->history()->count(), 2);
  EXPECT_EQ(w.resultPanel()->dbGridData->model()->rowCount(), 1234);

  // The editor's run reopens as its text.
  korvo::testing::whenModal<sqlgen::RunHistoryDialog>([](sqlgen::RunHistoryDialog* dialog) {
    emit dialog->runList()->cellDoubleClicked(0, 0);
  });
  historyItem->trigger();
  EXPECT_EQ(w.mode(), WorkMode::Editor);
  EXPECT_EQ(w.sqlPanel()->memoSql->toPlainText(), "select level N, 'x,y' T from dual connect by level <= 1234");
}

}  // namespace
}  // namespace korvo::app
