// Grouping extensions and nested group functions.
//
// ROLLUP, CUBE and GROUPING SETS: the rows are joined to a numbered list of the
// grouping sets (column gs), and the block groups by gs and by every grouped
// expression, each one read as NULL in the sets that leave it out. One SELECT
// thus yields every set's groups, so its ORDER BY, HAVING and analytics work
// over the whole result. GROUPING(x) and GROUPING_ID(...) read gs.
//
// max(sum(sal)) ... GROUP BY deptno: the inner group functions (with whatever
// surrounds them) become the columns of a grouped inline view, which the
// outer group functions aggregate once more into one row.
#include <algorithm>
#include <functional>
#include <map>

#include "engine/nesting.h"
#include "engine/ora_error.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

struct GroupingPlan {
  std::vector<std::string> leaves;        // SQL of each grouped expression
  std::vector<std::string> shown;         // what it reads as in the result rows
  std::vector<std::vector<bool>> member;  // member[set][leaf]
  std::string setColumn;                  // alias.gs, 1 .. number of sets
};

struct NestedGroups {
  bool active = false;  // translating the outer level (select list, ORDER BY)
  std::string alias;
  std::vector<std::string> columns;      // "inner SQL AS nK"
  std::vector<const Expr*> arguments;    // the inner level, checked against GROUP BY
  std::map<const Expr*, TypedSql> read;  // inner argument -> the view's column
};

namespace {

constexpr size_t kMaxGroupingSets = 4096;
constexpr size_t kMaxCubeColumns = 12;
constexpr size_t kMaxGroupedExpressions = 255;  // keeps sets x expressions small

using Set = std::vector<size_t>;  // sorted leaf indices
using Sets = std::vector<Set>;

bool isConstruct(const Expr& e, const char* name) {
  return e.kind == ExprKind::Function && e.qualifier.empty() && !e.name.quoted &&
         e.name.text == name && !e.clauses;
}

bool isGroupingConstruct(const Expr& e) {
  return isConstruct(e, "ROLLUP") || isConstruct(e, "CUBE") || isConstruct(e, "GROUPING SETS") ||
         (e.kind == ExprKind::Row && e.args.empty());  // GROUP BY ()
}

[[noreturn]] void tooManyExpressions() {
  throw OraError(3001, "unimplemented feature: more than " +
                           std::to_string(kMaxGroupedExpressions) +
                           " grouped expressions with ROLLUP, CUBE or GROUPING SETS");
}

[[noreturn]] void tooManySets() {
  throw OraError(3001, "unimplemented feature: more than " + std::to_string(kMaxGroupingSets) +
                           " grouping sets");
}

Set unite(Set a, const Set& b) {
  a.insert(a.end(), b.begin(), b.end());
  std::sort(a.begin(), a.end());
  a.erase(std::unique(a.begin(), a.end()), a.end());
  return a;
}

// Every set of a combined with every set of b (GROUP BY a, b).
Sets product(const Sets& a, const Sets& b) {
  if (a.size() * b.size() > kMaxGroupingSets) tooManySets();
  Sets out;
  for (const Set& x : a)
    for (const Set& y : b) out.push_back(unite(x, y));
  return out;
}

// The grouping sets one GROUP BY element stands for.
class Expander {
 public:
  explicit Expander(std::function<size_t(const Expr&)> leaf) : leaf_(std::move(leaf)) {}

  Sets element(const Expr& e) {
    NestingGuard guard(depth_, kMaxTreeDepth, "expression");
    if (isConstruct(e, "ROLLUP") || isConstruct(e, "CUBE")) {
      if (e.args.empty()) throw OraError(936);
      if (e.args.size() > kMaxGroupedExpressions) tooManyExpressions();
      std::vector<Set> parts;
      for (const auto& a : e.args) parts.push_back(columns(*a));
      Sets out;
      if (isConstruct(e, "ROLLUP")) {
        // (a, b, c), (a, b), (a), ()
        out.push_back(Set{});
        for (const Set& p : parts) out.push_back(unite(out.back(), p));
        std::reverse(out.begin(), out.end());
        return out;
      }
      if (parts.size() > kMaxCubeColumns) tooManySets();
      for (size_t mask = (size_t(1) << parts.size()); mask-- > 0;) {
        Set s;
        for (size_t i = 0; i < parts.size(); ++i)
          if (mask & (size_t(1) << (parts.size() - 1 - i))) s = unite(std::move(s), parts[i]);
        out.push_back(std::move(s));
      }
      return out;
    }
    if (isConstruct(e, "GROUPING SETS")) {
      Sets out;
      for (const auto& a : e.args) {
        Sets more = a->kind == ExprKind::Row && a->args.empty() ? Sets{Set{}} : element(*a);
        if (out.size() + more.size() > kMaxGroupingSets) tooManySets();
        out.insert(out.end(), more.begin(), more.end());
      }
      return out;
    }
    if (e.kind == ExprKind::Row && e.args.empty()) return {Set{}};
    return {columns(e)};
  }

 private:
  // A composite column (a, b) is grouped or rolled up as one.
  Set columns(const Expr& e) {
    if (isGroupingConstruct(e)) throw OraError(907);
    Set s;
    if (e.kind == ExprKind::Row) {
      for (const auto& a : e.args) s = unite(std::move(s), {leaf_(*a)});
    } else {
      s.push_back(leaf_(e));
    }
    return s;
  }

  std::function<size_t(const Expr&)> leaf_;
  int depth_ = 0;
};

bool isAggregateCall(const Expr& e) {
  return e.kind == ExprKind::Function && e.qualifier.empty() && !e.name.quoted &&
         isAggregateName(e.name.text) && !(e.clauses && e.clauses->over);
}

// How deeply group functions nest in e (0: none).
int aggregateDepth(const Expr& e, int depth = 0) {
  checkTreeDepth(depth, "expression");
  int inner = 0;
  for (const auto& a : e.args)
    if (a) inner = std::max(inner, aggregateDepth(*a, depth + 1));
  return inner + (isAggregateCall(e) ? 1 : 0);
}

// With nested group functions the block is one group over the groups: every
// value must come from an outer group function.
void checkOuterLevel(const Expr& e, int depth = 0) {
  checkTreeDepth(depth, "expression");
  if (isAggregateCall(e)) {
    if (aggregateDepth(e) < 2) throw OraError(937);
    return;
  }
  if (e.kind == ExprKind::Column || e.kind == ExprKind::Star)
    throw OraError(937);
  if (e.kind == ExprKind::Function && e.clauses && e.clauses->over)
    throw OraError(3001, "unimplemented feature: analytic functions over nested group functions");
  for (const auto& a : e.args)
    if (a) checkOuterLevel(*a, depth + 1);
}

}  // namespace

TypedSql Translator::expr(const Expr& e, const Scope& scope, bool allowAggregates) {
  if (nested_) {
    auto hit = nested_->read.find(&e);
    if (hit != nested_->read.end()) return hit->second;
  }
  TypedSql r = exprNode(e, scope, allowAggregates);
  if ((grouping_ || !enclosingGroupings_.empty()) && substituteGroups_) groupedForm(r);
  return r;
}

void Translator::groupedForm(TypedSql& t) const {
  auto substitute = [&t](const GroupingPlan& g) {
    for (size_t i = 0; i < g.leaves.size(); ++i) {
      if (t.sql != g.leaves[i]) continue;
      if (g.shown[i] != t.sql) {
        t.sql = g.shown[i];
        t.meta.nullable = true;
        t.literal = false;
      }
      return true;
    }
    return false;
  };
  if (grouping_ && substitute(*grouping_)) return;
  // a literal leaf of an enclosing block is no reference to it
  if (t.literal) return;
  for (auto g = enclosingGroupings_.rbegin(); g != enclosingGroupings_.rend(); ++g)
    if (substitute(**g)) return;
}

std::string Translator::planGroupingSets(const SelectCore& c, const Scope& scope,
                                         std::set<std::string>& groups, std::string& from) {
  grouping_.reset();
  if (std::none_of(c.groupBy.begin(), c.groupBy.end(),
                   [](const ExprPtr& g) { return isGroupingConstruct(*g); }))
    return {};
  auto plan = std::make_shared<GroupingPlan>();
  std::vector<bool> literal;
  Expander expand([&](const Expr& e) {
    const TypedSql t = expr(e, scope, false);
    auto at = std::find(plan->leaves.begin(), plan->leaves.end(), t.sql);
    if (at != plan->leaves.end()) return size_t(at - plan->leaves.begin());
    if (plan->leaves.size() == kMaxGroupedExpressions) tooManyExpressions();
    plan->leaves.push_back(t.sql);
    literal.push_back(t.literal);
    return plan->leaves.size() - 1;
  });
  Sets sets{Set{}};
  for (const auto& g : c.groupBy) sets = product(sets, expand.element(*g));

  const std::string alias = newAlias();
  plan->setColumn = alias + ".gs";
  plan->member.assign(sets.size(), std::vector<bool>(plan->leaves.size(), false));
  for (size_t s = 0; s < sets.size(); ++s)
    for (size_t leaf : sets[s]) plan->member[s][leaf] = true;
  std::string groupBy = " GROUP BY " + plan->setColumn;
  for (size_t i = 0; i < plan->leaves.size(); ++i) {
    std::string in;
    for (size_t s = 0; s < sets.size(); ++s)
      if (plan->member[s][i]) in += (in.empty() ? "" : ", ") + std::to_string(s + 1);
    const bool everywhere = std::all_of(plan->member.begin(), plan->member.end(),
                                        [&](const std::vector<bool>& m) { return bool(m[i]); });
    plan->shown.push_back(everywhere   ? plan->leaves[i]
                          : in.empty() ? std::string("NULL")
                                       : "(CASE WHEN " + plan->setColumn + " IN (" + in +
                                             ") THEN " + plan->leaves[i] + " END)");
    groups.insert(plan->leaves[i]);
    groups.insert(plan->shown[i]);
    // SQLite would read a bare integer as a select-list position
    const bool bare = literal[i] && plan->shown[i] == plan->leaves[i];
    groupBy += ", " + (bare ? "(" + plan->shown[i] + "||'')" : plan->shown[i]);
  }
  from += ", (WITH RECURSIVE n(gs) AS (SELECT 1 UNION ALL SELECT gs + 1 FROM n WHERE gs < " +
          std::to_string(sets.size()) + ") SELECT gs FROM n) AS " + alias;
  grouping_ = std::move(plan);
  return groupBy;
}

TypedSql Translator::groupingFunction(const Expr& e, const Scope& scope) {
  const bool id = e.name.text == "GROUPING_ID";
  if (e.args.empty() || (!id && e.args.size() != 1))
    throw OraError(909);
  std::vector<size_t> leaves;
  {
    const bool saved = substituteGroups_, analytics = analyticsAllowed_;
    substituteGroups_ = analyticsAllowed_ = false;
    for (const auto& a : e.args) {
      if (a->kind == ExprKind::Star) throw OraError(936);
      const std::string sql = expr(*a, scope, false).sql;
      if (!grouping_) continue;
      auto at = std::find(grouping_->leaves.begin(), grouping_->leaves.end(), sql);
      if (at == grouping_->leaves.end()) throw OraError(979);
      leaves.push_back(size_t(at - grouping_->leaves.begin()));
    }
    substituteGroups_ = saved;
    analyticsAllowed_ = analytics;
  }
  TypedSql r = typedSql("0", SqlType::Number);  // a plain GROUP BY rolls nothing up
  r.meta.nullable = false;
  r.aggregate = true;
  r.literal = true;  // a constant: ORDER BY must not read it as a position
  if (!grouping_) return r;
  // One value per grouping set: bit k set when the k-th argument is rolled up.
  std::vector<long long> values;
  for (const auto& m : grouping_->member) {
    long long v = 0;
    for (size_t leaf : leaves) v = v * 2 + (m[leaf] ? 0 : 1);
    values.push_back(v);
  }
  if (std::all_of(values.begin(), values.end(), [&](long long v) { return v == values[0]; })) {
    r.sql = std::to_string(values[0]);
    return r;
  }
  r.literal = false;
  std::string s = "(CASE " + grouping_->setColumn;
  for (size_t k = 0; k < values.size(); ++k)
    s += " WHEN " + std::to_string(k + 1) + " THEN " + std::to_string(values[k]);
  r.sql = s + " END)";
  return r;
}

bool Translator::planNestedGroups(const Query& q) {
  const SelectCore& c = q.core;
  nested_.reset();
  int depth = 0;
  for (const auto& item : c.items) depth = std::max(depth, aggregateDepth(*item.expr));
  if (depth > 2) throw OraError(935);
  if (depth < 2) return false;
  if (c.groupBy.empty()) throw OraError(978);
  if (std::any_of(c.groupBy.begin(), c.groupBy.end(),
                  [](const ExprPtr& g) { return isGroupingConstruct(*g); }))
    throw OraError(3001,
                   "unimplemented feature: nested group functions with ROLLUP, CUBE or "
                   "GROUPING SETS");
  for (const auto& item : c.items) checkOuterLevel(*item.expr);
  for (const auto& o : q.orderBy) {
    const Expr& e = *o.expr;
    if (e.kind == ExprKind::Number) continue;  // a position
    const bool alias = e.kind == ExprKind::Column && e.qualifier.empty() &&
                       std::any_of(c.items.begin(), c.items.end(), [&](const SelectItem& i) {
                         return !i.alias.empty() && i.alias.text == e.name.text;
                       });
    if (!alias) checkOuterLevel(e);
  }
  nested_ = std::make_shared<NestedGroups>();
  nested_->alias = newAlias();
  nested_->active = true;
  return true;
}

TypedSql Translator::nestedArgument(const Expr& arg, const Scope& scope) {
  // the outer level is the select list and ORDER BY (where analytics would be allowed)
  if (!nested_ || !nested_->active || !analyticsAllowed_)
    throw OraError(935);
  auto known = nested_->read.find(&arg);
  if (known != nested_->read.end()) return known->second;
  nested_->active = false;  // the argument is the inner level
  TypedSql inner = expr(arg, scope, true);
  nested_->active = true;
  const std::string column = "n" + std::to_string(nested_->columns.size() + 1);
  nested_->columns.push_back(inner.sql + " AS " + column);
  nested_->arguments.push_back(&arg);
  TypedSql read = inner;
  read.sql = nested_->alias + "." + column;
  read.aggregate = false;
  read.literal = false;
  nested_->read[&arg] = read;
  return read;
}

std::string Translator::nestedFrom(const std::string& from, const std::string& innerClauses) {
  std::string cols;
  for (const auto& c : nested_->columns) cols += (cols.empty() ? "" : ", ") + c;
  return "(SELECT " + cols + " FROM " + from + innerClauses + ") AS " + nested_->alias;
}

void Translator::checkNestedGroups(const SelectCore&, const Scope& scope,
                                   const std::set<std::string>& groups) {
  nested_->active = false;
  for (const Expr* a : nested_->arguments) checkGrouped(*a, scope, groups, true);
}

}  // namespace korvo::engine
