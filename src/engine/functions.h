#pragma once
// Oracle's built-in functions as SQLite user-defined functions. The translator
// emits these names (and the ora_* helpers) in the SQLite SQL it produces.
#include <string>

struct sqlite3;

namespace korvo::engine {

struct Nls;  // from session.h

// What the functions need from the session; the Session fills it before each statement.
struct FunctionContext {
  const Nls* nls = nullptr;
  std::string user;     // USER
  std::string sysdate;  // canonical "YYYY-MM-DD HH24:MI:SS", fixed for one statement
};

// Registers every Oracle function and ora_* helper on db. ctx must outlive db's use
// of the functions; it is read on every call, so the Session may change it between
// statements. Errors are reported as the full "ORA-nnnnn: text".
// The Oracle names replace SQLite's built-ins of the same name on this connection
// (substr, instr, replace, trim, ltrim, rtrim, upper, lower, length, abs, round,
// coalesce, nullif...): they follow Oracle, so an empty result is NULL and
// substr(s,0,n) starts at the first character. Dates are canonical text.
void registerOracleFunctions(sqlite3* db, FunctionContext* ctx);

}  // namespace korvo::engine
