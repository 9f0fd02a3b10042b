#include "engine/catalog.h"

#include <sqlite3.h>

#include "engine/dialect_types.h"
#include "engine/ora_error.h"
#include "engine/sql_statement.h"
#include "engine/sqlite_errors.h"

namespace korvo::engine {


void execSql(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errmsg(db);
    sqlite3_free(err);
    throw errorFromSqlite(msg);
  }
}

std::string sqlName(const std::string& name) {
  std::string s = "\"";
  for (char c : name) {
    if (c == '"') s += '"';
    s += c;
  }
  return s + "\"";
}

std::string sqlString(const std::string& v) {
  // SQLite reads a statement up to its first NUL: a NUL of the value is written
  // as char(0) between the quoted pieces.
  const bool nul = v.find('\0') != std::string::npos;
  std::string s = nul ? "('" : "'";
  for (char c : v) {
    if (c == '\0') {
      s += "'||char(0)||'";
      continue;
    }
    if (c == '\'') s += '\'';
    s += c;
  }
  return s + (nul ? "')" : "'");
}

const CatalogColumn* CatalogTable::column(const std::string& n) const {
  for (const auto& c : columns)
    if (c.name == n) return &c;
  return nullptr;
}

int CatalogTable::columnIndex(const std::string& n) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i].name == n) return int(i);
  return -1;
}

Catalog::Catalog(sqlite3* db) : db_(db) {}

const char* Catalog::storageType(const std::string& t) {
  if (isNumberType(t)) return "NUMERIC";
  return "TEXT";
}

void Catalog::ensureSchema() {
  execSql(db_,
          "CREATE TABLE IF NOT EXISTS _korvo_tables(name TEXT PRIMARY KEY, created TEXT);"
          "CREATE TABLE IF NOT EXISTS _korvo_columns(table_name TEXT, position INTEGER, "
          "name TEXT, type TEXT, length INTEGER, precision INTEGER, scale INTEGER, "
          "not_null INTEGER, default_sql TEXT, PRIMARY KEY(table_name, position));"
          "CREATE TABLE IF NOT EXISTS _korvo_indexes(name TEXT PRIMARY KEY, table_name TEXT, "
          "uniq INTEGER, columns TEXT, created TEXT);"
          "CREATE TABLE IF NOT EXISTS _korvo_source(name TEXT, line INTEGER, text TEXT, "
          "created TEXT, PRIMARY KEY(name, line));"
          "CREATE TABLE IF NOT EXISTS _korvo_meta(key TEXT PRIMARY KEY, value TEXT);");
}

void Catalog::refreshIfChanged() {
  SqlStatement st(db_, "PRAGMA data_version");
  st.step();
  long long v = st.integer(0);
  if (v != dataVersion_) {
    loaded_ = false;
    dataVersion_ = v;
  }
}

void Catalog::load() {
  if (loaded_) return;
  tables_.clear();
  indexes_.clear();
  {
    SqlStatement st(db_, "SELECT name FROM _korvo_tables");
    while (st.step()) tables_[st.textOrEmpty(0)].name = st.textOrEmpty(0);
  }
  {
    SqlStatement st(db_,
            "SELECT table_name, name, type, length, precision, scale, not_null, default_sql "
            "FROM _korvo_columns ORDER BY table_name, position");
    while (st.step()) {
      auto it = tables_.find(st.textOrEmpty(0));
      if (it == tables_.end()) continue;
      CatalogColumn c;
      c.name = st.textOrEmpty(1);
      c.type = st.textOrEmpty(2);
      c.length = int(st.integer(3));
      if (!st.isNull(4)) c.precision = int(st.integer(4));
      if (!st.isNull(5)) c.scale = int(st.integer(5));
      c.notNull = st.integer(6) != 0;
      c.defaultSql = st.textOrEmpty(7);
      it->second.columns.push_back(std::move(c));
    }
  }
  {
    SqlStatement st(db_, "SELECT name, table_name, uniq, columns FROM _korvo_indexes");
    while (st.step()) {
      CatalogIndex i;
      i.name = st.textOrEmpty(0);
      i.table = st.textOrEmpty(1);
      i.unique = st.integer(2) != 0;
      std::string cols = st.textOrEmpty(3);
      size_t b = 0;
      while (b <= cols.size()) {
        size_t e = cols.find('\x1f', b);
        if (e == std::string::npos) e = cols.size();
        if (e > b) i.columns.push_back(cols.substr(b, e - b));
        b = e + 1;
      }
      indexes_[i.name] = std::move(i);
    }
  }
  loaded_ = true;
}

const CatalogTable* Catalog::table(const std::string& name) {
  load();
  auto it = tables_.find(name);
  return it == tables_.end() ? nullptr : &it->second;
}

const CatalogIndex* Catalog::index(const std::string& name) {
  load();
  auto it = indexes_.find(name);
  return it == indexes_.end() ? nullptr : &it->second;
}

std::vector<const CatalogIndex*> Catalog::indexesOf(const std::string& table) {
  load();
  std::vector<const CatalogIndex*> out;
  for (const auto& [n, i] : indexes_)
    if (i.table == table) out.push_back(&i);
  return out;
}

void Catalog::addTable(const CatalogTable& t) {
  {
    SqlStatement st(db_, "INSERT INTO _korvo_tables(name, created) VALUES(?, datetime('now','localtime'))");
    st.bind(1, t.name);
    st.step();
  }
  for (size_t i = 0; i < t.columns.size(); ++i) {
    const auto& c = t.columns[i];
    SqlStatement st(db_,
            "INSERT INTO _korvo_columns(table_name, position, name, type, length, precision, "
            "scale, not_null, default_sql) VALUES(?,?,?,?,?,?,?,?,?)");
    st.bind(1, t.name);
    st.bind(2, (long long)i + 1);
    st.bind(3, c.name);
    st.bind(4, c.type);
    st.bind(5, (long long)c.length);
    st.bindOptional(6, c.precision);
    st.bindOptional(7, c.scale);
    st.bind(8, (long long)(c.notNull ? 1 : 0));
    st.bind(9, c.defaultSql);
    st.step();
  }
  loaded_ = false;
}

void Catalog::removeTable(const std::string& name) {
  for (const char* sql : {"DELETE FROM _korvo_tables WHERE name = ?",
                          "DELETE FROM _korvo_columns WHERE table_name = ?",
                          "DELETE FROM _korvo_indexes WHERE table_name = ?"}) {
    SqlStatement st(db_, sql);
    st.bind(1, name);
    st.step();
  }
  loaded_ = false;
}

void Catalog::addIndex(const CatalogIndex& i) {
  std::string cols;
  for (size_t k = 0; k < i.columns.size(); ++k) cols += (k ? "\x1f" : "") + i.columns[k];
  SqlStatement st(db_,
          "INSERT INTO _korvo_indexes(name, table_name, uniq, columns, created) "
          "VALUES(?,?,?,?, datetime('now','localtime'))");
  st.bind(1, i.name);
  st.bind(2, i.table);
  st.bind(3, (long long)(i.unique ? 1 : 0));
  st.bind(4, cols);
  st.step();
  loaded_ = false;
}

void Catalog::removeIndex(const std::string& name) {
  SqlStatement st(db_, "DELETE FROM _korvo_indexes WHERE name = ?");
  st.bind(1, name);
  st.step();
  loaded_ = false;
}

bool Catalog::hasProcedure(const std::string& name) {
  SqlStatement st(db_, "SELECT 1 FROM _korvo_source WHERE name = ? LIMIT 1");
  st.bind(1, name);
  return st.step();
}

void Catalog::storeProcedure(const std::string& name, const std::string& text) {
  removeProcedure(name);
  size_t b = 0;
  long long line = 1;
  while (b <= text.size()) {
    size_t e = text.find('\n', b);
    std::string piece = text.substr(b, e == std::string::npos ? std::string::npos : e - b + 1);
    SqlStatement st(db_,
            "INSERT INTO _korvo_source(name, line, text, created) "
            "VALUES(?,?,?, datetime('now','localtime'))");
    st.bind(1, name);
    st.bind(2, line++);
    st.bind(3, piece);
    st.step();
    if (e == std::string::npos) break;
    b = e + 1;
  }
}

void Catalog::removeProcedure(const std::string& name) {
  SqlStatement st(db_, "DELETE FROM _korvo_source WHERE name = ?");
  st.bind(1, name);
  st.step();
}

}  // namespace korvo::engine
