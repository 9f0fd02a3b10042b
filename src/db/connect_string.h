#pragma once
// The SQL*Plus connect string: user/password@alias. A password holding '/' or
// '@' is written in double quotes (scott/"p@ss"@local:demo).
#include <QString>
#include <optional>

namespace korvo::db {

struct ConnectString {
  QString user;
  QString password;
  bool hasPassword = false;  // "user@alias" gives none
  QString alias;
};

// Empty optional when the text has no user or no "@alias".
std::optional<ConnectString> parseConnectString(const QString& text);

}  // namespace korvo::db
