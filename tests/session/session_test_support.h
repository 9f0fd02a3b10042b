#pragma once
// Test doubles for the session folder: a scripted Connection that records what
// it is sent, a main window stand-in, and a temporary current folder (profile
// files live in the current folder).
#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "db/connection.h"
#include "session/connect_target.h"

namespace korvo::session::testing {

// What a ScriptedConnection was told and how it must answer; shared so the
// test still sees it after the connection moved into the main window.
struct Script {
  QStringList log;  // "open alias/user/password", "exec ...", "query ...", "begin", "close"
  QMap<QString, QString> failures;        // statement prefix -> error text
  QMap<QString, QList<db::Row>> answers;  // query text -> rows
  QString openFailure;                    // non-empty: open() throws it
  bool inTransaction = false;

  QStringList statements() const {
    QStringList sent;
    for (const QString& entry : log)
      if (entry.startsWith("exec ") || entry.startsWith("query ")) sent << entry;
    return sent;
  }
};

class ScriptedCursor : public db::Cursor {
 public:
  explicit ScriptedCursor(QList<db::Row> rows) : rows_(std::move(rows)) {}
  QList<db::ColumnInfo> columns() const override { return {db::ColumnInfo{"C1", "VARCHAR2"}}; }
  int fetch(QList<db::Row>& rows, int maxRows) override {
    int n = 0;
    while (next_ < rows_.size() && (maxRows <= 0 || n < maxRows)) {
      rows << rows_[next_++];
      ++n;
    }
    return n;
  }
  bool atEnd() const override { return next_ >= rows_.size(); }

 private:
  QList<db::Row> rows_;
  int next_ = 0;
};

class ScriptedConnection : public db::Connection {
 public:
  explicit ScriptedConnection(std::shared_ptr<Script> script) : script_(std::move(script)) {}

  void open(const QString& alias, const QString& user, const QString& password) override {
    script_->log << "open " + alias + "/" + user + "/" + password;
    if (!script_->openFailure.isEmpty()) throw db::DbError(script_->openFailure);
    open_ = true;
  }
  void close() override {
    script_->log << "close";
    open_ = false;
  }
  bool isOpen() const override { return open_; }
  long long exec(const QString& sql) override {
    script_->log << "exec " + sql;
    failIfScripted(sql);
    return 0;
  }
  std::unique_ptr<db::Cursor> query(const QString& sql) override {
    script_->log << "query " + sql;
    failIfScripted(sql);
    return std::make_unique<ScriptedCursor>(script_->answers.value(sql));
  }
  void begin() override {
    script_->log << "begin";
    script_->inTransaction = true;
  }
  void commit() override { script_->inTransaction = false; }
  void rollback() override { script_->inTransaction = false; }
  bool inTransaction() const override { return script_->inTransaction; }
  QString lastError() const override { return {}; }
  QString display(const QVariant& value) const override { return value.toString(); }

 private:
  void failIfScripted(const QString& sql) {
    for (auto it = script_->failures.begin(); it != script_->failures.end(); ++it)
      if (sql.startsWith(it.key())) throw db::DbError(it.value());
  }

  std::shared_ptr<Script> script_;
  bool open_ = false;
};

// The main window as the connect procedure sees it.
class RecordingTarget : public ConnectTarget {
 public:
  std::unique_ptr<db::Connection> held;
  QStringList calls;
  QString caption;
  QString applicationTitle;

  db::Connection* connection() const override { return held.get(); }
  void setConnection(std::unique_ptr<db::Connection> connection) override {
    calls << "setConnection";
    held = std::move(connection);
  }
  void detachResultGrid() override { calls << "detachResultGrid"; }
  void setWindowCaption(const QString& text) override {
    calls << "setWindowCaption";
    caption = text;
  }
  void setApplicationTitle(const QString& text) override {
    calls << "setApplicationTitle";
    applicationTitle = text;
  }
  void clearClassTree() override { calls << "clearClassTree"; }
  void showUniverseMode() override { calls << "showUniverseMode"; }
};

// Runs a test inside a fresh temporary folder and goes back afterwards.
class TemporaryCurrentFolder {
 public:
  TemporaryCurrentFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(folder_.path()); }
  ~TemporaryCurrentFolder() { QDir::setCurrent(previous_); }
  QString path() const { return folder_.path(); }

 private:
  QTemporaryDir folder_;
  QString previous_;
};

inline void writeFile(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write test file");
  file.write(bytes);
}

inline QByteArray readFile(const QString& name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace korvo::session::testing
