// Translation speed of the dialect's joins and clauses: USING and NATURAL joins,
// INTERVAL arithmetic, FETCH FIRST, recursive WITH, and the typing checks, each
// parsed and translated as the engine does per statement (target: under 200 us).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/catalog.h"
#include "engine/parser.h"
#include "engine/session.h"
#include "engine/translator.h"
#include "translation_fixture.h"

namespace {

using namespace korvo::engine;

bench::TranslationFixture& fixture() {
  static bench::TranslationFixture f("dialect", {bench::kEmpTable, bench::kDeptTable});
  return f;
}

const char* kStatements[] = {
    "select deptno, dname, ename from emp join dept using (deptno) where sal > 1000",
    "select * from emp natural join dept",
    "select deptno, count(empno) from dept left join emp using (deptno) group by deptno "
    "order by deptno",
    "select ename, hiredate + interval '1-6' year to month, hiredate - interval '2 03:04:05' day "
    "to second from emp",
    "select ename from emp order by sal desc offset 2 rows fetch next 3 rows only",
    "with h (empno, ename, lvl) as (select empno, ename, 1 from emp where mgr is null union all "
    "select e.empno, e.ename, h.lvl + 1 from emp e join h on e.mgr = h.empno) select * from h",
    "select decode(ename, 'KING', null, sal) s, case when sal > 2000 then 'HIGH' else 'LOW' end, "
    "coalesce(comm, sal) from emp where lnnvl(comm > 0) order by s",
    "select to_char(hiredate, 'fmDdspth \"of\" Month YYYYSP') from emp",
};

void BM_TranslateDialect(benchmark::State& state) {
  auto& f = fixture();
  const char* sql = kStatements[state.range(0)];
  for (auto _ : state) {
    ast::Statement s = parseStatement(sql);
    Translator t(f.env);
    benchmark::DoNotOptimize(t.query(*s.query).sql);
  }
  state.SetLabel(std::string(sql).substr(0, 48));
}
BENCHMARK(BM_TranslateDialect)
    ->DenseRange(0, int(std::size(kStatements)) - 1)
    ->Unit(benchmark::kMicrosecond);

// A refused construct is recognised without translating anything.
void BM_RefuseUnimplemented(benchmark::State& state) {
  for (auto _ : state) {
    try {
      parseStatement("select * from emp pivot (sum(sal) for deptno in (10, 20, 30))");
    } catch (const std::exception& e) {
      benchmark::DoNotOptimize(e.what());
    }
  }
}
BENCHMARK(BM_RefuseUnimplemented)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
