#include "engine/function_table.h"

#include <algorithm>
#include <unordered_map>

#include "engine/function_translations.h"

namespace korvo::engine {
namespace {

using R = ResultRule;
using A = ArgRule;
using K = FunctionKind;
namespace tr = translations;

const std::vector<FunctionInfo> kFunctions = {
    {"NVL", 2, 2, R::FirstArg, A::Any, K::Scalar, &tr::nvl},
    {"NVL2", 3, 3, R::Special, A::Any, K::Scalar, &tr::nvl2},
    {"DECODE", 3, -1, R::Special, A::Any, K::Scalar, &tr::decode},
    {"COALESCE", 1, -1, R::FirstArg, A::Any, K::Scalar, &tr::sameType},
    {"NULLIF", 2, 2, R::FirstArg, A::Any, K::Scalar, &tr::sameType},
    {"GREATEST", 1, -1, R::FirstArg, A::Any, K::Scalar, &tr::firstArgsType},
    {"LEAST", 1, -1, R::FirstArg, A::Any, K::Scalar, &tr::firstArgsType},
    {"SUBSTR", 2, 3, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"INSTR", 2, 4, R::Number, A::TextFirst, K::Scalar, &tr::plain},
    {"REPLACE", 2, 3, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"TRANSLATE", 3, 3, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"UPPER", 1, 1, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"LOWER", 1, 1, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"INITCAP", 1, 1, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"TRIM", 1, 2, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"LTRIM", 1, 2, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"RTRIM", 1, 2, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"LPAD", 2, 3, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"RPAD", 2, 3, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"LENGTH", 1, 1, R::Number, A::TextFirst, K::Scalar, &tr::plain},
    {"CONCAT", 2, 2, R::Special, A::Any, K::Scalar, &tr::concat},
    {"CHR", 1, 1, R::Text, A::Numbers, K::Scalar, &tr::plain},
    {"ASCII", 1, 1, R::Number, A::TextFirst, K::Scalar, &tr::plain},
    {"ABS", 1, 1, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"MOD", 2, 2, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"ROUND", 1, 2, R::Special, A::Any, K::Scalar, &tr::roundOrTrunc},
    {"TRUNC", 1, 2, R::Special, A::Any, K::Scalar, &tr::roundOrTrunc},
    {"CEIL", 1, 1, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"FLOOR", 1, 1, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"POWER", 2, 2, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"SQRT", 1, 1, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"SIGN", 1, 1, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"EXP", 1, 1, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"LN", 1, 1, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"LOG", 2, 2, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"TO_CHAR", 1, 3, R::Special, A::Any, K::Scalar, &tr::toChar},
    {"TO_NUMBER", 1, 3, R::Number, A::TextFirst, K::Scalar, &tr::plain},
    {"TO_DATE", 1, 3, R::Special, A::Any, K::Scalar, &tr::toDate},
    {"ADD_MONTHS", 2, 2, R::Date, A::Any, K::Scalar, &tr::addMonths},
    {"MONTHS_BETWEEN", 2, 2, R::Number, A::Any, K::Scalar, &tr::monthsBetween},
    {"LAST_DAY", 1, 1, R::Date, A::Any, K::Scalar, &tr::dayOf},
    {"NEXT_DAY", 2, 2, R::Date, A::Any, K::Scalar, &tr::dayOf},
    {"COUNT", 1, 1, R::Number, A::Any, K::Aggregate, &tr::aggregate},
    {"SUM", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    {"AVG", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    {"MIN", 1, 1, R::FirstArg, A::Any, K::Aggregate, &tr::aggregate},
    {"MAX", 1, 1, R::FirstArg, A::Any, K::Aggregate, &tr::aggregate},
    {"STDDEV", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    {"VARIANCE", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    {"MEDIAN", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    {"USERENV", 1, 1, R::Text, A::Any, K::Scalar, &tr::plain},
    {"SYS_GUID", 0, 0, R::Text, A::Any, K::Scalar, &tr::plain},
    {"VSIZE", 1, 1, R::Number, A::Any, K::Scalar, &tr::plain},
    {"SOUNDEX", 1, 1, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"BITAND", 2, 2, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"REMAINDER", 2, 2, R::Number, A::Numbers, K::Scalar, &tr::plain},
    {"REGEXP_LIKE", 2, 3, R::Number, A::TextFirst, K::Scalar, &tr::plain},
    {"REGEXP_COUNT", 2, 4, R::Number, A::TextFirst, K::Scalar, &tr::plain},
    {"REGEXP_INSTR", 2, 7, R::Number, A::TextFirst, K::Scalar, &tr::plain},
    {"REGEXP_REPLACE", 2, 6, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"REGEXP_SUBSTR", 2, 6, R::Text, A::TextFirst, K::Scalar, &tr::plain},
    {"STDDEV_POP", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    {"STDDEV_SAMP", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    {"VAR_POP", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    {"VAR_SAMP", 1, 1, R::Number, A::Numbers, K::Aggregate, &tr::aggregate},
    // LISTAGG ... WITHIN GROUP (ORDER BY ...) is written by the translator itself
    {"LISTAGG", 1, 2, R::Text, A::Any, K::Aggregate, nullptr},
    // analytic only
    {"ROW_NUMBER", 0, 0, R::Number, A::Any, K::AnalyticOnly, &tr::ranking, true},
    {"RANK", 0, 0, R::Number, A::Any, K::AnalyticOnly, &tr::ranking, true},
    {"DENSE_RANK", 0, 0, R::Number, A::Any, K::AnalyticOnly, &tr::ranking, true},
    {"PERCENT_RANK", 0, 0, R::Number, A::Any, K::AnalyticOnly, &tr::ranking, true},
    {"CUME_DIST", 0, 0, R::Number, A::Any, K::AnalyticOnly, &tr::ranking, true},
    {"NTILE", 1, 1, R::Number, A::Numbers, K::AnalyticOnly, &tr::ntile, true},
    {"LAG", 1, 3, R::FirstArg, A::Any, K::AnalyticOnly, &tr::lagOrLead, true},
    {"LEAD", 1, 3, R::FirstArg, A::Any, K::AnalyticOnly, &tr::lagOrLead, true},
    {"FIRST_VALUE", 1, 1, R::FirstArg, A::Any, K::AnalyticOnly, &tr::valueAt},
    {"LAST_VALUE", 1, 1, R::FirstArg, A::Any, K::AnalyticOnly, &tr::valueAt},
    {"NTH_VALUE", 2, 2, R::FirstArg, A::Any, K::AnalyticOnly, &tr::valueAt},
    {"RATIO_TO_REPORT", 1, 1, R::Number, A::Numbers, K::AnalyticOnly, &tr::ratioToReport},
};

}  // namespace

const FunctionInfo* findFunction(const std::string& upperName) {
  static const std::unordered_map<std::string, const FunctionInfo*> byName = [] {
    std::unordered_map<std::string, const FunctionInfo*> m;
    for (const auto& f : kFunctions) m.emplace(f.name, &f);
    return m;
  }();
  auto it = byName.find(upperName);
  return it == byName.end() ? nullptr : it->second;
}

const std::vector<FunctionInfo>& allFunctions() { return kFunctions; }

}  // namespace korvo::engine
