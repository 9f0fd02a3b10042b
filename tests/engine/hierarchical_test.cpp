// CONNECT BY queries on the SCOTT rows: walk order, pseudo-columns, WHERE after the
// walk against conditions inside CONNECT BY, loops, and hierarchical blocks inside
// inline views and set operators.
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/catalog.h"
#include "engine/hierarchical_tables.h"
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class HierarchicalTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }

  // "NAME:LEVEL" of every row, in the order returned.
  std::string tree(const std::string& sql) {
    std::string s;
    for (const auto& r : rows(sql)) s += (s.empty() ? "" : ",") + r.at(0) + ":" + r.at(1);
    return s;
  }
};

const char* kKingTree =
    "KING:1,BLAKE:2,ALLEN:3,JAMES:3,MARTIN:3,TURNER:3,WARD:3,CLARK:2,MILLER:3,JONES:2,FORD:3,"
    "SMITH:4,SCOTT:3,ADAMS:4";

TEST_F(HierarchicalTest, WalksDownDepthFirstWithSiblingsSorted) {
  EXPECT_EQ(tree("SELECT ename, LEVEL FROM emp START WITH mgr IS NULL "
                 "CONNECT BY PRIOR empno = mgr ORDER SIBLINGS BY ename"),
            kKingTree);
  // PRIOR on the other side of the comparison reads the same way
  EXPECT_EQ(tree("SELECT ename, LEVEL FROM emp START WITH mgr IS NULL "
                 "CONNECT BY mgr = PRIOR empno ORDER SIBLINGS BY ename"),
            kKingTree);
}

TEST_F(HierarchicalTest, SiblingOrderDescendingAndByPosition) {
  EXPECT_EQ(tree("SELECT ename, LEVEL FROM emp WHERE LEVEL <= 2 START WITH mgr IS NULL "
                 "CONNECT BY PRIOR empno = mgr ORDER SIBLINGS BY ename DESC"),
            "KING:1,JONES:2,CLARK:2,BLAKE:2");
  EXPECT_EQ(tree("SELECT ename, sal FROM emp WHERE LEVEL = 2 START WITH mgr IS NULL "
                 "CONNECT BY PRIOR empno = mgr ORDER SIBLINGS BY 2"),
            "CLARK:2450,BLAKE:2850,JONES:2975");
}

TEST_F(HierarchicalTest, WhereFiltersAfterTheWalkConnectByPrunes) {
  const std::string base = "SELECT ename, LEVEL FROM emp ";
  Rows filtered = rows(base +
                       "WHERE ename <> 'JONES' START WITH mgr IS NULL CONNECT BY PRIOR empno = mgr "
                       "ORDER SIBLINGS BY ename");
  ASSERT_EQ(filtered.size(), 13u);
  // JONES's subordinates stay, at their own level
  EXPECT_EQ(tree(base + "WHERE ename <> 'JONES' START WITH mgr IS NULL "
                        "CONNECT BY PRIOR empno = mgr ORDER SIBLINGS BY ename"),
            "KING:1,BLAKE:2,ALLEN:3,JAMES:3,MARTIN:3,TURNER:3,WARD:3,CLARK:2,MILLER:3,FORD:3,"
            "SMITH:4,SCOTT:3,ADAMS:4");
  EXPECT_EQ(rows(base + "START WITH mgr IS NULL CONNECT BY PRIOR empno = mgr "
                        "AND ename <> 'JONES'")
                .size(),
            9u);
}

TEST_F(HierarchicalTest, PseudoColumnsAndOperators) {
  struct Case {
    const char* select;
    const char* expected;  // first column of every row, tree order
  };
  const Case cases[] = {
      {"SYS_CONNECT_BY_PATH(ename, '/')",
       "/KING,/KING/BLAKE,/KING/BLAKE/ALLEN,/KING/BLAKE/JAMES,/KING/BLAKE/MARTIN,"
       "/KING/BLAKE/TURNER,/KING/BLAKE/WARD,/KING/CLARK,/KING/CLARK/MILLER,/KING/JONES,"
       "/KING/JONES/FORD,/KING/JONES/FORD/SMITH,/KING/JONES/SCOTT,/KING/JONES/SCOTT/ADAMS"},
      {"CONNECT_BY_ISLEAF", "0,0,1,1,1,1,1,0,1,0,0,1,0,1"},
      {"NVL(PRIOR ename, '-')",
       "-,KING,BLAKE,BLAKE,BLAKE,BLAKE,BLAKE,KING,CLARK,KING,JONES,FORD,"
       "JONES,SCOTT"},
      {"CONNECT_BY_ROOT ename",
       "KING,KING,KING,KING,KING,KING,KING,KING,KING,KING,KING,KING,KING,"
       "KING"},
      {"LEVEL * 10 + 1", "11,21,31,31,31,31,31,21,31,21,31,41,31,41"},
      {"SYS_CONNECT_BY_PATH(empno, '>')",
       ">7839,>7839>7698,>7839>7698>7499,>7839>7698>7900,>7839>7698>7654,>7839>7698>7844,"
       ">7839>7698>7521,>7839>7782,>7839>7782>7934,>7839>7566,>7839>7566>7902,"
       ">7839>7566>7902>7369,>7839>7566>7788,>7839>7566>7788>7876"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(column(std::string("SELECT ") + c.select +
                     " FROM emp START WITH mgr IS NULL CONNECT BY PRIOR empno = mgr "
                     "ORDER SIBLINGS BY ename"),
              c.expected)
        << c.select;
  }
  EXPECT_EQ(column("SELECT CONNECT_BY_ROOT ename || '/' || ename FROM emp WHERE LEVEL = 2 "
                   "START WITH job = 'MANAGER' CONNECT BY PRIOR empno = mgr "
                   "ORDER SIBLINGS BY ename"),
            "BLAKE/ALLEN,BLAKE/JAMES,BLAKE/MARTIN,BLAKE/TURNER,BLAKE/WARD,CLARK/MILLER,"
            "JONES/FORD,JONES/SCOTT");
  EXPECT_EQ(headings("SELECT ename, LEVEL, CONNECT_BY_ISLEAF leaf FROM emp "
                     "START WITH mgr IS NULL CONNECT BY PRIOR empno = mgr"),
            (std::vector<std::string>{"ENAME", "LEVEL", "LEAF"}));
}

TEST_F(HierarchicalTest, SeparatorInsideAValueIsRefused) {
  EXPECT_EQ(errorOf("SELECT SYS_CONNECT_BY_PATH(ename, 'A') FROM emp START WITH mgr IS NULL "
                    "CONNECT BY PRIOR empno = mgr"),
            30004);
  // the separator must be a constant
  EXPECT_EQ(errorOf("SELECT SYS_CONNECT_BY_PATH(ename, job) FROM emp START WITH mgr IS NULL "
                    "CONNECT BY PRIOR empno = mgr"),
            30003);
}

TEST_F(HierarchicalTest, LoopsFailWithoutNocycle) {
  run("UPDATE emp SET mgr = 7876 WHERE empno = 7839");  // KING reports to ADAMS
  EXPECT_EQ(errorOf("SELECT ename FROM emp START WITH empno = 7839 CONNECT BY PRIOR empno = mgr"),
            1436);
  EXPECT_EQ(lastError_, "ORA-01436: CONNECT BY loop in user data");
  Rows r = rows(
      "SELECT ename, CONNECT_BY_ISCYCLE, LEVEL FROM emp START WITH empno = 7839 "
      "CONNECT BY NOCYCLE PRIOR empno = mgr ORDER SIBLINGS BY ename");
  ASSERT_EQ(r.size(), 14u);
  for (const auto& row : r) EXPECT_EQ(row[1], row[0] == "ADAMS" ? "1" : "0") << row[0];
  EXPECT_EQ(errorOf("SELECT CONNECT_BY_ISCYCLE FROM emp START WITH empno = 7839 "
                    "CONNECT BY PRIOR empno = mgr"),
            30930);
  // no roots: no rows, no loop
  EXPECT_EQ(rows("SELECT ename FROM emp START WITH empno = 1 CONNECT BY PRIOR empno = mgr").size(),
            0u);
}

TEST_F(HierarchicalTest, LevelInConnectByLimitsTheWalk) {
  EXPECT_EQ(column("SELECT LEVEL FROM dual CONNECT BY LEVEL <= 3"), "1,2,3");
  // without PRIOR nothing is a loop: a walk without end runs out of room
  EXPECT_EQ(errorOf("SELECT COUNT(*) FROM dual CONNECT BY 1 = 1"), 30009);
  EXPECT_EQ(column("SELECT COUNT(*) FROM dept CONNECT BY LEVEL <= 2"), "20");  // 4 + 4*4
  EXPECT_EQ(tree("SELECT ename, CONNECT_BY_ISLEAF FROM emp START WITH mgr IS NULL "
                 "CONNECT BY PRIOR empno = mgr AND LEVEL <= 2 ORDER SIBLINGS BY ename"),
            "KING:0,BLAKE:1,CLARK:1,JONES:1");
}

TEST_F(HierarchicalTest, JoinPredicatesBeforeTheWalkFiltersAfter) {
  // The join makes the rows; the department filter keeps SALES rows of the whole tree.
  EXPECT_EQ(tree("SELECT e.ename, LEVEL FROM emp e, dept d WHERE e.deptno = d.deptno "
                 "AND d.dname = 'SALES' START WITH e.mgr IS NULL "
                 "CONNECT BY PRIOR e.empno = e.mgr ORDER SIBLINGS BY e.ename"),
            "BLAKE:2,ALLEN:3,JAMES:3,MARTIN:3,TURNER:3,WARD:3");
}

TEST_F(HierarchicalTest, OrderByAndGroupByWorkOnTheWalkedRows) {
  EXPECT_EQ(column("SELECT ename FROM emp WHERE LEVEL = 4 START WITH mgr IS NULL "
                   "CONNECT BY PRIOR empno = mgr ORDER BY ename DESC"),
            "SMITH,ADAMS");
  EXPECT_EQ(tree("SELECT LEVEL, COUNT(*) FROM emp START WITH mgr IS NULL "
                 "CONNECT BY PRIOR empno = mgr GROUP BY LEVEL ORDER BY 1"),
            "1:1,2:3,3:8,4:2");
  EXPECT_EQ(column("SELECT DISTINCT LEVEL FROM emp START WITH mgr IS NULL "
                   "CONNECT BY PRIOR empno = mgr ORDER BY 1"),
            "1,2,3,4");
}

TEST_F(HierarchicalTest, InsideInlineViewsSetOperatorsAndSubqueries) {
  EXPECT_EQ(single("SELECT COUNT(*) FROM (SELECT ename FROM emp START WITH mgr IS NULL "
                   "CONNECT BY PRIOR empno = mgr)"),
            "14");
  // walking up from two employees
  EXPECT_EQ(column("SELECT ename FROM emp START WITH ename = 'SCOTT' CONNECT BY PRIOR mgr = empno "
                   "UNION SELECT ename FROM emp START WITH ename = 'SMITH' "
                   "CONNECT BY PRIOR mgr = empno"),
            "FORD,JONES,KING,SCOTT,SMITH");
  EXPECT_EQ(column("SELECT ename FROM emp START WITH ename = 'SCOTT' CONNECT BY PRIOR mgr = empno "
                   "INTERSECT SELECT ename FROM emp START WITH ename = 'SMITH' "
                   "CONNECT BY PRIOR mgr = empno"),
            "JONES,KING");
  EXPECT_EQ(column("SELECT ename FROM emp START WITH ename = 'SCOTT' CONNECT BY PRIOR mgr = empno "
                   "MINUS SELECT ename FROM emp START WITH ename = 'SMITH' "
                   "CONNECT BY PRIOR mgr = empno"),
            "SCOTT");
  EXPECT_EQ(column("SELECT ename FROM emp WHERE empno IN (SELECT empno FROM emp "
                   "START WITH ename = 'BLAKE' CONNECT BY PRIOR empno = mgr) ORDER BY ename"),
            "ALLEN,BLAKE,JAMES,MARTIN,TURNER,WARD");
  // the same statement twice in one session: each run walks afresh
  run("UPDATE emp SET mgr = 7839 WHERE empno = 7876");
  EXPECT_EQ(single("SELECT LEVEL FROM emp WHERE ename = 'ADAMS' START WITH mgr IS NULL "
                   "CONNECT BY PRIOR empno = mgr"),
            "2");
}

TEST_F(HierarchicalTest, RownumCountsWalkedRows) {
  EXPECT_EQ(column("SELECT ename FROM emp WHERE ROWNUM <= 3 START WITH mgr IS NULL "
                   "CONNECT BY PRIOR empno = mgr ORDER SIBLINGS BY ename"),
            "KING,BLAKE,ALLEN");
  EXPECT_EQ(column("SELECT ename || LEVEL FROM emp WHERE ROWNUM <= 2 START WITH mgr IS NULL "
                   "CONNECT BY PRIOR empno = mgr ORDER SIBLINGS BY ename"),
            "KING1,BLAKE2");
  EXPECT_EQ(column("SELECT ROWNUM || ename FROM emp WHERE LEVEL = 2 START WITH mgr IS NULL "
                   "CONNECT BY PRIOR empno = mgr ORDER SIBLINGS BY ename"),
            "1BLAKE,2CLARK,3JONES");
  EXPECT_EQ(errorOf("SELECT ename FROM emp WHERE ROWNUM <= 2 START WITH mgr IS NULL "
                    "CONNECT BY PRIOR empno = mgr ORDER BY ename"),
            3001);
}

// Work tables that a running statement still reads are dropped once it is done.
TEST(TemporaryTablesTest, DropsWhatAnOpenStatementHeldLater) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
  std::shared_ptr<sqlite3> db(raw, [](sqlite3* d) { sqlite3_close_v2(d); });
  auto count = [&] {
    SqlStatement st(raw, "SELECT count(*) FROM sqlite_temp_master WHERE type = 'table'");
    st.step();
    return st.integer(0);
  };
  std::string held;
  auto reader = std::make_unique<SqlStatement>(raw, "SELECT 1");
  {
    TemporaryTables first(db);
    held = first.reserve("t");
    execSql(raw, "CREATE TABLE " + held + "(x)");
    execSql(raw, "INSERT INTO " + held + " VALUES (1), (2)");
    reader = std::make_unique<SqlStatement>(raw, "SELECT x FROM " + held);
    ASSERT_TRUE(reader->step());
    EXPECT_EQ(count(), 1);
  }
  // still readable: SQLite refused the drop while the statement runs
  EXPECT_TRUE(reader->step());
  reader.reset();
  {
    TemporaryTables second(db);  // retries the drop
    std::string other = second.reserve("t");
    EXPECT_NE(other, held);
    EXPECT_EQ(count(), 0);
  }
}

TEST_F(HierarchicalTest, FeedsTablesThroughInsertAndCreateAs) {
  run("CREATE TABLE ORG AS SELECT empno, ename, LEVEL lvl, SYS_CONNECT_BY_PATH(ename, '/') path "
      "FROM emp START WITH mgr IS NULL CONNECT BY PRIOR empno = mgr");
  EXPECT_EQ(single("SELECT path FROM ORG WHERE ename = 'ADAMS'"), "/KING/JONES/SCOTT/ADAMS");
  run("INSERT INTO ORG SELECT empno, ename, LEVEL + 10, NULL FROM emp WHERE ename = 'FORD' "
      "START WITH ename = 'SMITH' CONNECT BY PRIOR mgr = empno");
  EXPECT_EQ(single("SELECT lvl FROM ORG WHERE lvl > 10"), "12");
}

TEST_F(HierarchicalTest, OpenCursorsKeepTheirWalk) {
  auto first = db().execute(
      "SELECT ename FROM emp START WITH mgr IS NULL "
      "CONNECT BY PRIOR empno = mgr ORDER SIBLINGS BY ename");
  std::vector<Value> row;
  ASSERT_TRUE(first.cursor->fetch(row));
  EXPECT_EQ(row[0].text, "KING");
  EXPECT_EQ(single("SELECT COUNT(*) FROM emp START WITH ename = 'JONES' "
                   "CONNECT BY PRIOR empno = mgr"),
            "5");
  int n = 1;
  while (first.cursor->fetch(row)) ++n;
  EXPECT_EQ(n, 14);
}

TEST_F(HierarchicalTest, MisplacedClausesAndOperators) {
  EXPECT_EQ(errorOf("SELECT ename FROM emp ORDER SIBLINGS BY ename"), 30929);
  EXPECT_EQ(errorOf("SELECT ename FROM emp START WITH mgr IS NULL"), 1788);
  EXPECT_EQ(
      errorOf("SELECT ename FROM emp START WITH PRIOR empno = 1 CONNECT BY PRIOR empno = mgr"),
      976);
  EXPECT_EQ(errorOf("SELECT ename FROM emp START WITH mgr IS NULL "
                    "CONNECT BY PRIOR empno = mgr AND CONNECT_BY_ISLEAF = 0"),
            976);
  EXPECT_EQ(errorOf("SELECT nosuch FROM emp START WITH mgr IS NULL CONNECT BY PRIOR empno = mgr"),
            904);
  EXPECT_EQ(errorOf("SELECT ename FROM emp START WITH mgr IS NULL CONNECT BY PRIOR nosuch = mgr"),
            904);
}

}  // namespace
}  // namespace korvo::engine::test

namespace korvo::engine::test {
namespace {

// The class query of the catalogue, against the tree computed here: shown classes
// in depth-first order, siblings by CL_POSITION, with LEVEL counted in the full tree.
class ClassQueryTest : public EngineTest {};

struct ClassRow {
  int id, parent, position;  // position -1: NULL
  bool hidden;
};

const char* kClassQuery =
    "SELECT CL_IDCLASS, CL_IDPERE , CL_NAME, LEVEL FROM KORVO_CLASS where  CL_HIDDEN = 'N' "
    "START WITH  CL_IDPERE  = 0 connect by    CL_IDPERE =  prior CL_IDCLASS "
    "ORDER SIBLINGS BY CL_POSITION";

std::vector<std::string> expectedClasses(const std::vector<ClassRow>& rows) {
  std::vector<std::string> out;
  auto children = [&](int parent) {
    std::vector<const ClassRow*> c;
    for (const auto& r : rows)
      if (r.parent == parent) c.push_back(&r);
    std::stable_sort(c.begin(), c.end(), [](const ClassRow* a, const ClassRow* b) {
      long pa = a->position < 0 ? 1L << 40 : a->position;  // NULL sorts last
      long pb = b->position < 0 ? 1L << 40 : b->position;
      return pa < pb;
    });
    return c;
  };
  std::function<void(const ClassRow*, int)> walk = [&](const ClassRow* r, int level) {
    if (!r->hidden)
      out.push_back(std::to_string(r->id) + "|" + std::to_string(r->parent) + "|C" +
                    std::to_string(r->id) + "|" + std::to_string(level));
    for (const ClassRow* c : children(r->id)) walk(c, level + 1);
  };
  for (const ClassRow* r : children(0)) walk(r, 1);
  return out;
}

TEST_F(ClassQueryTest, ShownClassesInTreeOrder) {
  run("CREATE TABLE KORVO_CLASS (CL_IDCLASS NUMBER(10) NOT NULL, CL_IDUNIV NUMBER(10) NOT NULL, "
      "CL_NAME VARCHAR2(35) NOT NULL, CL_IDPERE NUMBER(10), CL_HIDDEN VARCHAR2(1) NOT NULL, "
      "CL_POSITION NUMBER(10), CL_COMMENT VARCHAR2(250), CL_NIVEAU NUMBER(10))");
  std::mt19937 rng(42);
  for (int shape = 0; shape < 4; ++shape) {
    run("DELETE FROM KORVO_CLASS");
    std::vector<ClassRow> classes;
    int n = shape == 0 ? 15 : 120;
    for (int k = 1; k <= n; ++k) {
      int parent = 0;
      if (shape == 1) parent = k - 1;                         // one deep chain
      if (shape == 2 && k > 3) parent = 1 + int(rng() % 3u);  // three wide classes
      if (shape == 3 && k > 1 && rng() % 6 != 0) parent = 1 + int(rng() % unsigned(k - 1));
      if (shape == 0 && k > 1) parent = k / 2;
      classes.push_back({k, parent, 0, rng() % 7 == 0});
    }
    classes.push_back({n + 1, 9999, 0, false});  // its parent is missing: never reached
    // distinct positions among siblings, one NULL now and then (sorted last)
    std::map<int, std::vector<ClassRow*>> groups;
    for (auto& r : classes) groups[r.parent].push_back(&r);
    for (auto& [parent, members] : groups) {
      std::vector<int> pos(members.size());
      for (size_t i = 0; i < pos.size(); ++i) pos[i] = int(i) * 3;
      std::shuffle(pos.begin(), pos.end(), rng);
      for (size_t i = 0; i < members.size(); ++i) members[i]->position = pos[i];
      auto last = std::max_element(members.begin(), members.end(),
                                   [](auto a, auto b) { return a->position < b->position; });
      if (rng() % 2) (*last)->position = -1;
    }
    // inserted in an order unrelated to the tree
    std::vector<ClassRow> shuffled = classes;
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    for (const auto& r : shuffled)
      run("INSERT INTO KORVO_CLASS VALUES (" + std::to_string(r.id) + ", 1, 'C" +
          std::to_string(r.id) + "', " + std::to_string(r.parent) + ", '" + (r.hidden ? "O" : "N") +
          "', " + (r.position < 0 ? std::string("NULL") : std::to_string(r.position)) +
          ", NULL, 0)");
    std::vector<std::string> got;
    for (const auto& r : rows(kClassQuery))
      got.push_back(r[0] + "|" + r[1] + "|" + r[2] + "|" + r[3]);
    EXPECT_EQ(got, expectedClasses(classes)) << "shape " << shape;
  }
  EXPECT_EQ(headings(kClassQuery),
            (std::vector<std::string>{"CL_IDCLASS", "CL_IDPERE", "CL_NAME", "LEVEL"}));
}

}  // namespace
}  // namespace korvo::engine::test
