#include "db/statement_worker.h"

namespace korvo::db {

std::shared_ptr<StatementWorker> StatementWorker::start() {
  std::shared_ptr<StatementWorker> worker(new StatementWorker);
  // The thread holds the worker alive until it ends, also once retired.
  worker->thread_ = std::thread([self = worker] { self->loop(); });
  worker->thread_.detach();
  return worker;
}

StatementWorker::~StatementWorker() = default;

void StatementWorker::post(std::function<void()> job) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void StatementWorker::retire() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    retired_ = true;
  }
  wake_.notify_one();
}

Connection& StatementWorker::ownConnectionFor(Connection& main) {
  if (!own_ || ownFor_ != &main || !own_->isOpen()) {
    own_.reset();
    ownFor_ = nullptr;
    own_ = main.openAnother();
    if (!own_) throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
    ownFor_ = &main;
  }
  return *own_;
}

void StatementWorker::loop() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return retired_ || !jobs_.empty(); });
      if (jobs_.empty()) break;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
  // Closed on the thread that opened it, as the drivers require.
  if (own_) {
    try {
      own_->close();
    } catch (...) {
      // A connection already lost has nothing left to close.
    }
    own_.reset();
  }
}

}  // namespace korvo::db
