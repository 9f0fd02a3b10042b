#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/about_dialog.h"
#include "kernel/qt_translations.h"
#include "kernel/help_commands.h"
#include "kernel/interaction.h"
#include "kernel/navigator_widget.h"
#include "kernel/opener.h"
#include "builder/query_panel.h"
#include "sqlgen/result_panel.h"
#include "kernel/settings.h"
#include "sqlgen/sql_panel.h"
#include "kernel/toolbar_widget.h"
#include "kernel/tree_images_widget.h"
#include "repository/universe_panel.h"
#include "kernel/workstation_id.h"
#include "db/connection.h"

namespace korvo::app {

using namespace korvo::kernel;
namespace {

constexpr int kModeButtonWidth = 120;
constexpr int kToolBarHeight = 29;

}  // namespace

MainWindow::MainWindow(const QString& programFolder, ShellServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
  Q_ASSERT(services_.interaction && services_.opener);
  if (!services_.endProgram)
    services_.endProgram = [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); };
  if (!services_.startProgram)
    services_.startProgram = [](const QString& program) {
      return QProcess::startDetached(program, {});
    };

  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Korvo-Bo6"));
  setWindowIcon(korvoIcon(QStringLiteral("app")));
  state_.programFolder = programFolder;

  buildMenu();
  buildModeToolBar();
  buildPanels();
  buildStatusBar();
  connectCommands();

  // Init_param.
  const SettingsOutcome settings = loadSettings(programFolder, state_);
  if (!settings.ok) {
    settingsFailed_ = true;
    services_.interaction->inform(QLatin1String(kSettingsPermissionMessage));
    services_.endProgram();
  }
  applyLanguage();
  state_.dbmsType = QStringLiteral("ORACLE");
  state_.sortDirection = QStringLiteral("ASC");
  queryPanel_->sbExecute->setEnabled(false);
  procPanelUnivers();
  repository::initUniverseGrid(universePanel_->stringGridUniv, texts_->universeHeaders);
  builder::initObjectGrid(queryPanel_->stringGridObj, *texts_);
  builder::initConditionGrid(queryPanel_->stringGridCond, *texts_);
  state_.workstationId = workstationId();
  queryPanel_->showLeftPanel(queryPanel_->panelClasse);
  for (QToolBar* bar : {queryPanel_->toolBar1, resultPanel_->toolBar2, queryPanel_->toolBar3,
                        queryPanel_->toolBar4, queryPanel_->toolBar5, sqlPanel_->toolBar6})
    bar->setFixedHeight(kToolBarHeight);
  sqlPanel_->cbBloquerSql->setChecked(false);

  about_ = std::make_unique<AboutDialog>(*texts_, productPageUrl(*texts_, programFolder),
                                         *services_.opener);
  connect(about_.get(), &AboutDialog::closed, this, [this] { setEnabled(true); });
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::addMenuItem(QMenu* menu, const QString& name) {
  QAction* action = menu->addAction(QString());
  action->setObjectName(name);
  return action;
}

void MainWindow::buildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto addMenu = [bar](const QString& name) {
    QMenu* menu = bar->addMenu(QString());
    menu->setObjectName(name);
    return menu;
  };
  QMenu* fichier = addMenu(QStringLiteral("Fichier1"));
  addMenuItem(fichier, QStringLiteral("Nouvelleconnexion1"));
  addMenuItem(fichier, QStringLiteral("Findeconnexion1"));
  fichier->addSeparator();
  addMenuItem(fichier, QStringLiteral("Quitt1"));

  QMenu* univers = addMenu(QStringLiteral("Univers1"));
  addMenuItem(univers, QStringLiteral("Exporter1"))->setShortcut(QKeySequence("Ctrl+E"));
  addMenuItem(univers, QStringLiteral("Importer1"))->setShortcut(QKeySequence("Ctrl+I"));

  QMenu* grille = addMenu(QStringLiteral("Grille1"));
  addMenuItem(grille, QStringLiteral("Copierdanslepressepapier1"));
  addMenuItem(grille, QStringLiteral("CopierdansExcel1"));

  QMenu* donnees = addMenu(QStringLiteral("Donnes1"));
  addMenuItem(donnees, QStringLiteral("statistiques"));

  QMenu* aides = addMenu(QStringLiteral("Aides1"));
  addMenuItem(aides, QStringLiteral("AideFonctionsSqlOracle1"));
  addMenuItem(aides, QStringLiteral("AideSQLOracle1"));
  QAction* help = addMenuItem(aides, QStringLiteral("AideKorvo1"));
  help->setText(QLatin1String(kHelpMenuCaption));
  help->setShortcut(QKeySequence(Qt::Key_F1));

  QMenu* about = addMenu(QStringLiteral("N1"));
  about->setTitle(QLatin1String(kAboutMenuCaption));
  addMenuItem(about, QStringLiteral("AproposdeKorvo1"));
  addMenuItem(about, QStringLiteral("Misejour1"));
}

void MainWindow::buildModeToolBar() {
  toolBar16_ = new QToolBar(this);
  toolBar16_->setObjectName(QStringLiteral("ToolBar16"));
  toolBar16_->setMovable(false);
  toolBar16_->setFloatable(false);
  toolBar16_->setIconSize(QSize(28, 28));
  addToolBar(Qt::TopToolBarArea, toolBar16_);
  auto add = [this](const QString& name, const QString& icon) {
    auto* button = new QToolButton(toolBar16_);
    button->setObjectName(name);
    button->setIcon(korvoIcon(icon));
    button->setIconSize(toolBar16_->iconSize());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setFixedWidth(kModeButtonWidth);
    button->setAutoRaise(true);
    toolBar16_->addWidget(button);
    return button;
  };
  connexion_ = add(QStringLiteral("connexion"), QStringLiteral("mode_connect"));
  toolBar16_->addSeparator();
  univers_ = add(QStringLiteral("univers"), QStringLiteral("mode_universe"));
  requete_ = add(QStringLiteral("Requete"), QStringLiteral("mode_query"));
  resultat_ = add(QStringLiteral("resultat"), QStringLiteral("mode_result"));
  sql_ = add(QStringLiteral("sql"), QStringLiteral("mode_editor"));
  toolBar16_->addSeparator();
  newKorvo_ = add(QStringLiteral("NewKorvo"), QStringLiteral("mode_new"));
}

void MainWindow::buildPanels() {
  auto* area = new QWidget(this);
  area->setObjectName(QStringLiteral("WorkArea"));
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  universePanel_ = new UniversePanel(area);
  queryPanel_ = new QueryPanel(area);
  resultPanel_ = new ResultPanel(area);
  sqlPanel_ = new SqlPanel(area);
  for (QWidget* panel :
       std::initializer_list<QWidget*>{universePanel_, queryPanel_, resultPanel_, sqlPanel_}) {
    layout->addWidget(panel, 1);
    panel->hide();
  }
  setCentralWidget(area);
}

void MainWindow::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setSizeGripEnabled(false);
  static const int widths[2] = {500, 1000};
  for (int i = 0; i < 2; ++i) {
    auto* label = new QLabel(bar);
    label->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(4, 0, 4, 0);
    if (i == 0) {
      label->setFixedWidth(widths[i]);
      bar->addWidget(label);
    } else {
      // The second panel gives way on narrow screens instead of widening the window.
      label->setMinimumWidth(0);
      label->setMaximumWidth(widths[i]);
      label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      bar->addWidget(label, 1);
    }
    statusPanels_[i] = label;
  }
}

void MainWindow::runHook(const std::function<void()>& hook) {
  if (hook) hook();
}

void MainWindow::connectCommands() {
  auto action = [this](const char* name) { return findChild<QAction*>(QLatin1String(name)); };
  auto onTrigger = [this, &action](const char* name, auto slot) {
    connect(action(name), &QAction::triggered, this, slot);
  };

  onTrigger("Nouvelleconnexion1", [this] { showConnectionDialog(); });
  onTrigger("Findeconnexion1", [this] { disconnectDatabase(); });
  onTrigger("Quitt1", [this] { close(); });
  onTrigger("Exporter1", [this] { runHook(hooks_.exportUniverse); });
  onTrigger("Importer1", [this] { runHook(hooks_.importUniverse); });
  onTrigger("Copierdanslepressepapier1", [this] { runHook(hooks_.copyToClipboard); });
  onTrigger("CopierdansExcel1", [this] { runHook(hooks_.copyToSpreadsheet); });
  onTrigger("statistiques", [this] { runHook(hooks_.generateStatistics); });
  onTrigger("AideFonctionsSqlOracle1", [this] {
    openFunctionReference(
        {state_.programFolder, *texts_, *services_.opener, *services_.interaction});
  });
  onTrigger("AideSQLOracle1", [this] {
    openSqlReference({state_.programFolder, *texts_, *services_.opener, *services_.interaction});
  });
  onTrigger("AideKorvo1", [this] { openHelpManual(); });
  onTrigger("AproposdeKorvo1", [this] { showAbout(); });
  onTrigger("Misejour1", [this] { upgrade(); });

  connect(connexion_, &QToolButton::clicked, this, [this] { showConnectionDialog(); });
  connect(univers_, &QToolButton::clicked, this, [this] { procPanelUnivers(); });
  connect(requete_, &QToolButton::clicked, this, [this] { procPanelRequete(); });
  connect(resultat_, &QToolButton::clicked, this, [this] { procPanelResultat(); });
  connect(sql_, &QToolButton::clicked, this, [this] { sqlClick(); });
  connect(newKorvo_, &QToolButton::clicked, this, [this] { startNewInstance(); });

  connect(universePanel_->sbImporter, &QToolButton::clicked, this,
          [this] { runHook(hooks_.importUniverse); });
  connect(universePanel_->sbExporter, &QToolButton::clicked, this,
          [this] { runHook(hooks_.exportUniverse); });
  connect(universePanel_->sbDropUnivers, &QToolButton::clicked, this,
          [this] { runHook(hooks_.dropUniverse); });
  connect(resultPanel_->sbCopier, &QToolButton::clicked, this,
          [this] { runHook(hooks_.copyToClipboard); });
  connect(resultPanel_->sbExcel, &QToolButton::clicked, this,
          [this] { runHook(hooks_.copyToSpreadsheet); });

  QueryPanel* q = queryPanel_;
  connect(q->sbClasses, &QToolButton::clicked, this, [this] { showClassPanel(); });
  connect(q->button1, &QPushButton::clicked, q->treeViewClasse, &QTreeWidget::expandAll);
  connect(q->button2, &QPushButton::clicked, q->treeViewClasse, &QTreeWidget::collapseAll);
  connect(q->treeViewClasse, &QTreeWidget::itemExpanded, this, &showFolderExpanded);
  connect(q->treeViewClasse, &QTreeWidget::itemCollapsed, this, &showFolderCollapsed);
  connect(q->treeViewOper, &QTreeWidget::itemExpanded, this, &showFolderExpanded);
}

void MainWindow::applyLanguage() {
  texts_ = &textTables(state_.language);
  kernel::useQtTranslations(state_.language);
  for (auto it = texts_->menuCaptions.cbegin(); it != texts_->menuCaptions.cend(); ++it) {
    if (auto* menu = findChild<QMenu*>(it.key()))
      menu->setTitle(it.value());
    else if (auto* action = findChild<QAction*>(it.key()))
      action->setText(it.value());
  }
  for (auto it = texts_->captions.cbegin(); it != texts_->captions.cend(); ++it) {
    QWidget* control = findChild<QWidget*>(it.key());
    if (auto* button = qobject_cast<QAbstractButton*>(control))
      button->setText(it.value());
    else if (auto* label = qobject_cast<QLabel*>(control))
      label->setText(it.value());
  }
  for (auto it = texts_->hints.cbegin(); it != texts_->hints.cend(); ++it)
    if (auto* control = findChild<QWidget*>(it.key())) control->setToolTip(it.value());
  resultPanel_->dbNavigator1->setHints(texts_->navigatorHints);
}

void MainWindow::setConnection(std::unique_ptr<db::Connection> connection) {
  if (connection_ && connection_.get() != connection.get() && connection_->isOpen())
    connection_->close();
  connection_ = std::move(connection);
}

bool MainWindow::isConnected() const { return connection_ && connection_->isOpen(); }

void MainWindow::disconnectDatabase() {
  if (connection_) connection_->close();
}

void MainWindow::showConnectionDialog() {
  if (!connectionDialog_) return;  // no dialog plugged in: nothing to wait for
  setEnabled(false);
  connectionDialog_->show();
  connectionDialog_->raise();
  connectionDialog_->activateWindow();
}

QToolButton* MainWindow::modeButton(WorkMode mode) const {
  switch (mode) {
    case WorkMode::Universe:
      return univers_;
    case WorkMode::Query:
      return requete_;
    case WorkMode::Result:
      return resultat_;
    case WorkMode::Editor:
      return sql_;
  }
  return nullptr;
}

void MainWindow::showMode(WorkMode mode) {
  mode_ = mode;
  setStatusText(0, QString());
  setStatusText(1, QString());
  QWidget* shown = nullptr;
  switch (mode) {
    case WorkMode::Universe:
      shown = universePanel_;
      break;
    case WorkMode::Query:
      shown = queryPanel_;
      break;
    case WorkMode::Result:
      shown = resultPanel_;
      break;
    case WorkMode::Editor:
      shown = sqlPanel_;
      break;
  }
  for (QWidget* panel :
       std::initializer_list<QWidget*>{universePanel_, queryPanel_, resultPanel_, sqlPanel_})
    if (panel != shown) panel->hide();
  shown->show();
  shown->repaint();
  for (WorkMode m : {WorkMode::Universe, WorkMode::Query, WorkMode::Result, WorkMode::Editor})
    modeButton(m)->setEnabled(m != mode);
}

void MainWindow::procPanelUnivers() {
  setStatusText(0, QString());
  setStatusText(1, QString());
  if (isConnected()) runHook(hooks_.refreshUniverseList);
  showMode(WorkMode::Universe);
}

void MainWindow::procPanelRequete() {
  showMode(WorkMode::Query);
  runHook(hooks_.initClasses);
}

void MainWindow::procPanelResultat() { showMode(WorkMode::Result); }

bool MainWindow::firstResultObjectPresent() const {
  const QTableWidgetItem* cell = queryPanel_->stringGridObj->item(0, 0);
  return cell && !cell->text().isEmpty();
}

void MainWindow::sqlClick() {
  showMode(WorkMode::Editor);
  if (sqlPanel_->cbBloquerSql->isChecked()) return;
  if (firstResultObjectPresent())
    runHook(hooks_.generateSql);
  else
    sqlPanel_->memoSql->clear();
}

void MainWindow::showClassPanel() {
  queryPanel_->showLeftPanel(queryPanel_->panelClasse);
  QTableWidget* grid = queryPanel_->stringGridCond;
  if (grid->rowCount() > 0) grid->setCurrentCell(qMax(grid->currentRow(), 0), 0);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Escape belongs to the window itself: a focused child control keeps it.
  QWidget* focus = focusWidget();
  if (event->key() == Qt::Key_Escape && (!focus || focus == this)) {
    showClassPanel();
    event->accept();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void MainWindow::showAbout() {
  setEnabled(false);
  about_->showCentredOn(this);
}

void MainWindow::startNewInstance() {
  services_.startProgram(QCoreApplication::applicationFilePath());
}

void MainWindow::upgrade() {
  openUpdatePage({state_.programFolder, *texts_, *services_.opener, *services_.interaction});
  services_.endProgram();
}

void MainWindow::openHelpManual() {
  korvo::kernel::openHelpManual(
      {state_.programFolder, *texts_, *services_.opener, *services_.interaction});
}

void MainWindow::setStatusText(int panel, const QString& text) {
  if (panel >= 0 && panel < 2) statusPanels_[panel]->setText(text);
}

QString MainWindow::statusText(int panel) const {
  return panel >= 0 && panel < 2 ? statusPanels_[panel]->text() : QString();
}

}  // namespace korvo::app
