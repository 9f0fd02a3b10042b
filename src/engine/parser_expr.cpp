// Expressions: conditions, arithmetic, CASE, function calls with their analytic
// and aggregate clauses, primaries and interval literals.
#include "engine/parser_internal.h"

namespace korvo::engine::parsing {

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
    e->text = typeDeclaration(t, true);
    if (typeFamily(t.name) == TypeFamily::Long)
      fail(3001, "unimplemented feature: CAST AS " + t.name);
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
  do {
    e->args.push_back(expr());
    // FIRST_VALUE(x IGNORE NULLS), LAG(x IGNORE NULLS, 1): the older place of the words
    if (e->args.size() == 1 && nullsTreatment(*e, {"FIRST_VALUE", "LAST_VALUE", "LAG", "LEAD"}))
      continue;
  } while (acceptOp(","));
  if (isWord("ON") && isWord("OVERFLOW", 1)) fail(3001, "unimplemented feature: ON OVERFLOW");
  expectOp(")");
  return functionClauses(std::move(e));
}

// WITHIN GROUP (ORDER BY ...), KEEP (DENSE_RANK FIRST|LAST ORDER BY ...) and
// OVER (...) after a call's arguments; each only when "(" follows its words.

// RESPECT NULLS or IGNORE NULLS after a call of one of these functions; false when
// neither is here or the function takes none.
bool Parser::nullsTreatment(Expr& e, std::initializer_list<std::string_view> functions) {
  if (!(isWord("IGNORE") || isWord("RESPECT")) || !isWord("NULLS", 1) || !e.qualifier.empty() ||
      e.name.quoted || std::find(functions.begin(), functions.end(), e.name.text) == functions.end())
    return false;
  if (isWord("IGNORE")) {
    if (!e.clauses) e.clauses = std::make_shared<FunctionClauses>();
    e.clauses->ignoreNulls = true;
  }
  pos_ += 2;
  return true;
}

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
  if ((isWord("IGNORE") || isWord("RESPECT")) && isWord("NULLS", 1) &&
      !nullsTreatment(*e, {"FIRST_VALUE", "LAST_VALUE", "NTH_VALUE", "LAG", "LEAD"})) {
    if (isWord("IGNORE")) fail(3001, "unimplemented feature: IGNORE NULLS for " + e->name.text);
    if (isWord("OVER", 2)) pos_ += 2;  // RESPECT NULLS is the default
  }
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

}  // namespace korvo::engine::parsing
