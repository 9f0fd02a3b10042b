#include "app/main_window_target.h"

#include <QCoreApplication>
#include <QTableView>
#include <QTreeWidget>

#include "app/main_window.h"
#include "builder/query_panel.h"
#include "sqlgen/result_panel.h"
#include "db/connection.h"

namespace korvo::app {

using namespace korvo::kernel;

db::Connection* MainWindowTarget::connection() const { return window_.connection(); }

void MainWindowTarget::rememberLogin(const session::LoginParameters& login) {
  window_.setLogin(login);
}

void MainWindowTarget::setConnection(std::unique_ptr<db::Connection> connection) {
  window_.setConnection(std::move(connection));
}

void MainWindowTarget::detachResultGrid() {
  if (window_.resultPanel() && window_.resultPanel()->dbGridData)
    window_.resultPanel()->dbGridData->setModel(nullptr);
}

void MainWindowTarget::setWindowCaption(const QString& caption) { window_.setWindowTitle(caption); }

void MainWindowTarget::setApplicationTitle(const QString& title) {
  QCoreApplication::setApplicationName(title);
}

void MainWindowTarget::clearClassTree() {
  QTreeWidget* tree = window_.queryPanel() ? window_.queryPanel()->treeViewClasse : nullptr;
  if (tree && tree->topLevelItemCount() > 0) tree->clear();
  if (window_.hooks().clearClassTree) window_.hooks().clearClassTree();
}

void MainWindowTarget::showUniverseMode() { window_.procPanelUnivers(); }

}  // namespace korvo::app
