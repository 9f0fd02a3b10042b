// The statement runner under the window's conditions (a thread turning its
// event loop while the statement runs on the worker):
// - the cost of the hand-off per packet of 500 rows (runner against direct);
// - the time from Cancel to the call's return on a long statement of the
//   embedded engine (the engine is idle once the call returned);
// - the longest stall of the waiting thread (a 10 ms timer) while a long
//   statement runs and is cancelled.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

#include "db/connection.h"
#include "db/statement_runner.h"

using namespace korvo;

namespace {

const QString kLongCount =
    QStringLiteral("select count(*) from N1 a, N1 b, N1 c where a.V + b.V + c.V >= 0");

struct Schema {
  QTemporaryDir dir;
  std::unique_ptr<db::Connection> connection;
  Schema() {
    const QString alias = "local:" + dir.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    connection->exec("create table N1 (V number)");
    connection->exec("insert into N1 select level from dual connect by level <= 1000");
    connection->exec("create table ROWS100K (ID number, NAME varchar2(30))");
    connection->exec("insert into ROWS100K select level, 'name ' || level from dual "
                     "connect by level <= 100000");
    connection->commit();
  }
};

Schema& schema() {
  static Schema s;
  return s;
}

// Every packet of 100,000 rows, through `connection`; returns the packets.
int readPackets(db::Connection& connection) {
  auto cursor = connection.query("select ID, NAME from ROWS100K");
  int packets = 0;
  while (!cursor->atEnd()) {
    QList<db::Row> rows;
    cursor->fetch(rows, 500);
    ++packets;
  }
  return packets;
}

// Reports the time per packet: the difference between the two benchmarks is
// the hand-off's cost.
void measurePackets(benchmark::State& state, db::Connection& connection) {
  int packets = 0;
  QElapsedTimer clock;
  qint64 spent = 0;
  for (auto _ : state) {
    clock.start();
    packets += readPackets(connection);
    spent += clock.nsecsElapsed();
  }
  state.counters["per_packet_ms"] = packets ? double(spent) / 1e6 / packets : 0;
}

void BM_PacketsDirect(benchmark::State& state) { measurePackets(state, *schema().connection); }
BENCHMARK(BM_PacketsDirect)->Unit(benchmark::kMillisecond);

void BM_PacketsThroughRunner(benchmark::State& state) {
  db::StatementRunner runner(db::StatementRunner::Mode::Worker,
                             [] { return schema().connection.get(); });
  measurePackets(state, runner);
}
BENCHMARK(BM_PacketsThroughRunner)->Unit(benchmark::kMillisecond);

// A long count run for `runFor`, then cancelled; the waiting thread's timer
// records its longest gap, and the time from the cancel to the return.
void BM_CancelALongStatement(benchmark::State& state) {
  const auto runFor = std::chrono::milliseconds(state.range(0));
  db::StatementRunner runner(db::StatementRunner::Mode::Worker,
                             [] { return schema().connection.get(); });
  double longestGap = 0;
  double cancelToIdle = 0;
  for (auto _ : state) {
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 gap = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
      gap = std::max(gap, sinceTick.elapsed());
      sinceTick.restart();
    });
    tick.start();
    QElapsedTimer sinceCancel;
    QTimer::singleShot(runFor, [&] {
      sinceCancel.start();
      runner.cancel();
    });
    try {
      auto cursor = runner.query(kLongCount);
      QList<db::Row> rows;
      cursor->fetch(rows, 0);
      state.SkipWithError("the statement ran to its end");
    } catch (const db::DbError&) {
    }
    cancelToIdle = std::max(cancelToIdle, double(sinceCancel.nsecsElapsed()) / 1e6);
    tick.stop();
    longestGap = std::max(longestGap, double(gap));
  }
  state.counters["longest_gap_ms"] = longestGap;
  state.counters["cancel_to_idle_ms"] = cancelToIdle;
}
BENCHMARK(BM_CancelALongStatement)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
