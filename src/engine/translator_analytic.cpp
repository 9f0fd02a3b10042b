// Function calls with clauses after their arguments: analytic functions
// (OVER), LISTAGG ... WITHIN GROUP, KEEP (DENSE_RANK FIRST|LAST), and
// GROUPING/GROUPING_ID. Analytics become SQLite window functions; Oracle's
// default window (RANGE UNBOUNDED PRECEDING .. CURRENT ROW when ordered, ties
// included; the whole partition otherwise) is SQLite's as well.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "engine/function_table.h"
#include "engine/nesting.h"
#include "engine/ora_error.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

namespace {

[[noreturn]] void invalidWindow() {
  throw OraError(30486);
}

[[noreturn]] void notAllowedHere() {
  // Oracle's text has the two blanks
  throw OraError(30483);
}

// NULL is the largest value: last when ascending, first when descending.
std::string orderSuffix(const OrderItem& it) {
  const bool nullsFirst = it.nullsFirst ? *it.nullsFirst : it.descending;
  return std::string(it.descending ? " DESC" : " ASC") +
         (nullsFirst ? " NULLS FIRST" : " NULLS LAST");
}

// The direction string of ora_listagg / ora_keep: one A or D per key, then F or
// L when NULLS FIRST/LAST is written.
std::string directions(const std::vector<OrderItem>& items) {
  std::string s;
  for (const auto& it : items) {
    if (!s.empty()) s += ',';
    s += it.descending ? 'D' : 'A';
    if (it.nullsFirst) s += *it.nullsFirst ? 'F' : 'L';
  }
  return "'" + s + "'";
}

// Keeps a flag set for as long as it lives.
class FlagScope {
 public:
  FlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = saved_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

}  // namespace

std::string numberLiteralText(const std::string& sql) {
  std::string s;
  for (char ch : sql)
    if (ch != '(' && ch != ')' && ch != ' ') s += ch;
  return s;
}

bool containsAnalytic(const Expr& e, int depth) {
  checkTreeDepth(depth, "expression");
  if (e.kind == ExprKind::Function && e.clauses && e.clauses->over) return true;
  for (const auto& a : e.args)
    if (a && containsAnalytic(*a, depth + 1)) return true;
  return false;
}

bool Translator::clauseFunction(const Expr& e, const Scope& scope, bool allowAggregates,
                                TypedSql& out) {
  const std::string& name = e.name.text;
  const FunctionClauses* c = e.clauses.get();
  if (c && c->over) {
    out = analytic(e, scope, allowAggregates);
    return true;
  }
  if (name == "LISTAGG") {
    if (!allowAggregates) throw OraError(934);
    out = listagg(e, scope);
    return true;
  }
  if (c && !c->withinGroup.empty())
    throw OraError(3001, "unimplemented feature: WITHIN GROUP for " + name);
  if (c && c->keep) {
    if (!allowAggregates) throw OraError(934);
    out = keep(e, scope);
    return true;
  }
  if (name == "GROUPING" || name == "GROUPING_ID") {
    if (!allowAggregates) throw OraError(934);
    out = groupingFunction(e, scope);
    return true;
  }
  return false;
}

std::string Translator::windowSql(const FunctionClauses& c, const Scope& scope,
                                  bool allowAggregates, bool& aggregate, bool allowOrder) {
  if (!allowOrder && !c.orderBy.empty()) throw OraError(30487);
  std::string w;
  for (size_t i = 0; i < c.partitionBy.size(); ++i) {
    TypedSql p = expr(*c.partitionBy[i], scope, allowAggregates);
    aggregate = aggregate || p.aggregate;
    w += (i ? ", " : "PARTITION BY ") + p.sql;
  }
  const bool rangeOffset = c.frame && !c.frame->rows &&
                           (c.frame->start.offset || (c.frame->end && c.frame->end->offset));
  if (rangeOffset && c.orderBy.size() != 1) invalidWindow();
  if (c.frame) {
    // the end may not come before the start: CURRENT ROW .. n PRECEDING, n FOLLOWING ..
    // CURRENT ROW or n PRECEDING are no windows
    using K = FrameBound::Kind;
    const K start = c.frame->start.kind;
    const K end = c.frame->end ? c.frame->end->kind : K::CurrentRow;
    if ((start == K::CurrentRow && end == K::Preceding) ||
        (start == K::Following && (end == K::CurrentRow || end == K::Preceding)))
      invalidWindow();
  }
  SqlType keyType = SqlType::Unknown;  // of the one key a RANGE offset measures
  for (size_t i = 0; i < c.orderBy.size(); ++i) {
    TypedSql k = expr(*c.orderBy[i].expr, scope, allowAggregates);
    aggregate = aggregate || k.aggregate;
    keyType = k.type;
    if (rangeOffset && k.type == SqlType::Text)
      throw OraError(932, "inconsistent datatypes: expected NUMBER got CHAR");
    // RANGE n PRECEDING over dates counts days
    std::string key = rangeOffset && k.type == SqlType::Date ? "julianday(" + k.sql + ")"
                      : rangeOffset                          ? asNumber(k)
                                                             : sortKey(k);
    // A key that cannot be NULL sorts without a NULLS clause, which SQLite sorts faster.
    const OrderItem& item = c.orderBy[i];
    const std::string suffix = k.meta.nullable || item.nullsFirst
                                   ? orderSuffix(item)
                                   : std::string(item.descending ? " DESC" : " ASC");
    w += std::string(i ? ", " : (w.empty() ? "ORDER BY " : " ORDER BY ")) + key + suffix;
  }
  if (c.frame) {
    auto bound = [&](const FrameBound& b) -> std::string {
      switch (b.kind) {
        case FrameBound::Kind::UnboundedPreceding:
          return "UNBOUNDED PRECEDING";
        case FrameBound::Kind::CurrentRow:
          return "CURRENT ROW";
        case FrameBound::Kind::UnboundedFollowing:
          return "UNBOUNDED FOLLOWING";
        default:
          break;
      }
      TypedSql n = expr(*b.offset, scope, false);
      if (n.type == SqlType::Date)
        throw OraError(932, "inconsistent datatypes: expected NUMBER got DATE");
      if (n.interval) {
        // an interval measures a date key only, and a month has no fixed number of days
        const char* kind = n.interval == 1 ? "INTERVAL YEAR TO MONTH" : "INTERVAL DAY TO SECOND";
        if (c.frame->rows || keyType != SqlType::Date)
          throw OraError(932, std::string("inconsistent datatypes: expected NUMBER got ") + kind);
        if (n.interval == 1)
          throw OraError(3001, "unimplemented feature: RANGE offset of INTERVAL YEAR TO MONTH");
      }
      if (!n.literal)
        throw OraError(3001, "unimplemented feature: a window offset that is not a constant");
      if (n.type == SqlType::Number && std::strtod(numberLiteralText(n.sql).c_str(), nullptr) < 0)
        invalidWindow();
      return asNumber(n) + (b.kind == FrameBound::Kind::Preceding ? " PRECEDING" : " FOLLOWING");
    };
    const WindowFrame& f = *c.frame;
    w += std::string(f.rows ? " ROWS" : " RANGE") + " BETWEEN " + bound(f.start) + " AND " +
         (f.end ? bound(*f.end) : std::string("CURRENT ROW"));
  }
  return " OVER (" + w + ")";
}

TypedSql Translator::analytic(const Expr& e, const Scope& scope, bool allowAggregates) {
  if (!analyticsAllowed_) notAllowedHere();
  const FunctionClauses& c = *e.clauses;
  const std::string& name = e.name.text;
  if (c.keep || !c.withinGroup.empty() || name == "LISTAGG") {
    // LISTAGG and KEEP over a window take PARTITION BY only
    if (name == "LISTAGG" && c.withinGroup.empty()) throw OraError(2000);
    if (name != "LISTAGG" && !c.keep)
      throw OraError(3001, "unimplemented feature: WITHIN GROUP for " + name);
    FlagScope noNesting(analyticsAllowed_, false);
    bool aggregate = false;
    const std::string over = windowSql(c, scope, allowAggregates, aggregate, false);
    TypedSql r = name == "LISTAGG" ? listagg(e, scope, over) : keep(e, scope, over);
    r.aggregate = aggregate;
    return r;
  }
  const FunctionInfo* f = findFunction(name);
  if (!f || !f->translate) throw OraError(904, "\"" + name + "\": invalid identifier");
  if (f->kind == FunctionKind::Scalar) throw OraError(30484);  // not analytic
  const int n = int(e.args.size());
  if (n < f->minArgs || (f->maxArgs >= 0 && n > f->maxArgs))
    throw OraError(909);
  if (f->ranking && c.orderBy.empty())
    throw OraError(30485);
  if (f->ranking && c.frame) throw OraError(907);
  if (e.distinct) {
    if (!c.orderBy.empty()) throw OraError(30487);
    if (name != "COUNT" || n != 1 || e.args[0]->kind == ExprKind::Star)
      throw OraError(3001, "unimplemented feature: DISTINCT in an analytic function");
    return countDistinct(e, scope, allowAggregates);
  }

  // Arguments and window: no analytic inside an analytic.
  FlagScope noNesting(analyticsAllowed_, false);
  bool aggregate = false;
  std::vector<TypedSql> args;
  const bool countStar = name == "COUNT" && n == 1 && e.args[0]->kind == ExprKind::Star;
  if (!countStar)
    for (const auto& a : e.args) {
      if (a->kind == ExprKind::Star) throw OraError(936);
      args.push_back(expr(*a, scope, allowAggregates));
      aggregate = aggregate || args.back().aggregate;
    }
  const bool orderAllowed = name != "RATIO_TO_REPORT" && name != "MEDIAN";
  const std::string over = windowSql(c, scope, allowAggregates, aggregate, orderAllowed);
  TypedSql r = f->translate(FunctionCall{*f, args, false, countStar, over, c.ignoreNulls});
  r.aggregate = aggregate;
  return r;
}

// COUNT(DISTINCT x) OVER (PARTITION BY ...), which SQLite's windows cannot count:
// ranking x both ways (NULL as one more value) gives the distinct values plus one,
// less one more when the partition holds a NULL.
TypedSql Translator::countDistinct(const Expr& e, const Scope& scope, bool allowAggregates) {
  FlagScope noNesting(analyticsAllowed_, false);
  const TypedSql x = expr(*e.args[0], scope, allowAggregates);
  bool aggregate = x.aggregate;
  std::string partition;
  for (size_t i = 0; i < e.clauses->partitionBy.size(); ++i) {
    TypedSql p = expr(*e.clauses->partitionBy[i], scope, allowAggregates);
    aggregate = aggregate || p.aggregate;
    partition += (i ? ", " : "PARTITION BY ") + p.sql;
  }
  const std::string lead = partition.empty() ? "" : partition + " ";
  TypedSql r = typedSql("(dense_rank() OVER (" + lead + "ORDER BY " + x.sql +
                            " ASC NULLS LAST) + dense_rank() OVER (" + lead + "ORDER BY " + x.sql +
                            " DESC NULLS FIRST) - 1 - max(CASE WHEN " + x.sql +
                            " IS NULL THEN 1 ELSE 0 END) OVER (" + partition + "))",
                        SqlType::Number);
  r.aggregate = aggregate;
  r.meta.nullable = false;
  return r;
}

void Translator::checkAnalyticGrouped(const Expr& e, const Scope& scope,
                                      const std::set<std::string>& groups, bool hasGroupBy) {
  // An analytic runs over the groups: its arguments and window are grouped expressions.
  for (const auto& a : e.args)
    if (a && a->kind != ExprKind::Star) checkGrouped(*a, scope, groups, hasGroupBy);
  for (const auto& p : e.clauses->partitionBy) checkGrouped(*p, scope, groups, hasGroupBy);
  for (const auto& o : e.clauses->orderBy) checkGrouped(*o.expr, scope, groups, hasGroupBy);
}

TypedSql Translator::listagg(const Expr& e, const Scope& scope, const std::string& over) {
  if (!e.clauses || e.clauses->withinGroup.empty()) throw OraError(2000);
  if (e.clauses->keep) throw OraError(3001, "unimplemented feature: LISTAGG with KEEP");
  if (e.args.empty() || e.args.size() > 2) throw OraError(909);
  FlagScope noAnalytics(analyticsAllowed_, false);
  FlagScope rowValues(substituteGroups_, false);
  const TypedSql value = expr(*e.args[0], scope, false);
  std::string delimiter = "NULL";
  if (e.args.size() > 1) delimiter = asText(expr(*e.args[1], scope, false));
  std::string order = directions(e.clauses->withinGroup);
  if (e.distinct) order.insert(1, "!");  // each value once
  std::string sql = "ora_listagg(" + asText(value) + ", " + delimiter + ", " + order;
  for (const auto& k : e.clauses->withinGroup) {
    const TypedSql key = expr(*k.expr, scope, false);
    sql += ", " + key.sql;
  }
  TypedSql r = typedSql(sql + ")" + over, SqlType::Text);
  r.aggregate = true;
  return r;
}

TypedSql Translator::keep(const Expr& e, const Scope& scope, const std::string& over) {
  const std::string& name = e.name.text;
  static constexpr std::array<std::string_view, 5> kKept = {"MIN", "MAX", "SUM", "AVG", "COUNT"};
  if (std::find(kKept.begin(), kKept.end(), name) == kKept.end()) {
    if (!findFunction(name)) throw OraError(904, "\"" + name + "\": invalid identifier");
    throw OraError(3001, "unimplemented feature: KEEP for " + name);
  }
  if (e.args.size() != 1) throw OraError(909);
  if (e.distinct) throw OraError(30482);
  FlagScope noAnalytics(analyticsAllowed_, false);
  FlagScope rowValues(substituteGroups_, false);
  TypedSql value = e.args[0]->kind == ExprKind::Star ? typedSql("1", SqlType::Number)
                                                     : expr(*e.args[0], scope, false);
  if (e.args[0]->kind == ExprKind::Star && name != "COUNT")
    throw OraError(936);
  if (value.aggregate) throw OraError(935);
  const bool numeric = name == "SUM" || name == "AVG";
  std::string sql = "ora_keep('" + name + "', " + (numeric ? asNumber(value) : value.sql) + ", " +
                    (e.clauses->keepLast ? "'LAST'" : "'FIRST'") + ", " +
                    directions(e.clauses->keepOrder);
  for (const auto& k : e.clauses->keepOrder) sql += ", " + expr(*k.expr, scope, false).sql;
  sql += ")" + over;
  if (numeric) sql = "korvo_decimal(" + sql + ")";
  TypedSql r = typedSql(sql, name == "MIN" || name == "MAX" ? value.type : SqlType::Number);
  if ((name == "MIN" || name == "MAX") && value.type == SqlType::Text) r.meta = value.meta;
  r.meta.nullable = name != "COUNT";
  r.aggregate = true;
  return r;
}

}  // namespace korvo::engine
