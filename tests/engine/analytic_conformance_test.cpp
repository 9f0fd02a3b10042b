// Analytic functions over the SCOTT demonstration rows: statement -> Oracle's
// rows or ORA- code, and the printed normal form of the OVER syntax.
#include "engine/ast_print.h"
#include "engine/parser.h"
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class Analytic : public EngineTest {
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

TEST_F(Analytic, RowsAsOracleReturnsThem) {
  const Expect cases[] = {
      // SCOTT (7788) and FORD (7902) share 3000: the empno key orders them.
      {"select ename, row_number() over (order by sal desc, empno) from emp where deptno = 20 "
       "order by 2",
       "SCOTT 1;FORD 2;JONES 3;ADAMS 4;SMITH 5"},
      // RANK leaves a gap after the tie, DENSE_RANK does not.
      {"select ename, rank() over (order by sal desc), dense_rank() over (order by sal desc) "
       "from emp where deptno = 20 order by sal desc, ename",
       "FORD 1 1;SCOTT 1 1;JONES 3 2;ADAMS 4 3;SMITH 5 4"},
      {"select deptno, ename, rank() over (partition by deptno order by sal) from emp "
       "where deptno in (10, 30) order by deptno, 3, ename",
       "10 MILLER 1;10 CLARK 2;10 KING 3;30 JAMES 1;30 MARTIN 2;30 WARD 2;30 TURNER 4;"
       "30 ALLEN 5;30 BLAKE 6"},
      // NULL is the largest value inside OVER too: last ascending, first descending.
      {"select ename, row_number() over (order by comm, empno) from emp where deptno = 30 "
       "order by 2",
       "TURNER 1;ALLEN 2;WARD 3;MARTIN 4;BLAKE 5;JAMES 6"},
      {"select ename, row_number() over (order by comm desc, empno) from emp where deptno = 30 "
       "order by 2",
       "BLAKE 1;JAMES 2;MARTIN 3;WARD 4;ALLEN 5;TURNER 6"},
      {"select ename, row_number() over (order by comm nulls first, empno) from emp "
       "where deptno = 30 order by 2",
       "BLAKE 1;JAMES 2;TURNER 3;ALLEN 4;WARD 5;MARTIN 6"},
      // The default window of an ordered SUM is RANGE ... CURRENT ROW: MARTIN and WARD
      // (1250 both) are peers, each sees the other.
      {"select ename, sal, sum(sal) over (order by sal) from emp where deptno = 30 "
       "order by sal, ename",
       "JAMES 950 950;MARTIN 1250 3450;WARD 1250 3450;TURNER 1500 4950;ALLEN 1600 6550;"
       "BLAKE 2850 9400"},
      {"select ename, sum(sal) over (order by sal, empno rows unbounded preceding) from emp "
       "where deptno = 30 order by sal, empno",
       "JAMES 950;WARD 2200;MARTIN 3450;TURNER 4950;ALLEN 6550;BLAKE 9400"},
      // Unordered: the whole partition.
      {"select ename, sum(sal) over (partition by deptno), count(*) over (partition by deptno) "
       "from emp where deptno = 10 order by ename",
       "CLARK 8750 3;KING 8750 3;MILLER 8750 3"},
      {"select ename, sum(sal) over (order by empno rows between 1 preceding and 1 following) "
       "from emp where deptno = 10 order by empno",
       "CLARK 7450;KING 8750;MILLER 6300"},
      // the next two rows; the last row's window is empty
      {"select ename, sum(sal) over (order by empno rows between 1 following and 2 following) "
       "from emp where deptno = 10 order by empno",
       "CLARK 6300;KING 1300;MILLER NULL"},
      // sal 950,1250,1250,1500,1600,2850: the rows within 300 of each one.
      {"select ename, count(*) over (order by sal range between 300 preceding and 300 "
       "following) from emp where deptno = 30 order by sal, ename",
       "JAMES 3;MARTIN 4;WARD 4;TURNER 4;ALLEN 2;BLAKE 1"},
      // RANGE over a date counts days: WARD is hired 2 days after ALLEN, MARTIN 20 after TURNER.
      {"select ename, count(*) over (order by hiredate range between 31 preceding and current "
       "row) from emp where deptno = 30 order by hiredate",
       "ALLEN 1;WARD 2;BLAKE 1;TURNER 1;MARTIN 2;JAMES 1"},
      {"select ename, lag(sal) over (order by empno), lead(sal, 1, 0) over (order by empno) "
       "from emp where deptno = 10 order by empno",
       "CLARK NULL 5000;KING 2450 1300;MILLER 5000 0"},
      {"select lag(ename, 2, 'none') over (order by empno) from emp where deptno = 10 "
       "order by empno",
       "none;none;CLARK"},
      // LAST_VALUE's default window ends at the current row (and its peers).
      {"select ename, first_value(ename) over (order by sal desc), last_value(ename) over "
       "(order by sal desc) from emp where deptno = 10 order by sal desc",
       "KING KING KING;CLARK KING CLARK;MILLER KING MILLER"},
      {"select last_value(ename) over (order by sal desc rows between unbounded preceding and "
       "unbounded following) from emp where deptno = 10",
       "MILLER;MILLER;MILLER"},
      // 6 rows in 4 buckets: the first two buckets take the extra rows.
      {"select ename, ntile(4) over (order by sal, empno) from emp where deptno = 30 "
       "order by sal, empno",
       "JAMES 1;WARD 1;MARTIN 2;TURNER 2;ALLEN 3;BLAKE 4"},
      // 2450/8750, 5000/8750, 1300/8750
      {"select ename, round(ratio_to_report(sal) over (partition by deptno), 4) from emp "
       "where deptno = 10 order by ename",
       "CLARK .28;KING .5714;MILLER .1486"},
      // dept 30 has an even count: the median is (1250 + 1500) / 2.
      {"select distinct deptno, median(sal) over (partition by deptno), max(sal) over "
       "(partition by deptno), min(sal) over (partition by deptno) from emp order by deptno",
       "10 2450 5000 1300;20 2975 3000 800;30 1375 2850 950"},
      {"select distinct deptno, round(avg(sal) over (partition by deptno), 2), "
       "round(stddev(sal) over (partition by deptno), 2) from emp order by deptno",
       "10 2916.67 1893.63;20 2175 1123.33;30 1566.67 668.33"},
      // A sliding window removes rows again: STDDEV of one row is 0.
      {"select ename, round(stddev(sal) over (order by empno rows between 1 preceding and "
       "current row), 2) from emp where deptno = 10 order by empno",
       "CLARK 0;KING 1803.12;MILLER 2616.3"},
      {"select ename from emp where deptno = 10 order by row_number() over (order by sal desc)",
       "KING;CLARK;MILLER"},
      {"select ename from (select ename, row_number() over (order by sal desc, empno) rn "
       "from emp) where rn <= 3 order by rn",
       "KING;SCOTT;FORD"},
      {"select distinct deptno, count(*) over (partition by deptno) from emp order by 1",
       "10 3;20 5;30 6"},
      // Over groups: the analytic reads each group's sum.
      {"select deptno, sum(sum(sal)) over () from emp group by deptno order by deptno",
       "10 29025;20 29025;30 29025"},
      {"select deptno, sum(sal), rank() over (order by sum(sal) desc) from emp group by deptno "
       "order by 1",
       "10 8750 3;20 10875 1;30 9400 2"},
      {"select deptno, sum(sum(sal)) over (order by deptno) from emp group by deptno "
       "order by deptno",
       "10 8750;20 19625;30 29025"},
      {"select deptno, count(*) over (partition by deptno) from emp group by deptno "
       "order by deptno",
       "10 1;20 1;30 1"},
      // one group without GROUP BY: the analytic reads its total
      {"select sum(sal), sum(sum(sal)) over () from emp", "29025 29025"},
      // (rank - 1) / (rows - 1), and the share of rows up to the current one's peers
      {"select ename, percent_rank() over (order by sal), round(cume_dist() over (order by "
       "sal), 4) from emp where deptno = 10 order by sal",
       "MILLER 0 .3333;CLARK .5 .6667;KING 1 1"},
      {"select nth_value(ename, 2) over (order by sal rows between unbounded preceding and "
       "unbounded following) from emp where deptno = 10",
       "CLARK;CLARK;CLARK"},
      {"select first_value(ename) respect nulls over (order by sal) from emp where deptno = 10",
       "MILLER;MILLER;MILLER"},
      // levels of the tree under KING: 1, 3, 8 and 2 employees
      {"select distinct level, count(*) over (partition by level) from emp start with mgr is "
       "null connect by prior empno = mgr order by 1",
       "1 1;2 3;3 8;4 2"},
      {"select ename, rank() over (order by sal) from emp where deptno = 10 union all "
       "select dname, 0 from dept where deptno = 40 order by 2, 1",
       "OPERATIONS 0;MILLER 1;CLARK 2;KING 3"},
      // 5000 ranks first, SCOTT's and FORD's 3000 second
      {"with r as (select ename, dense_rank() over (order by sal desc) d from emp) "
       "select ename from r where d = 2 order by ename",
       "FORD;SCOTT"},
      {"select ename, rank() over (order by sal) r from emp where deptno = 10 order by r desc",
       "KING 3;CLARK 2;MILLER 1"},
      // NULL is no value: department 30 has four commissions besides its NULLs, the
      // others none; six managers besides KING's NULL
      {"select distinct deptno, count(distinct comm) over (partition by deptno) from emp "
       "order by 1",
       "10 0;20 0;30 4"},
      {"select distinct count(distinct mgr) over () from emp", "6"},
      {"select distinct deptno, count(distinct job) over (partition by deptno), count(job) over "
       "(partition by deptno) from emp order by 1",
       "10 3 3;20 3 5;30 3 6"},
      // ROWNUM lets three rows through WHERE; the analytics see those three only
      {"select count(*) over (), max(rownum) over () from emp where rownum <= 3", "3 3;3 3;3 3"},
      {"select count(*) over (partition by deptno) from emp where deptno = 10 and rownum < 3",
       "2;2"},
  };
  for (const auto& c : cases) EXPECT_EQ(table(c.sql), c.rows) << c.sql;
}

// Commissions by EMPNO: SMITH -, ALLEN 300, WARD 500, JONES -, MARTIN 1400, BLAKE -,
// CLARK -, SCOTT -, KING -, TURNER 0, ADAMS -, JAMES -, FORD -, MILLER -.
TEST_F(Analytic, IgnoreNullsSkipsTheNullValues) {
  const Expect cases[] = {
      // the default frame ends at the row: the first commission once one is seen
      {"select first_value(comm ignore nulls) over (order by empno) from emp order by empno",
       "NULL;300;300;300;300;300;300;300;300;300;300;300;300;300"},
      // the last commission so far: the value carried down over the NULLs
      {"select last_value(comm) ignore nulls over (order by empno) from emp order by empno",
       "NULL;300;500;500;1400;1400;1400;1400;1400;0;0;0;0;0"},
      {"select distinct last_value(comm ignore nulls) over (order by empno rows between "
       "unbounded preceding and unbounded following) from emp",
       "0"},
      {"select distinct nth_value(comm, 2) ignore nulls over (order by empno rows between "
       "unbounded preceding and unbounded following) from emp",
       "500"},
      // a moving frame: values leave it as it moves on
      {"select first_value(comm ignore nulls) over (order by empno rows between 1 preceding and "
       "1 following) from emp order by empno",
       "300;300;300;500;1400;1400;NULL;NULL;0;0;0;NULL;NULL;NULL"},
      // LAG and LEAD count the rows that have a value
      {"select lag(comm) ignore nulls over (order by empno) from emp order by empno",
       "NULL;NULL;300;500;500;1400;1400;1400;1400;1400;0;0;0;0"},
      {"select lead(comm ignore nulls, 1, -1) over (order by empno) from emp order by empno",
       "300;500;1400;1400;0;0;0;0;0;-1;-1;-1;-1;-1"},
      {"select lag(comm, 2) ignore nulls over (order by empno) from emp where deptno = 30 "
       "order by empno",
       "NULL;NULL;300;500;500;1400"},
      {"select lag(comm, 0) ignore nulls over (order by empno) from emp where empno < 7600 "
       "order by empno",
       "NULL;300;500;NULL"},
      // within each department
      {"select deptno, lead(comm) ignore nulls over (partition by deptno order by empno) from "
       "emp where deptno in (20, 30) order by deptno, empno",
       "20 NULL;20 NULL;20 NULL;20 NULL;20 NULL;30 500;30 1400;30 0;30 0;30 NULL;30 NULL"},
      // RESPECT NULLS is the default
      {"select lag(comm) respect nulls over (order by empno) from emp where empno < 7600 "
       "order by empno",
       "NULL;NULL;300;500"},
  };
  for (const auto& c : cases) EXPECT_EQ(table(c.sql), c.rows) << c.sql;
  EXPECT_EQ(errorOf("select nth_value(comm, 0) ignore nulls over () from emp"), 1428);
}

// RANGE over a date key measures days: a number is days, so is an INTERVAL DAY
// TO SECOND; months have no fixed length and stay refused rather than guessed.
TEST_F(Analytic, RangeOverDatesByDaysAndIntervals) {
  run("create table h (d date, v number)");
  for (const char* row : {"date '2020-01-01', 1", "date '2020-01-15', 2", "date '2020-02-10', 4",
                          "date '2020-03-01', 8"})
    run(std::string("insert into h values (") + row + ")");
  // 10-FEB reads 11-JAN .. 10-FEB, 01-MAR reads 31-JAN .. 01-MAR
  EXPECT_EQ(column("select sum(v) over (order by d range between interval '30' day preceding "
                   "and current row) from h order by d"),
            "1,3,6,12");
  EXPECT_EQ(column("select sum(v) over (order by d range between 30 preceding and current row) "
                   "from h order by d"),
            "1,3,6,12");
  EXPECT_EQ(column("select sum(v) over (order by d range between current row and interval "
                   "'12' hour following) from h order by d"),
            "1,2,4,8");
  EXPECT_EQ(errorOf("select sum(v) over (order by d range interval '1' month preceding) from h"),
            3001);
  EXPECT_EQ(errorOf("select sum(v) over (order by d rows interval '1' day preceding) from h"),
            932);
  EXPECT_EQ(lastError_, "ORA-00932: inconsistent datatypes: expected NUMBER got INTERVAL DAY TO "
                        "SECOND");
  EXPECT_EQ(errorOf("select sum(v) over (order by v range interval '1' day preceding) from h"),
            932);
}

TEST_F(Analytic, HeadingIsTheCallAsWritten) {
  EXPECT_EQ(headings("select row_number() over (order by sal) from emp"),
            std::vector<std::string>{"ROW_NUMBER()OVER(ORDERBYSAL)"});
  EXPECT_EQ(headings("select rank() over (partition by deptno order by sal) r from emp"),
            std::vector<std::string>{"R"});
}

struct Refusal {
  const char* sql;
  int code;
};

TEST_F(Analytic, RefusedAsOracleRefusesThem) {
  const Refusal cases[] = {
      // the arguments, window keys included, must be grouped expressions
      {"select ename, rank() over (order by sal) from emp group by deptno", 979},
      {"select deptno, rank() over (order by sal) from emp group by deptno", 979},
      {"select deptno, sum(sal) over (partition by job) from emp group by deptno", 979},
      // only the select list and ORDER BY take analytics
      {"select ename from emp where row_number() over (order by sal) = 1", 30483},
      {"select deptno from emp group by deptno having rank() over (order by deptno) = 1", 30483},
      {"select count(*) from emp group by row_number() over (order by sal)", 30483},
      {"select sum(row_number() over (order by sal)) from emp", 30483},
      {"select sum(rank() over (order by sal)) over () from emp", 30483},
      {"select e.ename from emp e join dept d on d.deptno = rank() over (order by e.sal)", 30483},
      {"update emp set sal = rank() over (order by sal)", 30483},
      {"select row_number() from emp", 30484},
      {"select lag(sal) from emp", 30484},
      {"select row_number() over () from emp", 30485},
      {"select rank() over (partition by deptno) from emp", 30485},
      {"select lead(sal) over (partition by deptno) from emp", 30485},
      {"select ratio_to_report(sal) over (order by sal) from emp", 30487},
      {"select median(sal) over (order by sal) from emp", 30487},
      // RANGE with an offset orders by one key
      {"select sum(sal) over (order by sal, empno range between 1 preceding and current row) "
       "from emp",
       30486},
      {"select ntile(1, 2) over (order by sal) from emp", 909},
      {"select upper(ename) over (order by sal) from emp", 30484},
      {"select nosuch(sal) over (order by sal) from emp", 904},
      // a scalar sub-query with an analytic still returns one row per row of emp
      {"select (select sum(sal) over () from emp) from dual", 1427},
      {"select sum(distinct sal) over (partition by deptno) from emp", 3001},
      {"select count(distinct job) over (order by deptno) from emp", 30487},
      // windows that end before they start
      {"select sum(sal) over (order by sal rows between 1 following and 1 preceding) from emp",
       30486},
      {"select sum(sal) over (order by sal rows between current row and 2 preceding) from emp",
       30486},
      {"select sum(sal) over (order by sal rows between 2 following and current row) from emp",
       30486},
      {"select sum(sal) over (order by sal rows -1 preceding) from emp", 30486},
      {"select sum(sal) over (order by ename range between 1 preceding and current row) from emp",
       932},
      {"select sum(sal) over (order by sal rows between sal preceding and current row) from emp",
       3001},
      {"select ntile(0) over (order by sal) from emp", 1428},
      {"select deptno from emp group by deptno order by rank() over (order by sal)", 979},
      {"select sum(comm) ignore nulls over (order by empno) from emp", 3001},
      {"select sum(comm ignore nulls) over (order by empno) from emp", 907},
      {"select first_value(comm ignore nulls) from emp", 30484},
      {"select lag(comm) ignore nulls over (order by empno rows 1 preceding) from emp", 907},
      {"select rank(1500) within group (order by sal) from emp", 3001},
  };
  for (const auto& c : cases) EXPECT_EQ(errorOf(c.sql), c.code) << c.sql;
  EXPECT_EQ(errorOf("select ename from emp where row_number() over (order by sal) = 1"), 30483);
  EXPECT_EQ(lastError_, "ORA-30483: window  functions are not allowed here");
}

struct Printed {
  const char* sql;
  const char* normal;  // the first print
};

TEST(AnalyticSyntax, PrintsANormalFormThatParsesToItself) {
  const Printed cases[] = {
      {"select ename, row_number() over (partition by deptno order by sal desc nulls last) "
       "from emp",
       "SELECT ENAME, ROW_NUMBER() OVER (PARTITION BY DEPTNO ORDER BY SAL DESC NULLS LAST) "
       "FROM EMP"},
      {"select sum(sal) over (order by hiredate rows between 2 preceding and current row) from "
       "emp",
       "SELECT SUM(SAL) OVER (ORDER BY HIREDATE ROWS BETWEEN 2 PRECEDING AND CURRENT ROW) FROM "
       "EMP"},
      {"select count(*) over (), lag(sal, 1, 0) over (order by empno) from emp",
       "SELECT COUNT(*) OVER (), LAG(SAL, 1, 0) OVER (ORDER BY EMPNO) FROM EMP"},
      {"select sum(sal) over (order by sal range unbounded preceding) from emp",
       "SELECT SUM(SAL) OVER (ORDER BY SAL RANGE UNBOUNDED PRECEDING) FROM EMP"},
      {"select max(sal) over (partition by deptno, job order by sal range between 1 following "
       "and unbounded following) x from emp",
       "SELECT MAX(SAL) OVER (PARTITION BY DEPTNO, JOB ORDER BY SAL RANGE BETWEEN 1 FOLLOWING "
       "AND UNBOUNDED FOLLOWING) X FROM EMP"},
      // IGNORE NULLS inside the parentheses prints after them, where it also parses
      {"select first_value(comm ignore nulls) over (order by empno), lag(comm ignore nulls, 2) "
       "over (order by empno) from emp",
       "SELECT FIRST_VALUE(COMM) IGNORE NULLS OVER (ORDER BY EMPNO), LAG(COMM, 2) IGNORE NULLS "
       "OVER (ORDER BY EMPNO) FROM EMP"},
      {"select last_value(comm) respect nulls over () from emp",
       "SELECT LAST_VALUE(COMM) OVER () FROM EMP"},
      // OVER without "(" is an alias
      {"select sum(sal) over from emp", "SELECT SUM(SAL) OVER FROM EMP"},
  };
  for (const auto& c : cases) {
    std::string first = ast::toSql(parseStatement(c.sql));
    EXPECT_EQ(first, c.normal) << c.sql;
    EXPECT_EQ(ast::toSql(parseStatement(first)), first) << c.sql;
  }
}

TEST(AnalyticSyntax, MalformedWindowsAreSyntaxErrors) {
  const Refusal cases[] = {
      {"select sum(sal) over (order by sal rows between current row) from emp", 905},
      {"select sum(sal) over (order by sal rows between unbounded current row) from emp", 905},
      {"select sum(sal) over (partition deptno) from emp", 905},
      {"select sum(sal) over (order by sal rows between unbounded following and current row) "
       "from emp",
       905},
      {"select sum(sal) over (order by sal rows between current row and unbounded preceding) "
       "from emp",
       905},
      {"select sum(sal) over (order by sal from emp", 907},
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
}  // namespace korvo::engine::test
