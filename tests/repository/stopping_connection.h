#pragma once
// A Connection in front of a real one that dies after a given number of calls,
// as when the program is killed or the server goes away in the middle of an
// operation: the call that reaches the limit and every later one fail, and
// nothing more reaches the database.
#include "db/connection.h"

namespace korvo::repository::fakes {

class StoppingConnection : public db::Connection {
 public:
  // `calls`: how many statements, queries, begins, commits and rollbacks pass.
  StoppingConnection(db::Connection& inner, long long calls) : inner_(inner), left_(calls) {}

  long long callsPassed() const { return passed_; }
  bool stopped() const { return stopped_; }

  void open(const QString& alias, const QString& user, const QString& password) override {
    inner_.open(alias, user, password);
  }
  void close() override {}
  bool isOpen() const override { return !stopped_ && inner_.isOpen(); }

  long long exec(const QString& sql) override {
    pass();
    return inner_.exec(sql);
  }
  std::unique_ptr<db::Cursor> query(const QString& sql) override {
    pass();
    return inner_.query(sql);
  }
  void begin() override {
    pass();
    inner_.begin();
  }
  void commit() override {
    pass();
    inner_.commit();
  }
  void rollback() override {
    pass();
    inner_.rollback();
  }
  bool inTransaction() const override { return !stopped_ && inner_.inTransaction(); }
  QString lastError() const override {
    return stopped_ ? QStringLiteral("ORA-03114: not connected to ORACLE") : inner_.lastError();
  }
  QString display(const QVariant& value) const override { return inner_.display(value); }

 private:
  void pass() {
    if (stopped_ || left_ <= 0) {
      stopped_ = true;
      throw db::DbError(QStringLiteral("ORA-03113: end-of-file on communication channel"));
    }
    --left_;
    ++passed_;
  }

  db::Connection& inner_;
  long long left_;
  long long passed_ = 0;
  bool stopped_ = false;
};

}  // namespace korvo::repository::fakes
