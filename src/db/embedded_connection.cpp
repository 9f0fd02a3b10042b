#include "db/embedded_connection.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <cmath>

#include "db/db_alias.h"
#include "db/local_schema.h"
#include "db/oracle_messages.h"
#include "db/packet_cursor.h"
#include "db/password_hash.h"
#include "engine/session.h"

namespace korvo::db {
namespace {

constexpr const char* kPasswordKey = "password_hash";

// A schema holds the user's data and password hash: the folders and files the
// program creates for it are readable by their owner only. Folders that were
// there before (a local:/folder of the user's) keep their permissions.
bool makePrivateFolder(const QString& folder) {
  QStringList created;
  for (QString path = QDir(folder).absolutePath(); !QFileInfo::exists(path);) {
    created.prepend(path);
    const QString parent = QFileInfo(path).absolutePath();
    if (parent == path) break;
    path = parent;
  }
  if (!QDir().mkpath(folder)) return false;
  for (const QString& path : created)
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return true;
}

bool makePrivateFile(const QString& path) {
  if (QFileInfo::exists(path)) return true;
  QFile file(path);
  // SQLite takes an empty file as a new database and gives its journal files
  // the permissions of the database file.
  return file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner) ||
         QFileInfo::exists(path);
}
constexpr QLatin1StringView kCanonicalDate("yyyy-MM-dd HH:mm:ss");

// The engine's "YYYY-MM-DD HH:MM:SS" read by hand: QDateTime::fromString works
// in local time and consults the time zone for every value, which dominates
// the fetch of a large result with dates.
QDateTime canonicalDate(const std::string& text) {
  const auto digits = [&text](size_t at, size_t count, int& out) {
    if (at + count > text.size()) return false;
    int v = 0;
    for (size_t i = at; i < at + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      v = v * 10 + (text[i] - '0');
    }
    out = v;
    return true;
  };
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
  if (text.size() == 19 && text[4] == '-' && text[7] == '-' && text[10] == ' ' &&
      text[13] == ':' && text[16] == ':' && digits(0, 4, y) && digits(5, 2, mo) &&
      digits(8, 2, d) && digits(11, 2, h) && digits(14, 2, mi) && digits(17, 2, sec)) {
    const QDate date(y, mo, d);
    const QTime time(h, mi, sec);
    if (date.isValid() && time.isValid()) return QDateTime(date, time, QTimeZone::utc());
  }
  QDateTime date = QDateTime::fromString(QString::fromStdString(text), kCanonicalDate);
  date.setTimeZone(QTimeZone::utc());
  return date;
}

ColumnInfo toColumnInfo(const engine::Column& column) {
  ColumnInfo info;
  info.name = QString::fromStdString(column.name);
  info.type = QString::fromStdString(column.type);
  info.length = column.length;
  info.precision = column.precision;
  info.scale = column.scale;
  return info;
}

class EmbeddedCursor : public PacketCursor {
 public:
  EmbeddedCursor(ConnectionLinkPtr link, QList<ColumnInfo> columns,
                 std::unique_ptr<engine::Cursor> cursor)
      : PacketCursor(std::move(link), std::move(columns)), cursor_(std::move(cursor)) {}
  ~EmbeddedCursor() override { release(); }

 protected:
  bool readRow(Row& row) override {
    if (!cursor_) return false;
    try {
      if (!cursor_->fetch(values_)) return false;
    } catch (const std::exception& e) {
      throw DbError(QString::fromUtf8(e.what()));
    }
    row.reserve(static_cast<qsizetype>(values_.size()));
    for (const engine::Value& value : values_) row.append(toVariant(value));
    return true;
  }
  void release() override { cursor_.reset(); }

 private:
  std::unique_ptr<engine::Cursor> cursor_;
  std::vector<engine::Value> values_;
};

}  // namespace

QVariant toVariant(const engine::Value& value) {
  switch (value.kind) {
    case engine::Value::Kind::Null:
      return {};
    case engine::Value::Kind::Number: {
      // The canonical text is exact where the double is not (integers past 2^53).
      const QString text = QString::fromStdString(value.text);
      bool ok = false;
      const qlonglong integral = text.toLongLong(&ok);
      if (ok) return integral;
      if (std::isfinite(value.number) && value.number == std::trunc(value.number) &&
          std::fabs(value.number) < 9.0e15) {
        return static_cast<qlonglong>(value.number);
      }
      return value.number;
    }
    case engine::Value::Kind::Text:
      return QString::fromStdString(value.text);
    case engine::Value::Kind::Date: {
      return canonicalDate(value.text);
    }
  }
  return {};
}

engine::Value toEngineValue(const QVariant& value) {
  if (!value.isValid() || value.isNull()) return engine::Value::null();
  switch (value.metaType().id()) {
    case QMetaType::QDateTime: {
      const QDateTime date = value.toDateTime();
      if (!date.isValid()) return engine::Value::null();
      return engine::Value::ofDate(date.toString(kCanonicalDate).toStdString());
    }
    case QMetaType::QDate:
      if (!value.toDate().isValid()) return engine::Value::null();
      return engine::Value::ofDate(
          QDateTime(value.toDate(), QTime(0, 0)).toString(kCanonicalDate).toStdString());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort: {
      engine::Value number = engine::Value::ofNumber(value.toDouble());
      number.text = value.toString().toStdString();  // exact beyond 2^53
      return number;
    }
    case QMetaType::Double:
    case QMetaType::Float:
      return engine::Value::ofNumber(value.toDouble());
    case QMetaType::Bool:
      return engine::Value::ofNumber(value.toBool() ? 1 : 0);
    default:
      return engine::Value::ofText(value.toString().toStdString());
  }
}

EmbeddedConnection::EmbeddedConnection() : link_(std::make_shared<ConnectionLink>()) {}

EmbeddedConnection::~EmbeddedConnection() { close(); }

void EmbeddedConnection::fail(const QString& text) {
  link_->lastError = text;
  throw DbError(text);
}

void EmbeddedConnection::requireOpen() {
  link_->lastError.clear();
  if (!session_) fail(QString::fromLatin1(kNotConnected));
}

void EmbeddedConnection::open(const QString& alias, const QString& user, const QString& password) {
  close();
  link_->lastError.clear();
  const DbAlias parsed = parseAlias(alias);
  if (parsed.kind != AliasKind::Local) fail(QString::fromLatin1(kUnresolvedAlias));
  if (user.trimmed().isEmpty()) {
    fail(QString::fromLatin1(password.isEmpty() ? kDefaultUsername : kInvalidLogon));
  }
  if (password.isEmpty()) fail(QString::fromLatin1(kNullPassword));

  QString folder;
  QString schemaUser;
  try {
    schemaUser = schemaUserName(user);
    folder = localSchemaFolder(parsed.target);
  } catch (const DbError& e) {
    fail(e.text());
  }
  if (!makePrivateFolder(folder)) {
    fail(QStringLiteral("Cannot create the database folder \"%1\"").arg(folder));
  }
  const QString file = schemaFilePath(folder, schemaUser);
  if (!makePrivateFile(file)) {
    fail(QStringLiteral("Cannot create the database file \"%1\"").arg(file));
  }

  std::unique_ptr<engine::Session> session;
  try {
    session =
        engine::Session::open(QFile::encodeName(file).toStdString(), schemaUser.toStdString());
    std::optional<std::string> stored = session->meta(kPasswordKey);
    if (!stored) {
      // First connection of this user: the schema is new and takes this password.
      session->setMeta(kPasswordKey, hashPassword(password).toStdString());
      // Read back: when two programs create the same schema at once, only the
      // password that was kept may log on.
      stored = session->meta(kPasswordKey);
    }
    if (!stored || !passwordMatches(password, QString::fromStdString(*stored))) {
      fail(QString::fromLatin1(kInvalidLogon));
    }
  } catch (const DbError&) {
    throw;
  } catch (const std::exception& e) {
    fail(QString::fromUtf8(e.what()));
  }
  {
    const std::lock_guard<std::mutex> lock(sessionGuard_);
    session_ = std::move(session);
  }
  schemaFile_ = file;
  begun_ = false;
}

void EmbeddedConnection::interrupt() {
  const std::lock_guard<std::mutex> lock(sessionGuard_);
  if (session_) session_->interrupt();
}

void EmbeddedConnection::close() {
  link_->detachCursors();
  // Uncommitted work goes with the session, as when a client disconnects.
  {
    const std::lock_guard<std::mutex> lock(sessionGuard_);
    session_.reset();
  }
  schemaFile_.clear();
  begun_ = false;
}

long long EmbeddedConnection::exec(const QString& sql) {
  requireOpen();
  try {
    engine::StatementResult result = session_->execute(sql.toStdString());
    // A COMMIT or ROLLBACK sent as text ends the marked transaction as well.
    if (result.verb == "COMMIT" || result.verb == "ROLLBACK") begun_ = false;
    return result.rowsAffected;
  } catch (const std::exception& e) {
    fail(QString::fromUtf8(e.what()));
  }
}

std::unique_ptr<Cursor> EmbeddedConnection::query(const QString& sql) {
  requireOpen();
  try {
    engine::StatementResult result = session_->execute(sql.toStdString());
    if (!result.cursor) return std::make_unique<NoRowsCursor>(link_);
    QList<ColumnInfo> columns;
    for (const engine::Column& column : result.cursor->columns()) {
      columns.append(toColumnInfo(column));
    }
    return std::make_unique<EmbeddedCursor>(link_, std::move(columns), std::move(result.cursor));
  } catch (const std::exception& e) {
    fail(QString::fromUtf8(e.what()));
  }
}

void EmbeddedConnection::begin() {
  requireOpen();
  begun_ = true;
}

void EmbeddedConnection::commit() {
  requireOpen();
  try {
    session_->commit();
  } catch (const std::exception& e) {
    fail(QString::fromUtf8(e.what()));
  }
  begun_ = false;
}

void EmbeddedConnection::rollback() {
  requireOpen();
  try {
    session_->rollback();
  } catch (const std::exception& e) {
    fail(QString::fromUtf8(e.what()));
  }
  begun_ = false;
}

bool EmbeddedConnection::inTransaction() const {
  return session_ && (begun_ || session_->inTransaction());
}

QString EmbeddedConnection::display(const QVariant& value) const {
  const engine::Value engineValue = toEngineValue(value);
  if (session_) return QString::fromStdString(session_->display(engineValue));
  // No session, so no session formats: the engine's canonical texts.
  return engineValue.isNull() ? QString() : QString::fromStdString(engineValue.text);
}

}  // namespace korvo::db
