#include "db/db_alias.h"

namespace korvo::db {

DbAlias parseAlias(const QString& alias) {
  const QString text = alias.trimmed();
  auto startsWith = [&](QLatin1StringView prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
  };
  if (startsWith(QLatin1StringView("local:"))) return {AliasKind::Local, text.mid(6).trimmed()};
  if (startsWith(QLatin1StringView("odbc:"))) return {AliasKind::Odbc, text.mid(5).trimmed()};
  return {AliasKind::Oci, text};
}

}  // namespace korvo::db
