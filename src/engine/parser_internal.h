#pragma once
// The parser's own parts, shared by its files: the word lists, the Parser class
// and its small helpers. The methods are defined by kind: parser_expr.cpp
// (expressions), parser_query.cpp (queries and table references),
// parser_statement.cpp (DDL and DML), parser_plsql.cpp (blocks and procedures).
#include "engine/parser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>
#include <string>
#include <unordered_set>

#include "engine/conditions.h"
#include "engine/dialect_keywords.h"
#include "engine/dialect_types.h"
#include "engine/lexer.h"
#include "engine/nesting.h"
#include "engine/ora_error.h"
#include "engine/refusals.h"

namespace korvo::engine::parsing {

using namespace ast;

class Parser {
 public:
  explicit Parser(std::string_view sql) : sql_(sql), toks_(tokenize(sql)) {
    // brackets belong to MODEL clauses, refused as unimplemented where they start
    bool brackets = false, model = false;
    for (const Token& t : toks_) brackets = brackets || t.isOp("[") || t.isOp("]");
    for (size_t i = 0; brackets && !model && i < toks_.size(); ++i)
      model = !unimplementedAt(toks_, i, RefusalPlace::AfterBlock).empty();
    if (brackets && !model) fail(911, "invalid character");
  }

  Statement statement();
  ExprPtr expressionOnly() {
    auto e = expr();
    expectEnd();
    return e;
  }

 private:
  std::string_view sql_;
  std::vector<Token> toks_;
  size_t pos_ = 0;

  const Token& peek(size_t ahead = 0) const {
    return toks_[std::min(pos_ + ahead, toks_.size() - 1)];
  }
  const Token& next() {
    const Token& t = toks_[pos_];
    if (pos_ + 1 < toks_.size()) ++pos_;
    return t;
  }
  bool atEnd() const { return peek().kind == TokenKind::End; }
  bool isWord(std::string_view w, size_t ahead = 0) const { return peek(ahead).isWord(w); }
  bool isOp(std::string_view o, size_t ahead = 0) const { return peek(ahead).isOp(o); }
  bool acceptWord(std::string_view w) {
    if (!isWord(w)) return false;
    next();
    return true;
  }
  bool acceptOp(std::string_view o) {
    if (!isOp(o)) return false;
    next();
    return true;
  }
  [[noreturn]] void fail(int code, const std::string& text) const { throw OraError(code, text); }
  [[noreturn]] void missingExpression() const { fail(936, "missing expression"); }
  [[noreturn]] void notEnded() const {
    if (isOp(";")) fail(911, "invalid character");
    fail(933, "SQL command not properly ended");
  }
  void expectWord(std::string_view w, int code = 905, const char* text = "missing keyword") {
    if (!acceptWord(w)) fail(code, text);
  }
  void expectOp(std::string_view o) {
    if (acceptOp(o)) return;
    if (o == ")") fail(907, "missing right parenthesis");
    if (o == "(") fail(906, "missing left parenthesis");
    if (o == ",") fail(917, "missing comma");
    if (o == "=") fail(927, "missing equal sign");
    missingExpression();
  }
  void expectEnd() {
    if (!atEnd()) notEnded();
  }
  // Refuses with ORA-03001, naming it, a construct of Oracle's that starts here and that this engine lacks.
  void refuseUnimplemented(RefusalPlace place) const {
    std::string what = unimplementedAt(toks_, pos_, place);
    if (!what.empty()) fail(3001, "unimplemented feature: " + what);
  }
  // OFFSET n ROWS / FETCH FIRST n ROWS ONLY after a query's ORDER BY
  void rowLimitClause(Query& q);
  bool atRowLimit() const {
    if (isWord("FETCH") && (isWord("FIRST", 1) || isWord("NEXT", 1))) return true;
    if (!isWord("OFFSET")) return false;
    const Token& n = peek(1);
    return n.kind == TokenKind::Number || n.kind == TokenKind::String || n.isOp("(") ||
           n.isOp(":") || (n.kind == TokenKind::Identifier && !contains(kClauseWords, n.text));
  }
  ExprPtr intervalLiteral();
  void keyConstraint(Statement& s, const Name& column, Name constraintName);

  // An identifier usable as a name (not reserved), or a quoted one.
  bool atName(size_t ahead = 0) const {
    const Token& t = peek(ahead);
    if (t.kind == TokenKind::QuotedIdentifier) return true;
    return t.kind == TokenKind::Identifier && !isReservedWord(t.text);
  }
  Name name(int code = 904, const char* text = "invalid identifier") {
    const Token& t = peek();
    if (t.kind == TokenKind::QuotedIdentifier) {
      next();
      return Name{t.text, true};
    }
    if (t.kind == TokenKind::Identifier && !isReservedWord(t.text)) {
      next();
      return Name{t.text, false};
    }
    if (code == 904 && t.kind == TokenKind::Identifier) fail(904, "\"" + t.text + "\": " + text);
    if (code == 904) missingExpression();
    fail(code, text);
  }

  // Every recursion of the parser passes one of these: nesting beyond kMaxNesting
  // levels is refused rather than risking the stack. Chains (a + b + ..., AND, OR,
  // JOIN, UNION) are read in loops into one node and do not nest.
  int nesting_ = 0;
  struct Nested : NestingGuard {
    Nested(Parser& p, const char* what) : NestingGuard(p.nesting_, kMaxNesting, what) {}
  };
  // Token positions where "(" was tried as a sub-query and is none: the expression
  // read that follows must not try again, or nested attempts would double at each level.
  std::unordered_set<size_t> notQueries_;
  bool knownNotQuery(size_t at) const { return notQueries_.count(at) > 0; }

  // --- expressions ---
  ExprPtr expr() {
    Nested guard(*this, "expression");
    return orExpr();
  }
  // Where Oracle expects a condition (WHERE, ON, HAVING, CASE WHEN ...) a value is refused.
  ExprPtr condition() {
    auto e = expr();
    if (!isCondition(*e)) fail(920, "invalid relational operator");
    return e;
  }
  // op-separated operands of one precedence level into one Binary node
  ExprPtr chain(ExprPtr first, std::vector<ExprPtr> rest, std::vector<std::string> ops);
  ExprPtr orExpr();
  ExprPtr andExpr();
  ExprPtr notExpr();
  ExprPtr comparison();
  ExprPtr additive();
  ExprPtr multiplicative();
  ExprPtr unary();
  ExprPtr primary();
  ExprPtr functionCall(Name pkg, Name fn);
  ExprPtr functionClauses(ExprPtr call);
  bool nullsTreatment(Expr& call, std::initializer_list<std::string_view> functions);
  FrameBound frameBound(bool start);
  WindowFrame windowFrame();
  ExprPtr groupingSets();
  ExprPtr caseExpr();
  bool startsQuery() const {
    size_t k = 0;
    while (isOp("(", k) && k <= size_t(kMaxNesting)) ++k;
    return isWord("SELECT", k) || isWord("WITH", k);
  }
  // At "(" ... SELECT with more than one "(": a sub-query, or an expression that
  // begins with one; the query is tried first, once per position.
  QueryPtr tryParenthesizedQuery() {
    size_t save = pos_;
    if (knownNotQuery(save)) return nullptr;
    try {
      return parenthesizedQuery();
    } catch (const OraError&) {
      pos_ = save;
      notQueries_.insert(save);
      return nullptr;
    }
  }
  QueryPtr parenthesizedQuery() {  // after '(' : SELECT ... ')'
    auto q = query();
    expectOp(")");
    return q;
  }

  // --- queries ---
  QueryPtr query();
  QueryPtr queryTerm();
  void selectCore(SelectCore& c);
  std::vector<OrderItem> orderList();
  TableRefPtr tableRef();
  TableRefPtr tablePrimary();
  void optionalTableAlias(TableRef& t);

  // --- statements ---
  Statement insertStatement();
  Statement updateStatement();
  Statement deleteStatement();
  Statement createStatement();
  Statement dropStatement();
  Statement alterStatement();
  Statement explainStatement();
  Statement blockStatement();
  Statement procedureStatement(bool orReplace);
  ColumnType columnType();
  void qualifiedTable(Name& schema, Name& table) {
    table = name(903, "invalid table name");
    if (acceptOp(".")) {
      schema = table;
      table = name(903, "invalid table name");
    }
  }
  std::string headingOf(size_t b, size_t e) const {
    std::string h;
    for (char ch : sql_.substr(b, e - b)) {
      if (std::isspace((unsigned char)ch)) continue;
      h += (ch >= 'a' && ch <= 'z') ? char(ch - 'a' + 'A') : ch;
    }
    return h;
  }
};

inline ExprPtr make(ExprKind k) {
  auto e = std::make_unique<Expr>();
  e->kind = k;
  return e;
}

inline ExprPtr binary(std::string op, ExprPtr l, ExprPtr r) {
  auto e = make(ExprKind::Binary);
  e->text = std::move(op);
  e->args.push_back(std::move(l));
  e->args.push_back(std::move(r));
  return e;
}

}  // namespace korvo::engine::parsing
