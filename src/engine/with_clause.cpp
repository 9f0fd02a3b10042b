// Subquery factoring (WITH name AS (query) ...): every use of a name reads its
// query as an inline view. A query sees only the names defined before it, so a
// name cannot reach itself (Oracle's recursive form is not supported).
#include <set>

#include "engine/ora_error.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

TranslatedQuery Translator::withClause(const Query& q, const Scope* outer) {
  std::set<std::string> names;
  for (const auto& ct : q.with)
    if (!names.insert(ct.name.text).second)
      throw OraError(32035, "unreferenced query name defined in WITH clause");
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
  // Translate the body alone: the factoring has been taken into account above.
  Query body;
  body.kind = q.kind;
  const TranslatedQuery* dummy = nullptr;
  (void)dummy;
  if (q.kind == Query::Kind::Compound) return compoundOrSelectWithoutWith(q, outer);
  return compoundOrSelectWithoutWith(q, outer);
}

}  // namespace korvo::engine
