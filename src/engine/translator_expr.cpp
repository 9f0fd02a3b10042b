// Expressions: names, literals, operators with Oracle's implicit conversions,
// functions and sub-queries.
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "engine/ast_print.h"
#include "engine/conditions.h"
#include "engine/function_table.h"
#include "engine/functions_utf8.h"
#include "engine/hierarchical.h"
#include "engine/nesting.h"
#include "engine/ora_error.h"
#include "engine/refusals.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

namespace {

[[noreturn]] void inconsistent(const char* expected, SqlType got) {
  throw OraError(932, std::string("inconsistent datatypes: expected ") + expected + " got " +
                          typeName(got));
}

Column metaFor(SqlType t) {
  Column c;
  c.type = typeName(t);
  if (t == SqlType::Text) c.length = 4000;
  return c;
}

TypedSql typed(std::string sql, SqlType t) { return typedSql(std::move(sql), t); }

// Widths of VARCHAR2 and CHAR count characters.
size_t characters(std::string_view text) { return utf8::decode(text).size(); }

bool validDateLiteral(const std::string& s, std::string& canonical) {
  int y, m, d;
  char tail;
  if (std::sscanf(s.c_str(), "%d-%d-%d%c", &y, &m, &d, &tail) != 3)
    return false;
  static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < -4712 || y > 9999 || y == 0 || m < 1 || m > 12 || d < 1 || d > days[m - 1]) return false;
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (m == 2 && d == 29 && !leap) return false;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d 00:00:00", y, m, d);
  canonical = buf;
  return true;
}

}  // namespace

bool padCharLiteral(const TypedSql& column, const TypedSql& literal, std::string& out) {
  if (!literal.literal || column.literal || column.meta.type != "CHAR" ||
      column.meta.length <= 0 || literal.sql.size() < 2 || literal.sql.front() != '\'')
    return false;
  std::string text = literal.sql.substr(1, literal.sql.size() - 2);  // quotes still doubled
  while (!text.empty() && text.back() == ' ') text.pop_back();
  size_t quotes = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '\'' && text[i + 1] == '\'') ++quotes, ++i;
  size_t chars = characters(text) - quotes;
  if (chars > size_t(column.meta.length)) return false;
  out = "'" + text + std::string(size_t(column.meta.length) - chars, ' ') + "'";
  return true;
}

TypedSql typedSql(std::string sql, SqlType t) {
  TypedSql r;
  r.sql = std::move(sql);
  r.type = t;
  r.meta = metaFor(t);
  return r;
}

std::string Translator::sortKey(const TypedSql& t) {
  // SQLite reads an integer constant (1, -0, +2 ...) in ORDER BY as a position;
  // only the bare number of the statement's text is one.
  if (t.literal && t.type == SqlType::Number) return "korvo_decimal(" + t.sql + ")";
  return t.sql;
}

std::string typeName(SqlType t) {
  switch (t) {
    case SqlType::Number: return "NUMBER";
    case SqlType::Date: return "DATE";
    case SqlType::Text: return "VARCHAR2";
    default: return "VARCHAR2";
  }
}

bool isAggregateName(const std::string& n) {
  const FunctionInfo* f = findFunction(n);
  return f && f->aggregate();
}

bool containsAggregate(const Expr& e, int depth) {
  checkTreeDepth(depth, "expression");
  const bool analytic = e.kind == ExprKind::Function && e.clauses && e.clauses->over;
  if (e.kind == ExprKind::Function && e.qualifier.empty() && !e.name.quoted &&
      isAggregateName(e.name.text) && !analytic)
    return true;
  for (const auto& a : e.args)
    if (a && containsAggregate(*a, depth + 1)) return true;
  if (analytic) {  // an analytic call groups nothing itself; its window may read groups
    for (const auto& p : e.clauses->partitionBy)
      if (containsAggregate(*p, depth + 1)) return true;
    for (const auto& o : e.clauses->orderBy)
      if (containsAggregate(*o.expr, depth + 1)) return true;
  }
  return false;
}

const SourceColumn* Source::column(const std::string& n, bool* ambiguous) const {
  const SourceColumn* found = nullptr;
  for (const auto& c : columns) {
    if (c.name != n) continue;
    if (found) {
      if (ambiguous) *ambiguous = true;
      return found;
    }
    found = &c;
  }
  return found;
}

std::string Translator::asText(const TypedSql& t) {
  switch (t.type) {
    case SqlType::Number: return "ora_num_to_char(" + t.sql + ", NULL)";
    case SqlType::Date: return "ora_date_to_char(" + t.sql + ", NULL)";
    default: return t.sql;
  }
}

std::string Translator::asNumber(const TypedSql& t) {
  switch (t.type) {
    case SqlType::Text: return "TO_NUMBER(" + t.sql + ")";
    case SqlType::Date: inconsistent("NUMBER", SqlType::Date);
    default: return t.sql;
  }
}

std::string Translator::asDate(const TypedSql& t) {
  switch (t.type) {
    case SqlType::Text: return "ora_to_date(" + t.sql + ", NULL)";
    case SqlType::Number: inconsistent("DATE", SqlType::Number);
    default: return t.sql;
  }
}

TypedSql Translator::column(const Expr& e, const Scope& scope) {
  const std::string& n = e.name.text;
  if ((n == "ROWID" || n == "ORA_ROWSCN") && !e.name.quoted)  // no table can have such a column
    throw OraError(3001, "unimplemented feature: " + n + " pseudo-column");
  for (const Scope* s = &scope; s; s = s->parent) {
    const Source* hit = nullptr;
    const SourceColumn* col = nullptr;
    for (const auto& src : s->sources) {
      if (!e.qualifier.empty() && src.name != e.qualifier.text) continue;
      bool ambiguous = false;
      const SourceColumn* c = src.column(n, &ambiguous);
      if (!c) continue;
      if (c->mergedBy) {
        if (e.qualifier.empty()) continue;  // read through the merged column
        throw OraError(c->mergedBy, c->mergedBy == 25154
                                        ? "column part of USING clause cannot have qualifier"
                                        : "column used in NATURAL join cannot have qualifier");
      }
      if (col || ambiguous) throw OraError(918);
      col = c;
      hit = &src;
    }
    if (col) {
      TypedSql r;
      r.sql = hit->sqlAlias.empty() ? col->sqlName : hit->sqlAlias + "." + col->sqlName;
      r.type = col->type;
      r.fixedChar = col->fixedChar;
      r.meta = col->meta;
      r.meta.name = col->name;
      if (hit->optional) r.meta.nullable = true;
      return r;
    }
    if (!e.qualifier.empty()) {
      bool sourceExists = false;
      for (const auto& src : s->sources) sourceExists = sourceExists || src.name == e.qualifier.text;
      if (sourceExists)
        throw OraError(904, "\"" + e.qualifier.text + "\".\"" + n + "\": invalid identifier");
    }
  }
  if (!e.qualifier.empty())
    throw OraError(904, "\"" + e.qualifier.text + "\".\"" + n + "\": invalid identifier");
  throw OraError(904, "\"" + n + "\": invalid identifier");
}

TypedSql Translator::comparison(const std::string& op, TypedSql l, TypedSql r) {
  refuseIntervalValue(l);
  refuseIntervalValue(r);
  std::string ls = l.sql, rs = r.sql;
  if (l.type == SqlType::Date || r.type == SqlType::Date) {
    ls = l.type == SqlType::Date ? l.sql : asDate(l);
    rs = r.type == SqlType::Date ? r.sql : asDate(r);
  } else if (l.type == SqlType::Number || r.type == SqlType::Number) {
    ls = asNumber(l);
    rs = asNumber(r);
  } else if (l.fixedChar && r.fixedChar && !(l.literal && r.literal)) {
    // CHAR against CHAR or a literal compares blank-padded. A CHAR(n) column holds
    // its values padded to n, so a literal padded the same way compares directly
    // (and lets SQLite use an index).
    if (padCharLiteral(l, r, rs) || padCharLiteral(r, l, ls)) {
      // done
    } else {
      ls = "RTRIM(" + l.sql + ", ' ')";
      rs = "RTRIM(" + r.sql + ", ' ')";
    }
  }
  TypedSql out = typed("(" + ls + " " + op + " " + rs + ")", SqlType::Number);
  out.aggregate = l.aggregate || r.aggregate;
  return out;
}

TypedSql Translator::binary(const std::string& op, TypedSql l, TypedSql r) {
  if (l.interval || r.interval) {
    if (op == "+" || op == "-") return intervalArithmetic(op, l, r);
    refuseIntervalValue(l.interval ? l : r);
  }
  TypedSql out;
  if (op == "AND" || op == "OR") {
    out = typed("(" + l.sql + " " + op + " " + r.sql + ")", SqlType::Number);
  } else if (op == "=" || op == "<>" || op == "<" || op == "<=" || op == ">" || op == ">=") {
    return comparison(op == "<>" ? "<>" : op, l, r);
  } else if (op == "||") {
    out = typed("ora_concat(" + asText(l) + ", " + asText(r) + ")", SqlType::Text);
  } else if (op == "+" || op == "-") {
    bool ld = l.type == SqlType::Date, rd = r.type == SqlType::Date;
    if (ld && rd && op == "+") throw OraError(975);
    if (ld && rd) {
      out = typed("ora_date_diff(" + l.sql + ", " + r.sql + ")", SqlType::Number);
    } else if (ld) {
      std::string n = asNumber(r);
      out = typed("ora_date_add(" + l.sql + ", " + (op == "-" ? "-(" + n + ")" : n) + ")",
                  SqlType::Date);
    } else if (rd) {
      if (op == "-") inconsistent("DATE", SqlType::Number);
      out = typed("ora_date_add(" + r.sql + ", " + asNumber(l) + ")", SqlType::Date);
    } else {
      out = typed("korvo_decimal(" + asNumber(l) + " " + op + " " + asNumber(r) + ")",
                  SqlType::Number);
    }
  } else if (op == "*") {
    out = typed("korvo_decimal(" + asNumber(l) + " * " + asNumber(r) + ")", SqlType::Number);
  } else if (op == "/") {
    out = typed("korvo_decimal(ora_div(" + asNumber(l) + ", " + asNumber(r) + "))",
                SqlType::Number);
  } else {
    throw OraError(3001, "unimplemented feature: operator " + op);
  }
  out.aggregate = l.aggregate || r.aggregate;
  return out;
}

TypedSql Translator::subquery(const Expr& e, const Scope& scope) {
  TranslatedQuery q = query(*e.query, &scope);
  if (q.columns.size() > 1) throw OraError(913);
  const Query& inner = *e.query;
  bool plain = inner.kind == Query::Kind::Select && !inner.core.distinct &&
               inner.core.groupBy.empty() && inner.orderBy.empty() && !inner.core.having;
  bool singleAggregate = plain && containsAggregate(*inner.core.items[0].expr);
  TypedSql r;
  if (singleAggregate) {
    r.sql = "(" + q.sql + ")";
  } else {
    // Oracle refuses a second row (ORA-01427); SQLite would take the first.
    std::string a = newAlias();
    // a query with its own LIMIT (ROWNUM, FETCH FIRST) is limited again from outside
    std::string rows = q.limited ? "SELECT * FROM (" + q.sql + ")" : q.sql;
    r.sql = "(SELECT korvo_single_row(" + a + ".c1) FROM (" + rows + " LIMIT 2) AS " + a + ")";
  }
  r.type = q.types[0];
  r.fixedChar = q.fixedChar[0];
  r.meta = q.columns[0];
  r.meta.nullable = true;
  return r;
}

TypedSql Translator::function(const Expr& e, const Scope& scope, bool allowAggregates) {
  const std::string& fname = e.name.text;
  if (!e.qualifier.empty() || e.name.quoted)
    throw OraError(904, "\"" + (e.qualifier.empty() ? "" : e.qualifier.text + "\".\"") + fname +
                            "\": invalid identifier");
  // the forms with a syntax of their own: a condition as argument, CAST(x AS type)
  if (fname == "LNNVL") return lnnvl(e, scope, allowAggregates);
  if (fname == "CAST" && !e.text.empty()) return cast(e, scope, allowAggregates);
  if (TypedSql special; clauseFunction(e, scope, allowAggregates, special)) return special;
  const FunctionInfo* f = findFunction(fname);
  if (!f && isUnimplementedOracleFunction(fname))
    throw OraError(3001, "unimplemented feature: function " + fname);
  if (!f) throw OraError(904, "\"" + fname + "\": invalid identifier");
  if (f->kind == FunctionKind::AnalyticOnly) throw OraError(30484);
  int n = int(e.args.size());
  if (n < f->minArgs || (f->maxArgs >= 0 && n > f->maxArgs))
    throw OraError(909);
  if (f->aggregate() && !allowAggregates)
    throw OraError(934);
  if (f->aggregate())
    for (const auto& a : e.args)
      if (a->kind != ExprKind::Star && containsAggregate(*a)) nestedArgument(*a, scope);
  if (e.distinct && !f->aggregate()) throw OraError(30482);

  const bool star = fname == "COUNT" && e.args[0]->kind == ExprKind::Star;
  std::vector<TypedSql> args;
  if (!star) {
    // A group function reads the rows' own values: no analytics, no rolled-up NULLs.
    const bool analytics = analyticsAllowed_, grouped = substituteGroups_;
    if (f->aggregate()) analyticsAllowed_ = substituteGroups_ = false;
    for (const auto& a : e.args) {
      if (a->kind == ExprKind::Star) throw OraError(936);
      args.push_back(expr(*a, scope, allowAggregates && !f->aggregate()));
      refuseIntervalValue(args.back());
    }
    analyticsAllowed_ = analytics;
    substituteGroups_ = grouped;
  }
  TypedSql r = f->translate(FunctionCall{*f, args, e.distinct, star, {}});
  r.aggregate = f->aggregate();
  for (const auto& a : args) r.aggregate = r.aggregate || a.aggregate;
  return r;
}

// LNNVL(condition): true when its condition is false or unknown.
TypedSql Translator::lnnvl(const Expr& e, const Scope& scope, bool allowAggregates) {
  if (e.args.size() != 1) throw OraError(909);
  if (!isCondition(*e.args[0])) throw OraError(920);
  TypedSql c = expr(*e.args[0], scope, allowAggregates);
  TypedSql r = typed("(NOT coalesce(" + c.sql + ", 0))", SqlType::Number);
  r.aggregate = c.aggregate;
  return r;
}

TypedSql Translator::exprNode(const Expr& e, const Scope& scope, bool allowAggregates) {
  NestingGuard guard(depth_, kMaxTreeDepth, "expression");
  TypedSql walked;  // LEVEL, PRIOR ... inside a CONNECT BY block
  if (scope.hierarchy && scope.hierarchy->translate(*this, e, scope, walked)) return walked;
  switch (e.kind) {
    case ExprKind::Number:
    case ExprKind::String:
    case ExprKind::Null:
    case ExprKind::DateLiteral: return literal(e);
    case ExprKind::Interval: return interval(e);
    case ExprKind::Column:
      if (e.outerJoin && !ignoreOuterMarks_)
        throw OraError(1705);
      return column(e, scope);
    case ExprKind::Star: throw OraError(936);
    case ExprKind::Pseudo: return pseudoColumn(e);
    case ExprKind::Unary: return unary(e, scope, allowAggregates);
    case ExprKind::Binary: return chain(e, scope, allowAggregates);
    case ExprKind::Like: return like(e, scope, allowAggregates);
    case ExprKind::Between: return between(e, scope, allowAggregates);
    case ExprKind::InList: return inList(e, scope, allowAggregates);
    case ExprKind::InQuery: return inQuery(e, scope, allowAggregates);
    case ExprKind::IsNull: return isNull(e, scope, allowAggregates);
    case ExprKind::Exists:
      return typed("EXISTS (" + query(*e.query, &scope).sql + ")", SqlType::Number);
    case ExprKind::Subquery: return subquery(e, scope);
    case ExprKind::Function: return function(e, scope, allowAggregates);
    case ExprKind::Case: return caseExpr(e, scope, allowAggregates);
    case ExprKind::Extract: return extract(e, scope, allowAggregates);
    case ExprKind::Row: throw OraError(920);
    case ExprKind::Quantified: return quantified(e, scope, allowAggregates);
  }
  throw OraError(936);
}

TypedSql Translator::literal(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Number: {
      if (!std::isfinite(std::strtod(e.text.c_str(), nullptr)))
        throw OraError(1426);
      TypedSql r = typed(e.text, SqlType::Number);
      r.literal = true;
      return r;
    }
    case ExprKind::String: {
      if (e.text.empty()) return typed("NULL", SqlType::Text);  // '' is NULL
      TypedSql r = typed(sqlString(e.text), SqlType::Text);
      r.literal = true;
      r.fixedChar = true;
      r.meta.type = "CHAR";
      r.meta.length = int(characters(e.text));
      return r;
    }
    case ExprKind::DateLiteral: {
      std::string canonical;
      if (!validDateLiteral(e.text, canonical))
        throw OraError(1861);
      TypedSql r = typed(sqlString(canonical), SqlType::Date);
      r.literal = true;
      return r;
    }
    default: return typed("NULL", SqlType::Unknown);
  }
}

// SYSDATE is fixed for the statement; LEVEL and the CONNECT BY pseudo-columns are
// read by the hierarchical block before this.
TypedSql Translator::pseudoColumn(const Expr& e) {
  if (e.text == "SYSDATE" || e.text == "CURRENT_DATE")
    return typed(sqlString(env_.sysdate), SqlType::Date);
  if (e.text == "LEVEL")
    throw OraError(1788);
  if (e.text == "USER") return typed(sqlString(env_.user), SqlType::Text);
  if (e.text == "UID") return typed("0", SqlType::Number);
  if (e.text == "ROWNUM" && !rownumSql_.empty()) return typed(rownumSql_, SqlType::Number);
  if (e.text == "ROWNUM")
    throw OraError(3001, "unimplemented feature: ROWNUM as a value in this clause");
  throw OraError(3001, "unimplemented feature: " + e.text);
}

TypedSql Translator::isNull(const Expr& e, const Scope& scope, bool allowAggregates) {
  TypedSql v = expr(*e.args[0], scope, allowAggregates);
  TypedSql r = typed("(" + v.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)"), SqlType::Number);
  r.aggregate = v.aggregate;
  return r;
}

TypedSql Translator::unary(const Expr& e, const Scope& scope, bool allowAggregates) {
  if (e.text == "PRIOR" || e.text == "CONNECT_BY_ROOT")
    throw OraError(3001, "unimplemented feature: " + e.text + " outside CONNECT BY");
  TypedSql a = expr(*e.args[0], scope, allowAggregates);
  refuseIntervalValue(a);
  if (e.text == "NOT") {
    TypedSql r = typed("(NOT " + a.sql + ")", SqlType::Number);
    r.aggregate = a.aggregate;
    return r;
  }
  TypedSql r = typed(e.text == "-" ? "(-" + asNumber(a) + ")" : asNumber(a), SqlType::Number);
  r.aggregate = a.aggregate;
  r.literal = a.literal;
  return r;
}

TypedSql Translator::like(const Expr& e, const Scope& scope, bool allowAggregates) {
  TypedSql v = expr(*e.args[0], scope, allowAggregates);
  TypedSql p = expr(*e.args[1], scope, allowAggregates);
  std::string s = "(" + asText(v) + (e.negated ? " NOT LIKE " : " LIKE ") + asText(p);
  if (e.args.size() > 2) {
    const Expr& esc = *e.args[2];
    if (esc.kind == ExprKind::String && characters(esc.text) != 1)
      throw OraError(1425);
    s += " ESCAPE " + expr(esc, scope).sql;
  }
  TypedSql r = typed(s + ")", SqlType::Number);
  r.aggregate = v.aggregate || p.aggregate;
  return r;
}

TypedSql Translator::between(const Expr& e, const Scope& scope, bool allowAggregates) {
  TypedSql v = expr(*e.args[0], scope, allowAggregates);
  TypedSql lo = expr(*e.args[1], scope, allowAggregates);
  TypedSql hi = expr(*e.args[2], scope, allowAggregates);
  TypedSql a = comparison(">=", v, lo);
  TypedSql b = comparison("<=", v, hi);
  TypedSql r = typed(std::string(e.negated ? "(NOT " : "(") + "(" + a.sql + " AND " + b.sql +
                         "))",
                     SqlType::Number);
  r.aggregate = a.aggregate || b.aggregate;
  return r;
}

TypedSql Translator::extract(const Expr& e, const Scope& scope, bool allowAggregates) {
  TypedSql v = expr(*e.args[0], scope, allowAggregates);
  static const char* fields[] = {"YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "SECOND"};
  bool ok = false;
  for (const char* f : fields) ok = ok || e.text == f;
  if (!ok) throw OraError(907);
  if (v.type == SqlType::Date && (e.text == "HOUR" || e.text == "MINUTE" || e.text == "SECOND"))
    throw OraError(30076);
  TypedSql r = typed("ora_extract('" + e.text + "', " + asDate(v) + ")", SqlType::Number);
  r.aggregate = v.aggregate;
  return r;
}

TypedSql Translator::inList(const Expr& e, const Scope& scope, bool allowAggregates) {
  TypedSql v = expr(*e.args[0], scope, allowAggregates);
  std::vector<TypedSql> items;
  bool agg = v.aggregate, numericItems = false;
  for (size_t i = 1; i < e.args.size(); ++i) {
    items.push_back(expr(*e.args[i], scope, allowAggregates));
    agg = agg || items.back().aggregate;
    numericItems = numericItems || items.back().type == SqlType::Number;
  }
  bool numeric = v.type == SqlType::Number || (v.type == SqlType::Text && numericItems);
  std::string s = "(" + (numeric ? asNumber(v) : v.sql) + (e.negated ? " NOT IN (" : " IN (");
  for (size_t i = 0; i < items.size(); ++i) {
    std::string is = numeric                      ? asNumber(items[i])
                     : v.type == SqlType::Date    ? asDate(items[i])
                     : v.type == SqlType::Text    ? asText(items[i])
                                                  : items[i].sql;
    if (!numeric && v.fixedChar) padCharLiteral(v, items[i], is);
    s += (i ? ", " : "") + is;
  }
  TypedSql r = typed(s + "))", SqlType::Number);
  r.aggregate = agg;
  return r;
}

TypedSql Translator::inQuery(const Expr& e, const Scope& scope, bool allowAggregates) {
  const Expr& lhsExpr = *e.args[0];
  std::string lhs;
  size_t width = 1;
  bool agg = false;
  std::vector<SqlType> lhsTypes;
  if (lhsExpr.kind == ExprKind::Row) {
    width = lhsExpr.args.size();
    lhs = "(";
    for (size_t i = 0; i < width; ++i) {
      TypedSql t = expr(*lhsExpr.args[i], scope, allowAggregates);
      agg = agg || t.aggregate;
      lhs += (i ? ", " : "") + t.sql;
      lhsTypes.push_back(t.type);
    }
    lhs += ")";
  } else {
    TypedSql t = expr(lhsExpr, scope, allowAggregates);
    agg = t.aggregate;
    lhs = t.sql;
    lhsTypes.push_back(t.type);
  }
  TranslatedQuery q = query(*e.query, &scope);
  if (q.columns.size() > width) throw OraError(913);
  if (q.columns.size() < width) throw OraError(947);
  std::string sub = q.sql;
  if (width == 1 && lhsTypes[0] == SqlType::Text && q.types[0] == SqlType::Number) {
    // text against numbers compares as numbers (ORA-01722 for a text that is none)
    lhs = asNumber(typed(lhs, SqlType::Text));
    lhsTypes[0] = SqlType::Number;
  }
  bool needsConversion = false;
  for (size_t i = 0; i < width; ++i)
    needsConversion = needsConversion || (lhsTypes[i] == SqlType::Number && q.types[i] == SqlType::Text) ||
                      (lhsTypes[i] == SqlType::Date && q.types[i] == SqlType::Text);
  if (needsConversion) {
    std::string a = newAlias();
    std::string cols;
    for (size_t i = 0; i < width; ++i) {
      TypedSql c = typed(a + ".c" + std::to_string(i + 1), q.types[i]);
      std::string cs = lhsTypes[i] == SqlType::Number ? asNumber(c)
                       : lhsTypes[i] == SqlType::Date ? asDate(c)
                                                      : c.sql;
      cols += (i ? ", " : "") + cs;
    }
    sub = "SELECT " + cols + " FROM (" + q.sql + ") AS " + a;
  }
  TypedSql r = typed("(" + lhs + (e.negated ? " NOT IN (" : " IN (") + sub + "))", SqlType::Number);
  r.aggregate = agg;
  return r;
}

TypedSql Translator::caseExpr(const Expr& e, const Scope& scope, bool allowAggregates) {
  std::string s = "CASE";
  size_t i = 0;
  TypedSql operand;
  bool agg = false;
  if (e.hasOperand) {
    operand = expr(*e.args[i++], scope, allowAggregates);
    agg = operand.aggregate;
  }
  size_t end = e.args.size() - (e.hasElse ? 1 : 0);
  SqlType t = SqlType::Unknown;
  bool fixedChar = false;
  for (; i + 1 < end + 1 && i < end; i += 2) {
    TypedSql w = expr(*e.args[i], scope, allowAggregates);
    TypedSql th = expr(*e.args[i + 1], scope, allowAggregates);
    refuseIntervalValue(th);
    agg = agg || w.aggregate || th.aggregate;
    if (e.hasOperand) requireSameType(operand.type, w.type);  // no conversion in a simple CASE
    if (e.hasOperand)
      s += " WHEN " + comparison("=", operand, w).sql;
    else
      s += " WHEN " + w.sql;
    requireSameType(t, th.type);  // the branches of one CASE share a type
    if (t == SqlType::Unknown) {
      t = th.type;
      fixedChar = th.fixedChar;
    }
    s += " THEN " + th.sql;
  }
  if (e.hasElse) {
    TypedSql el = expr(*e.args.back(), scope, allowAggregates);
    refuseIntervalValue(el);
    agg = agg || el.aggregate;
    requireSameType(t, el.type);
    if (t == SqlType::Unknown) t = el.type;
    s += " ELSE " + el.sql;
  }
  if (e.hasOperand) s = "CASE" + s.substr(4);
  TypedSql r = typed(s + " END", t);
  r.aggregate = agg;
  (void)fixedChar;  // a CASE result compares like VARCHAR2
  return r;
}

}  // namespace korvo::engine
