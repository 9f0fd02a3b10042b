#pragma once
// The translations the function table points to, one per function or family of
// functions that translate alike. Each reads its call's translated arguments and
// returns the SQLite SQL with the type of its result.
#include "engine/function_table.h"
#include "engine/translator.h"

namespace korvo::engine::translations {

// Scalar functions (function_translations.cpp)
TypedSql plain(const FunctionCall& c);  // arguments converted by the entry's ArgRule
TypedSql decode(const FunctionCall& c);
TypedSql nvl(const FunctionCall& c);
TypedSql nvl2(const FunctionCall& c);
TypedSql concat(const FunctionCall& c);
TypedSql sameType(const FunctionCall& c);       // COALESCE, NULLIF
TypedSql firstArgsType(const FunctionCall& c);  // GREATEST, LEAST
TypedSql toChar(const FunctionCall& c);
TypedSql toDate(const FunctionCall& c);
TypedSql roundOrTrunc(const FunctionCall& c);
TypedSql addMonths(const FunctionCall& c);
TypedSql dayOf(const FunctionCall& c);  // LAST_DAY, NEXT_DAY
TypedSql monthsBetween(const FunctionCall& c);
// a group function, plain or over a window (COUNT(*) included)
TypedSql aggregate(const FunctionCall& c);

// The analytic-only functions (analytic_translations.cpp)
TypedSql ranking(const FunctionCall& c);  // ROW_NUMBER, RANK, DENSE_RANK ...
TypedSql ntile(const FunctionCall& c);
TypedSql lagOrLead(const FunctionCall& c);
TypedSql valueAt(const FunctionCall& c);  // FIRST_VALUE, LAST_VALUE, NTH_VALUE
TypedSql ratioToReport(const FunctionCall& c);

}  // namespace korvo::engine::translations
