#include "kernel/link_label_widget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>

namespace korvo::kernel {

LinkLabelWidget::LinkLabelWidget(QWidget* parent) : QLabel(parent) {
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  paintAs(false);
}

QColor LinkLabelWidget::restColor() {
  // The system's active caption colour has no portable equivalent; the
  // palette's link colour is what the desktop uses for links.
  return QApplication::palette().color(QPalette::Active, QPalette::Link);
}

void LinkLabelWidget::paintAs(bool hovered) {
  hovered_ = hovered;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, hovered ? hoverColor() : restColor());
  setPalette(p);
  if (hovered)
    setCursor(Qt::PointingHandCursor);
  else
    unsetCursor();
}

void LinkLabelWidget::enterEvent(QEnterEvent* event) {
  paintAs(true);
  QLabel::enterEvent(event);
}

void LinkLabelWidget::leaveEvent(QEvent* event) {
  paintAs(false);
  QLabel::leaveEvent(event);
}

void LinkLabelWidget::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit activated();
}

}  // namespace korvo::kernel
