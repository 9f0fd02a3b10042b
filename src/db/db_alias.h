#pragma once
// What an alias typed in the connection dialog or on the command line names:
// a folder of embedded schemas ("local:NAME", "local:/folder"), an ODBC data
// source ("odbc:DSN") or an Oracle net service name for the Oracle client.
#include <QString>

namespace korvo::db {

enum class AliasKind { Local, Odbc, Oci };

struct DbAlias {
  AliasKind kind = AliasKind::Oci;
  // Local: the NAME or folder after "local:"; Odbc: the DSN; Oci: the alias itself.
  QString target;
};

// The prefixes are matched without regard to case; blanks around the alias are ignored.
DbAlias parseAlias(const QString& alias);

}  // namespace korvo::db
