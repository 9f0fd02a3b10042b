#pragma once
// TForm1, the program's single main window: menu, mode toolbar, the four
// working panels (universe list, query builder, result, SQL editor), the
// status bar, the program-wide state and the database connection.
//
// How later features plug in:
//  - Controls: every control carries its design name as objectName; the
//    panels' public members and the accessors below reach them directly, or
//    findChild<QToolButton*>("SBNew") etc. Menu items are QActions and menus
//    QMenus under MainMenu1, found the same way. String grids are
//    QTableWidgets whose horizontal header is grid row 0 (grid row r is table
//    row r - 1).
//  - Hooks (MainWindowHooks): std::functions the window calls at the right
//    moment; an unset hook does nothing visible.
//  - The connection: connection()/setConnection(); "Déconnexion" closes it.
//  - The connection dialog: setConnectionDialog(dialog); "Connexion" and the
//    connexion button disable this window and show it; the dialog must
//    re-enable this window when it closes (any way). Such a dialog must be a
//    top-level widget without this window as parent: Qt disables the child
//    windows of a disabled window too.
#include <QMainWindow>

#include "session/connect_target.h"
#include <functional>
#include <memory>

#include "kernel/app_state.h"
#include "kernel/language.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

namespace korvo::db {
class Connection;
}
namespace korvo::kernel {
class Interaction;
class Opener;
}
namespace korvo::builder {
class QueryPanel;
}
namespace korvo::repository {
class UniversePanel;
}
namespace korvo::sqlgen {
class ResultPanel;
class SqlPanel;
}

namespace korvo::app {

class AboutDialog;
using builder::QueryPanel;
using kernel::AppState;
using kernel::Interaction;
using kernel::Opener;
using kernel::TextTables;
using repository::UniversePanel;
using sqlgen::ResultPanel;
using sqlgen::SqlPanel;

enum class WorkMode { Universe, Query, Result, Editor };

// The calls later features plug in.
struct MainWindowHooks {
  std::function<void()> refreshUniverseList;  // Init_Univers: universe mode while connected
  std::function<void()> initClasses;          // Init_Classes: every entry to query mode
  std::function<void()> clearClassTree;       // a new connection emptied TreeViewClasse
  std::function<void()> runQuery;             // ProcExecuter: SBExecute, F9
  std::function<void()> generateSql;          // generer_requete: editor mode, an object in the grid
  std::function<void()> importUniverse;       // Importer1, SBImporter
  std::function<void()> exportUniverse;       // Exporter1, SBExporter
  std::function<void()> dropUniverse;         // SBdropUnivers
  std::function<void()> generateStatistics;   // statistiques
  std::function<void()> copyToClipboard;      // Copierdanslepressepapier1, SBCopier
  std::function<void()> copyToSpreadsheet;    // CopierdansExcel1, SBExcel
};

// What the window asks of the platform; tests give recording doubles.
struct ShellServices {
  Interaction* interaction = nullptr;  // messages and Yes/No questions (required)
  Opener* opener = nullptr;            // documents and web pages (required)
  // Ends the program once start-up has returned to the event loop. Default:
  // QCoreApplication::quit from a zero-delay timer.
  std::function<void()> endProgram;
  // Starts a program without waiting for it. Default: QProcess::startDetached.
  std::function<bool(const QString& program)> startProgram;
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Runs the window's part of the start-up: settings of `programFolder`,
  // language, state, universe mode, grids, workstation identifier, panel
  // layout. When the settings fail, the permissions message is shown and
  // endProgram is called; the window is still built completely.
  MainWindow(const QString& programFolder, ShellServices services, QWidget* parent = nullptr);
  ~MainWindow() override;

  AppState& state() { return state_; }
  const AppState& state() const { return state_; }
  const TextTables& texts() const { return *texts_; }
  MainWindowHooks& hooks() { return hooks_; }
  Interaction& interaction() { return *services_.interaction; }
  Opener& opener() { return *services_.opener; }
  bool settingsFailed() const { return settingsFailed_; }

  // SQLConnection1.
  db::Connection* connection() const { return connection_.get(); }
  void setConnection(std::unique_ptr<db::Connection> connection);
  bool isConnected() const;
  void disconnectDatabase();  // Findeconnexion1: close; panels keep their contents
  // The login of the connection (User_Name, Password, DataBase).
  const session::LoginParameters& login() const { return login_; }
  void setLogin(const session::LoginParameters& login) { login_ = login; }

  // TForm3: shown by "Connexion" with this window disabled.
  void setConnectionDialog(QWidget* dialog) { connectionDialog_ = dialog; }
  void showConnectionDialog();

  // Working modes.
  WorkMode mode() const { return mode_; }
  void procPanelUnivers();
  void procPanelRequete();
  void procPanelResultat();
  void sqlClick();

  // SBClasses and Escape: the class tree back in the left column.
  void showClassPanel();
  void showAbout();         // AproposdeKorvo1
  void startNewInstance();  // NewKorvo
  void upgrade();           // Misejour1
  void openHelpManual();    // AideKorvo1 (F1)

  // StatusBar1: panel 0 (object description) and panel 1 (current sort).
  void setStatusText(int panel, const QString& text);
  QString statusText(int panel) const;

  UniversePanel* universePanel() const { return universePanel_; }
  QueryPanel* queryPanel() const { return queryPanel_; }
  ResultPanel* resultPanel() const { return resultPanel_; }
  SqlPanel* sqlPanel() const { return sqlPanel_; }
  AboutDialog* aboutDialog() const { return about_.get(); }
  QToolButton* modeButton(WorkMode mode) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildMenu();
  void buildModeToolBar();
  void buildStatusBar();
  void buildPanels();
  void connectCommands();
  void applyLanguage();  // Init_langue
  void showMode(WorkMode mode);
  bool firstResultObjectPresent() const;
  void runHook(const std::function<void()>& hook);
  QAction* addMenuItem(QMenu* menu, const QString& name);

  AppState state_;
  const TextTables* texts_ = nullptr;
  ShellServices services_;
  MainWindowHooks hooks_;
  bool settingsFailed_ = false;
  WorkMode mode_ = WorkMode::Universe;
  std::unique_ptr<db::Connection> connection_;
  QWidget* connectionDialog_ = nullptr;
  std::unique_ptr<AboutDialog> about_;

  QToolBar* toolBar16_ = nullptr;
  QToolButton* connexion_ = nullptr;
  QToolButton* univers_ = nullptr;
  QToolButton* requete_ = nullptr;
  QToolButton* resultat_ = nullptr;
  QToolButton* sql_ = nullptr;
  QToolButton* newKorvo_ = nullptr;
  QLabel* statusPanels_[2] = {};
  session::LoginParameters login_;
  UniversePanel* universePanel_ = nullptr;
  QueryPanel* queryPanel_ = nullptr;
  ResultPanel* resultPanel_ = nullptr;
  SqlPanel* sqlPanel_ = nullptr;
};

}  // namespace korvo::app
