#include "sqlgen/result_grid_view.h"

#include "db/statement_runner.h"

#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QTableView>
#include <QToolBar>

#include "kernel/navigator_widget.h"
#include "sqlgen/null_cell_delegate_widget.h"
#include "sqlgen/result_model.h"
#include "sqlgen/result_panel.h"
#include "sqlgen/row_numbers_widget.h"

namespace korvo::sqlgen {

ResultGridView::ResultGridView(ResultPanel& panel, ResultModel& model,
                               kernel::Interaction& interaction, QObject* parent)
    : QObject(parent), panel_(panel), model_(model), interaction_(interaction) {
  QTableView* grid = panel.dbGridData;
  grid->setModel(&model);
  grid->setItemDelegate(new NullCellDelegate(grid));
  grid->horizontalHeader()->setSectionsClickable(true);
  rowNumbers_ = new RowNumbersWidget(grid, panel.toolBar10);

  connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
    const QStringList titles = model_.titles();
    if (onTitleClicked && section >= 0 && section < titles.size()) onTitleClicked(titles[section]);
  });

  // Qt fetches from inside painting: a message box there would run an event
  // loop in the middle of it, so the message waits for the next turn.
  QPointer<ResultGridView> self(this);
  model.onFetchError = [self](const QString& text) {
    // A Cancel is the user's own doing: the status bar says it, not a box.
    if (!self || text == db::cancelledText()) return;
    QMetaObject::invokeMethod(
        self.data(),
        [self, text] {
          if (self) self->interaction_.error(text);
        },
        Qt::QueuedConnection);
  };

  kernel::NavigatorWidget* navigator = panel.dbNavigator1;
  connect(navigator, &kernel::NavigatorWidget::firstClicked, this, &ResultGridView::goFirst);
  connect(navigator, &kernel::NavigatorWidget::priorClicked, this, &ResultGridView::goPrior);
  connect(navigator, &kernel::NavigatorWidget::nextClicked, this, &ResultGridView::goNext);
  connect(navigator, &kernel::NavigatorWidget::lastClicked, this, &ResultGridView::goLast);
}

void ResultGridView::attach() {
  if (panel_.dbGridData->model() == &model_) return;
  panel_.dbGridData->setModel(&model_);
  rowNumbers_->followModel();
}

void ResultGridView::withBusyCursor(const std::function<void()>& work) {
  struct Restore {
    ~Restore() { QApplication::restoreOverrideCursor(); }
  };
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Restore restore;
  work();
}

int ResultGridView::currentRow() const {
  const QModelIndex current = panel_.dbGridData->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void ResultGridView::goToRow(int row) {
  if (model_.rowCount() == 0 || model_.columnCount() == 0) return;
  row = std::clamp(row, 0, model_.rowCount() - 1);
  QTableView* grid = panel_.dbGridData;
  const QModelIndex current = grid->currentIndex();
  const int column = current.isValid() ? current.column() : 0;
  const QModelIndex target = model_.index(row, column);
  grid->selectionModel()->setCurrentIndex(
      target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid->scrollTo(target);
}

void ResultGridView::goFirst() { goToRow(0); }

void ResultGridView::goPrior() { goToRow(std::max(currentRow(), 1) - 1); }

void ResultGridView::goNext() {
  const int next = currentRow() + 1;
  if (next >= model_.fetchedRows() && !model_.atEnd()) model_.fetchNextPacket();
  goToRow(next);
}

void ResultGridView::goLast() {
  withBusyCursor([this] { model_.fetchAll(); });
  goToRow(model_.rowCount() - 1);
}

}  // namespace korvo::sqlgen
