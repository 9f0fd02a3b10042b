#include "db/qtsql_connection.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>

#include "db/db_alias.h"
#include "db/oracle_date_text.h"
#include "db/oracle_messages.h"
#include "db/packet_cursor.h"
#include "engine/value.h"

namespace korvo::db {
namespace {

QString nextConnectionName() {
  static QAtomicInteger<quint64> counter;
  return QStringLiteral("korvo-db-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

bool isNumericType(const QMetaType& type) {
  switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
      return true;
    default:
      return false;
  }
}

QString typeName(const QSqlField& field) {
  const int id = field.metaType().id();
  if (isNumericType(field.metaType())) return QStringLiteral("NUMBER");
  if (id == QMetaType::QDateTime || id == QMetaType::QDate || id == QMetaType::QTime) {
    return QStringLiteral("DATE");
  }
  if (id == QMetaType::QByteArray) return QStringLiteral("RAW");
  return QStringLiteral("VARCHAR2");
}

// Oracle NUMBER arrives as text when the driver keeps full precision.
QVariant numberFromText(const QString& text) {
  QString digits = text.trimmed();
  bool ok = false;
  const qlonglong integral = digits.toLongLong(&ok);
  if (ok) return integral;
  double number = digits.toDouble(&ok);
  if (!ok) {
    digits.replace(QLatin1Char(','), QLatin1Char('.'));
    number = digits.toDouble(&ok);
  }
  if (!ok) return text;
  return number;
}

// Driver values in the program's forms: null QVariant, qlonglong or double,
// QString, QDateTime.
QVariant normalized(const QVariant& value, bool numericColumn) {
  if (!value.isValid() || value.isNull()) return {};
  switch (value.metaType().id()) {
    case QMetaType::QString: {
      const QString text = value.toString();
      if (text.isEmpty()) return {};  // Oracle has no empty string
      return numericColumn ? numberFromText(text) : QVariant(text);
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
      return value.toLongLong();
    case QMetaType::ULongLong:
    case QMetaType::ULong:
      if (value.toULongLong() <= static_cast<qulonglong>(std::numeric_limits<qlonglong>::max())) {
        return value.toLongLong();
      }
      return value.toDouble();
    case QMetaType::Double:
    case QMetaType::Float: {
      const double number = value.toDouble();
      if (std::isfinite(number) && number == std::trunc(number) && std::fabs(number) < 9.0e15) {
        return static_cast<qlonglong>(number);
      }
      return number;
    }
    case QMetaType::QDate:
      return QDateTime(value.toDate(), QTime(0, 0));
    default:
      return value;
  }
}

class QtSqlCursor : public PacketCursor {
 public:
  QtSqlCursor(ConnectionLinkPtr link, QList<ColumnInfo> columns, QList<bool> numeric,
              std::unique_ptr<QSqlQuery> query)
      : PacketCursor(std::move(link), std::move(columns)),
        numeric_(std::move(numeric)),
        query_(std::move(query)) {}
  ~QtSqlCursor() override { release(); }

 protected:
  bool readRow(Row& row) override {
    if (!query_ || !query_->isActive()) return false;
    if (!query_->next()) {
      const QSqlError error = query_->lastError();
      if (error.isValid()) throw DbError(serverErrorText(error));
      query_->finish();
      return false;
    }
    const int count = static_cast<int>(numeric_.size());
    row.reserve(count);
    for (int i = 0; i < count; ++i) row.append(normalized(query_->value(i), numeric_[i]));
    return true;
  }
  void release() override { query_.reset(); }

 private:
  QList<bool> numeric_;
  std::unique_ptr<QSqlQuery> query_;
};

}  // namespace

QString serverErrorText(const QSqlError& error) {
  QString text = error.databaseText().trimmed();
  if (text.isEmpty()) text = error.driverText().trimmed();
  // ODBC prefixes its layers ("[Oracle][ODBC][Ora]ORA-01017: ..."): keep the server's part.
  const qsizetype ora = text.indexOf(QLatin1String("ORA-"));
  if (ora > 0 && text.at(ora - 1) == QLatin1Char(']')) text = text.mid(ora);
  if (text.isEmpty()) text = QStringLiteral("Unknown database error");
  return text;
}

QString missingDriverMessage(const QString& driverName) {
  QString how;
  if (driverName == QLatin1String("QODBC")) {
    how = QStringLiteral(
        "install Qt's ODBC plugin (Debian package libqt6sql6-odbc), unixODBC and Oracle's ODBC "
        "driver, and declare the data source in odbc.ini");
  } else if (driverName == QLatin1String("QOCI")) {
    how = QStringLiteral(
        "build or install Qt's Oracle plugin (QOCI) against the Oracle client (Instant Client), "
        "or reach the server through ODBC with an alias odbc:DSN");
  } else {
    how = QStringLiteral("install the Qt plugin that provides it");
  }
  return QStringLiteral(
             "The Qt SQL driver %1 is not available: %2. The embedded database (alias "
             "local:NAME) works without any driver.")
      .arg(driverName, how);
}

QtSqlConnection::QtSqlConnection(QString driverName)
    : driverOverride_(std::move(driverName)), link_(std::make_shared<ConnectionLink>()) {}

QtSqlConnection::~QtSqlConnection() { close(); }

void QtSqlConnection::fail(const QString& text) {
  link_->lastError = text;
  throw DbError(text);
}

void QtSqlConnection::fail(const QSqlError& error) { fail(serverErrorText(error)); }

void QtSqlConnection::requireOpen() {
  link_->lastError.clear();
  if (!isOpen()) fail(QString::fromLatin1(kNotConnected));
}

bool QtSqlConnection::isOpen() const {
  return !connectionName_.isEmpty() && QSqlDatabase::database(connectionName_, false).isOpen();
}

void QtSqlConnection::open(const QString& alias, const QString& user, const QString& password) {
  close();
  link_->lastError.clear();
  const DbAlias parsed = parseAlias(alias);
  QString driver = driverOverride_;
  QString databaseName = parsed.target;
  if (driver.isEmpty()) {
    if (parsed.kind == AliasKind::Local) fail(QString::fromLatin1(kUnresolvedAlias));
    driver = parsed.kind == AliasKind::Odbc ? QStringLiteral("QODBC") : QStringLiteral("QOCI");
  }
  if (databaseName.isEmpty()) fail(QString::fromLatin1(kUnresolvedAlias));
  if (!QSqlDatabase::isDriverAvailable(driver)) fail(missingDriverMessage(driver));

  const QString name = nextConnectionName();
  QString error;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
    db.setDatabaseName(databaseName);
    db.setUserName(user);
    db.setPassword(password);
    if (!db.open()) error = serverErrorText(db.lastError());
  }
  if (!error.isEmpty()) {
    QSqlDatabase::removeDatabase(name);
    fail(error);
  }
  connectionName_ = name;
  alias_ = alias;
  user_ = user;
  password_ = password;
  inTransaction_ = false;
  dateFormat_ = QStringLiteral("DD-MON-RR");
  decimalSeparator_ = QLatin1Char('.');
}

std::unique_ptr<Connection> QtSqlConnection::openAnother() const {
  if (connectionName_.isEmpty()) return nullptr;
  auto another = std::make_unique<QtSqlConnection>(driverOverride_);
  another->open(alias_, user_, password_);
  return another;
}

void QtSqlConnection::close() {
  if (connectionName_.isEmpty()) return;
  link_->detachCursors();
  {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    // Uncommitted work is undone, as when a client disconnects.
    if (inTransaction_ && db.isOpen()) db.rollback();
    db.close();
  }
  QSqlDatabase::removeDatabase(connectionName_);
  connectionName_.clear();
  inTransaction_ = false;
}

long long QtSqlConnection::exec(const QString& sql) {
  requireOpen();
  QSqlQuery query(QSqlDatabase::database(connectionName_, false));
  query.setForwardOnly(true);
  if (!query.exec(sql)) fail(query.lastError());
  noteSessionSetting(sql);
  const int rows = query.numRowsAffected();
  return rows < 0 ? 0 : rows;
}

std::unique_ptr<Cursor> QtSqlConnection::query(const QString& sql) {
  requireOpen();
  auto query = std::make_unique<QSqlQuery>(QSqlDatabase::database(connectionName_, false));
  query->setForwardOnly(true);
  // NUMBER comes as text so that no digit is lost; normalized() reads it.
  query->setNumericalPrecisionPolicy(QSql::HighPrecision);
  if (!query->exec(sql)) fail(query->lastError());
  if (!query->isSelect()) return std::make_unique<NoRowsCursor>(link_);
  const QSqlRecord record = query->record();
  QList<ColumnInfo> columns;
  QList<bool> numeric;
  for (int i = 0; i < record.count(); ++i) {
    const QSqlField field = record.field(i);
    ColumnInfo info;
    info.name = field.name();
    info.type = typeName(field);
    info.length = field.length() > 0 ? field.length() : 0;
    info.precision = field.precision() > 0 ? field.precision() : 0;
    columns.append(info);
    numeric.append(info.type == QLatin1String("NUMBER"));
  }
  return std::make_unique<QtSqlCursor>(link_, std::move(columns), std::move(numeric),
                                       std::move(query));
}

void QtSqlConnection::begin() {
  requireOpen();
  if (inTransaction_) return;
  QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
  if (!db.transaction()) fail(db.lastError());
  inTransaction_ = true;
}

void QtSqlConnection::commit() {
  requireOpen();
  if (!inTransaction_) {
    // Work done outside begin() was committed by the driver statement by statement.
    return;
  }
  QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
  if (!db.commit()) fail(db.lastError());
  inTransaction_ = false;
}

void QtSqlConnection::rollback() {
  requireOpen();
  if (!inTransaction_) return;
  QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
  if (!db.rollback()) fail(db.lastError());
  inTransaction_ = false;
}

std::optional<QString> nlsDateFormatSetBy(const QString& sql) {
  static const QRegularExpression dateFormat(
      QStringLiteral("^\\s*ALTER\\s+SESSION\\s+SET\\s+NLS_DATE_FORMAT\\s*=\\s*'([^']*)'\\s*$"),
      QRegularExpression::CaseInsensitiveOption);
  const auto match = dateFormat.match(sql);
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(1);
}

std::optional<QChar> decimalSeparatorSetBy(const QString& sql) {
  static const QRegularExpression numericCharacters(
      QStringLiteral("^\\s*ALTER\\s+SESSION\\s+SET\\s+NLS_NUMERIC_CHARACTERS\\s*=\\s*'(.).'\\s*$"),
      QRegularExpression::CaseInsensitiveOption);
  const auto match = numericCharacters.match(sql);
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(1).at(0);
}

void QtSqlConnection::noteSessionSetting(const QString& sql) {
  if (const std::optional<QString> format = nlsDateFormatSetBy(sql)) dateFormat_ = *format;
  if (const std::optional<QChar> separator = decimalSeparatorSetBy(sql)) {
    decimalSeparator_ = *separator;
  }
}

QString QtSqlConnection::display(const QVariant& value) const {
  if (!value.isValid() || value.isNull()) return {};
  switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
      return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
      return QString::fromStdString(
          engine::canonicalNumber(value.toDouble(), decimalSeparator_.toLatin1()));
    case QMetaType::QDateTime:
      return oracleDateText(value.toDateTime(), dateFormat_);
    case QMetaType::QDate:
      return oracleDateText(QDateTime(value.toDate(), QTime(0, 0)), dateFormat_);
    default:
      return value.toString();
  }
}

}  // namespace korvo::db
