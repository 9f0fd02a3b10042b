// Pictures of the main window in each working mode. As a test it checks that
// each mode shows its own panel over the whole working area; with
// KORVO_SCREENSHOT_DIR set (scripts/screenshots.sh) it also writes
// screenshot-universe.png, -query.png, -result.png and -editor.png there, in
// the language of KORVO_SCREENSHOT_LANG ("FR" by default).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/main_window_fixture.h"
#include "builder/query_panel.h"
#include "sqlgen/result_panel.h"
#include "sqlgen/sql_panel.h"
#include "support/test_paths.h"
#include "kernel/toolbar_widget.h"
#include "kernel/tree_images_widget.h"
#include "repository/universe_panel.h"

namespace korvo::app {

using namespace korvo::kernel;
namespace {

void setRow(QTableWidget* grid, int row, const QStringList& cells) {
  if (grid->rowCount() <= row) grid->setRowCount(row + 1);
  for (int c = 0; c < cells.size(); ++c) grid->setItem(row, c, new QTableWidgetItem(cells[c]));
}

// Sample rows so that the pictures show what each panel is for.
void fillSamples(MainWindow& w) {
  setRow(w.universePanel()->stringGridUniv, 0,
         {"1", "Korvo démonstration", "1", "08/12/2026", "08/12/2026", "N"});

  QueryPanel* q = w.queryPanel();
  const struct {
    const char* cls;
    QList<QPair<const char*, int>> objects;
  } classes[] = {
      {"Départements",
       {{"Numéro de département", kCube}, {"Département", kCube}, {"Ville", kCube}}},
      {"Employés",
       {{"Matricule", kCube}, {"Employé", kCube}, {"Fonction", kCube}, {"Salaire", kCube}}},
      {"Grades de salaire", {{"Grade", kCube}}},
      {"Mesures",
       {{"Masse salariale", kSphere}, {"Salaire moyen", kSphere}, {"Effectif", kSphere}}},
  };
  for (const auto& c : classes) {
    auto* node = new QTreeWidgetItem(q->treeViewClasse, {QString::fromUtf8(c.cls)});
    setNodeImage(node, kClosedFolder);
    for (const auto& o : c.objects)
      setNodeImage(new QTreeWidgetItem(node, {QString::fromUtf8(o.first)}), o.second);
  }
  q->treeViewClasse->expandAll();
  setRow(q->stringGridObj, 0, {"2", "0", "Département", "Char"});
  setRow(q->stringGridObj, 1, {"6", "0", "Fonction", "Char"});
  setRow(q->stringGridObj, 2, {"20", "1", "Masse salariale", "Num"});
  setRow(q->stringGridObj, 3, {"25", "1", "Effectif", "Num"});
  const QStringList& ops = w.texts().operatorLabels;
  const QStringList& con = w.texts().connectiveLabels;
  setRow(q->stringGridCond, 0,
         {"3", "", con[1], "", "Ville", ops[10], "", "('BOSTON')", "Char", "0"});
  setRow(q->stringGridCond, 1,
         {"6", "", con[1], "", "Fonction", ops[2], "", "'PRESIDENT'", "Char", "0"});
  q->sbExecute->setEnabled(true);

  auto* model = new QStandardItemModel(0, 4, &w);
  model->setHorizontalHeaderLabels({"Département", "Fonction", "Masse salariale", "Effectif"});
  const QStringList rows[] = {
      {"ACCOUNTING", "CLERK", "1300", "1"}, {"ACCOUNTING", "MANAGER", "2450", "1"},
      {"RESEARCH", "ANALYST", "6000", "2"}, {"RESEARCH", "CLERK", "1900", "2"},
      {"RESEARCH", "MANAGER", "2975", "1"}, {"SALES", "SALESMAN", "5600", "4"}};
  for (const QStringList& r : rows) {
    QList<QStandardItem*> items;
    for (const QString& v : r) items << new QStandardItem(v);
    model->appendRow(items);
  }
  w.resultPanel()->dbGridData->setModel(model);
  w.resultPanel()->dbGridData->resizeColumnsToContents();

  w.sqlPanel()->memoSql->setPlainText(
      "SELECT\n  KORVO_DEPT.DNAME \"Département\",\n  KORVO_EMP.JOB \"Fonction\",\n"
      "  sum(KORVO_EMP.SAL) \"Masse salariale\",\n  count(KORVO_EMP.EMPNO) \"Effectif\"\n"
      "FROM\n  KORVO_DEPT,\n  KORVO_EMP\nWHERE\n  (1=1)\n"
      "  AND KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO\n  AND KORVO_DEPT.LOC NOT IN ('BOSTON')\n"
      "  AND KORVO_EMP.JOB <> 'PRESIDENT'\n"
      "GROUP BY\n  KORVO_DEPT.DNAME,\n  KORVO_EMP.JOB\n");
  w.sqlPanel()->cbBloquerSql->setChecked(true);  // keep the sample text in editor mode
}

TEST(Screenshots, EachModeShowsItsPanelOverTheWorkingArea) {
  if (!QFile::exists(":/icons/add.png"))
    setIconFolder(korvo::testing::sourceRoot() + "/src/resources/icons");
  const QByteArray language = qgetenv("KORVO_SCREENSHOT_LANG").isEmpty()
                                  ? QByteArray("FR")
                                  : qgetenv("KORVO_SCREENSHOT_LANG");
  const QByteArray ini = "[PARAMETRES]\r\nLANG=" + language + "\r\nCOST=0\r\nMESG_DEMO=YES\r\n";
  testing::MainWindowHarness h(&ini);
  MainWindow& w = *h.window;
  fillSamples(w);
  w.resize(1280, 760);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

  QTemporaryDir scratch;
  const QByteArray wanted = qgetenv("KORVO_SCREENSHOT_DIR");
  const QString out = wanted.isEmpty() ? scratch.path() : QString::fromLocal8Bit(wanted);
  QDir().mkpath(out);

  const struct {
    WorkMode mode;
    const char* file;
    QWidget* panel;
  } shots[] = {
      {WorkMode::Universe, "screenshot-universe.png", w.universePanel()},
      {WorkMode::Query, "screenshot-query.png", w.queryPanel()},
      {WorkMode::Result, "screenshot-result.png", w.resultPanel()},
      {WorkMode::Editor, "screenshot-editor.png", w.sqlPanel()},
  };
  for (const auto& shot : shots) {
    QTest::mouseClick(w.modeButton(shot.mode), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(w.mode(), shot.mode);
    EXPECT_TRUE(shot.panel->isVisible());
    EXPECT_EQ(shot.panel->geometry(), w.centralWidget()->rect()) << shot.file;
    const QImage image = w.grab().toImage();
    EXPECT_EQ(image.size(), w.size() * image.devicePixelRatio());
    const QString path = QDir(out).filePath(QLatin1String(shot.file));
    EXPECT_TRUE(image.save(path)) << path.toStdString();
  }
}

}  // namespace
}  // namespace korvo::app
