#pragma once
// TForm5: asks for every value a query needs at run time at once, one label
// and one field per prompt, 45 pixels apart on a panel that grows and scrolls
// past five prompts. OK stays disabled while a condition prompt is blank; the
// values button fills the focused condition prompt from its list of values.
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "kernel/language.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace korvo::sqlgen {

// One prompt as the dialog shows it.
struct PromptField {
  QString label;      // object name, question or variable name
  QString name;       // suffix of the widgets' names: the object id, or the prompt's key
  bool condition = false;  // a condition prompt: must be answered, may use the values button
  QString initial;    // the field's text at showing
};

class PromptDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PromptDialog(const kernel::TextTables& texts, QWidget* parent = nullptr);

  // Generer_invites: the fields of `prompts`, built afresh.
  void build(const QList<PromptField>& prompts);
  // The texts of the fields, in prompt order.
  QStringList answers() const;

  // BTValeur for condition prompt `index`: the text to write into its field,
  // nothing when the user cancels. Unset: the button does nothing.
  std::function<std::optional<QString>(int index)> chooseValues;

  QPushButton* okButton() const { return btOK_; }
  QPushButton* valuesButton() const { return btValeur_; }
  QLineEdit* field(int index) const { return fields_.value(index); }
  QWidget* panel() const { return panel1_; }

  // Verifier_invites: OK enabled when no condition prompt is blank.
  void verify();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void clearFields();
  void openValues();

  QPushButton* btOK_ = nullptr;
  QPushButton* btAnnuler_ = nullptr;
  QPushButton* btValeur_ = nullptr;
  QScrollArea* scrollBox1_ = nullptr;
  QWidget* panel1_ = nullptr;
  QList<QLabel*> labels_;
  QList<QLineEdit*> fields_;
  QList<bool> condition_;
  int valuesTarget_ = -1;  // the condition prompt whose field had the focus last
};

}  // namespace korvo::sqlgen
