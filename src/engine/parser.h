#pragma once
// Recursive-descent parser for the Oracle dialect: one statement in, one AST out.
// Syntax errors are raised as Oracle raises them (ORA-00936, ORA-00933, ...).
#include <string_view>

#include "engine/ast.h"

namespace korvo::engine {

// Parses exactly one statement. A ';' after it raises ORA-00911, except in an
// anonymous block or CREATE PROCEDURE, whose ';' belong to them.
ast::Statement parseStatement(std::string_view sql);

// Parses one expression (used by tests and by the dictionary of defaults).
ast::ExprPtr parseExpression(std::string_view sql);

// True for words that cannot be used as unquoted identifiers.
bool isReservedWord(std::string_view upper);

}  // namespace korvo::engine
