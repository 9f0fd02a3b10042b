// Valid Oracle statements the engine does not implement: each is refused with
// ORA-03001 naming the construct, never with a syntax error that blames its author.
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class Refusal : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
};

struct Refused {
  const char* sql;
  const char* names;  // what the message names
};

TEST_F(Refusal, UnimplementedConstructsAreNamed) {
  const Refused cases[] = {
      {"select * from emp pivot (sum(sal) for deptno in (10, 20))", "PIVOT"},
      {"select * from emp e pivot (sum(sal) for deptno in (10, 20))", "PIVOT"},
      {"select * from emp unpivot (v for c in (sal, comm))", "UNPIVOT"},
      {"select * from emp unpivot include nulls (v for c in (sal, comm))", "UNPIVOT"},
      {"select * from emp match_recognize (order by hiredate pattern (a) define a as 1 = 1)",
       "MATCH_RECOGNIZE"},
      {"select * from emp as of timestamp sysdate", "AS OF"},
      {"select * from emp as of scn 1 e", "AS OF"},
      {"select * from emp versions between scn minvalue and maxvalue", "VERSIONS"},
      {"select * from xmltable('/a' passing xmltype('<a/>'))", "XMLTABLE"},
      {"select * from json_table('{}', '$' columns (a number path '$.a'))", "JSON_TABLE"},
      {"select * from dept d, lateral (select * from emp e where e.deptno = d.deptno)",
       "LATERAL"},
      {"select * from dept d cross apply (select * from emp e where e.deptno = d.deptno)",
       "CROSS APPLY"},
      {"select * from dept d outer apply (select * from emp e where e.deptno = d.deptno)",
       "OUTER APPLY"},
      {"select * from dept cross apply (select 1 x from dual)", "CROSS APPLY"},
      {"select * from emp sample (10)", "SAMPLE"},
      {"select * from emp sample block (10) e", "SAMPLE"},
      {"select * from emp partition (p1)", "PARTITION"},
      {"select * from emp e partition by (deptno) right join dept d on e.deptno = d.deptno",
       "partitioned outer join"},
      {"select empno, sal from emp model dimension by (empno) measures (sal) rules (sal[7369] = 1)",
       "MODEL"},
      {"select deptno, sum(sal) s from emp group by deptno model dimension by (deptno) measures "
       "(sum(sal) s) rules (s[10] = 1)",
       "MODEL"},
      {"select * from emp for update", "FOR UPDATE"},
      {"select * from emp where empno = 7839 for update of sal nowait", "FOR UPDATE"},
      {"select * from emp order by sal fetch first 10 percent rows only", "PERCENT"},
      {"select * from emp order by sal fetch first 2 rows with ties", "WITH TIES"},
      {"select * from table(sys.odcinumberlist(1, 2))", "TABLE collection"},
      {"with t (n) as (select 1 from dual union all select n + 1 from t where n < 3) "
       "search depth first by n set o select * from t",
       "SEARCH"},
      {"with t (n) as (select 1 from dual union all select n + 1 from t where n < 3) "
       "cycle n set c to 1 default 0 select * from t",
       "CYCLE"},
      {"with function f return number is begin return 1; end; select f from dual", "WITH"},
      {"merge into emp e using dept d on (e.deptno = d.deptno) when matched then update set "
       "sal = sal",
       "MERGE"},
      {"truncate table emp", "TRUNCATE"},
      {"savepoint a", "SAVEPOINT"},
      {"lock table emp in exclusive mode", "LOCK TABLE"},
      {"insert all into dept values (50, 'X', 'Y') select * from dual", "multitable INSERT"},
      {"select timestamp '2024-01-01 00:00:00' from dual", "TIMESTAMP literal"},
      {"create table k (a number check (a > 0))", "CHECK"},
      {"create table k (a number references dept (deptno))", "FOREIGN KEY"},
      {"create table k (a number, constraint k_fk foreign key (a) references dept (deptno))",
       "FOREIGN KEY"},
      {"create table k (a number primary key using index tablespace users)", "USING"},
      {"select * from emp natural join dept cross apply (select 1 x from dual)", "CROSS APPLY"},
      {"select * from emp@remote", "database link"},
      {"select rowid from emp", "ROWID"},
      {"select e.rowid from emp e", "ROWID"},
      {"select cast(sal as clob) from emp", "CAST AS CLOB"},
      {"select ename from emp where sal > :limit", "bind variable"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(errorOf(c.sql), 3001) << c.sql << "\n" << lastError_;
    EXPECT_NE(lastError_.find("ORA-03001: unimplemented feature: "), std::string::npos) << c.sql;
    EXPECT_NE(lastError_.find(c.names), std::string::npos) << c.sql << "\n" << lastError_;
    lastError_.clear();
  }
}

// Oracle's own functions that the engine lacks are unimplemented, not invalid identifiers;
// a name Oracle does not know stays ORA-00904.
TEST_F(Refusal, UnimplementedOracleFunctionsAreNamed) {
  for (const char* sql : {"select xmlagg(xmlelement(e, ename)) from emp",
                          "select sys_context('USERENV', 'SESSION_USER') from dual",
                          "select to_timestamp('2024-01-01', 'YYYY-MM-DD') from dual",
                          "select ora_hash(ename) from emp", "select sin(1) from dual",
                          "select json_value('{}', '$.a') from dual",
                          "select numtodsinterval(1, 'DAY') from dual"}) {
    EXPECT_EQ(errorOf(sql), 3001) << sql;
    EXPECT_NE(lastError_.find("unimplemented feature: function "), std::string::npos) << sql;
  }
  for (const char* sql : {"select systimestamp from dual", "select current_timestamp from dual",
                          "select localtimestamp from dual", "select sessiontimezone from dual"})
    EXPECT_EQ(errorOf(sql), 3001) << sql;
  EXPECT_EQ(errorOf("select frobnicate(ename) from emp"), 904);
  EXPECT_NE(lastError_.find("\"FROBNICATE\": invalid identifier"), std::string::npos);
}

// Words that only look like the constructs above are names as before.
TEST_F(Refusal, LookalikeNamesStayNames) {
  run("create table sample (model number, pivot number, partition number)");
  run("insert into sample values (1, 2, 3)");
  EXPECT_EQ(single("select model from sample"), "1");
  EXPECT_EQ(single("select s.pivot from sample s"), "2");
  EXPECT_EQ(single("select partition from sample model"), "3");
  EXPECT_EQ(single("select count(*) from sample pivot"), "1");
  EXPECT_EQ(single("select count(*) from emp offset"), "14");
  EXPECT_EQ(single("select count(*) from emp fetch"), "14");
}

}  // namespace
}  // namespace korvo::engine::test
