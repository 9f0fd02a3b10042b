#pragma once
// StringGridCondDrawCell: while the operator list (or the operand-type list)
// is shown, the current row's operator cell (operand cell) is drawn white with
// the invitation line in the desktop colour, over whatever the cell holds.
#include <QColor>
#include <QStyledItemDelegate>

namespace korvo::builder {

class QueryGrids;
class QueryPanel;

// The classic Windows desktop colour the invitation lines are written in.
inline const QColor kDesktopColour{0x3A, 0x6E, 0xA5};

class ConditionPlaceholderDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  ConditionPlaceholderDelegate(const QueryPanel& panel, const QueryGrids& grids,
                               QObject* parent = nullptr)
      : QStyledItemDelegate(parent), panel_(panel), grids_(grids) {}

  // The invitation line drawn in the cell of table row `row` (grid row
  // row + 1) and `column`; empty when the cell is drawn normally.
  QString placeholder(int row, int column) const;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  const QueryPanel& panel_;
  const QueryGrids& grids_;
};

}  // namespace korvo::builder
