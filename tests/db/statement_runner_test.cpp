// The statement runner: a long statement of the embedded engine stopped from
// another thread, the connection usable after it, packets in order, one
// statement at a time, and a driver that cannot interrupt served by a second
// connection that a Cancel abandons.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "db/connection.h"
#include "db/statement_runner.h"

namespace korvo::db {
namespace {

using Mode = StatementRunner::Mode;

// Three tables of 400 rows: a count over their cross join takes far longer
// than any test waits (64 million rows).
const QString kLongCount =
    QStringLiteral("select count(*) from N1 a, N2 b, N3 c where a.V + b.V + c.V >= 0");

class EmbeddedRunner : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    const QString alias = "local:" + dir_.path();
    connection_ = connectionForAlias(alias);
    connection_->open(alias, "scott", "tiger");
    for (const char* table : {"N1", "N2", "N3"}) {
      connection_->exec(QStringLiteral("create table %1 (V number)").arg(table));
      connection_->exec(QStringLiteral("insert into %1 values (1)").arg(table));
      for (int held = 1; held < 400; held *= 2)
        connection_->exec(QStringLiteral("insert into %1 select V + %2 from %1 where V + %2 <= 400")
                              .arg(table)
                              .arg(held));
    }
    connection_->commit();
  }

  std::unique_ptr<StatementRunner> runner(Mode mode) {
    return std::make_unique<StatementRunner>(mode, [this] { return connection_.get(); });
  }

  // Cancels `runner` after `delay` from another thread, as Ctrl+C or a Cancel does.
  static std::thread cancelLater(StatementRunner& runner, std::chrono::milliseconds delay) {
    return std::thread([&runner, delay] {
      std::this_thread::sleep_for(delay);
      runner.cancel();
    });
  }

  QTemporaryDir dir_;
  std::unique_ptr<Connection> connection_;
};

QString firstValue(Connection& c, const QString& sql) {
  auto cursor = c.query(sql);
  QList<Row> rows;
  cursor->fetch(rows, 0);
  return rows.isEmpty() ? QString() : rows[0][0].toString();
}

TEST_F(EmbeddedRunner, ALongStatementIsCancelledAndTheConnectionGoesOn) {
  for (Mode mode : {Mode::Inline, Mode::Worker}) {
    std::unique_ptr<StatementRunner> owned = runner(mode);
    StatementRunner& r = *owned;
    std::thread canceller = cancelLater(r, std::chrono::milliseconds(300));
    QElapsedTimer clock;
    clock.start();
    try {
      firstValue(r, kLongCount);
      ADD_FAILURE() << "the count ran to its end";
    } catch (const DbError& e) {
      EXPECT_EQ(e.text(), cancelledText());
    }
    canceller.join();
    EXPECT_LT(clock.elapsed(), 5000) << "the cancel did not stop the statement";
    EXPECT_EQ(r.lastError(), cancelledText());
    // The cancel belonged to that statement alone.
    EXPECT_EQ(firstValue(r, "select count(*) from N1"), "400");
    EXPECT_TRUE(r.lastError().isEmpty());
  }
}

TEST_F(EmbeddedRunner, ACancelledActivityRefusesItsLaterStatementsButNotItsRecovery) {
  std::unique_ptr<StatementRunner> owned = runner(Mode::Worker);
  StatementRunner& r = *owned;
  {
    StatementRunner::Activity import(r, "import");
    r.exec("insert into N1 values (-1)");
    std::thread canceller = cancelLater(r, std::chrono::milliseconds(200));
    EXPECT_THROW(firstValue(r, kLongCount), DbError);
    canceller.join();
    EXPECT_TRUE(r.cancelled());
    // Whatever the activity sends next is refused without running ...
    EXPECT_THROW(r.exec("insert into N1 values (-2)"), DbError);
    // ... except what undoes it.
    StatementRunner::Recovery undo(r);
    r.rollback();
    EXPECT_EQ(firstValue(r, "select count(*) from N1 where V < 0"), "0");
  }
  EXPECT_FALSE(r.cancelled());
  EXPECT_EQ(r.exec("insert into N1 values (-3)"), 1);
}

TEST_F(EmbeddedRunner, PacketsComeInOrderAndAFetchOfEveryRowStopsBetweenPackets) {
  std::unique_ptr<StatementRunner> owned = runner(Mode::Worker);
  StatementRunner& r = *owned;
  qsizetype lastCount = -1;
  bool countsGrow = true;
  StatementRunner::Observer observer;
  observer.fetched = [&](qsizetype rows) {
    countsGrow = countsGrow && rows >= lastCount;
    lastCount = rows;
  };
  r.setObserver(observer);
  auto cursor = r.query("select V from N1 order by V");
  QList<Row> rows;
  EXPECT_EQ(cursor->fetch(rows, 7), 7);
  EXPECT_EQ(cursor->fetch(rows, 0), 393);
  EXPECT_TRUE(cursor->atEnd());
  ASSERT_EQ(rows.size(), 400);
  for (int i = 0; i < rows.size(); ++i) ASSERT_EQ(rows[i][0].toInt(), i + 1);
  EXPECT_TRUE(countsGrow);
  EXPECT_EQ(lastCount, 400);
}

// A driver that cannot interrupt: each statement sleeps until released, and
// the connection counts how many of its statements run at once.
class SlowDriver : public Connection {
 public:
  explicit SlowDriver(std::atomic<int>& opened) : opened_(opened) {}
  void open(const QString&, const QString&, const QString&) override { open_ = true; }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  long long exec(const QString& sql) override {
    const int now = ++running_;
    maxRunning_ = std::max(maxRunning_.load(), now);
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(sql == "slow" ? 3000 : 20);
    while (std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    log_ << sql;  // before the count drops: a test waiting for it reads the log next
    --running_;
    return 1;
  }
  std::unique_ptr<Cursor> query(const QString&) override { return nullptr; }
  void begin() override {}
  void commit() override {}
  void rollback() override {}
  bool inTransaction() const override { return false; }
  QString lastError() const override { return {}; }
  QString display(const QVariant& v) const override { return v.toString(); }
  std::unique_ptr<Connection> openAnother() const override {
    ++opened_;
    auto another = std::make_unique<SlowDriver>(opened_);
    another->open_ = true;
    another->shared_ = shared_;
    return another;
  }

  std::atomic<int>& opened_;
  bool open_ = true;
  std::shared_ptr<SlowDriver> shared_;
  inline static std::atomic<int> running_{0};
  inline static std::atomic<int> maxRunning_{0};
  inline static QStringList log_;
};

TEST(UninterruptibleDriver, RunsOnASecondConnectionThatACancelAbandons) {
  std::atomic<int> opened{0};
  SlowDriver main(opened);
  StatementRunner r(Mode::Worker, [&main] { return &main; });
  SlowDriver::log_.clear();
  r.exec("first");
  EXPECT_EQ(opened, 1) << "a second connection takes the statements";
  std::thread canceller([&r] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    r.cancel();
  });
  QElapsedTimer clock;
  clock.start();
  EXPECT_THROW(r.exec("slow"), DbError);
  canceller.join();
  EXPECT_LT(clock.elapsed(), 1500) << "the caller waited for the abandoned statement";
  r.exec("after");
  EXPECT_EQ(opened, 2) << "the next statement opens a fresh connection";
  EXPECT_TRUE(SlowDriver::log_.contains("after"));
}

TEST(UninterruptibleDriver, NestedCallsFromTheEventLoopWaitTheirTurn) {
  std::atomic<int> opened{0};
  SlowDriver main(opened);
  StatementRunner r(Mode::Worker, [&main] { return &main; });
  // A statement abandoned by another test may still be running on its thread.
  while (SlowDriver::running_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  SlowDriver::maxRunning_ = 0;
  SlowDriver::log_.clear();
  // While the outer statement runs, the waiting thread's event loop starts
  // another one (a timer, as a scroll asking for the next packet would).
  bool innerDone = false;
  QTimer::singleShot(5, [&] {
    r.exec("inner");
    innerDone = true;
  });
  r.exec("outer");
  EXPECT_TRUE(innerDone);
  EXPECT_EQ(SlowDriver::maxRunning_, 1);
  EXPECT_EQ(SlowDriver::log_, QStringList({"outer", "inner"}));
}

}  // namespace
}  // namespace korvo::db
