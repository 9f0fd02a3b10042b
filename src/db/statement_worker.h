#pragma once
// The thread the window's statements run on: jobs run one at a time in the
// order posted. The thread may own a second connection (for a driver whose
// handles belong to the thread that opened them); it closes that connection
// and ends once it is retired and its queue is empty.
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "db/connection.h"

namespace korvo::db {

class StatementWorker : public std::enable_shared_from_this<StatementWorker> {
 public:
  static std::shared_ptr<StatementWorker> start();
  ~StatementWorker();

  void post(std::function<void()> job);
  // No more jobs: the thread finishes those queued, closes its own connection
  // and ends by itself (a statement stuck on a server is left to finish).
  void retire();

  // Only on the worker's thread: the second connection, opened for `main`
  // with its login when there is none or it was opened for another one.
  Connection& ownConnectionFor(Connection& main);

 private:
  StatementWorker() = default;
  void loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool retired_ = false;
  std::thread thread_;
  std::unique_ptr<Connection> own_;
  Connection* ownFor_ = nullptr;
};

}  // namespace korvo::db
