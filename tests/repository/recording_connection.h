#pragma once
// A Connection that runs nothing: it records every statement, answers
// questions from a list of prepared answers and fails the statements a test
// names, so the import's and the list's exact conversation can be checked.
#include <QRegularExpression>
#include <functional>

#include "db/connection.h"

namespace korvo::repository::fakes {

struct PreparedAnswer {
  QString sqlPart;  // the first answer whose sqlPart occurs in the question is used
  QList<db::ColumnInfo> columns;
  QList<db::Row> rows;
  QString error;  // non-empty: the question fails with this text
};

class RecordingConnection : public db::Connection {
 public:
  QStringList log;  // every exec and query, in order; begin/commit/rollback as words
  QList<PreparedAnswer> answers;
  // Statements containing one of these texts fail with the given error.
  QList<QPair<QString, QString>> failures;
  bool transaction = false;

  void open(const QString&, const QString&, const QString&) override {}
  void close() override {}
  bool isOpen() const override { return true; }

  long long exec(const QString& sql) override {
    log << sql;
    for (const auto& [part, error] : failures) {
      if (sql.contains(part)) {
        last_ = error;
        throw db::DbError(error);
      }
    }
    last_.clear();
    return 0;
  }

  std::unique_ptr<db::Cursor> query(const QString& sql) override {
    log << sql;
    for (const PreparedAnswer& answer : answers) {
      if (!sql.contains(answer.sqlPart)) continue;
      if (!answer.error.isEmpty()) {
        last_ = answer.error;
        throw db::DbError(answer.error);
      }
      return std::make_unique<ListCursor>(answer.columns, answer.rows);
    }
    // "select * from TMP_X": the staging table's columns, no rows.
    return std::make_unique<ListCursor>(columnsFor(sql), QList<db::Row>());
  }

  void begin() override {
    log << "BEGIN";
    transaction = true;
  }
  void commit() override {
    log << "COMMIT";
    transaction = false;
  }
  void rollback() override {
    log << "ROLLBACK";
    transaction = false;
  }
  bool inTransaction() const override { return transaction; }
  QString lastError() const override { return last_; }
  QString display(const QVariant& value) const override { return value.toString(); }

  std::function<QList<db::ColumnInfo>(const QString&)> columnsFor = [](const QString&) {
    return QList<db::ColumnInfo>();
  };

  // The statements logged, without the transaction words.
  QStringList statements() const {
    QStringList out;
    for (const QString& s : log) {
      if (s != "BEGIN" && s != "COMMIT" && s != "ROLLBACK") out << s;
    }
    return out;
  }

 private:
  class ListCursor : public db::Cursor {
   public:
    ListCursor(QList<db::ColumnInfo> columns, QList<db::Row> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}
    QList<db::ColumnInfo> columns() const override { return columns_; }
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
    QList<db::ColumnInfo> columns_;
    QList<db::Row> rows_;
    int next_ = 0;
  };

  QString last_;
};

inline db::ColumnInfo column(const QString& name) {
  db::ColumnInfo info;
  info.name = name;
  return info;
}

inline PreparedAnswer countAnswer(const QString& sqlPart, long long count) {
  return {sqlPart, {column("COUNT(*)")}, {db::Row{QVariant(count)}}, QString()};
}

}  // namespace korvo::repository::fakes
