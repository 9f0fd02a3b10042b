#pragma once
// TForm6: the list of values the prompt dialog opens for the condition prompt
// that has the focus. "Show selection only" shows the chosen lines alone; a
// filter box above the list narrows it as the user types.
#include <QDialog>
#include <QStringList>
#include <optional>

#include "builder/value_list.h"
#include "kernel/language.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace korvo::builder {

class ValueListDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ValueListDialog(const kernel::TextTables& texts, QWidget* parent = nullptr);

  // The list rebuilt: an earlier selection is not kept.
  void fill(const QString& caption, const QStringList& values, ValueChoice choice);
  // After OK: the operand the selection makes; nothing when no line was chosen
  // (the prompt's field then stays as it was).
  std::optional<QString> chosenOperand() const { return chosen_; }

  QListWidget* valueList() const { return listBoxValeur_; }
  QListWidget* selectionList() const { return listBoxSelection_; }
  QCheckBox* selectionOnly() const { return checkBox1_; }
  QLineEdit* filter() const { return filter_; }
  QPushButton* okButton() const { return btOK_; }

 private:
  void confirm();
  void toggleSelectionOnly();
  void applyFilter(const QString& typed);

  ValueChoice choice_ = ValueChoice::Single;
  std::optional<QString> chosen_;
  QLabel* panel1_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QListWidget* listBoxValeur_ = nullptr;
  QListWidget* listBoxSelection_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QPushButton* btOK_ = nullptr;
  QPushButton* btAnnuler_ = nullptr;
};

}  // namespace korvo::builder
