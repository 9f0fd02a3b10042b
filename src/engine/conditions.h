#pragma once
// Oracle SQL has no boolean values: a condition (comparison, LIKE, IN, EXISTS ...)
// stands only where a condition is expected, and only a condition stands there.
#include "engine/ast.h"

namespace korvo::engine {

// True when e is a condition: WHERE e, CASE WHEN e, ON e are valid; SELECT e is not.
bool isCondition(const ast::Expr& e);

}  // namespace korvo::engine
