#include "builder/query_grids.h"

#include <algorithm>

namespace korvo::builder {

QStringList objectGridHeaders(const TextTables& texts) {
  const QStringList& h = texts.objectHeaders;
  return {h.value(0), h.value(1), h.value(2), QStringLiteral("Type")};
}

QStringList conditionGridHeaders(const TextTables& texts) {
  const QStringList& c = texts.connectiveLabels;
  return {
      c.value(2), QStringLiteral(")"), QStringLiteral("Op"), QStringLiteral("("),    c.value(3),
      c.value(4), QStringLiteral("?"), c.value(5),           QStringLiteral("Type"), c.value(7)};
}

const QList<int>& objectGridWidths() {
  static const QList<int> widths = {30, 50, 760, 800};
  return widths;
}

const QList<int>& conditionGridWidths() {
  static const QList<int> widths = {30, 15, 25, 15, 250, 125, 10, 370, 100, 700};
  return widths;
}

QueryGrids::QueryGrids(const kernel::AppState& state) : app_(state) {
  Init_StringGridObj();
  Init_StringGridCond();
}

const TextTables& QueryGrids::texts() const { return kernel::textTables(app_.language); }
QString QueryGrids::andWord() const { return texts().connectiveLabels.value(1); }
QString QueryGrids::orWord() const { return texts().connectiveLabels.value(0); }

void QueryGrids::Init_StringGridObj() {
  objects_ = Grid::withHeaders(objectGridHeaders(texts()), 1);
  clampCurrentCells();
}

void QueryGrids::Init_StringGridCond() {
  conditions_ = Grid::withHeaders(conditionGridHeaders(texts()), 1);
  clampCurrentCells();
}

void QueryGrids::clampCurrentCells() {
  state_.objRow = std::clamp(state_.objRow, 1, std::max(1, objects_.rowCount() - 1));
  state_.condRow = std::clamp(state_.condRow, 1, std::max(1, conditions_.rowCount() - 1));
  state_.condCol = std::clamp(state_.condCol, 0, kCondColumns - 1);
}

bool QueryGrids::ProcAjouterColonne(const PickedNode& node) {
  if (!node.isObject()) return false;
  if (state_.objectCount != 0) objects_.appendRow();
  const int last = objects_.rowCount() - 1;
  objects_.setRow(last, {QString::number(node.record.IdObj), QString::number(node.record.Mesure),
                         node.text, node.record.TypeObj});
  state_.objRow = last;
  ++state_.objectCount;
  state_.executeEnabled = true;
  return true;
}

bool QueryGrids::ProcAjouterCondition(const PickedNode& node) {
  if (!node.isObject()) return false;
  if (state_.conditionCount != 0) conditions_.appendRow();
  const int last = conditions_.rowCount() - 1;
  // The row above decides the connector; above the first condition it is the
  // header row, whose operand header is never empty.
  const int above = last - 1;
  QString connector = andWord();
  if (conditions_.cell(above, kCondOperand).isEmpty() &&
      conditions_.cell(above, kCondPrompt) != QLatin1String("?") &&
      takesNextRowObject(operatorOf(texts(), conditions_.cell(above, kCondOperator))))
    connector.clear();  // a continuation row: its object is the operand above
  QStringList cells(kCondColumns);
  cells[kCondId] = QString::number(node.record.IdObj);
  cells[kCondConnector] = connector;
  cells[kCondObject] = node.text;
  cells[kCondType] = node.record.TypeObj;
  cells[kCondMeasure] = QString::number(node.record.Mesure);
  conditions_.setRow(last, cells);
  StringGridCondSelectCell(last, kCondOperator);
  ++state_.conditionCount;
  return true;
}

void QueryGrids::treeDoubleClick(const PickedNode& node) {
  if (state_.doubleClickMode == QLatin1String("COND")) {
    state_.doubleClickMode = QStringLiteral("OBJ");
    ProcAjouterCondition(node);
  } else {
    ProcAjouterColonne(node);
  }
}

bool QueryGrids::ProcAjouterOperateur(const QString& itemText) {
  const Operator op = operatorOf(texts(), itemText);
  const int row = state_.condRow;
  if (op == kNoOperator || !isDataRow(conditions_, row)) return false;
  conditions_.setCell(row, kCondOperator, itemText);
  if (isNullTest(op)) {
    conditions_.setCell(row, kCondOperand, QString());
    StringGridCondSelectCell(row, kCondClose);
  } else {
    StringGridCondSelectCell(row, kCondOperand);
  }
  return true;
}

OperandEffect QueryGrids::ProcSelectOperande(const QString& itemText) {
  OperandEffect effect;
  const OperandType type = operandTypeOf(texts(), itemText);
  const int row = state_.condRow;
  if (type == kNoOperandType || !isDataRow(conditions_, row)) return effect;
  effect.type = type;
  switch (type) {
    case kTypeConstant:
    case kSubquery:
      showClassPanel();
      state_.editing = true;
      effect.focusGrid = true;
      break;
    case kListOfValues:
      effect.openValues = true;
      break;
    case kInsertPrompt:
    case kRemovePrompt:
      showClassPanel();
      conditions_.setCell(row, kCondPrompt,
                          type == kInsertPrompt ? QStringLiteral("?") : QString());
      StringGridCondSelectCell(row, kCondId);
      break;
    case kSelectObject:
      showClassPanel();
      state_.doubleClickMode = QStringLiteral("COND");
      break;
    case kNoOperandType:
      break;
  }
  return effect;
}

void QueryGrids::StringGridCondSelectCell(int row, int column) {
  state_.condRow = row;
  state_.condCol = column;
  const bool data = isDataRow(conditions_, row);
  const QString blanks = QStringLiteral("   ");
  if (data && column == kCondOperator) {
    state_.leftPanel = LeftPanel::Operators;
    state_.leftTitle = texts().operatorPanelTitle + blanks;
  } else if (data && column == kCondOperand) {
    state_.leftPanel = LeftPanel::OperandTypes;
    state_.leftTitle = texts().operatorPanelTitle + blanks;
  } else {
    state_.leftPanel = LeftPanel::Classes;
    state_.leftTitle = texts().leftPanelTitles.value(1) + blanks;
  }
  state_.editing = false;
}

void QueryGrids::selectObjectRow(int row) {
  if (isDataRow(objects_, row)) state_.objRow = row;
}

bool QueryGrids::StringGridCondDblClick(int row, int column) {
  if (column != kCondConnector || row <= 1 || !isDataRow(conditions_, row)) return false;
  const QString current = conditions_.cell(row, kCondConnector);
  if (current.isEmpty()) return false;
  if (current == andWord())
    conditions_.setCell(row, kCondConnector, orWord());
  else if (current == orWord())
    conditions_.setCell(row, kCondConnector, andWord());
  else
    return false;
  return true;
}

void QueryGrids::setConditionCell(int row, int column, const QString& text) {
  if (isDataRow(conditions_, row) && column >= 0 && column < kCondColumns)
    conditions_.setCell(row, column, text);
}

void QueryGrids::SBAjouterParClick() {
  const int row = state_.condRow;
  const int column = state_.condCol;
  if (!isDataRow(conditions_, row)) return;
  if (conditions_.cell(row, kCondMeasure) == QLatin1String("1")) return;  // no groups on measures
  if (column == kCondClose && row == 1) return;                           // nothing to close
  if (column == kCondOpen && conditions_.cell(row, kCondConnector).isEmpty()) return;
  if (column == kCondClose)
    conditions_.setCell(row, column, conditions_.cell(row, column) + QLatin1Char(')'));
  else if (column == kCondOpen)
    conditions_.setCell(row, column, conditions_.cell(row, column) + QLatin1Char('('));
}

void QueryGrids::SBSuppParClick() {
  const int row = state_.condRow;
  const int column = state_.condCol;
  if (!isDataRow(conditions_, row) || (column != kCondClose && column != kCondOpen)) return;
  QString text = conditions_.cell(row, column);
  text.chop(1);
  conditions_.setCell(row, column, text);
}

void QueryGrids::SBAjouterLineClick() {
  if (state_.conditionCount == 0) return;
  conditions_.appendRow();
  const int last = conditions_.rowCount() - 1;
  conditions_.setCell(last, kCondMeasure, QStringLiteral("0"));
  StringGridCondSelectCell(last, state_.condCol);
  ++state_.conditionCount;
}

void QueryGrids::SBVersleHautClick() {
  const int row = state_.objRow;
  if (row <= 1 || !isDataRow(objects_, row)) return;
  objects_.swapRows(row, row - 1);
  state_.objRow = row - 1;
}

void QueryGrids::SBVersleBasClick() {
  const int row = state_.objRow;
  if (row < 1 || row >= objects_.rowCount() - 1) return;
  objects_.swapRows(row, row + 1);
  state_.objRow = row + 1;
}

void QueryGrids::SBCVersLeHautClick() {
  const int row = state_.condRow;
  if (row <= 1 || !isDataRow(conditions_, row)) return;
  conditions_.swapRows(row, row - 1);
  StringGridCondSelectCell(row - 1, state_.condCol);
}

void QueryGrids::SBCVersLeBasClick() {
  const int row = state_.condRow;
  if (row < 1 || row >= conditions_.rowCount() - 1) return;
  conditions_.swapRows(row, row + 1);
  StringGridCondSelectCell(row + 1, state_.condCol);
}

void QueryGrids::removeLine(Grid& grid, int row, bool objects) {
  if (!isDataRow(grid, row)) return;
  if (grid.rowCount() <= 2) {
    // Only the header would remain: the grid starts again with one empty row.
    if (objects)
      Init_StringGridObj();
    else
      Init_StringGridCond();
    return;
  }
  grid.removeRow(row);
  clampCurrentCells();
}

void QueryGrids::RemoveLineCol(int row) { removeLine(objects_, row, true); }
void QueryGrids::RemoveLineCond(int row) { removeLine(conditions_, row, false); }

bool QueryGrids::lastDataRowIsFree(const Grid& grid) const {
  return grid.rowCount() <= 2 && grid.cell(1, 0).isEmpty();
}

void QueryGrids::EffacerClick() {
  RemoveLineCol(state_.objRow);
  if (lastDataRowIsFree(objects_)) state_.objectCount = 0;
}

void QueryGrids::SBSupprimerCondClick() {
  RemoveLineCond(state_.condRow);
  if (lastDataRowIsFree(conditions_)) state_.conditionCount = 0;
}

void QueryGrids::SBtruncObjClick() {
  state_.executeEnabled = false;
  Init_StringGridObj();
  state_.objectCount = 0;
}

void QueryGrids::SBTruncCondClick() {
  Init_StringGridCond();
  state_.conditionCount = 0;
}

void QueryGrids::SBNewClick() {
  SBtruncObjClick();
  SBTruncCondClick();
}

void QueryGrids::showClassPanel() { state_.leftPanel = LeftPanel::Classes; }

void QueryGrids::SBClassesClick() {
  showClassPanel();
  StringGridCondSelectCell(state_.condRow, kCondId);
}

void QueryGrids::SBCloseOperClick() { showClassPanel(); }
void QueryGrids::SBCloseListClick() { showClassPanel(); }

void QueryGrids::showValuePanel() {
  state_.leftPanel = LeftPanel::Values;
  state_.leftTitle = texts().leftPanelTitles.value(0) + QStringLiteral("   ");
}

void QueryGrids::ProcSelValeur(const QString& operand) {
  if (!operand.isEmpty() && isDataRow(conditions_, state_.condRow))
    conditions_.setCell(state_.condRow, kCondOperand, operand);
  showClassPanel();
}

void QueryGrids::replaceObjects(const QList<QStringList>& rows) {
  state_.objectCount = 0;
  Init_StringGridObj();
  for (int i = 0; i < rows.size(); ++i) {
    objects_.setRow(objects_.rowCount() - 1, rows[i]);
    ++state_.objectCount;
    if (i + 1 < rows.size()) objects_.appendRow();
  }
  if (state_.objectCount > 0) state_.executeEnabled = true;
  clampCurrentCells();
}

void QueryGrids::replaceConditions(const QList<QStringList>& rows) {
  state_.conditionCount = 0;
  Init_StringGridCond();
  for (int i = 0; i < rows.size(); ++i) {
    conditions_.setRow(conditions_.rowCount() - 1, rows[i]);
    ++state_.conditionCount;
    if (i + 1 < rows.size()) conditions_.appendRow();
  }
  clampCurrentCells();
}

}  // namespace korvo::builder
