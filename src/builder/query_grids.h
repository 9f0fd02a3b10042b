#pragma once
// The query as data: the result-object grid (StringGridObj) and the condition
// grid (StringGridCond) as kernel::Grids, the small state that goes with them
// (counts, double-click mode, editing switch, current cells, which left panel
// is shown) and every operation the query mode performs on them. The widgets
// show this state and call these operations; nothing here knows of them.
#include <QList>
#include <QString>
#include <QStringList>

#include "builder/object_record.h"
#include "builder/pick_lists.h"
#include "kernel/app_state.h"
#include "kernel/grid.h"
#include "kernel/language.h"

namespace korvo::builder {

using kernel::Grid;
using kernel::TextTables;

// Columns of StringGridObj.
enum ObjectColumn { kObjId = 0, kObjMeasure = 1, kObjName = 2, kObjType = 3, kObjColumns = 4 };

// Columns of StringGridCond.
enum ConditionColumn {
  kCondId = 0,
  kCondClose = 1,      // ")" run
  kCondConnector = 2,  // AND / OR word, empty on a continuation row
  kCondOpen = 3,       // "(" run
  kCondObject = 4,
  kCondOperator = 5,
  kCondPrompt = 6,  // "?"
  kCondOperand = 7,
  kCondType = 8,
  kCondMeasure = 9,
  kCondColumns = 10
};

QStringList objectGridHeaders(const TextTables& texts);
QStringList conditionGridHeaders(const TextTables& texts);
const QList<int>& objectGridWidths();     // pixels, per column
const QList<int>& conditionGridWidths();  // pixels, per column

// The one panel of the left column that is shown.
enum class LeftPanel { Classes, Operators, OperandTypes, Values };

struct BuilderState {
  int objectCount = 0;     // objects added since the last reset; 0: row 1 is free
  int conditionCount = 0;  // the same for conditions (closing lines count)
  QString doubleClickMode = QStringLiteral("OBJ");  // "OBJ" or "COND"
  bool editing = false;  // the condition grid's current cell can be typed into
  int condRow = 1;       // current cell of StringGridCond
  int condCol = 0;
  int objRow = 1;               // current row of StringGridObj
  bool executeEnabled = false;  // SBExecute
  LeftPanel leftPanel = LeftPanel::Classes;
  QString leftTitle;  // Label1 as the last cell selection set it; empty: as designed
};

// What the window does after an operand type was chosen.
struct OperandEffect {
  OperandType type = kNoOperandType;  // kNoOperandType: not an operand-type label, nothing done
  bool focusGrid = false;             // editing is on: the condition grid takes the focus
  bool openValues = false;            // the list of values of the row's object is asked for
};

class QueryGrids {
 public:
  // The language is read from `state` whenever a text is needed.
  explicit QueryGrids(const kernel::AppState& state);

  const TextTables& texts() const;
  QString andWord() const;
  QString orWord() const;

  Grid& objects() { return objects_; }
  const Grid& objects() const { return objects_; }
  Grid& conditions() { return conditions_; }
  const Grid& conditions() const { return conditions_; }
  BuilderState& state() { return state_; }
  const BuilderState& state() const { return state_; }

  // Two rows, the headers of the current language, row 1 empty.
  void Init_StringGridObj();
  void Init_StringGridCond();

  // Each returns false when it changed nothing.
  bool ProcAjouterColonne(const PickedNode& node);
  bool ProcAjouterCondition(const PickedNode& node);
  // TreeViewClasseDblClick: a result column, or a condition in "COND" mode
  // (which the double-click ends).
  void treeDoubleClick(const PickedNode& node);
  // A drop on either grid: only object nodes are taken; appended at the end.
  bool dropOnObjects(const PickedNode& node) { return ProcAjouterColonne(node); }
  bool dropOnConditions(const PickedNode& node) { return ProcAjouterCondition(node); }

  // A double-click in TreeViewOper / TreeViewOperande with that item's text.
  bool ProcAjouterOperateur(const QString& itemText);
  OperandEffect ProcSelectOperande(const QString& itemText);

  // StringGridCondSelectCell: every move of the current cell, by the user or
  // by the program.
  void StringGridCondSelectCell(int row, int column);
  void selectObjectRow(int row);
  // StringGridCondDblClick on a cell: the connector toggle.
  bool StringGridCondDblClick(int row, int column);
  // Text typed into a cell of the condition grid while editing is on.
  void setConditionCell(int row, int column, const QString& text);

  void SBAjouterParClick();
  void SBSuppParClick();
  void SBAjouterLineClick();
  void SBVersleHautClick();
  void SBVersleBasClick();
  void SBCVersLeHautClick();
  void SBCVersLeBasClick();
  void RemoveLineCol(int row);
  void RemoveLineCond(int row);
  void EffacerClick();  // SBSupprimer and the Delete key on StringGridObj
  void SBSupprimerCondClick();
  void SBtruncObjClick();
  void SBTruncCondClick();
  void SBNewClick();
  void SBClassesClick();    // tree panel back, current column 0
  void SBCloseOperClick();  // SBCloseOper, SBCloseOperande
  void SBCloseListClick();
  // ProcListeValeur found values: the value panel in the left column.
  void showValuePanel();
  // ProcSelValeur: `operand` (empty when nothing was chosen: nothing is
  // written) into column 7 of the current row; the tree comes back.
  void ProcSelValeur(const QString& operand);

  // Opening a query: the grids replaced with their counts (the query files
  // have read and checked both files before).
  void replaceObjects(const QList<QStringList>& rows);
  void replaceConditions(const QList<QStringList>& rows);

 private:
  bool isDataRow(const Grid& grid, int row) const { return row >= 1 && row < grid.rowCount(); }
  void showClassPanel();
  void clampCurrentCells();
  void removeLine(Grid& grid, int row, bool objects);
  bool lastDataRowIsFree(const Grid& grid) const;

  const kernel::AppState& app_;
  Grid objects_;
  Grid conditions_;
  BuilderState state_;
};

}  // namespace korvo::builder
