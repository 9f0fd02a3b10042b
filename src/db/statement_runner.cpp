#include "db/statement_runner.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "db/statement_worker.h"

namespace korvo::db {

QString cancelledText() {
  return QStringLiteral("ORA-01013: user requested cancel of current operation");
}

namespace {

// Packets of a fetch of every row: each one a statement of its own for the
// runner, so that a Cancel stops between two of them and the count grows.
constexpr int kPacketRows = 500;

// The end of one job, shared by the waiting thread and the worker.
struct JobState {
  std::mutex mutex;
  std::condition_variable doneSignal;
  bool done = false;
  bool abandoned = false;  // given up on after a Cancel the driver cannot serve
  std::exception_ptr failure;
  QAbstractEventDispatcher* dispatcher = nullptr;  // woken when done

  void finish(std::exception_ptr error) {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      failure = std::move(error);
      done = true;
    }
    doneSignal.notify_all();
    if (dispatcher) dispatcher->wakeUp();
  }
  bool over() {
    const std::lock_guard<std::mutex> lock(mutex);
    return done || abandoned;
  }
};

bool onEventLoopThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread() &&
         QAbstractEventDispatcher::instance() != nullptr;
}

// A cursor whose fetches run through the runner. The jobs hold what they
// touch (the driver's cursor, the packet) by shared pointer: a job given up on
// after a Cancel runs on after this cursor and its caller are gone.
class RunnerCursor : public Cursor {
 public:
  // `columns` and `atEnd` were read where the cursor runs: the end is known
  // only once the first row has been read.
  RunnerCursor(StatementRunner& runner, std::shared_ptr<Cursor> inner, QList<ColumnInfo> columns,
               bool atEnd)
      : runner_(runner), inner_(std::move(inner)), columns_(std::move(columns)), atEnd_(atEnd) {}
  ~RunnerCursor() override {
    // Released where it was opened, after whatever runs before it.
    std::shared_ptr<Cursor> inner(std::move(inner_));
    runner_.post([inner]() mutable { inner.reset(); });
  }

  QList<ColumnInfo> columns() const override { return columns_; }
  bool atEnd() const override { return atEnd_; }

  int fetch(QList<Row>& rows, int maxRows) override {
    if (maxRows > 0) return fetchPacket(rows, maxRows);
    StatementRunner::Activity all(runner_, QString());
    int appended = 0;
    while (!atEnd_) appended += fetchPacket(rows, kPacketRows);
    return appended;
  }

 private:
  struct Packet {
    QList<Row> rows;
    int got = 0;
    bool end = false;
  };

  int fetchPacket(QList<Row>& rows, int maxRows) {
    auto packet = std::make_shared<Packet>();
    runner_.run([packet, inner = inner_, maxRows](Connection&) {
      packet->got = inner->fetch(packet->rows, maxRows);
      packet->end = inner->atEnd();
    });
    rows += packet->rows;
    atEnd_ = packet->end;
    fetched_ += packet->got;
    runner_.noteFetched(fetched_);
    return packet->got;
  }

  StatementRunner& runner_;
  std::shared_ptr<Cursor> inner_;
  QList<ColumnInfo> columns_;
  bool atEnd_ = false;
  qsizetype fetched_ = 0;
};

}  // namespace

StatementRunner::StatementRunner(Mode mode, std::function<Connection*()> current)
    : mode_(mode), current_(std::move(current)) {}

StatementRunner::~StatementRunner() { retireWorker(); }

void StatementRunner::retireWorker() {
  if (!worker_) return;
  // What is queued (a cursor's release) ends before the connection it uses
  // may go: the caller closes or frees it next.
  auto drained = std::make_shared<JobState>();
  worker_->post([drained] { drained->finish(nullptr); });
  {
    std::unique_lock<std::mutex> lock(drained->mutex);
    drained->doneSignal.wait(lock, [&] { return drained->done; });
  }
  worker_->retire();
  worker_.reset();
}

void StatementRunner::abandonWorker() {
  if (worker_) worker_->retire();
  worker_.reset();
}

Connection& StatementRunner::target() const {
  Connection* c = current_();
  if (!c) throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
  return *c;
}

void StatementRunner::beginActivity(const QString& label) {
  if (depth_++ > 0) return;
  cancelRequested_ = false;
  if (observer_.started) observer_.started(label);
}

void StatementRunner::endActivity() {
  if (--depth_ > 0) return;
  const bool wasCancelled = cancelRequested_.exchange(false);
  if (observer_.finished) observer_.finished(wasCancelled);
}

void StatementRunner::noteFetched(qsizetype rows) {
  if (observer_.fetched) observer_.fetched(rows);
}

void StatementRunner::cancel() {
  if (depth_ == 0 && !jobRunning_) return;
  if (recovering_ > 0) return;  // an undo, or work that must not stop halfway
  cancelRequested_ = true;
  if (!jobRunning_) return;
  Connection* c = current_();
  if (c && c->canInterrupt()) c->interrupt();
  // A driver that cannot interrupt: the waiting call gives up on the worker
  // (see run()), which keeps the statement and its connection to itself.
}

void StatementRunner::post(std::function<void()> job) {
  if (mode_ == Mode::Inline || !worker_) {
    job();
    return;
  }
  worker_->post(std::move(job));
}

void StatementRunner::run(const std::function<void(Connection&)>& job, bool refusable) {
  Connection& main = target();
  if (refusable && recovering_ == 0 && depth_ > 0 && cancelRequested_) {
    lastError_ = cancelledText();
    throw DbError(lastError_);
  }
  beginActivity(QString());
  struct End {
    StatementRunner& r;
    ~End() { r.endActivity(); }
  } end{*this};

  if (mode_ == Mode::Inline) {
    jobRunning_ = true;
    try {
      job(main);
    } catch (const DbError& e) {
      jobRunning_ = false;
      lastError_ = e.text();
      throw;
    }
    jobRunning_ = false;
    lastError_.clear();
    return;
  }

  if (!worker_) worker_ = StatementWorker::start();
  const bool ownConnection = !main.canInterrupt();
  auto state = std::make_shared<JobState>();
  const bool eventLoop = onEventLoopThread();
  if (eventLoop) state->dispatcher = QAbstractEventDispatcher::instance();
  std::shared_ptr<StatementWorker> worker = worker_;
  // The job is copied: an abandoned one may outlive this call.
  std::shared_ptr<std::atomic<bool>> cancelFlag = cancelFlag_;
  const bool checkCancel = refusable && recovering_ == 0;
  worker->post([state, job, ownConnection, &main, worker, cancelFlag, checkCancel]() {
    if (state->over()) return;  // given up on before it began
    std::exception_ptr failure;
    try {
      // A Cancel that came while the job waited its turn.
      if (checkCancel && *cancelFlag) throw DbError(cancelledText());
      job(ownConnection ? worker->ownConnectionFor(main) : main);
    } catch (...) {
      failure = std::current_exception();
    }
    state->finish(failure);
  });
  jobRunning_ = true;
  // After a Cancel the interrupt is repeated until the job ends: one sent
  // just before the statement began would otherwise be lost.
  const auto afterCancel = [&] {
    if (!cancelRequested_ || !checkCancel) return;
    if (ownConnection) {
      const std::lock_guard<std::mutex> lock(state->mutex);
      if (!state->done) state->abandoned = true;
    } else {
      main.interrupt();
    }
  };
  if (eventLoop) {
    QTimer tick;
    tick.start(20);
    while (!state->over()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      afterCancel();
    }
  } else {
    std::unique_lock<std::mutex> lock(state->mutex);
    while (!state->done && !state->abandoned) {
      state->doneSignal.wait_for(lock, std::chrono::milliseconds(20));
      lock.unlock();
      afterCancel();
      lock.lock();
    }
  }
  jobRunning_ = false;

  std::exception_ptr failure;
  bool abandoned = false;
  {
    const std::lock_guard<std::mutex> lock(state->mutex);
    abandoned = state->abandoned && !state->done;
    failure = state->failure;
  }
  if (abandoned) {
    // The statement goes on on the server; its connection is closed by the
    // worker when it ends, and a fresh one serves the next statement.
    abandonWorker();
    lastError_ = cancelledText();
    throw DbError(lastError_);
  }
  if (failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const DbError& e) {
      lastError_ = e.text();
      throw;
    }
  }
  lastError_.clear();
}

void StatementRunner::open(const QString& alias, const QString& user, const QString& password) {
  target().open(alias, user, password);
}

void StatementRunner::close() {
  retireWorker();
  if (Connection* c = current_()) c->close();
}

bool StatementRunner::isOpen() const {
  Connection* c = current_();
  return c && c->isOpen();
}

// The jobs below copy their arguments and leave their results in shared
// state, never in the caller's frame, which a Cancel may leave early.
long long StatementRunner::exec(const QString& sql) {
  auto changed = std::make_shared<long long>(0);
  run([changed, sql](Connection& c) { *changed = c.exec(sql); });
  return *changed;
}

std::unique_ptr<Cursor> StatementRunner::query(const QString& sql) {
  struct Opened {
    std::shared_ptr<Cursor> cursor;
    QList<ColumnInfo> columns;
    bool atEnd = false;
  };
  auto opened = std::make_shared<Opened>();
  run([opened, sql](Connection& c) {
    opened->cursor = c.query(sql);
    opened->columns = opened->cursor->columns();
    opened->atEnd = opened->cursor->atEnd();
  });
  noteFetched(0);
  return std::make_unique<RunnerCursor>(*this, opened->cursor, opened->columns, opened->atEnd);
}

void StatementRunner::begin() {
  run([](Connection& c) { c.begin(); });
}

void StatementRunner::commit() {
  run([](Connection& c) { c.commit(); });
}

void StatementRunner::rollback() {
  run([](Connection& c) { c.rollback(); }, false);
}

bool StatementRunner::inTransaction() const {
  Connection* c = current_();
  if (!c) return false;
  if (c->canInterrupt() || mode_ == Mode::Inline || !worker_) return c->inTransaction();
  // The transaction is the worker connection's: asked where it lives.
  auto pending = std::make_shared<bool>(false);
  const_cast<StatementRunner*>(this)->run(
      [pending](Connection& own) { *pending = own.inTransaction(); }, false);
  return *pending;
}

QString StatementRunner::display(const QVariant& value) const {
  Connection* c = current_();
  return c ? c->display(value) : value.toString();
}

StatementRunner::Activity::Activity(Connection& connection, const QString& label)
    : runner_(dynamic_cast<StatementRunner*>(&connection)) {
  if (runner_) runner_->beginActivity(label);
}

StatementRunner::Activity::~Activity() {
  if (runner_) runner_->endActivity();
}

StatementRunner::Recovery::Recovery(Connection& connection)
    : runner_(dynamic_cast<StatementRunner*>(&connection)) {
  if (runner_) ++runner_->recovering_;
}

StatementRunner::Recovery::~Recovery() {
  if (runner_) --runner_->recovering_;
}

}  // namespace korvo::db
