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
//
// Helpers for the translator (fmt NULL means the session's format):
//   ora_concat(a, b, ...)       || : NULLs skipped, numbers as TO_CHAR shows them
//   ora_div(a, b)               real division, ORA-01476 for a zero divisor
//   ora_date_add(d, days)       ora_date_diff(d1, d2)      days may be fractional
//   ora_to_date(text, fmt)      ora_date_to_char(d, fmt)   ora_num_to_char(n, fmt)
//   ora_trunc_date(d, fmt)      ora_round_date(d, fmt)     ora_extract('YEAR', d)
//   ora_number(v, p, s[, table, column])  a value written to NUMBER(p,s) (ORA-01438)
//   ora_sysdate()               the statement's SYSDATE
//   ora_listagg(x, delimiter, 'A,DF', key1, key2...)  LISTAGG ... WITHIN GROUP
//       (ORDER BY key1, key2 DESC NULLS FIRST): one A or D per key, optionally
//       followed by F or L for the NULLs (default: NULLs sort as the largest)
//   ora_keep('MIN', x, 'FIRST', 'A,DF', key1, key2...)  MIN(x) KEEP (DENSE_RANK FIRST
//       ORDER BY key1, key2 DESC NULLS FIRST); MAX, SUM, AVG, COUNT likewise
//   ora_non_null(x, n, fromLast)  over a window: its frame's n-th non-null x from the
//       first row (fromLast 0) or the last (1), for ... IGNORE NULLS
void registerOracleFunctions(sqlite3* db, FunctionContext* ctx);

}  // namespace korvo::engine
