#pragma once
// The Oracle side of the schema: tables with their exact Oracle types, lengths,
// NOT NULL flags and exact-case names, unique indexes and stored procedure texts.
// It lives in internal tables of the schema file (names starting with "_korvo_",
// which no unquoted Oracle identifier can reach) and is cached per connection.
#include <map>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace korvo::engine {

struct CatalogColumn {
  std::string name;
  std::string type;  // VARCHAR2, CHAR, NUMBER, DATE, LONG, INTEGER, FLOAT, CLOB
  int length = 0;    // VARCHAR2/CHAR width
  std::optional<int> precision;
  std::optional<int> scale;
  bool notNull = false;
  std::string defaultSql;  // Oracle text of the DEFAULT expression, empty when none
};

struct CatalogTable {
  std::string name;
  std::vector<CatalogColumn> columns;
  const CatalogColumn* column(const std::string& name) const;
  int columnIndex(const std::string& name) const;
};

struct CatalogIndex {
  std::string name;
  std::string table;
  bool unique = false;
  std::vector<std::string> columns;
};

class Catalog {
 public:
  explicit Catalog(sqlite3* db);

  // Creates the internal tables when missing.
  void ensureSchema();
  // Reloads the cache when another connection changed the file.
  void refreshIfChanged();
  void invalidate() { loaded_ = false; }

  const CatalogTable* table(const std::string& name);
  const CatalogIndex* index(const std::string& name);
  std::vector<const CatalogIndex*> indexesOf(const std::string& table);

  // Writers; the caller runs them inside its own transaction.
  void addTable(const CatalogTable& t);
  void removeTable(const std::string& name);
  void addIndex(const CatalogIndex& i);
  void removeIndex(const std::string& name);

  // Stored procedure texts (CREATE OR REPLACE PROCEDURE).
  bool hasProcedure(const std::string& name);
  void storeProcedure(const std::string& name, const std::string& text);
  void removeProcedure(const std::string& name);

  // The SQLite declaration of an Oracle column type (TEXT, NUMERIC).
  static const char* storageType(const std::string& oracleType);

 private:
  void load();
  sqlite3* db_;
  bool loaded_ = false;
  long long dataVersion_ = -1;
  std::map<std::string, CatalogTable> tables_;
  std::map<std::string, CatalogIndex> indexes_;
};

// Runs SQL that returns no rows; raises OraError on failure.
void execSql(sqlite3* db, const std::string& sql);

// The quoted SQLite spelling of a name: "NAME" with inner quotes doubled.
std::string sqlName(const std::string& name);
// A SQL string literal.
std::string sqlString(const std::string& s);

}  // namespace korvo::engine
