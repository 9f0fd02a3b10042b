// Garbage in: the engine answers with an Oracle error, never crashes, and a
// statement that fails never changes the schema.
#include <random>

#include "engine/ast_print.h"
#include "engine/parser.h"
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class Robustness : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
  std::string schemaFingerprint() {
    return column(
               "select table_name || '/' || column_name || '/' || data_type from "
               "user_tab_columns order by 1") +
           "#" + single("select count(*) from emp") + "#" + single("select count(*) from dept");
  }
};

const char* kSeeds[] = {
    "select e.ename, d.dname from emp e, dept d where e.deptno = d.deptno order by 1",
    "select deptno, count(*), sum(sal) from emp group by deptno having count(*) > 1",
    "select * from (select ename, sal from emp where sal > 1000) where sal < 3000",
    "insert into emp (empno, ename) values (1, 'X')",
    "update emp e set e.sal = (select max(sal) from emp) where e.empno = 7369",
    "delete from emp where deptno = 40",
    "select case when a = 1 then 'x' else 'y' end from dual",
    "BEGIN DBMS_APPLICATION_INFO.SET_MODULE('KORVO-BO6 1.1.0','');end;",
    "create table zz (a varchar2(3) not null, b number(5,2))",
    "select ename from emp union select dname from dept minus select 'KING' from dual",
};

TEST_F(Robustness, MutatedStatementsFailCleanly) {
  std::mt19937 rng(20261208);
  const std::string alphabet = "()',;.*+-/|=<>\"ab1 ";
  const char* words[] = {"select",         "from",   "where", "(",        ")",    ",",  "'",
                         "drop table emp", ";",      "union", "group by", "null", "||", "(+)",
                         "connect by",     "rownum", "/*",    "--",       "q'[",  "\"", "end;",
                         "begin",          "1e400",  "''''",  "with w as (select 1 a from dual)",
                         "= any",          "> all",  "rownum <= 2",      "prior", "start with",
                         "(select",        "order by 1"};
  std::string before = schemaFingerprint();
  int failures = 0, successes = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string s = kSeeds[rng() % std::size(kSeeds)];
    int edits = 1 + int(rng() % 4);
    for (int k = 0; k < edits; ++k) {
      size_t at = s.empty() ? 0 : rng() % s.size();
      switch (rng() % 4) {
        case 0:
          s.erase(at, 1 + rng() % 6);
          break;
        case 1:
          s.insert(at, 1, alphabet[rng() % alphabet.size()]);
          break;
        case 2:
          s.insert(at, std::string(" ") + words[rng() % std::size(words)] + " ");
          break;
        case 3:
          if (!s.empty()) s[at] = char(rng() % 256);
          break;
      }
    }
    try {
      rows(s);
      ++successes;
    } catch (const OraError& e) {
      ++failures;
      EXPECT_GT(e.code(), 0) << s;
      EXPECT_EQ(std::string(e.what()).rfind("ORA-", 0), 0u) << s;
      EXPECT_NE(e.code(), 600) << s << " -> " << e.what();
    }
    db().rollback();
    // successful DDL (a mutated create) is allowed; drop what it made
    if (single("select count(*) from user_tables where table_name not in ('EMP', 'DEPT')") != "0") {
      for (const auto& r : rows("select table_name from user_tables where table_name not in "
                                "('EMP', 'DEPT')"))
        run("drop table \"" + r[0] + "\"");
    }
    ASSERT_EQ(schemaFingerprint(), before) << "after: " << s;
  }
  EXPECT_GT(failures, 100);
}

TEST(ParserRobustness, RandomBytesNeverCrashThePrinterRoundTrip) {
  std::mt19937 rng(7);
  for (int i = 0; i < 3000; ++i) {
    std::string s;
    size_t n = rng() % 40;
    for (size_t k = 0; k < n; ++k)
      s += "select from ( ) , a b 1 ' \" || + - * / where = x."[rng() % 52];
    try {
      auto st = parseStatement(s);
      std::string printed = ast::toSql(st);
      EXPECT_EQ(ast::toSql(parseStatement(printed)), printed) << s;
    } catch (const OraError&) {
    }
  }
}

}  // namespace
}  // namespace korvo::engine::test
