#include "db/connection.h"
#include "db/db_alias.h"
#include "db/embedded_connection.h"
#include "db/qtsql_connection.h"

namespace korvo::db {

std::unique_ptr<Connection> connectionForAlias(const QString& alias) {
  if (parseAlias(alias).kind == AliasKind::Local) return std::make_unique<EmbeddedConnection>();
  // QtSqlConnection picks QODBC or QOCI from the alias when it opens.
  return std::make_unique<QtSqlConnection>();
}

}  // namespace korvo::db
