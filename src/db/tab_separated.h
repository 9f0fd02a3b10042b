#pragma once
// Tab-separated output of the command line: one row is always one line, so a
// value holding a tab, a line break or a backslash is written with the escapes
// \t, \n, \r and \\.
#include <QString>
#include <QStringList>

namespace korvo::db {

QString escapeTabField(const QString& value);
// The fields escaped and joined by tabs (no line end).
QString tabSeparatedLine(const QStringList& fields);

}  // namespace korvo::db
