// The REGEXP_ family through SQLite, on Oracle's documented examples.
#include "engine/functions_test_db.h"

namespace korvo::engine::testing {
namespace {

using RegexpFunctions = OracleFunctionsTest;

TEST_F(RegexpFunctions, LikeAndCount) {
  const Case cases[] = {
      {"REGEXP_LIKE('Steven','^Ste(v|ph)en$')", "1"},
      {"REGEXP_LIKE('Stephen','^Ste(v|ph)en$')", "1"},
      {"REGEXP_LIKE('Stefan','^Ste(v|ph)en$')", "0"},
      {"REGEXP_LIKE('STEVEN','^ste', 'i')", "1"},
      {"REGEXP_LIKE('STEVEN','^ste', 'ic')", "0"},
      {"REGEXP_LIKE('a' || char(10) || 'b','a.b')", "0"},
      {"REGEXP_LIKE('a' || char(10) || 'b','a.b','n')", "1"},
      {"REGEXP_LIKE('x' || char(10) || 'abc','^abc$')", "0"},
      {"REGEXP_LIKE('x' || char(10) || 'abc','^abc$','m')", "1"},
      {"REGEXP_LIKE('abc','a b c','x')", "1"},
      {"REGEXP_LIKE('é1','^[[:alpha:]][[:digit:]]$')", "1"},
      {"REGEXP_LIKE('abc','\\Aabc\\z')", "1"},
      {"REGEXP_LIKE(NULL,'a')", "NULL"},
      {"REGEXP_LIKE('a',NULL)", "NULL"},
      {"REGEXP_LIKE('a','a','q')", "ORA-01760: illegal argument for function"},
      {"REGEXP_LIKE('a','(a')", "ORA-12725: unmatched parentheses in regular expression"},
      {"REGEXP_LIKE('a','[a')", "ORA-12726: unmatched bracket in regular expression"},
      {"REGEXP_COUNT('123123123123123','123')", "5"},
      {"REGEXP_COUNT('123123123123','123',3)", "3"},
      {"REGEXP_COUNT('ABC','b',1,'i')", "1"},
      {"REGEXP_COUNT('aaa','a*')", "2"},
      {"REGEXP_COUNT('abc','x')", "0"},
      {"REGEXP_COUNT('abc','b',0)", "ORA-01428: argument '0' is out of range"},
  };
  EXPECT_CASES(cases);
}

TEST_F(RegexpFunctions, SubstrAndInstr) {
  const Case cases[] = {
      {"REGEXP_SUBSTR('500 Oracle Parkway, Redwood Shores, CA',',[^,]+,')", "', Redwood Shores,'"},
      {"REGEXP_SUBSTR('http://www.example.com/products','http://([[:alnum:]]+\\.?){3,4}/?')",
       "'http://www.example.com/'"},
      {"REGEXP_SUBSTR('1234567890','(123)(4(56)(78))',1,1,'i',4)", "'78'"},
      {"REGEXP_SUBSTR('1234567890','(123)(4(56)(78))',1,1,'i',0)", "'12345678'"},
      {"REGEXP_SUBSTR('a1b22c333','[0-9]+',1,3)", "'333'"},
      {"REGEXP_SUBSTR('a1b22c333','[0-9]+',1,4)", "NULL"},
      {"REGEXP_SUBSTR('a1b22c333','\\d+',4)", "'22'"},
      {"REGEXP_SUBSTR('ab','x*')", "NULL"},
      {"REGEXP_SUBSTR('éàü','.',2)", "'à'"},
      {"REGEXP_SUBSTR('abc','b',9)", "NULL"},
      {"REGEXP_SUBSTR('abc','(b)',1,1,NULL,10)", "ORA-01428: argument '10' is out of range"},
      {"REGEXP_INSTR('500 Oracle Parkway, Redwood Shores, CA',"
       "'[^ ]+', 1, 6)",
       "37"},
      {"REGEXP_INSTR('500 Oracle Parkway, Redwood Shores, CA',"
       "'[s|r|p][[:alpha:]]{6}', 3, 2, 1, 'i')",
       "28"},
      {"REGEXP_INSTR('1234567890','(123)(4(56)(78))',1,1,0,'i',4)", "7"},
      {"REGEXP_INSTR('éàü','ü')", "3"},
      {"REGEXP_INSTR('abc','x')", "0"},
  };
  EXPECT_CASES(cases);
}

TEST_F(RegexpFunctions, Replace) {
  const Case cases[] = {
      {"REGEXP_REPLACE('515.123.4567','([[:digit:]]{3})\\.([[:digit:]]{3})\\.([[:digit:]]{4})',"
       "'(\\1) \\2-\\3')",
       "'(515) 123-4567'"},
      {"REGEXP_REPLACE('500   Oracle     Parkway','( ){2,}',' ')", "'500 Oracle Parkway'"},
      {"REGEXP_REPLACE('aaa','a','b',2)", "'abb'"},
      {"REGEXP_REPLACE('aaa','a','b',1,2)", "'aba'"},
      {"REGEXP_REPLACE('aaa','a')", "NULL"},
      {"REGEXP_REPLACE('abc',NULL,'x')", "'abc'"},
      {"REGEXP_REPLACE('ABC','b','x',1,0,'i')", "'AxC'"},
      {"REGEXP_REPLACE('abc','','-')", "'abc'"},
      {"REGEXP_REPLACE('abc','x*','-')", "'-a-b-c-'"},
      {"REGEXP_REPLACE('ÉTÉ','é','e',1,0,'i')", "'eTe'"},
      {"REGEXP_REPLACE('a.b','\\.','\\\\')", "'a\\b'"},
      {"REGEXP_REPLACE('éé','é','e')", "'ee'"},
      {"REGEXP_REPLACE(NULL,'a','b')", "NULL"},
  };
  EXPECT_CASES(cases);
}

}  // namespace
}  // namespace korvo::engine::testing
