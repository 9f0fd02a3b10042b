#include "builder/value_panel_view.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "builder/query_panel.h"
#include "builder/workspace.h"

namespace korvo::builder {
namespace {

constexpr int kChunk = 2000;  // values added per turn of the event loop

}  // namespace

ValuePanelView::ValuePanelView(QueryPanel& panel, Workspace& workspace,
                               std::function<void()> changed, QObject* parent)
    : QObject(parent), panel_(panel), workspace_(workspace), changed_(std::move(changed)) {
  filter_ = new QLineEdit(panel.panelValeur);
  filter_->setObjectName(QStringLiteral("EditFiltreValeur"));
  filter_->setClearButtonEnabled(true);
  if (auto* column = qobject_cast<QVBoxLayout*>(panel.panelValeur->layout()))
    column->insertWidget(0, filter_);
  panel.listBoxValeur->setUniformItemSizes(true);
  filling_ = new QTimer(this);
  filling_->setInterval(0);
  connect(filling_, &QTimer::timeout, this, &ValuePanelView::addNextChunk);
  connect(filter_, &QLineEdit::textChanged, this, &ValuePanelView::applyFilter);
  connect(panel.btSelValeur, &QPushButton::clicked, this, &ValuePanelView::choose);
  connect(panel.listBoxValeur, &QListWidget::itemDoubleClicked, this, &ValuePanelView::choose);
}

void ValuePanelView::open() {
  QueryGrids& g = workspace_.grids();
  const int row = g.state().condRow;
  if (g.state().condCol != kCondOperand) return;
  const QString id = g.conditions().cell(row, kCondId);
  choice_ = valueChoiceFor(g.conditions().cell(row, kCondOperator), workspace_.texts());
  if (id.isEmpty() || choice_ == ValueChoice::None) return;
  ValueList values;
  try {
    values = distinctValues(workspace_.connection(), workspace_.catalogue(), id, false);
  } catch (const db::DbError& e) {
    workspace_.interaction().error(e.text());
    return;
  }
  if (!values.found) return;
  filling_->stop();
  filter_->clear();
  QListWidget* list = panel_.listBoxValeur;
  list->clear();
  list->setSelectionMode(choice_ == ValueChoice::Multiple ? QAbstractItemView::MultiSelection
                                                          : QAbstractItemView::SingleSelection);
  pending_ = values.values;
  next_ = 0;
  addNextChunk();
  g.showValuePanel();
  changed_();
}

void ValuePanelView::addNextChunk() {
  const qsizetype end = std::min(pending_.size(), next_ + kChunk);
  QListWidget* list = panel_.listBoxValeur;
  const QString typed = filter_->text();
  for (qsizetype i = next_; i < end; ++i) {
    list->addItem(pending_[i]);
    if (!typed.isEmpty())
      list->item(list->count() - 1)->setHidden(!pending_[i].contains(typed, Qt::CaseInsensitive));
  }
  next_ = end;
  if (next_ < pending_.size())
    filling_->start();
  else
    filling_->stop();
}

void ValuePanelView::applyFilter(const QString& typed) {
  QListWidget* list = panel_.listBoxValeur;
  for (int i = 0; i < list->count(); ++i) {
    QListWidgetItem* item = list->item(i);
    item->setHidden(!typed.isEmpty() && !item->text().contains(typed, Qt::CaseInsensitive));
  }
}

void ValuePanelView::choose() {
  filling_->stop();
  QStringList chosen;
  QListWidget* list = panel_.listBoxValeur;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) chosen << list->item(i)->text();
  workspace_.grids().ProcSelValeur(operandForValues(chosen, choice_));
  changed_();
  panel_.stringGridCond->setFocus();
}

}  // namespace korvo::builder
