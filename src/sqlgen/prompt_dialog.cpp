#include "sqlgen/prompt_dialog.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

namespace korvo::sqlgen {
namespace {

constexpr int kPanelWidth = 405;
constexpr int kPanelHeight = 277;
constexpr int kStep = 45;  // between two prompts
const QPoint kFirstLabel(25, 16);
const QPoint kFirstField(24, 32);
constexpr int kFieldWidth = 353;
constexpr int kFieldHeight = 21;

}  // namespace

PromptDialog::PromptDialog(const kernel::TextTables& texts, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm5"));
  setWindowTitle(texts.messages.value(8));
  setFixedSize(524, 303);
  setModal(true);

  const auto button = [this](const char* name, const QString& text, int top) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(440, top, 75, 25);
    return b;
  };
  btOK_ = button("BtOK", QStringLiteral("OK"), 8);
  btOK_->setDefault(true);
  btAnnuler_ = button("BtAnnuler", texts.messages.value(9), 40);
  btValeur_ = button("BTValeur", texts.messages.value(10), 72);
  // The values button must not take the focus from the field it fills.
  btValeur_->setFocusPolicy(Qt::NoFocus);

  scrollBox1_ = new QScrollArea(this);
  scrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
  scrollBox1_->setGeometry(16, 8, 409, 281);
  scrollBox1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scrollBox1_->setWidgetResizable(false);
  panel1_ = new QWidget;
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel1_->resize(kPanelWidth, kPanelHeight);
  panel1_->setMouseTracking(true);
  panel1_->installEventFilter(this);
  scrollBox1_->setWidget(panel1_);

  connect(btOK_, &QPushButton::clicked, this, [this] {
    verify();
    if (btOK_->isEnabled()) accept();
  });
  connect(btAnnuler_, &QPushButton::clicked, this, &QDialog::reject);
  connect(btValeur_, &QPushButton::clicked, this, [this] { openValues(); });
}

void PromptDialog::clearFields() {
  qDeleteAll(labels_);
  qDeleteAll(fields_);
  labels_.clear();
  fields_.clear();
  condition_.clear();
  valuesTarget_ = -1;
}

void PromptDialog::build(const QList<PromptField>& prompts) {
  clearFields();
  QStringList used;
  for (qsizetype n = 0; n < prompts.size(); ++n) {
    const PromptField& p = prompts[n];
    // Two prompts on one object still get widgets of their own names.
    QString suffix = p.name;
    for (int k = 2; used.contains(suffix); ++k) suffix = p.name + QLatin1Char('_') + QString::number(k);
    used << suffix;

    auto* label = new QLabel(p.label, panel1_);
    label->setObjectName(QStringLiteral("LB") + suffix);
    label->move(kFirstLabel + QPoint(0, kStep * int(n)));
    label->adjustSize();
    auto* field = new QLineEdit(p.initial, panel1_);
    field->setObjectName(QStringLiteral("CH") + suffix);
    field->setGeometry(kFirstField.x(), kFirstField.y() + kStep * int(n), kFieldWidth, kFieldHeight);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, &PromptDialog::verify);
    label->show();
    field->show();
    labels_ << label;
    fields_ << field;
    condition_ << p.condition;
  }
  const int wanted = kStep * int(prompts.size()) + kStep;
  panel1_->resize(kPanelWidth, wanted > kPanelHeight ? wanted : kPanelHeight);
  verify();
  if (!fields_.isEmpty()) fields_.first()->setFocus();
}

QStringList PromptDialog::answers() const {
  QStringList out;
  for (const QLineEdit* f : fields_) out << f->text();
  return out;
}

void PromptDialog::verify() {
  bool complete = true;
  for (qsizetype i = 0; i < fields_.size(); ++i)
    if (condition_[i] && fields_[i]->text().trimmed().isEmpty()) complete = false;
  btOK_->setEnabled(complete);
}

bool PromptDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == panel1_ && event->type() == QEvent::MouseMove) verify();
  if (event->type() == QEvent::FocusIn) {
    const qsizetype index = fields_.indexOf(qobject_cast<QLineEdit*>(watched));
    if (index >= 0) valuesTarget_ = condition_[index] ? int(index) : -1;
  }
  return QDialog::eventFilter(watched, event);
}

void PromptDialog::openValues() {
  if (valuesTarget_ < 0 || !chooseValues) return;
  const int target = valuesTarget_;
  setEnabled(false);
  const std::optional<QString> chosen = chooseValues(target);
  setEnabled(true);
  if (chosen) fields_[target]->setText(*chosen);
  fields_[target]->setFocus();
}

}  // namespace korvo::sqlgen
