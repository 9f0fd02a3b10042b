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

}  // namespace korvo::engine
