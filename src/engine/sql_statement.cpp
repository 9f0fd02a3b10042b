#include "engine/sql_statement.h"

#include <sqlite3.h>

#include "engine/sqlite_errors.h"

namespace korvo::engine {

SqlStatement::SqlStatement(sqlite3* db, const std::string& sql) : db_(db) {
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK) {
    std::string msg = sqlite3_errmsg(db);
    sqlite3_finalize(st_);
    st_ = nullptr;
    throw errorFromSqlite(msg);
  }
}

SqlStatement::~SqlStatement() { sqlite3_finalize(st_); }

bool SqlStatement::step() {
  int rc = sqlite3_step(st_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  std::string msg = sqlite3_errmsg(db_);
  sqlite3_reset(st_);
  throw errorFromSqlite(msg);
}

void SqlStatement::reset() {
  sqlite3_reset(st_);
  sqlite3_clear_bindings(st_);
}

void SqlStatement::bind(int index, long long v) { sqlite3_bind_int64(st_, index, v); }

void SqlStatement::bind(int index, const std::string& v) {
  sqlite3_bind_text(st_, index, v.data(), int(v.size()), SQLITE_TRANSIENT);
}

void SqlStatement::bindNull(int index) { sqlite3_bind_null(st_, index); }

bool SqlStatement::isNull(int column) const {
  return sqlite3_column_type(st_, column) == SQLITE_NULL;
}

long long SqlStatement::integer(int column) const { return sqlite3_column_int64(st_, column); }

double SqlStatement::real(int column) const { return sqlite3_column_double(st_, column); }

std::optional<std::string> SqlStatement::text(int column) const {
  if (isNull(column)) return std::nullopt;
  auto p = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
  return std::string(p, size_t(sqlite3_column_bytes(st_, column)));
}

}  // namespace korvo::engine
