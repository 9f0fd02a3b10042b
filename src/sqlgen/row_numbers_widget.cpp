#include "sqlgen/row_numbers_widget.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

namespace korvo::sqlgen {
namespace {

constexpr int kRightMargin = 4;
constexpr int kSmallestPointSize = 5;

}  // namespace

RowNumbersWidget::RowNumbersWidget(QTableView* grid, QWidget* strip)
    : QWidget(strip), grid_(grid), strip_(strip) {
  setObjectName(QStringLiteral("RowNumbers"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(strip->rect());
  strip->installEventFilter(this);
  grid->viewport()->installEventFilter(this);
  connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
  connect(grid->verticalHeader(), &QHeaderView::sectionResized, this,
          qOverload<>(&QWidget::update));
  connect(grid->verticalHeader(), &QHeaderView::geometriesChanged, this,
          qOverload<>(&QWidget::update));
  followModel();
}

void RowNumbersWidget::followModel() {
  for (const QMetaObject::Connection& c : modelConnections_) disconnect(c);
  modelConnections_.clear();
  if (QAbstractItemModel* model = grid_->model()) {
    auto refresh = qOverload<>(&QWidget::update);
    modelConnections_ << connect(model, &QAbstractItemModel::modelReset, this, refresh)
                      << connect(model, &QAbstractItemModel::rowsInserted, this, refresh)
                      << connect(model, &QAbstractItemModel::rowsRemoved, this, refresh)
                      << connect(model, &QAbstractItemModel::layoutChanged, this, refresh);
  }
  update();
}

bool RowNumbersWidget::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == strip_ && type == QEvent::Resize) {
    setGeometry(strip_->rect());
    raise();
  }
  if (type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show) update();
  return QWidget::eventFilter(watched, event);
}

QRect RowNumbersWidget::viewportBand() const {
  const QWidget* viewport = grid_->viewport();
  const QPoint top = mapFromGlobal(viewport->mapToGlobal(QPoint(0, 0)));
  return QRect(0, top.y(), width(), viewport->height());
}

QList<RowNumbersWidget::Label> RowNumbersWidget::labels() const {
  QList<Label> out;
  const QAbstractItemModel* model = grid_->model();
  if (!model || model->rowCount() == 0 || model->columnCount() == 0) return out;
  const int viewportHeight = grid_->viewport()->height();
  const int first = grid_->rowAt(0);
  if (first < 0) return out;
  int last = grid_->rowAt(viewportHeight - 1);
  if (last < 0) last = model->rowCount() - 1;
  const int top = viewportBand().top();
  for (int row = first; row <= last; ++row) {
    if (grid_->isRowHidden(row)) continue;
    const int y = top + grid_->rowViewportPosition(row);
    out << Label{row + 1, QRect(0, y, width() - kRightMargin, grid_->rowHeight(row))};
  }
  return out;
}

void RowNumbersWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  const QList<Label> rows = labels();
  if (rows.isEmpty()) return;
  painter.setClipRect(viewportBand());
  // Long record numbers get a smaller font rather than being cut.
  QFont font = painter.font();
  const QString widest = QString::number(rows.back().record);
  while (font.pointSize() > kSmallestPointSize &&
         QFontMetrics(font).horizontalAdvance(widest) > width() - kRightMargin)
    font.setPointSize(font.pointSize() - 1);
  painter.setFont(font);
  painter.setPen(palette().color(QPalette::ButtonText));
  for (const Label& label : rows)
    painter.drawText(label.rect, Qt::AlignRight | Qt::AlignVCenter, QString::number(label.record));
}

}  // namespace korvo::sqlgen
