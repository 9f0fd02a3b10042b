// JOIN ... USING and NATURAL JOIN (one merged column per joined name), and the
// OFFSET / FETCH FIRST row limits of a query.
#include "engine/ora_error.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

namespace {

struct Found {
  size_t source = 0;
  size_t column = 0;
};

std::string columnSql(const Source& s, const SourceColumn& c) {
  return s.sqlAlias.empty() ? c.sqlName : s.sqlAlias + "." + c.sqlName;
}

// The column an unqualified name reads among sources [from, to).
std::optional<Found> visibleColumn(const Scope& scope, size_t from, size_t to,
                                   const std::string& name) {
  std::optional<Found> hit;
  for (size_t s = from; s < to; ++s) {
    const auto& cols = scope.sources[s].columns;
    for (size_t c = 0; c < cols.size(); ++c) {
      if (cols[c].name != name || cols[c].mergedBy) continue;
      if (hit) throw OraError(918);
      hit = Found{s, c};
    }
  }
  return hit;
}

}  // namespace

std::string Translator::usingJoin(const JoinStep& j, Scope& scope, size_t leftStart,
                                  size_t rightStart) {
  const size_t end = scope.sources.size();
  std::vector<std::string> names;
  if (j.natural) {
    // every name both sides show, in the order of the left side
    for (size_t s = leftStart; s < rightStart; ++s)
      for (const auto& c : scope.sources[s].columns)
        if (!c.mergedBy && visibleColumn(scope, rightStart, end, c.name)) names.push_back(c.name);
  } else {
    for (const auto& n : j.usingColumns) {
      for (const auto& seen : names)
        if (seen == n.text) throw OraError(957);
      names.push_back(n.text);
    }
  }
  const int code = j.natural ? 25155 : 25154;
  Source merged;  // no name: the merged columns cannot be qualified
  std::vector<std::string> terms;
  for (const auto& n : names) {
    auto l = visibleColumn(scope, leftStart, rightStart, n);
    auto r = visibleColumn(scope, rightStart, end, n);
    if (!l || !r) throw OraError(904, "\"" + n + "\": invalid identifier");
    Source& ls = scope.sources[l->source];
    Source& rs = scope.sources[r->source];
    SourceColumn& lc = ls.columns[l->column];
    SourceColumn& rc = rs.columns[r->column];
    TypedSql lt = typedSql(columnSql(ls, lc), lc.type);
    TypedSql rt = typedSql(columnSql(rs, rc), rc.type);
    lt.fixedChar = lc.fixedChar;
    rt.fixedChar = rc.fixedChar;
    lt.meta = lc.meta;
    rt.meta = rc.meta;
    terms.push_back(comparison("=", lt, rt).sql);
    SourceColumn m = j.type == JoinType::Right ? rc : lc;
    m.sqlName = j.type == JoinType::Full    ? "coalesce(" + lt.sql + ", " + rt.sql + ")"
                : j.type == JoinType::Right ? rt.sql
                                            : lt.sql;
    m.meta.name = n;
    if (j.type == JoinType::Full) m.meta.nullable = lc.meta.nullable || rc.meta.nullable;
    lc.mergedBy = code;
    rc.mergedBy = code;
    merged.columns.push_back(std::move(m));
  }
  if (terms.empty()) return " ON 1";  // a NATURAL JOIN without shared names joins every row
  if (scope.sources.size() >= 64)
    throw OraError(3001, "unimplemented feature: more than 64 tables in one FROM clause");
  // the merged columns come first in SELECT *
  scope.sources.insert(scope.sources.begin() + long(leftStart), std::move(merged));
  return " ON " + conjunctionSql(std::move(terms));
}

void Translator::rowLimit(const Query& q, TranslatedQuery& out) {
  Scope none;  // the row counts are constants of the statement
  auto count = [&](const ExprPtr& e) {
    TypedSql t = expr(*e, none);
    // fractions are truncated, negatives and NULL count as none
    return "max(0, coalesce(CAST(trunc(" + asNumber(t) + ") AS INTEGER), 0))";
  };
  std::string limit = q.fetchRows ? count(q.fetchRows) : "-1";
  std::string offset = q.offsetRows ? " OFFSET " + count(q.offsetRows) : " OFFSET 0";
  if (out.limited) out.sql = "SELECT * FROM (" + out.sql + ")";
  out.sql += " LIMIT " + limit + offset;
  out.limited = true;
}

}  // namespace korvo::engine
