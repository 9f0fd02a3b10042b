#pragma once
// The one wrapper of a prepared SQLite statement in the engine: finalized with
// its owner, its failures Oracle errors.
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace korvo::engine {

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
  std::string textOrEmpty(int column) const { return text(column).value_or(std::string()); }
  void bindOptional(int index, const std::optional<int>& v) {
    if (v)
      bind(index, static_cast<long long>(*v));
    else
      bindNull(index);
  }
  sqlite3_stmt* raw() const { return st_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
};

}  // namespace korvo::engine
