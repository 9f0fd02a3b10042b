#include "engine/hierarchical_tables.h"

#include <sqlite3.h>

#include <atomic>
#include <map>
#include <mutex>

#include "engine/sqlite_errors.h"

namespace korvo::engine {

namespace {

// SQLite refuses to drop a table while another statement of the connection is
// running; such tables are dropped at the next opportunity.
std::mutex& deferredMutex() {
  static std::mutex m;
  return m;
}

std::map<sqlite3*, std::vector<std::string>>& deferredDrops() {
  static std::map<sqlite3*, std::vector<std::string>> d;
  return d;
}

bool tryDrop(sqlite3* db, const std::string& name) {
  std::string sql = "DROP TABLE IF EXISTS " + name;
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

void retryDeferred(sqlite3* db) {
  std::lock_guard<std::mutex> lock(deferredMutex());
  auto it = deferredDrops().find(db);
  if (it == deferredDrops().end()) return;
  std::vector<std::string> left;
  for (const auto& n : it->second)
    if (!tryDrop(db, n)) left.push_back(n);
  if (left.empty())
    deferredDrops().erase(it);
  else
    it->second = std::move(left);
}

}  // namespace

TemporaryTables::TemporaryTables(std::shared_ptr<sqlite3> db) : db_(std::move(db)) {
  retryDeferred(db_.get());
}

TemporaryTables::~TemporaryTables() {
  for (const auto& n : names_) {
    if (tryDrop(db_.get(), n)) continue;
    std::lock_guard<std::mutex> lock(deferredMutex());
    deferredDrops()[db_.get()].push_back(n);
  }
}

std::string TemporaryTables::reserve(const std::string& prefix) {
  static std::atomic<long long> counter{0};
  std::string name = "temp.\"_korvo_" + prefix + std::to_string(++counter) + "\"";
  names_.push_back(name);
  return name;
}

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
