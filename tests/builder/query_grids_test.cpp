// The query grids as data: layouts, adding objects and conditions, the
// connector rule, operators and operand types, cell selection, parentheses,
// moves, deletions and resets, in French and in English.
#include "builder/query_grids.h"

#include <gtest/gtest.h>

using namespace korvo;
using namespace korvo::builder;

namespace {

PickedNode object(int id, const QString& name, int measure = 0, const QString& type = "Char") {
  PickedNode node;
  node.present = true;
  node.image = measure ? kMeasureImage : kDimensionImage;
  node.text = name;
  node.record.IdObj = id;
  node.record.Mesure = measure;
  node.record.TypeObj = type;
  return node;
}

PickedNode classNode(const QString& name) {
  PickedNode node;
  node.present = true;
  node.image = kClassImage;
  node.text = name;
  return node;
}

struct Grids : ::testing::Test {
  kernel::AppState app;
  QueryGrids grids{app};
  Grid& cond() { return grids.conditions(); }
  Grid& obj() { return grids.objects(); }
  BuilderState& st() { return grids.state(); }
  QString op(int i) const { return grids.texts().operatorLabels[i]; }
  QString operand(int i) const { return grids.texts().operandTypeLabels[i]; }
};

}  // namespace

TEST_F(Grids, LayoutsInBothLanguages) {
  EXPECT_EQ(obj().rowCount(), 2);
  EXPECT_EQ(obj().headers(), QStringList({"Id", "Mesure", "Objet", "Type"}));
  EXPECT_EQ(cond().headers(), QStringList({"Id", ")", "Op", "(", "Objet", "Opérateur", "?",
                                           "Opérande", "Type", "Mesure"}));
  EXPECT_EQ(objectGridWidths(), QList<int>({30, 50, 760, 800}));
  EXPECT_EQ(conditionGridWidths(), QList<int>({30, 15, 25, 15, 250, 125, 10, 370, 100, 700}));
  app.language = "AN";
  grids.SBNewClick();
  EXPECT_EQ(obj().headers(), QStringList({"Id", "Measure", "Object", "Type"}));
  EXPECT_EQ(cond().headers(), QStringList({"Id", ")", "Op", "(", "Object", "Operator", "?",
                                           "Operand", "Type", "Measure"}));
  EXPECT_EQ(cond().rowCount(), 2);
  EXPECT_EQ(cond().row(1).join(""), "");
}

TEST_F(Grids, ResultObjectsAreAppendedAndClassesRefused) {
  EXPECT_FALSE(grids.ProcAjouterColonne(classNode("Clients")));
  EXPECT_FALSE(grids.ProcAjouterColonne(PickedNode{}));
  EXPECT_FALSE(st().executeEnabled);
  EXPECT_TRUE(grids.ProcAjouterColonne(object(12, "Ville")));
  EXPECT_TRUE(grids.ProcAjouterColonne(object(20, "Chiffre", 1, "Num")));
  EXPECT_TRUE(grids.ProcAjouterColonne(object(12, "Ville")));
  ASSERT_EQ(obj().rowCount(), 4);
  EXPECT_EQ(obj().row(1), QStringList({"12", "0", "Ville", "Char"}));
  EXPECT_EQ(obj().row(2), QStringList({"20", "1", "Chiffre", "Num"}));
  EXPECT_EQ(st().objRow, 3);
  EXPECT_EQ(st().objectCount, 3);
  EXPECT_TRUE(st().executeEnabled);
}

TEST_F(Grids, FirstConditionGetsTheAndWordInEitherLanguage) {
  ASSERT_TRUE(grids.ProcAjouterCondition(object(7, "Pays")));
  EXPECT_EQ(cond().rowCount(), 2);
  EXPECT_EQ(cond().row(1), QStringList({"7", "", "ET", "", "Pays", "", "", "", "Char", "0"}));
  EXPECT_EQ(st().condRow, 1);
  EXPECT_EQ(st().condCol, kCondOperator);
  EXPECT_EQ(st().leftPanel, LeftPanel::Operators);
  EXPECT_EQ(st().leftTitle, "Opérateurs   ");

  app.language = "AN";
  grids.SBNewClick();
  grids.ProcAjouterCondition(object(7, "Country"));
  EXPECT_EQ(cond().cell(1, kCondConnector), "AND");
  EXPECT_EQ(st().leftTitle, "Operators   ");
}

TEST_F(Grids, ConnectorOfTheNextConditionFollowsTheRowAbove) {
  grids.ProcAjouterCondition(object(1, "A"));
  grids.ProcAjouterOperateur(op(3));  // Supérieur à, no operand, no prompt
  grids.ProcAjouterCondition(object(2, "B"));
  EXPECT_EQ(cond().cell(2, kCondConnector), "");  // a continuation row

  grids.ProcAjouterOperateur(op(9));  // Dans liste, empty operand
  grids.ProcAjouterCondition(object(3, "C"));
  EXPECT_EQ(cond().cell(3, kCondConnector), "ET");

  grids.ProcAjouterOperateur(op(7));  // Entre, but prompted
  grids.setConditionCell(3, kCondPrompt, "?");
  grids.ProcAjouterCondition(object(4, "D"));
  EXPECT_EQ(cond().cell(4, kCondConnector), "ET");

  grids.ProcAjouterOperateur(op(1));  // Egal à with a value
  grids.setConditionCell(4, kCondOperand, "'X'");
  grids.ProcAjouterCondition(object(5, "E"));
  EXPECT_EQ(cond().cell(5, kCondConnector), "ET");

  grids.ProcAjouterOperateur(op(13));  // a pattern operator never continues
  grids.ProcAjouterCondition(object(6, "F"));
  EXPECT_EQ(cond().cell(6, kCondConnector), "ET");
  EXPECT_EQ(st().conditionCount, 6);
  EXPECT_FALSE(grids.ProcAjouterCondition(classNode("K")));
  EXPECT_EQ(cond().rowCount(), 7);
}

TEST_F(Grids, ChoosingAnOperator) {
  grids.ProcAjouterCondition(object(1, "A"));
  grids.setConditionCell(1, kCondOperand, "'Paris'");
  ASSERT_TRUE(grids.ProcAjouterOperateur(op(12)));  // Renseigné
  EXPECT_EQ(cond().cell(1, kCondOperator), "Renseigné");
  EXPECT_EQ(cond().cell(1, kCondOperand), "");
  EXPECT_EQ(st().condCol, kCondClose);
  EXPECT_EQ(st().leftPanel, LeftPanel::Classes);
  EXPECT_EQ(st().leftTitle, "Classes et objets   ");

  grids.setConditionCell(1, kCondOperand, "'Paris'");
  ASSERT_TRUE(grids.ProcAjouterOperateur(op(2)));
  EXPECT_EQ(cond().cell(1, kCondOperand), "'Paris'");
  EXPECT_EQ(st().condCol, kCondOperand);
  EXPECT_EQ(st().leftPanel, LeftPanel::OperandTypes);

  // A text that is no operator label of the current language changes nothing.
  EXPECT_FALSE(grids.ProcAjouterOperateur("Is null"));
  EXPECT_EQ(cond().cell(1, kCondOperator), "Différent de");
}

TEST_F(Grids, OperandTypes) {
  grids.ProcAjouterCondition(object(1, "A"));
  grids.ProcAjouterOperateur(op(1));
  ASSERT_EQ(st().leftPanel, LeftPanel::OperandTypes);

  OperandEffect e = grids.ProcSelectOperande(operand(1));
  EXPECT_EQ(e.type, kTypeConstant);
  EXPECT_TRUE(e.focusGrid);
  EXPECT_TRUE(st().editing);
  EXPECT_EQ(st().leftPanel, LeftPanel::Classes);
  EXPECT_EQ(st().condCol, kCondOperand);
  grids.StringGridCondSelectCell(1, kCondOperand);  // any selection ends editing
  EXPECT_FALSE(st().editing);

  e = grids.ProcSelectOperande(operand(3));
  EXPECT_EQ(cond().cell(1, kCondPrompt), "?");
  EXPECT_EQ(st().condCol, kCondId);
  EXPECT_FALSE(st().editing);
  grids.StringGridCondSelectCell(1, kCondOperand);
  grids.ProcSelectOperande(operand(4));
  EXPECT_EQ(cond().cell(1, kCondPrompt), "");
  EXPECT_EQ(st().condCol, kCondId);

  grids.StringGridCondSelectCell(1, kCondOperand);
  e = grids.ProcSelectOperande(operand(6));
  EXPECT_TRUE(e.focusGrid);
  EXPECT_TRUE(st().editing);

  // The list of values is not offered here yet: nothing changes.
  grids.StringGridCondSelectCell(1, kCondOperand);
  const Grid before = cond();
  e = grids.ProcSelectOperande(operand(2));
  EXPECT_TRUE(e.openValues);
  EXPECT_EQ(cond(), before);
  EXPECT_EQ(st().leftPanel, LeftPanel::OperandTypes);

  EXPECT_EQ(grids.ProcSelectOperande("Type a new constant").type, kNoOperandType);
}

TEST_F(Grids, SelectAnObjectMakesTheNextDoubleClickAContinuationRow) {
  grids.ProcAjouterCondition(object(1, "Salaire"));
  grids.ProcAjouterOperateur(op(3));
  grids.ProcSelectOperande(operand(5));
  EXPECT_EQ(st().doubleClickMode, "COND");
  EXPECT_EQ(st().leftPanel, LeftPanel::Classes);
  grids.treeDoubleClick(object(2, "Commission"));
  EXPECT_EQ(st().doubleClickMode, "OBJ");
  ASSERT_EQ(cond().rowCount(), 3);
  EXPECT_EQ(cond().cell(2, kCondObject), "Commission");
  EXPECT_EQ(cond().cell(2, kCondConnector), "");
  EXPECT_EQ(obj().cell(1, kObjId), "");
  grids.treeDoubleClick(object(3, "Ville"));
  EXPECT_EQ(obj().cell(1, kObjName), "Ville");
}

TEST_F(Grids, CellSelectionChoosesTheLeftPanel) {
  grids.ProcAjouterCondition(object(1, "A"));
  grids.StringGridCondSelectCell(1, kCondOperand);
  EXPECT_EQ(st().leftPanel, LeftPanel::OperandTypes);
  grids.StringGridCondSelectCell(0, kCondOperator);  // the header row is no data row
  EXPECT_EQ(st().leftPanel, LeftPanel::Classes);
  grids.StringGridCondSelectCell(1, kCondObject);
  EXPECT_EQ(st().leftPanel, LeftPanel::Classes);
  EXPECT_EQ(st().leftTitle, "Classes et objets   ");
  grids.StringGridCondSelectCell(1, kCondOperator);
  grids.SBClassesClick();
  EXPECT_EQ(st().leftPanel, LeftPanel::Classes);
  EXPECT_EQ(st().condCol, kCondId);
  grids.StringGridCondSelectCell(1, kCondOperator);
  grids.SBCloseOperClick();
  EXPECT_EQ(st().leftPanel, LeftPanel::Classes);
  EXPECT_EQ(st().condCol, kCondOperator);
}

TEST_F(Grids, ConnectorToggle) {
  for (int i = 1; i <= 3; ++i) grids.ProcAjouterCondition(object(i, "X"));
  grids.setConditionCell(3, kCondConnector, "OU");
  EXPECT_FALSE(grids.StringGridCondDblClick(1, kCondConnector));
  EXPECT_EQ(cond().cell(1, kCondConnector), "ET");
  EXPECT_TRUE(grids.StringGridCondDblClick(3, kCondConnector));
  EXPECT_EQ(cond().cell(3, kCondConnector), "ET");
  EXPECT_TRUE(grids.StringGridCondDblClick(2, kCondConnector));
  EXPECT_EQ(cond().cell(2, kCondConnector), "OU");
  EXPECT_FALSE(grids.StringGridCondDblClick(2, kCondObject));
  grids.setConditionCell(2, kCondConnector, "");
  EXPECT_FALSE(grids.StringGridCondDblClick(2, kCondConnector));
  EXPECT_EQ(cond().cell(2, kCondConnector), "");
}

TEST_F(Grids, Parentheses) {
  grids.ProcAjouterCondition(object(1, "A"));
  grids.ProcAjouterOperateur(op(3));
  grids.ProcAjouterCondition(object(2, "B"));  // continuation row
  grids.ProcAjouterCondition(object(3, "M", 1));
  grids.ProcAjouterCondition(object(4, "D"));
  const Grid start = cond();

  grids.StringGridCondSelectCell(1, kCondClose);
  grids.SBAjouterParClick();  // row 1 closes nothing
  grids.StringGridCondSelectCell(2, kCondOpen);
  grids.SBAjouterParClick();  // a continuation row opens nothing
  for (int c : {kCondClose, kCondOpen}) {
    grids.StringGridCondSelectCell(3, c);
    grids.SBAjouterParClick();  // no groups on measures
  }
  grids.StringGridCondSelectCell(4, kCondObject);
  grids.SBAjouterParClick();  // not a parenthesis column
  EXPECT_EQ(cond(), start);

  grids.StringGridCondSelectCell(1, kCondOpen);
  grids.SBAjouterParClick();
  grids.SBAjouterParClick();
  EXPECT_EQ(cond().cell(1, kCondOpen), "((");
  grids.StringGridCondSelectCell(4, kCondClose);
  grids.SBAjouterParClick();
  grids.SBAjouterParClick();
  EXPECT_EQ(cond().cell(4, kCondClose), "))");
  grids.SBSuppParClick();
  EXPECT_EQ(cond().cell(4, kCondClose), ")");
  grids.SBSuppParClick();
  grids.SBSuppParClick();
  EXPECT_EQ(cond().cell(4, kCondClose), "");
}

TEST_F(Grids, ClosingParenthesisLine) {
  grids.SBAjouterLineClick();
  EXPECT_EQ(cond().rowCount(), 2);
  EXPECT_EQ(st().conditionCount, 0);
  grids.ProcAjouterCondition(object(1, "A"));
  grids.ProcAjouterOperateur(op(1));
  grids.setConditionCell(1, kCondOperand, "1");
  grids.StringGridCondSelectCell(1, kCondClose);
  grids.SBAjouterLineClick();
  ASSERT_EQ(cond().rowCount(), 3);
  EXPECT_EQ(cond().row(2), QStringList({"", "", "", "", "", "", "", "", "", "0"}));
  EXPECT_EQ(st().condRow, 2);
  EXPECT_EQ(st().conditionCount, 2);
  grids.SBAjouterParClick();
  EXPECT_EQ(cond().cell(2, kCondClose), ")");
  // A condition after a closing line is an ordinary row.
  grids.ProcAjouterCondition(object(2, "B"));
  EXPECT_EQ(cond().cell(3, kCondConnector), "ET");
}

TEST_F(Grids, MovesKeepTheMovedRowCurrent) {
  for (int i = 1; i <= 3; ++i) grids.ProcAjouterColonne(object(i, QString("O%1").arg(i)));
  grids.SBVersleBasClick();  // the last row goes nowhere
  EXPECT_EQ(obj().cell(3, kObjId), "3");
  grids.SBVersleHautClick();
  grids.SBVersleHautClick();
  EXPECT_EQ(st().objRow, 1);
  grids.SBVersleHautClick();  // row 1 goes nowhere
  EXPECT_EQ(QStringList({obj().cell(1, 0), obj().cell(2, 0), obj().cell(3, 0)}),
            QStringList({"3", "1", "2"}));

  for (int i = 1; i <= 3; ++i) grids.ProcAjouterCondition(object(i, QString("C%1").arg(i)));
  grids.StringGridCondSelectCell(1, kCondObject);
  grids.SBCVersLeHautClick();
  EXPECT_EQ(cond().cell(1, kCondId), "1");
  grids.SBCVersLeBasClick();
  grids.SBCVersLeBasClick();
  EXPECT_EQ(st().condRow, 3);
  EXPECT_EQ(cond().row(3), QStringList({"1", "", "ET", "", "C1", "", "", "", "Char", "0"}));
  grids.SBCVersLeBasClick();
  EXPECT_EQ(cond().cell(3, kCondId), "1");
}

TEST_F(Grids, DeletingObjects) {
  grids.ProcAjouterColonne(object(1, "A"));
  grids.EffacerClick();
  EXPECT_EQ(obj().rowCount(), 2);
  EXPECT_EQ(obj().row(1).join(""), "");
  EXPECT_EQ(st().objectCount, 0);
  grids.ProcAjouterColonne(object(2, "B"));
  EXPECT_EQ(obj().rowCount(), 2);
  EXPECT_EQ(obj().cell(1, kObjName), "B");

  grids.ProcAjouterColonne(object(3, "C"));
  grids.selectObjectRow(1);
  grids.EffacerClick();
  ASSERT_EQ(obj().rowCount(), 2);
  EXPECT_EQ(obj().cell(1, kObjName), "C");
  EXPECT_NE(st().objectCount, 0);
  grids.ProcAjouterColonne(object(4, "D"));
  ASSERT_EQ(obj().rowCount(), 3);
  EXPECT_EQ(obj().cell(2, kObjName), "D");
}

TEST_F(Grids, DeletingConditions) {
  grids.ProcAjouterCondition(object(1, "A"));
  grids.ProcAjouterCondition(object(2, "B"));
  grids.StringGridCondSelectCell(2, kCondObject);
  grids.SBSupprimerCondClick();
  EXPECT_EQ(cond().rowCount(), 2);
  EXPECT_EQ(st().condRow, 1);
  EXPECT_NE(st().conditionCount, 0);  // row 1 still holds a condition
  grids.SBSupprimerCondClick();
  EXPECT_EQ(cond().row(1).join(""), "");
  EXPECT_EQ(st().conditionCount, 0);
  grids.ProcAjouterCondition(object(3, "C"));
  EXPECT_EQ(cond().rowCount(), 2);
  EXPECT_EQ(cond().cell(1, kCondConnector), "ET");
}

TEST_F(Grids, ResetsLeaveNoCellBehind) {
  grids.ProcAjouterColonne(object(1, "A"));
  grids.ProcAjouterCondition(object(1, "A"));
  grids.ProcAjouterCondition(object(2, "B"));
  grids.SBtruncObjClick();
  EXPECT_FALSE(st().executeEnabled);
  EXPECT_EQ(obj().rowCount(), 2);
  EXPECT_EQ(obj().row(1).join(""), "");
  EXPECT_EQ(cond().rowCount(), 3);
  grids.SBTruncCondClick();
  EXPECT_EQ(cond().rowCount(), 2);
  EXPECT_EQ(cond().row(1).join(""), "");
  EXPECT_EQ(st().conditionCount, 0);
  grids.ProcAjouterColonne(object(1, "A"));
  grids.ProcAjouterCondition(object(1, "A"));
  grids.SBNewClick();
  EXPECT_EQ(obj().rowCount(), 2);
  EXPECT_EQ(cond().rowCount(), 2);
  EXPECT_EQ(st().objectCount + st().conditionCount, 0);
  EXPECT_FALSE(st().executeEnabled);
}
