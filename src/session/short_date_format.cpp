#include "session/short_date_format.h"

#include <QLocale>

namespace korvo::session {

QString toProgramDateNotation(const QString& qtFormat) { return qtFormat.toUpper(); }

QString regionalShortDateFormat() {
  return toProgramDateNotation(QLocale::system().dateFormat(QLocale::ShortFormat));
}

QString sessionDateFormatFor(const QString& programFormat) {
  struct Choice {
    const char* program;
    const char* session;
  };
  // Tried in this order; the first exact match decides.
  static const Choice kTable[] = {
      {"M/D/YYYY", "MM/DD/YYYY"}, {"M/D/YY", "MM/DD/YYYY"},     {"MM/DD/YY", "MM/DD/YYYY"},
      {"YY/MM/DD", "YYYY/MM/DD"}, {"YYYY-MM-DD", "YYYY/MM/DD"}, {"DD-MMM-YY", "DD/MM/YYYY"},
  };
  const QString upper = programFormat.toUpper();
  for (const Choice& choice : kTable)
    if (upper == QLatin1String(choice.program)) return QString::fromLatin1(choice.session);
  return "DD/MM/YYYY";
}

QString formatProgramDate(const QDate& date, const QString& programFormat) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  QString out;
  int i = 0;
  while (i < programFormat.size()) {
    const QChar letter = programFormat[i].toLower();
    int run = 1;
    while (i + run < programFormat.size() && programFormat[i + run].toLower() == letter) ++run;
    if (letter == 'd') {
      if (run == 1)
        out += QString::number(date.day());
      else if (run == 2)
        out += QString::number(date.day()).rightJustified(2, '0');
      else if (run == 3)
        out += english.dayName(date.dayOfWeek(), QLocale::ShortFormat);
      else
        out += english.dayName(date.dayOfWeek(), QLocale::LongFormat);
    } else if (letter == 'm') {
      if (run == 1)
        out += QString::number(date.month());
      else if (run == 2)
        out += QString::number(date.month()).rightJustified(2, '0');
      else if (run == 3)
        out += english.monthName(date.month(), QLocale::ShortFormat);
      else
        out += english.monthName(date.month(), QLocale::LongFormat);
    } else if (letter == 'y') {
      if (run <= 2)
        out += QString::number(date.year() % 100).rightJustified(2, '0');
      else
        out += QString::number(date.year()).rightJustified(4, '0');
    } else {
      out += programFormat.mid(i, run);
    }
    i += run;
  }
  return out;
}

}  // namespace korvo::session
