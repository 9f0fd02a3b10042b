#pragma once
// The road of every statement the program sends: a Connection that hands each
// call of the current connection to a runner, one at a time and in the order
// sent, and that a Cancel stops.
//
// The window runs it with a worker thread: the statement runs there while the
// window's thread turns its event loop (repaint, scrolling, the Cancel button),
// and the call returns to its caller as if it had run in place, so the order of
// steps and the messages of every feature stay as they are. The command line
// runs it inline: the statement runs on the calling thread, and a Ctrl+C from
// another thread cancels it.
//
// A driver that can interrupt a statement (the embedded engine) runs on the
// current connection itself. One that cannot (Qt's SQL drivers) runs on a
// second connection with the same login, opened on the worker; a Cancel
// abandons that connection to its thread, which closes it when the server
// answers, and the next call opens a fresh one, so the main connection and its
// transaction are never left in an unknown state.
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "db/connection.h"

namespace korvo::db {

class StatementWorker;

class StatementRunner : public Connection {
 public:
  enum class Mode { Inline, Worker };

  // What the window shows while a statement runs; every call is made on the
  // thread that sent the statement.
  struct Observer {
    std::function<void(const QString& activity)> started;  // empty activity: a plain statement
    std::function<void(qsizetype rowsFetched)> fetched;     // rows of the open result so far
    std::function<void(bool cancelled)> finished;
  };

  StatementRunner(Mode mode, std::function<Connection*()> current);
  ~StatementRunner() override;

  void setObserver(Observer observer) { observer_ = std::move(observer); }

  // Stops what runs now: the running statement ends with ORA-01013 and every
  // later statement of the same activity is refused with it, except those of a
  // Recovery. Safe to call from any thread; nothing happens when nothing runs.
  void cancel();
  bool isRunning() const { return depth_ > 0; }
  // A statement is on its way and the calling thread waits for it.
  bool isWaiting() const { return jobRunning_; }
  bool cancelled() const { return cancelRequested_; }

  // Connection: each call goes through the runner.
  void open(const QString& alias, const QString& user, const QString& password) override;
  void close() override;
  bool isOpen() const override;
  long long exec(const QString& sql) override;
  std::unique_ptr<Cursor> query(const QString& sql) override;
  void begin() override;
  void commit() override;
  void rollback() override;
  bool inTransaction() const override;
  QString lastError() const override { return lastError_; }
  QString display(const QVariant& value) const override;
  bool canInterrupt() const override { return true; }
  void interrupt() override { cancel(); }

  // Several statements shown and cancelled as one (an import, a fetch of
  // every row). Without a runner underneath, it does nothing.
  class Activity {
   public:
    Activity(Connection& connection, const QString& label);
    ~Activity();
    Activity(const Activity&) = delete;
    Activity& operator=(const Activity&) = delete;

   private:
    StatementRunner* runner_;
  };

  // The statements that undo a cancelled activity run even after the Cancel,
  // and a Cancel while they run is not taken.
  class Recovery {
   public:
    explicit Recovery(Connection& connection);
    ~Recovery();
    Recovery(const Recovery&) = delete;
    Recovery& operator=(const Recovery&) = delete;

   private:
    StatementRunner* runner_;
  };

  // Runs `job` on the connection that takes the statements (the worker's own
  // for a driver that cannot interrupt), waits for it and rethrows its error.
  // `refusable`: refused with ORA-01013 after a Cancel of the activity.
  void run(const std::function<void(Connection&)>& job, bool refusable = true);

  // For the cursors: the observer's count of fetched rows.
  void noteFetched(qsizetype rows);
  // A job that needs no answer (a cursor closed), in order with the others.
  void post(std::function<void()> job);

 private:
  void beginActivity(const QString& label);
  void endActivity();
  Connection& target() const;
  void retireWorker();   // after the jobs queued have run
  void abandonWorker();  // at once, leaving it a statement stuck on a server

  Mode mode_;
  std::function<Connection*()> current_;
  Observer observer_;
  std::shared_ptr<StatementWorker> worker_;
  std::atomic<int> depth_{0};  // activities open, the implicit one of a lone call included
  std::atomic<int> recovering_{0};  // Recovery scopes open
  std::shared_ptr<std::atomic<bool>> cancelFlag_ = std::make_shared<std::atomic<bool>>(false);
  std::atomic<bool>& cancelRequested_ = *cancelFlag_;
  std::atomic<bool> jobRunning_{false};
  QString lastError_;
};

// ORA-01013, the error of a cancelled statement.
QString cancelledText();

}  // namespace korvo::db
