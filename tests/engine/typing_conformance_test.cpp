// Oracle's typing over the SCOTT demonstration rows: a statement Oracle refuses is
// refused with its code, and a result Oracle types a certain way sorts and shows
// that way. statement -> rows ('|' between columns, ',' between rows) or ORA- code.
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class Typing : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
  std::string outcome(const std::string& sql) {
    try {
      std::string s;
      for (const auto& r : rows(sql)) {
        if (!s.empty()) s += ",";
        for (size_t i = 0; i < r.size(); ++i) s += (i ? "|" : "") + r[i];
      }
      return s;
    } catch (const OraError& e) {
      return oraCode(e.code());
    }
  }
};

struct Expect {
  const char* sql;
  const char* outcome;
};

TEST_F(Typing, ResultBranchesShareOneType) {
  const Expect cases[] = {
      // CASE, COALESCE and NULLIF do not convert between their branches
      {"select case when 1 = 1 then 1 else 'a' end from dual", "ORA-00932"},
      {"select case deptno when 10 then 'A' else 0 end from dept", "ORA-00932"},
      {"select case when sal > 0 then hiredate else 'x' end from emp", "ORA-00932"},
      {"select case when sal > 0 then sal when sal < 0 then 'neg' end from emp", "ORA-00932"},
      {"select case when 1 = 1 then null else 1 end from dual", "NULL"},
      {"select case when 1 = 0 then null else 'b' end from dual", "b"},
      {"select coalesce(comm, 'none') from emp", "ORA-00932"},
      {"select coalesce('a', 1) from dual", "ORA-00932"},
      {"select coalesce(hiredate, '01-JAN-81') from emp", "ORA-00932"},
      {"select coalesce(comm, sal) from emp where empno = 7369", "800"},
      {"select coalesce(null, 'x') from dual", "x"},
      {"select nullif(1, '1') from dual", "ORA-00932"},
      {"select nullif(sal, 800) from emp where empno = 7369", "NULL"},
      // NVL converts its second argument to the first one's type instead
      {"select nvl(comm, 'x') from emp where empno = 7369", "ORA-01722"},
      {"select nvl(ename, 0) from emp where empno = 7369", "SMITH"},
      // ... but a date and a number never convert into each other
      {"select nvl(hiredate, 5) from emp", "ORA-00932"},
      {"select nvl(sal, hiredate) from emp", "ORA-00932"},
      // GREATEST and LEAST convert to the first argument's type, likewise
      {"select greatest(hiredate, 5) from emp", "ORA-00932"},
      {"select least(5, hiredate) from emp", "ORA-00932"},
      {"select greatest('10', 9) from dual", "9"},
      {"select least(sal, 'x') from emp", "ORA-01722"},
      // NVL2 converts its third argument to the second one's type
      {"select nvl2(comm, 1, 'x') from emp where empno = 7369", "ORA-01722"},
      {"select nvl2(comm, 1, '0') + 1 from emp where empno = 7369", "1"},
      {"select nvl2(comm, 'has', 0) from emp where empno in (7369, 7499) order by empno",
       "0,has"},
      {"select nvl2(comm, null, 5) + 1 from emp where empno = 7369", "6"},
      // a simple CASE compares without converting
      {"select case 1 when '1' then 'y' end from dual", "ORA-00932"},
      {"select case ename when 'KING' then 1 else 0 end from emp where empno = 7839", "1"},
  };
  for (const auto& c : cases) EXPECT_EQ(outcome(c.sql), c.outcome) << c.sql;
}

TEST_F(Typing, DecodeIsTypedByItsFirstResult) {
  const Expect cases[] = {
      // a NULL first result makes the whole text: '1250' sorts before '950'
      {"select decode(ename, 'BLAKE', null, sal) s from emp where deptno = 30 order by s",
       "1250,1250,1500,1600,950,NULL"},
      // a number first result: numbers, so 950 first
      {"select decode(ename, 'BLAKE', 0, sal) s from emp where deptno = 30 order by s",
       "0,950,1250,1250,1500,1600"},
      // a text first result: text, the numbers written as TO_CHAR writes them
      {"select decode(deptno, 10, 'ten', deptno / 4) from dept order by deptno",
       "ten,5,7.5,10"},
      {"select decode(deptno, 10, 'ten', 20) d from dept order by d", "20,20,20,ten"},
      // a number first result converts later text results, and fails on one that is none
      {"select decode(deptno, 10, 1, 'x') from dept where deptno = 10", "1"},
      {"select decode(deptno, 10, 1, 'x') from dept where deptno = 20", "ORA-01722"},
      {"select decode(deptno, 10, 1, '2') + 1 from dept where deptno = 20", "3"},
      // the subject and the searches compare in the first search's type: 1 against 'a' as
      // text, so no match and no error
      {"select decode(1, 'a', 1) from dual", "NULL"},
      {"select decode(deptno, '10', 'ten', 'other') from dept where deptno = 10", "ten"},
      {"select decode(sal, '800.00', 'x', 'y') from emp where empno = 7369", "y"},
  };
  for (const auto& c : cases) EXPECT_EQ(outcome(c.sql), c.outcome) << c.sql;
}

TEST_F(Typing, ConditionsStandOnlyWhereConditionsBelong) {
  const Expect cases[] = {
      {"select ename from emp where sal", "ORA-00920"},
      {"select ename from emp where 1", "ORA-00920"},
      {"select ename from emp where not sal", "ORA-00920"},
      {"select ename from emp where sal > 1000 and comm", "ORA-00920"},
      {"select ename from emp where rownum", "ORA-00920"},
      {"select case when sal then 1 end from emp", "ORA-00920"},
      {"select deptno from emp group by deptno having count(*)", "ORA-00920"},
      {"select count(*) from emp join dept on 1", "ORA-00920"},
      {"update emp set sal = 1 where sal", "ORA-00920"},
      {"delete from emp where comm", "ORA-00920"},
      // no boolean columns: Oracle stops the select item before the operator
      {"select 1 = 1 from dual", "ORA-00923"},
      {"select sal > 1000 from emp", "ORA-00923"},
      {"select ename like 'S%' from emp", "ORA-00923"},
      {"select exists (select 1 from dual) from dual", "ORA-00923"},
      {"select sal is null from emp", "ORA-00923"},
      // conditions written the long way are still conditions
      {"select count(*) from emp where (sal > 1000) and not (comm is null)", "4"},
      {"select count(*) from emp where regexp_like(ename, '^S')", "2"},
      {"select count(*) from emp where lnnvl(comm > 0)", "11"},
  };
  for (const auto& c : cases) EXPECT_EQ(outcome(c.sql), c.outcome) << c.sql;
}

TEST_F(Typing, SelectListNamesAndPositions) {
  const Expect cases[] = {
      // two different items answer to X: Oracle cannot choose
      {"select empno x, ename x from emp order by x", "ORA-00960"},
      {"select empno, ename empno from emp order by empno", "ORA-00960"},
      // the same column twice is no ambiguity
      {"select ename, ename from emp where deptno = 10 order by ename", "CLARK|CLARK,KING|KING,"
                                                                          "MILLER|MILLER"},
      {"select ename x, job from emp where deptno = 10 order by x", "CLARK|MANAGER,KING|"
                                                                     "PRESIDENT,MILLER|CLERK"},
      // GROUP BY 1 groups by the constant 1, not by the first column
      {"select deptno from emp group by 1", "ORA-00979"},
      {"select count(*) from emp group by 1", "14"},
      {"select ename from emp order by 3", "ORA-01785"},
  };
  for (const auto& c : cases) EXPECT_EQ(outcome(c.sql), c.outcome) << c.sql;
}

TEST_F(Typing, CastConvertsOrRefuses) {
  const Expect cases[] = {
      {"select cast(sal as varchar2(10)) from emp where empno = 7839", "5000"},
      {"select cast('12' as number) + 1 from dual", "13"},
      {"select cast('x' as number) from dual", "ORA-01722"},
      {"select cast(2.567 as number(5,2)) from dual", "2.57"},
      {"select cast(2.5 as integer) from dual", "3"},
      {"select cast('01-JAN-81' as date) - date '1980-12-31' from dual", "1"},
      {"select cast(hiredate as number) from emp", "ORA-00932"},
      {"select cast(5 as date) from dual", "ORA-00932"},
      // too long for the type
      {"select cast('abcdef' as varchar2(3)) from dual", "ORA-25137"},
      {"select cast('ab' as char(4)) || '|' from dual", "ab  |"},
      {"select length(cast('ab' as char(4))) from dual", "4"},
      {"select cast(multiset(select 1 from dual) as t) from dual", "ORA-03001"},
  };
  for (const auto& c : cases) EXPECT_EQ(outcome(c.sql), c.outcome) << c.sql;
}

TEST_F(Typing, PseudoColumnsOutsideTheirClauses) {
  const Expect cases[] = {
      {"select level from dual", "ORA-01788"},
      {"select count(*) from dual where current_date = sysdate", "1"},
      {"select ename from emp where sal > :x", "ORA-03001"},
      {"select cursor(select 1 from dual) from dual", "ORA-03001"},
  };
  for (const auto& c : cases) EXPECT_EQ(outcome(c.sql), c.outcome) << c.sql;
}

TEST_F(Typing, ImplicitConversions) {
  const Expect cases[] = {
      // text against a number converts the text, and a text that is no number fails
      {"select count(*) from emp where ename = 5", "ORA-01722"},
      {"select count(*) from emp where empno = '7839'", "1"},
      {"select 'x' + 1 from dual", "ORA-01722"},
      {"select '2' * 3 from dual", "6"},
      {"select sum(ename) from emp", "ORA-01722"},
      // a date in a text context goes through NLS_DATE_FORMAT
      {"select 'D:' || date '2024-03-21' from dual", "D:21-MAR-24"},
      {"select substr(hiredate, 4, 3) from emp where empno = 7839", "NOV"},
      {"select length(hiredate) from emp where empno = 7839", "9"},
      // dates and numbers do not mix
      {"select hiredate + hiredate from emp", "ORA-00975"},
      {"select hiredate * 2 from emp", "ORA-00932"},
      {"select count(*) from emp where hiredate = 5", "ORA-00932"},
      {"select 1 - hiredate from emp", "ORA-00932"},
      {"select count(*) from emp where hiredate < '1981-01-01'", "ORA-01861"},
      // set operators compare the column types
      {"select ename from emp union select empno from emp", "ORA-01790"},
      {"select ename, job from emp union select ename from emp", "ORA-01789"},
      // TRIM takes one character to trim
      {"select trim('xy' from 'xyaxy') from dual", "ORA-30001"},
      {"select trim('x' from 'xxaxx') from dual", "a"},
      {"select ltrim('xyxa', 'xy') from dual", "a"},
  };
  for (const auto& c : cases) EXPECT_EQ(outcome(c.sql), c.outcome) << c.sql;
}

}  // namespace
}  // namespace korvo::engine::test
