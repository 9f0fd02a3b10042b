// Recording one run in the run history, as every run's end does: one
// committed insert and the trim to the last 10,000, into a full history.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "sqlgen/run_history.h"

using namespace korvo;

namespace {

sqlgen::RunRecord typicalRun() {
  sqlgen::RunRecord r;
  r.startedAt = QDateTime::currentDateTime();
  r.alias = "local:/data/schemas";
  r.user = "scott";
  r.universeId = "1";
  r.universeName = "Korvo démonstration";
  r.objectsPacket = QByteArray(900, 'o');
  r.conditionsPacket = QByteArray(1400, 'c');
  r.objectNames = {"Département", "Masse salariale", "Fonction"};
  r.promptAnswers = {{"Quelle fonction ?", "('CLERK')"}};
  r.statement = QString("Select distinct\n    KORVO_DEPT.DNAME \"Département\",\n"
                        "    sum(KORVO_EMP.SAL) \"Masse salariale\"\n From KORVO_DEPT, KORVO_EMP\n"
                        " where KORVO_DEPT.DEPTNO = KORVO_EMP.DEPTNO\n group by KORVO_DEPT.DNAME");
  r.rows = 3;
  r.durationMs = 12;
  return r;
}

void BM_RecordRunInFullHistory(benchmark::State& state) {
  QTemporaryDir folder;
  sqlgen::RunHistory history(folder.filePath("history.sqlite"));
  sqlgen::RunRecord r = typicalRun();
  for (int i = 0; i < sqlgen::RunHistory::kKeptRuns; ++i) history.record(r);
  for (auto _ : state) {
    if (!history.record(r)) state.SkipWithError(history.lastError().toStdString().c_str());
  }
  state.counters["kept"] = static_cast<double>(history.count());
}
BENCHMARK(BM_RecordRunInFullHistory)->Unit(benchmark::kMillisecond);

void BM_SearchFullHistory(benchmark::State& state) {
  QTemporaryDir folder;
  sqlgen::RunHistory history(folder.filePath("history.sqlite"));
  sqlgen::RunRecord r = typicalRun();
  for (int i = 0; i < sqlgen::RunHistory::kKeptRuns; ++i) history.record(r);
  for (auto _ : state) benchmark::DoNotOptimize(history.runs("masse", 2000).size());
}
BENCHMARK(BM_SearchFullHistory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
