// The calendar underneath DATE values, called directly.
#include <gtest/gtest.h>

#include <string>

#include "engine/datetime.h"
#include "engine/ora_error.h"

namespace korvo::engine {
namespace {

DateTime at(const char* canonical) {
  auto d = parseCanonicalDate(canonical);
  EXPECT_TRUE(d.has_value()) << canonical;
  return d.value_or(DateTime{});
}

TEST(Calendar, CanonicalTextIsStrict) {
  EXPECT_EQ(canonicalDate(at("2024-02-29 23:59:59")), "2024-02-29 23:59:59");
  EXPECT_EQ(canonicalDate({7, 3, 4, 5, 6, 7}), "0007-03-04 05:06:07");
  for (const char* bad : {"2023-02-29 00:00:00", "2024-13-01 00:00:00", "2024-01-01",
                          "2024-01-01 24:00:00", "2024-01-01 00:60:00", "2024/01/01 00:00:00",
                          "0000-01-01 00:00:00", "2024-01-01 00:00:00 ", "", "17-DEC-80"})
    EXPECT_FALSE(parseCanonicalDate(bad).has_value()) << bad;
}

TEST(Calendar, DaysWeekdaysAndJulianDays) {
  EXPECT_EQ(daysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(daysFromCivil(2000, 3, 1), 11017);
  EXPECT_EQ(dayOfWeek(at("2024-01-05 00:00:00")), 5);  // Friday
  EXPECT_EQ(dayOfWeek(at("1900-01-01 00:00:00")), 1);  // Monday
  EXPECT_EQ(dayOfYear(at("2024-12-31 00:00:00")), 366);
  EXPECT_EQ(julianDay(at("2000-01-01 00:00:00")), 2451545);
  EXPECT_TRUE(isLeapYear(2000));
  EXPECT_FALSE(isLeapYear(1900));
  EXPECT_EQ(daysInMonth(2023, 2), 28);
  for (long long s : {0LL, 86399LL, -1LL, 253402300799LL, -62135596800LL})
    EXPECT_EQ(toEpochSeconds(fromEpochSeconds(s)), s) << s;
  EXPECT_THROW(fromEpochSeconds(253402300800LL), OraError);  // year 10000
}

TEST(Calendar, AddMonths) {
  struct Case {
    const char* from;
    long long months;
    const char* expected;
  };
  const Case cases[] = {
      {"2024-01-31 10:00:00", 1, "2024-02-29 10:00:00"},
      {"2023-02-28 00:00:00", 1, "2023-03-31 00:00:00"},
      {"2024-01-30 00:00:00", 1, "2024-02-29 00:00:00"},
      {"2024-01-29 00:00:00", 1, "2024-02-29 00:00:00"},
      {"2024-01-28 00:00:00", 1, "2024-02-28 00:00:00"},
      {"2024-04-30 00:00:00", 1, "2024-05-31 00:00:00"},
      {"2024-05-31 00:00:00", -1, "2024-04-30 00:00:00"},
      {"2024-01-15 00:00:00", -1, "2023-12-15 00:00:00"},
      {"2024-01-15 00:00:00", -24, "2022-01-15 00:00:00"},
      {"2024-01-15 00:00:00", 0, "2024-01-15 00:00:00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(canonicalDate(addMonths(at(c.from), c.months)), c.expected) << c.from;
  EXPECT_THROW(addMonths(at("0001-01-15 00:00:00"), -1), OraError);
}

TEST(Calendar, MonthsBetweenUsesThirtyOneDayMonths) {
  EXPECT_DOUBLE_EQ(monthsBetween(at("1995-02-02 00:00:00"), at("1995-01-01 00:00:00")),
                   1 + 1.0 / 31);
  EXPECT_DOUBLE_EQ(monthsBetween(at("2024-04-30 00:00:00"), at("2024-01-31 00:00:00")), 3);
  EXPECT_DOUBLE_EQ(monthsBetween(at("2024-01-01 00:00:00"), at("2024-01-01 23:00:00")), 0);
  EXPECT_DOUBLE_EQ(monthsBetween(at("2024-01-02 06:00:00"), at("2024-01-01 00:00:00")), 1.25 / 31);
  EXPECT_DOUBLE_EQ(monthsBetween(at("2023-01-01 00:00:00"), at("2024-01-01 00:00:00")), -12);
}

TEST(Calendar, ArithmeticRoundsToTheSecond) {
  const DateTime d = at("2024-02-28 23:00:00");
  EXPECT_EQ(canonicalDate(addDays(d, 1.0 / 24)), "2024-02-29 00:00:00");
  EXPECT_EQ(canonicalDate(addDays(d, 0.6 / 86400)), "2024-02-28 23:00:01");
  EXPECT_EQ(canonicalDate(addDays(d, -365)), "2023-02-28 23:00:00");
  EXPECT_DOUBLE_EQ(daysBetween(at("2024-03-01 12:00:00"), d), 1.0 + 13.0 / 24);
  EXPECT_THROW(addDays(d, 1e9), OraError);
}

TEST(Calendar, NextDayTruncRoundExtract) {
  const DateTime friday = at("2024-01-05 08:00:00");
  EXPECT_EQ(canonicalDate(nextDay(friday, "friday")), "2024-01-12 08:00:00");
  EXPECT_EQ(canonicalDate(nextDay(friday, " SUN ")), "2024-01-07 08:00:00");
  EXPECT_THROW(nextDay(friday, "FRIDAYS"), OraError);
  EXPECT_THROW(nextDay(friday, ""), OraError);
  EXPECT_EQ(canonicalDate(truncDate(at("2021-01-01 10:00:00"), "IYYY")), "2019-12-30 00:00:00");
  EXPECT_EQ(canonicalDate(truncDate(at("2024-12-31 10:00:00"), "IYYY")), "2024-12-30 00:00:00");
  EXPECT_EQ(canonicalDate(roundDate(at("2051-03-01 00:00:00"), "CC")), "2101-01-01 00:00:00");
  EXPECT_EQ(canonicalDate(roundDate(at("2050-03-01 00:00:00"), "CC")), "2001-01-01 00:00:00");
  EXPECT_EQ(canonicalDate(roundDate(at("2024-05-15 12:00:00"), "DAY")), "2024-05-19 00:00:00");
  EXPECT_EQ(canonicalDate(roundDate(at("2024-05-15 11:59:59"), "DAY")), "2024-05-12 00:00:00");
  EXPECT_EQ(canonicalDate(truncDate(at("2024-05-15 11:59:59"), "")), "2024-05-15 00:00:00");
  EXPECT_EQ(extractFromDate("year", friday), 2024);
  EXPECT_THROW(extractFromDate("SECOND", friday), OraError);
  EXPECT_THROW(truncDate(friday, "SS"), OraError);
}

}  // namespace
}  // namespace korvo::engine
