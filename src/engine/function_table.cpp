#include "engine/function_table.h"

#include <array>

namespace korvo::engine {
namespace {

using R = ResultRule;
using A = ArgRule;

constexpr std::array<FunctionInfo, 65> kFunctions = {{
    {"NVL", 2, 2, R::FirstArg, A::Any, false},
    {"NVL2", 3, 3, R::Special, A::Any, false},
    {"DECODE", 3, -1, R::Special, A::Any, false},
    {"COALESCE", 1, -1, R::FirstArg, A::Any, false},
    {"NULLIF", 2, 2, R::FirstArg, A::Any, false},
    {"GREATEST", 1, -1, R::FirstArg, A::Any, false},
    {"LEAST", 1, -1, R::FirstArg, A::Any, false},
    {"SUBSTR", 2, 3, R::Text, A::TextFirst, false},
    {"INSTR", 2, 4, R::Number, A::TextFirst, false},
    {"REPLACE", 2, 3, R::Text, A::TextFirst, false},
    {"TRANSLATE", 3, 3, R::Text, A::TextFirst, false},
    {"UPPER", 1, 1, R::Text, A::TextFirst, false},
    {"LOWER", 1, 1, R::Text, A::TextFirst, false},
    {"INITCAP", 1, 1, R::Text, A::TextFirst, false},
    {"TRIM", 1, 2, R::Text, A::TextFirst, false},
    {"LTRIM", 1, 2, R::Text, A::TextFirst, false},
    {"RTRIM", 1, 2, R::Text, A::TextFirst, false},
    {"LPAD", 2, 3, R::Text, A::TextFirst, false},
    {"RPAD", 2, 3, R::Text, A::TextFirst, false},
    {"LENGTH", 1, 1, R::Number, A::TextFirst, false},
    {"CONCAT", 2, 2, R::Special, A::Any, false},
    {"CHR", 1, 1, R::Text, A::Numbers, false},
    {"ASCII", 1, 1, R::Number, A::TextFirst, false},
    {"ABS", 1, 1, R::Number, A::Numbers, false},
    {"MOD", 2, 2, R::Number, A::Numbers, false},
    {"ROUND", 1, 2, R::Special, A::Any, false},
    {"TRUNC", 1, 2, R::Special, A::Any, false},
    {"CEIL", 1, 1, R::Number, A::Numbers, false},
    {"FLOOR", 1, 1, R::Number, A::Numbers, false},
    {"POWER", 2, 2, R::Number, A::Numbers, false},
    {"SQRT", 1, 1, R::Number, A::Numbers, false},
    {"SIGN", 1, 1, R::Number, A::Numbers, false},
    {"EXP", 1, 1, R::Number, A::Numbers, false},
    {"LN", 1, 1, R::Number, A::Numbers, false},
    {"LOG", 2, 2, R::Number, A::Numbers, false},
    {"TO_CHAR", 1, 3, R::Special, A::Any, false},
    {"TO_NUMBER", 1, 3, R::Number, A::TextFirst, false},
    {"TO_DATE", 1, 3, R::Special, A::Any, false},
    {"ADD_MONTHS", 2, 2, R::Date, A::Any, false},
    {"MONTHS_BETWEEN", 2, 2, R::Number, A::Any, false},
    {"LAST_DAY", 1, 1, R::Date, A::Any, false},
    {"NEXT_DAY", 2, 2, R::Date, A::Any, false},
    {"COUNT", 1, 1, R::Number, A::Any, true},
    {"SUM", 1, 1, R::Number, A::Numbers, true},
    {"AVG", 1, 1, R::Number, A::Numbers, true},
    {"MIN", 1, 1, R::FirstArg, A::Any, true},
    {"MAX", 1, 1, R::FirstArg, A::Any, true},
    {"STDDEV", 1, 1, R::Number, A::Numbers, true},
    {"VARIANCE", 1, 1, R::Number, A::Numbers, true},
    {"MEDIAN", 1, 1, R::Number, A::Numbers, true},
    {"USERENV", 1, 1, R::Text, A::Any, false},
    {"SYS_GUID", 0, 0, R::Text, A::Any, false},
    {"VSIZE", 1, 1, R::Number, A::Any, false},
    {"SOUNDEX", 1, 1, R::Text, A::TextFirst, false},
    {"BITAND", 2, 2, R::Number, A::Numbers, false},
    {"REMAINDER", 2, 2, R::Number, A::Numbers, false},
    {"REGEXP_LIKE", 2, 3, R::Number, A::TextFirst, false},
    {"REGEXP_COUNT", 2, 4, R::Number, A::TextFirst, false},
    {"REGEXP_INSTR", 2, 7, R::Number, A::TextFirst, false},
    {"REGEXP_REPLACE", 2, 6, R::Text, A::TextFirst, false},
    {"REGEXP_SUBSTR", 2, 6, R::Text, A::TextFirst, false},
    {"STDDEV_POP", 1, 1, R::Number, A::Numbers, true},
    {"STDDEV_SAMP", 1, 1, R::Number, A::Numbers, true},
    {"VAR_POP", 1, 1, R::Number, A::Numbers, true},
    {"VAR_SAMP", 1, 1, R::Number, A::Numbers, true},
}};

}  // namespace

const FunctionInfo* findFunction(const std::string& upperName) {
  for (const auto& f : kFunctions)
    if (upperName == f.name) return &f;
  return nullptr;
}

}  // namespace korvo::engine
