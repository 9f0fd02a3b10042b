#pragma once
// The program short date format: written in the notation of the Windows
// regional settings (letters d, m, y in either case, e.g. "DD/MM/YYYY"), used
// for the date a profile was added and chosen anew by each Oracle session.
#include <QDate>
#include <QString>

namespace korvo::session {

// The workstation's regional short date format in that notation
// (Qt's "M/d/yyyy" becomes "M/D/YYYY").
QString regionalShortDateFormat();
QString toProgramDateNotation(const QString& qtFormat);

// The session date format for a program short date format: "MM/DD/YYYY",
// "YYYY/MM/DD" or, for every other format, "DD/MM/YYYY".
QString sessionDateFormatFor(const QString& programFormat);

// A date written in the program notation: d, dd, ddd, dddd, m, mm, mmm, mmmm,
// yy, yyyy in either case; every other character is copied.
QString formatProgramDate(const QDate& date, const QString& programFormat);

}  // namespace korvo::session
