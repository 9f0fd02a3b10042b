#pragma once
// Temporary tables that a translated statement reads (the base rows and the walk of
// its CONNECT BY blocks), and a small prepared-statement helper for filling them.
// The tables live as long as the last TranslatedQuery sharing them, which the
// cursor holds, and are dropped afterwards.
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "engine/sql_statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace korvo::engine {

class TemporaryTables {
 public:
  explicit TemporaryTables(std::shared_ptr<sqlite3> db);
  ~TemporaryTables();
  TemporaryTables(const TemporaryTables&) = delete;
  TemporaryTables& operator=(const TemporaryTables&) = delete;

  // A name unique on the connection, returned as the qualified SQL name
  // temp."_korvo_<prefix><n>"; the caller creates the table.
  std::string reserve(const std::string& prefix);
  sqlite3* db() const { return db_.get(); }

 private:
  std::shared_ptr<sqlite3> db_;
  std::vector<std::string> names_;
};


}  // namespace korvo::engine
