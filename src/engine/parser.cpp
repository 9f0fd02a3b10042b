#include "engine/parser.h"

#include "engine/parser_internal.h"

namespace korvo::engine {

using parsing::Parser;

bool isReservedWord(std::string_view upper) { return contains(kReserved, upper); }

ast::Statement parseStatement(std::string_view sql) { return Parser(sql).statement(); }

ast::ExprPtr parseExpression(std::string_view sql) { return Parser(sql).expressionOnly(); }

}  // namespace korvo::engine
