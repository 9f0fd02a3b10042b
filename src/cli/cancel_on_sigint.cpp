#include "cli/cancel_on_sigint.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "db/statement_runner.h"

namespace korvo::cli {

namespace {

std::atomic<bool> interrupted{false};
std::mutex runnerGuard;
db::StatementRunner* activeRunner = nullptr;  // under runnerGuard

// How long the command may take to end by itself once its statement stopped.
constexpr auto kGrace = std::chrono::seconds(2);

void watch(sigset_t set) {
  int signal = 0;
  while (sigwait(&set, &signal) == 0) {
    if (signal != SIGINT || interrupted.exchange(true)) continue;
    // The interrupted statement ends the command (see endInterrupted()), and
    // so does the next one it would send; the cancel is repeated in case the
    // signal came just before a statement began. A command that never reaches
    // the database again is ended here.
    const auto until = std::chrono::steady_clock::now() + kGrace;
    while (std::chrono::steady_clock::now() < until) {
      {
        const std::lock_guard<std::mutex> lock(runnerGuard);
        if (activeRunner) activeRunner->cancel();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const QByteArray text = db::cancelledText().toUtf8() + '\n';
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text.constData(), size_t(text.size()));
    ::_exit(1);
  }
}

// Stops the command where its statement was interrupted (or where it would
// send the next one): what it wrote is
// flushed, then the error, then the exit with status 1.
[[noreturn]] void endInterrupted(CliStreams& streams) {
  streams.out.flush();
  streams.err << db::cancelledText() << '\n';
  streams.err.flush();
  std::fflush(nullptr);
  ::_exit(1);
}

class CancellableCursor : public db::Cursor {
 public:
  CancellableCursor(std::unique_ptr<db::Cursor> inner, CliStreams& streams)
      : inner_(std::move(inner)), streams_(streams) {}
  QList<db::ColumnInfo> columns() const override { return inner_->columns(); }
  bool atEnd() const override { return inner_->atEnd(); }
  int fetch(QList<db::Row>& rows, int maxRows) override {
    if (interrupted) endInterrupted(streams_);
    try {
      return inner_->fetch(rows, maxRows);
    } catch (const db::DbError&) {
      if (interrupted) endInterrupted(streams_);
      throw;
    }
  }

 private:
  std::unique_ptr<db::Cursor> inner_;
  CliStreams& streams_;
};

class CancellableConnection : public db::Connection {
 public:
  CancellableConnection(std::unique_ptr<db::Connection> real, CliStreams& streams)
      : real_(std::move(real)),
        runner_(db::StatementRunner::Mode::Inline, [this] { return real_.get(); }),
        streams_(streams) {
    const std::lock_guard<std::mutex> lock(runnerGuard);
    activeRunner = &runner_;
  }
  ~CancellableConnection() override {
    const std::lock_guard<std::mutex> lock(runnerGuard);
    if (activeRunner == &runner_) activeRunner = nullptr;
  }

  void open(const QString& a, const QString& u, const QString& p) override {
    guarded([&] { runner_.open(a, u, p); });
  }
  void close() override { runner_.close(); }
  bool isOpen() const override { return runner_.isOpen(); }
  long long exec(const QString& sql) override {
    long long n = 0;
    guarded([&] { n = runner_.exec(sql); });
    return n;
  }
  std::unique_ptr<db::Cursor> query(const QString& sql) override {
    std::unique_ptr<db::Cursor> cursor;
    guarded([&] { cursor = runner_.query(sql); });
    return std::make_unique<CancellableCursor>(std::move(cursor), streams_);
  }
  void begin() override { guarded([&] { runner_.begin(); }); }
  void commit() override { guarded([&] { runner_.commit(); }); }
  void rollback() override { guarded([&] { runner_.rollback(); }); }
  bool inTransaction() const override { return runner_.inTransaction(); }
  QString lastError() const override { return runner_.lastError(); }
  QString display(const QVariant& v) const override { return runner_.display(v); }

 private:
  template <class F>
  void guarded(F&& call) {
    if (interrupted) endInterrupted(streams_);
    try {
      call();
    } catch (const db::DbError&) {
      if (interrupted) endInterrupted(streams_);
      throw;
    }
  }

  std::unique_ptr<db::Connection> real_;
  db::StatementRunner runner_;
  CliStreams& streams_;
};

}  // namespace

void installSigintCancel() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return;
  std::thread(watch, set).detach();
}

std::unique_ptr<db::Connection> cancellableConnection(std::unique_ptr<db::Connection> real,
                                                      CliStreams& streams) {
  return std::make_unique<CancellableConnection>(std::move(real), streams);
}

}  // namespace korvo::cli
