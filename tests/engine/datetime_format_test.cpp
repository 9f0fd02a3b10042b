// Date format models in both directions, called directly.
#include <gtest/gtest.h>

#include <string>

#include "engine/datetime.h"
#include "engine/ora_error.h"

namespace korvo::engine {
namespace {

// Friday, 5 January 2024, 14:07:09.
const DateTime kFriday{2024, 1, 5, 14, 7, 9};
// The statement's SYSDATE for defaults and the RR century.
const DateTime kNow{2026, 12, 8, 10, 30, 0};

std::string errorOf(const std::string& text, const std::string& format) {
  try {
    return canonicalDate(parseDate(text, format, kNow));
  } catch (const OraError& e) {
    return e.what();
  }
}

struct FormatCase {
  DateTime date;
  const char* format;
  const char* expected;
};

TEST(DateFormat, ElementsFormatAsOracleShowsThem) {
  const FormatCase cases[] = {
      {kFriday, "DD-MON-RR", "05-JAN-24"},
      {kFriday, "DD-Mon-YYYY", "05-Jan-2024"},
      {kFriday, "dd-mon-yyyy", "05-jan-2024"},
      {kFriday, "Month", "January  "},
      {kFriday, "FMMonth", "January"},
      {kFriday, "MONTH DD", "JANUARY   05"},
      {kFriday, "Day", "Friday   "},
      {kFriday, "fmDay", "Friday"},
      {kFriday, "DY dy Dy", "FRI fri Fri"},
      {kFriday, "D", "6"},
      {kFriday, "DDD", "005"},
      {kFriday, "FMDDD", "5"},
      {kFriday, "HH:MI:SS AM", "02:07:09 PM"},
      {kFriday, "HH24", "14"},
      {kFriday, "HH12 a.m.", "02 p.m."},
      {{2024, 1, 5, 0, 5, 0}, "HH:MI AM", "12:05 AM"},
      {kFriday, "SSSSS", "50829"},
      {kFriday, "Q WW IW W", "1 01 01 1"},
      {{2000, 1, 1, 0, 0, 0}, "J", "2451545"},
      {kFriday, "SYYYY YYY YY Y", " 2024 024 24 4"},
      {kFriday, "Y,YYY CC RR RRRR", "2,024 21 24 2024"},
      {{2005, 1, 1, 0, 0, 0}, "YY FMYY", "05 5"},
      {{2000, 1, 1, 0, 0, 0}, "CC", "20"},
      {kFriday, "DDTH", "05TH"},
      {kFriday, "fmDDth", "5th"},
      {{2024, 1, 1, 0, 0, 0}, "DDTH", "01ST"},
      {{2024, 1, 22, 0, 0, 0}, "DDTH", "22ND"},
      {{2024, 1, 13, 0, 0, 0}, "DDTH", "13TH"},
      {{2024, 1, 23, 0, 0, 0}, "DdTh", "23RD"},
      {kFriday, "\"Quarter \"Q", "Quarter 1"},
      {kFriday, "YYYY-MM-DD\"T\"HH24:MI:SS", "2024-01-05T14:07:09"},
      {kFriday, "MM/DD/YYYY", "01/05/2024"},
      {kFriday, "RM", "I   "},
      {{2024, 12, 1, 0, 0, 0}, "fmRM", "XII"},
      {kFriday, "AD", "AD"},
      {{2024, 12, 30, 0, 0, 0}, "IYYY-IW", "2025-01"},
      {{2021, 1, 1, 0, 0, 0}, "IYYY-IW", "2020-53"},
      {kFriday, "FMDD \"of\" Month", "5 of January"},
      {kFriday, "FMMonth DD FMYYYY", "January 5 2024"},
      {{2024, 9, 3, 0, 0, 0}, "MONTH|DAY|", "SEPTEMBER|TUESDAY  |"},
      {{2024, 12, 31, 0, 0, 0}, "DDD WW", "366 53"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatDate(c.date, c.format), c.expected) << c.format;
}

TEST(DateFormat, UnknownElementsAreRefused) {
  for (const char* format : {"DD-XX", "DDSX", "\"open", "DD1", "HH25", "E"}) {
    try {
      formatDate(kFriday, format);
      ADD_FAILURE() << format << " was accepted";
    } catch (const OraError& e) {
      EXPECT_EQ(e.code(), 1821) << format;
    }
  }
  EXPECT_THROW(validateDateFormat("YYYY-MM-DDX"), OraError);
  EXPECT_THROW(formatDate({2023, 2, 29, 0, 0, 0}, "DD"), OraError);
  EXPECT_THROW(formatDate({2023, 13, 1, 0, 0, 0}, "DD"), OraError);
  EXPECT_NO_THROW(validateDateFormat("DD.MM.YYYY HH24:MI:SS"));
}

struct ParseCase {
  const char* text;
  const char* format;
  const char* expected;  // canonical date or the error
};

TEST(DateParse, LenientParsing) {
  const ParseCase cases[] = {
      {"17-DEC-80", "DD-MON-RR", "1980-12-17 00:00:00"},
      {"17-dec-1980", "DD-MON-RR", "1980-12-17 00:00:00"},
      {"17-DEC-80  ", "DD-MON-RR", "1980-12-17 00:00:00"},
      {"  17-DEC-80", "DD-MON-RR", "1980-12-17 00:00:00"},
      {"01/01/1981", "DD/MM/YYYY hh24:mi:ss", "1981-01-01 00:00:00"},
      {"01/01/1981 13:14", "DD/MM/YYYY hh24:mi:ss", "1981-01-01 13:14:00"},
      {"10:30", "HH24:MI", "2026-12-01 10:30:00"},
      {"2024", "YYYY", "2024-12-01 00:00:00"},
      {"49", "RR", "2049-12-01 00:00:00"},
      {"50", "RR", "1950-12-01 00:00:00"},
      {"99", "RRRR", "1999-12-01 00:00:00"},
      {"50", "YY", "2050-12-01 00:00:00"},
      {"1950", "RR", "1950-12-01 00:00:00"},
      {"2451545", "J", "2000-01-01 00:00:00"},
      {"January 5, 2024", "Month DD, YYYY", "2024-01-05 00:00:00"},
      {"5-JANUARY-2024", "DD-MON-YYYY", "2024-01-05 00:00:00"},
      {"05-JAN-2024", "DD-MM-YYYY", "2024-01-05 00:00:00"},
      {"2024/01/05", "YYYY-MM-DD", "2024-01-05 00:00:00"},
      {"2024.1.5", "YYYY-MM-DD", "2024-01-05 00:00:00"},
      {"20240105", "YYYYMMDD", "2024-01-05 00:00:00"},
      {"05JAN2024", "DD-MON-YYYY", "2024-01-05 00:00:00"},
      {"11:15 PM", "HH:MI AM", "2026-12-01 23:15:00"},
      {"11:15PM", "HH:MI AM", "2026-12-01 23:15:00"},
      {"12:15 a.m.", "HH:MI AM", "2026-12-01 00:15:00"},
      {"12:15 PM", "HH12:MI P.M.", "2026-12-01 12:15:00"},
      {"MONDAY 01-01-2024", "DAY DD-MM-YYYY", "2024-01-01 00:00:00"},
      {"60", "DDD", "2026-03-01 00:00:00"},
      {"3600", "SSSSS", "2026-12-01 01:00:00"},
      {"2024-01-05T10:11:12", "YYYY-MM-DD\"T\"HH24:MI:SS", "2024-01-05 10:11:12"},
      {"XII 2024", "RM YYYY", "2024-12-01 00:00:00"},
      {"2024", "SYYYY", "2024-12-01 00:00:00"},
      {"15-MAR-2024 AD", "DD-MON-YYYY AD", "2024-03-15 00:00:00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(errorOf(c.text, c.format), c.expected) << c.text << " / " << c.format;
}

TEST(DateParse, ErrorsNameTheProblem) {
  const ParseCase cases[] = {
      {"1981-01-01", "DD-MON-RR", "ORA-01861: literal does not match format string"},
      {"32-JAN-2024", "DD-MON-YYYY",
       "ORA-01847: day of month must be between 1 and last day of month"},
      {"31-FEB-2024", "DD-MON-YYYY", "ORA-01839: date not valid for month specified"},
      {"29-FEB-2023", "DD-MON-YYYY", "ORA-01839: date not valid for month specified"},
      {"01-XYZ-2024", "DD-MON-YYYY", "ORA-01843: not a valid month"},
      {"01-13-2024", "DD-MM-YYYY", "ORA-01843: not a valid month"},
      {"05-01-2024", "DD-MON-YYYY", "ORA-01843: not a valid month"},
      {"13:00", "HH:MI", "ORA-01849: hour must be between 1 and 12"},
      {"0:00", "HH:MI", "ORA-01849: hour must be between 1 and 12"},
      {"24:00", "HH24:MI", "ORA-01850: hour must be between 0 and 23"},
      {"10:60", "HH24:MI", "ORA-01851: minutes must be between 0 and 59"},
      {"10:10:60", "HH24:MI:SS", "ORA-01852: seconds must be between 0 and 59"},
      {"01-01-2024 extra", "DD-MM-YYYY",
       "ORA-01830: date format picture ends before converting entire input string"},
      {"ab-01-2024", "DD-MM-YYYY",
       "ORA-01858: a non-numeric character was found where a numeric was expected"},
      {"0000", "YYYY", "ORA-01841: (full) year must be between -4713 and +9999, and not be 0"},
      {"-44", "SYYYY", "ORA-01841: (full) year must be between -4713 and +9999, and not be 0"},
      {"2024 12", "YYYY WW", "ORA-01820: format code cannot appear in date input format"},
      {"2024 1", "YYYY Q", "ORA-01820: format code cannot appear in date input format"},
      {"01-02", "DD-DD", "ORA-01810: format code appears twice"},
      {"TUESDAY 01-01-2024", "DAY DD-MM-YYYY", "ORA-01835: day of week conflicts with Julian date"},
      {"FUNDAY 01-01-2024", "DAY DD-MM-YYYY", "ORA-01846: not a valid day of the week"},
      {"10 XM", "HH AM", "ORA-01855: AM/A.M. or PM/P.M. required"},
      {"10:00 PM", "HH24:MI AM", "ORA-01818: 'HH24' precludes use of meridian indicator"},
      {"367", "DDD", "ORA-01848: day of year must be between 1 and 365 (366 for leap year)"},
      {"366", "DDD", "ORA-01848: day of year must be between 1 and 365 (366 for leap year)"},
      {"2024-1-5", "FXYYYY-MM-DD",
       "ORA-01862: the numeric value does not match the length of the format item"},
      {"2024/01/05", "FXYYYY-MM-DD", "ORA-01861: literal does not match format string"},
      {"2024-01", "FXYYYY-MM-DD", "ORA-01840: input value not long enough for date format"},
      {"0", "J", "ORA-01854: julian date must be between 1 and 5373484"},
      {"15-MAR-2024 BC", "DD-MON-YYYY AD",
       "ORA-01841: (full) year must be between -4713 and +9999, and not be 0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(errorOf(c.text, c.format), c.expected) << c.text << " / " << c.format;
}

TEST(DateParse, FormattedDatesReadBack) {
  const DateTime dates[] = {kFriday,
                            {1999, 12, 31, 23, 59, 59},
                            {2000, 2, 29, 0, 0, 0},
                            {1, 1, 1, 0, 0, 0},
                            {9999, 12, 31, 12, 0, 1}};
  const char* formats[] = {"YYYY-MM-DD HH24:MI:SS", "DD-MON-YYYY HH:MI:SS AM",
                           "FMMonth DD, YYYY HH24:MI:SS", "J SSSSS", "Dy DD.MM.YYYY HH24.MI.SS"};
  for (const auto& d : dates)
    for (const char* f : formats)
      EXPECT_EQ(parseDate(formatDate(d, f), f, kNow), d) << f << " " << canonicalDate(d);
}

}  // namespace
}  // namespace korvo::engine
