#include "kernel/navigator_widget.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "kernel/toolbar_widget.h"

namespace korvo::kernel {

NavigatorWidget::NavigatorWidget(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DBNavigator1"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  static const char* const names[VisibleButtonCount] = {"nbFirst", "nbPrior", "nbNext", "nbLast"};
  static const char* const icons[VisibleButtonCount] = {"nav_first", "nav_prior", "nav_next",
                                                        "nav_last"};
  for (int i = 0; i < VisibleButtonCount; ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(QLatin1String(names[i]));
    b->setIcon(korvoIcon(QLatin1String(icons[i])));
    b->setIconSize(QSize(18, 18));
    b->setAutoRaise(true);
    layout->addWidget(b);
    buttons_[i] = b;
  }
  connect(buttons_[First], &QToolButton::clicked, this, &NavigatorWidget::firstClicked);
  connect(buttons_[Prior], &QToolButton::clicked, this, &NavigatorWidget::priorClicked);
  connect(buttons_[Next], &QToolButton::clicked, this, &NavigatorWidget::nextClicked);
  connect(buttons_[Last], &QToolButton::clicked, this, &NavigatorWidget::lastClicked);
}

void NavigatorWidget::setHints(const QStringList& hints) {
  for (int i = 0; i < VisibleButtonCount; ++i) buttons_[i]->setToolTip(hints.value(i));
}

}  // namespace korvo::kernel
