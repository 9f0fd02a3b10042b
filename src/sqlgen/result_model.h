#pragma once
// ClientDataSetRes: the rows of the last run, read from the server in packets
// of 500 as the grid asks for them, and shown in the program's regional
// format. The model never reads a row nobody asked for: rowCount and data
// only look at what was fetched.
#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "db/connection.h"

namespace korvo::sqlgen {

class ResultModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kPacketRows = 500;
  // True for a cell whose display text is empty (a null, or an empty text).
  static constexpr int kIsNullRole = Qt::UserRole + 1;

  // How a value is shown and exported.
  enum class ValueKind { Null, Integer, Real, Date, Text };
  static ValueKind kindOf(const QVariant& value);
  // A Date value as a date and time (a QDate at midnight).
  static QDateTime momentOf(const QVariant& value);
  static bool isMidnight(const QTime& time) {
    return time.hour() == 0 && time.minute() == 0 && time.second() == 0;
  }

  explicit ResultModel(QObject* parent = nullptr);
  ~ResultModel() override;

  void setRegionalFormat(QChar decimalSeparator, const QString& shortDateFormat);
  QChar decimalSeparator() const { return decimalSeparator_; }
  QString shortDateFormat() const { return shortDateFormat_; }

  // Closes what was open, runs the statement and fetches its first packet.
  // A DbError (from the statement or the first packet) reaches the caller
  // with the model empty; the text is remembered either way, for a refresh.
  void open(db::Connection& connection, const QString& statement);
  void close();
  bool isOpen() const { return cursor_ != nullptr; }
  QString statement() const { return statement_; }

  bool canFetchMore(const QModelIndex& parent = QModelIndex()) const override;
  // One packet. Qt calls it while painting, so it never throws: a failed
  // packet keeps the rows already fetched, stops the fetching and goes to
  // onFetchError.
  void fetchMore(const QModelIndex& parent = QModelIndex()) override;
  // The next packet; false when nothing more can come (end or failure).
  bool fetchNextPacket();
  void fetchAll();
  int fetchedRows() const { return static_cast<int>(rows_.size()); }
  // Every row of the result is fetched, or fetching stopped on an error.
  bool atEnd() const;

  std::function<void(const QString&)> onFetchError;

  QStringList titles() const { return titles_; }
  QVariant value(int row, int column) const;
  QString displayText(int row, int column) const;
  // The program's text of one value: "" for null, numbers with the decimal
  // separator and without grouping or trailing zeros, dates in the short date
  // format (with the time when it is not midnight), text unchanged.
  QString displayText(const QVariant& value) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void clearState();
  void stopOnError(const QString& text);

  QChar decimalSeparator_ = QLatin1Char('.');
  QString shortDateFormat_;
  QString statement_;
  std::unique_ptr<db::Cursor> cursor_;
  db::Connection* connection_ = nullptr;  // the cursor's, while it is open
  QStringList titles_;
  QList<db::Row> rows_;
  bool failed_ = false;    // a later packet failed: no more fetching
  bool fetching_ = false;  // guards against a fetch re-entered from an error handler
};

}  // namespace korvo::sqlgen
