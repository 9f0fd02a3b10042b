#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/main_window_fixture.h"
#include "kernel/navigator_widget.h"
#include "builder/query_panel.h"
#include "kernel/tree_images_widget.h"
#include "db/connection.h"

namespace korvo::app {

using namespace korvo::kernel;
namespace {

using testing::MainWindowHarness;

template <typename T>
T* child(MainWindow& w, const char* name) {
  T* found = w.findChild<T*>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

const char* const kPanels[] = {"PanelUnivers", "PanelRequete", "PanelResultat", "PanelSql"};
const char* const kModeButtons[] = {"univers", "Requete", "resultat", "sql"};

TEST(MainWindow, EveryNamedControlExists) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  EXPECT_EQ(w.objectName(), "TForm1");
  const char* const widgets[] = {"MainMenu1",
                                 "ToolBar16",
                                 "connexion",
                                 "NewKorvo",
                                 "StatusBar1",
                                 "StatusBar1Panel0",
                                 "StatusBar1Panel1",
                                 "ToolBar7",
                                 "SBImporter",
                                 "SBExporter",
                                 "SBdropUnivers",
                                 "StringGridUniv",
                                 "ToolBar25",
                                 "SBNew",
                                 "SBOuvrir",
                                 "SBEnregistrer",
                                 "SBClasses",
                                 "SBExecute",
                                 "PanelReq",
                                 "Splitter1",
                                 "PanelObj",
                                 "ToolBar3",
                                 "Label1",
                                 "PanelSel",
                                 "PanelClasse",
                                 "TreeViewClasse",
                                 "ToolBar9",
                                 "Button1",
                                 "Button2",
                                 "PanelValeur",
                                 "ListBoxValeur",
                                 "ToolBar8",
                                 "SBCloseList",
                                 "SpeedButton2",
                                 "BTSelValeur",
                                 "PanelOper",
                                 "TreeViewOper",
                                 "ToolBar11",
                                 "SBCloseOper",
                                 "PanelOperande",
                                 "TreeViewOperande",
                                 "ToolBar5",
                                 "SBCloseOperande",
                                 "ToolBar4",
                                 "Label2",
                                 "SBtruncObj",
                                 "SBAjouter",
                                 "SBSupprimer",
                                 "SBVersleBas",
                                 "SBVersleHaut",
                                 "StringGridObj",
                                 "ToolBar1",
                                 "Label4",
                                 "SBTruncCond",
                                 "SBAjouterCond",
                                 "SBSupprimerCond",
                                 "SBCVersLeBas",
                                 "SBCVersLeHaut",
                                 "SBAjouterPar",
                                 "SBSuppPar",
                                 "SBAjouterLine",
                                 "StringGridCond",
                                 "ToolBar2",
                                 "SBCopier",
                                 "SBExcel",
                                 "SBraf",
                                 "SBBlanc",
                                 "DBNavigator1",
                                 "ToolBar10",
                                 "DBGridData",
                                 "ToolBar6",
                                 "SBNewSql",
                                 "SBOpenSql",
                                 "SBSaveSql",
                                 "SBExecuteSql",
                                 "SB2",
                                 "CBBloquerSql",
                                 "MemoSql",
                                 "Memo1",
                                 "Memo2"};
  for (const char* name : widgets) child<QWidget>(w, name);
  for (const char* name : kPanels) child<QWidget>(w, name);
  for (const char* name : kModeButtons) EXPECT_EQ(child<QToolButton>(w, name)->width(), 120);
  const char* const actions[] = {
      "Nouvelleconnexion1", "Findeconnexion1", "Quitt1",
      "Exporter1",          "Importer1",       "Copierdanslepressepapier1",
      "CopierdansExcel1",   "statistiques",    "AideFonctionsSqlOracle1",
      "AideSQLOracle1",     "AideKorvo1",      "AproposdeKorvo1",
      "Misejour1"};
  for (const char* name : actions) child<QAction>(w, name);
  for (const char* name : {"Fichier1", "Univers1", "Grille1", "Donnes1", "Aides1", "N1"})
    child<QMenu>(w, name);
  EXPECT_EQ(child<QAction>(w, "Exporter1")->shortcut(), QKeySequence("Ctrl+E"));
  EXPECT_EQ(child<QAction>(w, "Importer1")->shortcut(), QKeySequence("Ctrl+I"));
  EXPECT_EQ(child<QAction>(w, "AideKorvo1")->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_FALSE(child<QToolButton>(w, "SBBlanc")->isEnabled());
  EXPECT_FALSE(child<QToolButton>(w, "SB2")->isEnabled());
}

TEST(MainWindow, StartUpState) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  EXPECT_EQ(w.mode(), WorkMode::Universe);
  EXPECT_EQ(w.state().language, "FR");
  EXPECT_EQ(w.state().dbmsType, "ORACLE");
  EXPECT_EQ(w.state().sortDirection, "ASC");
  EXPECT_FALSE(w.state().workstationId.isEmpty());
  EXPECT_EQ(w.state().programFolder, h.folder.path());
  EXPECT_FALSE(child<QToolButton>(w, "SBExecute")->isEnabled());
  EXPECT_FALSE(child<QCheckBox>(w, "CBBloquerSql")->isChecked());
  EXPECT_FALSE(child<QWidget>(w, "PanelValeur")->isVisibleTo(&w));
  EXPECT_FALSE(child<QWidget>(w, "PanelOper")->isVisibleTo(&w));
  EXPECT_FALSE(child<QWidget>(w, "PanelOperande")->isVisibleTo(&w));
  EXPECT_FALSE(child<QWidget>(w, "Memo1")->isVisibleTo(&w));
  EXPECT_FALSE(child<QWidget>(w, "Memo2")->isVisibleTo(&w));
  for (const char* bar : {"ToolBar1", "ToolBar2", "ToolBar3", "ToolBar4", "ToolBar5", "ToolBar6"})
    EXPECT_EQ(child<QWidget>(w, bar)->height(), 29) << bar;
  QTableWidget* univ = child<QTableWidget>(w, "StringGridUniv");
  EXPECT_EQ(univ->columnCount(), 6);
  EXPECT_EQ(univ->rowCount(), 1);
  EXPECT_EQ(univ->horizontalHeaderItem(3)->text(), "Date de création");
  EXPECT_EQ(univ->columnWidth(5), 1000);
  EXPECT_EQ(child<QTableWidget>(w, "StringGridCond")->columnCount(), 10);
  EXPECT_EQ(child<QTableWidget>(w, "StringGridObj")->columnCount(), 4);
  EXPECT_EQ(h.endRequests, 0);
  EXPECT_TRUE(h.interaction.informed.isEmpty());
}

void expectMode(MainWindow& w, WorkMode mode) {
  const int shown = static_cast<int>(mode);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(w.findChild<QWidget*>(kPanels[i])->isVisibleTo(&w), i == shown) << kPanels[i];
    EXPECT_EQ(w.findChild<QToolButton*>(kModeButtons[i])->isEnabled(), i != shown)
        << kModeButtons[i];
  }
  EXPECT_TRUE(w.findChild<QToolButton*>("connexion")->isEnabled());
  EXPECT_TRUE(w.findChild<QToolButton*>("NewKorvo")->isEnabled());
  EXPECT_EQ(w.mode(), mode);
}

TEST(MainWindow, ModeButtonsSwitchPanelsAndEmptyTheStatusBar) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  w.show();
  expectMode(w, WorkMode::Universe);
  const WorkMode order[] = {WorkMode::Query,    WorkMode::Result, WorkMode::Editor,
                            WorkMode::Universe, WorkMode::Editor, WorkMode::Query};
  for (WorkMode mode : order) {
    w.setStatusText(0, "object description");
    w.setStatusText(1, "TRI: NAME DESC");
    QTest::mouseClick(w.modeButton(mode), Qt::LeftButton);
    expectMode(w, mode);
    EXPECT_EQ(w.statusText(0), "");
    EXPECT_EQ(w.statusText(1), "");
    EXPECT_EQ(child<QLabel>(w, "StatusBar1Panel0")->text(), "");
  }
}

TEST(MainWindow, ModeEntriesCallTheirHooks) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  QStringList calls;
  w.hooks().refreshUniverseList = [&] { calls << "Init_Univers"; };
  w.hooks().initClasses = [&] {
    calls << "Init_Classes";
    EXPECT_EQ(w.mode(), WorkMode::Query);  // the panel is shown first
  };
  w.procPanelUnivers();  // not connected: no list is read
  w.procPanelRequete();
  w.procPanelRequete();
  EXPECT_EQ(calls, QStringList({"Init_Classes", "Init_Classes"}));
}

// A connection that only knows whether it is open.
class OpenFlagConnection : public db::Connection {
 public:
  bool open_ = true;
  int closes = 0;
  void open(const QString&, const QString&, const QString&) override { open_ = true; }
  void close() override {
    open_ = false;
    ++closes;
  }
  bool isOpen() const override { return open_; }
  long long exec(const QString&) override { return 0; }
  std::unique_ptr<db::Cursor> query(const QString&) override { return nullptr; }
  void begin() override {}
  void commit() override {}
  void rollback() override {}
  bool inTransaction() const override { return false; }
  QString lastError() const override { return {}; }
  QString display(const QVariant& v) const override { return v.toString(); }
};

TEST(MainWindow, UniverseListIsReadOnlyWhileConnectedAndDisconnectKeepsTheMode) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  int refreshes = 0;
  w.hooks().refreshUniverseList = [&] { ++refreshes; };
  auto owned = std::make_unique<OpenFlagConnection>();
  OpenFlagConnection* connection = owned.get();
  w.setConnection(std::move(owned));
  EXPECT_TRUE(w.isConnected());
  w.procPanelRequete();
  QTest::mouseClick(w.modeButton(WorkMode::Universe), Qt::LeftButton);
  EXPECT_EQ(refreshes, 1);

  w.procPanelResultat();
  child<QAction>(w, "Findeconnexion1")->trigger();
  EXPECT_EQ(connection->closes, 1);
  EXPECT_FALSE(w.isConnected());
  EXPECT_EQ(w.connection(), connection);
  EXPECT_EQ(w.mode(), WorkMode::Result);
  w.procPanelUnivers();
  EXPECT_EQ(refreshes, 1);
}

TEST(MainWindow, EditorModeEmptiesOrGeneratesOrKeepsTheMemo) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  auto* memo = child<QPlainTextEdit>(w, "MemoSql");
  auto* objects = child<QTableWidget>(w, "StringGridObj");
  auto* block = child<QCheckBox>(w, "CBBloquerSql");
  int generations = 0;
  w.hooks().generateSql = [&] {
    ++generations;
    memo->setPlainText("SELECT generated FROM dual");
  };

  // An empty object grid empties the memo.
  memo->setPlainText("select * from emp");
  w.sqlClick();
  EXPECT_EQ(memo->toPlainText(), "");
  EXPECT_EQ(generations, 0);

  // With "do not generate" ticked the memo keeps what the user typed.
  memo->setPlainText("select * from emp");
  block->setChecked(true);
  w.procPanelRequete();
  w.sqlClick();
  EXPECT_EQ(memo->toPlainText(), "select * from emp");

  // An object in the first data row regenerates the text.
  objects->item(0, 0)->setText("12");
  w.sqlClick();
  EXPECT_EQ(generations, 0);
  block->setChecked(false);
  w.sqlClick();
  EXPECT_EQ(generations, 1);
  EXPECT_EQ(memo->toPlainText(), "SELECT generated FROM dual");
}

TEST(MainWindow, ClassesButtonAndEscapeBringBackTheClassTree) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  w.show();
  w.procPanelRequete();
  auto* cond = child<QTableWidget>(w, "StringGridCond");
  auto* classe = child<QWidget>(w, "PanelClasse");
  auto* oper = child<QWidget>(w, "PanelOper");
  auto* query = w.queryPanel();

  query->showLeftPanel(oper);
  cond->setCurrentCell(0, 5);
  QTest::mouseClick(child<QToolButton>(w, "SBClasses"), Qt::LeftButton);
  EXPECT_TRUE(classe->isVisible());
  EXPECT_FALSE(oper->isVisible());
  EXPECT_EQ(cond->currentColumn(), 0);

  // Escape acts only when the window itself holds the focus.
  query->showLeftPanel(oper);
  cond->setCurrentCell(0, 5);
  cond->setFocus();
  QTest::keyClick(cond, Qt::Key_Escape);
  EXPECT_TRUE(oper->isVisible());
  EXPECT_EQ(cond->currentColumn(), 5);

  w.setFocus();
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(classe->isVisible());
  EXPECT_FALSE(oper->isVisible());
  EXPECT_EQ(cond->currentColumn(), 0);
}

TEST(MainWindow, TreeButtonsAndFolderImages) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  w.show();
  w.procPanelRequete();
  auto* tree = child<QTreeWidget>(w, "TreeViewClasse");
  auto* cls = new QTreeWidgetItem(tree, {"Customers"});
  setNodeImage(cls, kClosedFolder);
  auto* sub = new QTreeWidgetItem(cls, {"Addresses"});
  setNodeImage(sub, kClosedFolder);
  auto* dim = new QTreeWidgetItem(sub, {"City"});
  setNodeImage(dim, kCube);
  auto* date = new QTreeWidgetItem(dim, {"Year"});
  setNodeImage(date, kCube);

  QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
  EXPECT_TRUE(cls->isExpanded());
  EXPECT_TRUE(sub->isExpanded());
  EXPECT_TRUE(dim->isExpanded());
  EXPECT_EQ(nodeImage(cls), kOpenFolder);
  EXPECT_EQ(nodeImage(sub), kOpenFolder);
  EXPECT_EQ(nodeImage(dim), kCube);

  QTest::mouseClick(child<QPushButton>(w, "Button2"), Qt::LeftButton);
  EXPECT_FALSE(cls->isExpanded());
  EXPECT_FALSE(sub->isExpanded());
  EXPECT_EQ(nodeImage(cls), kClosedFolder);
  EXPECT_EQ(nodeImage(dim), kCube);

  // The operator list opens folders too.
  auto* oper = child<QTreeWidget>(w, "TreeViewOper");
  auto* group = new QTreeWidgetItem(oper, {"group"});
  setNodeImage(group, kClosedFolder);
  new QTreeWidgetItem(group, {"Egal à"});
  group->setExpanded(true);
  EXPECT_EQ(nodeImage(group), kOpenFolder);
}

TEST(MainWindow, MenuItemsAndButtonsCallTheSameHooks) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  w.show();
  QStringList calls;
  MainWindowHooks& k = w.hooks();
  k.importUniverse = [&] { calls << "import"; };
  k.exportUniverse = [&] { calls << "export"; };
  k.dropUniverse = [&] { calls << "drop"; };
  k.generateStatistics = [&] { calls << "statistics"; };
  k.copyToClipboard = [&] { calls << "clipboard"; };
  k.copyToSpreadsheet = [&] { calls << "spreadsheet"; };

  child<QAction>(w, "Importer1")->trigger();
  QTest::mouseClick(child<QToolButton>(w, "SBImporter"), Qt::LeftButton);
  child<QAction>(w, "Exporter1")->trigger();
  QTest::mouseClick(child<QToolButton>(w, "SBExporter"), Qt::LeftButton);
  QTest::mouseClick(child<QToolButton>(w, "SBdropUnivers"), Qt::LeftButton);
  child<QAction>(w, "statistiques")->trigger();
  w.procPanelResultat();
  child<QAction>(w, "Copierdanslepressepapier1")->trigger();
  QTest::mouseClick(child<QToolButton>(w, "SBCopier"), Qt::LeftButton);
  child<QAction>(w, "CopierdansExcel1")->trigger();
  QTest::mouseClick(child<QToolButton>(w, "SBExcel"), Qt::LeftButton);
  EXPECT_EQ(calls, QStringList({"import", "import", "export", "export", "drop", "statistics",
                                "clipboard", "clipboard", "spreadsheet", "spreadsheet"}));

  // Unset hooks do nothing visible.
  w.hooks() = MainWindowHooks();
  child<QAction>(w, "Importer1")->trigger();
  child<QAction>(w, "statistiques")->trigger();
  EXPECT_TRUE(h.interaction.informed.isEmpty());
}

TEST(MainWindow, ConnectionDialogIsShownWithTheWindowDisabled) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  w.show();
  child<QAction>(w, "Nouvelleconnexion1")->trigger();  // no dialog plugged in yet
  EXPECT_TRUE(w.isEnabled());

  QWidget dialog;
  w.setConnectionDialog(&dialog);
  QTest::mouseClick(child<QToolButton>(w, "connexion"), Qt::LeftButton);
  EXPECT_FALSE(w.isEnabled());
  EXPECT_TRUE(dialog.isVisible());
  dialog.hide();
  w.setEnabled(true);
  child<QAction>(w, "Nouvelleconnexion1")->trigger();
  EXPECT_FALSE(w.isEnabled());
  EXPECT_TRUE(dialog.isVisible());
}

TEST(MainWindow, NewInstanceStartsTheProgramsOwnExecutable) {
  MainWindowHarness h;
  QTest::mouseClick(h.window->findChild<QToolButton*>("NewKorvo"), Qt::LeftButton);
  EXPECT_EQ(h.started, QStringList({QCoreApplication::applicationFilePath()}));
}

TEST(MainWindow, HelpMenuItems) {
  MainWindowHarness h;
  MainWindow& w = *h.window;
  child<QAction>(w, "AideKorvo1")->trigger();
  child<QAction>(w, "AideFonctionsSqlOracle1")->trigger();
  EXPECT_EQ(h.interaction.informed,
            QStringList({"L'aide n'est pas disponible...", "Le document n'est pas disponible..."}));
  EXPECT_TRUE(h.opener.opened.isEmpty());

  for (const char* name : {"Korvo-BO6.html", "Fonctions_sql_oracle.html"}) {
    QFile f(h.folder.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  child<QAction>(w, "AideKorvo1")->trigger();
  child<QAction>(w, "AideFonctionsSqlOracle1")->trigger();
  child<QAction>(w, "AideSQLOracle1")->trigger();
  ASSERT_EQ(h.opener.opened.size(), 3);
  EXPECT_TRUE(h.opener.opened[0].toLocalFile().endsWith("/Korvo-BO6.html"));
  EXPECT_TRUE(h.opener.opened[1].toLocalFile().endsWith("/Fonctions_sql_oracle.html"));
  EXPECT_EQ(h.opener.opened[2].host(), "docs.oracle.com");
  EXPECT_EQ(h.endRequests, 0);
}

TEST(MainWindow, UpdateOpensThePageThenEndsTheProgram) {
  MainWindowHarness h;
  h.opener.succeed = false;
  h.window->findChild<QAction*>("Misejour1")->trigger();
  EXPECT_EQ(h.interaction.informed, QStringList({"Le Setup n'est pas disponible..."}));
  EXPECT_EQ(h.endRequests, 1);
  h.opener.succeed = true;
  h.window->findChild<QAction*>("Misejour1")->trigger();
  EXPECT_EQ(h.endRequests, 2);
  EXPECT_EQ(h.opener.opened.last(), QUrl::fromLocalFile(h.folder.filePath("web/index_fr.html")));
}

TEST(MainWindow, QuitClosesTheWindow) {
  MainWindowHarness h;
  h.window->show();
  h.window->findChild<QAction*>("Quitt1")->trigger();
  EXPECT_FALSE(h.window->isVisible());
}

}  // namespace
}  // namespace korvo::app
