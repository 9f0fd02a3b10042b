#pragma once
// Readable failure output for Qt texts: a QString is printed as its UTF-8 text
// in quotes, so that a blank too many shows.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
