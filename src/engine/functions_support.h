#pragma once
// Shared plumbing of the Oracle functions: reading arguments the way Oracle
// converts them implicitly, setting results ('' is NULL), and registering
// bodies that report OraError as "ORA-nnnnn: text".
#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>

#include "engine/datetime.h"
#include "engine/functions.h"

namespace korvo::engine::udf {

// A number as SQLite hands it: exact integers stay integers.
struct Number {
  bool isInteger = false;
  long long integer = 0;
  double real = 0;

  double value() const { return isInteger ? static_cast<double>(integer) : real; }
  static Number ofInteger(long long v) { return {true, v, 0}; }
  static Number ofReal(double v) { return {false, 0, v}; }
};

using Body = void (*)(sqlite3_context*, int argc, sqlite3_value** argv);

// Registers body under name for argc arguments (-1: any number). Deterministic
// means: the same result for the same arguments within one statement.
void define(sqlite3* db, FunctionContext* ctx, const char* name, int argc, Body body,
            bool deterministic = true);

// An aggregate: step adds a row, final reads the result and frees the state.
// With inverse (removes a row) and value (reads the current result) it also
// works as a window function over moving frames.
struct AggregateBodies {
  void (*step)(sqlite3_context*, int, sqlite3_value**);
  void (*inverse)(sqlite3_context*, int, sqlite3_value**);
  void (*value)(sqlite3_context*);
  void (*final)(sqlite3_context*);
};
void defineAggregate(sqlite3* db, FunctionContext* ctx, const char* name, int argc,
                     const AggregateBodies& bodies);

// The state of an aggregate's group (a window's partition): SQLite keeps a
// pointer to it in the group's aggregate context; nullptr before the first row
// unless create. releaseState deletes it once the result is read.
template <class State>
State* stateOf(sqlite3_context* c, bool create) {
  auto** slot = static_cast<State**>(
      sqlite3_aggregate_context(c, create ? static_cast<int>(sizeof(State*)) : 0));
  if (!slot) return nullptr;
  if (!*slot && create) *slot = new State();
  return *slot;
}

template <class State>
void releaseState(sqlite3_context* c) {
  auto** slot = static_cast<State**>(sqlite3_aggregate_context(c, 0));
  if (slot && *slot) {
    delete *slot;
    *slot = nullptr;
  }
}

const FunctionContext& contextOf(sqlite3_context* c);
char decimalCharOf(sqlite3_context* c);
char groupCharOf(sqlite3_context* c);
std::string dateFormatOf(sqlite3_context* c);
// SYSDATE of the running statement (local time when the session has none).
DateTime nowOf(sqlite3_context* c);

// NULL, or a text or blob of length 0 (Oracle has no empty string).
bool isNull(sqlite3_value* v);
bool isNumeric(sqlite3_value* v);
// The argument as a number; text is converted as Oracle does (ORA-01722).
std::optional<Number> numberArg(sqlite3_context* c, sqlite3_value* v);
std::optional<double> doubleArg(sqlite3_context* c, sqlite3_value* v);
// Integer arguments (positions, lengths, counts) are truncated toward zero.
std::optional<long long> integerArg(sqlite3_context* c, sqlite3_value* v);
// The argument as text; numbers in their canonical form.
std::optional<std::string> textArg(sqlite3_context* c, sqlite3_value* v);
// The argument as a date: the canonical text, or other text read with the
// session's NLS_DATE_FORMAT as Oracle's implicit conversion does.
std::optional<DateTime> dateArg(sqlite3_context* c, sqlite3_value* v);

// Results. Integral numbers come back as INTEGER, others as REAL; a result
// that overflows raises ORA-01426.
void setNumber(sqlite3_context* c, double v);
void setNumber(sqlite3_context* c, const Number& n);
void setText(sqlite3_context* c, std::string_view text);
void setDate(sqlite3_context* c, const DateTime& d);
// Passes an argument through unchanged ('' still becomes NULL).
void setValue(sqlite3_context* c, sqlite3_value* v);

// Oracle's comparison of two non-null values; text against a number compares
// as numbers (the text converted, ORA-01722 when it is no number).
int compareValues(sqlite3_context* c, sqlite3_value* a, sqlite3_value* b);

// The topics, each registering its functions.
void registerConditionalFunctions(sqlite3* db, FunctionContext* ctx);
void registerStringFunctions(sqlite3* db, FunctionContext* ctx);
void registerNumberFunctions(sqlite3* db, FunctionContext* ctx);
void registerDateFunctions(sqlite3* db, FunctionContext* ctx);
void registerConversionFunctions(sqlite3* db, FunctionContext* ctx);
void registerAggregateFunctions(sqlite3* db, FunctionContext* ctx);
void registerListagg(sqlite3* db, FunctionContext* ctx);
void registerKeep(sqlite3* db, FunctionContext* ctx);
void registerIgnoreNulls(sqlite3* db, FunctionContext* ctx);
void registerRegexpFunctions(sqlite3* db, FunctionContext* ctx);

}  // namespace korvo::engine::udf
