#include "db/local_schema.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include "db/connection.h"
#include "db/oracle_messages.h"

namespace korvo::db {

QString localDatabasesRoot() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/korvo-bo6/databases");
}

QString localSchemaFolder(const QString& target) {
  const QString name = target.trimmed();
  if (name.isEmpty()) throw DbError(QString::fromLatin1(kUnresolvedAlias));
  if (name == QLatin1String("~")) return QDir::homePath();
  if (name.startsWith(QLatin1String("~/"))) return QDir::cleanPath(QDir::homePath() + name.mid(1));
  if (name.contains(QLatin1Char('/'))) return QDir::cleanPath(QDir(name).absolutePath());
  static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.-]*$"));
  if (!plainName.match(name).hasMatch()) throw DbError(QString::fromLatin1(kUnresolvedAlias));
  return localDatabasesRoot() + QLatin1Char('/') + name;
}

QString schemaUserName(const QString& user) {
  static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_$#]{0,127}$"));
  const QString name = user.trimmed();
  if (!identifier.match(name).hasMatch()) throw DbError(QString::fromLatin1(kInvalidLogon));
  return name.toUpper();
}

QString schemaFilePath(const QString& folder, const QString& schemaUser) {
  return folder + QLatin1Char('/') + schemaUser + QStringLiteral(".db");
}

}  // namespace korvo::db
