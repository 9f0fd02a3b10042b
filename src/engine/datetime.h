#pragma once
// Oracle DATE values (to the second, no time zone) and their format models, with
// AMERICAN month and day names. A date travels through SQLite as its canonical
// text "YYYY-MM-DD HH24:MI:SS"; everything here works on the broken-down form.
// Errors are thrown as OraError with Oracle's numbers (ORA-01843, ORA-01861...).
#include <optional>
#include <string>
#include <string_view>

namespace korvo::engine {

struct DateTime {
  int year = 1;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// The supported years; Oracle's BC years are refused with ORA-01841.
inline constexpr int kMinYear = 1;
inline constexpr int kMaxYear = 9999;

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// "YYYY-MM-DD HH24:MI:SS"; nullopt when the text is not a valid date in exactly
// that form.
std::optional<DateTime> parseCanonicalDate(std::string_view text);
std::string canonicalDate(const DateTime& d);

// Days since 1970-01-01 of the (proleptic Gregorian) calendar date.
long long daysFromCivil(int year, int month, int day);
// Seconds since 1970-01-01 00:00:00 and back; fromEpochSeconds throws ORA-01841
// when the result leaves the supported years.
long long toEpochSeconds(const DateTime& d);
DateTime fromEpochSeconds(long long seconds);

// 0 = Sunday ... 6 = Saturday.
int dayOfWeek(const DateTime& d);
int dayOfYear(const DateTime& d);
// Julian day number as format element J gives it (2000-01-01 is 2451545).
long long julianDay(const DateTime& d);

// TO_CHAR(date, format). Throws ORA-01821 for an unknown format element.
std::string formatDate(const DateTime& d, std::string_view format);
// TO_DATE(text, format): lenient unless FX is given. now supplies the defaults
// for missing fields (current year and month) and the century for RR and YY.
DateTime parseDate(std::string_view text, std::string_view format, const DateTime& now);
// Throws ORA-01821 when format is not a usable date format model.
void validateDateFormat(std::string_view format);

// Date arithmetic.
DateTime addDays(const DateTime& d, double days);  // rounded to the second
double daysBetween(const DateTime& later, const DateTime& earlier);
DateTime addMonths(const DateTime& d, long long months);
double monthsBetween(const DateTime& d1, const DateTime& d2);
DateTime lastDay(const DateTime& d);
// The first date strictly after d falling on the named day (AMERICAN name or
// abbreviation); ORA-01846 for anything else.
DateTime nextDay(const DateTime& d, std::string_view dayName);
// TRUNC(d, fmt) and ROUND(d, fmt); an empty fmt means 'DD'.
DateTime truncDate(const DateTime& d, std::string_view format);
DateTime roundDate(const DateTime& d, std::string_view format);
// EXTRACT(field FROM d) for YEAR, MONTH, DAY; ORA-30076 for other fields.
long long extractFromDate(std::string_view field, const DateTime& d);

}  // namespace korvo::engine
