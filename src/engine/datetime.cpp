// The calendar and Oracle's date arithmetic (ADD_MONTHS, MONTHS_BETWEEN, TRUNC,
// ROUND...). Calendar math is proleptic Gregorian on days since 1970-01-01.
#include "engine/datetime.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/datetime_names.h"
#include "engine/ora_error.h"

namespace korvo::engine {

namespace {

constexpr long long kSecondsPerDay = 86400;

[[noreturn]] void yearOutOfRange() {
  throw OraError(1841);
}

long long floorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

struct Civil {
  long long year;
  int month;
  int day;
};

Civil civilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2), month, day};
}

long long daysOf(const DateTime& d) { return daysFromCivil(d.year, d.month, d.day); }

DateTime dateAtDays(long long days) {
  Civil c = civilFromDays(days);
  if (c.year < kMinYear || c.year > kMaxYear) yearOutOfRange();
  return {static_cast<int>(c.year), c.month, c.day, 0, 0, 0};
}

// 0 = Sunday; 1970-01-01 was a Thursday.
int weekdayOfDays(long long days) { return static_cast<int>(((days % 7) + 7 + 4) % 7); }

// Monday of the ISO week holding January 4th of isoYear.
long long isoYearStart(long long isoYear) {
  long long jan4 = daysFromCivil(static_cast<int>(isoYear), 1, 4);
  return jan4 - (weekdayOfDays(jan4) + 6) % 7;
}

std::string upperTrimmed(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == ' ') continue;
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

enum class Unit {
  Century,
  Year,
  IsoYear,
  Quarter,
  Month,
  Week,
  IsoWeek,
  MonthWeek,
  Day,
  WeekStart,
  Hour,
  Minute
};

Unit unitOf(std::string_view format) {
  const std::string f = upperTrimmed(format);
  if (f.empty()) return Unit::Day;
  if (f == "CC" || f == "SCC") return Unit::Century;
  if (f == "SYYYY" || f == "YYYY" || f == "YEAR" || f == "SYEAR" || f == "YYY" || f == "YY" ||
      f == "Y")
    return Unit::Year;
  if (f == "IYYY" || f == "IYY" || f == "IY" || f == "I") return Unit::IsoYear;
  if (f == "Q") return Unit::Quarter;
  if (f == "MONTH" || f == "MON" || f == "MM" || f == "RM") return Unit::Month;
  if (f == "WW") return Unit::Week;
  if (f == "IW") return Unit::IsoWeek;
  if (f == "W") return Unit::MonthWeek;
  if (f == "DDD" || f == "DD" || f == "J") return Unit::Day;
  if (f == "DAY" || f == "DY" || f == "D") return Unit::WeekStart;
  if (f == "HH" || f == "HH12" || f == "HH24") return Unit::Hour;
  if (f == "MI") return Unit::Minute;
  throw OraError(1899);
}

// Start of the period holding d, in days (for date units) or seconds.
long long periodStartDays(const DateTime& d, Unit unit) {
  const long long days = daysOf(d);
  switch (unit) {
    case Unit::Century:
      return daysFromCivil(static_cast<int>(floorDiv(d.year - 1, 100) * 100 + 1), 1, 1);
    case Unit::Year:
      return daysFromCivil(d.year, 1, 1);
    case Unit::IsoYear: {
      long long start = isoYearStart(d.year + 1);
      if (days >= start) return start;
      start = isoYearStart(d.year);
      return days >= start ? start : isoYearStart(d.year - 1);
    }
    case Unit::Quarter:
      return daysFromCivil(d.year, (d.month - 1) / 3 * 3 + 1, 1);
    case Unit::Month:
      return daysFromCivil(d.year, d.month, 1);
    case Unit::Week: {
      long long jan1 = daysFromCivil(d.year, 1, 1);
      return jan1 + (days - jan1) / 7 * 7;
    }
    case Unit::IsoWeek:
      return days - (dayOfWeek(d) + 6) % 7;
    case Unit::MonthWeek:
      return days - (d.day - 1) % 7;
    case Unit::WeekStart:
      return days - dayOfWeek(d);
    default:
      return days;
  }
}

// The start of the period after the one starting at startDays.
long long nextPeriodStartDays(long long startDays, Unit unit) {
  DateTime start = dateAtDays(startDays);
  switch (unit) {
    case Unit::Century:
      return daysFromCivil(start.year + 100, 1, 1);
    case Unit::Year:
      return daysFromCivil(start.year + 1, 1, 1);
    case Unit::IsoYear:
      return isoYearStart(dateAtDays(startDays + 7).year + 1);
    case Unit::Quarter:
      return daysOf(addMonths(start, 3));
    case Unit::Month:
      return daysOf(addMonths(start, 1));
    case Unit::Week:
    case Unit::IsoWeek:
    case Unit::MonthWeek:
    case Unit::WeekStart:
      return startDays + 7;
    default:
      return startDays + 1;
  }
}

}  // namespace

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && isLeapYear(year)) return 29;
  return kDays[month - 1];
}

std::optional<DateTime> parseCanonicalDate(std::string_view text) {
  auto number = [&](std::size_t from, std::size_t count, int& out) {
    if (from + count > text.size()) return false;
    int v = 0;
    for (std::size_t i = from; i < from + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      v = v * 10 + (text[i] - '0');
    }
    out = v;
    return true;
  };
  DateTime d;
  if (text.size() != 19) return std::nullopt;
  if (!number(0, 4, d.year) || text[4] != '-' || !number(5, 2, d.month) || text[7] != '-' ||
      !number(8, 2, d.day) || text[10] != ' ' || !number(11, 2, d.hour) || text[13] != ':' ||
      !number(14, 2, d.minute) || text[16] != ':' || !number(17, 2, d.second))
    return std::nullopt;
  if (d.year < kMinYear || d.month < 1 || d.month > 12 || d.day < 1 ||
      d.day > daysInMonth(d.year, d.month) || d.hour > 23 || d.minute > 59 || d.second > 59)
    return std::nullopt;
  return d;
}

std::string canonicalDate(const DateTime& d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour,
                d.minute, d.second);
  return buf;
}

long long daysFromCivil(int year, int month, int day) {
  long long y = year - (month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

long long toEpochSeconds(const DateTime& d) {
  return daysOf(d) * kSecondsPerDay + d.hour * 3600LL + d.minute * 60LL + d.second;
}

DateTime fromEpochSeconds(long long seconds) {
  const long long days = floorDiv(seconds, kSecondsPerDay);
  const long long rest = seconds - days * kSecondsPerDay;
  DateTime d = dateAtDays(days);
  d.hour = static_cast<int>(rest / 3600);
  d.minute = static_cast<int>(rest / 60 % 60);
  d.second = static_cast<int>(rest % 60);
  return d;
}

int dayOfWeek(const DateTime& d) { return weekdayOfDays(daysOf(d)); }

int dayOfYear(const DateTime& d) {
  return static_cast<int>(daysOf(d) - daysFromCivil(d.year, 1, 1) + 1);
}

long long julianDay(const DateTime& d) { return daysOf(d) + 2440588; }

DateTime addDays(const DateTime& d, double days) {
  if (!std::isfinite(days) || std::fabs(days) > 4.0e6) yearOutOfRange();
  return fromEpochSeconds(toEpochSeconds(d) + std::llround(days * kSecondsPerDay));
}

double daysBetween(const DateTime& later, const DateTime& earlier) {
  return static_cast<double>(toEpochSeconds(later) - toEpochSeconds(earlier)) / kSecondsPerDay;
}

DateTime addMonths(const DateTime& d, long long months) {
  if (months > 200000 || months < -200000) yearOutOfRange();
  const long long total = d.year * 12LL + (d.month - 1) + months;
  const long long year = floorDiv(total, 12);
  if (year < kMinYear || year > kMaxYear) yearOutOfRange();
  DateTime out = d;
  out.year = static_cast<int>(year);
  out.month = static_cast<int>(total - year * 12 + 1);
  const int last = daysInMonth(out.year, out.month);
  if (d.day == daysInMonth(d.year, d.month) || d.day > last) out.day = last;
  return out;
}

double monthsBetween(const DateTime& d1, const DateTime& d2) {
  const double months = (d1.year - d2.year) * 12.0 + (d1.month - d2.month);
  const bool bothMonthEnds =
      d1.day == daysInMonth(d1.year, d1.month) && d2.day == daysInMonth(d2.year, d2.month);
  if (d1.day == d2.day || bothMonthEnds) return months;
  const long long time1 = d1.hour * 3600LL + d1.minute * 60 + d1.second;
  const long long time2 = d2.hour * 3600LL + d2.minute * 60 + d2.second;
  const double seconds = (d1.day - d2.day) * 86400.0 + static_cast<double>(time1 - time2);
  return months + seconds / (31.0 * 86400.0);
}

DateTime lastDay(const DateTime& d) {
  DateTime out = d;
  out.day = daysInMonth(d.year, d.month);
  return out;
}

DateTime nextDay(const DateTime& d, std::string_view dayName) {
  std::string name = upperTrimmed(dayName);
  int index = -1;
  if (names::matchName(names::kDays, name, index) != name.size() || name.empty())
    throw OraError(1846);
  int ahead = (index - dayOfWeek(d) + 7) % 7;
  if (ahead == 0) ahead = 7;
  DateTime out = dateAtDays(daysOf(d) + ahead);
  out.hour = d.hour;
  out.minute = d.minute;
  out.second = d.second;
  return out;
}

DateTime truncDate(const DateTime& d, std::string_view format) {
  const Unit unit = unitOf(format);
  if (unit == Unit::Hour) return {d.year, d.month, d.day, d.hour, 0, 0};
  if (unit == Unit::Minute) return {d.year, d.month, d.day, d.hour, d.minute, 0};
  return dateAtDays(periodStartDays(d, unit));
}

DateTime roundDate(const DateTime& d, std::string_view format) {
  const Unit unit = unitOf(format);
  if (unit == Unit::Hour) {
    DateTime t{d.year, d.month, d.day, d.hour, 0, 0};
    return d.minute >= 30 ? fromEpochSeconds(toEpochSeconds(t) + 3600) : t;
  }
  if (unit == Unit::Minute) {
    DateTime t{d.year, d.month, d.day, d.hour, d.minute, 0};
    return d.second >= 30 ? fromEpochSeconds(toEpochSeconds(t) + 60) : t;
  }
  const long long start = periodStartDays(d, unit);
  const long long next = nextPeriodStartDays(start, unit);
  bool up = false;
  switch (unit) {
    case Unit::Century:
      up = d.year - dateAtDays(start).year >= 50;
      break;
    case Unit::Year:
    case Unit::IsoYear:
      up = d.month >= 7;  // rounds up on July 1st
      break;
    case Unit::Quarter:
      up = (d.month - 1) % 3 > 1 || ((d.month - 1) % 3 == 1 && d.day >= 16);
      break;
    case Unit::Month:
      up = d.day >= 16;
      break;
    default: {
      // Days and weeks round at the half of the period.
      const long long secondsIn = toEpochSeconds(d) - start * kSecondsPerDay;
      up = 2 * secondsIn >= (next - start) * kSecondsPerDay;
    }
  }
  if (unit == Unit::IsoYear && up) return dateAtDays(isoYearStart(d.year + 1));
  return dateAtDays(up ? next : start);
}

long long extractFromDate(std::string_view field, const DateTime& d) {
  const std::string f = upperTrimmed(field);
  if (f == "YEAR") return d.year;
  if (f == "MONTH") return d.month;
  if (f == "DAY") return d.day;
  throw OraError(30076);
}

}  // namespace korvo::engine
