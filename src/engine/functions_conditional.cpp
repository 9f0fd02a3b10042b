// NVL, NVL2, DECODE, COALESCE, NULLIF, GREATEST, LEAST.
#include <optional>
#include <string>

#include "engine/functions_support.h"
#include "engine/number_format.h"
#include "engine/ora_error.h"

namespace korvo::engine::udf {

namespace {

// Returns v converted to the type of model (a number or text), as Oracle converts
// the other arguments to the type of the one that decides.
void setAsTypeOf(sqlite3_context* c, sqlite3_value* model, sqlite3_value* v) {
  if (isNull(v) || isNull(model)) {
    setValue(c, v);
    return;
  }
  if (isNumeric(model)) {
    setNumber(c, *numberArg(c, v));
  } else if (isNumeric(v)) {
    setText(c, *textArg(c, v));
  } else {
    setValue(c, v);
  }
}

void nvl(sqlite3_context* c, int, sqlite3_value** argv) {
  if (isNull(argv[0])) {
    setValue(c, argv[1]);
    return;
  }
  // The replacement is converted to the first argument's type on every row.
  if (isNumeric(argv[0]) && !isNull(argv[1])) numberArg(c, argv[1]);
  setValue(c, argv[0]);
}

void nvl2(sqlite3_context* c, int, sqlite3_value** argv) {
  if (!isNull(argv[0])) {
    setValue(c, argv[1]);
  } else {
    setAsTypeOf(c, argv[1], argv[2]);
  }
}

// Null-safe equality as DECODE compares: in the type of the first search value.
bool decodeMatches(sqlite3_context* c, sqlite3_value* expr, sqlite3_value* search,
                   sqlite3_value* firstSearch) {
  const bool exprNull = isNull(expr);
  const bool searchNull = isNull(search);
  if (exprNull || searchNull) return exprNull && searchNull;
  if (!isNull(firstSearch) && !isNumeric(firstSearch))
    return *textArg(c, expr) == *textArg(c, search);
  return compareValues(c, expr, search) == 0;
}

void decode(sqlite3_context* c, int argc, sqlite3_value** argv) {
  if (argc < 3) throw OraError(938);
  sqlite3_value* firstSearch = argv[1];
  sqlite3_value* firstResult = argv[2];
  int i = 1;
  for (; i + 1 < argc; i += 2) {
    if (decodeMatches(c, argv[0], argv[i], firstSearch)) {
      setAsTypeOf(c, firstResult, argv[i + 1]);
      return;
    }
  }
  if (i < argc) {
    setAsTypeOf(c, firstResult, argv[i]);
  } else {
    sqlite3_result_null(c);
  }
}

void coalesce(sqlite3_context* c, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (!isNull(argv[i])) {
      setValue(c, argv[i]);
      return;
    }
  }
  sqlite3_result_null(c);
}

void nullif(sqlite3_context* c, int, sqlite3_value** argv) {
  if (isNull(argv[0])) {
    sqlite3_result_null(c);
  } else if (!isNull(argv[1]) && compareValues(c, argv[0], argv[1]) == 0) {
    sqlite3_result_null(c);
  } else {
    setValue(c, argv[0]);
  }
}

// GREATEST and LEAST: the first argument fixes the type all are compared in.
void extreme(sqlite3_context* c, int argc, sqlite3_value** argv, int wanted) {
  if (argc < 1) throw OraError(938);
  for (int i = 0; i < argc; ++i) {
    if (isNull(argv[i])) {
      sqlite3_result_null(c);
      return;
    }
  }
  if (isNumeric(argv[0])) {
    Number best = *numberArg(c, argv[0]);
    for (int i = 1; i < argc; ++i) {
      const Number n = *numberArg(c, argv[i]);
      const bool better =
          best.isInteger && n.isInteger
              ? (wanted > 0 ? n.integer > best.integer : n.integer < best.integer)
              : (wanted > 0 ? toSignificant15(n.value()) > toSignificant15(best.value())
                            : toSignificant15(n.value()) < toSignificant15(best.value()));
      if (better) best = n;
    }
    setNumber(c, best);
    return;
  }
  std::string best = *textArg(c, argv[0]);
  for (int i = 1; i < argc; ++i) {
    std::string s = *textArg(c, argv[i]);
    if (wanted > 0 ? s > best : s < best) best = std::move(s);
  }
  setText(c, best);
}

void greatest(sqlite3_context* c, int argc, sqlite3_value** argv) { extreme(c, argc, argv, 1); }
void least(sqlite3_context* c, int argc, sqlite3_value** argv) { extreme(c, argc, argv, -1); }

}  // namespace

void registerConditionalFunctions(sqlite3* db, FunctionContext* ctx) {
  define(db, ctx, "NVL", 2, nvl);
  define(db, ctx, "NVL2", 3, nvl2);
  define(db, ctx, "DECODE", -1, decode);
  define(db, ctx, "COALESCE", -1, coalesce);
  define(db, ctx, "NULLIF", 2, nullif);
  define(db, ctx, "GREATEST", -1, greatest);
  define(db, ctx, "LEAST", -1, least);
}

}  // namespace korvo::engine::udf
