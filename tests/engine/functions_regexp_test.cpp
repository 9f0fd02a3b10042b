// The REGEXP_ family through SQLite, on Oracle's documented examples, and
// the patterns and texts that must end in a result or an Oracle error.
#include <string>
#include <vector>

#include "engine/functions_test_db.h"

namespace korvo::engine::testing {
namespace {

class RegexpFunctions : public OracleFunctionsTest {
 protected:
  // Evaluates expr with ?1, ?2... bound to texts too long to spell in SQL.
  std::string evalBound(const std::string& expr, const std::vector<std::string>& texts) {
    sqlite3_stmt* st = nullptr;
    const std::string sql = "SELECT " + expr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      return std::string("prepare failed: ") + sqlite3_errmsg(db_);
    for (std::size_t i = 0; i < texts.size(); ++i)
      sqlite3_bind_text(st, static_cast<int>(i + 1), texts[i].data(),
                        static_cast<int>(texts[i].size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    const std::string out = rc == SQLITE_ROW ? render(st) : std::string(sqlite3_errmsg(db_));
    sqlite3_finalize(st);
    return out;
  }

  static std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
  }
};

const std::string kLimitError = "ORA-00040: active time limit exceeded - call aborted";

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

TEST_F(RegexpFunctions, MatchParameterLettersLastOfIAndCWins) {
  const Case cases[] = {
      {"REGEXP_LIKE('ABC','abc','ci')", "1"},
      {"REGEXP_LIKE('ABC','abc','c')", "0"},
      {"REGEXP_LIKE('ÉTÉ','^été$','i')", "1"},
      {"REGEXP_LIKE('a' || char(10) || 'b','^a.b$','in')", "1"},
      {"REGEXP_COUNT('a' || char(10) || 'b','^[ab]$',1,'m')", "2"},
      {"REGEXP_LIKE('abc' || char(10),'abc$')", "0"},
      {"REGEXP_LIKE('abc' || char(10),'abc\\Z')", "1"},
      {"REGEXP_LIKE('abc' || char(10),'abc\\z')", "0"},
      {"REGEXP_LIKE('a b','^a[ ]b$','x')", "1"},
      {"REGEXP_LIKE('a#b','a # b','x')", "1"},
      {"REGEXP_LIKE('a b','a b','x')", "0"},
      {"REGEXP_LIKE('abc','abc',NULL)", "1"},
  };
  EXPECT_CASES(cases);
}

TEST_F(RegexpFunctions, BracketExpressions) {
  const Case cases[] = {
      {"REGEXP_COUNT('Ab1 é,Ü','[[:upper:]]')", "2"},
      {"REGEXP_COUNT('Ab1 é,Ü','[[:alnum:]]')", "5"},
      {"REGEXP_COUNT('a b' || char(9) || 'c','[[:space:]]')", "2"},
      {"REGEXP_COUNT('a,b;c!','[[:punct:]]')", "3"},
      {"REGEXP_SUBSTR('x]y','[]a]')", "']'"},
      {"REGEXP_SUBSTR(']x','[^]a]')", "'x'"},
      {"REGEXP_COUNT('eéèêEa','[[=e=]]')", "4"},
      {"REGEXP_COUNT('eéèêEa','[[=é=]]')", "4"},
      {"REGEXP_LIKE('a-b','^a[[.-.]]b$')", "1"},
      {"REGEXP_LIKE('a','[[:letter:]]')",
       "ORA-12729: invalid character class in regular expression"},
      {"REGEXP_LIKE('a','[[=ab=]]')", "ORA-12730: invalid equivalence class in regular expression"},
      {"REGEXP_LIKE('a','[[.ch.]]')", "ORA-12731: invalid collation class in regular expression"},
      {"REGEXP_LIKE('a','[z-a]')", "ORA-12728: invalid range in regular expression"},
      {"REGEXP_LIKE('a','a{3,1}')", "ORA-12732: invalid interval value in regular expression"},
      {"REGEXP_LIKE('a','a)')", "ORA-12725: unmatched parentheses in regular expression"},
  };
  EXPECT_CASES(cases);
}

// A quantifier with nothing to repeat is a literal, as in POSIX; so PCRE2's
// own "(?" and "(*" constructs are not reachable from SQL.
TEST_F(RegexpFunctions, QuantifierWithoutAtomIsLiteral) {
  const Case cases[] = {
      {"REGEXP_COUNT('a+b+','+')", "2"},
      {"REGEXP_LIKE('*a','^*a')", "1"},
      {"REGEXP_LIKE('ABC','(?i)abc')", "0"},
      {"REGEXP_LIKE('?iabc','(?i)abc')", "1"},
      {"REGEXP_LIKE('x','(*FAIL)|x')", "1"},
      // Alternatives are tried in order (Perl), not for the longest (POSIX).
      {"REGEXP_SUBSTR('abc','a|ab')", "'a'"},
  };
  EXPECT_CASES(cases);
}

TEST_F(RegexpFunctions, BackReferences) {
  const Case cases[] = {
      {"REGEXP_REPLACE('John Smith','(\\w+) (\\w+)','\\2, \\1')", "'Smith, John'"},
      {"REGEXP_REPLACE('ab','(a)','$1')", "'$1b'"},
      {"REGEXP_REPLACE('b','(a)?b','[\\1]')", "'[]'"},
      {"REGEXP_REPLACE('abcdefghi','(.)(.)(.)(.)(.)(.)(.)(.)(.)','\\9\\5\\1')", "'iea'"},
      {"REGEXP_LIKE('abab','^(ab)\\1$')", "1"},
      {"REGEXP_LIKE('abba','^(ab)\\1$')", "0"},
      {"REGEXP_LIKE('aa','(a)\\2')", "ORA-12727: invalid back reference in regular expression"},
  };
  EXPECT_CASES(cases);
}

TEST_F(RegexpFunctions, PositionsCountCharacters) {
  const Case cases[] = {
      {"REGEXP_INSTR('aéb','b')", "3"},
      {"REGEXP_INSTR('éàü','ü',1,1,1)", "4"},
      {"REGEXP_INSTR('ééxé','é',2,2)", "4"},
      {"REGEXP_SUBSTR('日本語テキスト','.',3)", "'語'"},
      {"REGEXP_SUBSTR('éa9','[[:alpha:]]+')", "'éa'"},
      {"REGEXP_COUNT('ééé','é',2)", "2"},
      {"REGEXP_REPLACE('ééé','é','e',2)", "'éee'"},
      {"REGEXP_INSTR('日本','x',3)", "0"},
      // A stray byte is one character, and matches as itself.
      {"REGEXP_INSTR(CAST(x'C361' AS TEXT),'a')", "2"},
      {"REGEXP_COUNT(CAST(x'FF41FF' AS TEXT),CAST(x'FF' AS TEXT))", "2"},
      {"hex(REGEXP_REPLACE(CAST(x'FF61E9' AS TEXT),'a','é'))", "'FFC3A9E9'"},
      {"hex(REGEXP_SUBSTR(CAST(x'61FF62' AS TEXT),'a.b'))", "'61FF62'"},
  };
  EXPECT_CASES(cases);
}

TEST_F(RegexpFunctions, NullArguments) {
  const Case cases[] = {
      {"REGEXP_COUNT(NULL,'a')", "NULL"},
      {"REGEXP_COUNT('a',NULL)", "NULL"},
      {"REGEXP_COUNT('a','a',NULL)", "NULL"},
      {"REGEXP_SUBSTR('abc','b',NULL)", "NULL"},
      {"REGEXP_SUBSTR('abc','b',1,NULL)", "NULL"},
      {"REGEXP_SUBSTR('abc','(b)',1,1,'c',NULL)", "NULL"},
      {"REGEXP_INSTR(NULL,'b')", "NULL"},
      {"REGEXP_INSTR('abc','b',1,1,NULL)", "NULL"},
      {"REGEXP_REPLACE('abc','b',NULL)", "'ac'"},
      {"REGEXP_REPLACE('abc','b','x',NULL)", "NULL"},
      {"REGEXP_REPLACE('abc','b','x',1,NULL)", "NULL"},
  };
  EXPECT_CASES(cases);
}

// One compiled pattern serves a statement's rows only while the pattern and
// the match parameter stay the same.
TEST_F(RegexpFunctions, RowsWithChangingPatternOrParameter) {
  exec("CREATE TABLE t(n, v, p, o)");
  exec(
      "INSERT INTO t VALUES (1,'ABC','abc','i'), (2,'ABC','abc','c'), (3,'abc','abc',NULL),"
      " (4,'abc','b$',NULL), (5,'xab','b$','i')");
  EXPECT_EQ(
      query("SELECT group_concat(REGEXP_LIKE(v, p, o), ',') FROM (SELECT * FROM t ORDER BY n)"),
      "'1,0,1,0,1'");
  EXPECT_EQ(
      query(
          "SELECT group_concat(REGEXP_COUNT(v, 'b', 1, o), ',') FROM (SELECT * FROM t ORDER BY n)"),
      "'1,0,1,1,1'");
}

TEST_F(RegexpFunctions, RunawayBacktrackingEndsInAnError) {
  const std::string aaa = repeat("a", 28) + "!";
  EXPECT_EQ(evalBound("REGEXP_LIKE(?1, '^(a+)+$')", {aaa}), kLimitError);
  EXPECT_EQ(evalBound("REGEXP_LIKE(?1, '(a|aa)+$')", {repeat("a", 60) + "!"}), kLimitError);
  EXPECT_EQ(evalBound("REGEXP_COUNT(?1, '(a*)*[bc]')", {repeat("a", 40)}), kLimitError);
  // Each start position is cheap but there are many: the call's budget ends it.
  EXPECT_EQ(evalBound("REGEXP_COUNT(?1, '(a+)+!$')", {repeat(repeat("a", 15) + "!", 2000)}),
            kLimitError);
  // The same pattern on a text it fits stays fast enough to answer.
  EXPECT_EQ(evalBound("REGEXP_LIKE(?1, '^(a+)+$')", {repeat("a", 28)}), "1");
}

TEST_F(RegexpFunctions, LongSubjectsAndPatterns) {
  const std::string text = repeat("ab", 50'000) + "c";
  EXPECT_EQ(evalBound("REGEXP_COUNT(?1, '(a|b)')", {text}), "100000");
  EXPECT_EQ(evalBound("REGEXP_LIKE(?1, '^(a|b)*c$')", {text}), "1");
  EXPECT_EQ(evalBound("REGEXP_INSTR(?1, 'c')", {text}), "100001");
  EXPECT_EQ(evalBound("REGEXP_SUBSTR(?1, '(ab){3}c')", {text}), "'abababc'");
  EXPECT_EQ(evalBound("REGEXP_INSTR(?1, '(é)+', 1, 1, 1)", {repeat("é", 100'000)}), "100001");
  EXPECT_EQ(evalBound("REGEXP_REPLACE(?1, 'b', 'x')", {text}),
            "ORA-01489: result of string concatenation is too long");

  const std::string tooLong = "ORA-12733: regular expression too long";
  EXPECT_EQ(evalBound("REGEXP_LIKE('a', ?1)", {repeat("a|", 5'000)}), tooLong);
  EXPECT_EQ(evalBound("REGEXP_LIKE('a', ?1)", {repeat("(", 10'000)}), tooLong);
  EXPECT_EQ(evalBound("REGEXP_LIKE(?1, ?2)", {repeat("x", 512), repeat("x", 512)}), "1");
  EXPECT_EQ(evalBound("REGEXP_LIKE(?1, ?2)", {repeat("x", 513), repeat("x", 513)}), tooLong);
  EXPECT_EQ(evalBound("REGEXP_LIKE('a', ?1)", {repeat("(", 200) + "a" + repeat(")", 200)}), "1");
  EXPECT_EQ(evalBound("REGEXP_LIKE('a', ?1)", {repeat("(", 255) + "a" + repeat(")", 255)}),
            tooLong);
}

}  // namespace
}  // namespace korvo::engine::testing
