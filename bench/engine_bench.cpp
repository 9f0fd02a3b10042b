// Engine speed: translation of the statements the program sends, and a generated
// reporting query on a 1,000,000-row table against the same query hand-written
// for SQLite, in one run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/catalog.h"
#include "engine/parser.h"
#include "engine/session.h"
#include "engine/translator.h"
#include "translation_fixture.h"

namespace {

using namespace korvo::engine;

using bench::schemaFile;

// --- translation ---

bench::TranslationFixture& translationFixture() {
  static bench::TranslationFixture f(
      "translate",
      {"create table KORVO_EMP (EMPNO NUMBER(4) NOT NULL, ENAME VARCHAR2(10), JOB VARCHAR2(9), "
          "MGR NUMBER(4), HIREDATE DATE, SAL NUMBER(7,2), COMM NUMBER(7,2), DEPTNO NUMBER(2))",
          "create table KORVO_DEPT (DEPTNO NUMBER(2), DNAME VARCHAR2(14), LOC VARCHAR2(13))",
          "create table KORVO_SALGRADE (GRADE NUMBER, LOSAL NUMBER, HISAL NUMBER)",
          "create table TMP_OBJECT_DATA (OBJECT_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) "
          "NOT NULL, OBJ_DATATYPE CHAR(2) NOT NULL, OBJ_SLICE NUMBER(6) NOT NULL, "
          "OBJ_DATAVALUE VARCHAR2(240) NOT NULL)",
          "create table TMP_CLASS (CLASS_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
          "CLS_NAME VARCHAR2(35) NOT NULL, CLS_BASECLASSID NUMBER(10) NULL, CLS_HIDDEN CHAR(2) "
          "NOT NULL, CLS_POSITION NUMBER(10) NULL)",
          "create table TMP_CLASS_DATA (CLASS_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT "
          "NULL, CLS_DATATYPE CHAR(2) NOT NULL, CLS_SLICE NUMBER(6) NOT NULL, CLS_DATAVALUE "
          "VARCHAR2(240) NOT NULL)"});
  return f;
}

const char* kStatements[] = {
    "select banner from v$version",
    "select table_name from user_tables where table_name = 'PLAN_TABLE'",
    "INSERT INTO KORVO_EMP VALUES (7369,'SMITH','CLERK',7902,to_date('17/12/1980','dd/mm/yyyy'),"
    "800,NULL,20)",
    "select KORVO_DEPT.DNAME, KORVO_EMP.JOB, sum(KORVO_EMP.SAL), count(KORVO_EMP.EMPNO) from "
    "KORVO_DEPT, KORVO_EMP, KORVO_SALGRADE where KORVO_DEPT.DEPTNO = KORVO_EMP.DEPTNO and "
    "KORVO_EMP.SAL between KORVO_SALGRADE.LOSAL and KORVO_SALGRADE.HISAL and KORVO_EMP.HIREDATE > "
    "'01/01/1981' group by KORVO_DEPT.DNAME, KORVO_EMP.JOB having sum(KORVO_EMP.SAL) > 1000",
    "select c.CLASS_ID CL_IDCLASS, c.UNIVERSE_ID CL_IDUNIV, CLS_NAME CL_NAME,  CLS_BASECLASSID "
    "CL_IDPERE, substr(CLS_HIDDEN,1,1) CL_HIDDEN, CLS_POSITION CL_POSITION, CLS_DATAVALUE "
    "CL_COMMENT, 0 CL_NIVEAU from TMP_CLASS c, TMP_CLASS_DATA d where c.CLASS_ID = d.CLASS_ID(+) "
    "and c.UNIVERSE_ID = d.UNIVERSE_ID(+) and d.CLS_SLICE(+) = 1",
    "select o.OBJECT_ID, (select obj_datavalue from TMP_OBJECT_DATA d where  d.OBJECT_ID = "
    "o.OBJECT_ID and d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='S' and d.OBJ_SLICE = 1 ) || "
    "(select obj_datavalue from TMP_OBJECT_DATA d where  d.OBJECT_ID = o.OBJECT_ID and "
    "d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='S' and d.OBJ_SLICE = 2 ) from "
    "TMP_OBJECT_DATA o",
    "select * from (select ENAME from KORVO_EMP intersect select DNAME from KORVO_DEPT order by 1) "
    "where rownum = 1",
};

void BM_Translate(benchmark::State& state) {
  auto& f = translationFixture();
  const char* sql = kStatements[state.range(0)];
  for (auto _ : state) {
    ast::Statement s = parseStatement(sql);
    Translator t(f.env);
    if (s.query) {
      benchmark::DoNotOptimize(t.query(*s.query).sql);
    } else {
      // INSERT VALUES: the value expressions
      Scope empty;
      for (const auto& v : s.values) benchmark::DoNotOptimize(t.expr(*v, empty).sql);
    }
  }
  state.SetLabel(std::string(sql).substr(0, 40));
}
BENCHMARK(BM_Translate)
    ->DenseRange(0, int(std::size(kStatements)) - 1)
    ->Unit(benchmark::kMicrosecond);

// --- reporting query on 1,000,000 rows ---

struct ReportFixture {
  std::string file = schemaFile("report");
  std::unique_ptr<Session> session = Session::open(file, "SCOTT");
  sqlite3* raw = nullptr;

  ReportFixture() {
    session->execute(
        "create table FACT (ID NUMBER(10) NOT NULL, DEPTNO NUMBER(2), GRADE NUMBER, "
        "AMOUNT NUMBER(9,2))");
    session->execute("create table DEPT (DEPTNO NUMBER(2), DNAME VARCHAR2(14))");
    session->execute("create table SALGRADE (GRADE NUMBER, LABEL VARCHAR2(10))");
    sqlite3_open(file.c_str(), &raw);
    // Bulk rows straight into the storage: this measures reading, not loading.
    sqlite3_exec(
        raw,
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
        "INSERT INTO FACT SELECT i, 10 * (1 + i % 4), 1 + i % 5, (i % 1000) / 4.0 FROM n;"
        "INSERT INTO DEPT VALUES (10,'ACCOUNTING'),(20,'RESEARCH'),(30,'SALES'),"
        "(40,'OPERATIONS');"
        "INSERT INTO SALGRADE VALUES (1,'G1'),(2,'G2'),(3,'G3'),(4,'G4'),(5,'G5');"
        "COMMIT;",
        nullptr, nullptr, nullptr);
  }
  ~ReportFixture() { sqlite3_close(raw); }
};

ReportFixture& reportFixture() {
  static ReportFixture f;
  return f;
}

void BM_ReportQuery_Engine(benchmark::State& state) {
  auto& f = reportFixture();
  for (auto _ : state) {
    auto r = f.session->execute(
        "select d.dname, s.label, count(*), sum(f.amount) from fact f, dept d, salgrade s "
        "where f.deptno = d.deptno and f.grade = s.grade group by d.dname, s.label order by 1, 2");
    std::vector<Value> row;
    int n = 0;
    while (r.cursor->fetch(row)) ++n;
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_ReportQuery_Engine)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReportQuery_HandWrittenSqlite(benchmark::State& state) {
  auto& f = reportFixture();
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(f.raw,
                       "SELECT d.DNAME, s.LABEL, count(*), sum(f.AMOUNT) FROM FACT f "
                       "JOIN DEPT d ON f.DEPTNO = d.DEPTNO JOIN SALGRADE s ON f.GRADE = s.GRADE "
                       "GROUP BY d.DNAME, s.LABEL ORDER BY 1, 2",
                       -1, &st, nullptr);
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_text(st, 0));
      benchmark::DoNotOptimize(sqlite3_column_double(st, 3));
      ++n;
    }
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_ReportQuery_HandWrittenSqlite)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same with arithmetic on every row (decimal rounding of each product).
void BM_ReportArithmetic_Engine(benchmark::State& state) {
  auto& f = reportFixture();
  for (auto _ : state) {
    auto r = f.session->execute(
        "select d.dname, s.label, sum(f.amount * 1.5) from fact f, dept d, salgrade s "
        "where f.deptno = d.deptno and f.grade = s.grade group by d.dname, s.label order by 1, 2");
    std::vector<Value> row;
    int n = 0;
    while (r.cursor->fetch(row)) ++n;
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_ReportArithmetic_Engine)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReportArithmetic_HandWrittenSqlite(benchmark::State& state) {
  auto& f = reportFixture();
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(f.raw,
                       "SELECT d.DNAME, s.LABEL, sum(f.AMOUNT * 1.5) FROM FACT f "
                       "JOIN DEPT d ON f.DEPTNO = d.DEPTNO JOIN SALGRADE s ON f.GRADE = s.GRADE "
                       "GROUP BY d.DNAME, s.LABEL ORDER BY 1, 2",
                       -1, &st, nullptr);
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) ++n;
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_ReportArithmetic_HandWrittenSqlite)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
