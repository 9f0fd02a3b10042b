#pragma once
// A Connection that stands for "whatever the program is connected to now".
// Features that live as long as the program (the universe list, the import)
// hold one of these, while each new login replaces the real connection.
#include <functional>

#include "db/connection.h"

namespace korvo::db {

class CurrentConnection : public Connection {
 public:
  explicit CurrentConnection(std::function<Connection*()> current) : current_(std::move(current)) {}

  void open(const QString& alias, const QString& user, const QString& password) override {
    target().open(alias, user, password);
  }
  void close() override {
    if (auto* c = current_()) c->close();
  }
  bool isOpen() const override {
    auto* c = current_();
    return c && c->isOpen();
  }
  long long exec(const QString& sql) override { return target().exec(sql); }
  std::unique_ptr<Cursor> query(const QString& sql) override { return target().query(sql); }
  void begin() override { target().begin(); }
  void commit() override { target().commit(); }
  void rollback() override { target().rollback(); }
  bool inTransaction() const override {
    auto* c = current_();
    return c && c->inTransaction();
  }
  QString lastError() const override {
    auto* c = current_();
    return c ? c->lastError() : QString();
  }
  QString display(const QVariant& value) const override {
    auto* c = current_();
    return c ? c->display(value) : value.toString();
  }

 private:
  Connection& target() const {
    auto* c = current_();
    if (!c) throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
    return *c;
  }

  std::function<Connection*()> current_;
};

}  // namespace korvo::db
