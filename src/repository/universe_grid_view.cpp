#include "repository/universe_grid_view.h"

#include <QApplication>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "repository/universe_panel.h"

namespace korvo::repository {

void showUniverseGrid(QTableWidget* table, const Grid& grid) {
  table->clear();
  table->setColumnCount(grid.columnCount());
  table->setRowCount(grid.rowCount() - 1);
  table->setHorizontalHeaderLabels(grid.headers());
  const QList<int> widths = universeColumnWidths();
  for (int c = 0; c < grid.columnCount() && c < widths.size(); ++c)
    table->setColumnWidth(c, widths[c]);
  for (int r = 1; r < grid.rowCount(); ++r) {
    for (int c = 0; c < grid.columnCount(); ++c) {
      table->setItem(r - 1, c, new QTableWidgetItem(grid.cell(r, c)));
    }
  }
}

void connectUniversePanel(repository::UniversePanel* panel, UniverseList& list) {
  QTableWidget* table = panel->stringGridUniv;
  list.gridChanged = [table, &list] { showUniverseGrid(table, list.grid()); };
  showUniverseGrid(table, list.grid());
  QObject::connect(table, &QTableWidget::cellClicked, table,
                   [&list](int row, int) { list.StringGridUnivClick(row + 1); });
  QObject::connect(panel->sbDropUnivers, &QToolButton::clicked, panel,
                   [&list] { list.SBdropUniversClick(); });
  // Importing again after an unfinished import is the import button's work,
  // once the refresh that asked has returned.
  QToolButton* importer = panel->sbImporter;
  list.importAgain = [importer] { QTimer::singleShot(0, importer, &QToolButton::click); };
}

BusyProgressInteraction::BusyProgressInteraction(kernel::Interaction& messages, QWidget* parent)
    : messages_(messages), parent_(parent) {}

BusyProgressInteraction::~BusyProgressInteraction() { end(); }

void BusyProgressInteraction::inform(const QString& text) { messages_.inform(text); }
void BusyProgressInteraction::error(const QString& text) { messages_.error(text); }
bool BusyProgressInteraction::confirm(const QString& text) { return messages_.confirm(text); }

void BusyProgressInteraction::progress(const QString& step) {
  if (step.isEmpty()) {
    end();
    return;
  }
  if (!busy_) {
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    dialog_ = std::make_unique<QProgressDialog>(parent_);
    dialog_->setObjectName(QStringLiteral("ProgressDialog"));
    dialog_->setRange(0, 0);  // the steps have no known length
    dialog_->setCancelButton(nullptr);
    dialog_->setMinimumDuration(0);
    dialog_->setWindowModality(Qt::WindowModal);
  }
  dialog_->setLabelText(step);
  dialog_->show();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void BusyProgressInteraction::end() {
  if (!busy_) return;
  busy_ = false;
  dialog_.reset();
  QApplication::restoreOverrideCursor();
}

}  // namespace korvo::repository
