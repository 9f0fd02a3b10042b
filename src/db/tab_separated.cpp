#include "db/tab_separated.h"

namespace korvo::db {

QString escapeTabField(const QString& value) {
  QString out;
  out.reserve(value.size());
  for (const QChar c : value) {
    switch (c.unicode()) {
      case '\t': out += QLatin1String("\\t"); break;
      case '\n': out += QLatin1String("\\n"); break;
      case '\r': out += QLatin1String("\\r"); break;
      case '\\': out += QLatin1String("\\\\"); break;
      default: out += c;
    }
  }
  return out;
}

QString tabSeparatedLine(const QStringList& fields) {
  QString line;
  for (qsizetype i = 0; i < fields.size(); ++i) {
    if (i) line += QLatin1Char('\t');
    line += escapeTabField(fields[i]);
  }
  return line;
}

}  // namespace korvo::db
