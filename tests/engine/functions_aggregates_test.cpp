// STDDEV, VARIANCE and MEDIAN as aggregates and as analytic functions.
#include "engine/functions_test_db.h"

namespace korvo::engine::testing {
namespace {

class AggregateFunctions : public OracleFunctionsTest {
 protected:
  AggregateFunctions() {
    exec("CREATE TABLE emp(id INTEGER, deptno INTEGER, sal NUMERIC, note TEXT)");
    // SCOTT's salaries.
    exec(
        "INSERT INTO emp(id, deptno, sal) VALUES (1,20,800),(2,30,1600),(3,30,1250),"
        "(4,20,2975),(5,30,1250),(6,30,2850),(7,10,2450),(8,20,3000),(9,10,5000),"
        "(10,30,1500),(11,20,1100),(12,30,950),(13,20,3000),(14,10,1300)");
  }
};

TEST_F(AggregateFunctions, OverScottsSalaries) {
  const Case cases[] = {
      {"MEDIAN(sal) FROM emp", "1550"},
      {"STDDEV(sal) FROM emp", "~1182.50322351627"},
      {"VARIANCE(sal) FROM emp", "~1398313.87362637"},
      {"STDDEV_SAMP(sal) FROM emp", "~1182.50322351627"},
      {"VAR_SAMP(sal) FROM emp", "~1398313.87362637"},
      {"STDDEV_POP(sal) FROM emp", "~1139.48861829528"},
      {"VAR_POP(sal) FROM emp", "~1298434.31122449"},
      {"MEDIAN(sal) FROM emp WHERE deptno = 10", "2450"},
      {"VARIANCE(DISTINCT sal) FROM emp WHERE deptno = 30", "528250"},
  };
  EXPECT_CASES(cases);
}

TEST_F(AggregateFunctions, OneRowNoRowsAndNulls) {
  exec("INSERT INTO emp(id, deptno, sal) VALUES (15,40,NULL),(16,50,7),(17,50,'')");
  const Case cases[] = {
      {"VARIANCE(sal) FROM emp WHERE deptno = 50", "0"},
      {"STDDEV(sal) FROM emp WHERE deptno = 50", "0"},
      {"VAR_SAMP(sal) FROM emp WHERE deptno = 50", "NULL"},
      {"STDDEV_SAMP(sal) FROM emp WHERE deptno = 50", "NULL"},
      {"VAR_POP(sal) FROM emp WHERE deptno = 50", "0"},
      {"MEDIAN(sal) FROM emp WHERE deptno = 50", "7"},
      {"STDDEV(sal) FROM emp WHERE deptno = 40", "NULL"},
      {"MEDIAN(sal) FROM emp WHERE deptno = 99", "NULL"},
      {"VARIANCE(sal) FROM emp WHERE deptno = 99", "NULL"},
  };
  EXPECT_CASES(cases);
}

TEST_F(AggregateFunctions, TextIsConvertedOrRefused) {
  exec("INSERT INTO emp(id, deptno, note) VALUES (20,60,'3'),(21,60,'5'),(22,70,'x')");
  EXPECT_EQ(eval("MEDIAN(note) FROM emp WHERE deptno = 60"), "4");
  EXPECT_EQ(eval("VARIANCE(note) FROM emp WHERE deptno = 60"), "2");
  EXPECT_EQ(eval("STDDEV(note) FROM emp WHERE deptno = 70"), "ORA-01722: invalid number");
}

TEST_F(AggregateFunctions, MovingWindowsRemoveRows) {
  exec("CREATE TABLE s(id INTEGER, v NUMERIC)");
  exec("INSERT INTO s VALUES (1,1),(2,2),(3,4),(4,8)");
  const std::string frame = " OVER (ORDER BY id ROWS BETWEEN 1 PRECEDING AND CURRENT ROW) AS x";
  auto column = [&](const std::string& fn) {
    std::string all;
    sqlite3_stmt* st = nullptr;
    const std::string sql = "SELECT " + fn + frame + " FROM s ORDER BY id";
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    while (sqlite3_step(st) == SQLITE_ROW) all += render(st) + " ";
    sqlite3_finalize(st);
    return all;
  };
  EXPECT_EQ(column("MEDIAN(v)"), "1 ~1.5 3 6 ");
  EXPECT_EQ(column("VARIANCE(v)"), "0 ~0.5 2 8 ");
  EXPECT_EQ(column("STDDEV_SAMP(v)"),
            "NULL ~0.707106781186548 ~1.4142135623731 ~2.82842712474619 ");
}

TEST_F(AggregateFunctions, ListaggOrdersWithinTheGroup) {
  exec(
      "INSERT INTO emp(id, deptno, sal, note) VALUES (30,80,NULL,'b'),(31,80,5,'a'),"
      "(32,80,5,NULL),(33,80,1,'c')");
  const Case cases[] = {
      {"ora_listagg(note, ',', 'A', sal) FROM emp WHERE deptno = 80", "'c,a,b'"},
      {"ora_listagg(note, ',', 'A,D', sal, note) FROM emp WHERE deptno = 80", "'c,a,b'"},
      {"ora_listagg(note, ',', 'AF', sal) FROM emp WHERE deptno = 80", "'b,c,a'"},
      {"ora_listagg(note, '; ', 'D', sal) FROM emp WHERE deptno = 80", "'b; a; c'"},
      {"ora_listagg(note, '; ', 'DL', sal) FROM emp WHERE deptno = 80", "'a; c; b'"},
      {"ora_listagg(note, NULL, 'A', note) FROM emp WHERE deptno = 80", "'abc'"},
      {"ora_listagg(id, '-', 'D', id) FROM emp WHERE deptno = 10", "'14-9-7'"},
      {"ora_listagg(note, ',', 'A') FROM emp WHERE deptno = 99", "NULL"},
      {"ora_listagg(note, ',', 'A,A', sal) FROM emp WHERE deptno = 80",
       "ORA-00909: invalid number of arguments"},
  };
  EXPECT_CASES(cases);
  exec("CREATE TABLE words(w TEXT)");
  exec(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
      "INSERT INTO words SELECT 'word' FROM n");
  EXPECT_EQ(eval("LENGTH(ora_listagg(w, ',', '')) FROM words"),
            "ORA-01489: result of string concatenation is too long");
  EXPECT_EQ(eval("LENGTH(ora_listagg(w, ',', '')) FROM words WHERE rowid <= 10"), "49");
}

}  // namespace
}  // namespace korvo::engine::testing
