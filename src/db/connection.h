#pragma once
// The program's only road to a database. Logic sends statements through a
// Connection and never learns which driver answers: the embedded Oracle-dialect
// engine (alias "local:NAME") or a real Oracle server through Qt's SQL drivers.
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

namespace korvo::db {

// An error as the server or driver words it ("ORA-00942: table or view does not exist").
class DbError : public std::runtime_error {
 public:
  explicit DbError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};

struct ColumnInfo {
  QString name;  // heading as the server returns it
  QString type;  // NUMBER, VARCHAR2, CHAR, DATE ... as far as the driver knows
  int length = 0;
  int precision = 0;
  int scale = 0;
};

// Values travel as QVariant: null QVariant for NULL, qlonglong or double for
// numbers, QString for text, QDateTime for dates.
using Row = QList<QVariant>;

class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual QList<ColumnInfo> columns() const = 0;
  // Appends up to maxRows rows (every remaining row when maxRows <= 0) and
  // returns how many were appended.
  virtual int fetch(QList<Row>& rows, int maxRows) = 0;
  virtual bool atEnd() const = 0;
};

class Connection {
 public:
  virtual ~Connection() = default;

  virtual void open(const QString& alias, const QString& user, const QString& password) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;

  // A statement without rows (DDL, DML, ALTER SESSION, an anonymous block).
  // Returns the rows changed.
  virtual long long exec(const QString& sql) = 0;
  // A query; rows are read from the cursor in packets.
  virtual std::unique_ptr<Cursor> query(const QString& sql) = 0;

  virtual void begin() = 0;
  virtual void commit() = 0;
  virtual void rollback() = 0;
  virtual bool inTransaction() const = 0;

  // The text of the last error, empty when the last call succeeded.
  virtual QString lastError() const = 0;

  // Stops the statement or fetch running now with ORA-01013; safe to call from
  // another thread. A driver that cannot interrupt a running statement says so
  // and does nothing.
  virtual bool canInterrupt() const { return false; }
  virtual void interrupt() {}
  // A new connection with this one's login, for long statements that must not
  // leave this one in an unknown state; nothing when the driver cannot give
  // one. Opened on the calling thread, which alone may use it afterwards.
  virtual std::unique_ptr<Connection> openAnother() const { return nullptr; }

  // A value as the session shows it (dates in the session's date format,
  // numbers without trailing zeros).
  virtual QString display(const QVariant& value) const = 0;
};

// The driver for an alias: "local:NAME" or "local:/folder" -> embedded engine;
// "odbc:DSN" -> QODBC; anything else -> QOCI.
std::unique_ptr<Connection> connectionForAlias(const QString& alias);

}  // namespace korvo::db
