#pragma once
// A label that shows a web address as a link: red with a hand cursor while
// the pointer is over it, the link colour (underlined) and the default cursor
// otherwise; a click emits activated().
#include <QLabel>

namespace korvo::kernel {

class LinkLabelWidget : public QLabel {
  Q_OBJECT
 public:
  explicit LinkLabelWidget(QWidget* parent = nullptr);
  bool isHovered() const { return hovered_; }
  // The colours used at rest and under the pointer.
  static QColor restColor();
  static QColor hoverColor() { return QColor(Qt::red); }

 signals:
  void activated();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void paintAs(bool hovered);
  bool hovered_ = false;
};

}  // namespace korvo::kernel
