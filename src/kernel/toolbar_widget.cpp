#include "kernel/toolbar_widget.h"

#include <QDir>
#include <QToolBar>
#include <QToolButton>

namespace korvo::kernel {
namespace {

QString& iconFolder() {
  static QString folder = QStringLiteral(":/icons");
  return folder;
}

}  // namespace

QIcon korvoIcon(const QString& name) {
  return QIcon(QDir(iconFolder()).filePath(name + QStringLiteral(".png")));
}

void setIconFolder(const QString& folder) { iconFolder() = folder; }

QToolBar* makeToolBar(const QString& name, QWidget* parent) {
  auto* bar = new QToolBar(parent);
  bar->setObjectName(name);
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(20, 20));
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  return bar;
}

QToolButton* addToolButton(QToolBar* bar, const QString& name, const QString& icon) {
  auto* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setIcon(korvoIcon(icon));
  button->setAutoRaise(true);
  button->setIconSize(bar->iconSize());
  bar->addWidget(button);
  return button;
}

}  // namespace korvo::kernel
