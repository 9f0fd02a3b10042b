// INSERT, UPDATE and DELETE: every written value passes the column checks of
// korvo_write, so types, widths, NOT NULL and NUMBER(p,s) behave as in Oracle.
#include <set>

#include "engine/ast_print.h"
#include "engine/dialect_types.h"
#include "engine/ora_error.h"
#include "engine/parser.h"
#include "engine/session_impl.h"

namespace korvo::engine {

using namespace ast;

namespace {

const char* kindCode(const std::string& type) {
  if (type == "VARCHAR2") return "V";
  if (type == "CHAR") return "C";
  if (isNumberType(type)) return "N";
  if (type == "DATE") return "D";
  return "L";
}

const CatalogTable& targetTable(Catalog& catalog, const Statement& s, const std::string& user) {
  if (!s.tableSchema.empty() && s.tableSchema.text != user)
    throw OraError(942);
  const CatalogTable* t = catalog.table(s.table.text);
  if (!t) throw OraError(942);
  return *t;
}

}  // namespace

std::string SessionImpl::writeValue(const TypedSql& v, const CatalogColumn& c,
                                    const std::string& table, bool isUpdate) {
  std::string value;
  if (c.type == "DATE") {
    value = Translator::asDate(v);
  } else if (isNumberType(c.type)) {
    if (v.type == SqlType::Date)
      throw OraError(932, "inconsistent datatypes: expected NUMBER got DATE");
    value = v.sql;
  } else {
    value = Translator::asText(v);
  }
  std::string precision = "NULL", scale = "NULL";
  if (c.type == "INTEGER") {
    precision = "38";
    scale = "0";
  } else if (c.type == "NUMBER" && c.precision) {
    precision = std::to_string(*c.precision);
    scale = std::to_string(c.scale.value_or(0));
  }
  return "korvo_write(" + value + ", '" + kindCode(c.type) + "', " + std::to_string(c.length) +
         ", " + precision + ", " + scale + ", " + (c.notNull ? "1" : "0") + ", " +
         sqlString(user_) + ", " + sqlString(table) + ", " + sqlString(c.name) + ", " +
         (isUpdate ? "1" : "0") + ")";
}

StatementResult SessionImpl::insert(const Statement& s) {
  const CatalogTable& table = targetTable(catalog_, s, user_);
  std::vector<int> targets;  // positions in table.columns, in the order values come
  if (s.columns.empty()) {
    for (size_t i = 0; i < table.columns.size(); ++i) targets.push_back(int(i));
  } else {
    std::set<int> seen;
    for (const auto& n : s.columns) {
      int i = table.columnIndex(n.text);
      if (i < 0) throw OraError(904, "\"" + n.text + "\": invalid identifier");
      if (!seen.insert(i).second) throw OraError(957);
      targets.push_back(i);
    }
  }
  TranslationEnv e = env();
  Translator t(e);
  Scope empty;
  std::vector<std::optional<TypedSql>> byColumn(table.columns.size());
  std::string from;
  if (s.query) {
    TranslatedQuery q = t.query(*s.query);
    if (q.columns.size() < targets.size()) throw OraError(947);
    if (q.columns.size() > targets.size()) throw OraError(913);
    std::string a = t.newAlias();
    for (size_t k = 0; k < targets.size(); ++k) {
      TypedSql v;
      v.sql = a + ".c" + std::to_string(k + 1);
      v.type = q.types[k];
      byColumn[size_t(targets[k])] = v;
    }
    from = " FROM (" + q.sql + ") AS " + a;
  } else {
    if (s.values.size() < targets.size()) throw OraError(947);
    if (s.values.size() > targets.size()) throw OraError(913);
    for (size_t k = 0; k < targets.size(); ++k)
      byColumn[size_t(targets[k])] = t.expr(*s.values[k], empty);
  }
  std::string cols, vals;
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const CatalogColumn& c = table.columns[i];
    TypedSql v;
    if (byColumn[i]) {
      v = *byColumn[i];
    } else if (!c.defaultSql.empty()) {
      v = t.expr(*parseExpression(c.defaultSql), empty);
    } else {
      v.sql = "NULL";
    }
    cols += (i ? ", " : "") + sqlName(c.name);
    vals += (i ? ", " : "") + writeValue(v, c, table.name, false);
  }
  std::string sql = "INSERT INTO " + sqlName(table.name) + " (" + cols + ") ";
  sql += s.query ? "SELECT " + vals + from : "VALUES (" + vals + ")";
  StatementResult r;
  r.verb = "INSERT";
  asStatement([&] {
    indexCorrelatedSubqueries(s);
    r.rowsAffected = run(sql);
  });
  return r;
}

StatementResult SessionImpl::update(const Statement& s) {
  const CatalogTable& table = targetTable(catalog_, s, user_);
  TranslationEnv e = env();
  Translator t(e);
  Scope scope;
  scope.sources.push_back(t.tableSource(table.name, s.alias.text));
  const Source& target = scope.sources.front();
  std::string sets;
  std::set<std::string> seen;
  for (const auto& a : s.assignments) {
    if (!a.qualifier.empty() && a.qualifier.text != target.name)
      throw OraError(904,
                     "\"" + a.qualifier.text + "\".\"" + a.column.text + "\": invalid identifier");
    const CatalogColumn* c = table.column(a.column.text);
    if (!c) throw OraError(904, "\"" + a.column.text + "\": invalid identifier");
    if (!seen.insert(c->name).second) throw OraError(957);
    TypedSql v = t.expr(*a.value, scope);
    sets +=
        (sets.empty() ? "" : ", ") + sqlName(c->name) + " = " + writeValue(v, *c, table.name, true);
  }
  std::string sql = "UPDATE " + sqlName(table.name) + " AS " + target.sqlAlias + " SET " + sets;
  if (s.where) sql += " WHERE " + t.expr(*s.where, scope).sql;
  StatementResult r;
  r.verb = "UPDATE";
  asStatement([&] {
    indexCorrelatedSubqueries(s);
    r.rowsAffected = run(sql);
  });
  return r;
}

StatementResult SessionImpl::remove(const Statement& s) {
  const CatalogTable& table = targetTable(catalog_, s, user_);
  TranslationEnv e = env();
  Translator t(e);
  Scope scope;
  scope.sources.push_back(t.tableSource(table.name, s.alias.text));
  std::string sql = "DELETE FROM " + sqlName(table.name) + " AS " + scope.sources[0].sqlAlias;
  if (s.where) sql += " WHERE " + t.expr(*s.where, scope).sql;
  StatementResult r;
  r.verb = "DELETE";
  asStatement([&] {
    indexCorrelatedSubqueries(s);
    r.rowsAffected = run(sql);
  });
  return r;
}

}  // namespace korvo::engine
