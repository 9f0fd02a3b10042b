#include "engine/parser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <unordered_set>

#include "engine/conditions.h"
#include "engine/lexer.h"
#include "engine/nesting.h"
#include "engine/ora_error.h"
#include "engine/refusals.h"

namespace korvo::engine {
namespace {

using namespace ast;

constexpr std::array kReserved = {
    "ACCESS",  "ADD",      "ALL",   "ALTER",   "AND",       "ANY",       "AS",     "ASC",
    "BETWEEN", "BY",       "CHECK", "CLUSTER", "COMPRESS",  "CONNECT",   "CREATE", "DELETE",
    "DESC",    "DISTINCT", "DROP",  "ELSE",    "EXCLUSIVE", "EXISTS",    "FROM",   "GRANT",
    "GROUP",   "HAVING",   "IN",    "INDEX",   "INSERT",    "INTERSECT", "INTO",   "IS",
    "LIKE",    "LOCK",     "MINUS", "MODE",    "NOT",       "NOWAIT",    "NULL",   "OF",
    "ON",      "OPTION",   "OR",    "ORDER",   "PRIOR",     "PUBLIC",    "RENAME", "REVOKE",
    "SELECT",  "SET",      "START", "TABLE",   "THEN",      "TO",        "UNION",  "UNIQUE",
    "UPDATE",  "VALUES",   "VIEW",  "WHERE",   "WITH",      "CASE",      "WHEN",   "END"};

// Words that end a select item or a table reference instead of being its alias.
constexpr std::array kClauseWords = {
    "FROM",  "WHERE",   "GROUP", "HAVING", "ORDER",  "UNION", "INTERSECT", "MINUS", "CONNECT",
    "START", "JOIN",    "INNER", "LEFT",   "RIGHT",  "FULL",  "CROSS",     "ON",    "INTO",
    "USING", "NATURAL", "OUTER", "SET",    "VALUES", "FOR",   "WITH"};

constexpr std::array kPseudoColumns = {
    "ROWNUM",       "LEVEL", "SYSDATE", "USER", "CONNECT_BY_ISLEAF", "CONNECT_BY_ISCYCLE",
    "SYSTIMESTAMP", "UID",   "CURRENT_DATE", "CURRENT_TIMESTAMP", "LOCALTIMESTAMP",
    "SESSIONTIMEZONE", "DBTIMEZONE"};

template <size_t N>
bool contains(const std::array<const char*, N>& words, std::string_view w) {
  return std::any_of(words.begin(), words.end(), [&](const char* k) { return w == k; });
}

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
  // ORA-03001 for a construct of Oracle's that starts here and is not implemented.
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

ExprPtr make(ExprKind k) {
  auto e = std::make_unique<Expr>();
  e->kind = k;
  return e;
}

ExprPtr binary(std::string op, ExprPtr l, ExprPtr r) {
  auto e = make(ExprKind::Binary);
  e->text = std::move(op);
  e->args.push_back(std::move(l));
  e->args.push_back(std::move(r));
  return e;
}

ExprPtr Parser::chain(ExprPtr first, std::vector<ExprPtr> rest, std::vector<std::string> ops) {
  if (rest.empty()) return first;
  auto e = make(ExprKind::Binary);
  e->args.reserve(rest.size() + 1);
  e->args.push_back(std::move(first));
  for (auto& r : rest) e->args.push_back(std::move(r));
  bool uniform =
      std::all_of(ops.begin(), ops.end(), [&](const std::string& o) { return o == ops[0]; });
  if (uniform) {
    e->text = ops[0];
  } else {
    e->ops = std::move(ops);
  }
  return e;
}

ExprPtr Parser::orExpr() {
  auto l = andExpr();
  std::vector<ExprPtr> rest;
  while (acceptWord("OR")) rest.push_back(andExpr());
  return chain(std::move(l), std::move(rest), {"OR"});
}

ExprPtr Parser::andExpr() {
  auto l = notExpr();
  std::vector<ExprPtr> rest;
  while (acceptWord("AND")) rest.push_back(notExpr());
  return chain(std::move(l), std::move(rest), {"AND"});
}

ExprPtr Parser::notExpr() {
  if (acceptWord("NOT")) {
    Nested guard(*this, "expression");
    auto e = make(ExprKind::Unary);
    e->text = "NOT";
    e->args.push_back(notExpr());
    return e;
  }
  return comparison();
}

ExprPtr Parser::comparison() {
  if (isWord("EXISTS")) {
    next();
    expectOp("(");
    auto e = make(ExprKind::Exists);
    e->query = parenthesizedQuery();
    return e;
  }
  auto l = additive();
  for (const char* op : {"=", "<>", "<", "<=", ">", ">="}) {
    if (isOp(op)) {
      next();
      if (isWord("ANY") || isWord("SOME") || isWord("ALL")) {
        auto q = make(ExprKind::Quantified);
        q->text = op;
        q->name.text = next().text == "ALL" ? "ALL" : "ANY";
        q->args.push_back(std::move(l));
        expectOp("(");
        if (isWord("SELECT") || isWord("WITH")) {
          q->query = parenthesizedQuery();
          return q;
        }
        do q->args.push_back(expr());
        while (acceptOp(","));
        expectOp(")");
        return q;
      }
      return binary(op, std::move(l), additive());
    }
  }
  if (acceptWord("IS")) {
    auto e = make(ExprKind::IsNull);
    e->negated = acceptWord("NOT");
    expectWord("NULL", 908, "missing NULL keyword");
    e->args.push_back(std::move(l));
    return e;
  }
  bool negated = false;
  if (isWord("NOT") && (isWord("LIKE", 1) || isWord("BETWEEN", 1) || isWord("IN", 1))) {
    next();
    negated = true;
  }
  if (acceptWord("LIKE")) {
    auto e = make(ExprKind::Like);
    e->negated = negated;
    e->args.push_back(std::move(l));
    e->args.push_back(additive());
    if (acceptWord("ESCAPE")) e->args.push_back(additive());
    return e;
  }
  if (acceptWord("BETWEEN")) {
    auto e = make(ExprKind::Between);
    e->negated = negated;
    e->args.push_back(std::move(l));
    e->args.push_back(additive());
    expectWord("AND");
    e->args.push_back(additive());
    return e;
  }
  if (acceptWord("IN")) {
    expectOp("(");
    if (isWord("SELECT") || isWord("WITH")) {
      auto e = make(ExprKind::InQuery);
      e->negated = negated;
      e->args.push_back(std::move(l));
      e->query = parenthesizedQuery();
      return e;
    }
    if (startsQuery()) {
      // "((SELECT ...) UNION ...)" or "((SELECT ...) + 1, 2)": try the query first
      if (QueryPtr q = tryParenthesizedQuery()) {
        auto e = make(ExprKind::InQuery);
        e->negated = negated;
        e->args.push_back(std::move(l));
        e->query = std::move(q);
        return e;
      }
    }
    auto e = make(ExprKind::InList);
    e->negated = negated;
    e->args.push_back(std::move(l));
    do e->args.push_back(expr());
    while (acceptOp(","));
    expectOp(")");
    if (e->args.size() > 1001) fail(1795, "maximum number of expressions in a list is 1000");
    return e;
  }
  if (negated) missingExpression();
  return l;
}

ExprPtr Parser::additive() {
  auto l = multiplicative();
  std::vector<ExprPtr> rest;
  std::vector<std::string> ops;
  while (isOp("+") || isOp("-") || isOp("||")) {
    ops.push_back(next().text);
    rest.push_back(multiplicative());
  }
  return chain(std::move(l), std::move(rest), std::move(ops));
}

ExprPtr Parser::multiplicative() {
  auto l = unary();
  std::vector<ExprPtr> rest;
  std::vector<std::string> ops;
  while (isOp("*") || isOp("/")) {
    ops.push_back(next().text);
    rest.push_back(unary());
  }
  return chain(std::move(l), std::move(rest), std::move(ops));
}

ExprPtr Parser::unary() {
  if (isOp("-") || isOp("+")) {
    Nested guard(*this, "expression");
    std::string op = next().text;
    auto e = make(ExprKind::Unary);
    e->text = op;
    e->args.push_back(unary());
    return e;
  }
  if (isWord("PRIOR") || isWord("CONNECT_BY_ROOT")) {
    Nested guard(*this, (peek().text + " operator").c_str());
    auto e = make(ExprKind::Unary);
    e->text = next().text;
    e->args.push_back(unary());
    return e;
  }
  return primary();
}

ExprPtr Parser::caseExpr() {
  auto e = make(ExprKind::Case);
  if (!isWord("WHEN")) {
    e->hasOperand = true;
    e->args.push_back(expr());
  }
  if (!isWord("WHEN")) missingExpression();
  while (acceptWord("WHEN")) {
    e->args.push_back(e->hasOperand ? expr() : condition());
    expectWord("THEN");
    e->args.push_back(expr());
  }
  if (acceptWord("ELSE")) {
    e->hasElse = true;
    e->args.push_back(expr());
  }
  expectWord("END");
  return e;
}

ExprPtr Parser::functionCall(Name pkg, Name fn) {
  expectOp("(");
  auto e = make(ExprKind::Function);
  e->qualifier = std::move(pkg);
  e->name = std::move(fn);
  if (e->name.text == "EXTRACT" && !e->name.quoted && e->qualifier.empty()) {
    auto x = make(ExprKind::Extract);
    const Token& field = next();
    if (field.kind != TokenKind::Identifier) missingExpression();
    x->text = field.text;
    expectWord("FROM", 923, "FROM keyword not found where expected");
    x->args.push_back(expr());
    expectOp(")");
    return x;
  }
  if (e->name.text == "CAST" && !e->name.quoted && e->qualifier.empty()) {
    // CAST(x AS type): the type's text kept in e->text
    if (isWord("MULTISET")) fail(3001, "unimplemented feature: CAST(MULTISET ...)");
    e->args.push_back(expr());
    expectWord("AS");
    ColumnType t = columnType();
    e->text = t.name;
    if (t.name == "VARCHAR2" || t.name == "CHAR") e->text += "(" + std::to_string(t.length) + ")";
    if (t.name == "FLOAT" && t.length) e->text += "(" + std::to_string(t.length) + ")";
    if (t.name == "NUMBER" && t.precision)
      e->text += "(" + std::to_string(*t.precision) + "," + std::to_string(t.scale.value_or(0)) + ")";
    if (t.name == "LONG" || t.name == "CLOB") fail(3001, "unimplemented feature: CAST AS " + t.name);
    expectOp(")");
    return e;
  }
  if (e->name.text == "TRIM" && !e->name.quoted && e->qualifier.empty()) {
    // TRIM([LEADING|TRAILING|BOTH] [c] FROM s): LTRIM/RTRIM/TRIM(s, c)
    size_t save = pos_;
    std::string side = "BOTH";
    if (isWord("LEADING") || isWord("TRAILING") || isWord("BOTH")) side = next().text;
    ExprPtr set;
    if (!isWord("FROM")) set = expr();
    if (acceptWord("FROM")) {
      e->args.push_back(expr());
      if (set) e->args.push_back(std::move(set));
      if (side == "LEADING") e->name.text = "LTRIM";
      if (side == "TRAILING") e->name.text = "RTRIM";
      if (side != "BOTH" && e->args.size() == 1) {
        auto blank = make(ExprKind::String);
        blank->text = " ";
        e->args.push_back(std::move(blank));
      }
      expectOp(")");
      return e;
    }
    pos_ = save;
  }
  if (acceptOp(")")) return functionClauses(std::move(e));
  if (isOp("*") && isOp(")", 1)) {
    next();
    next();
    e->args.push_back(make(ExprKind::Star));
    return functionClauses(std::move(e));
  }
  if (acceptWord("DISTINCT") || acceptWord("UNIQUE"))
    e->distinct = true;
  else
    acceptWord("ALL");
  do e->args.push_back(expr());
  while (acceptOp(","));
  if (isWord("IGNORE") && isWord("NULLS", 1)) fail(3001, "unimplemented feature: IGNORE NULLS");
  if (isWord("ON") && isWord("OVERFLOW", 1)) fail(3001, "unimplemented feature: ON OVERFLOW");
  expectOp(")");
  return functionClauses(std::move(e));
}

// WITHIN GROUP (ORDER BY ...), KEEP (DENSE_RANK FIRST|LAST ORDER BY ...) and
// OVER (...) after a call's arguments; each only when "(" follows its words.
ExprPtr Parser::functionClauses(ExprPtr e) {
  auto clauses = [&]() -> FunctionClauses& {
    if (!e->clauses) e->clauses = std::make_shared<FunctionClauses>();
    return *e->clauses;
  };
  if (isWord("WITHIN") && isWord("GROUP", 1) && isOp("(", 2)) {
    pos_ += 3;
    expectWord("ORDER", 30491, "missing ORDER BY clause");
    expectWord("BY");
    clauses().withinGroup = orderList();
    expectOp(")");
  }
  if (isWord("KEEP") && isOp("(", 1)) {
    pos_ += 2;
    expectWord("DENSE_RANK");
    if (acceptWord("LAST"))
      clauses().keepLast = true;
    else
      expectWord("FIRST");
    clauses().keep = true;
    expectWord("ORDER", 30491, "missing ORDER BY clause");
    expectWord("BY");
    clauses().keepOrder = orderList();
    expectOp(")");
  }
  if (isWord("IGNORE") && isWord("NULLS", 1)) fail(3001, "unimplemented feature: IGNORE NULLS");
  if (isWord("RESPECT") && isWord("NULLS", 1) && isWord("OVER", 2)) pos_ += 2;  // the default
  if (isWord("OVER") && isOp("(", 1)) {
    pos_ += 2;
    FunctionClauses& c = clauses();
    c.over = true;
    if (isWord("PARTITION")) {
      next();
      expectWord("BY");
      do c.partitionBy.push_back(expr());
      while (acceptOp(","));
    }
    if (isWord("ORDER")) {
      next();
      expectWord("BY");
      c.orderBy = orderList();
      if (isWord("ROWS") || isWord("RANGE")) c.frame = windowFrame();
    }
    expectOp(")");
  }
  return e;
}

// A window bound; UNBOUNDED is PRECEDING at the start and FOLLOWING at the end.
FrameBound Parser::frameBound(bool start) {
  FrameBound b;
  if (acceptWord("UNBOUNDED")) {
    expectWord(start ? "PRECEDING" : "FOLLOWING");
    b.kind = start ? FrameBound::Kind::UnboundedPreceding : FrameBound::Kind::UnboundedFollowing;
  } else if (acceptWord("CURRENT")) {
    expectWord("ROW");
    b.kind = FrameBound::Kind::CurrentRow;
  } else {
    b.offset = expr();
    if (acceptWord("PRECEDING")) {
      b.kind = FrameBound::Kind::Preceding;
    } else {
      expectWord("FOLLOWING");
      b.kind = FrameBound::Kind::Following;
    }
  }
  return b;
}

WindowFrame Parser::windowFrame() {
  WindowFrame f;
  f.rows = next().text == "ROWS";
  if (acceptWord("BETWEEN")) {
    f.start = frameBound(true);
    expectWord("AND");
    f.end = frameBound(false);
  } else {
    f.start = frameBound(true);
  }
  return f;
}

// GROUPING SETS (element, ...), each element an expression, a composite column
// list, ROLLUP/CUBE, or () for the grand total.
ExprPtr Parser::groupingSets() {
  Nested guard(*this, "expression");
  pos_ += 2;
  expectOp("(");
  auto e = make(ExprKind::Function);
  e->name.text = "GROUPING SETS";
  do {
    if (isOp("(") && isOp(")", 1)) {
      pos_ += 2;
      e->args.push_back(make(ExprKind::Row));
    } else if (isWord("GROUPING") && isWord("SETS", 1)) {
      e->args.push_back(groupingSets());
    } else {
      e->args.push_back(expr());
    }
  } while (acceptOp(","));
  expectOp(")");
  return e;
}

ExprPtr Parser::primary() {
  const Token& t = peek();
  switch (t.kind) {
    case TokenKind::Number: {
      auto e = make(ExprKind::Number);
      e->text = next().text;
      return e;
    }
    case TokenKind::String: {
      auto e = make(ExprKind::String);
      e->text = next().text;
      return e;
    }
    case TokenKind::Operator: {
      if (t.text == ":" && (peek(1).kind == TokenKind::Identifier ||
                            peek(1).kind == TokenKind::Number))
        fail(3001, "unimplemented feature: bind variable :" + peek(1).text);
      if (t.text != "(") missingExpression();
      next();
      if (isWord("SELECT") || isWord("WITH")) {
        auto e = make(ExprKind::Subquery);
        e->query = parenthesizedQuery();
        return e;
      }
      if (startsQuery()) {
        if (QueryPtr q = tryParenthesizedQuery()) {
          auto e = make(ExprKind::Subquery);
          e->query = std::move(q);
          return e;
        }
      }
      auto first = expr();
      if (isOp(",")) {
        auto row = make(ExprKind::Row);
        row->args.push_back(std::move(first));
        while (acceptOp(",")) row->args.push_back(expr());
        expectOp(")");
        return row;
      }
      expectOp(")");
      first->parenthesized = true;
      return first;
    }
    case TokenKind::End:
      missingExpression();
    default:
      break;
  }
  // Words: keywords with their own syntax first.
  if (t.kind == TokenKind::Identifier) {
    if (t.text == "NULL") {
      next();
      return make(ExprKind::Null);
    }
    if (t.text == "CASE") {
      next();
      return caseExpr();
    }
    if (t.text == "INTERVAL" && peek(1).kind == TokenKind::String) return intervalLiteral();
    if (t.text == "CURSOR" && isOp("(", 1) && (isWord("SELECT", 2) || isWord("WITH", 2)))
      fail(3001, "unimplemented feature: CURSOR expression");
    if ((t.text == "TIMESTAMP" || t.text == "TIME") && peek(1).kind == TokenKind::String)
      fail(3001, "unimplemented feature: " + t.text + " literal");
    if (t.text == "DATE" && peek(1).kind == TokenKind::String) {
      next();
      auto e = make(ExprKind::DateLiteral);
      e->text = next().text;
      return e;
    }
    if (contains(kPseudoColumns, t.text) && !isOp("(", 1) && !isOp(".", 1)) {
      auto e = make(ExprKind::Pseudo);
      e->text = next().text;
      return e;
    }
    if (isReservedWord(t.text)) missingExpression();
  }
  Name first = name();
  const bool outerMark = isOp("(") && isOp("+", 1) && isOp(")", 2);
  if (isOp("(") && !outerMark) return functionCall(Name{}, std::move(first));
  if (!isOp(".")) {
    auto e = make(ExprKind::Column);
    e->name = std::move(first);
    if (outerMark) {
      pos_ += 3;
      e->outerJoin = true;
    }
    return e;
  }
  next();
  if (acceptOp("*")) {
    auto e = make(ExprKind::Star);
    e->qualifier = std::move(first);
    return e;
  }
  Name second = name();
  if (isOp("(") && !(isOp("+", 1) && isOp(")", 2)))
    return functionCall(std::move(first), std::move(second));
  auto e = make(ExprKind::Column);
  if (acceptOp(".")) {  // schema.table.column: the table qualifies
    if (acceptOp("*")) {
      e->kind = ExprKind::Star;
      e->qualifier = std::move(second);
      return e;
    }
    e->qualifier = std::move(second);
    e->name = name();
  } else {
    e->qualifier = std::move(first);
    e->name = std::move(second);
  }
  if (isOp("(") && isOp("+", 1) && isOp(")", 2)) {
    pos_ += 3;
    e->outerJoin = true;
  }
  return e;
}

// --- queries ---

QueryPtr Parser::query() {
  Nested guard(*this, "query");
  std::vector<CommonTable> with;
  if (acceptWord("WITH")) {
    if ((isWord("FUNCTION") || isWord("PROCEDURE")) && peek(1).kind != TokenKind::Operator)
      fail(3001, "unimplemented feature: PL/SQL declarations in the WITH clause");
    do {
      CommonTable ct;
      ct.name = name(903, "invalid table name");
      if (acceptOp("(")) {
        do ct.columns.push_back(name());
        while (acceptOp(","));
        expectOp(")");
      }
      expectWord("AS");
      expectOp("(");
      ct.query = parenthesizedQuery();
      refuseUnimplemented(RefusalPlace::AfterCommonTable);
      with.push_back(std::move(ct));
    } while (acceptOp(","));
    if (!isWord("SELECT") && !isOp("(")) fail(928, "missing SELECT keyword");
    auto body = query();
    if (!body->with.empty()) fail(32034, "unsupported use of WITH clause");
    body->with = std::move(with);
    return body;
  }
  auto q = queryTerm();
  std::shared_ptr<Query> compound;
  for (;;) {
    SetOp op;
    if (isWord("UNION")) {
      next();
      op = acceptWord("ALL") ? SetOp::UnionAll : SetOp::Union;
    } else if (acceptWord("INTERSECT")) {
      op = SetOp::Intersect;
    } else if (acceptWord("MINUS")) {
      op = SetOp::Minus;
    } else {
      break;
    }
    if (!compound) {
      compound = std::make_shared<Query>();
      compound->kind = Query::Kind::Compound;
      compound->members.push_back(std::move(q));
    }
    compound->ops.push_back(op);
    compound->members.push_back(queryTerm());
  }
  if (compound) q = std::move(compound);
  if (isWord("ORDER")) {
    next();
    if (acceptWord("SIBLINGS")) q->orderSiblings = true;
    expectWord("BY");
    if (!q->orderBy.empty()) notEnded();
    // (SELECT ...) ORDER BY ...: the parentheses add nothing at this level.
    q->parenthesized = false;
    q->orderBy = orderList();
  }
  rowLimitClause(*q);
  refuseUnimplemented(RefusalPlace::AfterQuery);
  return q;
}

QueryPtr Parser::queryTerm() {
  Nested guard(*this, "query");
  if (acceptOp("(")) {
    auto q = query();
    expectOp(")");
    q->parenthesized = true;
    return q;
  }
  auto q = std::make_shared<Query>();
  if (!isWord("SELECT")) fail(928, "missing SELECT keyword");
  selectCore(q->core);
  return q;
}

std::vector<OrderItem> Parser::orderList() {
  std::vector<OrderItem> items;
  do {
    OrderItem it;
    it.expr = expr();
    if (acceptWord("DESC"))
      it.descending = true;
    else
      acceptWord("ASC");
    if (acceptWord("NULLS")) {
      if (acceptWord("FIRST"))
        it.nullsFirst = true;
      else if (acceptWord("LAST"))
        it.nullsFirst = false;
      else
        fail(905, "missing keyword");
    }
    items.push_back(std::move(it));
  } while (acceptOp(","));
  return items;
}

void Parser::selectCore(SelectCore& c) {
  expectWord("SELECT", 928, "missing SELECT keyword");
  if (acceptWord("DISTINCT") || acceptWord("UNIQUE"))
    c.distinct = true;
  else
    acceptWord("ALL");
  do {
    SelectItem item;
    size_t b = peek().begin;
    if (isOp("*")) {
      next();
      item.expr = make(ExprKind::Star);
    } else {
      item.expr = expr();
      // no boolean columns: Oracle stops reading the item before the condition's operator
      if (isCondition(*item.expr)) fail(923, "FROM keyword not found where expected");
    }
    size_t e = toks_[pos_ > 0 ? pos_ - 1 : 0].end;
    item.heading = headingOf(b, e);
    if (acceptWord("AS")) {
      item.alias = name();
    } else if (atName() &&
               !(peek().kind == TokenKind::Identifier && contains(kClauseWords, peek().text))) {
      item.alias = name();
    }
    c.items.push_back(std::move(item));
  } while (acceptOp(","));
  if (!acceptWord("FROM")) {
    if (atEnd()) fail(923, "FROM keyword not found where expected");
    fail(923, "FROM keyword not found where expected");
  }
  do c.from.push_back(tableRef());
  while (acceptOp(","));
  if (acceptWord("WHERE")) c.where = condition();
  for (int round = 0; round < 2; ++round) {
    if (isWord("START") && isWord("WITH", 1)) {
      next();
      next();
      c.startWith = condition();
    }
    if (isWord("CONNECT") && isWord("BY", 1)) {
      next();
      next();
      c.noCycle = acceptWord("NOCYCLE");
      c.connectBy = condition();
    }
  }
  if (isWord("GROUP")) {
    next();
    expectWord("BY");
    do {
      if (isOp("(") && isOp(")", 1)) {  // (): the grand total
        pos_ += 2;
        c.groupBy.push_back(make(ExprKind::Row));
      } else {
        c.groupBy.push_back(isWord("GROUPING") && isWord("SETS", 1) ? groupingSets() : expr());
      }
    } while (acceptOp(","));
  }
  if (acceptWord("HAVING")) c.having = condition();
  refuseUnimplemented(RefusalPlace::AfterBlock);
}

void Parser::optionalTableAlias(TableRef& t) {
  refuseUnimplemented(RefusalPlace::AfterTable);
  refuseUnimplemented(RefusalPlace::AfterAlias);
  refuseUnimplemented(RefusalPlace::AfterBlock);
  if (isWord("AS")) notEnded();  // Oracle has no AS before a table alias
  if (atName() && !(peek().kind == TokenKind::Identifier && contains(kClauseWords, peek().text)) &&
      !atRowLimit())
    t.alias = name();
  refuseUnimplemented(RefusalPlace::AfterAlias);
  refuseUnimplemented(RefusalPlace::AfterBlock);
}

TableRefPtr Parser::tablePrimary() {
  Nested guard(*this, "table reference");
  auto t = std::make_unique<TableRef>();
  refuseUnimplemented(RefusalPlace::TableStart);
  if (acceptOp("(")) {
    if (startsQuery()) {
      t->kind = TableRef::Kind::Subquery;
      t->query = parenthesizedQuery();
      optionalTableAlias(*t);
      return t;
    }
    auto inner = tableRef();
    expectOp(")");
    return inner;
  }
  if (!atName()) fail(903, "invalid table name");
  qualifiedTable(t->schema, t->name);
  optionalTableAlias(*t);
  return t;
}

TableRefPtr Parser::tableRef() {
  auto left = tablePrimary();
  TableRefPtr joined;  // the chain, once there is a JOIN
  for (;;) {
    JoinType jt;
    bool natural = false;
    if (isWord("JOIN")) {
      jt = JoinType::Inner;
    } else if (isWord("INNER") && isWord("JOIN", 1)) {
      next();
      jt = JoinType::Inner;
    } else if (isWord("CROSS") && isWord("JOIN", 1)) {
      next();
      jt = JoinType::Cross;
    } else if (isWord("LEFT") || isWord("RIGHT") || isWord("FULL")) {
      std::string w = next().text;
      acceptWord("OUTER");
      if (!isWord("JOIN")) fail(905, "missing keyword");
      jt = w == "LEFT" ? JoinType::Left : w == "RIGHT" ? JoinType::Right : JoinType::Full;
    } else if (isWord("NATURAL")) {
      next();
      natural = true;
      acceptWord("INNER");
      jt = JoinType::Inner;
      if (isWord("LEFT") || isWord("RIGHT") || isWord("FULL")) {
        std::string w = next().text;
        acceptWord("OUTER");
        jt = w == "LEFT" ? JoinType::Left : w == "RIGHT" ? JoinType::Right : JoinType::Full;
      }
      if (!isWord("JOIN")) fail(905, "missing keyword");
    } else {
      refuseUnimplemented(RefusalPlace::AfterAlias);
      return joined ? std::move(joined) : std::move(left);
    }
    expectWord("JOIN");
    if (!joined) {
      joined = std::make_unique<TableRef>();
      joined->kind = TableRef::Kind::Join;
      joined->left = std::move(left);
    }
    JoinStep step;
    step.type = jt;
    step.right = tablePrimary();
    step.natural = natural;
    if (jt != JoinType::Cross && !natural) {
      if (acceptWord("USING")) {
        expectOp("(");
        do {
          step.usingColumns.push_back(name());
          if (isOp(".")) fail(1748, "only simple column names allowed here");
        } while (acceptOp(","));
        expectOp(")");
      } else {
        expectWord("ON");
        step.on = condition();
      }
    }
    joined->joins.push_back(std::move(step));
  }
}

// --- statements ---

ColumnType Parser::columnType() {
  ColumnType t;
  const Token& w = peek();
  if (w.kind != TokenKind::Identifier) fail(902, "invalid datatype");
  next();
  t.name = w.text;
  static const std::array<const char*, 12> known = {"VARCHAR2", "CHAR",    "NUMBER", "DATE",
                                                    "LONG",     "INTEGER", "FLOAT",  "CLOB",
                                                    "VARCHAR",  "INT",     "NCHAR",  "NVARCHAR2"};
  if (!contains(known, t.name)) fail(902, "invalid datatype");
  if (t.name == "INT") t.name = "INTEGER";
  if (t.name == "NVARCHAR2") t.name = "VARCHAR2";
  if (t.name == "NCHAR") t.name = "CHAR";
  auto number = [&]() {
    bool neg = acceptOp("-");
    const Token& n = next();
    if (n.kind != TokenKind::Number || n.text.find_first_not_of("0123456789") != std::string::npos)
      fail(910, "specified length too long for its datatype");
    size_t digits = n.text.find_first_not_of('0');
    std::string_view significant = digits == std::string::npos
                                       ? std::string_view("0")
                                       : std::string_view(n.text).substr(digits);
    if (significant.size() > 9) fail(910, "specified length too long for its datatype");
    int v = 0;
    for (char ch : significant) v = v * 10 + (ch - '0');
    return neg ? -v : v;
  };
  if (t.name == "VARCHAR2" || t.name == "VARCHAR" || t.name == "CHAR") {
    if (acceptOp("(")) {
      t.length = number();
      if (!acceptWord("BYTE")) acceptWord("CHAR");
      expectOp(")");
    } else if (t.name == "CHAR") {
      t.length = 1;
    } else {
      fail(906, "missing left parenthesis");
    }
    if (t.name == "VARCHAR") t.name = "VARCHAR2";
    int max = t.name == "CHAR" ? 2000 : 4000;
    if (t.length < 1 || t.length > max) fail(910, "specified length too long for its datatype");
  } else if (t.name == "NUMBER") {
    if (acceptOp("(")) {
      if (acceptOp("*"))
        t.precision = 38;
      else
        t.precision = number();
      if (acceptOp(",")) t.scale = number();
      expectOp(")");
      if (*t.precision < 1 || *t.precision > 38)
        fail(1727, "numeric precision specifier is out of range (1 to 38)");
      if (t.scale && (*t.scale < -84 || *t.scale > 127))
        fail(1728, "numeric scale specifier is out of range (-84 to 127)");
      if (!t.scale) t.scale = 0;
    }
  } else if (t.name == "FLOAT") {
    if (acceptOp("(")) {
      t.length = number();
      expectOp(")");
    }
  } else if (t.name == "LONG") {
    acceptWord("RAW");
  }
  return t;
}

// [CONSTRAINT name] PRIMARY KEY | UNIQUE, of one column (inline) or of a list.
void Parser::keyConstraint(Statement& s, const Name& column, Name constraintName) {
  if (isWord("CHECK")) fail(3001, "unimplemented feature: CHECK constraint");
  if (isWord("FOREIGN") || isWord("REFERENCES"))
    fail(3001, "unimplemented feature: FOREIGN KEY constraint");
  KeyConstraint k;
  k.name = std::move(constraintName);
  if (acceptWord("PRIMARY")) {
    expectWord("KEY");
    k.primary = true;
  } else {
    expectWord("UNIQUE");
  }
  if (column.empty()) {
    expectOp("(");
    do k.columns.push_back(name());
    while (acceptOp(","));
    expectOp(")");
  } else {
    k.columns.push_back(column);
  }
  if (isWord("USING") || isWord("DEFERRABLE") || isWord("INITIALLY") || isWord("DISABLE") ||
      isWord("NOVALIDATE"))
    fail(3001, "unimplemented feature: constraint state " + peek().text);
  if (acceptWord("ENABLE")) acceptWord("VALIDATE");
  s.keys.push_back(std::move(k));
}

// INTERVAL 'text' YEAR|MONTH|DAY|HOUR|MINUTE|SECOND [(p)] [TO unit [(p)]]; the text is
// checked against its units when translated.
ExprPtr Parser::intervalLiteral() {
  next();  // INTERVAL
  auto e = make(ExprKind::Interval);
  e->text = next().text;
  auto unit = [&]() {
    const Token& u = peek();
    static const std::array<const char*, 6> units = {"YEAR", "MONTH", "DAY",
                                                     "HOUR", "MINUTE", "SECOND"};
    if (u.kind != TokenKind::Identifier || !contains(units, u.text)) fail(905, "missing keyword");
    std::string s = next().text;
    if (acceptOp("(")) {
      const Token& p = next();
      if (p.kind != TokenKind::Number) fail(1882, "interval precision out of range");
      s += "(" + p.text;
      if (s.rfind("SECOND", 0) == 0 && acceptOp(",")) {
        const Token& f = next();
        if (f.kind != TokenKind::Number) fail(1882, "interval precision out of range");
        s += "," + f.text;
      }
      expectOp(")");
      s += ")";
    }
    return s;
  };
  e->name.text = unit();
  if (acceptWord("TO")) e->name.text += " TO " + unit();
  return e;
}

void Parser::rowLimitClause(Query& q) {
  if (!atRowLimit()) return;
  if (q.offsetRows || q.fetchRows)
    fail(3001, "unimplemented feature: a row limiting clause over another one");
  auto wrapped = [&]() {
    // the limits belong to the whole query, ORDER BY included
    q.parenthesized = false;
  };
  if (acceptWord("OFFSET")) {
    q.offsetRows = additive();
    if (!acceptWord("ROWS")) expectWord("ROW");
    wrapped();
  }
  if (acceptWord("FETCH")) {
    if (!acceptWord("FIRST")) expectWord("NEXT");
    if (!isWord("ROW") && !isWord("ROWS")) q.fetchRows = additive();
    if (isWord("PERCENT")) fail(3001, "unimplemented feature: FETCH ... PERCENT");
    if (!q.fetchRows) {
      q.fetchRows = make(ExprKind::Number);
      q.fetchRows->text = "1";
    }
    if (!acceptWord("ROWS")) expectWord("ROW");
    if (isWord("WITH") && isWord("TIES", 1)) fail(3001, "unimplemented feature: FETCH ... WITH TIES");
    expectWord("ONLY");
    wrapped();
  }
}

Statement Parser::insertStatement() {
  Statement s;
  s.kind = StatementKind::Insert;
  expectWord("INTO");
  qualifiedTable(s.tableSchema, s.table);
  if (atName() && !isWord("VALUES") && !isWord("SELECT")) s.alias = name();
  if (acceptOp("(")) {
    if (startsQuery()) fail(3001, "unimplemented feature: INSERT into a sub-query");
    do s.columns.push_back(name());
    while (acceptOp(","));
    expectOp(")");
  }
  if (acceptWord("VALUES")) {
    expectOp("(");
    do s.values.push_back(expr());
    while (acceptOp(","));
    expectOp(")");
  } else if (startsQuery()) {
    s.query = query();
  } else {
    fail(926, "missing VALUES keyword");
  }
  expectEnd();
  return s;
}

Statement Parser::updateStatement() {
  Statement s;
  s.kind = StatementKind::Update;
  qualifiedTable(s.tableSchema, s.table);
  if (atName() && !isWord("SET")) s.alias = name();
  expectWord("SET");
  do {
    Assignment a;
    if (isOp("(")) fail(3001, "unimplemented feature: UPDATE SET (column list)");
    a.column = name();
    if (acceptOp(".")) {
      a.qualifier = a.column;
      a.column = name();
    }
    expectOp("=");
    a.value = expr();
    s.assignments.push_back(std::move(a));
  } while (acceptOp(","));
  if (acceptWord("WHERE")) s.where = condition();
  expectEnd();
  return s;
}

Statement Parser::deleteStatement() {
  Statement s;
  s.kind = StatementKind::Delete;
  acceptWord("FROM");
  qualifiedTable(s.tableSchema, s.table);
  if (atName() && !isWord("WHERE")) s.alias = name();
  if (acceptWord("WHERE")) s.where = condition();
  expectEnd();
  return s;
}

Statement Parser::createStatement() {
  bool orReplace = false;
  if (acceptWord("OR")) {
    expectWord("REPLACE");
    orReplace = true;
  }
  if (isWord("PROCEDURE")) return procedureStatement(orReplace);
  if (orReplace) fail(901, "invalid CREATE command");
  Statement s;
  if (acceptWord("TABLE")) {
    s.kind = StatementKind::CreateTable;
    qualifiedTable(s.tableSchema, s.table);
    if (acceptOp("(")) {
      do {
        Name constraintName;
        if (acceptWord("CONSTRAINT")) constraintName = name();
        if (!constraintName.empty() || isWord("PRIMARY") || isWord("UNIQUE") ||
            isWord("CHECK") || isWord("FOREIGN")) {
          keyConstraint(s, Name{}, std::move(constraintName));  // table level
          continue;
        }
        ColumnDef d;
        d.name = name();
        d.type = columnType();
        for (;;) {
          Name inlineName;
          if (acceptWord("CONSTRAINT")) inlineName = name();
          if (acceptWord("DEFAULT")) {
            d.defaultValue = additive();
          } else if (isWord("NOT") && isWord("NULL", 1)) {
            next();
            next();
            d.notNull = true;
          } else if (acceptWord("NULL")) {
            d.notNull = false;
          } else if (isWord("PRIMARY") || isWord("UNIQUE") || isWord("CHECK") ||
                     isWord("REFERENCES")) {
            keyConstraint(s, d.name, std::move(inlineName));
          } else if (!inlineName.empty()) {
            fail(2253, "constraint specification not allowed here");
          } else {
            break;
          }
        }
        s.columnDefs.push_back(std::move(d));
      } while (acceptOp(","));
      expectOp(")");
    }
    if (acceptWord("AS")) {
      if (!startsQuery()) fail(928, "missing SELECT keyword");
      s.query = query();
    } else if (s.columnDefs.empty()) {
      fail(906, "missing left parenthesis");
    }
    expectEnd();
    return s;
  }
  if (isWord("UNIQUE") || isWord("INDEX")) {
    s.kind = StatementKind::CreateIndex;
    s.unique = acceptWord("UNIQUE");
    expectWord("INDEX", 901, "invalid CREATE command");
    s.index = name();
    expectWord("ON", 969, "missing ON keyword");
    qualifiedTable(s.tableSchema, s.table);
    expectOp("(");
    do {
      s.columns.push_back(name());
      if (!acceptWord("ASC")) acceptWord("DESC");
    } while (acceptOp(","));
    expectOp(")");
    expectEnd();
    return s;
  }
  fail(901, "invalid CREATE command");
}

Statement Parser::dropStatement() {
  Statement s;
  if (acceptWord("TABLE")) {
    s.kind = StatementKind::DropTable;
    qualifiedTable(s.tableSchema, s.table);
    if (acceptWord("CASCADE")) expectWord("CONSTRAINTS");
    acceptWord("PURGE");
  } else if (acceptWord("INDEX")) {
    s.kind = StatementKind::DropIndex;
    s.index = name();
  } else if (acceptWord("PROCEDURE")) {
    s.kind = StatementKind::DropProcedure;
    s.table = name();
  } else {
    fail(950, "invalid DROP option");
  }
  expectEnd();
  return s;
}

Statement Parser::alterStatement() {
  Statement s;
  s.kind = StatementKind::AlterSession;
  expectWord("SESSION", 940, "invalid ALTER command");
  expectWord("SET", 922, "missing or invalid option");
  const Token& p = next();
  if (p.kind != TokenKind::Identifier) fail(922, "missing or invalid option");
  s.parameter = p.text;
  expectOp("=");
  const Token& v = next();
  if (v.kind == TokenKind::End) fail(922, "missing or invalid option");
  s.value = v.text;
  expectEnd();
  return s;
}

Statement Parser::explainStatement() {
  Statement s;
  s.kind = StatementKind::ExplainPlan;
  expectWord("PLAN");
  if (acceptWord("SET")) {
    if (!acceptWord("STATEMENT_ID")) fail(905, "missing keyword");
    expectOp("=");
    const Token& id = next();
    if (id.kind != TokenKind::String) fail(905, "missing keyword");
    s.statementId = id.text;
  }
  if (acceptWord("INTO")) {
    Name schema;
    qualifiedTable(schema, s.intoTable);
  } else {
    s.intoTable = Name{"PLAN_TABLE", false};
  }
  expectWord("FOR");
  if (!startsQuery()) fail(3001, "unimplemented feature: EXPLAIN PLAN of a non-query");
  s.query = query();
  expectEnd();
  return s;
}

Statement Parser::procedureStatement(bool orReplace) {
  Statement s;
  s.kind = StatementKind::CreateProcedure;
  s.orReplace = orReplace;
  size_t begin = peek().begin;  // "PROCEDURE ..."
  expectWord("PROCEDURE");
  Name schema;
  qualifiedTable(schema, s.table);
  if (!isWord("IS") && !isWord("AS") && !isOp("(")) fail(905, "missing keyword");
  s.text = std::string(sql_.substr(begin));
  // A procedure body ends with END [name]; trailing blanks and '/' are tolerated.
  while (!s.text.empty() && (std::isspace((unsigned char)s.text.back()) || s.text.back() == '/'))
    s.text.pop_back();
  if (s.text.empty() || s.text.back() != ';')
    fail(6550, "line 1, column " + std::to_string(s.text.size()) +
                   ":\nPLS-00103: Encountered the symbol \"end-of-file\"");
  pos_ = toks_.size() - 1;
  return s;
}

Statement Parser::blockStatement() {
  Statement s;
  s.kind = StatementKind::Block;
  s.text = std::string(sql_);
  // Positions only grow while the block is read: count lines from the last one.
  size_t scanned = 0, line = 1, lineStart = 0;
  auto lineCol = [&](size_t off) {
    off = std::min(off, sql_.size());
    if (off < scanned) {
      scanned = lineStart = 0;
      line = 1;
    }
    for (; scanned < off; ++scanned)
      if (sql_[scanned] == '\n') ++line, lineStart = scanned + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(off - lineStart + 1);
  };
  auto plsFail = [&](const Token& t) {
    std::string sym = t.kind == TokenKind::End ? "end-of-file" : t.text;
    fail(6550, lineCol(t.begin) + ":\nPLS-00103: Encountered the symbol \"" + sym +
                   "\" when expecting one of the following");
  };
  if (isWord("DECLARE")) fail(3001, "unimplemented feature: DECLARE section in PL/SQL block");
  expectWord("BEGIN");
  while (!isWord("END")) {
    if (atEnd()) plsFail(peek());
    if (acceptWord("NULL")) {
      if (!acceptOp(";")) plsFail(peek());
      continue;
    }
    const Token& start = peek();
    if (start.kind != TokenKind::Identifier && start.kind != TokenKind::QuotedIdentifier)
      plsFail(start);
    if (isReservedWord(start.text) && start.kind == TokenKind::Identifier)
      fail(3001, "unimplemented feature: PL/SQL statement " + start.text);
    Call c;
    c.name = name();
    if (acceptOp(".")) {
      c.package = c.name;
      c.name = name();
    }
    c.position = lineCol(start.begin);
    if (acceptOp("(")) {
      if (!acceptOp(")")) {
        do c.args.push_back(expr());
        while (acceptOp(","));
        expectOp(")");
      }
    }
    if (isOp(":=")) fail(3001, "unimplemented feature: PL/SQL assignment");
    if (!acceptOp(";")) plsFail(peek());
    s.calls.push_back(std::move(c));
  }
  next();                                                          // END
  if (peek().kind == TokenKind::Identifier && !isOp(";")) next();  // END label
  if (!acceptOp(";")) plsFail(peek());
  acceptOp("/");
  if (!atEnd()) plsFail(peek());
  return s;
}

Statement Parser::statement() {
  if (atEnd()) fail(900, "invalid SQL statement");
  refuseUnimplemented(RefusalPlace::Statement);
  const Token& first = peek();
  if (first.kind == TokenKind::Operator && first.text == "(") {
    Statement s;
    s.query = query();
    expectEnd();
    return s;
  }
  if (first.kind != TokenKind::Identifier) fail(900, "invalid SQL statement");
  if (first.text == "SELECT" || first.text == "WITH") {
    Statement s;
    s.query = query();
    expectEnd();
    return s;
  }
  if (first.text == "BEGIN" || first.text == "DECLARE") return blockStatement();
  next();
  if (first.text == "INSERT") return insertStatement();
  if (first.text == "UPDATE") return updateStatement();
  if (first.text == "DELETE") return deleteStatement();
  if (first.text == "CREATE") return createStatement();
  if (first.text == "DROP") return dropStatement();
  if (first.text == "ALTER") return alterStatement();
  if (first.text == "EXPLAIN") return explainStatement();
  if (first.text == "COMMIT" || first.text == "ROLLBACK") {
    Statement s;
    s.kind = first.text == "COMMIT" ? StatementKind::Commit : StatementKind::Rollback;
    acceptWord("WORK");
    if (s.kind == StatementKind::Rollback && isWord("TO"))
      fail(3001, "unimplemented feature: ROLLBACK TO SAVEPOINT");
    expectEnd();
    return s;
  }
  fail(900, "invalid SQL statement");
}

}  // namespace

bool isReservedWord(std::string_view upper) { return contains(kReserved, upper); }

ast::Statement parseStatement(std::string_view sql) { return Parser(sql).statement(); }

ast::ExprPtr parseExpression(std::string_view sql) { return Parser(sql).expressionOnly(); }

}  // namespace korvo::engine
