#pragma once
// The engine's public face: one Session is one user's connection to one schema
// file. It runs Oracle-dialect statements one at a time, with Oracle's answers
// or Oracle's errors (OraError).
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ora_error.h"
#include "engine/value.h"

namespace korvo::engine {

// A result column as Oracle describes it.
struct Column {
  std::string name;  // heading as Oracle returns it (ENAME, SUM(SAL), "exact alias")
  std::string type;  // NUMBER, VARCHAR2, CHAR, DATE, LONG, CLOB
  int length = 0;    // VARCHAR2/CHAR width, 0 when not applicable
  int precision = 0; // NUMBER(p,s); 0 when not given
  int scale = 0;
  bool nullable = true;
};

// Rows of one query, read forward once.
class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual const std::vector<Column>& columns() const = 0;
  // Fills row with the next row and returns true, or returns false at the end.
  // Run-time errors (ORA-01722, ORA-01476, ORA-01427 ...) are thrown from here.
  virtual bool fetch(std::vector<Value>& row) = 0;
};

// Session settings changed by ALTER SESSION.
struct Nls {
  std::string dateFormat = "DD-MON-RR";
  std::string timestampFormat = "DD-MON-RR HH.MI.SSXFF AM";
  std::string timestampTzFormat = "DD-MON-RR HH.MI.SSXFF AM TZR";
  char decimalSeparator = '.';
  char groupSeparator = ',';
  std::string optimizerMode = "ALL_ROWS";
};

struct StatementResult {
  std::string verb;                // SELECT, INSERT, UPDATE, DELETE, CREATE TABLE, COMMIT, BEGIN ...
  std::unique_ptr<Cursor> cursor;  // set for queries only
  long long rowsAffected = 0;      // INSERT/UPDATE/DELETE
};

class Session {
 public:
  virtual ~Session() = default;

  // Opens the schema file of one user, creating it when missing. Several sessions
  // (also of other processes) may share a file.
  static std::unique_ptr<Session> open(const std::string& file, const std::string& user);

  // Runs exactly one statement, without a terminating ';' (ORA-00911 otherwise).
  // A failed statement is undone alone; the transaction goes on.
  virtual StatementResult execute(std::string_view sql) = 0;

  virtual void commit() = 0;
  virtual void rollback() = 0;
  // Stops the statement or fetch running now with ORA-01013; safe to call from
  // another thread. Does nothing when no statement runs.
  virtual void interrupt() = 0;
  // True while changes are pending (Oracle starts a transaction at the first change).
  virtual bool inTransaction() const = 0;

  virtual const Nls& nls() const = 0;
  virtual std::string user() const = 0;
  // Module name set by DBMS_APPLICATION_INFO.SET_MODULE.
  virtual std::string module() const = 0;

  // How SQL*Plus would show a value under this session's formats.
  virtual std::string display(const Value& v) const = 0;

  // A small key/value store inside the schema file, invisible to SQL: the driver
  // keeps the user's password hash there.
  virtual std::optional<std::string> meta(const std::string& key) = 0;
  virtual void setMeta(const std::string& key, const std::string& value) = 0;
};

// The banner of V$VERSION for this engine.
std::string engineBanner();

}  // namespace korvo::engine
