// Aggregation over the SCOTT demonstration rows: ROLLUP, CUBE, GROUPING SETS,
// nested group functions, LISTAGG and KEEP; statement -> Oracle's rows or ORA-
// code, and the printed normal form of the new syntax.
#include "engine/ast_print.h"
#include "engine/parser.h"
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class Grouping : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
};

struct Expect {
  const char* sql;
  const char* rows;  // see EngineTest::table
};

// Department sums: 10 -> 8750, 20 -> 10875, 30 -> 9400; all 29025.
TEST_F(Grouping, GroupingSetsAsOracleReturnsThem) {
  const Expect cases[] = {
      // the grand total's NULL department sorts last
      {"select deptno, sum(sal) from emp group by rollup(deptno) order by deptno",
       "10 8750;20 10875;30 9400;NULL 29025"},
      {"select deptno, job, sum(sal) from emp group by rollup(deptno, job) order by deptno, job",
       "10 CLERK 1300;10 MANAGER 2450;10 PRESIDENT 5000;10 NULL 8750;"
       "20 ANALYST 6000;20 CLERK 1900;20 MANAGER 2975;20 NULL 10875;"
       "30 CLERK 950;30 MANAGER 2850;30 SALESMAN 5600;30 NULL 9400;NULL NULL 29025"},
      // 9 department-job groups, 3 departments, 5 jobs, the grand total
      {"select count(*) from (select deptno, job, count(*) c from emp group by cube(deptno, job))",
       "18"},
      {"select job, sum(sal) from emp group by cube(deptno, job) "
       "having grouping(deptno) = 1 and grouping(job) = 0 order by job",
       "ANALYST 6000;CLERK 4150;MANAGER 8275;PRESIDENT 5000;SALESMAN 5600"},
      {"select deptno, job, sum(sal) from emp group by grouping sets ((deptno), (job), ()) "
       "order by deptno, job",
       "10 NULL 8750;20 NULL 10875;30 NULL 9400;NULL ANALYST 6000;NULL CLERK 4150;"
       "NULL MANAGER 8275;NULL PRESIDENT 5000;NULL SALESMAN 5600;NULL NULL 29025"},
      // GROUPING_ID(deptno, job): deptno's bit is 2, job's is 1
      {"select deptno, job, grouping(deptno), grouping(job), grouping_id(deptno, job) from emp "
       "group by rollup(deptno, job) having grouping_id(deptno, job) > 0 order by 5, 1",
       "10 NULL 0 1 1;20 NULL 0 1 1;30 NULL 0 1 1;NULL NULL 1 1 3"},
      // a plain column beside ROLLUP is in every set
      {"select deptno, job, sum(sal) from emp where deptno = 10 group by deptno, rollup(job) "
       "order by job",
       "10 CLERK 1300;10 MANAGER 2450;10 PRESIDENT 5000;10 NULL 8750"},
      // a composite column rolls up as one: 9 groups and the grand total
      {"select count(*) from (select deptno, job from emp group by rollup((deptno, job)))", "10"},
      {"select decode(grouping(deptno), 1, 'All', to_char(deptno)), sum(sal) from emp "
       "group by rollup(deptno) order by grouping(deptno), deptno",
       "10 8750;20 10875;30 9400;All 29025"},
      // WHERE filters the rows before any set is grouped
      {"select deptno, count(*) from emp where sal > 2000 group by rollup(deptno) order by 1",
       "10 2;20 3;30 1;NULL 6"},
      {"select deptno, sum(sal), rank() over (order by sum(sal) desc) from emp "
       "group by rollup(deptno) order by 3",
       "NULL 29025 1;20 10875 2;30 9400 3;10 8750 4"},
      // a group function reads the rows' own values, not the rolled-up NULL
      {"select deptno, count(deptno) from emp group by rollup(deptno) order by 1",
       "10 3;20 5;30 6;NULL 14"},
      {"select deptno + 1 from emp group by rollup(deptno) order by 1", "11;21;31;NULL"},
      {"select deptno, grouping(deptno) from emp group by deptno order by 1", "10 0;20 0;30 0"},
      // GROUPING of a column in every set is the constant 0, no select-list position
      {"select deptno from emp group by deptno order by grouping(deptno), deptno desc",
       "30;20;10"},
      {"select job from emp where deptno = 10 group by deptno, rollup(job) "
       "order by grouping(deptno), grouping(job) desc, job",
       "NULL;CLERK;MANAGER;PRESIDENT"},
      // the same set twice gives its groups twice, as in Oracle
      {"select count(*) from (select deptno from emp group by grouping sets (deptno, deptno))",
       "6"},
      {"select count(*) from emp group by ()", "14"},
      // a correlated sub-query reads the grand total's department as NULL: no DEPT row
      {"select deptno, (select dname from dept d where d.deptno = e.deptno) from emp e "
       "group by rollup(deptno) order by 1",
       "10 ACCOUNTING;20 RESEARCH;30 SALES;NULL NULL"},
      {"select deptno, (select count(*) from dept d where d.deptno = e.deptno or e.deptno is "
       "null) from emp e group by rollup(deptno) order by 1",
       "10 1;20 1;30 1;NULL 4"},
      // Over no rows a GROUP BY gives no groups, the empty set's included (unlike a block
      // without GROUP BY, which always gives its one row).
      {"select count(*) from emp where deptno = 40 group by ()", ""},
      {"select deptno, count(*) from emp where deptno = 40 group by rollup(deptno)", ""},
      {"select count(*) from emp where deptno = 40", "0"},
      // a constant is a grouped expression too: it reads NULL where its set is left out
      {"select deptno, 0, count(*) from emp group by grouping sets (deptno, 0) order by 1",
       "10 NULL 3;20 NULL 5;30 NULL 6;NULL 0 14"},
      {"select deptno, count(*) from emp group by rollup(deptno), 1 order by 1",
       "10 3;20 5;30 6;NULL 14"},
      {"select deptno, count(*) from emp group by grouping sets (deptno, ()) order by 1",
       "10 3;20 5;30 6;NULL 14"},
      // a grouped column in HAVING reads NULL in the grand total's row too
      {"select deptno, sum(sal) from emp group by rollup(deptno) having deptno is null",
       "NULL 29025"},
  };
  for (const auto& c : cases) EXPECT_EQ(table(c.sql), c.rows) << c.sql;
}

TEST_F(Grouping, NestedGroupFunctionsGiveOneRow) {
  const Expect cases[] = {
      {"select max(sum(sal)) from emp group by deptno", "10875"},
      // counts per department 3, 5, 6
      {"select max(count(*)), min(count(*)), avg(sum(sal)) from emp group by deptno", "6 3 9675"},
      // HAVING keeps departments 10 and 30
      {"select max(sum(sal)) from emp group by deptno having count(*) <> 5", "9400"},
      // without KING, department 10 sums 3750
      {"select min(sum(sal)) from emp where job <> 'PRESIDENT' group by deptno", "3750"},
      {"select max(sum(sal)) + 1, count(sum(sal)) from emp group by deptno", "10876 3"},
      {"select max(deptno + sum(sal)) from emp group by deptno", "10895"},
      {"select max(sum(sal)) m from emp group by deptno order by 1", "10875"},
      {"select max(sum(sal)) m from emp group by deptno order by m", "10875"},
      {"select max(sum(sal)) from emp group by deptno order by max(sum(sal))", "10875"},
  };
  for (const auto& c : cases) EXPECT_EQ(table(c.sql), c.rows) << c.sql;
}

TEST_F(Grouping, OrderedAggregatesAsOracleReturnsThem) {
  const Expect cases[] = {
      {"select listagg(ename, ',') within group (order by ename) from emp where deptno = 10",
       "CLARK,KING,MILLER"},
      {"select deptno, listagg(ename, ';') within group (order by sal desc, ename) from emp "
       "group by deptno order by deptno",
       "10 KING;CLARK;MILLER;20 FORD;SCOTT;JONES;ADAMS;SMITH;"
       "30 BLAKE;ALLEN;TURNER;MARTIN;WARD;JAMES"},
      {"select listagg(sal, '+') within group (order by sal) from emp where deptno = 10",
       "1300+2450+5000"},
      // descending puts the NULL commissions first
      {"select listagg(ename, ',') within group (order by comm desc, ename) from emp "
       "where deptno = 30",
       "BLAKE,JAMES,MARTIN,WARD,ALLEN,TURNER"},
      {"select listagg(job) within group (order by job) from emp where deptno = 10",
       "CLERKMANAGERPRESIDENT"},
      // each job once; department 20 has two clerks and two analysts
      {"select listagg(distinct job, ',') within group (order by job) from emp where deptno = 20",
       "ANALYST,CLERK,MANAGER"},
      {"select listagg(job, ',') within group (order by job) from emp where deptno = 20",
       "ANALYST,ANALYST,CLERK,CLERK,MANAGER"},
      {"select max(ename) keep (dense_rank first order by sal) from emp", "SMITH"},
      // FORD and SCOTT share department 20's highest salary
      {"select deptno, min(ename) keep (dense_rank last order by sal), max(ename) keep "
       "(dense_rank last order by sal) from emp group by deptno order by deptno",
       "10 KING KING;20 FORD SCOTT;30 BLAKE BLAKE"},
      {"select sum(sal) keep (dense_rank first order by hiredate), sum(sal) keep (dense_rank "
       "last order by hiredate) from emp",
       "800 1100"},
      {"select count(*) keep (dense_rank last order by sal) from emp where deptno = 20", "2"},
      // NULLs sort as the largest value: the last rank is the NULL commissions
      {"select min(ename) keep (dense_rank last order by comm) from emp where deptno = 30",
       "BLAKE"},
      {"select avg(sal) keep (dense_rank first order by job) from emp", "3000"},
      // as analytics over a partition: every row reads its department's value
      {"select ename, listagg(ename, ',') within group (order by ename) over (partition by "
       "deptno) from emp where deptno = 10 order by ename",
       "CLARK CLARK,KING,MILLER;KING CLARK,KING,MILLER;MILLER CLARK,KING,MILLER"},
      {"select distinct deptno, min(ename) keep (dense_rank first order by sal) over "
       "(partition by deptno), sum(sal) keep (dense_rank last order by sal) over (partition by "
       "deptno) from emp order by 1",
       "10 MILLER 5000;20 SMITH 6000;30 JAMES 2850"},
  };
  for (const auto& c : cases) EXPECT_EQ(table(c.sql), c.rows) << c.sql;
}

struct Refusal {
  const char* sql;
  int code;
};

TEST_F(Grouping, RefusedAsOracleRefusesThem) {
  const Refusal cases[] = {
      {"select ename, sum(sal) from emp group by rollup(deptno)", 979},
      {"select grouping(ename) from emp group by rollup(deptno)", 979},
      {"select max(sum(sal)) from emp", 978},
      {"select deptno, max(sum(sal)) from emp group by deptno", 937},
      {"select sum(sal), max(sum(sal)) from emp group by deptno", 937},
      {"select max(max(sum(sal))) from emp group by deptno", 935},
      {"select sum(sal) from emp group by deptno having max(sum(sal)) > 0", 935},
      {"select max(sum(sal)) from emp group by deptno having max(sum(sal)) > 0", 935},
      // the one row has no department to sort by
      {"select max(sum(sal)) from emp group by deptno order by deptno", 937},
      {"select ename from emp where max(sum(sal)) > 0", 934},
      {"select listagg(ename, ',') from emp", 2000},
      {"select listagg(ename, ',' on overflow truncate) within group (order by ename) from emp",
       3001},
      {"select ename, listagg(ename) within group (order by ename) from emp", 937},
      {"select ename from emp where listagg(ename) within group (order by ename) is null", 934},
      {"select max(ename) keep (dense_rank first order by sal) from emp where "
       "min(sal) keep (dense_rank first order by sal) > 0",
       934},
      {"select median(sal) keep (dense_rank first order by sal) from emp", 3001},
      {"select listagg(ename) within group (order by ename) over (order by ename) from emp", 30487},
      {"select min(sal) keep (dense_rank first order by sal) over (order by sal) from emp", 30487},
      {"select listagg(ename) over (partition by deptno) from emp", 2000},
      {"select ename from emp where listagg(ename) within group (order by ename) over () = 'x'",
       30483},
      {"select grouping(deptno, job) from emp group by rollup(deptno, job)", 909},
      {"select deptno from emp group by rollup()", 936},
      {"select deptno from emp group by rollup(rollup(deptno))", 907},
      {"select deptno from emp group by cube(empno, ename, job, mgr, hiredate, sal, comm, "
       "deptno, empno + 1, sal + 1, comm + 1, mgr + 1, deptno + 1)",
       3001},
  };
  for (const auto& c : cases) EXPECT_EQ(errorOf(c.sql), c.code) << c.sql;
  // a ROLLUP of 300 expressions would group 301 sets of up to 300 columns
  std::string wide = "select count(*) from emp group by rollup(sal";
  for (int i = 1; i < 300; ++i) wide += ", sal + " + std::to_string(i);
  EXPECT_EQ(errorOf(wide + ")"), 3001);
  std::string many = "select count(*) from emp group by grouping sets (sal";
  for (int i = 1; i < 300; ++i) many += ", sal + " + std::to_string(i);
  EXPECT_EQ(errorOf(many + ")"), 3001);
}

struct Printed {
  const char* sql;
  const char* normal;  // the first print
};

TEST(GroupingSyntax, PrintsANormalFormThatParsesToItself) {
  const Printed cases[] = {
      {"select listagg(ename, ',') within group (order by ename desc) from emp",
       "SELECT LISTAGG(ENAME, ',') WITHIN GROUP (ORDER BY ENAME DESC) FROM EMP"},
      {"select max(sal) keep (dense_rank last order by hiredate nulls first) from emp",
       "SELECT MAX(SAL) KEEP (DENSE_RANK LAST ORDER BY HIREDATE NULLS FIRST) FROM EMP"},
      {"select deptno, job from emp group by rollup (deptno, job)",
       "SELECT DEPTNO, JOB FROM EMP GROUP BY ROLLUP(DEPTNO, JOB)"},
      {"select 1 from emp group by cube(a, (b, c))", "SELECT 1 FROM EMP GROUP BY CUBE(A, (B, C))"},
      {"select 1 from emp group by grouping sets ((a, b), a, (), rollup(c))",
       "SELECT 1 FROM EMP GROUP BY GROUPING SETS((A, B), A, (), ROLLUP(C))"},
      {"select deptno, grouping_id(deptno, job) from emp group by deptno, grouping sets (job, ())",
       "SELECT DEPTNO, GROUPING_ID(DEPTNO, JOB) FROM EMP GROUP BY DEPTNO, GROUPING SETS(JOB, ())"},
      {"select max(sum(sal)) from emp group by deptno",
       "SELECT MAX(SUM(SAL)) FROM EMP GROUP BY DEPTNO"},
      {"select count(*) from emp group by ()", "SELECT COUNT(*) FROM EMP GROUP BY ()"},
  };
  for (const auto& c : cases) {
    std::string first = ast::toSql(parseStatement(c.sql));
    EXPECT_EQ(first, c.normal) << c.sql;
    EXPECT_EQ(ast::toSql(parseStatement(first)), first) << c.sql;
  }
}

}  // namespace
}  // namespace korvo::engine::test
