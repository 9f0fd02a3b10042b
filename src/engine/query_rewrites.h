#pragma once
// Helpers of the WHERE rewrites done by the translator: (+) outer joins
// (outer_join.cpp) and ROWNUM limits (rownum.cpp).
#include <optional>
#include <vector>

#include "engine/ast.h"

namespace korvo::engine {

bool hasOuterJoinMark(const ast::Expr& e);
void splitConjuncts(const ast::Expr* e, std::vector<const ast::Expr*>& out);
// Removes the ROWNUM conjuncts and returns the row limit they give (none when
// they do not limit). Raises ORA-03001 for ROWNUM conditions it cannot reduce.
bool mentionsRownum(const ast::Expr& e, int depth = 0);
std::optional<long long> takeRownumLimit(std::vector<const ast::Expr*>& conjuncts);

}  // namespace korvo::engine
