// Oracle's (+) outer joins: the conjuncts of WHERE that mark a table become the
// ON clause of a LEFT JOIN of that table, emitted after every table it depends on.
#include <set>

#include "engine/nesting.h"
#include "engine/ora_error.h"
#include "engine/query_rewrites.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

namespace {

void collectColumns(const Expr& e, std::vector<const Expr*>& out, int depth = 0) {
  checkTreeDepth(depth, "expression");
  if (e.kind == ExprKind::Column) out.push_back(&e);
  for (const auto& a : e.args)
    if (a) collectColumns(*a, out, depth + 1);
}

bool marksUnderOrOrIn(const Expr& e, bool inside, int depth = 0) {
  checkTreeDepth(depth, "expression");
  bool here = inside || (e.kind == ExprKind::Binary && e.text == "OR") ||
              e.kind == ExprKind::InList || e.kind == ExprKind::InQuery;
  if (e.kind == ExprKind::Column && e.outerJoin) return inside;
  for (const auto& a : e.args)
    if (a && marksUnderOrOrIn(*a, here, depth + 1)) return true;
  return false;
}

bool hasMark(const Expr& e, int depth) {
  checkTreeDepth(depth, "expression");
  if (e.kind == ExprKind::Column && e.outerJoin) return true;
  for (const auto& a : e.args)
    if (a && hasMark(*a, depth + 1)) return true;
  return false;
}

void conjuncts(const Expr* e, std::vector<const Expr*>& out, int depth) {
  if (!e) return;
  checkTreeDepth(depth, "expression");
  if (e->kind == ExprKind::Binary && e->text == "AND") {
    for (const auto& a : e->args) conjuncts(a.get(), out, depth + 1);
    return;
  }
  out.push_back(e);
}

}  // namespace

bool hasOuterJoinMark(const Expr& e) { return hasMark(e, 0); }

void splitConjuncts(const Expr* e, std::vector<const Expr*>& out) { conjuncts(e, out, 0); }

int Translator::sourceIndexOf(const Expr& column, const Scope& scope) {
  bool saved = ignoreOuterMarks_;
  ignoreOuterMarks_ = true;
  TypedSql t = expr(column, scope);
  ignoreOuterMarks_ = saved;
  std::string alias = t.sql.substr(0, t.sql.find('.'));
  for (size_t i = 0; i < scope.sources.size(); ++i)
    if (scope.sources[i].sqlAlias == alias) return int(i);
  return -1;  // a column of an enclosing query
}

std::string Translator::planOuterJoins(const std::vector<std::string>& pieces, Scope& scope,
                                       std::vector<const Expr*>& conjuncts) {
  const size_t n = scope.sources.size();
  std::vector<std::vector<const Expr*>> on(n);
  std::vector<std::set<size_t>> drivers(n);
  std::vector<bool> optional(n, false);
  std::vector<const Expr*> remaining;
  for (const Expr* c : conjuncts) {
    if (!hasOuterJoinMark(*c)) {
      remaining.push_back(c);
      continue;
    }
    if (marksUnderOrOrIn(*c, false))
      throw OraError(1719);
    std::vector<const Expr*> columns;
    collectColumns(*c, columns);
    std::set<size_t> marked, others;
    for (const Expr* col : columns) {
      int i = sourceIndexOf(*col, scope);
      if (i < 0) {
        if (col->outerJoin)
          throw OraError(1705);
        continue;
      }
      (col->outerJoin ? marked : others).insert(size_t(i));
    }
    if (marked.size() > 1)
      throw OraError(1468);
    size_t t = *marked.begin();
    others.erase(t);
    on[t].push_back(c);
    drivers[t].insert(others.begin(), others.end());
    optional[t] = true;
  }
  std::string from;
  std::vector<bool> emitted(n, false);
  for (size_t i = 0; i < n; ++i) {
    if (optional[i]) continue;
    from += (from.empty() ? "" : ", ") + pieces[i];
    emitted[i] = true;
  }
  if (from.empty()) throw OraError(1416);
  for (;;) {
    bool progress = false, pending = false;
    for (size_t t = 0; t < n; ++t) {
      if (!optional[t] || emitted[t]) continue;
      pending = true;
      bool ready = true;
      for (size_t d : drivers[t]) ready = ready && emitted[d];
      if (!ready) continue;
      bool saved = ignoreOuterMarks_;
      ignoreOuterMarks_ = true;
      std::vector<std::string> terms;
      for (const Expr* c : on[t]) terms.push_back(expr(*c, scope).sql);
      std::string cond = conjunctionSql(std::move(terms));
      ignoreOuterMarks_ = saved;
      from += " LEFT JOIN " + pieces[t] + " ON " + cond;
      emitted[t] = true;
      scope.sources[t].optional = true;
      progress = true;
    }
    if (!pending) break;
    if (!progress) throw OraError(1416);
  }
  conjuncts = std::move(remaining);
  return from;
}

}  // namespace korvo::engine
