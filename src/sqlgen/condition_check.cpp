#include "sqlgen/condition_check.h"

#include <initializer_list>

#include "builder/query_grids.h"

namespace korvo::sqlgen {
namespace {

using namespace builder;  // the condition grid's column numbers

// Indexes into TextTables::operatorLabels (0 is the invitation line).
constexpr int kEqual = 1, kDifferent = 2, kGreater = 3, kGreaterOrEqual = 4, kLess = 5,
              kLessOrEqual = 6;
constexpr int kBetween = 7, kNotBetween = 8;
constexpr int kInList = 9, kNotInList = 10, kIsNull = 11, kIsNotNull = 12;
constexpr int kMatches = 13, kNotMatches = 14;

bool isOperator(const QString& label, const kernel::TextTables& texts,
                std::initializer_list<int> indexes) {
  if (label.isEmpty()) return false;
  for (int index : indexes) {
    if (texts.operatorLabels.value(index) == label) return true;
  }
  return false;
}

int parenthesesBalance(const kernel::Grid& conditions) {
  int balance = 0;
  for (int row = 1; row < conditions.rowCount(); ++row) {
    const QString text = conditions.cell(row, kCondClose) + conditions.cell(row, kCondOpen);
    for (QChar c : text) {
      if (c == QLatin1Char('(')) ++balance;
      if (c == QLatin1Char(')')) --balance;
    }
  }
  return balance;
}

// Null tests take no operand.
bool breaksNullTest(const kernel::Grid& g, int row, const kernel::TextTables& texts) {
  return !g.cell(row, kCondOperand).isEmpty() &&
         isOperator(g.cell(row, kCondOperator), texts, {kIsNull, kIsNotNull});
}

// An empty operand that is not a prompt takes its right-hand side from the
// next row: a bare object for a comparison, any object for a range.
bool breaksMissingOperand(const kernel::Grid& g, int row, const kernel::TextTables& texts) {
  if (!g.cell(row, kCondOperand).isEmpty() || g.cell(row, kCondPrompt) == QLatin1String("?"))
    return false;
  const QString op = g.cell(row, kCondOperator);
  const int next = row + 1;
  if (isOperator(op, texts, {kEqual, kDifferent, kGreater, kGreaterOrEqual, kLess, kLessOrEqual})) {
    if (g.cell(next, kCondId).isEmpty()) return true;
    for (int column : {kCondClose, kCondConnector, kCondOpen, kCondOperator, kCondOperand}) {
      if (!g.cell(next, column).isEmpty()) return true;
    }
    return false;
  }
  if (isOperator(op, texts, {kBetween, kNotBetween})) return g.cell(next, kCondId).isEmpty();
  return false;
}

// A row without connector continues the previous one, which only operators
// with a right-hand side object allow.
bool breaksContinuation(const kernel::Grid& g, int row, const kernel::TextTables& texts) {
  if (!g.cell(row, kCondConnector).isEmpty() || row == 1) return false;
  return isOperator(g.cell(row - 1, kCondOperator), texts,
                    {kInList, kNotInList, kIsNull, kIsNotNull, kMatches, kNotMatches});
}

}  // namespace

QStringList conditionSyntaxFaults(const kernel::Grid& conditions, const kernel::TextTables& texts) {
  if (parenthesesBalance(conditions) != 0) return {texts.messages.value(26)};
  QStringList faults;
  for (int row = 1; row < conditions.rowCount(); ++row) {
    const QString id = conditions.cell(row, kCondId);
    if (id.isEmpty()) continue;
    const QString message = texts.messages.value(42) + id + QLatin1Char(')');
    if (breaksNullTest(conditions, row, texts)) faults << message;
    if (breaksMissingOperand(conditions, row, texts)) faults << message;
    if (breaksContinuation(conditions, row, texts)) faults << message;
  }
  return faults;
}

}  // namespace korvo::sqlgen
