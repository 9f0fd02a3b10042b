// EXPLAIN PLAN into the user's plan table: the rows it writes, the statements it
// refuses, and costs that follow the work a statement does.
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class ExplainTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
    run(planTableStatement());
  }

  // The cost the program reads back after explaining sql.
  long cost(const std::string& sql, const std::string& id = "P.TEST") {
    run("delete from PLAN_TABLE where STATEMENT_ID='" + id + "'");
    run("commit");
    run("EXPLAIN PLAN SET STATEMENT_ID='" + id + "' INTO plan_table FOR " + sql);
    std::string c =
        single("select  COST  from plan_table  where id = 0 and statement_id = '" + id + "'");
    return std::stol(c);
  }

  void bigTables() {
    run("CREATE TABLE BIG (ID NUMBER(10), K NUMBER(10), FLAG NUMBER(1), NAME VARCHAR2(40))");
    run("INSERT INTO BIG SELECT LEVEL, MOD(LEVEL, 5000), MOD(LEVEL, 2), 'name ' || LEVEL "
        "FROM dual CONNECT BY LEVEL <= 20000");
    run("CREATE TABLE BIG2 (ID NUMBER(10), V VARCHAR2(40))");
    run("INSERT INTO BIG2 SELECT LEVEL, 'value ' || LEVEL FROM dual CONNECT BY LEVEL <= 20000");
    run("CREATE INDEX BIG_K ON BIG (K)");
    run("CREATE INDEX BIG_FLAG ON BIG (FLAG)");
    run("commit");
  }
};

TEST_F(ExplainTest, WritesTheStatementRowAndOneRowPerStep) {
  run("EXPLAIN PLAN SET STATEMENT_ID='P.0A1B' INTO plan_table FOR "
      "SELECT e.ename, d.dname FROM emp e, dept d WHERE e.deptno = d.deptno");
  Rows top = rows(
      "SELECT OPERATION, OPTIONS, PARENT_ID, OPTIMIZER, "
      "CASE WHEN COST > 0 AND POSITION = COST THEN 'ok' END, "
      "CASE WHEN CARDINALITY >= 1 AND BYTES > 0 THEN 'ok' END, "
      "CASE WHEN TIMESTAMP IS NOT NULL THEN 'ok' END "
      "FROM PLAN_TABLE WHERE ID = 0 AND STATEMENT_ID = 'P.0A1B'");
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0], (std::vector<std::string>{"SELECT STATEMENT", "NULL", "NULL", "ALL_ROWS", "ok",
                                              "ok", "ok"}));
  // every step hangs under an existing step, and the two tables are read
  EXPECT_EQ(single("SELECT COUNT(*) FROM PLAN_TABLE p WHERE ID > 0 AND NOT EXISTS "
                   "(SELECT 1 FROM PLAN_TABLE q WHERE q.ID = p.PARENT_ID)"),
            "0");
  EXPECT_EQ(column("SELECT OBJECT_NAME FROM PLAN_TABLE WHERE OPERATION = 'TABLE ACCESS' "
                   "ORDER BY OBJECT_NAME"),
            "DEPT,EMP");
  EXPECT_EQ(single("SELECT COUNT(DISTINCT OBJECT_OWNER) FROM PLAN_TABLE WHERE OBJECT_NAME IS "
                   "NOT NULL"),
            "1");
  EXPECT_EQ(single("SELECT MIN(OBJECT_OWNER) FROM PLAN_TABLE"), "SCOTT");
  // the top cost covers its steps
  EXPECT_EQ(single("SELECT CASE WHEN MAX(COST) <= (SELECT COST FROM PLAN_TABLE WHERE ID = 0) "
                   "THEN 'ok' END FROM PLAN_TABLE"),
            "ok");
  // without SET STATEMENT_ID the rows carry no id
  run("EXPLAIN PLAN FOR SELECT * FROM dept");
  EXPECT_EQ(single("SELECT COUNT(*) FROM PLAN_TABLE WHERE STATEMENT_ID IS NULL AND ID = 0"), "1");
}

TEST_F(ExplainTest, ChecksTheStatementButDoesNotRunIt) {
  EXPECT_EQ(errorOf("EXPLAIN PLAN SET STATEMENT_ID='x' INTO plan_table FOR SELECT nosuch FROM emp"),
            904);
  EXPECT_EQ(errorOf("EXPLAIN PLAN SET STATEMENT_ID='x' INTO plan_table FOR SELECT * FROM nosuch"),
            942);
  EXPECT_EQ(single("SELECT COUNT(*) FROM PLAN_TABLE"), "0");
  // run-time errors are not met
  EXPECT_EQ(errorOf("SELECT 1/0 FROM dual"), 1476);
  EXPECT_EQ(errorOf("EXPLAIN PLAN SET STATEMENT_ID='x' INTO plan_table FOR SELECT 1/0 FROM dual"),
            0);
  run("UPDATE emp SET mgr = 7876 WHERE empno = 7839");  // a loop the walk would meet
  EXPECT_EQ(errorOf("EXPLAIN PLAN SET STATEMENT_ID='y' INTO plan_table FOR SELECT ename FROM emp "
                    "START WITH empno = 7839 CONNECT BY PRIOR empno = mgr"),
            0)
      << lastError_;
  // No commit of its own inside pending work: the plan rows of 'y' go with
  // the update; those of 'x', written with nothing pending, were kept.
  db().rollback();
  EXPECT_EQ(single("SELECT COUNT(*) FROM PLAN_TABLE WHERE STATEMENT_ID = 'y'"), "0");
  EXPECT_NE(single("SELECT COUNT(*) FROM PLAN_TABLE WHERE STATEMENT_ID = 'x'"), "0");
  run("DROP TABLE PLAN_TABLE");
  EXPECT_EQ(errorOf("EXPLAIN PLAN SET STATEMENT_ID='x' INTO plan_table FOR SELECT * FROM dept"),
            942);
}

TEST_F(ExplainTest, CostsGrowWithTheWork) {
  bigTables();
  long fullBig = cost("SELECT * FROM BIG");
  long fullSmall = cost("SELECT * FROM DEPT");
  long byIndex = cost("SELECT * FROM BIG WHERE K = 17");
  long joinBig = cost("SELECT b.NAME, c.V FROM BIG b, BIG2 c WHERE b.ID = c.ID");
  long fullBig2 = cost("SELECT * FROM BIG2");
  long groupBig = cost("SELECT NAME, COUNT(*) FROM BIG GROUP BY NAME");
  long groupSmall = cost("SELECT LOC, COUNT(*) FROM DEPT GROUP BY LOC");
  long sortedBig = cost("SELECT * FROM BIG ORDER BY NAME");
  EXPECT_GT(fullBig, fullSmall);
  EXPECT_GT(fullBig, byIndex);
  EXPECT_GT(joinBig, fullBig);
  EXPECT_GT(joinBig, fullBig2);
  EXPECT_GT(groupBig, groupSmall);
  EXPECT_GT(groupBig, fullBig);
  EXPECT_GT(sortedBig, fullBig);
  EXPECT_GT(cost("SELECT * FROM BIG, BIG2"), joinBig);  // a Cartesian product
  // two workstations keep their rows apart
  cost("SELECT * FROM DEPT", "P.AAAA");
  cost("SELECT * FROM BIG", "P.BBBB");
  EXPECT_EQ(single("SELECT COUNT(DISTINCT STATEMENT_ID) FROM PLAN_TABLE WHERE ID = 0"), "3");
}

TEST_F(ExplainTest, StatisticsGatheredChangeTheEstimate) {
  bigTables();
  // half the rows have FLAG = 1, which only the statistics reveal
  long before = cost("SELECT NAME FROM BIG WHERE FLAG = 1");
  run("begin\nDBMS_STATS.GATHER_TABLE_STATS('SCOTT', 'BIG');\nend;");
  long after = cost("SELECT NAME FROM BIG WHERE FLAG = 1");
  EXPECT_GT(after, before);
  // the rows of the statement row follow the statistics too
  run("EXPLAIN PLAN SET STATEMENT_ID='card' INTO plan_table FOR SELECT * FROM BIG WHERE K = 3");
  EXPECT_EQ(single("SELECT CARDINALITY FROM PLAN_TABLE WHERE ID = 0 AND STATEMENT_ID = 'card'"),
            "4");
}

TEST_F(ExplainTest, SetOperatorsSubqueriesAndViews) {
  for (const char* sql : {
           "SELECT ename FROM emp UNION SELECT dname FROM dept",
           "SELECT ename FROM emp MINUS SELECT dname FROM dept",
           "SELECT deptno FROM emp INTERSECT SELECT deptno FROM dept",
           "SELECT ename FROM emp WHERE deptno IN (SELECT deptno FROM dept WHERE loc = 'DALLAS')",
           "SELECT * FROM (SELECT deptno, COUNT(*) n FROM emp GROUP BY deptno) WHERE n > 3",
           "SELECT COUNT(*) FROM emp",
           "SELECT ename, LEVEL FROM emp START WITH mgr IS NULL CONNECT BY PRIOR empno = mgr",
           "SELECT e.ename FROM emp e WHERE e.sal > (SELECT AVG(sal) FROM emp x "
           "WHERE x.deptno = e.deptno)",
       }) {
    EXPECT_GT(cost(sql), 0) << sql;
  }
  run("EXPLAIN PLAN SET STATEMENT_ID='agg' INTO plan_table FOR SELECT COUNT(*) FROM emp");
  EXPECT_EQ(single("SELECT CARDINALITY FROM PLAN_TABLE WHERE ID = 0 AND STATEMENT_ID = 'agg'"),
            "1");
}

TEST_F(ExplainTest, TablesAreNamedFromTheTranslationNotItsText) {
  // a long IN list of long literals: the plan still names the table behind each alias
  std::string list;
  for (int i = 0; i < 800; ++i)
    list += (i ? ", '" : "'") + std::string(17, char('a' + i % 26)) + "'";
  run("EXPLAIN PLAN SET STATEMENT_ID='IN' INTO plan_table FOR "
      "SELECT e.ename FROM emp e, dept d WHERE e.deptno = d.deptno AND e.ename IN (" + list + ")");
  EXPECT_EQ(column("SELECT OBJECT_NAME FROM PLAN_TABLE WHERE STATEMENT_ID = 'IN' AND OPERATION = "
                   "'TABLE ACCESS' ORDER BY 1"),
            "DEPT,EMP");
  // a literal that reads like the translation's "NAME" AS t1
  run("EXPLAIN PLAN SET STATEMENT_ID='Q' INTO plan_table FOR SELECT * FROM emp "
      "WHERE ename = '\"DEPT\" AS t1'");
  EXPECT_EQ(column("SELECT OBJECT_NAME FROM PLAN_TABLE WHERE STATEMENT_ID = 'Q' AND OPERATION = "
                   "'TABLE ACCESS'"),
            "EMP");
}

}  // namespace
}  // namespace korvo::engine::test

namespace korvo::engine::test {
namespace {

// Two workstations estimating on one schema: the plan rows of one session
// never hold back the other's writes, and plan rows written inside pending
// work stay part of it.
TEST_F(ExplainTest, PlanRowsOfOneSessionDoNotLockOutAnother) {
  cost("select * from emp", "P.ONE");
  auto other = Session::open(file_.string(), "scott");
  other->execute("delete from PLAN_TABLE where STATEMENT_ID='P.TWO'");
  other->execute("commit");
  other->execute("EXPLAIN PLAN SET STATEMENT_ID='P.TWO' INTO plan_table FOR select * from dual");
  other.reset();
  EXPECT_EQ(single("select count(distinct statement_id) from plan_table"), "2");

  run("update emp set SAL = SAL + 1 where EMPNO = 7369");
  run("EXPLAIN PLAN SET STATEMENT_ID='P.PENDING' INTO plan_table FOR select * from dual");
  run("rollback");
  EXPECT_EQ(single("select count(*) from plan_table where statement_id = 'P.PENDING'"), "0");
  EXPECT_EQ(single("select SAL from emp where EMPNO = 7369"), "800");
}

}  // namespace
}  // namespace korvo::engine::test
