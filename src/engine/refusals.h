#pragma once
// Oracle constructs the engine does not implement, recognised where they start so
// that a valid statement is refused as unimplemented (ORA-03001) rather than
// answered with a syntax error that blames its author.
#include <string>
#include <vector>

#include "engine/lexer.h"

namespace korvo::engine {

// Where in a statement the parser asks.
enum class RefusalPlace {
  TableStart,  // where a FROM item begins: LATERAL (...), XMLTABLE(...), TABLE(...)
  AfterTable,  // after a table name or inline view, before its alias
  AfterAlias,  // after a FROM item's alias: PIVOT, MATCH_RECOGNIZE, APPLY ...
  AfterBlock,  // after WHERE / GROUP BY / HAVING: MODEL
  AfterQuery,  // after a query's ORDER BY: FOR UPDATE, FETCH ... PERCENT
  AfterCommonTable,  // after WITH name AS (...): SEARCH, CYCLE
  Statement,         // the first words of a statement
};

// The name of the unimplemented construct that starts at toks[pos], or "" when none.
std::string unimplementedAt(const std::vector<Token>& toks, size_t pos, RefusalPlace place);

// True for a built-in SQL function of Oracle's that the engine does not implement:
// a call of it is refused as unimplemented, not as an invalid identifier.
bool isUnimplementedOracleFunction(const std::string& upperName);

}  // namespace korvo::engine
