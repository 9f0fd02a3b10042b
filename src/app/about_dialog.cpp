#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "kernel/app_state.h"
#include "kernel/language.h"
#include "kernel/link_label_widget.h"
#include "kernel/opener.h"
#include "kernel/toolbar_widget.h"

namespace korvo::app {

using namespace korvo::kernel;

QLabel* AboutDialog::addLabel(const QString& name, const QString& text) {
  auto* label = new QLabel(text, this);
  label->setObjectName(name);
  return label;
}

AboutDialog::AboutDialog(const TextTables& texts, const QUrl& productPage, Opener& opener,
                         QWidget* parent)
    : QDialog(parent), opener_(opener), productPage_(productPage) {
  setObjectName(QStringLiteral("TForm4"));
  setWindowTitle(texts.menuCaptions.value(QStringLiteral("AproposdeKorvo1")));

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QLabel* banner = addLabel(QStringLiteral("Image1"), QString());
  banner->setPixmap(korvoIcon(QStringLiteral("banner")).pixmap(QSize(420, 90)));
  banner->setAlignment(Qt::AlignCenter);
  layout->addWidget(banner);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->addWidget(addLabel(QStringLiteral("LabelVersion"), texts.messages.value(0)), 0, 0);
  QLabel* version = addLabel(QStringLiteral("LabelVersionNumber"), QLatin1String(kVersion));
  QFont bold = version->font();
  bold.setBold(true);
  version->setFont(bold);
  auto* versionRow = new QHBoxLayout;
  versionRow->addWidget(version);
  versionRow->addSpacing(12);
  versionRow->addWidget(addLabel(QStringLiteral("LabelDate"), QLatin1String(kVersionDate)));
  versionRow->addStretch(1);
  grid->addLayout(versionRow, 0, 1);
  grid->addWidget(addLabel(QStringLiteral("LabelProduct"), texts.messages.value(3)), 1, 1);
  grid->addWidget(addLabel(QStringLiteral("LabelInterface"), texts.messages.value(4)), 2, 1);
  grid->addWidget(addLabel(QStringLiteral("LabelWebSite"), texts.messages.value(2)), 3, 0);
  link_ = new LinkLabelWidget(this);
  link_->setObjectName(QStringLiteral("LabelWebPage"));
  link_->setText(productPage.toString());
  grid->addWidget(link_, 3, 1);
  layout->addLayout(grid);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("BTOk"));
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);

  connect(link_, &LinkLabelWidget::activated, this, [this] { opener_.open(productPage_); });
}

void AboutDialog::showCentredOn(QWidget* window) {
  adjustSize();
  if (window) {
    const QRect frame = window->frameGeometry();
    move(frame.center() - rect().center());
  }
  show();
  raise();
  activateWindow();
}

void AboutDialog::done(int result) {
  QDialog::done(result);
  emit closed();
}

}  // namespace korvo::app
