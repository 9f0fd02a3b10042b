// CREATE/DROP TABLE and INDEX, CREATE TABLE ... AS SELECT, ALTER SESSION.
// DDL commits what is pending before it runs and commits itself, even when it fails.
#include <sqlite3.h>

#include <set>

#include "engine/ast_print.h"
#include "engine/dialect_types.h"
#include "engine/dictionary.h"
#include "engine/ora_error.h"
#include "engine/session_impl.h"
#include "engine/sql_statement.h"
#include "engine/sqlite_errors.h"
#include "engine/table_keys.h"

namespace korvo::engine {

using namespace ast;

namespace {

void checkOwnSchema(const Name& schema, const std::string& user) {
  if (!schema.empty() && schema.text != user) throw OraError(1031);
}

CatalogColumn columnFromQuery(const Column& c, SqlType t) {
  CatalogColumn out;
  out.name = c.name;
  out.notNull = !c.nullable;
  std::string type = c.type;
  if (t == SqlType::Unknown) throw OraError(1723);
  const TypeFamily family = typeFamily(type);
  if (t == SqlType::Number && family != TypeFamily::Number) type = "NUMBER";
  if (t == SqlType::Date) type = "DATE";
  if (t == SqlType::Text && family != TypeFamily::Character && family != TypeFamily::Long)
    type = "VARCHAR2";
  out.type = type;
  if (type == "VARCHAR2" || type == "CHAR") out.length = c.length > 0 ? c.length : 4000;
  if (type == "NUMBER" && c.precision > 0) {
    out.precision = c.precision;
    out.scale = c.scale;
  }
  return out;
}

}  // namespace

void SessionImpl::createTable(const Statement& s) {
  checkOwnSchema(s.tableSchema, user_);
  const std::string& name = s.table.text;
  CatalogTable table;
  table.name = name;
  std::string insertSql;
  std::shared_ptr<TemporaryTables> walks;  // CONNECT BY rows read by insertSql
  if (s.query) {
    TranslationEnv e = env();
    Translator t(e);
    TranslatedQuery q = t.query(*s.query);
    walks = q.temporaries;
    if (s.query->kind == Query::Kind::Select)
      for (size_t i = 0; i < s.query->core.items.size(); ++i) {
        const auto& item = s.query->core.items[i];
        if (item.alias.empty() && item.expr->kind != ExprKind::Column &&
            item.expr->kind != ExprKind::Star)
          throw OraError(998);
      }
    if (!s.columnDefs.empty() && s.columnDefs.size() != q.columns.size())
      throw OraError(1730);
    for (size_t i = 0; i < q.columns.size(); ++i) {
      CatalogColumn c = columnFromQuery(q.columns[i], q.types[i]);
      if (!s.columnDefs.empty()) c.name = s.columnDefs[i].name.text;
      table.columns.push_back(c);
    }
    std::string cols;
    for (size_t i = 0; i < table.columns.size(); ++i)
      cols += (i ? ", " : "") + sqlName(table.columns[i].name);
    insertSql = "INSERT INTO " + sqlName(name) + " (" + cols + ") " + q.sql;
  } else {
    for (const auto& d : s.columnDefs) {
      CatalogColumn c;
      c.name = d.name.text;
      c.type = d.type.name;
      c.length = d.type.length;
      c.precision = d.type.precision;
      c.scale = d.type.scale;
      c.notNull = d.notNull;
      if (d.defaultValue) c.defaultSql = toSql(*d.defaultValue);
      table.columns.push_back(c);
    }
  }
  std::set<std::string> names;
  for (const auto& c : table.columns)
    if (!names.insert(c.name).second) throw OraError(957);
  if (table.columns.size() > 1000)
    throw OraError(1792);
  asDdl([&] {
    const std::vector<CatalogIndex> keys = tableKeys(s.keys, table, catalog_);
    std::string viewSql;
    std::vector<SourceColumn> viewCols;
    TranslationEnv e = env();
    if (catalog_.table(name) || catalog_.hasProcedure(name) ||
        dictionaryView(name, e, viewSql, viewCols))
      throw OraError(955);
    std::string ddl = "CREATE TABLE " + sqlName(name) + " (";
    for (size_t i = 0; i < table.columns.size(); ++i)
      ddl += (i ? ", " : "") + sqlName(table.columns[i].name) + " " +
             Catalog::storageType(table.columns[i].type);
    ddl += ")";
    try {
      run(ddl);
    } catch (const OraError& err) {
      if (err.text().find("already exists") != std::string::npos)
        throw OraError(955);
      throw;
    }
    catalog_.addTable(table);
    for (const CatalogIndex& k : keys) {
      run(indexSql(k, table));
      catalog_.addIndex(k);
    }
    if (!insertSql.empty()) run(insertSql);
  });
}

void SessionImpl::createIndex(const Statement& s) {
  checkOwnSchema(s.tableSchema, user_);
  asDdl([&] {
    const CatalogTable* t = catalog_.table(s.table.text);
    if (!t) throw OraError(942);
    if (catalog_.index(s.index.text))
      throw OraError(955);
    CatalogIndex idx;
    idx.name = s.index.text;
    idx.table = t->name;
    idx.unique = s.unique;
    std::set<std::string> seen;
    for (const auto& c : s.columns) {
      if (!t->column(c.text)) throw OraError(904, "\"" + c.text + "\": invalid identifier");
      if (!seen.insert(c.text).second) throw OraError(957);
      idx.columns.push_back(c.text);
    }
    try {
      run(indexSql(idx, *t));
    } catch (const OraError& err) {
      if (err.code() == 1) throw OraError(1452);
      if (err.text().find("already exists") != std::string::npos)
        throw OraError(955);
      throw;
    }
    catalog_.addIndex(idx);
  });
}

void SessionImpl::dropTable(const Statement& s) {
  checkOwnSchema(s.tableSchema, user_);
  asDdl([&] {
    const CatalogTable* t = catalog_.table(s.table.text);
    if (!t) throw OraError(942);
    std::string name = t->name;
    run("DROP TABLE " + sqlName(name));
    catalog_.removeTable(name);
  });
}

void SessionImpl::dropIndex(const Statement& s) {
  asDdl([&] {
    if (!catalog_.index(s.index.text)) throw OraError(1418);
    run("DROP INDEX " + sqlName(s.index.text));
    catalog_.removeIndex(s.index.text);
  });
}

void SessionImpl::alterSession(const Statement& s) {
  const std::string& p = s.parameter;
  const std::string& v = s.value;
  if (p == "NLS_NUMERIC_CHARACTERS") {
    bool ok = v.size() == 2 && v[0] != v[1];
    for (char c : v)
      ok = ok && !std::isdigit((unsigned char)c) && c != '+' && c != '-' && c != '<' && c != '>';
    if (!ok) throw OraError(12705);
    nls_.decimalSeparator = v[0];
    nls_.groupSeparator = v[1];
  } else if (p == "NLS_DATE_FORMAT") {
    // The format must be one the date formatter understands (ORA-01821 otherwise).
    try {
      SqlStatement st(db_.get(), "SELECT ora_date_to_char('2000-01-01 00:00:00', ?)");
      st.bind(1, v);
      if (!st.step()) throw OraError(1821);
    } catch (const OraError& err) {
      if (err.code() == 600) throw OraError(1821);
      throw;
    }
    nls_.dateFormat = v;
  } else if (p == "NLS_TIMESTAMP_FORMAT") {
    nls_.timestampFormat = v;
  } else if (p == "NLS_TIMESTAMP_TZ_FORMAT") {
    nls_.timestampTzFormat = v;
  } else if (p == "OPTIMIZER_MODE") {
    static const std::set<std::string> modes = {
        "ALL_ROWS",       "FIRST_ROWS",      "FIRST_ROWS_1", "FIRST_ROWS_10",
        "FIRST_ROWS_100", "FIRST_ROWS_1000", "CHOOSE",       "RULE"};
    std::string upper = v;
    for (auto& c : upper) c = char(std::toupper((unsigned char)c));
    if (!modes.count(upper))
      throw OraError(96, "invalid value " + v + " for parameter optimizer_mode");
    nls_.optimizerMode = upper;
  } else if (p == "NLS_LANGUAGE" || p == "NLS_TERRITORY" || p == "NLS_SORT" || p == "NLS_COMP") {
    std::string upper = v;
    for (auto& c : upper) c = char(std::toupper((unsigned char)c));
    bool supported = upper == "AMERICAN" || upper == "AMERICA" || upper == "BINARY";
    if (!supported)
      throw OraError(3001, "unimplemented feature: " + p + " other than AMERICAN/BINARY");
  } else {
    throw OraError(2248);
  }
}

}  // namespace korvo::engine
