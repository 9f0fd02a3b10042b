#pragma once
// Prints AST nodes back to Oracle SQL. The output parses to an equal tree.
#include <string>

#include "engine/ast.h"

namespace korvo::engine::ast {

std::string quoteName(const Name& n);           // EMP, "Mixed Case"
std::string quoteString(const std::string& s);  // 'it''s'
std::string toSql(const Expr& e);
std::string toSql(const Query& q);
std::string toSql(const TableRef& t);
std::string toSql(const Statement& s);

}  // namespace korvo::engine::ast
