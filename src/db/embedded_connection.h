#pragma once
// The driver for "local:" aliases: the embedded Oracle-dialect engine, one
// schema file per user in a folder of schemas, each protected by its user's
// password (kept as a salted hash inside the file).
#include <memory>
#include <mutex>

#include "db/connection.h"
#include "db/connection_link.h"

namespace korvo::engine {
class Session;
struct Value;
}  // namespace korvo::engine

namespace korvo::db {

class EmbeddedConnection : public Connection {
 public:
  EmbeddedConnection();
  ~EmbeddedConnection() override;

  // The first connection of a user creates the schema and keeps the password;
  // every later one must give the same password (ORA-01017 otherwise).
  void open(const QString& alias, const QString& user, const QString& password) override;
  void close() override;
  bool isOpen() const override { return session_ != nullptr; }

  long long exec(const QString& sql) override;
  std::unique_ptr<Cursor> query(const QString& sql) override;

  // Oracle starts a transaction with the first change; begin() only marks one
  // as wanted, so that inTransaction() reports it until commit or rollback.
  void begin() override;
  void commit() override;
  void rollback() override;
  bool inTransaction() const override;

  QString lastError() const override { return link_->lastError; }
  bool canInterrupt() const override { return true; }
  void interrupt() override;
  QString display(const QVariant& value) const override;

  // The schema file of the open session (empty when closed).
  QString schemaFile() const { return schemaFile_; }

 private:
  void requireOpen();
  [[noreturn]] void fail(const QString& text);

  ConnectionLinkPtr link_;
  std::unique_ptr<engine::Session> session_;
  // Held while session_ changes, so that an interrupt from another thread
  // never reaches a session being closed.
  mutable std::mutex sessionGuard_;
  QString schemaFile_;
  bool begun_ = false;
};

// Engine values as the program carries them: NULL -> null QVariant, integral
// NUMBER -> qlonglong, other NUMBER -> double, text -> QString, DATE -> QDateTime
// (UTC, so the stored fields come back unchanged by any time zone rule).
QVariant toVariant(const engine::Value& value);
// The way back, for display: QDateTime/QDate -> DATE, numbers -> NUMBER, else text.
engine::Value toEngineValue(const QVariant& value);

}  // namespace korvo::db
