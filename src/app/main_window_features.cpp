#include "app/main_window_features.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/run_features.h"
#include "builder/query_mode_view.h"
#include "builder/query_panel.h"
#include "builder/workspace.h"
#include "sqlgen/sql_editor_view.h"
#include "sqlgen/sql_generation.h"
#include "sqlgen/run_recording.h"
#include "sqlgen/sql_panel.h"
#include "app/statement_status_view.h"
#include "db/statement_runner.h"
#include "repository/join_tree_procedures.h"
#include "repository/universe_grid_view.h"
#include "repository/statistics_launch.h"
#include "repository/universe_export.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"

namespace korvo::app {

using namespace korvo::kernel;

struct MainWindowFeatures::Parts {
  Parts(MainWindow& w, Interaction& messages)
      : window(w),
        connection(db::StatementRunner::Mode::Worker, [&w] { return w.connection(); }),
        status(w, connection, [&w] { return w.state().language == QLatin1String("FR"); }),
        busy(messages, &w),
        universes(connection, busy, w.state()),
        tap(messages),
        workspace(w.state(), connection, tap) {}

  MainWindow& window;
  // Every feature's statements run on the runner's thread, the window free.
  db::StatementRunner connection;
  StatementStatusView status;
  repository::BusyProgressInteraction busy;
  repository::UniverseList universes;
  // Remembers the last message, so that a refused run is recorded with it.
  sqlgen::MessageTap tap;
  builder::Workspace workspace;
  std::unique_ptr<builder::QueryModeView> queryView;
  std::unique_ptr<RunFeatures> run;
  std::unique_ptr<sqlgen::SqlEditorView> editor;
  std::unique_ptr<repository::StatisticsLauncher> statistics;
};

MainWindowFeatures::MainWindowFeatures(MainWindow& window, Interaction& messages)
    : parts_(std::make_unique<Parts>(window, messages)) {
  Parts& p = *parts_;
  QueryPanel* query = window.queryPanel();

  // The hidden memos hold the join-tree procedures the import installs.
  window.sqlPanel()->memo1->setPlainText(repository::genTabNodeLines().join(QStringLiteral("\r\n")));
  window.sqlPanel()->memo2->setPlainText(repository::genTabTreeLines().join(QStringLiteral("\r\n")));

  // The query mode shows the workspace; the universe list resets its grids.
  p.workspace.attachUniverseList(&p.universes);
  builder::QueryModeView::Services services;
  services.showComment = [&window](const QString& text) { window.setStatusText(0, text); };
  services.runQuery = [&window] {
    if (window.hooks().runQuery) window.hooks().runQuery();
  };
  p.queryView = std::make_unique<builder::QueryModeView>(*query, p.workspace, std::move(services));
  p.universes.Init_StringGridUniv();
  repository::connectUniversePanel(window.universePanel(), p.universes);

  MainWindowHooks& hooks = window.hooks();
  hooks.initClasses = [&p] { p.queryView->initClasses(); };
  hooks.clearClassTree = [&p] { p.workspace.clearTree(); };
  hooks.refreshUniverseList = [&p] { p.universes.Init_Univers(); };
  hooks.importUniverse = [&p] {
    if (!p.window.isConnected()) return;
    repository::UniverseImport(p.connection, p.busy, p.window.state(), p.universes)
        .ImporterUnivers();
  };
  hooks.exportUniverse = [&p] {
    if (!p.window.isConnected()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    repository::UniverseExport(p.connection, p.workspace.interaction(), p.window.state())
        .ExporterUnivers(p.universes.boRepositoryFound(), p.universes.selectedUniverseId());
    QApplication::restoreOverrideCursor();
  };
  // Editor mode shows the statement the grids make (unless "Bloquer Sql").
  hooks.generateSql = [&p] {
    if (!p.window.isConnected()) return;
    const builder::Workspace& w = p.workspace;
    const sqlgen::Generation generated = sqlgen::generer_requete(
        w.grids().objects(), w.grids().conditions(), w.catalogue(), p.connection, w.texts());
    p.window.sqlPanel()->memoSql->setPlainText(generated.lines.join(QLatin1Char('\n')));
    if (!generated.ok() && !generated.refusedEmpty) p.workspace.interaction().error(generated.error);
  };
  p.editor = std::make_unique<sqlgen::SqlEditorView>(
      *window.sqlPanel(), window.state(), messages,
      [&window](const QString& position) { window.setStatusText(0, position); });
  p.statistics = std::make_unique<repository::StatisticsLauncher>(
      window.state(), messages, QCoreApplication::applicationDirPath() + QStringLiteral("/korvo"));
  hooks.generateStatistics = [&p] {
    if (!p.window.isConnected()) return;
    p.statistics->statistiquesClick(p.window.login());
  };
  // The drop button itself is wired by connectUniversePanel.
  p.run = std::make_unique<RunFeatures>(window, p.workspace, p.connection, p.tap);
}

MainWindowFeatures::~MainWindowFeatures() = default;

RunFeatures* MainWindowFeatures::run() const { return parts_->run.get(); }
builder::Workspace& MainWindowFeatures::workspace() const { return parts_->workspace; }

}  // namespace korvo::app
