#pragma once
// The record numbers of the result grid's visible rows, painted in the strip
// left of the grid, each right-aligned beside its row. The grid itself shows
// no row header.
#include <QList>
#include <QRect>
#include <QWidget>

class QTableView;

namespace korvo::sqlgen {

class RowNumbersWidget : public QWidget {
  Q_OBJECT
 public:
  struct Label {
    int record = 0;  // 1-based
    QRect rect;      // in this widget's coordinates, the row's own height
  };

  // Covers `strip` entirely and follows `grid`'s scrolling and geometry.
  RowNumbersWidget(QTableView* grid, QWidget* strip);

  // One label per row of the grid that is at least partly visible.
  QList<Label> labels() const;
  // Call after the grid's model is set or replaced.
  void followModel();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The grid's visible rows, vertically, in this widget's coordinates.
  QRect viewportBand() const;

  QTableView* grid_;
  QWidget* strip_;
  QList<QMetaObject::Connection> modelConnections_;
};

}  // namespace korvo::sqlgen
