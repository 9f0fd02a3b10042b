// Character and NULL-handling functions through a real SQLite connection.
#include "engine/functions_test_db.h"

namespace korvo::engine::testing {
namespace {

using StringFunctions = OracleFunctionsTest;
using ConditionalFunctions = OracleFunctionsTest;

TEST_F(StringFunctions, Substr) {
  const Case cases[] = {
      {"SUBSTR('ABCDEF',0,2)", "'AB'"},  {"SUBSTR('ABCDEF',1,2)", "'AB'"},
      {"SUBSTR('ABCDEF',-3,2)", "'DE'"}, {"SUBSTR('ABCDEF',3)", "'CDEF'"},
      {"SUBSTR('ABCDEF',-1)", "'F'"},    {"SUBSTR('abc',5)", "NULL"},
      {"SUBSTR('abc',4)", "NULL"},       {"SUBSTR('abc',2,0)", "NULL"},
      {"SUBSTR('abc',2,-1)", "NULL"},    {"SUBSTR('abc',-5)", "NULL"},
      {"SUBSTR('abc',1.9,1.9)", "'a'"},  {"SUBSTR(NULL,1)", "NULL"},
      {"SUBSTR('',1)", "NULL"},          {"SUBSTR('abc',NULL)", "NULL"},
      {"SUBSTR('abc',1,NULL)", "NULL"},  {"SUBSTR('héllo',2,3)", "'éll'"},
      {"SUBSTR(12345,2,3)", "'234'"},    {"SUBSTR('ABC',1,100)", "'ABC'"},
      {"SUBSTR('ABC','2')", "'BC'"},     {"SUBSTR('ABC','x')", "ORA-01722: invalid number"},
  };
  EXPECT_CASES(cases);
}

TEST_F(StringFunctions, Instr) {
  const Case cases[] = {
      {"INSTR('CORPORATE FLOOR','OR',3,2)", "14"},
      {"INSTR('CORPORATE FLOOR','OR',-3,2)", "2"},
      {"INSTR('CORPORATE FLOOR','OR')", "2"},
      {"INSTR('CORPORATE FLOOR','OR',-1)", "14"},
      {"INSTR('CORPORATE FLOOR','OR',-2)", "14"},
      {"INSTR('CORPORATE FLOOR','OR',-3)", "5"},
      {"INSTR('CORPORATE FLOOR','OR',-20)", "0"},
      {"INSTR('CORPORATE FLOOR','OR',3,3)", "0"},
      {"INSTR('abcd','cd',-2,1)", "3"},
      {"INSTR('dcba','dc',2,1)", "0"},
      {"INSTR('abc','x')", "0"},
      {"INSTR('abc','b',0)", "0"},
      {"INSTR('abc',NULL)", "NULL"},
      {"INSTR('abc','')", "NULL"},
      {"INSTR(NULL,'a')", "NULL"},
      {"INSTR('abc','b',NULL)", "NULL"},
      {"INSTR('abc','b',1,0)", "ORA-01428: argument '0' is out of range"},
      {"INSTR('ééa','a')", "3"},
      {"INSTR('aaa','aa',1,2)", "2"},
      {"INSTR(1234,3)", "3"},
      {"INSTR('abc','bc',9223372036854775807)", "0"},
  };
  EXPECT_CASES(cases);
}

TEST_F(StringFunctions, ReplaceAndTranslate) {
  const Case cases[] = {
      {"REPLACE('JACK and JUE','J')", "'ACK and UE'"},
      {"REPLACE('JACK and JUE','J','BL')", "'BLACK and BLUE'"},
      {"REPLACE('abc',NULL,'x')", "'abc'"},
      {"REPLACE('abc','abc')", "NULL"},
      {"REPLACE(NULL,'a')", "NULL"},
      {"REPLACE('abc','b','')", "'ac'"},
      {"REPLACE('aaa','a','aa')", "'aaaaaa'"},
      {"TRANSLATE('SQL*Plus User''s Guide', ' */''', '___')", "'SQL_Plus_Users_Guide'"},
      {"TRANSLATE('a b c',' ','')", "NULL"},
      {"TRANSLATE('a b c','A ','A')", "'abc'"},
      {"TRANSLATE('2KRW229','0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ',"
       "'9999999999XXXXXXXXXXXXXXXXXXXXXXXXXX')",
       "'9XXX999'"},
      {"TRANSLATE('abc','aa','xy')", "'xbc'"},
      {"TRANSLATE('éa','é','e')", "'ea'"},
      {"TRANSLATE('aaa','a','')", "NULL"},
      {"TRANSLATE(NULL,'a','b')", "NULL"},
      // The catalogue's measure test chains these inside DECODE.
      {"DECODE(INSTR(REPLACE(TRANSLATE(LOWER('Sum of X'),'A ','A'),'sum('),'sum'),0,0,1)", "1"},
      {"DECODE(INSTR(REPLACE(TRANSLATE(LOWER('Name'),'A ','A'),'sum('),'sum'),0,0,1)", "0"},
  };
  EXPECT_CASES(cases);
}

TEST_F(StringFunctions, CaseConversionIsUnicodeAware) {
  const Case cases[] = {
      {"UPPER('straße é')", "'STRAßE É'"},
      {"LOWER('ÀÉÎ Ÿ')", "'àéî ÿ'"},
      {"UPPER('ÿ')", "'Ÿ'"},
      {"UPPER('łódź')", "'ŁÓDŹ'"},
      {"LOWER('ΑΒΓ Ж')", "'αβγ ж'"},
      {"UPPER('')", "NULL"},
      {"LOWER(NULL)", "NULL"},
      {"UPPER(1.5)", "'1.5'"},
      {"INITCAP('the o''neil-SMITH')", "'The O'Neil-Smith'"},
      {"INITCAP('élan vital')", "'Élan Vital'"},
      {"INITCAP('abc123def ghi')", "'Abc123def Ghi'"},
      {"INITCAP('ÉCOLE ÉTÉ')", "'École Été'"},
  };
  EXPECT_CASES(cases);
}

TEST_F(StringFunctions, TrimFamily) {
  const Case cases[] = {
      {"TRIM('  ab  ')", "'ab'"},
      {"TRIM('   ')", "NULL"},
      {"LTRIM('xyxXxyLAST','xy')", "'XxyLAST'"},
      {"RTRIM('BROWNINGyxXxy','xy')", "'BROWNINGyxX'"},
      {"TRIM('xxaxx','x')", "'a'"},
      {"TRIM('xxaxx','xy')", "ORA-30001: trim set should have only one character"},
      {"LTRIM('abc',NULL)", "NULL"},
      {"RTRIM('ab  ')", "'ab'"},
      {"LTRIM('  ab')", "'ab'"},
      {"RTRIM('xxx','x')", "NULL"},
      {"LTRIM('ééa','é')", "'a'"},
  };
  EXPECT_CASES(cases);
}

TEST_F(StringFunctions, Padding) {
  const Case cases[] = {
      {"LPAD('abcdef',3)", "'abc'"},    {"RPAD('abcdef',3)", "'abc'"},
      {"RPAD('ab',5,'xy')", "'abxyx'"}, {"LPAD('Page 1',15,'*.')", "'*.*.*.*.*Page 1'"},
      {"RPAD('ab',0)", "NULL"},         {"LPAD('ab',-1)", "NULL"},
      {"LPAD('ab',4)", "'  ab'"},       {"LPAD('ab',4,NULL)", "NULL"},
      {"LPAD(NULL,4,'x')", "NULL"},     {"LPAD('é',3,'ü')", "'üüé'"},
      {"LPAD(7,3,'0')", "'007'"},       {"LENGTH(LPAD('x',100000))", "4000"},
  };
  EXPECT_CASES(cases);
}

TEST_F(StringFunctions, LengthConcatChrAscii) {
  const Case cases[] = {
      {"LENGTH('')", "NULL"},
      {"LENGTH(NULL)", "NULL"},
      {"LENGTH('héllo')", "5"},
      {"LENGTH(0.5)", "2"},
      {"LENGTH(-12)", "3"},
      {"ora_concat('A',NULL)", "'A'"},
      {"ora_concat(NULL,'B')", "'B'"},
      {"ora_concat(NULL,NULL)", "NULL"},
      {"ora_concat('','')", "NULL"},
      {"ora_concat('x',0.5)", "'x.5'"},
      {"ora_concat('x',400)", "'x400'"},
      {"ora_concat('x',400.0)", "'x400'"},
      {"ora_concat('x',-0.25)", "'x-.25'"},
      {"ora_concat(ora_concat('A',NULL),'B')", "'AB'"},
      {"CONCAT('a','b')", "'ab'"},
      {"LENGTH(ora_concat(RPAD('x',4000),'y'))",
       "ORA-01489: result of string concatenation is too long"},
      {"LENGTH(ora_concat(RPAD('x',3999),'y'))", "4000"},
      {"CHR(65)", "'A'"},
      {"CHR(50089)", "'é'"},
      {"CHR(14844588)", "'€'"},
      {"CHR(233)", "'é'"},
      {"CHR(NULL)", "NULL"},
      {"CHR(-1)", "ORA-01428: argument '-1' is out of range"},
      {"ASCII('é')", "50089"},
      {"ASCII('ABC')", "65"},
      {"ASCII('')", "NULL"},
      {"ASCII(CHR(14844588))", "14844588"},
  };
  EXPECT_CASES(cases);
}

TEST_F(StringFunctions, SoundexAndVsize) {
  const Case cases[] = {
      {"SOUNDEX('SMYTHE')", "'S530'"},
      {"SOUNDEX('Smith')", "'S530'"},
      {"SOUNDEX('Robert')", "'R163'"},
      {"SOUNDEX('Rupert')", "'R163'"},
      {"SOUNDEX('Tymczak')", "'T522'"},
      {"SOUNDEX('Ashcraft')", "'A261'"},
      {"SOUNDEX('Pfister')", "'P236'"},
      {"SOUNDEX('')", "NULL"},
      {"SOUNDEX('123')", "NULL"},
      {"VSIZE(100)", "2"},
      {"VSIZE(123)", "3"},
      {"VSIZE(0)", "1"},
      {"VSIZE(-1)", "3"},
      {"VSIZE('abc')", "3"},
      {"VSIZE('2024-01-01 00:00:00')", "7"},
  };
  EXPECT_CASES(cases);
}

TEST_F(StringFunctions, ConcatUsesTheSessionDecimalCharacter) {
  nls_.decimalSeparator = ',';
  nls_.groupSeparator = '.';
  EXPECT_EQ(eval("ora_concat('x',1.5)"), "'x1,5'");
  EXPECT_EQ(eval("LENGTH(0.25)"), "3");
}

TEST_F(ConditionalFunctions, NvlFamily) {
  const Case cases[] = {
      {"NVL(NULL,'x')", "'x'"},
      {"NVL('a','x')", "'a'"},
      {"NVL('',5)", "5"},
      {"NVL(1,'x')", "ORA-01722: invalid number"},
      {"NVL(1,'2')", "1"},
      {"NVL(NULL,NULL)", "NULL"},
      {"NVL2(NULL,'a','b')", "'b'"},
      {"NVL2(1,'a','b')", "'a'"},
      {"NVL2('',1,2)", "2"},
      {"NVL2(NULL,1,'2')", "2"},
      {"NVL2(NULL,1,'x')", "ORA-01722: invalid number"},
      {"COALESCE(NULL,'',3,4)", "3"},
      {"COALESCE(NULL,NULL)", "NULL"},
      {"NULLIF(1,1)", "NULL"},
      {"NULLIF(1,2)", "1"},
      {"NULLIF('a','b')", "'a'"},
      {"NULLIF(1,'1')", "NULL"},
      {"NULLIF(1,NULL)", "1"},
      {"NULLIF(0.1+0.2,0.3)", "NULL"},
  };
  EXPECT_CASES(cases);
}

TEST_F(ConditionalFunctions, Decode) {
  const Case cases[] = {
      {"DECODE(NULL,NULL,'EQ','NE')", "'EQ'"},
      {"DECODE('',NULL,'EQ','NE')", "'EQ'"},
      {"DECODE(1,NULL,'EQ','NE')", "'NE'"},
      {"DECODE(2,1,1,'x')", "ORA-01722: invalid number"},
      {"DECODE(2,1,1,'7')", "7"},
      {"DECODE(1,1,'one',2,'two','other')", "'one'"},
      {"DECODE(2,1,'one',2,'two','other')", "'two'"},
      {"DECODE(3,1,'one',2,'two','other')", "'other'"},
      {"DECODE(3,1,'one',2,'two')", "NULL"},
      {"DECODE('2',2,'num')", "'num'"},
      {"DECODE('2.0',2,'num','no')", "'num'"},
      {"DECODE('2.0','2','txt','no')", "'no'"},
      {"DECODE(2,'2','txt')", "'txt'"},
      {"DECODE('a',1,'x','y')", "ORA-01722: invalid number"},
      {"DECODE(1,1,'a',2)", "'a'"},
      {"DECODE(5,1,'a',2)", "'2'"},
  };
  EXPECT_CASES(cases);
}

TEST_F(ConditionalFunctions, GreatestAndLeastTakeTheFirstArgumentsType) {
  const Case cases[] = {
      {"GREATEST('10','9')", "'9'"},
      {"GREATEST(10,'9')", "10"},
      {"GREATEST(2,'3')", "3"},
      {"GREATEST(1,NULL,3)", "NULL"},
      {"GREATEST(1,'',3)", "NULL"},
      {"GREATEST(1,'x')", "ORA-01722: invalid number"},
      {"LEAST(3,1.5,2)", "~1.5"},
      {"LEAST('b','a','c')", "'a'"},
      {"LEAST('b',1)", "'1'"},
      {"GREATEST('2024-01-01 00:00:00','2023-12-31 00:00:00')", "'2024-01-01 00:00:00'"},
      {"GREATEST('é','z')", "'é'"},
  };
  EXPECT_CASES(cases);
}

}  // namespace
}  // namespace korvo::engine::testing
