// JOIN ... USING, NATURAL JOIN, INTERVAL arithmetic, FETCH FIRST, key constraints of
// CREATE TABLE and the spelled date formats, over the SCOTT demonstration rows:
// statement -> Oracle's rows or ORA- code.
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class JoinClause : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
};

struct Expect {
  const char* sql;
  const char* rows;  // every row, columns joined by '|', rows by ','; or "ORA-nnnnn"
};

std::string shown(const Rows& rows) {
  std::string s;
  for (const auto& r : rows) {
    if (!s.empty()) s += ",";
    for (size_t i = 0; i < r.size(); ++i) s += (i ? "|" : "") + r[i];
  }
  return s;
}

void check(EngineTest& t, const Expect& c, const std::function<Rows(const std::string&)>& rows) {
  std::string got;
  try {
    got = shown(rows(c.sql));
  } catch (const OraError& e) {
    got = oraCode(e.code());
  }
  EXPECT_EQ(got, c.rows) << c.sql;
  (void)t;
}

TEST_F(JoinClause, UsingMergesTheJoinColumns) {
  const Expect cases[] = {
      {"select deptno from emp join dept using (deptno) where ename = 'KING'", "10"},
      {"select count(*) from emp join dept using (deptno)", "14"},
      {"select deptno, dname from emp inner join dept using (deptno) where empno = 7369",
       "20|RESEARCH"},
      // the outer join keeps dept 40, whose merged DEPTNO is the dept side's
      {"select deptno, count(empno) from dept left join emp using (deptno) group by deptno "
       "order by deptno",
       "10|3,20|5,30|6,40|0"},
      {"select deptno from emp right join dept using (deptno) where empno is null", "40"},
      // FULL JOIN: the merged column is whichever side is present
      {"select deptno from emp full join dept using (deptno) where ename is null", "40"},
      {"select dname from emp join dept using (deptno) where deptno = 30 and job = 'MANAGER'",
       "SALES"},
      // a qualified USING column is refused
      {"select e.deptno from emp e join dept d using (deptno)", "ORA-25154"},
      {"select ename from emp e join dept d using (deptno) where d.deptno = 10", "ORA-25154"},
      {"select count(*) from emp join dept using (nosuch)", "ORA-00904"},
      {"select count(*) from emp join dept using (deptno, deptno)", "ORA-00957"},
      // the left side holds DEPTNO twice (both EMP copies): Oracle cannot pick one
      {"select count(*) from emp e join emp m on e.mgr = m.empno join dept using (deptno)",
       "ORA-00918"},
      // the merged column is a column of the block: grouping rules apply to it
      {"select deptno, count(*) from emp join dept using (deptno)", "ORA-00937"},
      {"select deptno, count(*) from emp full join dept using (deptno)", "ORA-00937"},
      {"select count(*) from emp join dept using (e.deptno)", "ORA-01748"},
      // several USING joins in a row: the merged column joins the next table
      {"select empno from emp e1 join emp e2 using (empno) join emp e3 using (empno) "
       "where empno = 7839",
       "7839"},
      {"select count(*) from emp e1 join emp e2 using (empno) join emp e3 using (empno)", "14"},
      {"select deptno, e.ename from emp e join (select deptno, dname from dept) d using (deptno) "
       "where e.empno = 7839",
       "10|KING"},
      {"select ename from emp join dept using (deptno) start with mgr is null "
       "connect by prior empno = mgr",
       "ORA-03001"},
      // other columns keep their qualifiers
      {"select e.ename, d.loc from emp e join dept d using (deptno) where e.empno = 7839",
       "KING|NEW YORK"},
  };
  for (const auto& c : cases) check(*this, c, [&](const std::string& s) { return rows(s); });
}

TEST_F(JoinClause, NaturalJoinUsesEveryCommonName) {
  const Expect cases[] = {
      {"select dname from dept natural join emp where ename = 'SMITH'", "RESEARCH"},
      {"select count(*) from emp natural join dept", "14"},
      {"select deptno, count(empno) from dept natural left join emp group by deptno "
       "order by 1",
       "10|3,20|5,30|6,40|0"},
      {"select d.deptno from emp natural join dept d", "ORA-25155"},
      // no shared name: every row with every row
      {"select count(*) from (select 1 a from dual) natural join (select 2 b from dual)", "1"},
      {"select count(*) from emp natural join (select deptno, 'x' ename from dept)", "0"},
      // every column: rows with a NULL anywhere match nothing, so only the four with a
      // commission and a manager remain
      {"select count(*) from emp natural join emp", "4"},
      {"select deptno from dept d1 natural join dept d2 natural join dept d3 order by 1",
       "10,20,30,40"},
  };
  for (const auto& c : cases) check(*this, c, [&](const std::string& s) { return rows(s); });
}

TEST_F(JoinClause, StarShowsTheUsingColumnOnceAndFirst) {
  std::vector<std::string> expected = {"DEPTNO", "EMPNO", "ENAME",    "JOB",  "MGR",  "HIREDATE",
                                       "SAL",    "COMM",  "DNAME",    "LOC"};
  EXPECT_EQ(headings("select * from emp join dept using (deptno)"), expected);
  EXPECT_EQ(headings("select * from emp natural join dept"), expected);
  EXPECT_EQ(rows("select * from emp join dept using (deptno) where empno = 7839").at(0).at(0),
            "10");
}

TEST_F(JoinClause, IntervalLiteralsMoveDates) {
  const Expect cases[] = {
      {"select to_char(date '2024-01-15' + interval '1' day, 'YYYY-MM-DD') from dual",
       "2024-01-16"},
      {"select to_char(date '2024-01-15' + interval '2' month, 'YYYY-MM-DD') from dual",
       "2024-03-15"},
      {"select to_char(date '2024-01-15' + interval '1-6' year to month, 'YYYY-MM-DD') from dual",
       "2025-07-15"},
      {"select to_char(date '2024-01-01' + interval '2 03:04:05' day to second, "
       "'YYYY-MM-DD HH24:MI:SS') from dual",
       "2024-01-03 03:04:05"},
      {"select to_char(date '2024-01-01' - interval '1' hour, 'YYYY-MM-DD HH24:MI:SS') from dual",
       "2023-12-31 23:00:00"},
      {"select to_char(interval '1' day + date '2024-02-28', 'YYYY-MM-DD') from dual",
       "2024-02-29"},
      {"select to_char(hiredate + interval '90' minute, 'HH24:MI') from emp where empno = 7839",
       "01:30"},
      {"select to_char(date '2024-01-01' + interval '03:04' hour to minute, 'HH24:MI') from dual",
       "03:04"},
      {"select to_char(date '2024-01-01' + interval '-1' year, 'YYYY') from dual", "2023"},
      {"select to_char(date '2024-01-01' + interval '100' day(3), 'YYYY-MM-DD') from dual",
       "2024-04-10"},
      // month arithmetic keeps the day: one the target month lacks is an error (ADD_MONTHS
      // would move it to the last day)
      {"select date '2024-01-31' + interval '1' month from dual", "ORA-01839"},
      {"select date '2024-02-29' + interval '1' year from dual", "ORA-01839"},
      {"select date '2024-03-31' - interval '1' month from dual", "ORA-01839"},
      {"select to_char(add_months(date '2024-01-31', 1), 'YYYY-MM-DD') from dual", "2024-02-29"},
      // the leading field has two digits unless a precision says more
      {"select date '2024-01-01' + interval '100' day from dual", "ORA-01873"},
      {"select date '2024-01-01' + interval '1-12' year to month from dual", "ORA-01843"},
      {"select date '2024-01-01' + interval '1 24' day to hour from dual", "ORA-01850"},
      {"select date '2024-01-01' + interval '1:60' hour to minute from dual", "ORA-01851"},
      {"select date '2024-01-01' + interval 'x' day from dual", "ORA-01867"},
      {"select date '2024-01-01' + interval '1 2' day to second from dual", "ORA-01867"},
      {"select interval '1' day from dual", "ORA-03001"},
      {"select case when 1 = 1 then interval '1' day end from dual", "ORA-03001"},
      {"select -interval '1' day from dual", "ORA-03001"},
      {"select nvl(interval '1' day, 0) from dual", "ORA-03001"},
      {"select count(*) from dual where interval '1' day > 0", "ORA-03001"},
  };
  for (const auto& c : cases) check(*this, c, [&](const std::string& s) { return rows(s); });
}

TEST_F(JoinClause, FetchFirstAndOffsetLimitTheSortedRows) {
  const Expect cases[] = {
      {"select ename from emp order by sal desc, ename fetch first 3 rows only",
       "KING,FORD,SCOTT"},
      {"select ename from emp order by sal desc, ename offset 1 rows fetch next 2 rows only",
       "FORD,SCOTT"},
      {"select ename from emp order by empno offset 12 rows", "FORD,MILLER"},
      {"select ename from emp order by empno fetch first row only", "SMITH"},
      // fractions are truncated; a negative count is none
      {"select ename from emp order by empno fetch first 1.9 rows only", "SMITH"},
      {"select count(*) from (select ename from emp order by empno fetch first -1 rows only)",
       "0"},
      {"select deptno from dept union select deptno from emp order by 1 fetch first 2 rows only",
       "10,20"},
      {"select ename from emp order by sal fetch first 10 percent rows only", "ORA-03001"},
      {"select ename from emp order by sal fetch first 2 rows with ties", "ORA-03001"},
      // a scalar sub-query with its own limit
      {"select (select ename from emp order by sal desc fetch first 1 rows only) from dual",
       "KING"},
      {"select (select ename from emp order by sal desc fetch first 2 rows only) from dual",
       "ORA-01427"},
      {"select count(*) from emp where empno in (select empno from emp order by sal fetch "
       "first 3 rows only)",
       "3"},
      {"(select ename from emp order by sal fetch first 1 rows only) union all "
       "(select ename from emp order by sal desc fetch first 1 rows only)",
       "SMITH,KING"},
      // FETCH after a ROWNUM limit applies to its rows
      {"select ename from emp where rownum <= 3 order by ename fetch first 1 rows only", "ALLEN"},
  };
  for (const auto& c : cases) check(*this, c, [&](const std::string& s) { return rows(s); });
}

TEST_F(JoinClause, KeyConstraintsAreEnforcedWithTheirNames) {
  run("create table t (id number primary key, code varchar2(5) constraint t_code_uk unique, "
      "name varchar2(10) not null)");
  run("insert into t values (1, 'A', 'x')");
  EXPECT_EQ(errorOf("insert into t values (1, 'B', 'y')"), 1);
  // an unnamed constraint has a system name
  EXPECT_NE(lastError_.find("unique constraint (SCOTT.SYS_C"), std::string::npos) << lastError_;
  EXPECT_EQ(errorOf("insert into t values (2, 'A', 'y')"), 1);
  EXPECT_NE(lastError_.find("(SCOTT.T_CODE_UK) violated"), std::string::npos) << lastError_;
  // the primary key's column is NOT NULL
  EXPECT_EQ(errorOf("insert into t values (null, 'C', 'y')"), 1400);
  EXPECT_NE(lastError_.find("(\"SCOTT\".\"T\".\"ID\")"), std::string::npos) << lastError_;
  EXPECT_EQ(errorOf("insert into t values (3, 'C', null)"), 1400);
  // UNIQUE lets any number of NULL keys in
  run("insert into t values (4, null, 'z')");
  run("insert into t values (5, null, 'w')");
  EXPECT_EQ(errorOf("update t set code = 'A' where id = 4"), 1);
  EXPECT_EQ(column("select id from t order by id"), "1,4,5");
  EXPECT_EQ(column("select nullable from user_tab_columns where table_name = 'T' order by "
                   "column_id"),
            "N,Y,N");

  run("create table t2 (a number, b number, constraint t2_pk primary key (a, b))");
  run("insert into t2 values (1, 1)");
  run("insert into t2 values (1, 2)");
  EXPECT_EQ(errorOf("insert into t2 values (1, 1)"), 1);
  EXPECT_NE(lastError_.find("(SCOTT.T2_PK) violated"), std::string::npos) << lastError_;
}

// Oracle keeps no entry for a composite key that is all NULL, and compares the
// others whole, a NULL part equal to a NULL part: (1, NULL) twice is a duplicate.
TEST_F(JoinClause, CompositeUniqueKeysWithNullParts) {
  run("create table u (a number, b varchar2(3), constraint u_ab unique (a, b))");
  run("insert into u values (1, null)");
  EXPECT_EQ(errorOf("insert into u values (1, null)"), 1);
  EXPECT_NE(lastError_.find("(SCOTT.U_AB) violated"), std::string::npos) << lastError_;
  run("insert into u values (2, null)");
  run("insert into u values (null, 'x')");
  EXPECT_EQ(errorOf("insert into u values (null, 'x')"), 1);
  run("insert into u values (null, null)");
  run("insert into u values (null, null)");
  run("insert into u values (1, 'x')");
  EXPECT_EQ(errorOf("update u set b = null where b = 'x' and a = 1"), 1);
  EXPECT_EQ(single("select count(*) from u"), "6");
  // the same rule for CREATE UNIQUE INDEX, on rows already there
  run("create table v (a number, b number)");
  run("insert into v values (1, null)");
  run("insert into v values (1, null)");
  EXPECT_EQ(errorOf("create unique index v_ab on v (a, b)"), 1452);
  run("delete from v");
  run("insert into v values (1, null)");
  run("create unique index v_ab on v (a, b)");
  EXPECT_EQ(errorOf("insert into v values (1, null)"), 1);
  EXPECT_NE(lastError_.find("(SCOTT.V_AB) violated"), std::string::npos) << lastError_;
  run("insert into v values (null, null)");
  run("insert into v values (null, null)");
}

TEST_F(JoinClause, KeyConstraintErrorsAreOracles) {
  const Expect cases[] = {
      {"create table k1 (a number primary key, b number primary key)", "ORA-02260"},
      {"create table k2 (a number, primary key (c))", "ORA-00904"},
      {"create table k3 (a number, unique (a, a))", "ORA-00957"},
      {"create table k4 (a number unique, constraint k4_u unique (a))", "ORA-02261"},
      {"create table k5 (a number constraint same unique, b number constraint same unique)",
       "ORA-02264"},
      {"create table k6 (a number check (a > 0))", "ORA-03001"},
      {"create table k7 (a number references dept (deptno))", "ORA-03001"},
      {"create table k8 (a number, constraint k8_fk foreign key (a) references dept (deptno))",
       "ORA-03001"},
  };
  for (const auto& c : cases) check(*this, c, [&](const std::string& s) { return rows(s); });
  // none of the refused tables exists
  EXPECT_EQ(single("select count(*) from user_tables where table_name like 'K_'"), "0");
}

TEST_F(JoinClause, SpelledDateFormats) {
  const Expect cases[] = {
      {"select to_char(date '2024-03-21', 'Ddspth') from dual", "Twenty-First"},
      {"select to_char(date '2024-03-21', 'DDSP') from dual", "TWENTY-ONE"},
      {"select to_char(date '2024-03-21', 'ddsp') from dual", "twenty-one"},
      {"select to_char(date '2024-03-21', 'DDTHSP') from dual", "TWENTY-FIRST"},
      {"select to_char(date '2024-03-12', 'Ddspth') from dual", "Twelfth"},
      {"select to_char(date '2024-03-20', 'Ddspth') from dual", "Twentieth"},
      {"select to_char(date '2024-03-03', 'DDSPTH') from dual", "THIRD"},
      {"select to_char(date '2024-03-21', 'YYYYSP') from dual", "TWO THOUSAND TWENTY-FOUR"},
      {"select to_char(date '2024-03-21', 'MMSPTH') from dual", "THIRD"},
      // day 81 of a leap year
      {"select to_char(date '2024-03-21', 'DDDSPTH') from dual", "EIGHTY-FIRST"},
      {"select to_char(date '2024-03-21', 'fmDdspth \"of\" Month') from dual",
       "Twenty-First of March"},
      {"select to_char(date '2024-03-21', 'DDth') from dual", "21st"},
      {"select to_date('21', 'DDSP') from dual", "ORA-01820"},
  };
  for (const auto& c : cases) check(*this, c, [&](const std::string& s) { return rows(s); });
}

TEST_F(JoinClause, RecursiveWithWalksItsRows) {
  const Expect cases[] = {
      {"with t (n) as (select 1 from dual union all select n + 1 from t where n < 5) "
       "select n from t",
       "1,2,3,4,5"},
      {"with t (n) as (select 1 from dual union all select n + 1 from t where n < 100000) "
       "select count(*), max(n) from t",
       "100000|100000"},
      // the management chain below KING, level by level (the member joins the table read)
      {"with h (empno, ename, lvl) as (select empno, ename, 1 from emp where mgr is null "
       "union all select e.empno, e.ename, h.lvl + 1 from emp e join h on e.mgr = h.empno) "
       "select lvl, count(*) from h group by lvl order by lvl",
       "1|1,2|3,3|8,4|2"},
      {"with h (empno, path) as (select empno, ename from emp where ename = 'JONES' "
       "union all select e.empno, h.path || '/' || e.ename from emp e, h where e.mgr = h.empno) "
       "select path from h order by path",
       "JONES,JONES/FORD,JONES/FORD/SMITH,JONES/SCOTT,JONES/SCOTT/ADAMS"},
      // two anchors
      {"with t (n) as (select 1 from dual union all select 10 from dual union all "
       "select n + 1 from t where n in (1, 10)) select n from t order by n",
       "1,2,10,11"},
      {"with t (n) as (select 1 from dual union all select n + 1 from t where n < 3) "
       "select a.n, b.n from t a, t b where a.n = b.n order by 1",
       "1|1,2|2,3|3"},
      // Oracle's rules of the recursive form
      {"with t as (select 1 n from dual union all select n + 1 from t where n < 3) "
       "select n from t",
       "ORA-32039"},
      {"with t (n) as (select 1 from dual union select n + 1 from t where n < 3) select n from t",
       "ORA-32040"},
      // one block reading itself: no column list, then no UNION ALL
      {"with t as (select * from t) select * from t", "ORA-32039"},
      {"with t (n) as (select n from t) select n from t", "ORA-32040"},
      {"with t (n) as (select 1 from dual union all select count(*) from t) select n from t",
       "ORA-32486"},
      {"with t (n) as (select 1 from dual union all select distinct n + 1 from t where n < 3) "
       "select n from t",
       "ORA-32486"},
      {"with t (n, m) as (select 1 from dual union all select n + 1 from t where n < 3) "
       "select n from t",
       "ORA-32038"},
      {"with t (n) as (select 1 from dual union all select 'x' from t where n < 3) "
       "select n from t",
       "ORA-01790"},
      {"with t (n) as (select 1 from dual union all select a.n + 1 from t a, t b where a.n < 3) "
       "select n from t",
       "ORA-03001"},
      // a cycle in the data is refused, not followed for ever
      {"with t (n) as (select 1 from dual union all select n from t) select count(*) from t",
       "ORA-32044"},
      {"with t (n) as (select 1 from dual union all select t.n from t, emp) "
       "select count(*) from t",
       "ORA-32044"},
  };
  for (const auto& c : cases) check(*this, c, [&](const std::string& s) { return rows(s); });
}

}  // namespace
}  // namespace korvo::engine::test
