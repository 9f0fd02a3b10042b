#include "sqlgen/null_cell_delegate_widget.h"

#include <QPainter>

#include "sqlgen/result_model.h"

namespace korvo::sqlgen {

void NullCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  if (!index.data(ResultModel::kIsNullRole).toBool()) return;
  painter->save();
  painter->setFont(option.font);
  painter->setPen(option.palette.color(QPalette::Mid));
  painter->drawText(option.rect.adjusted(2, 1, -1, -1),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    QString::fromLatin1(kNullMark));
  painter->restore();
}

}  // namespace korvo::sqlgen
