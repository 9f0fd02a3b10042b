#pragma once
// The dialect's built-in functions called with an argument list: arity, how the
// arguments convert, how the result type is found, and the translation into
// SQLite SQL. The SQLite functions the translations call (ora_..., NVL,
// SUBSTR ...) come from registerOracleFunctions.
#include <string>
#include <vector>

namespace korvo::engine {

struct TypedSql;  // translator.h
struct FunctionInfo;

enum class ResultRule {
  Text,      // always character
  Number,    // always NUMBER
  Date,      // always DATE
  FirstArg,  // type of the first argument (of the first typed one)
  Special    // found by the function's own translation (DECODE, NVL2, TO_CHAR, ROUND ...)
};

enum class ArgRule { Any, TextFirst, Numbers };

enum class FunctionKind {
  Scalar,
  Aggregate,     // a group function, and an analytic one with OVER
  AnalyticOnly,  // exists only with OVER (ROW_NUMBER, LAG ...)
};

// One call whose arguments are translated, as a translation reads it.
struct FunctionCall {
  const FunctionInfo& info;
  const std::vector<TypedSql>& args;
  bool distinct = false;
  bool star = false;  // COUNT(*): args is empty
  std::string over;   // the window of an analytic call, " OVER (...)"; empty otherwise
  bool ignoreNulls = false;  // ... IGNORE NULLS OVER (...)
};

// The SQL of the call and its type; the translator adds whether it groups.
using FunctionTranslation = TypedSql (*)(const FunctionCall&);

struct FunctionInfo {
  const char* name;
  int minArgs;
  int maxArgs;  // -1: unlimited
  ResultRule result;
  ArgRule args;
  FunctionKind kind;
  // nullptr: the function has clauses of its own and the translator writes it (LISTAGG)
  FunctionTranslation translate;
  bool ranking = false;  // analytic only: needs ORDER BY, takes no frame
  bool aggregate() const { return kind == FunctionKind::Aggregate; }
};

// nullptr when the dialect has no such function.
const FunctionInfo* findFunction(const std::string& upperName);

// Every entry, for the tests that check the table as a whole.
const std::vector<FunctionInfo>& allFunctions();

}  // namespace korvo::engine
