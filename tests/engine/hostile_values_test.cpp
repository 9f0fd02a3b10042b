// Values a user can type that once reached SQLite or the C++ library raw: every
// failure is an Oracle error with Oracle's code, never ORA-00600 or a C++ text.
#include <string>

#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class HostileValues : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
};

std::string withNul(const std::string& before, const std::string& after) {
  return before + std::string(1, '\0') + after;
}

TEST_F(HostileValues, NulInsideLiteralsIsACharacterLikeChr0) {
  EXPECT_EQ(single(withNul("select length('a", "b') from dual")), "3");
  EXPECT_EQ(single(withNul("select count(*) from dual where 'a", "b' = 'a' || chr(0) || 'b'")),
            "1");
  EXPECT_EQ(single(withNul("select length(q'[", "]') from dual")), "1");
  run("create table t (v varchar2(5), c char(4))");
  run(withNul("insert into t values ('x", "y', 'z") + std::string(1, '\0') + "')");
  EXPECT_EQ(single("select count(*) from t where v = 'x' || chr(0) || 'y' and "
                   "rtrim(c) = 'z' || chr(0)"),
            "1");
  EXPECT_EQ(single("select length(c) from t"), "4");
  // outside a literal it is no character of the language, nor of a name
  EXPECT_EQ(errorOf(withNul("select 1 ", "from dual")), 911);
  EXPECT_EQ(errorOf(withNul("select 1 \"a", "b\" from dual")), 911);
}

TEST_F(HostileValues, OnlyABareIntegerInOrderByIsAPosition) {
  const char* unsorted = "SMITH,ALLEN,WARD,JONES,MARTIN,BLAKE,CLARK,SCOTT,KING,TURNER,ADAMS,"
                         "JAMES,FORD,MILLER";
  const char* byName = "ADAMS,ALLEN,BLAKE,CLARK,FORD,JAMES,JONES,KING,MARTIN,MILLER,SCOTT,"
                       "SMITH,TURNER,WARD";
  EXPECT_EQ(column("select ename from emp order by 1"), byName);
  EXPECT_EQ(column("select ename from emp order by 0001"), byName);
  // constants: every row sorts the same, the rows keep the order they are read in
  EXPECT_EQ(column("select ename from emp order by -0"), unsorted);
  EXPECT_EQ(column("select ename from emp order by +1"), unsorted);
  EXPECT_EQ(column("select ename from emp order by 1 + 0, -1"), unsorted);
  EXPECT_EQ(column("select ename from emp order by -(1), ename desc"),
            "WARD,TURNER,SMITH,SCOTT,MILLER,MARTIN,KING,JONES,JAMES,FORD,CLARK,BLAKE,ALLEN,ADAMS");
  EXPECT_EQ(errorOf("select ename from emp order by 0"), 1785);
  EXPECT_EQ(errorOf("select ename from emp order by 99999999999999999999"), 1785);
  EXPECT_EQ(errorOf("select ename from emp union select dname from dept order by -0"), 1785);
  EXPECT_EQ(column("select ename from emp start with mgr is null connect by prior empno = mgr "
                   "order siblings by -0, ename")
                .substr(0, 10),
            "KING,BLAKE");
}

TEST_F(HostileValues, ProcedureArgumentsConvertAsOracleConvertsThem) {
  EXPECT_EQ(errorOf("begin\nraise_application_error('abc', 'x');\nend;"), 6502);
  EXPECT_EQ(lastError_,
            "ORA-06502: PL/SQL: numeric or value error: character to number conversion error");
  EXPECT_EQ(errorOf("begin\nraise_application_error('-20001abc', 'x');\nend;"), 6502);
  EXPECT_EQ(errorOf("begin\nraise_application_error(' -20001 ', 'converted');\nend;"), 20001);
  EXPECT_EQ(errorOf("begin\nraise_application_error('-2.0001e4', 'x');\nend;"), 20001);
  EXPECT_EQ(errorOf("begin\nraise_application_error(1e30, 'x');\nend;"), 6502);
}

TEST_F(HostileValues, HavingWithoutGroupsAndOuterGroupFunctions) {
  // HAVING alone makes one group of the block, rows or none
  EXPECT_EQ(column("select 1 from emp having 1 = 1"), "1");
  EXPECT_EQ(column("select 'x', 2 from emp where 1 = 0 having 1 = 1"), "x");
  EXPECT_EQ(column("select 1 from emp having 1 = 0"), "");
  EXPECT_EQ(column("select count(*) from emp having count(*) > 20"), "");
  // a group function of an outer column belongs to the outer block
  EXPECT_EQ(errorOf("select ename from emp e where (select count(e.sal) from dual) > 0"), 934);
  EXPECT_EQ(errorOf("select ename from emp where ename like 'x' escape ename || ename"), 1425)
      << lastError_;
}

TEST_F(HostileValues, StorageLimitsBecomeOracleErrors) {
  EXPECT_EQ(errorOf("select sum(x) from (select 9223372036854775807 x from dual union all "
                    "select 1 from dual)"),
            1426);
  for (const char* sql : {
           "select 1 from dual order by 1e400",
           "create table z (a varchar2(00000000000000000000001))",
           "create table z (a number(99999999999999999999))",
           "select substr('abc', 1e300) from dual",
           "select ename from emp where rownum <= 1e300",
           "select * from emp order siblings by 99999999999999999999",
           "select lpad('x', 1e20) from dual",
       }) {
    int code = errorOf(sql);
    EXPECT_NE(code, 600) << sql << ": " << lastError_;
    if (code) {
      EXPECT_EQ(lastError_.rfind("ORA-", 0), 0u) << sql;
    }
  }
}

}  // namespace
}  // namespace korvo::engine::test
