// The prompt dialog's own rules: OK only when every condition prompt is
// filled, the panel growing past five prompts, widgets of their own for two
// prompts on one object, and the values button filling the focused field.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "kernel/language.h"
#include "sqlgen/prompt_dialog.h"

namespace korvo::sqlgen {
namespace {

QList<PromptField> prompts(int conditions, int others) {
  QList<PromptField> out;
  for (int i = 0; i < conditions; ++i) out.append({"Fonction", "6", true, QString()});
  for (int i = 0; i < others; ++i)
    out.append({QString("Question %1").arg(i), QString::number(i + 1) + "00009", false, QString()});
  return out;
}

TEST(PromptDialog, OkWaitsForEveryConditionPromptButNotForTheOthers) {
  PromptDialog d(kernel::frenchTexts());
  EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Saisir ou sélectionner des valeurs"));
  d.build(prompts(2, 1));
  EXPECT_FALSE(d.okButton()->isEnabled());
  d.field(0)->setText("clerk");
  EXPECT_FALSE(d.okButton()->isEnabled());
  d.field(1)->setText("   ");
  EXPECT_FALSE(d.okButton()->isEnabled());  // blanks are not an answer
  d.field(1)->setText("analyst");
  EXPECT_TRUE(d.okButton()->isEnabled());   // the object prompt may stay empty
  EXPECT_EQ(d.answers(), QStringList({"clerk", "analyst", ""}));

  // Two prompts on one object: widgets of their own.
  EXPECT_NE(d.field(0)->objectName(), d.field(1)->objectName());
  EXPECT_EQ(d.field(0)->objectName(), "CH6");
  EXPECT_EQ(d.field(2)->objectName(), "CH100009");
}

TEST(PromptDialog, FieldsStand45PixelsApartAndThePanelGrowsPastFive) {
  PromptDialog d(kernel::englishTexts());
  d.build(prompts(0, 5));
  EXPECT_EQ(d.panel()->height(), 277);
  EXPECT_EQ(d.field(0)->geometry(), QRect(24, 32, 353, 21));
  EXPECT_EQ(d.field(4)->y(), 32 + 4 * 45);
  d.build(prompts(0, 6));
  EXPECT_EQ(d.panel()->height(), 315);
  EXPECT_EQ(d.panel()->findChildren<QLineEdit*>().size(), 6);  // built afresh, not added to
  EXPECT_TRUE(d.okButton()->isEnabled());
}

TEST(PromptDialog, TheValuesButtonFillsTheFocusedConditionPrompt) {
  PromptDialog d(kernel::frenchTexts());
  QList<int> asked;
  d.chooseValues = [&](int index) -> std::optional<QString> {
    asked << index;
    EXPECT_FALSE(d.isEnabled());  // the dialog waits for the list
    return QString("('CLERK','ANALYST')");
  };
  d.build(prompts(2, 1));
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  d.field(2)->setFocus();  // an object prompt: no list of values
  QApplication::processEvents();
  d.valuesButton()->click();
  EXPECT_TRUE(asked.isEmpty());
  d.field(1)->setFocus();
  QApplication::processEvents();
  d.valuesButton()->click();
  EXPECT_EQ(asked, QList<int>{1});
  EXPECT_EQ(d.field(1)->text(), "('CLERK','ANALYST')");
  EXPECT_TRUE(d.isEnabled());
  EXPECT_TRUE(d.field(0)->text().isEmpty());
}

}  // namespace
}  // namespace korvo::sqlgen
