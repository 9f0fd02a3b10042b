#include "db/oracle_date_text.h"

#include <gtest/gtest.h>

namespace korvo::db {
namespace {

TEST(OracleDateText, FormatModels) {
  const QDateTime date(QDate(1981, 2, 20), QTime(15, 4, 5));    // a Friday
  const QDateTime morning(QDate(2024, 1, 7), QTime(0, 30, 0));  // a Sunday
  struct Case {
    QDateTime date;
    const char* format;
    const char* expected;
  };
  const Case cases[] = {
      {date, "DD-MON-RR", "20-FEB-81"},
      {date, "DD/MM/YYYY hh24:mi:ss", "20/02/1981 15:04:05"},
      {date, "MM/DD/YYYY HH24:MI:SS", "02/20/1981 15:04:05"},
      {date, "YYYY/MM/DD", "1981/02/20"},
      {date, "Mon dd, yyyy", "Feb 20, 1981"},
      {date, "mon", "feb"},
      {date, "Month", "February "},
      {date, "FMMonth DD", "February 20"},
      {date, "DAY DY D", "FRIDAY    FRI 6"},
      {date, "HH:MI AM", "03:04 PM"},
      {date, "HH12 p.m.", "03 p.m."},
      {date, "Q DDD", "1 051"},
      {date, "\"year\" YYYY", "year 1981"},
      {morning, "HH AM D", "12 AM 1"},
      {morning, "FMDD/MM/YYYY", "7/1/2024"},
      {morning, "SYYYY", " 2024"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(oracleDateText(c.date, QString::fromLatin1(c.format)).toStdString(), c.expected);
  }
  EXPECT_EQ(oracleDateText(QDateTime(), "DD"), QString());
}

}  // namespace
}  // namespace korvo::db
