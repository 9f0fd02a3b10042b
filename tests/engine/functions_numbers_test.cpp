// Numeric functions and the division and NUMBER(p,s) helpers through SQLite.
#include "engine/functions_test_db.h"

namespace korvo::engine::testing {
namespace {

using NumberFunctions = OracleFunctionsTest;

TEST_F(NumberFunctions, RoundIsDecimalAndHalfAwayFromZero) {
  const Case cases[] = {
      {"ROUND(2.5)", "3"},
      {"ROUND(-2.5)", "-3"},
      {"ROUND(0.4)", "0"},
      {"ROUND(15.193,-1)", "20"},
      {"ROUND(15.193,1)", "~15.2"},
      {"ROUND(2.675,2)", "~2.68"},
      {"ROUND(1.005,2)", "~1.01"},
      {"ROUND(-1.005,2)", "~-1.01"},
      {"ROUND(1234,-2)", "1200"},
      {"ROUND(1250,-2)", "1300"},
      {"ROUND(-1250,-2)", "-1300"},
      {"ROUND(5,-1)", "10"},
      {"ROUND(4,-1)", "0"},
      {"ROUND(123,-5)", "0"},
      {"ROUND(NULL)", "NULL"},
      {"ROUND(1.5,NULL)", "NULL"},
      {"ROUND('2.5')", "3"},
      {"ROUND(123.456,2.7)", "~123.46"},
      {"ROUND(9.995,2)", "10"},
      {"ROUND(0.05,1)", "~0.1"},
      {"ROUND(9223372036854775807,-1)", "~9.22337203685478e+18"},
      {"ROUND('abc')", "ORA-01722: invalid number"},
  };
  EXPECT_CASES(cases);
}

TEST_F(NumberFunctions, TruncCeilFloor) {
  const Case cases[] = {
      {"TRUNC(15.79,1)", "~15.7"}, {"TRUNC(15.79)", "15"},
      {"TRUNC(15.79,-1)", "10"},   {"TRUNC(-15.79)", "-15"},
      {"TRUNC(1999,-3)", "1000"},  {"TRUNC(-1999,-3)", "-1000"},
      {"TRUNC(0.29,1)", "~0.2"},   {"CEIL(15.7)", "16"},
      {"CEIL(-15.7)", "-15"},      {"CEIL(2)", "2"},
      {"FLOOR(15.7)", "15"},       {"FLOOR(-15.7)", "-16"},
      {"FLOOR(NULL)", "NULL"},
  };
  EXPECT_CASES(cases);
}

TEST_F(NumberFunctions, ModAndRemainder) {
  const Case cases[] = {
      {"MOD(-7,3)", "-1"},
      {"MOD(-7.5,2)", "~-1.5"},
      {"MOD(7,0)", "7"},
      {"MOD(11,4)", "3"},
      {"MOD(11,-4)", "3"},
      {"MOD(-11,4)", "-3"},
      {"MOD(5.5,0.1)", "0"},
      {"MOD(1.1,0.2)", "~0.1"},
      {"MOD(NULL,2)", "NULL"},
      {"MOD(7,NULL)", "NULL"},
      {"MOD(-9223372036854775808,-1)", "0"},
      {"REMAINDER(11,4)", "-1"},
      {"REMAINDER(10,4)", "2"},
      {"REMAINDER(1,0)", "ORA-01476: divisor is equal to zero"},
  };
  EXPECT_CASES(cases);
}

TEST_F(NumberFunctions, PowersRootsAndLogarithms) {
  const Case cases[] = {
      {"POWER(3,2)", "9"},
      {"POWER(2,-1)", "~0.5"},
      {"POWER(-2,3)", "-8"},
      {"POWER(-1,3)", "-1"},
      {"POWER(-1,4)", "1"},
      {"POWER(2,64)", "~1.84467440737096e+19"},
      {"POWER(-8,0.5)", "ORA-01428: argument '-8' is out of range"},
      {"POWER(0,-1)", "ORA-01428: argument '0' is out of range"},
      {"POWER(2,0.5)", "~1.4142135623731"},
      {"POWER(1.1,2) = 1.21", "1"},
      {"POWER(10,400)", "ORA-01426: numeric overflow"},
      {"SQRT(16)", "4"},
      {"SQRT(2)", "~1.4142135623731"},
      {"SQRT(-1)", "ORA-01428: argument '-1' is out of range"},
      {"EXP(0)", "1"},
      {"LN(1)", "0"},
      {"LN(0)", "ORA-01428: argument '0' is out of range"},
      {"LOG(10,100)", "2"},
      {"LOG(2,8)", "3"},
      {"LOG(1,8)", "ORA-01428: argument '1' is out of range"},
  };
  EXPECT_CASES(cases);
}

TEST_F(NumberFunctions, AbsSignBitand) {
  const Case cases[] = {
      {"ABS(-15)", "15"},    {"ABS(-1.5)", "~1.5"}, {"ABS('-3')", "3"},
      {"ABS(NULL)", "NULL"}, {"SIGN(-5)", "-1"},    {"SIGN(0)", "0"},
      {"SIGN(0.1)", "1"},    {"BITAND(6,3)", "2"},  {"BITAND(NULL,3)", "NULL"},
  };
  EXPECT_CASES(cases);
}

TEST_F(NumberFunctions, DivisionIsRealAndRefusesZero) {
  const Case cases[] = {
      {"ora_div(7,2)", "~3.5"},
      {"ora_div(6,3)", "2"},
      {"ora_div(-6,3)", "-2"},
      {"ora_div(1,0)", "ORA-01476: divisor is equal to zero"},
      {"ora_div(1,0.0)", "ORA-01476: divisor is equal to zero"},
      {"ora_div(0.3,0.1)", "3"},
      {"ora_div(NULL,0)", "NULL"},
      {"ora_div(1,3)", "~0.333333333333333"},
      {"ora_div('7','2')", "~3.5"},
      {"ora_div(-9223372036854775808,-1)", "~9.22337203685478e+18"},
  };
  EXPECT_CASES(cases);
}

TEST_F(NumberFunctions, NumberColumnRoundsAndChecksPrecision) {
  const Case cases[] = {
      {"ora_number(7456123.89,9,0)", "7456124"},
      {"ora_number(7456123.89,7,-2)", "7456100"},
      {"ora_number(7456123.89,6,0)",
       "ORA-01438: value larger than specified precision allowed for this column"},
      {"ora_number(7456123.89,9,1)", "~7456123.9"},
      {"ora_number(999.995,5,2)",
       "ORA-01438: value larger than specified precision allowed for this column"},
      {"ora_number(999.994,5,2)", "~999.99"},
      {"ora_number('12',5,0)", "12"},
      {"ora_number('12a',5,0)", "ORA-01722: invalid number"},
      {"ora_number(1.25,NULL,NULL)", "~1.25"},
      {"ora_number(0.005,2,2)", "~0.01"},
      {"ora_number(NULL,2,2)", "NULL"},
      {"ora_number(123456,5,0,'T','C')",
       "ORA-01438: value larger than specified precision allowed for this column"},
  };
  EXPECT_CASES(cases);
}

TEST_F(NumberFunctions, TextArgumentsFollowTheSessionDecimalCharacter) {
  nls_.decimalSeparator = ',';
  nls_.groupSeparator = '.';
  EXPECT_EQ(eval("ROUND('2,5')"), "3");
  EXPECT_EQ(eval("ABS('1.5')"), "ORA-01722: invalid number");
}

}  // namespace
}  // namespace korvo::engine::testing
