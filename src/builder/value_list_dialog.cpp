#include "builder/value_list_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvo::builder {

ValueListDialog::ValueListDialog(const kernel::TextTables& texts, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("TForm6"));
  setWindowTitle(texts.messages.value(11));
  setModal(true);
  resize(360, 420);
  auto* layout = new QVBoxLayout(this);
  panel1_ = new QLabel(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel1_->setFrameShape(QFrame::Panel);
  layout->addWidget(panel1_);
  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("EditFiltreValeur"));
  filter_->setClearButtonEnabled(true);
  layout->addWidget(filter_);
  listBoxValeur_ = new QListWidget(this);
  listBoxValeur_->setObjectName(QStringLiteral("ListBoxValeur"));
  listBoxValeur_->setUniformItemSizes(true);  // long lists stay quick to lay out
  layout->addWidget(listBoxValeur_, 1);
  listBoxSelection_ = new QListWidget(this);
  listBoxSelection_->setObjectName(QStringLiteral("ListBoxSelection"));
  listBoxSelection_->hide();
  layout->addWidget(listBoxSelection_, 1);
  checkBox1_ = new QCheckBox(texts.messages.value(13), this);
  checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
  layout->addWidget(checkBox1_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  btOK_ = new QPushButton(QStringLiteral("OK"), this);
  btOK_->setObjectName(QStringLiteral("BTOK"));
  btOK_->setDefault(true);
  btAnnuler_ = new QPushButton(texts.messages.value(12), this);
  btAnnuler_->setObjectName(QStringLiteral("BTAnnuler"));
  buttons->addWidget(btOK_);
  buttons->addWidget(btAnnuler_);
  layout->addLayout(buttons);

  connect(btOK_, &QPushButton::clicked, this, &ValueListDialog::confirm);
  connect(btAnnuler_, &QPushButton::clicked, this, &QDialog::reject);
  connect(checkBox1_, &QCheckBox::clicked, this, &ValueListDialog::toggleSelectionOnly);
  connect(filter_, &QLineEdit::textChanged, this, &ValueListDialog::applyFilter);
  connect(listBoxValeur_, &QListWidget::itemDoubleClicked, this, [this] {
    if (choice_ == ValueChoice::Single) confirm();
  });
}

void ValueListDialog::fill(const QString& caption, const QStringList& values, ValueChoice choice) {
  choice_ = choice;
  chosen_.reset();
  panel1_->setText(caption);
  filter_->clear();
  listBoxValeur_->clear();
  listBoxValeur_->addItems(values);
  listBoxValeur_->setSelectionMode(choice == ValueChoice::Multiple
                                       ? QAbstractItemView::MultiSelection
                                       : QAbstractItemView::SingleSelection);
  listBoxSelection_->clear();
  listBoxSelection_->hide();
  listBoxValeur_->show();
  checkBox1_->setChecked(false);
}

void ValueListDialog::confirm() {
  QStringList picked;
  for (int i = 0; i < listBoxValeur_->count(); ++i)
    if (listBoxValeur_->item(i)->isSelected()) picked << listBoxValeur_->item(i)->text();
  const QString operand = operandForValues(picked, choice_);
  if (!operand.isEmpty()) chosen_ = operand;
  accept();
}

void ValueListDialog::toggleSelectionOnly() {
  if (!listBoxValeur_->isHidden()) {
    listBoxSelection_->clear();
    for (const QListWidgetItem* item : listBoxValeur_->selectedItems())
      listBoxSelection_->addItem(item->text());
    listBoxValeur_->hide();
    listBoxSelection_->show();
  } else {
    listBoxSelection_->hide();
    listBoxValeur_->show();
  }
}

void ValueListDialog::applyFilter(const QString& typed) {
  // Hidden lines keep their selection: the filter only narrows what is shown.
  for (int i = 0; i < listBoxValeur_->count(); ++i) {
    QListWidgetItem* item = listBoxValeur_->item(i);
    item->setHidden(!typed.isEmpty() && !item->text().contains(typed, Qt::CaseInsensitive));
  }
}

}  // namespace korvo::builder
