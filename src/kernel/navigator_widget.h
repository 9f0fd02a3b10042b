#pragma once
// DBNavigator1: the record navigator of the result panel. Only its first
// four buttons (first, prior, next, last) are shown; the result grid's owner
// connects their signals.
#include <QStringList>
#include <QWidget>

class QToolButton;

namespace korvo::kernel {

class NavigatorWidget : public QWidget {
  Q_OBJECT
 public:
  enum Button { First, Prior, Next, Last, VisibleButtonCount };

  explicit NavigatorWidget(QWidget* parent = nullptr);
  // The ten hints in the navigator's button order; the first four are shown.
  void setHints(const QStringList& hints);
  QToolButton* button(Button which) const { return buttons_[which]; }

 signals:
  void firstClicked();
  void priorClicked();
  void nextClicked();
  void lastClicked();

 private:
  QToolButton* buttons_[VisibleButtonCount] = {};
};

}  // namespace korvo::kernel
