// Queries over the SCOTT demonstration rows: statement -> expected rows or error.
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class Query : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
};

struct Expect {
  const char* sql;
  const char* firstColumn;  // first column of every row joined by ','
};

TEST_F(Query, RowsAsOracleReturnsThem) {
  const Expect cases[] = {
      {"select ename from emp where deptno = 10 order by ename", "CLARK,KING,MILLER"},
      {"select count(*) from emp", "14"},
      {"select count(comm) from emp", "4"},
      {"select sum(sal) from emp where deptno = 20", "10875"},
      {"select deptno from emp group by deptno order by deptno desc", "30,20,10"},
      {"select comm from emp where deptno = 30 order by comm", "0,300,500,1400,NULL,NULL"},
      {"select comm from emp where deptno = 30 order by comm desc", "NULL,NULL,1400,500,300,0"},
      {"select comm from emp where deptno = 30 order by comm nulls first",
       "NULL,NULL,0,300,500,1400"},
      {"select 7/2 from dual", "3.5"},
      {"select 1/4 from dual", ".25"},
      {"select 'A' || NULL || 'B' from dual", "AB"},
      {"select 'x' || 400 from dual", "x400"},
      {"select 'x' || .5 from dual", "x.5"},
      {"select count(*) from dual where '' = ''", "0"},
      {"select count(*) from dual where '' is null", "1"},
      {"select ename from emp where ename like 's%'", ""},
      {"select ename from emp where ename like 'S%' order by 1", "SCOTT,SMITH"},
      {"select ename from emp where job in ('ANALYST', 'PRESIDENT') order by empno",
       "SCOTT,KING,FORD"},
      {"select ename from emp where sal between 2900 and 3000 order by ename", "FORD,JONES,SCOTT"},
      {"select ename from emp where sal not between 1000 and 5000 order by ename", "JAMES,SMITH"},
      {"select ename from emp where comm is not null and comm > 0 order by comm",
       "ALLEN,WARD,MARTIN"},
      {"select dname from dept d where not exists (select 1 from emp e where e.deptno = d.deptno)",
       "OPERATIONS"},
      {"select ename from emp where sal = (select max(sal) from emp)", "KING"},
      {"select ename from emp e where sal > (select avg(sal) from emp where deptno = e.deptno) "
       "order by ename",
       "ALLEN,BLAKE,FORD,JONES,KING,SCOTT"},
      {"select d.dname from emp e, dept d where e.deptno = d.deptno and e.ename = 'KING'",
       "ACCOUNTING"},
      {"select d.dname from dept d left join emp e on e.deptno = d.deptno where e.empno is null",
       "OPERATIONS"},
      {"select count(*) from emp cross join dept", "56"},
      {"select x from (select ename x from emp where empno = 7839)", "KING"},
      {"select \"COUNT(*)\" from (select count(*) from emp)", "14"},
      {"select case when sal > 2900 then 'HIGH' else 'LOW' end from emp where empno in (7839, "
       "7369) "
       "order by empno",
       "LOW,HIGH"},
      {"select case deptno when 10 then 'A' when 20 then 'B' end from emp where empno = 7369", "B"},
      {"select decode(null, null, 'EQ', 'NE') from dual", "EQ"},
      {"select decode(deptno, 10, 'TEN', 20, 'TWENTY', 'OTHER') from emp where empno = 7499",
       "OTHER"},
      {"select nvl2(comm, 'Y', 'N') from emp where empno in (7369, 7499) order by empno", "N,Y"},
      {"select count(distinct job) from emp", "5"},
      {"select max(hiredate) - min(hiredate) from emp", "756"},
      {"select ename from emp where hiredate = date '1981-12-03' order by ename", "FORD,JAMES"},
      {"select count(*) from emp where hiredate < '01-JAN-81'", "1"},
      {"select ename from emp where hiredate + 1 = date '1980-12-18'", "SMITH"},
      {"select extract(year from hiredate) from emp where empno = 7876", "1983"},
      {"select user from dual", "SCOTT"},
      {"select dummy from dual", "X"},
      {"select ename from emp where deptno = '10' order by ename", "CLARK,KING,MILLER"},
      {"select 1 from dual union select 2 from dual order by 1 desc", "2,1"},
      {"select deptno from dept minus select deptno from emp", "40"},
      {"select deptno from dept intersect select deptno from emp order by 1", "10,20,30"},
      {"select 1 from dual union all select 2 from dual intersect select 2 from dual", "2"},
      {"select a from (select 1 a from dual union all select 2 from dual) order by a desc", "2,1"},
      {"select job from emp where deptno = 10 union (select job from emp where deptno = 20 minus "
       "select job from emp where deptno = 30) order by 1",
       "ANALYST,CLERK,MANAGER,PRESIDENT"},
      {"select e.ename from emp e where e.empno in (select mgr from emp) order by 1",
       "BLAKE,CLARK,FORD,JONES,KING,SCOTT"},
      {"select deptno, count(*) from emp group by deptno having count(*) > 4 order by deptno",
       "20,30"},
      {"select count(*) from emp group by 1", "14"},
      {"select ename from emp order by sal desc, ename",
       "KING,FORD,SCOTT,JONES,BLAKE,CLARK,ALLEN,"
       "TURNER,MILLER,MARTIN,WARD,ADAMS,JAMES,SMITH"},
  };
  for (const auto& c : cases) {
    std::string got;
    try {
      got = column(c.sql);
    } catch (const OraError& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.firstColumn) << c.sql;
  }
}

TEST_F(Query, ErrorsAsOracleRaisesThem) {
  struct Case {
    const char* sql;
    int code;
  } cases[] = {
      {"select * from nosuchtable", 942},
      {"select nosuchcol from emp", 904},
      {"select \"ename\" from emp", 904},
      {"select e.ename from emp x", 904},
      {"select emp.ename from emp e", 904},
      {"select deptno from emp e, dept d", 918},
      {"select ename, count(*) from emp group by deptno", 979},
      {"select ename, count(*) from emp", 937},
      {"select deptno from emp group by 1", 979},
      {"select ename from emp where count(*) > 1", 934},
      {"select deptno from emp group by deptno order by sal", 979},
      {"select distinct deptno from emp order by ename", 1791},
      {"select ename from emp order by 3", 1785},
      {"select 1/0 from dual", 1476},
      {"select to_number('12a') from dual", 1722},
      {"select ename from emp where ename = (select ename from emp)", 1427},
      {"select (select ename, job from emp where empno = 7839) from dual", 913},
      {"select 1, 2 from dual union select 1 from dual", 1789},
      {"select 1 from dual union select 'a' from dual", 1790},
      {"select nm from (select ename nm from emp) where ename = 'x'", 904},
      {"select ename nm from emp where nm = 'KING'", 904},
      {"select count(*) from emp where hiredate < '1981-01-01'", 1861},
      {"select hiredate + hiredate from emp", 975},
      {"select nosuchfunction(1) from dual", 904},
      {"select substr('abc') from dual", 909},
      {"select * from emp where rownum <= 3 or sal > 0", 3001},
      {"select ename from emp where deptno = 10 group by rownum", 3001},
      {"select * from emp e, dept d where e.deptno(+) = d.deptno(+)", 1468},
      {"select * from emp e, dept d where e.deptno(+) = d.deptno or e.sal > 0", 1719},
      {"select * from emp e, dept d where e.deptno(+) in (10, 20)", 1719},
      {"select * from emp e, dept d where e.deptno(+) = d.deptno and d.loc(+) = e.job", 1416},
      {"select * from emp e join dept d on e.deptno = d.deptno where d.loc(+) = 'X'", 25156},
      {"select extract(hour from hiredate) from emp", 30076},
      {"select 1e400 from dual", 1426},
      {"select * from emp where rownum < 1e999", 1426},
      {"select * from emp where rownum < 'x'", 1722},
      {"select * from emp where ename like 'A%' escape 'xy'", 1425},
  };
  for (const auto& c : cases) EXPECT_EQ(errorOf(c.sql), c.code) << c.sql << " -> " << lastError_;
}

TEST_F(Query, OuterJoinMarks) {
  const Expect cases[] = {
      // (+) on a constant filter goes into ON: dept 40 and the non-clerk departments stay
      {"select count(*) from dept d, emp e where d.deptno = e.deptno(+) and e.job(+) = 'CLERK'",
       "5"},
      {"select count(*) from dept d, emp e where d.deptno = e.deptno(+) and e.job = 'CLERK'", "4"},
      {"select d.dname || ':' || nvl(e.ename, '-') from emp e, dept d where e.deptno(+) = d.deptno "
       "and e.sal(+) > 4000 order by d.deptno",
       "ACCOUNTING:KING,RESEARCH:-,SALES:-,OPERATIONS:-"},
      // a chain a -> b -> c, written with the optional tables first
      {"select count(*) from emp m, emp e, dept d where e.mgr = m.empno(+) and d.deptno = "
       "e.deptno(+)",
       "15"},
      {"select count(*) from dept d, emp e, emp m where d.deptno = e.deptno(+) and "
       "e.mgr = m.empno(+) and m.job(+) = 'PRESIDENT'",
       "15"},
  };
  for (const auto& c : cases) {
    std::string got;
    try {
      got = column(c.sql);
    } catch (const OraError& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.firstColumn) << c.sql;
  }
  auto r = db().execute("select d.deptno, e.ename from dept d, emp e where d.deptno = e.deptno(+)");
  EXPECT_TRUE(r.cursor->columns()[1].nullable);
}

TEST_F(Query, RownumLimitsRowsAsTheyPassWhere) {
  const Expect cases[] = {
      {"select count(*) from (select ename from emp where rownum <= 3)", "3"},
      {"select count(*) from (select ename from emp where rownum < 3)", "2"},
      {"select count(*) from (select ename from emp where rownum = 1)", "1"},
      {"select count(*) from (select ename from emp where rownum = 2)", "0"},
      {"select count(*) from (select ename from emp where rownum > 1)", "0"},
      {"select count(*) from (select ename from emp where rownum > 0)", "14"},
      {"select count(*) from (select ename from emp where rownum between 2 and 5)", "0"},
      {"select count(*) from (select ename from emp where rownum between 1 and 5)", "5"},
      {"select count(*) from (select ename from emp where 4 >= rownum and deptno = 30)", "4"},
      {"select ename from (select ename, sal from emp order by sal desc, ename) where rownum <= 3",
       "KING,FORD,SCOTT"},
      {"select count(*) from emp where rownum <= 5", "5"},
      {"select rownum from emp where deptno = 10", "1,2,3"},
      // numbered as the rows pass WHERE, before the sort
      {"select rownum || ename from emp where deptno = 10 order by ename desc",
       "3MILLER,2KING,1CLARK"},
      {"select max(rownum) from emp where deptno = 30", "6"},
      {"select ename from emp where rownum <= 3 order by rownum desc", "WARD,ALLEN,SMITH"},
      // the first three rows are taken before the sort, not the three largest
      {"select ename from emp where rownum <= 3 order by sal desc", "ALLEN,WARD,SMITH"},
      {"select ename from (select ename, sal from emp where rownum <= 3) order by sal desc",
       "ALLEN,WARD,SMITH"},
      {"select ename from (select ename from emp order by ename) where rownum = 1 union "
       "select dname from (select dname from dept order by dname desc) where rownum = 1",
       "ADAMS,SALES"},
      {"select * from (select deptno from emp intersect select deptno from dept order by 1 desc) "
       "where rownum = 1",
       "30"},
  };
  for (const auto& c : cases) {
    std::string got;
    try {
      got = column(c.sql);
    } catch (const OraError& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.firstColumn) << c.sql;
  }
  // the first 5 rows are grouped, not the first 5 groups
  EXPECT_EQ(single("select sum(n) from (select deptno, count(*) n from emp where rownum <= 5 "
                   "group by deptno)"),
            "5");
}

TEST_F(Query, TypesDriveTheImplicitConversions) {
  const Expect cases[] = {
      {"select to_char(hiredate + 1/24, 'YYYY-MM-DD HH24:MI') from emp where empno = 7369",
       "1980-12-17 01:00"},
      {"select to_char(hiredate - 1, 'YYYY-MM-DD') from emp where empno = 7369", "1980-12-16"},
      {"select (hiredate + 0.5) - hiredate from emp where empno = 7369", ".5"},
      {"select to_char(trunc(hiredate, 'MM'), 'YYYY-MM-DD') from emp where empno = 7369",
       "1980-12-01"},
      {"select to_char(add_months(date '2024-01-31', 1), 'YYYY-MM-DD') from dual", "2024-02-29"},
      {"select count(*) from emp where to_char(hiredate, 'YYYY') = 1981", "10"},
      {"select count(*) from emp where sal like '1%'", "6"},
      {"select count(*) from emp where deptno in ('10', 20)", "8"},
      {"select count(*) from dept where to_char(deptno) in (select deptno from emp)", "3"},
      {"select count(*) from emp where deptno in (select to_char(deptno) from dept)", "14"},
      {"select nvl(comm, 0) + sal from emp where empno = 7369", "800"},
      {"select '1' + 1 from dual", "2"},
      {"select greatest(hiredate, date '1982-01-01') - date '1982-01-01' from emp "
       "where empno = 7876",
       "376"},
      {"select count(*) from emp where hiredate between '01-JAN-81' and '31-DEC-81'", "10"},
      {"select months_between(date '1995-02-02', date '1995-01-01') from dual", "1.03225806451613"},
      {"select count(*) from dual where 0.1 + 0.2 = 0.3", "1"},
      {"select count(*) from dual where 1 / 3 * 3 = 1", "0"},
      {"select count(*) from dual where 0.7 * 3 = 2.1", "1"},
      {"select count(distinct x) from (select 0.1 + 0.2 x from dual union all select 0.3 from dual)",
       "1"},
      {"select sum(comm / 10) from emp", "220"},
      {"select trim(both 'x' from 'xxAxx') || trim(leading 'x' from 'xxB') || "
       "trim(trailing from 'C  ') || trim('  D ') from dual",
       "ABCD"},
      {"select count(*) from emp where regexp_like(ename, '^S')", "2"},
      {"select 'v' || trim(' ' from '  ') from dual", "v"},
  };
  for (const auto& c : cases) {
    std::string got;
    try {
      got = column(c.sql);
    } catch (const OraError& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.firstColumn) << c.sql;
  }
  auto r = db().execute(
      "select hiredate + 1, sysdate - hiredate, 'x' || hiredate, "
      "trunc(hiredate), trunc(sal) from emp");
  std::vector<std::string> types;
  for (const auto& col : r.cursor->columns()) types.push_back(col.type);
  EXPECT_EQ(types, (std::vector<std::string>{"DATE", "NUMBER", "VARCHAR2", "DATE", "NUMBER"}));
}

TEST_F(Query, OrderByResolvesAliasesPositionsAndExpressions) {
  EXPECT_EQ(column("select ename nm from emp where deptno = 10 order by nm desc"),
            "MILLER,KING,CLARK");
  EXPECT_EQ(column("select ename \"Name\" from emp where deptno = 10 order by \"Name\""),
            "CLARK,KING,MILLER");
  EXPECT_EQ(column("select ename from emp where deptno = 10 order by sal"), "MILLER,CLARK,KING");
  EXPECT_EQ(column("select ename from emp where deptno = 10 order by length(ename), 1"),
            "KING,CLARK,MILLER");
  EXPECT_EQ(column("select distinct job from emp where deptno = 20 order by job"),
            "ANALYST,CLERK,MANAGER");
  EXPECT_EQ(column("select ename from emp where deptno = 20 union select dname from dept "
                   "where deptno = 20 order by ename"),
            "ADAMS,FORD,JONES,RESEARCH,SCOTT,SMITH");
  EXPECT_EQ(errorOf("select ename from emp union select dname from dept order by dname"), 904);
}

TEST_F(Query, ListsAndLiteralsHaveOraclesLimits) {
  std::string list = "select count(*) from emp where empno in (1";
  for (int i = 2; i <= 1000; ++i) list += ", " + std::to_string(i);
  EXPECT_EQ(single(list + ")"), "0");
  EXPECT_EQ(errorOf(list + ", 1001)"), 1795);
  EXPECT_EQ(errorOf("select '" + std::string(4001, 'x') + "' from dual"), 1704);
  EXPECT_EQ(single("select length('" + std::string(4000, 'x') + "') from dual"), "4000");
  // long chains are answered (SQLite sees them as shallow trees)
  std::string chain = "select 1";
  for (int i = 0; i < 4900; ++i) chain += "+1";
  EXPECT_EQ(single(chain + " from dual"), "4901");
  std::string conditions = "select count(*) from emp where 1 = 1";
  for (int i = 0; i < 4900; ++i) conditions += " and sal > 0";
  EXPECT_EQ(single(conditions), "14");
  std::string many = "select count(*) from emp where 1 = 1";
  for (int i = 0; i < 900; ++i) many += " and sal > " + std::to_string(i);
  EXPECT_EQ(single(many), "13");
  std::string text = "select length('a'";
  for (int i = 0; i < 900; ++i) text += " || 'a'";
  EXPECT_EQ(single(text + ") from dual"), "901");
  std::string sum = "select 0";
  for (int i = 0; i < 500; ++i) sum += " + 0.1";
  EXPECT_EQ(single(sum + " - 50 from dual"), "0");
  EXPECT_EQ(single("select 2 + 3 * 4 - 6 / 4 * 2 from dual"), "11");
  EXPECT_EQ(single("select 4503599627370495 * 2 + 1 - 1 from dual"), "9007199254740990");
  EXPECT_EQ(single("select 0.1 * 3 - 0.3 from dual"), "0");
  EXPECT_EQ(single("select nvl(to_char(1 + null + 2), 'null') from dual"), "null");
  std::string members = "select 1 from dual";
  for (int i = 0; i < 600; ++i) members += " union all select 1 from dual";
  EXPECT_EQ(single("select count(*) from (" + members + ")"), "601");
}

TEST_F(Query, SubqueryFactoringAndQuantifiedComparisons) {
  const Expect cases[] = {
      {"with d10 as (select * from emp where deptno = 10) select ename from d10 order by 1",
       "CLARK,KING,MILLER"},
      {"with a (n) as (select count(*) from emp), b as (select n * 2 m from a) "
       "select m from b",
       "28"},
      {"with t as (select deptno from dept) select count(*) from t x, t y where x.deptno = "
       "y.deptno",
       "4"},
      {"select ename from emp where sal > all (select sal from emp where deptno = 30) order by 1",
       "FORD,JONES,KING,SCOTT"},
      {"select ename from emp where sal = any (select max(sal) from emp group by deptno) "
       "order by 1",
       "BLAKE,FORD,KING,SCOTT"},
      {"select count(*) from emp where sal < any (800, 950)", "1"},
      {"select count(*) from emp where deptno <> all (10, 20)", "6"},
      // a NULL among the values makes ALL unknown unless a comparison is FALSE: the six
      // salaries up to 1400 are FALSE (NOT gives TRUE); the others stay unknown
      {"select count(*) from emp where not (sal > all (select comm from emp))", "6"},
      {"select count(*) from emp where sal > all (select comm from emp)", "0"},
      {"select count(*) from emp where not (sal < any (select comm from emp))", "0"},
      {"select count(*) from emp where not (sal < any (select comm from emp where comm is not "
       "null))",
       "8"},
      {"select count(*) from emp where sal > all (select sal from emp where 1 = 0)", "14"},
  };
  for (const auto& c : cases) {
    std::string got;
    try {
      got = column(c.sql);
    } catch (const OraError& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.firstColumn) << c.sql;
  }
  EXPECT_EQ(
      errorOf("with t as (select 1 a from dual), t as (select 2 a from dual) select * from t"),
      32035);
  // a query reading its own name is Oracle's recursive form, which needs a column list
  EXPECT_EQ(errorOf("with t as (select * from t) select * from t"), 32039);
  EXPECT_EQ(errorOf("with a as (select * from b), b as (select 1 x from dual) select * from a"),
            942);
  EXPECT_EQ(errorOf("with t (a, b) as (select 1 from dual) select * from t"), 32038);
}

TEST_F(Query, HeadingsAsOracleReturnsThem) {
  EXPECT_EQ(headings("select ename, sal nm, sal \"Mixed Case\", sum( sal ), count(*), "
                     "count(distinct job) from emp group by ename, sal"),
            (std::vector<std::string>{"ENAME", "NM", "Mixed Case", "SUM(SAL)", "COUNT(*)",
                                      "COUNT(DISTINCTJOB)"}));
  EXPECT_EQ(headings("select e.*, d.dname from emp e, dept d where e.deptno = d.deptno"),
            (std::vector<std::string>{"EMPNO", "ENAME", "JOB", "MGR", "HIREDATE", "SAL", "COMM",
                                      "DEPTNO", "DNAME"}));
  EXPECT_EQ(headings("select nvl(comm,0) from emp"), (std::vector<std::string>{"NVL(COMM,0)"}));
}

TEST_F(Query, ColumnsDescribeOracleTypes) {
  auto r = db().execute("select empno, ename, hiredate, sal, sal * 2 dbl from emp");
  const auto& c = r.cursor->columns();
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[0].type, "NUMBER");
  EXPECT_EQ(c[0].precision, 4);
  EXPECT_FALSE(c[0].nullable);
  EXPECT_EQ(c[1].type, "VARCHAR2");
  EXPECT_EQ(c[1].length, 10);
  EXPECT_EQ(c[2].type, "DATE");
  EXPECT_EQ(c[3].precision, 7);
  EXPECT_EQ(c[3].scale, 2);
  EXPECT_EQ(c[4].type, "NUMBER");
  std::vector<Value> row;
  ASSERT_TRUE(r.cursor->fetch(row));
  EXPECT_EQ(row[2].kind, Value::Kind::Date);
  EXPECT_EQ(row[2].text, "1980-12-17 00:00:00");
  EXPECT_EQ(row[0].kind, Value::Kind::Number);
  EXPECT_EQ(row[0].number, 7369);
}

TEST_F(Query, DatesShowInTheSessionFormat) {
  EXPECT_EQ(single("select hiredate from emp where empno = 7369"), "17-DEC-80");
  run("alter session set nls_date_format = 'DD/MM/YYYY hh24:mi:ss'");
  EXPECT_EQ(single("select hiredate from emp where empno = 7369"), "17/12/1980 00:00:00");
  EXPECT_EQ(single("select count(*) from emp where hiredate = '17/12/1980'"), "1");
  EXPECT_EQ(single("select 'on ' || hiredate from emp where empno = 7369"),
            "on 17/12/1980 00:00:00");
}

TEST_F(Query, SysdateIsOneValueForTheWholeStatement) {
  EXPECT_EQ(single("select count(distinct s) from (select sysdate s from emp)"), "1");
  EXPECT_EQ(single("select count(*) from dual where sysdate - sysdate = 0"), "1");
}

TEST_F(Query, CharColumnsCompareBlankPadded) {
  run("create table c (k char(3), v varchar2(3))");
  run("insert into c values ('H', 'H')");
  EXPECT_EQ(single("select count(*) from c where k = 'H'"), "1");
  EXPECT_EQ(single("select length(k) from c"), "3");
  EXPECT_EQ(single("select count(*) from c where v = 'H '"), "0");
  run("insert into c values ('O''K', 'x')");
  run("create table c2 (k char(5))");
  run("insert into c2 values ('H')");
  const Expect cases[] = {
      {"select count(*) from c where k = 'H  '", "1"},
      {"select count(*) from c where 'H' = k", "1"},
      {"select count(*) from c where k = 'O''K'", "1"},
      {"select count(*) from c where k = 'O''K '", "1"},
      {"select count(*) from c where k = 'HHHH'", "0"},
      {"select count(*) from c where k < 'I'", "1"},
      {"select count(*) from c where k in ('H', 'Z')", "1"},
      {"select count(*) from c, c2 where c.k = c2.k", "1"},
      {"select decode(k, 'H', 'yes', 'no') from c order by 1", "no,yes"},
  };
  for (const auto& c : cases) EXPECT_EQ(column(c.sql), c.firstColumn) << c.sql;
}

TEST_F(Query, DictionaryViews) {
  EXPECT_EQ(column("select table_name from user_tables order by table_name"), "DEPT,EMP");
  EXPECT_EQ(
      column(
          "select column_name || ':' || data_type || ':' || data_length || ':' || nullable "
          "from user_tab_columns where table_name = 'EMP' and column_id <= 5 order by column_id"),
      "EMPNO:NUMBER:22:N,ENAME:VARCHAR2:10:Y,JOB:VARCHAR2:9:Y,MGR:NUMBER:22:Y,HIREDATE:DATE:7:Y");
  std::string banner = single("select banner from v$version");
  EXPECT_EQ(banner, engineBanner());
  EXPECT_EQ(banner.rfind("Oracle8i", 0), std::string::npos);
  EXPECT_NE(banner.find("Korvo"), std::string::npos);
  EXPECT_EQ(single("select value from nls_session_parameters where parameter = 'NLS_DATE_FORMAT'"),
            "DD-MON-RR");
  EXPECT_EQ(column("select object_name from user_objects where object_type = 'TABLE' order by 1"),
            "DEPT,EMP");
  run("create unique index PK_EMP on EMP(EMPNO)");
  run("create or replace procedure P1 is begin null; end;");
  EXPECT_EQ(column("select object_type || ':' || object_name from user_objects order by 1"),
            "INDEX:PK_EMP,PROCEDURE:P1,TABLE:DEPT,TABLE:EMP");
  EXPECT_EQ(column("select index_name || ':' || table_name || ':' || uniqueness from user_indexes"),
            "PK_EMP:EMP:UNIQUE");
  EXPECT_EQ(column("select owner || '.' || table_name from all_tables order by table_name"),
            "SCOTT.DEPT,SCOTT.EMP");
  run("alter session set nls_numeric_characters = ',.'");
  EXPECT_EQ(single("select value from nls_session_parameters "
                   "where parameter = 'NLS_NUMERIC_CHARACTERS'"),
            ",.");
  EXPECT_EQ(single("select count(*) from scott.emp"), "14");
  EXPECT_EQ(errorOf("select count(*) from other.emp"), 942);
  EXPECT_EQ(errorOf("drop table dual"), 942);
  EXPECT_EQ(errorOf("create table user_tables (a number)"), 955);
  EXPECT_EQ(errorOf("insert into user_tables values ('X', 'Y', 1, 'N')"), 942);
}

}  // namespace
}  // namespace korvo::engine::test
