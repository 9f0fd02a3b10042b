#include "kernel/message_box_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace korvo::kernel {
namespace {

QString title() { return QApplication::applicationName(); }

}  // namespace

QWidget* MessageBoxInteraction::owner() const {
  return parent_ ? parent_ : QApplication::activeWindow();
}

void MessageBoxInteraction::inform(const QString& text) {
  QMessageBox::information(owner(), title(), text, QMessageBox::Ok);
}

void MessageBoxInteraction::error(const QString& text) {
  QMessageBox::critical(owner(), title(), text, QMessageBox::Ok);
}

bool MessageBoxInteraction::confirm(const QString& text) {
  return QMessageBox::question(owner(), title(), text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

void MessageBoxInteraction::progress(const QString& step) {
  if (!step.isEmpty() && !busy_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    busy_ = true;
  } else if (step.isEmpty() && busy_) {
    QApplication::restoreOverrideCursor();
    busy_ = false;
  }
}

QString MessageBoxInteraction::chooseFile(bool save, const QString& folder,
                                          const QString& proposedName) {
  const QString start = proposedName.isEmpty() ? folder : QDir(folder).filePath(proposedName);
  // A saved query replaces a file of the same name without a question.
  return save ? QFileDialog::getSaveFileName(owner(), title(), start, QString(), nullptr,
                                             QFileDialog::DontConfirmOverwrite)
              : QFileDialog::getOpenFileName(owner(), title(), start);
}

}  // namespace korvo::kernel
