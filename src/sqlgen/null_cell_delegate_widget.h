#pragma once
// Draws "{null}" in a muted colour at the top-left of every result cell whose
// text is empty (a null, or an empty text), over the usual cell drawing.
#include <QStyledItemDelegate>

namespace korvo::sqlgen {

inline constexpr const char* kNullMark = "{null}";

class NullCellDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

}  // namespace korvo::sqlgen
