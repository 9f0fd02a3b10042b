// A list of 50,000 values: the distinct-values query on the embedded engine,
// the values dialog filled with them, one keystroke in its filter box, and one
// step of the query mode's value panel (the longest the window waits while
// the panel grows).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include "builder/value_list.h"
#include "builder/value_list_dialog.h"
#include "db/connection.h"
#include "kernel/language.h"

using namespace korvo;

namespace {

constexpr int kValues = 50000;

struct ManyValues {
  QTemporaryDir schemas;
  std::unique_ptr<db::Connection> connection;
  QStringList values;

  ManyValues() {
    const QString alias = "local:" + schemas.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    connection->exec("create table CUSTOMER (ID number, NAME varchar2(40))");
    connection->exec("insert into CUSTOMER values (1, 'Customer 1')");
    for (int held = 1; held < kValues; held *= 2)
      connection->exec(QString("insert into CUSTOMER select ID + %1, 'Customer ' || (ID + %1) "
                               "from CUSTOMER where ID + %1 <= %2")
                           .arg(held)
                           .arg(kValues));
    for (int i = 1; i <= kValues; ++i) values << QStringLiteral("Customer %1").arg(i);
  }
};

ManyValues& manyValues() {
  static ManyValues data;
  return data;
}

void BM_DistinctValuesQuery(benchmark::State& state) {
  db::Connection& connection = *manyValues().connection;
  const QString sql = builder::distinctValuesQuery("CUSTOMER.NAME", "CUSTOMER");
  for (auto _ : state) {
    auto cursor = connection.query(sql);
    QList<db::Row> rows;
    cursor->fetch(rows, 0);
    if (rows.size() != kValues) state.SkipWithError("not every value came back");
  }
}
BENCHMARK(BM_DistinctValuesQuery)->Unit(benchmark::kMillisecond);

void BM_FillValuesDialog(benchmark::State& state) {
  builder::ValueListDialog dialog(kernel::frenchTexts());
  for (auto _ : state) {
    dialog.fill("CUSTOMER", manyValues().values, builder::ValueChoice::Multiple);
    if (dialog.valueList()->count() != kValues) state.SkipWithError("the list is short");
  }
}
BENCHMARK(BM_FillValuesDialog)->Unit(benchmark::kMillisecond);

void BM_FilterKeystroke(benchmark::State& state) {
  builder::ValueListDialog dialog(kernel::frenchTexts());
  dialog.fill("CUSTOMER", manyValues().values, builder::ValueChoice::Multiple);
  bool narrow = false;
  for (auto _ : state) {
    // Alternates a narrowing keystroke with its erasure, as a user typing does.
    dialog.filter()->setText(narrow ? QStringLiteral("r 4999") : QStringLiteral("r 499"));
    narrow = !narrow;
  }
}
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond);

void BM_PanelStepOf2000(benchmark::State& state) {
  // The step ValuePanelView adds per event-loop turn.
  QListWidget list;
  const QStringList& values = manyValues().values;
  qsizetype next = 0;
  for (auto _ : state) {
    if (next + 2000 > values.size()) {
      state.PauseTiming();
      list.clear();
      next = 0;
      state.ResumeTiming();
    }
    for (qsizetype i = next; i < next + 2000; ++i) list.addItem(values[i]);
    next += 2000;
  }
}
BENCHMARK(BM_PanelStepOf2000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
