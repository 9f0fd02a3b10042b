#pragma once
// The two pick lists of the condition editor (operators and operand types) and
// the operator model: which label is which operator, in either language. The
// condition grid stores the label itself, so every rule here starts from a
// cell's text; lookups are hashed, never a walk of the grid.
#include <QHash>
#include <QString>
#include <QStringList>

#include "kernel/language.h"

namespace korvo::builder {

// Operators by their place in the list (1 to 14); 0 is "none of them".
enum Operator {
  kNoOperator = 0,
  kEqual = 1,
  kDifferent = 2,
  kGreater = 3,
  kGreaterOrEqual = 4,
  kLess = 5,
  kLessOrEqual = 6,
  kBetween = 7,
  kNotBetween = 8,
  kInList = 9,
  kNotInList = 10,
  kIsNull = 11,
  kIsNotNull = 12,
  kMatches = 13,
  kNotMatches = 14,
};
inline constexpr int kOperatorCount = 14;

// Operand types by their place in the list (1 to 6); 0 is "none of them".
enum OperandType {
  kNoOperandType = 0,
  kTypeConstant = 1,
  kListOfValues = 2,
  kInsertPrompt = 3,
  kRemovePrompt = 4,
  kSelectObject = 5,
  kSubquery = 6,
};
inline constexpr int kOperandTypeCount = 6;

// TreeViewOper and TreeViewOperande: the items in list order (no data).
QStringList operatorItems(const kernel::TextTables& texts);
QStringList operandTypeItems(const kernel::TextTables& texts);

// The operator whose label in `texts` is exactly `label`; kNoOperator otherwise.
Operator operatorOf(const kernel::TextTables& texts, const QString& label);
OperandType operandTypeOf(const kernel::TextTables& texts, const QString& label);

// Operators 1 to 8 may take the next row's object as their right-hand side.
inline bool takesNextRowObject(Operator op) { return op >= kEqual && op <= kNotBetween; }
// "Non renseigné" and "Renseigné": no operand at all.
inline bool isNullTest(Operator op) { return op == kIsNull || op == kIsNotNull; }

}  // namespace korvo::builder
