#include "builder/condition_placeholder_view.h"

#include <QPainter>

#include "builder/query_grids.h"
#include "builder/query_panel.h"

namespace korvo::builder {

QString ConditionPlaceholderDelegate::placeholder(int row, int column) const {
  if (row + 1 != grids_.state().condRow) return QString();
  const TextTables& texts = grids_.texts();
  if (column == kCondOperator && panel_.panelOper->isVisibleTo(&panel_))
    return texts.operatorLabels.value(0);
  if (column == kCondOperand && panel_.panelOperande->isVisibleTo(&panel_))
    return texts.operandTypeLabels.value(0);
  return QString();
}

void ConditionPlaceholderDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
  const QString text = placeholder(index.row(), index.column());
  if (text.isEmpty()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  painter->save();
  painter->fillRect(option.rect, Qt::white);
  painter->setPen(kDesktopColour);
  painter->setFont(option.font);
  painter->drawText(option.rect.adjusted(0, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
  painter->restore();
}

}  // namespace korvo::builder
