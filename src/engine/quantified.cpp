// x op ANY (...) and x op ALL (...), with Oracle's three-valued answers:
// ANY is TRUE when one comparison is TRUE, ALL is FALSE when one is FALSE, and
// otherwise a NULL comparison makes the answer NULL. SQLite has neither form.
#include "engine/ora_error.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

TypedSql Translator::quantified(const Expr& e, const Scope& scope, bool allowAggregates) {
  const bool all = e.name.text == "ALL";
  if (e.args[0]->kind == ExprKind::Row)
    throw OraError(3001, "unimplemented feature: row value with ANY or ALL");
  TypedSql lhs = expr(*e.args[0], scope, allowAggregates);
  TypedSql out;
  out.type = SqlType::Number;
  out.meta.type = "NUMBER";
  out.aggregate = lhs.aggregate;
  if (!e.query) {
    std::string s;
    for (size_t i = 1; i < e.args.size(); ++i) {
      TypedSql item = expr(*e.args[i], scope, allowAggregates);
      out.aggregate = out.aggregate || item.aggregate;
      s += (i > 1 ? (all ? " AND " : " OR ") : "") + comparison(e.text, lhs, item).sql;
    }
    out.sql = "(" + s + ")";
    return out;
  }
  TranslatedQuery q = query(*e.query, &scope);
  if (q.columns.size() > 1) throw OraError(913);
  std::string a = newAlias();
  TypedSql value;
  value.sql = a + ".c1";
  value.type = q.types[0];
  value.fixedChar = q.fixedChar[0];
  value.meta = q.columns[0];
  std::string cmp = comparison(e.text, lhs, value).sql;
  auto exists = [&](const std::string& cond) {
    return "EXISTS (SELECT 1 FROM (" + q.sql + ") AS " + a + " WHERE " + cond + ")";
  };
  if (all)
    out.sql = "(CASE WHEN " + exists("NOT " + cmp) + " THEN 0 WHEN " + exists(cmp + " IS NULL") +
              " THEN NULL ELSE 1 END)";
  else
    out.sql = "(CASE WHEN " + exists(cmp) + " THEN 1 WHEN " + exists(cmp + " IS NULL") +
              " THEN NULL ELSE 0 END)";
  return out;
}

}  // namespace korvo::engine
