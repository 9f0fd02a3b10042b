#pragma once
// The check of the condition grid before it is turned into SQL: the
// parentheses of the whole grid first, then three rules on every condition
// row. Operators are recognised by the labels of the current language, the
// words the grid holds.
#include <QStringList>

#include "kernel/grid.h"
#include "kernel/language.h"

namespace korvo::sqlgen {

// The messages to show, in order: catalogue entry 26 alone when the
// parentheses do not balance; otherwise entry 42 + id + ")" once for every
// rule a row breaks. Empty when the grid may be generated.
QStringList conditionSyntaxFaults(const kernel::Grid& conditions, const kernel::TextTables& texts);

}  // namespace korvo::sqlgen
