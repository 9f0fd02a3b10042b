// Every row of a large result to a file: 1,000,000 rows of 10 columns
// (integers, decimals, texts, dates) to CSV and to a workbook, and the
// process's peak memory after each. The rows come packet by packet, as a
// cursor gives them, so the figure is the export's own.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QTemporaryDir>
#include <QTimeZone>

#include "sqlgen/file_export.h"
#include "sqlgen/result_model.h"

using namespace korvo;

namespace {

constexpr int kRows = 1000000;
constexpr int kPacket = 2000;

// 2,000 distinct rows made once and given 500 times, so that what is timed
// is the export's formatting and writing, not the making of the rows.
const QList<db::Row>& samplePacket() {
  static const QList<db::Row> packet = [] {
    QList<db::Row> rows;
    // Dates as the embedded engine gives them: without a time zone of their own (UTC).
    const QDateTime base(QDate(2011, 3, 4), QTime(10, 20, 30), QTimeZone::utc());
    for (int i = 0; i < kPacket; ++i) {
      const qlonglong n = i + 1;
      rows.append({n, QStringLiteral("name %1").arg(n), n * 1.25, base.addDays(n % 5000),
                   QStringLiteral("Paris"), n % 97, 0.5 + (n % 10) / 100.0,
                   QStringLiteral("C%1").arg(n % 1000), n % 7 == 0 ? QVariant() : QVariant("a, \"b\""),
                   QDateTime(QDate(2020, 1, 1).addDays(n % 365), QTime(0, 0), QTimeZone::utc())});
    }
    return rows;
  }();
  return packet;
}

class GeneratedRows : public sqlgen::RowSource {
 public:
  QStringList titles() const override {
    return {"ID", "NAME", "AMOUNT", "BORN", "CITY", "QTY", "RATE", "CODE", "NOTE", "UPDATED"};
  }
  bool next(QList<db::Row>& rows) override {
    if (made_ >= kRows) {
      rows.clear();
      return false;
    }
    rows = samplePacket();
    made_ += kPacket;
    return true;
  }

 private:
  int made_ = 0;
};

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void exportAll(benchmark::State& state, sqlgen::ExportFormat format, const char* name) {
  QTemporaryDir folder;
  sqlgen::ResultModel formatter;
  formatter.setRegionalFormat(',', "DD/MM/YYYY");
  sqlgen::ExportOptions options;
  options.format = format;
  options.separator = ';';
  options.text = [&formatter](const QVariant& v) { return formatter.displayText(v); };
  long long rows = 0;
  for (auto _ : state) {
    GeneratedRows source;
    const sqlgen::ExportOutcome out = sqlgen::exportToFile(folder.filePath(name), source, options);
    if (!out.ok()) state.SkipWithError(out.error.toStdString().c_str());
    rows = out.rows;
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["peak_MB"] = peakMegabytes();
}

// The values' texts alone, without a file: the part of each export that the
// grid's regional format costs.
void BM_FormatMillionRowsOnly(benchmark::State& state) {
  sqlgen::ResultModel formatter;
  formatter.setRegionalFormat(',', "DD/MM/YYYY");
  qsizetype chars = 0;
  for (auto _ : state) {
    GeneratedRows source;
    QList<db::Row> rows;
    while (source.next(rows))
      for (const db::Row& row : rows)
        for (const QVariant& v : row) chars += formatter.displayText(v).size();
  }
  benchmark::DoNotOptimize(chars);
}
BENCHMARK(BM_FormatMillionRowsOnly)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExportMillionRowsToCsv(benchmark::State& state) {
  exportAll(state, sqlgen::ExportFormat::Csv, "rows.csv");
}
BENCHMARK(BM_ExportMillionRowsToCsv)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExportMillionRowsToWorkbook(benchmark::State& state) {
  exportAll(state, sqlgen::ExportFormat::Xlsx, "rows.xlsx");
}
BENCHMARK(BM_ExportMillionRowsToWorkbook)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
