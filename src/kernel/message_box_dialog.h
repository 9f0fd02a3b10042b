#pragma once
// The desktop's answer to Interaction: plain message boxes with an OK button
// and Yes/No question boxes, titled with the program's name.
#include "kernel/interaction.h"

class QWidget;

namespace korvo::kernel {

class MessageBoxInteraction : public Interaction {
 public:
  // Boxes are centred on `parent` (the active window when null).
  explicit MessageBoxInteraction(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  void inform(const QString& text) override;
  void error(const QString& text) override;
  bool confirm(const QString& text) override;
  // A long operation shows the hourglass; an empty step ends it.
  void progress(const QString& step) override;
  // A file dialog without filter or default extension.
  QString chooseFile(bool save, const QString& folder, const QString& proposedName) override;

 private:
  QWidget* owner() const;
  QWidget* parent_;
  bool busy_ = false;
};

}  // namespace korvo::kernel
