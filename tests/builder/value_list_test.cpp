// Lists of values over the imported demonstration universe: the queries'
// texts, the values each place lists, the operand a choice makes, and the
// values dialog with its filter and "Show selection only".
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "builder/value_list.h"
#include "builder/value_list_dialog.h"
#include "support/demo_universe.h"

namespace korvo::builder {
namespace {

class DemoValues : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { demo_ = new korvo::testing::DemoUniverse; }
  static void TearDownTestSuite() { delete demo_; }
  void SetUp() override { ASSERT_TRUE(demo_->imported); }
  static ValueList values(const char* id, bool dialog) {
    return distinctValues(*demo_->connection, demo_->workspace->catalogue(), id, dialog);
  }
  static inline korvo::testing::DemoUniverse* demo_ = nullptr;
};

TEST(ValueListText, QueriesAndOperands) {
  EXPECT_EQ(valueTableQuery("6", false),
            "select  (SELECT TB_NAME FROM KORVO_TABLE T2 where T2.TB_IDTAB = T1.TB_ALIAS ) ||' '|| "
            "TB_NAME from KORVO_TABLE T1 where TB_IDTAB in (select OT_IDTAB  from KORVO_OBJ_TAB "
            "where OT_IDOBJ = 6and  rownum = 1)");
  EXPECT_TRUE(valueTableQuery("6", true).endsWith("OT_IDOBJ = 6 and  rownum = 1)"));
  EXPECT_EQ(distinctValuesQuery("EMP.JOB", " EMP"), "select distinct EMP.JOB from  EMP order By 1");

  EXPECT_EQ(operandForValues({"O'Neil"}, ValueChoice::Single), "'O''Neil'");
  EXPECT_EQ(operandForValues({"A", "B'C", "D"}, ValueChoice::Multiple), "('A','B''C','D')");
  EXPECT_EQ(operandForValues({"A"}, ValueChoice::Multiple), "('A')");
  EXPECT_EQ(operandForValues({}, ValueChoice::Multiple), "");
  EXPECT_EQ(operandForValues({"A"}, ValueChoice::None), "");

  const kernel::TextTables& fr = kernel::frenchTexts();
  EXPECT_EQ(valueChoiceFor(QString::fromUtf8("Dans liste"), fr), ValueChoice::Multiple);
  EXPECT_EQ(valueChoiceFor(QString::fromUtf8("Pas dans liste"), fr), ValueChoice::Multiple);
  EXPECT_EQ(valueChoiceFor(QString::fromUtf8("Renseigné"), fr), ValueChoice::None);
  EXPECT_EQ(valueChoiceFor(QString::fromUtf8("Egal à"), fr), ValueChoice::Single);
  EXPECT_EQ(valueChoiceFor("In list", kernel::englishTexts()), ValueChoice::Multiple);

  EXPECT_EQ(filterValues({"CLERK", "Salesman", "ANALYST"}, "sa"), QStringList({"Salesman"}));
  EXPECT_EQ(filterValues({"CLERK", "ANALYST"}, ""), QStringList({"CLERK", "ANALYST"}));
}

TEST_F(DemoValues, EachPlaceListsTheDistinctValuesOfTheObjectsTable) {
  const ValueList jobs = values("6", false);
  ASSERT_TRUE(jobs.found);
  EXPECT_EQ(jobs.values, QStringList({"ANALYST", "CLERK", "MANAGER", "PRESIDENT", "SALESMAN"}));
  EXPECT_EQ(values("6", true).values, jobs.values);
  // The manager's name is read through the alias KORVO_MGR of KORVO_EMP: the
  // FROM text "KORVO_EMP KORVO_MGR" makes the object's expression valid, and
  // the list is the alias table's whole column.
  const ValueList managers = values("11", false);
  ASSERT_TRUE(managers.found);
  EXPECT_EQ(managers.values.size(), 14);
  EXPECT_EQ(managers.values.value(0), "ADAMS");
  // Commissions: the window lists the null as an empty line, the dialog leaves it out.
  EXPECT_EQ(values("8", false).values.count(QString()), 1);
  EXPECT_EQ(values("8", true).values.count(QString()), 0);
  EXPECT_FALSE(values("9999", false).found);
  EXPECT_FALSE(values("6 or 1=1", false).found);  // never sent as SQL
}

TEST(ValueListDialog, ChoosingFilteringAndShowingTheSelection) {
  ValueListDialog d(kernel::englishTexts());
  EXPECT_EQ(d.windowTitle(), "List of values");
  d.fill("Job", {"ANALYST", "CLERK", "O'NEIL"}, ValueChoice::Multiple);
  d.okButton()->click();
  EXPECT_EQ(d.chosenOperand(), std::nullopt);  // nothing chosen: the field stays as it was

  d.fill("Job", {"ANALYST", "CLERK", "O'NEIL"}, ValueChoice::Multiple);
  d.valueList()->item(0)->setSelected(true);
  d.valueList()->item(2)->setSelected(true);
  d.filter()->setText("cl");
  EXPECT_TRUE(d.valueList()->item(0)->isHidden());
  EXPECT_FALSE(d.valueList()->item(1)->isHidden());
  d.selectionOnly()->click();
  ASSERT_EQ(d.selectionList()->count(), 2);
  EXPECT_EQ(d.selectionList()->item(1)->text(), "O'NEIL");
  EXPECT_TRUE(d.valueList()->isHidden());
  d.okButton()->click();
  EXPECT_EQ(d.chosenOperand(), QString("('ANALYST','O''NEIL')"));

  // A new fill forgets the earlier choice; single choice gives one quoted value.
  d.fill("Job", {"ANALYST", "CLERK"}, ValueChoice::Single);
  EXPECT_TRUE(d.valueList()->selectedItems().isEmpty());
  EXPECT_FALSE(d.valueList()->isHidden());
  d.valueList()->item(1)->setSelected(true);
  d.okButton()->click();
  EXPECT_EQ(d.chosenOperand(), QString("'CLERK'"));
}

}  // namespace
}  // namespace korvo::builder
