// Subquery factoring (WITH name AS (query) ...): every use of a name reads its
// query as an inline view. A query sees only the names defined before it; a name
// that reads itself is Oracle's recursive form (recursive_with.cpp).
#include <set>

#include "engine/ora_error.h"
#include "engine/recursive_with.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

TranslatedQuery Translator::withClause(const Query& q, const Scope* outer) {
  std::set<std::string> names;
  for (const auto& ct : q.with)
    if (!names.insert(ct.name.text).second)
      throw OraError(32035);
  auto savedCtes = ctes_;
  size_t savedVisible = cteVisible_;
  ctes_.resize(cteVisible_);
  for (const auto& ct : q.with) ctes_.push_back(&ct);
  cteVisible_ = ctes_.size();
  struct Restore {
    Translator& t;
    std::vector<const CommonTable*> ctes;
    size_t visible;
    ~Restore() {
      t.ctes_ = std::move(ctes);
      t.cteVisible_ = visible;
    }
  } restore{*this, std::move(savedCtes), savedVisible};
  bodyOf_ = &q;  // query() now translates the body, the factoring being in place
  return query(q, outer);
}

bool Translator::commonTableSource(const TableRef& t, Scope& scope, std::string& sql) {
  if (!t.schema.empty()) return false;
  if (recursiveSource(t, scope, sql)) return true;
  for (size_t i = cteVisible_; i-- > 0;) {
    const CommonTable& ct = *ctes_[i];
    if (ct.name.text != t.name.text) continue;
    // each reading copies the query into the SQL: names reading names twice over
    // would double it at every level
    if (++commonTableReads_ > kMaxCommonTableReads)
      throw OraError(3001, "unimplemented feature: WITH query names read more than " +
                               std::to_string(kMaxCommonTableReads) + " times in one statement");
    size_t savedVisible = cteVisible_;
    cteVisible_ = i;  // the query of a name sees only the names before it
    TranslatedQuery q;
    try {
      q = isRecursiveCommonTable(ct) ? recursiveCommonTable(ct) : query(*ct.query, nullptr);
    } catch (...) {
      cteVisible_ = savedVisible;
      throw;
    }
    cteVisible_ = savedVisible;
    if (!ct.columns.empty()) {
      if (ct.columns.size() != q.columns.size())
        throw OraError(32038,
                       "number of WITH clause column names does not match number of "
                       "elements in select list");
      for (size_t k = 0; k < q.columns.size(); ++k) q.columns[k].name = ct.columns[k].text;
    }
    Source s;
    s.name = t.alias.empty() ? ct.name.text : t.alias.text;
    s.sqlAlias = newAlias();
    for (size_t k = 0; k < q.columns.size(); ++k) {
      SourceColumn c;
      c.name = q.columns[k].name;
      c.sqlName = "c" + std::to_string(k + 1);
      c.type = q.types[k];
      c.fixedChar = q.fixedChar[k];
      c.meta = q.columns[k];
      s.columns.push_back(std::move(c));
    }
    sql = "(" + q.sql + ") AS " + s.sqlAlias;
    scope.sources.push_back(std::move(s));
    return true;
  }
  // The name being defined, read inside its own query with no anchor branch: the
  // recursive form needs a column list (32039), then UNION ALL (32040).
  if (cteVisible_ < ctes_.size() && ctes_[cteVisible_]->name.text == t.name.text)
    throw OraError(ctes_[cteVisible_]->columns.empty() ? 32039 : 32040);
  return false;
}

}  // namespace korvo::engine
