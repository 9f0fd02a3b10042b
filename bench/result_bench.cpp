// The result grid's copy commands on a large result: 100,000 fetched rows of
// four columns (an integer, a text, a decimal number, a date with or without
// a time) copied to tab-separated text, the same rows read from the embedded
// engine, and written to a workbook.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "db/connection.h"
#include "kernel/language.h"
#include "sqlgen/result_export.h"
#include "sqlgen/result_model.h"
#include "sqlgen/xlsx_export.h"

using namespace korvo;

namespace {

constexpr int kRows = 100000;
const QString kStatement = QStringLiteral("select ID, NAME, AMOUNT, BORN from BIG order by ID");

struct BigResult {
  QTemporaryDir schemas;
  std::unique_ptr<db::Connection> connection;

  BigResult() {
    const QString alias = "local:" + schemas.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    connection->exec("create table BIG (ID number, NAME varchar2(30), AMOUNT number, BORN date)");
    connection->exec(
        "insert into BIG values (1, 'name 1', 1.25, to_date('2011-03-04 10:20:30', "
        "'YYYY-MM-DD HH24:MI:SS'))");
    // Doubling: every pass copies the rows held so far under new numbers.
    for (int held = 1; held < kRows; held *= 2)
      connection->exec(QString("insert into BIG select ID + %1, 'name ' || (ID + %1), AMOUNT + %1, "
                               "case when mod(ID, 2) = 0 then trunc(BORN) + 1 else BORN + 1 end "
                               "from BIG where ID + %1 <= %2")
                           .arg(held)
                           .arg(kRows));
  }
};

BigResult& bigResult() {
  static BigResult result;
  return result;
}

void openAll(sqlgen::ResultModel& model) {
  model.setRegionalFormat(',', "DD/MM/YYYY");
  model.open(*bigResult().connection, kStatement);
  model.fetchAll();
}

void BM_CopyFetchedRowsToText(benchmark::State& state) {
  sqlgen::ResultModel model;
  openAll(model);
  if (model.fetchedRows() != kRows) state.SkipWithError("the table does not hold every row");
  qsizetype size = 0;
  for (auto _ : state) {
    const sqlgen::RowsExport out = sqlgen::exportFetchedRows(model, kernel::frenchTexts());
    size = out.text.size();
    benchmark::DoNotOptimize(size);
  }
  state.counters["rows"] = model.fetchedRows();
  state.counters["chars"] = static_cast<double>(size);
}
BENCHMARK(BM_CopyFetchedRowsToText)->Unit(benchmark::kMillisecond);

void BM_OpenAndFetchAllRows(benchmark::State& state) {
  for (auto _ : state) {
    sqlgen::ResultModel model;
    openAll(model);
    benchmark::DoNotOptimize(model.fetchedRows());
  }
}
BENCHMARK(BM_OpenAndFetchAllRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteWorkbookOfFetchedRows(benchmark::State& state) {
  sqlgen::ResultModel model;
  openAll(model);
  QTemporaryDir folder;
  for (auto _ : state) {
    const std::optional<QString> fault =
        sqlgen::writeGridWorkbook(folder.filePath("grid.xlsx"), model, model.fetchedRows());
    if (fault) state.SkipWithError(fault->toStdString().c_str());
  }
}
BENCHMARK(BM_WriteWorkbookOfFetchedRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
