#pragma once
// Oracle's recursive subquery factoring (WITH t (a, b) AS (anchor UNION ALL member
// reading t)) on SQLite's WITH RECURSIVE. Each row carries its depth through
// korvo_recursion_guard(0, depth), which raises ORA-32044 when the recursion runs
// past the limits a cycle in the data would cross.
#include <string>

#include "engine/ast.h"

struct sqlite3;

namespace korvo::engine {

inline constexpr long long kMaxRecursionDepth = 1000000;
inline constexpr long long kMaxRecursionRows = 10000000;

// True when ct's query is a set operation one of whose members reads ct in its FROM clause.
bool isRecursiveCommonTable(const ast::CommonTable& ct);

void registerRecursionGuard(sqlite3* db);

}  // namespace korvo::engine
