#pragma once
// The driver for a real Oracle server through Qt's SQL plugins: "odbc:DSN" goes
// through QODBC (unixODBC and Oracle's ODBC driver), every other alias through
// QOCI (Qt's Oracle plugin and the Oracle client). The plugin can be named
// explicitly, which lets the tests run this driver on QSQLITE.
#include <QSqlDatabase>
#include <optional>

#include "db/connection.h"
#include "db/connection_link.h"

class QSqlError;

namespace korvo::db {

class QtSqlConnection : public Connection {
 public:
  // driverName empty: QODBC for "odbc:" aliases, QOCI otherwise. A given
  // driverName serves every alias; the database name is then the alias
  // without its "odbc:" prefix.
  explicit QtSqlConnection(QString driverName = {});
  ~QtSqlConnection() override;

  void open(const QString& alias, const QString& user, const QString& password) override;
  void close() override;
  bool isOpen() const override;

  long long exec(const QString& sql) override;
  std::unique_ptr<Cursor> query(const QString& sql) override;

  void begin() override;
  void commit() override;
  void rollback() override;
  bool inTransaction() const override { return inTransaction_; }

  QString lastError() const override { return link_->lastError; }
  // Dates in the NLS_DATE_FORMAT last set through exec() (Oracle's default
  // DD-MON-RR before that), numbers as Oracle shows them without a format.
  QString display(const QVariant& value) const override;

  // The QSqlDatabase connection name while open (unique per connection).
  QString connectionName() const { return connectionName_; }

  // Qt's drivers cannot stop a running statement; a second connection with
  // the same login runs the long ones instead.
  std::unique_ptr<Connection> openAnother() const override;

 private:
  void requireOpen();
  [[noreturn]] void fail(const QSqlError& error);
  [[noreturn]] void fail(const QString& text);
  void noteSessionSetting(const QString& sql);

  QString driverOverride_;
  QString alias_, user_, password_;  // the login, for openAnother()
  ConnectionLinkPtr link_;
  QString connectionName_;
  bool inTransaction_ = false;
  QString dateFormat_ = QStringLiteral("DD-MON-RR");
  QChar decimalSeparator_ = QLatin1Char('.');
};

// The text of a driver error as the server gave it: the database's own message
// (from "ORA-" on when the driver put its own tags in front), else the driver's.
QString serverErrorText(const QSqlError& error);

// The session settings a statement makes, read from its text: the server
// formats nothing for this driver's display(), so it follows ALTER SESSION itself.
std::optional<QString> nlsDateFormatSetBy(const QString& sql);
std::optional<QChar> decimalSeparatorSetBy(const QString& sql);

// The refusal when a Qt SQL plugin is missing: it names the plugin and points to
// "local:NAME", which needs none.
QString missingDriverMessage(const QString& driverName);

}  // namespace korvo::db
