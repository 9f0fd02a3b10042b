// Date functions, date arithmetic and conversions through SQLite.
#include "engine/functions_test_db.h"

namespace korvo::engine::testing {
namespace {

using DateFunctions = OracleFunctionsTest;
using ConversionFunctions = OracleFunctionsTest;

TEST_F(DateFunctions, AddMonthsKeepsMonthEnds) {
  const Case cases[] = {
      {"ADD_MONTHS('2024-01-31 00:00:00',1)", "'2024-02-29 00:00:00'"},
      {"ADD_MONTHS('2023-02-28 10:00:00',1)", "'2023-03-31 10:00:00'"},
      {"ADD_MONTHS('2024-02-29 00:00:00',12)", "'2025-02-28 00:00:00'"},
      {"ADD_MONTHS('2024-01-15 08:30:00',-13)", "'2022-12-15 08:30:00'"},
      {"ADD_MONTHS('2024-03-30 00:00:00',-1)", "'2024-02-29 00:00:00'"},
      {"ADD_MONTHS('2024-01-31 00:00:00',1.9)", "'2024-02-29 00:00:00'"},
      {"ADD_MONTHS('31-JAN-24',1)", "'2024-02-29 00:00:00'"},
      {"ADD_MONTHS('2024-01-31',1)", "ORA-01861: literal does not match format string"},
      {"ADD_MONTHS(5,1)", "ORA-00932: inconsistent datatypes: expected DATE got NUMBER"},
      {"ADD_MONTHS('9999-12-01 00:00:00',1)",
       "ORA-01841: (full) year must be between -4713 and +9999, and not be 0"},
      {"ADD_MONTHS('2024-01-31 00:00:00',NULL)", "NULL"},
      {"ADD_MONTHS(NULL,1)", "NULL"},
  };
  EXPECT_CASES(cases);
}

TEST_F(DateFunctions, MonthsBetween) {
  const Case cases[] = {
      {"MONTHS_BETWEEN('1995-02-02 00:00:00','1995-01-01 00:00:00')", "~1.03225806451613"},
      {"MONTHS_BETWEEN('2024-03-31 00:00:00','2024-02-29 00:00:00')", "1"},
      {"MONTHS_BETWEEN('2024-01-15 12:00:00','2024-03-15 00:00:00')", "-2"},
      {"MONTHS_BETWEEN('2024-01-01 12:00:00','2024-01-01 00:00:00')", "0"},
      {"MONTHS_BETWEEN('2024-01-02 12:00:00','2024-01-01 00:00:00')", "~0.0483870967741935"},
      {"MONTHS_BETWEEN('2024-02-29 00:00:00','2024-01-31 00:00:00')", "1"},
      {"MONTHS_BETWEEN('2024-02-28 00:00:00','2024-01-31 00:00:00')", "~0.903225806451613"},
  };
  EXPECT_CASES(cases);
}

TEST_F(DateFunctions, LastDayNextDayAndArithmetic) {
  const Case cases[] = {
      {"LAST_DAY('2024-02-10 13:14:15')", "'2024-02-29 13:14:15'"},
      {"LAST_DAY('2023-12-31 00:00:00')", "'2023-12-31 00:00:00'"},
      {"NEXT_DAY('2024-01-05 08:00:00','FRIDAY')", "'2024-01-12 08:00:00'"},
      {"NEXT_DAY('2024-01-05 00:00:00','mon')", "'2024-01-08 00:00:00'"},
      {"NEXT_DAY('2024-01-05 00:00:00','Saturday')", "'2024-01-06 00:00:00'"},
      {"NEXT_DAY('2024-01-05 00:00:00','XYZ')", "ORA-01846: not a valid day of the week"},
      {"ora_date_add('2024-01-01 00:00:00',1)", "'2024-01-02 00:00:00'"},
      {"ora_date_add('2024-01-01 00:00:00',1/24.0)", "'2024-01-01 01:00:00'"},
      {"ora_date_add('2024-01-01 00:00:00',0.5)", "'2024-01-01 12:00:00'"},
      {"ora_date_add('2024-03-01 00:00:00',-1)", "'2024-02-29 00:00:00'"},
      {"ora_date_add('2024-01-01 00:00:00',1.4/86400)", "'2024-01-01 00:00:01'"},
      {"ora_date_add('2024-01-01 00:00:00',-(1/1440.0))", "'2023-12-31 23:59:00'"},
      {"ora_date_add(NULL,1)", "NULL"},
      {"ora_date_add('2024-01-01 00:00:00',NULL)", "NULL"},
      {"ora_date_diff('2024-01-02 12:00:00','2024-01-01 00:00:00')", "~1.5"},
      {"ora_date_diff('2024-03-01 00:00:00','2024-02-01 00:00:00')", "29"},
      {"ora_date_diff('2024-01-01 00:00:00','2024-01-01 06:00:00')", "~-0.25"},
  };
  EXPECT_CASES(cases);
}

TEST_F(DateFunctions, TruncAndRoundDates) {
  const Case cases[] = {
      {"ora_trunc_date('2024-05-17 13:45:12',NULL)", "'2024-05-17 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','MM')", "'2024-05-01 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','YYYY')", "'2024-01-01 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','Q')", "'2024-04-01 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','IW')", "'2024-05-13 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','DAY')", "'2024-05-12 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','WW')", "'2024-05-13 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','W')", "'2024-05-15 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','HH24')", "'2024-05-17 13:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','mi')", "'2024-05-17 13:45:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','CC')", "'2001-01-01 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','IYYY')", "'2024-01-01 00:00:00'"},
      {"ora_trunc_date('2024-05-17 13:45:12','XX')", "ORA-01899: bad precision specifier"},
      {"ora_round_date('2024-05-17 13:45:12',NULL)", "'2024-05-18 00:00:00'"},
      {"ora_round_date('2024-05-17 11:59:59',NULL)", "'2024-05-17 00:00:00'"},
      {"ora_round_date('2024-05-17 13:45:12','MM')", "'2024-06-01 00:00:00'"},
      {"ora_round_date('2024-05-15 23:00:00','MM')", "'2024-05-01 00:00:00'"},
      {"ora_round_date('2024-07-01 00:00:00','YYYY')", "'2025-01-01 00:00:00'"},
      {"ora_round_date('2024-06-30 23:59:59','YYYY')", "'2024-01-01 00:00:00'"},
      {"ora_round_date('2024-05-16 00:00:00','Q')", "'2024-07-01 00:00:00'"},
      {"ora_round_date('2024-05-15 00:00:00','Q')", "'2024-04-01 00:00:00'"},
      {"ora_round_date('2024-05-17 13:45:12','HH')", "'2024-05-17 14:00:00'"},
      {"ora_round_date('2024-05-17 13:45:12','MI')", "'2024-05-17 13:45:00'"},
      {"ora_round_date('2024-12-31 13:00:00','DD')", "'2025-01-01 00:00:00'"},
      {"TRUNC('2024-05-17 13:45:12')", "'2024-05-17 00:00:00'"},
      {"ROUND('2024-05-17 13:45:12','MM')", "'2024-06-01 00:00:00'"},
  };
  EXPECT_CASES(cases);
}

TEST_F(DateFunctions, ExtractAndSessionValues) {
  const Case cases[] = {
      {"ora_extract('YEAR','2024-05-17 13:45:12')", "2024"},
      {"ora_extract('MONTH','2024-05-17 13:45:12')", "5"},
      {"ora_extract('DAY','2024-05-17 13:45:12')", "17"},
      {"ora_extract('HOUR','2024-05-17 13:45:12')",
       "ORA-30076: invalid extract field for extract source"},
      {"ora_extract('YEAR',NULL)", "NULL"},
      {"USER()", "'SCOTT'"},
      {"ora_sysdate()", "'2026-12-08 10:30:00'"},
      {"USERENV('LANGUAGE')", "'AMERICAN_AMERICA.AL32UTF8'"},
      {"USERENV('nope')", "ORA-02003: invalid USERENV parameter"},
      {"LENGTH(SYS_GUID())", "32"},
      {"SYS_GUID() = SYS_GUID()", "0"},
  };
  EXPECT_CASES(cases);
}

TEST_F(DateFunctions, DatesFollowTheSessionDateFormat) {
  nls_.dateFormat = "YYYY-MM-DD";
  EXPECT_EQ(eval("ora_date_to_char('1980-12-17 10:00:00',NULL)"), "'1980-12-17'");
  EXPECT_EQ(eval("ora_to_date('1980-12-17',NULL)"), "'1980-12-17 00:00:00'");
  EXPECT_EQ(eval("ora_to_date('17-DEC-80',NULL)"),
            "ORA-01847: day of month must be between 1 and last day of month");
  EXPECT_EQ(eval("LAST_DAY('1980-02-03')"), "'1980-02-29 00:00:00'");
}

TEST_F(ConversionFunctions, ToCharOfNumbers) {
  const Case cases[] = {
      {"TO_CHAR(0.5)", "'.5'"},
      {"TO_CHAR(-0.5)", "'-.5'"},
      {"TO_CHAR(400)", "'400'"},
      {"TO_CHAR(400.0)", "'400'"},
      {"TO_CHAR(1234.5,'999G999D99')", "'   1,234.50'"},
      {"TO_CHAR(666.66,'99.99')", "'######'"},
      {"TO_CHAR(1234.5,'FM999G999D99')", "'1,234.5'"},
      {"TO_CHAR(10,'FM990D99')", "'10.'"},
      {"TO_CHAR(5,NULL)", "NULL"},
      {"TO_CHAR(5,'XX')", "ORA-01481: invalid number format model"},
      {"TO_CHAR('12.5','99D99')", "' 12.50'"},
      {"TO_CHAR('abc','99')", "ORA-01722: invalid number"},
      {"TO_CHAR('2024-03-05 00:00:00','DD/MM/YYYY')", "'05/03/2024'"},
      {"TO_CHAR('text')", "'text'"},
      {"TO_CHAR(NULL,'99')", "NULL"},
      {"TO_CHAR(1234.5,'9G999D9','NLS_NUMERIC_CHARACTERS='',.''')", "' 1.234,5'"},
      {"TO_CHAR(1,'9','NLS_CURRENCY=x')",
       "ORA-12702: invalid NLS parameter string used in SQL function"},
      {"ora_num_to_char(0.5,NULL)", "'.5'"},
      {"ora_num_to_char(1234.5,'9G999D9')", "' 1,234.5'"},
      {"ora_num_to_char(NULL,'9')", "NULL"},
  };
  EXPECT_CASES(cases);
}

TEST_F(ConversionFunctions, ToNumber) {
  const Case cases[] = {
      {"TO_NUMBER('1,234.50','9G999D99')", "~1234.5"},
      {"TO_NUMBER('12a')", "ORA-01722: invalid number"},
      {"TO_NUMBER(' 12 ')", "12"},
      {"TO_NUMBER('-1.5e3')", "-1500"},
      {"TO_NUMBER('.5')", "~0.5"},
      {"TO_NUMBER('1.')", "1"},
      {"TO_NUMBER('+')", "ORA-01722: invalid number"},
      {"TO_NUMBER('1 2')", "ORA-01722: invalid number"},
      {"TO_NUMBER('1.2.3')", "ORA-01722: invalid number"},
      {"TO_NUMBER('')", "NULL"},
      {"TO_NUMBER(12)", "12"},
      {"TO_NUMBER('$1,234','$9,999')", "1234"},
      {"TO_NUMBER('123-','999MI')", "-123"},
      {"TO_NUMBER('<5>','9PR')", "-5"},
      {"TO_NUMBER('-12','99')", "-12"},
      {"TO_NUMBER('12345','999')", "ORA-01722: invalid number"},
      {"TO_NUMBER('1.234','9.99')", "ORA-01722: invalid number"},
      {"TO_NUMBER('1.2E+02','9.9EEEE')", "120"},
      {"TO_NUMBER('1200','99V99')", "12"},
      {"TO_NUMBER('12',NULL)", "NULL"},
      {"TO_NUMBER('1,5','9D9','NLS_NUMERIC_CHARACTERS='',.''')", "~1.5"},
      {"TO_NUMBER(TO_CHAR(ora_to_date('17-DEC-80',NULL),'SYYYY'))", "1980"},
      {"TO_NUMBER(TO_CHAR(ora_to_date('17-DEC-80',NULL),'Q'))", "4"},
  };
  EXPECT_CASES(cases);
}

TEST_F(ConversionFunctions, ToDate) {
  const Case cases[] = {
      {"TO_DATE('17-DEC-80')", "'1980-12-17 00:00:00'"},
      {"TO_DATE('17-DEC-80  ')", "'1980-12-17 00:00:00'"},
      {"TO_DATE('01/01/1981','DD/MM/YYYY hh24:mi:ss')", "'1981-01-01 00:00:00'"},
      {"TO_DATE('10:30','HH24:MI')", "'2026-12-01 10:30:00'"},
      {"TO_DATE('1981-01-01')", "ORA-01861: literal does not match format string"},
      {"TO_DATE(20240105,'YYYYMMDD')", "'2024-01-05 00:00:00'"},
      {"TO_DATE('  ','DD')", "NULL"},
      {"TO_DATE('','DD')", "NULL"},
      {"TO_DATE('05','DD',NULL)", "'2026-12-05 00:00:00'"},
      {"TO_DATE('05',NULL)", "NULL"},
      {"TO_DATE('01-JAN-2024','DD-MON-YYYY','NLS_DATE_LANGUAGE=AMERICAN')",
       "'2024-01-01 00:00:00'"},
      {"TO_DATE('01-JAN-2024','DD-MON-YYYY','NLS_DATE_LANGUAGE=FRENCH')",
       "ORA-12702: invalid NLS parameter string used in SQL function"},
      {"ora_to_date('17-DEC-80',NULL)", "'1980-12-17 00:00:00'"},
      {"ora_to_date('17/12/1980','DD/MM/YYYY')", "'1980-12-17 00:00:00'"},
      {"ora_date_to_char('1980-12-17 00:00:00',NULL)", "'17-DEC-80'"},
      {"ora_date_to_char('2024-01-05 14:07:09','Dy DD Mon YYYY HH:MI AM')",
       "'Fri 05 Jan 2024 02:07 PM'"},
      {"ora_date_to_char('2024-01-05 14:07:09','DD-XX')", "ORA-01821: date format not recognized"},
      {"ora_date_to_char(NULL,'DD')", "NULL"},
  };
  EXPECT_CASES(cases);
}

TEST_F(ConversionFunctions, CommaDecimalSession) {
  nls_.decimalSeparator = ',';
  nls_.groupSeparator = '.';
  const Case cases[] = {
      {"TO_CHAR(1234.5,'9G999D9')", "' 1.234,5'"},
      {"TO_CHAR(1234.5,'9,999.9')", "' 1,234.5'"},
      {"TO_CHAR(1.5)", "'1,5'"},
      {"ora_num_to_char(-0.5,NULL)", "'-,5'"},
      {"TO_NUMBER('1.5')", "ORA-01722: invalid number"},
      {"TO_NUMBER('1,5')", "~1.5"},
      {"TO_NUMBER('1.234,5','9G999D9')", "~1234.5"},
  };
  EXPECT_CASES(cases);
}

}  // namespace
}  // namespace korvo::engine::testing
