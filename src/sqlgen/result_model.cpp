#include "sqlgen/result_model.h"

#include "db/statement_runner.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

#include "session/short_date_format.h"

namespace korvo::sqlgen {
namespace {

// Shortest digits that read back as the same double; plain digits in the
// range people read as numbers, an exponent only far outside it.
QString doubleText(double number) {
  if (number == 0.0) return QStringLiteral("0");
  if (!std::isfinite(number)) return QString::number(number);
  const double magnitude = std::fabs(number);
  const char form = magnitude >= 1e-7 && magnitude < 1e21 ? 'f' : 'g';
  return QString::number(number, form, QLocale::FloatingPointShortest);
}

}  // namespace

ResultModel::ValueKind ResultModel::kindOf(const QVariant& value) {
  if (!value.isValid() || value.isNull()) return ValueKind::Null;
  switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
      return ValueKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
      return ValueKind::Real;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
      return ValueKind::Date;
    default:
      return ValueKind::Text;
  }
}

QDateTime ResultModel::momentOf(const QVariant& value) {
  if (value.metaType().id() == QMetaType::QDate) return QDateTime(value.toDate(), QTime(0, 0));
  return value.toDateTime();
}

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

ResultModel::~ResultModel() = default;

void ResultModel::setRegionalFormat(QChar decimalSeparator, const QString& shortDateFormat) {
  decimalSeparator_ = decimalSeparator;
  shortDateFormat_ = shortDateFormat;
  if (!rows_.isEmpty() && !titles_.isEmpty())
    emit dataChanged(index(0, 0), index(fetchedRows() - 1, columnCount() - 1), {Qt::DisplayRole});
}

void ResultModel::clearState() {
  cursor_.reset();
  connection_ = nullptr;
  titles_.clear();
  rows_.clear();
  failed_ = false;
}

void ResultModel::open(db::Connection& connection, const QString& statement) {
  // The statement runs with the rows shown before still there to scroll; they
  // go when its first packet comes, or when it fails.
  std::unique_ptr<db::Cursor> cursor;
  QStringList titles;
  QList<db::Row> rows;
  try {
    cursor = connection.query(statement);
    for (const db::ColumnInfo& column : cursor->columns()) titles << column.name;
    cursor->fetch(rows, kPacketRows);
  } catch (...) {
    beginResetModel();
    clearState();
    statement_ = statement;
    endResetModel();
    throw;
  }
  beginResetModel();
  clearState();
  statement_ = statement;
  cursor_ = std::move(cursor);
  connection_ = &connection;
  titles_ = titles;
  rows_ = std::move(rows);
  endResetModel();
}

void ResultModel::close() {
  beginResetModel();
  clearState();
  endResetModel();
}

bool ResultModel::atEnd() const {
  if (!cursor_ || failed_) return true;
  try {
    return cursor_->atEnd();
  } catch (const db::DbError&) {
    // The next fetch reports it; until then there may be more.
    return false;
  }
}

bool ResultModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && !fetching_ && !atEnd();
}

void ResultModel::fetchMore(const QModelIndex& parent) {
  if (!parent.isValid()) fetchNextPacket();
}

void ResultModel::stopOnError(const QString& text) {
  failed_ = true;
  if (onFetchError) onFetchError(text);
}

bool ResultModel::fetchNextPacket() {
  if (fetching_ || atEnd()) return false;
  fetching_ = true;
  QList<db::Row> packet;
  QString error;
  try {
    cursor_->fetch(packet, kPacketRows);
  } catch (const db::DbError& e) {
    error = e.text();
  } catch (const std::exception& e) {
    error = QString::fromUtf8(e.what());
  }
  if (!packet.isEmpty()) {
    const int first = fetchedRows();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(packet.size()) - 1);
    rows_.append(std::move(packet));
    endInsertRows();
  }
  fetching_ = false;
  if (!error.isEmpty()) {
    stopOnError(error);
    return false;
  }
  return !atEnd();
}

void ResultModel::fetchAll() {
  // One activity: the count grows packet by packet and a Cancel stops them all.
  if (!connection_) return;
  const db::StatementRunner::Activity all(*connection_, QString());
  while (fetchNextPacket()) {
  }
}

QVariant ResultModel::value(int row, int column) const {
  if (row < 0 || row >= fetchedRows() || column < 0 || column >= rows_[row].size()) return {};
  return rows_[row][column];
}

QString ResultModel::displayText(int row, int column) const {
  return displayText(value(row, column));
}

QString ResultModel::displayText(const QVariant& value) const {
  switch (kindOf(value)) {
    case ValueKind::Null:
      return QString();
    case ValueKind::Integer:
      return value.toString();
    case ValueKind::Real: {
      QString text = doubleText(value.toDouble());
      text.replace(QLatin1Char('.'), decimalSeparator_);
      return text;
    }
    case ValueKind::Date: {
      const QDateTime moment = momentOf(value);
      if (!moment.isValid()) return QString();
      QString text = session::formatProgramDate(moment.date(), shortDateFormat_);
      if (!isMidnight(moment.time())) text += moment.time().toString(QStringLiteral(" hh:mm:ss"));
      return text;
    }
    case ValueKind::Text:
      break;
  }
  return value.toString();
}

int ResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : fetchedRows();
}

int ResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return displayText(index.row(), index.column());
    case kIsNullRole:
      return displayText(index.row(), index.column()).isEmpty();
    case Qt::TextAlignmentRole: {
      // Numbers line up on their last digit, as in a spreadsheet.
      const ValueKind kind = kindOf(value(index.row(), index.column()));
      const bool number = kind == ValueKind::Integer || kind == ValueKind::Real;
      return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
      return {};
  }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return titles_.value(section);
  return section + 1;
}

Qt::ItemFlags ResultModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace korvo::sqlgen
