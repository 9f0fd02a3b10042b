#include "db/connect_string.h"

namespace korvo::db {

std::optional<ConnectString> parseConnectString(const QString& text) {
  ConnectString result;
  qsizetype i = 0;
  while (i < text.size() && text[i] != QLatin1Char('/') && text[i] != QLatin1Char('@')) ++i;
  result.user = text.left(i);
  if (i < text.size() && text[i] == QLatin1Char('/')) {
    result.hasPassword = true;
    ++i;
    if (i < text.size() && text[i] == QLatin1Char('"')) {
      const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
      if (close < 0) return std::nullopt;
      result.password = text.mid(i + 1, close - i - 1);
      i = close + 1;
    } else {
      const qsizetype start = i;
      while (i < text.size() && text[i] != QLatin1Char('@')) ++i;
      result.password = text.mid(start, i - start);
    }
  }
  if (i >= text.size() || text[i] != QLatin1Char('@')) return std::nullopt;
  result.alias = text.mid(i + 1);
  if (result.user.isEmpty() || result.alias.isEmpty()) return std::nullopt;
  return result;
}

}  // namespace korvo::db
