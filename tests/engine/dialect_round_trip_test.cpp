// The newer syntax prints back to a normal form that parses to the same tree:
// parse -> print must give the expected text, and print -> parse -> print the same.
#include <gtest/gtest.h>

#include "engine/ast_print.h"
#include "engine/ora_error.h"
#include "engine/parser.h"

namespace korvo::engine {
namespace {

struct Printed {
  const char* sql;
  const char* normal;
};

TEST(DialectRoundTrip, NewSyntaxPrintsItsNormalForm) {
  const Printed cases[] = {
      {"select deptno from emp join dept using (deptno)",
       "SELECT DEPTNO FROM EMP JOIN DEPT USING (DEPTNO)"},
      {"select * from emp e left outer join dept d using (deptno, \"x\")",
       "SELECT * FROM EMP E LEFT JOIN DEPT D USING (DEPTNO, \"x\")"},
      {"select * from emp natural join dept", "SELECT * FROM EMP NATURAL JOIN DEPT"},
      {"select * from emp natural full outer join dept d",
       "SELECT * FROM EMP NATURAL FULL JOIN DEPT D"},
      {"select hiredate + interval '1-6' year to month from emp",
       "SELECT HIREDATE + INTERVAL '1-6' YEAR TO MONTH FROM EMP"},
      {"select sysdate - interval '2 03:04:05.5' day(3) to second(2) from dual",
       "SELECT SYSDATE - INTERVAL '2 03:04:05.5' DAY(3) TO SECOND(2) FROM DUAL"},
      {"select ename from emp order by sal desc offset 2 row fetch next 3 rows only",
       "SELECT ENAME FROM EMP ORDER BY SAL DESC OFFSET 2 ROWS FETCH FIRST 3 ROWS ONLY"},
      {"select ename from emp fetch first row only",
       "SELECT ENAME FROM EMP FETCH FIRST 1 ROWS ONLY"},
      {"with t (n) as (select 1 from dual union all select n + 1 from t where n < 3) select n "
       "from t",
       "WITH T (N) AS (SELECT 1 FROM DUAL UNION ALL SELECT N + 1 FROM T WHERE N < 3) SELECT N "
       "FROM T"},
      {"create table t (id number constraint t_pk primary key, c varchar2(5) unique not null, "
       "d date, constraint t_uk unique (c, d))",
       "CREATE TABLE T (ID NUMBER, C VARCHAR2(5) NOT NULL, D DATE, CONSTRAINT T_PK "
       "PRIMARY KEY (ID), UNIQUE (C), CONSTRAINT T_UK UNIQUE (C, D))"},
      {"select cast(sal as number(7, 2)), cast(ename as varchar2(20)), cast(x as date) from emp",
       "SELECT CAST(SAL AS NUMBER(7,2)), CAST(ENAME AS VARCHAR2(20)), CAST(X AS DATE) FROM EMP"},
      {"select current_date from dual", "SELECT CURRENT_DATE FROM DUAL"},
      {"select count(*) from emp where lnnvl(comm > 0)",
       "SELECT COUNT(*) FROM EMP WHERE LNNVL(COMM > 0)"},
  };
  for (const auto& c : cases) {
    std::string first = ast::toSql(parseStatement(c.sql));
    EXPECT_EQ(first, c.normal) << c.sql;
    EXPECT_EQ(ast::toSql(parseStatement(first)), first) << c.sql;
  }
}

TEST(DialectRoundTrip, MalformedNewSyntaxIsOraclesError) {
  struct Case {
    const char* sql;
    int code;
  } cases[] = {
      {"select * from emp join dept using deptno", 906},
      {"select * from emp join dept using ()", 936},
      {"select * from emp natural dept", 905},
      {"select interval '1' fortnight from dual", 905},
      {"select interval '1' day(x) from dual", 1882},
      {"select * from emp fetch first 2 rows", 905},
      {"select * from emp offset 2", 905},
      {"create table t (a number constraint c)", 2253},
      {"select a[1] from t", 911},
  };
  for (const auto& c : cases) {
    int code = 0;
    try {
      parseStatement(c.sql);
    } catch (const OraError& e) {
      code = e.code();
    }
    EXPECT_EQ(code, c.code) << c.sql;
  }
}

}  // namespace
}  // namespace korvo::engine
