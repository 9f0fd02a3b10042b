#pragma once
// Temporary tables that a translated statement reads (the base rows and the walk of
// its CONNECT BY blocks), and a small prepared-statement helper for filling them.
// The tables live as long as the last TranslatedQuery sharing them, which the
// cursor holds, and are dropped afterwards.
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// A prepared statement whose failures are Oracle errors.
class SqlStatement {
 public:
  SqlStatement(sqlite3* db, const std::string& sql);
  ~SqlStatement();
  SqlStatement(const SqlStatement&) = delete;
  SqlStatement& operator=(const SqlStatement&) = delete;

  bool step();  // true while a row is there
  void reset();
  void bind(int index, long long v);
  void bind(int index, const std::string& v);
  void bindNull(int index);
  bool isNull(int column) const;
  long long integer(int column) const;
  double real(int column) const;
  std::optional<std::string> text(int column) const;
  sqlite3_stmt* raw() const { return st_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
};

}  // namespace korvo::engine
