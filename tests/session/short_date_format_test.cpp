#include "session/short_date_format.h"

#include <gtest/gtest.h>

namespace korvo::session {
namespace {

TEST(ShortDateFormatTest, SessionFormatTable) {
  const QList<QPair<QString, QString>> cases = {
      {"M/D/YYYY", "MM/DD/YYYY"},   {"M/D/YY", "MM/DD/YYYY"},     {"MM/DD/YY", "MM/DD/YYYY"},
      {"YY/MM/DD", "YYYY/MM/DD"},   {"YYYY-MM-DD", "YYYY/MM/DD"}, {"DD-MMM-YY", "DD/MM/YYYY"},
      {"DD/MM/YYYY", "DD/MM/YYYY"}, {"DD.MM.YYYY", "DD/MM/YYYY"}, {"M/d/yyyy", "MM/DD/YYYY"},
      {"yyyy-MM-dd", "YYYY/MM/DD"}, {"MM/DD/YYYY", "DD/MM/YYYY"}, {"YYYY/MM/DD", "DD/MM/YYYY"},
      {"", "DD/MM/YYYY"},           {"M/D/YYYY ", "DD/MM/YYYY"},
  };
  for (const auto& [program, session] : cases)
    EXPECT_EQ(sessionDateFormatFor(program), session) << program.toStdString();
}

TEST(ShortDateFormatTest, RegionalFormatsInProgramNotation) {
  EXPECT_EQ(toProgramDateNotation("M/d/yyyy"), "M/D/YYYY");
  EXPECT_EQ(toProgramDateNotation("dd/MM/yyyy"), "DD/MM/YYYY");
  EXPECT_EQ(sessionDateFormatFor(toProgramDateNotation("M/d/yy")), "MM/DD/YYYY");
  EXPECT_EQ(regionalShortDateFormat(), regionalShortDateFormat().toUpper());
}

TEST(ShortDateFormatTest, FormatsDatesInProgramNotation) {
  const QDate date(2026, 3, 7);  // a Saturday
  const QList<QPair<QString, QString>> cases = {
      {"DD/MM/YYYY", "07/03/2026"},
      {"MM/DD/YYYY", "03/07/2026"},
      {"YYYY/MM/DD", "2026/03/07"},
      {"M/D/YY", "3/7/26"},
      {"d.m.yyyy", "7.3.2026"},
      {"DD-MMM-YY", "07-Mar-26"},
      {"dddd d mmmm", "Saturday 7 March"},
  };
  for (const auto& [format, text] : cases)
    EXPECT_EQ(formatProgramDate(date, format), text) << format.toStdString();
}

}  // namespace
}  // namespace korvo::session
