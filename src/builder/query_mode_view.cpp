#include "builder/query_mode_view.h"

#include "builder/value_panel_view.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "builder/condition_placeholder_view.h"
#include "builder/node_tree_widget.h"
#include "builder/query_panel.h"
#include "builder/workspace.h"

namespace korvo::builder {

namespace {

// Grid row r is table row r - 1: the grid's header row is the table's header.
void showGrid(QTableWidget* table, const Grid& grid) {
  if (table->columnCount() != grid.columnCount()) table->setColumnCount(grid.columnCount());
  table->setHorizontalHeaderLabels(grid.headers());
  table->setRowCount(grid.rowCount() - 1);
  for (int r = 1; r < grid.rowCount(); ++r) {
    for (int c = 0; c < grid.columnCount(); ++c) {
      QTableWidgetItem* item = table->item(r - 1, c);
      const QString text = grid.cell(r, c);
      if (!item)
        table->setItem(r - 1, c, new QTableWidgetItem(text));
      else if (item->text() != text)
        item->setText(text);
    }
  }
}

QWidget* panelFor(QueryPanel& panel, LeftPanel which) {
  switch (which) {
    case LeftPanel::Operators:
      return panel.panelOper;
    case LeftPanel::OperandTypes:
      return panel.panelOperande;
    case LeftPanel::Values:
      return panel.panelValeur;
    case LeftPanel::Classes:
      break;
  }
  return panel.panelClasse;
}

}  // namespace

QueryModeView::QueryModeView(QueryPanel& panel, Workspace& workspace, Services services,
                             QObject* parent)
    : QObject(parent),
      panel_(panel),
      workspace_(workspace),
      services_(std::move(services)),
      tree_(panel.treeViewClasse) {
  delegate_ = new ConditionPlaceholderDelegate(panel_, workspace_.grids(), this);
  values_ = new ValuePanelView(panel_, workspace_, [this] { refresh(); }, this);
  panel_.stringGridCond->setItemDelegate(delegate_);
  panel_.treeViewClasse->setDragEnabled(true);
  panel_.treeViewClasse->setDragDropMode(QAbstractItemView::DragOnly);
  for (QTableWidget* grid : {panel_.stringGridObj, panel_.stringGridCond}) {
    grid->setAcceptDrops(true);
    grid->viewport()->setAcceptDrops(true);
    grid->viewport()->installEventFilter(this);
    grid->installEventFilter(this);
  }
  panel_.treeViewClasse->installEventFilter(this);
  connectTrees();
  connectButtons();
  connectGrids();
  workspace_.changed = [this] { refresh(); };
  refresh();
}

QueryModeView::~QueryModeView() { workspace_.changed = nullptr; }

void QueryModeView::initClasses() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  workspace_.Init_Classes();  // a failure shows nothing: the next entry tries again
  QApplication::restoreOverrideCursor();
  refresh();
}

void QueryModeView::apply(const std::function<void()>& operation) {
  operation();
  refresh();
}

void QueryModeView::refresh() {
  if (syncing_) return;
  syncing_ = true;
  if (shownTreeVersion_ != workspace_.treeVersion()) {
    shownTreeVersion_ = workspace_.treeVersion();
    tree_.show(workspace_.tree());
    showPickList(panel_.treeViewOperande, workspace_.operandTypeList());
    showPickList(panel_.treeViewOper, workspace_.operatorList());
  }
  const QueryGrids& grids = workspace_.grids();
  const BuilderState& st = grids.state();
  showGrid(panel_.stringGridObj, grids.objects());
  showGrid(panel_.stringGridCond, grids.conditions());
  panel_.stringGridObj->setCurrentCell(st.objRow - 1,
                                       std::max(0, panel_.stringGridObj->currentColumn()));
  QTableWidget* cond = panel_.stringGridCond;
  cond->setCurrentCell(st.condRow - 1, st.condCol);
  panel_.showLeftPanel(panelFor(panel_, st.leftPanel));
  if (!st.leftTitle.isEmpty()) panel_.label1->setText(st.leftTitle);
  panel_.sbExecute->setEnabled(st.executeEnabled);
  if (st.editing) {
    cond->setEditTriggers(QAbstractItemView::AllEditTriggers);
    if (QTableWidgetItem* item = cond->currentItem()) cond->editItem(item);
  } else {
    cond->setEditTriggers(QAbstractItemView::NoEditTriggers);
  }
  cond->viewport()->update();
  syncing_ = false;
}

void QueryModeView::showComment() {
  if (services_.showComment)
    services_.showComment(statusComment(tree_.nodeOf(panel_.treeViewClasse->currentItem())));
}

void QueryModeView::connectTrees() {
  QTreeWidget* classes = panel_.treeViewClasse;
  connect(classes, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    apply([&] { workspace_.grids().treeDoubleClick(tree_.picked(item)); });
  });
  connect(classes, &QTreeWidget::currentItemChanged, this, [this] { showComment(); });
  connect(classes, &QTreeWidget::itemClicked, this, [this] { showComment(); });
  connect(panel_.treeViewOper, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) {
            apply([&] { workspace_.grids().ProcAjouterOperateur(item->text(0)); });
          });
  connect(panel_.treeViewOperande, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) {
            OperandEffect effect;
            apply([&] { effect = workspace_.grids().ProcSelectOperande(item->text(0)); });
            if (effect.openValues) values_->open();
            if (!effect.focusGrid) return;
            // The grid takes the focus and hands it to the open editor.
            QTableWidget* grid = panel_.stringGridCond;
            grid->setFocus();
            if (QTableWidgetItem* current = grid->currentItem()) grid->editItem(current);
          });
}

void QueryModeView::connectButtons() {
  QueryGrids& g = workspace_.grids();
  const std::pair<QToolButton*, std::function<void()>> buttons[] = {
      {panel_.sbAjouter, [&g, this] { g.ProcAjouterColonne(tree_.selected()); }},
      {panel_.sbAjouterCond, [&g, this] { g.ProcAjouterCondition(tree_.selected()); }},
      {panel_.sbSupprimer, [&g] { g.EffacerClick(); }},
      {panel_.sbSupprimerCond, [&g] { g.SBSupprimerCondClick(); }},
      {panel_.sbVersleHaut, [&g] { g.SBVersleHautClick(); }},
      {panel_.sbVersleBas, [&g] { g.SBVersleBasClick(); }},
      {panel_.sbCVersLeHaut, [&g] { g.SBCVersLeHautClick(); }},
      {panel_.sbCVersLeBas, [&g] { g.SBCVersLeBasClick(); }},
      {panel_.sbAjouterPar, [&g] { g.SBAjouterParClick(); }},
      {panel_.sbSuppPar, [&g] { g.SBSuppParClick(); }},
      {panel_.sbAjouterLine, [&g] { g.SBAjouterLineClick(); }},
      {panel_.sbTruncObj, [&g] { g.SBtruncObjClick(); }},
      {panel_.sbTruncCond, [&g] { g.SBTruncCondClick(); }},
      {panel_.sbNew, [&g] { g.SBNewClick(); }},
      {panel_.sbClasses, [&g] { g.SBClassesClick(); }},
      {panel_.sbCloseOper, [&g] { g.SBCloseOperClick(); }},
      {panel_.sbCloseOperande, [&g] { g.SBCloseOperClick(); }},
      {panel_.sbCloseList, [&g] { g.SBCloseListClick(); }},
      {panel_.sbOuvrir, [this] { workspace_.SBOuvrirClick(); }},
      {panel_.sbEnregistrer, [this] { workspace_.SBEnregistrerClick(); }},
  };
  for (const auto& [button, operation] : buttons)
    connect(button, &QToolButton::clicked, this, [this, operation] { apply(operation); });
  connect(panel_.sbExecute, &QToolButton::clicked, this, [this] {
    if (services_.runQuery) services_.runQuery();
  });
}

void QueryModeView::connectGrids() {
  QTableWidget* obj = panel_.stringGridObj;
  QTableWidget* cond = panel_.stringGridCond;
  connect(obj, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (!syncing_) workspace_.grids().selectObjectRow(row + 1);
  });
  connect(cond, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
    if (syncing_ || row < 0 || column < 0) return;
    apply([&] { workspace_.grids().StringGridCondSelectCell(row + 1, column); });
  });
  connect(cond, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    apply([&] { workspace_.grids().StringGridCondDblClick(row + 1, column); });
  });
  // Text typed while editing is on goes back into the grid.
  connect(cond, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (syncing_) return;
    workspace_.grids().setConditionCell(item->row() + 1, item->column(), item->text());
  });
}

PickedNode QueryModeView::draggedNode(const QMimeData* data) const {
  if (!data || !data->hasFormat(QLatin1String(kTreeNodeMimeType))) return PickedNode{};
  const QString name = QString::fromUtf8(data->data(QLatin1String(kTreeNodeMimeType)));
  if (name == panel_.treeViewClasse->objectName()) return tree_.selected();
  for (QTreeWidget* list : {panel_.treeViewOper, panel_.treeViewOperande}) {
    if (name == list->objectName()) return tree_.picked(list->currentItem());
  }
  return PickedNode{};
}

bool QueryModeView::acceptsDrop(const QMimeData* data) const {
  return draggedNode(data).isObject();
}

bool QueryModeView::dropOn(QTableWidget* grid, const QMimeData* data) {
  const PickedNode node = draggedNode(data);
  bool taken = false;
  apply([&] {
    QueryGrids& g = workspace_.grids();
    taken = grid == panel_.stringGridObj ? g.dropOnObjects(node) : g.dropOnConditions(node);
  });
  return taken;
}

bool QueryModeView::eventFilter(QObject* watched, QEvent* event) {
  QTableWidget* obj = panel_.stringGridObj;
  QTableWidget* cond = panel_.stringGridCond;
  QTableWidget* grid = watched == obj->viewport()    ? obj
                       : watched == cond->viewport() ? cond
                                                     : nullptr;
  if (grid) {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (acceptsDrop(drag->mimeData()))
          drag->acceptProposedAction();
        else
          drag->ignore();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (dropOn(grid, drop->mimeData()))
          drop->acceptProposedAction();
        else
          drop->ignore();
        return true;
      }
      default:
        return false;
    }
  }
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool fromKeyTarget = watched == obj || watched == cond || watched == panel_.treeViewClasse;
  if (fromKeyTarget && key == Qt::Key_F9) {
    if (services_.runQuery) services_.runQuery();
    return true;
  }
  if (watched == obj && key == Qt::Key_Delete) {
    apply([this] { workspace_.grids().EffacerClick(); });
    return true;
  }
  return false;
}

}  // namespace korvo::builder
