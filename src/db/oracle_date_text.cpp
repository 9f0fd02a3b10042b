#include "db/oracle_date_text.h"

#include <array>

namespace korvo::db {
namespace {

constexpr std::array<const char*, 12> kMonths = {"JANUARY",   "FEBRUARY", "MARCH",    "APRIL",
                                                 "MAY",       "JUNE",     "JULY",     "AUGUST",
                                                 "SEPTEMBER", "OCTOBER",  "NOVEMBER", "DECEMBER"};
constexpr std::array<const char*, 7> kDays = {"MONDAY", "TUESDAY",  "WEDNESDAY", "THURSDAY",
                                              "FRIDAY", "SATURDAY", "SUNDAY"};

enum class LetterCase { Upper, Capital, Lower };

// The case of a name element is read from its first two letters, as Oracle does.
LetterCase caseOf(QStringView element) {
  if (element.isEmpty() || element[0].isLower()) return LetterCase::Lower;
  if (element.size() > 1 && element[1].isLower()) return LetterCase::Capital;
  return LetterCase::Upper;
}

QString withCase(const QString& upperName, LetterCase letterCase) {
  switch (letterCase) {
    case LetterCase::Upper:
      return upperName;
    case LetterCase::Lower:
      return upperName.toLower();
    case LetterCase::Capital:
      return upperName.left(1) + upperName.mid(1).toLower();
  }
  return upperName;
}

QString number(long long value, int width, bool fill) {
  return fill ? QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'))
              : QString::number(value);
}

}  // namespace

QString oracleDateText(const QDateTime& date, const QString& format) {
  if (!date.isValid()) return {};
  const QDate day = date.date();
  const QTime time = date.time();
  const QString upper = format.toUpper();
  QString out;
  bool fill = true;  // FM switches the padding off and on again
  qsizetype i = 0;
  auto takes = [&](QLatin1StringView element) {
    return QStringView(upper).mid(i).startsWith(element);
  };
  while (i < format.size()) {
    const QStringView rest = QStringView(format).mid(i);
    if (format[i] == QLatin1Char('"')) {
      const qsizetype end = format.indexOf(QLatin1Char('"'), i + 1);
      const qsizetype stop = end < 0 ? format.size() : end;
      out += format.mid(i + 1, stop - i - 1);
      i = stop + 1;
      continue;
    }
    if (takes(QLatin1StringView("FM"))) {
      fill = !fill;
      i += 2;
    } else if (takes(QLatin1StringView("SYYYY"))) {
      out += (day.year() < 0 ? QStringLiteral("-") : QStringLiteral(" ")) +
             number(std::abs(day.year()), 4, true);
      i += 5;
    } else if (takes(QLatin1StringView("YYYY")) || takes(QLatin1StringView("RRRR"))) {
      out += number(day.year(), 4, true);
      i += 4;
    } else if (takes(QLatin1StringView("YYY"))) {
      out += number(day.year() % 1000, 3, fill);
      i += 3;
    } else if (takes(QLatin1StringView("YY")) || takes(QLatin1StringView("RR"))) {
      out += number(day.year() % 100, 2, fill);
      i += 2;
    } else if (takes(QLatin1StringView("Y"))) {
      out += number(day.year() % 10, 1, fill);
      i += 1;
    } else if (takes(QLatin1StringView("Q"))) {
      out += QString::number((day.month() - 1) / 3 + 1);
      i += 1;
    } else if (takes(QLatin1StringView("MONTH"))) {
      QString name = withCase(QString::fromLatin1(kMonths[day.month() - 1]), caseOf(rest));
      out += fill ? name.leftJustified(9) : name;
      i += 5;
    } else if (takes(QLatin1StringView("MON"))) {
      out += withCase(QString::fromLatin1(kMonths[day.month() - 1]).left(3), caseOf(rest));
      i += 3;
    } else if (takes(QLatin1StringView("MM"))) {
      out += number(day.month(), 2, fill);
      i += 2;
    } else if (takes(QLatin1StringView("MI"))) {
      out += number(time.minute(), 2, fill);
      i += 2;
    } else if (takes(QLatin1StringView("DDD"))) {
      out += number(day.dayOfYear(), 3, fill);
      i += 3;
    } else if (takes(QLatin1StringView("DD"))) {
      out += number(day.day(), 2, fill);
      i += 2;
    } else if (takes(QLatin1StringView("DAY"))) {
      QString name = withCase(QString::fromLatin1(kDays[day.dayOfWeek() - 1]), caseOf(rest));
      out += fill ? name.leftJustified(9) : name;
      i += 3;
    } else if (takes(QLatin1StringView("DY"))) {
      out += withCase(QString::fromLatin1(kDays[day.dayOfWeek() - 1]).left(3), caseOf(rest));
      i += 2;
    } else if (takes(QLatin1StringView("D"))) {
      out += QString::number(day.dayOfWeek() % 7 + 1);  // 1 is Sunday
      i += 1;
    } else if (takes(QLatin1StringView("HH24"))) {
      out += number(time.hour(), 2, fill);
      i += 4;
    } else if (takes(QLatin1StringView("HH12")) || takes(QLatin1StringView("HH"))) {
      const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
      out += number(hour, 2, fill);
      i += takes(QLatin1StringView("HH12")) ? 4 : 2;
    } else if (takes(QLatin1StringView("SS"))) {
      out += number(time.second(), 2, fill);
      i += 2;
    } else if (takes(QLatin1StringView("A.M.")) || takes(QLatin1StringView("P.M."))) {
      out += withCase(time.hour() < 12 ? QStringLiteral("A.M.") : QStringLiteral("P.M."),
                      caseOf(rest));
      i += 4;
    } else if (takes(QLatin1StringView("AM")) || takes(QLatin1StringView("PM"))) {
      out += withCase(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"), caseOf(rest));
      i += 2;
    } else {
      out += format[i];
      ++i;
    }
  }
  return out;
}

}  // namespace korvo::db
