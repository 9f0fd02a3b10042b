#include "sqlgen/xlsx_export.h"

#include "sqlgen/xlsx_query_sheet.h"

#include <xlsxwriter.h>

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace korvo::sqlgen {
namespace {

// A spreadsheet cell holds at most this many characters.
constexpr int kCellTextLimit = 32767;

QByteArray cellText(const QString& text) {
  if (text.size() <= kCellTextLimit) return text.toUtf8();
  QString cut = text.left(kCellTextLimit);
  if (cut.back().isHighSurrogate()) cut.chop(1);
  return cut.toUtf8();
}

// The program's short date notation ("DD/MM/YYYY") read by the spreadsheet.
QByteArray dateNumberFormat(const QString& shortDateFormat) {
  const QString format = shortDateFormat.trimmed().isEmpty() ? QStringLiteral("dd/mm/yyyy")
                                                             : shortDateFormat.toLower();
  return format.toUtf8();
}

struct Formats {
  lxw_format* date = nullptr;
  lxw_format* dateTime = nullptr;
};

lxw_error writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QVariant& value,
                    const ResultModel& model, const Formats& formats) {
  using Kind = ResultModel::ValueKind;
  switch (ResultModel::kindOf(value)) {
    case Kind::Null:
      return LXW_NO_ERROR;
    case Kind::Integer:
      return worksheet_write_number(sheet, row, col, value.toDouble(), nullptr);
    case Kind::Real:
      if (std::isfinite(value.toDouble()))
        return worksheet_write_number(sheet, row, col, value.toDouble(), nullptr);
      break;
    case Kind::Date: {
      const QDateTime moment = ResultModel::momentOf(value);
      const QDate day = moment.date();
      const QTime time = moment.time();
      // The spreadsheet's calendar starts in 1900; other dates go as their text.
      if (moment.isValid() && day.year() >= 1900 && day.year() <= 9999) {
        lxw_datetime when = {day.year(), day.month(), day.day(), time.hour(), time.minute(),
                             static_cast<double>(time.second())};
        return worksheet_write_datetime(
            sheet, row, col, &when,
            ResultModel::isMidnight(time) ? formats.date : formats.dateTime);
      }
      break;
    }
    case Kind::Text:
      break;
  }
  const QString text = model.displayText(value);
  if (text.isEmpty()) return LXW_NO_ERROR;
  return worksheet_write_string(sheet, row, col, cellText(text).constData(), nullptr);
}

QString fault(const QString& path, const QString& what) {
  return QStringLiteral("%1: %2").arg(path, what);
}

}  // namespace

std::optional<QString> writeGridWorkbook(const QString& path, const ResultModel& model, int rows,
                                         const Provenance* provenance) {
  rows = std::clamp(rows, 0, model.fetchedRows());
  const QStringList titles = model.titles();
  if (static_cast<long long>(rows) + 1 > LXW_ROW_MAX)
    return fault(path, QStringLiteral("%1 rows do not fit in a worksheet").arg(rows));
  if (titles.size() > LXW_COL_MAX)
    return fault(path, QStringLiteral("%1 columns do not fit in a worksheet").arg(titles.size()));

  const QString partPath = path + QStringLiteral(".part");
  lxw_workbook* book = workbook_new(QFile::encodeName(partPath).constData());
  if (!book) return fault(path, QStringLiteral("the workbook could not be created"));
  lxw_error error = LXW_NO_ERROR;
  lxw_worksheet* sheet = workbook_add_worksheet(book, kGridSheetName);
  Formats formats;
  formats.date = workbook_add_format(book);
  formats.dateTime = workbook_add_format(book);
  if (!sheet || !formats.date || !formats.dateTime) {
    error = LXW_ERROR_MEMORY_MALLOC_FAILED;
  } else {
    const QByteArray dateFormat = dateNumberFormat(model.shortDateFormat());
    format_set_num_format(formats.date, dateFormat.constData());
    format_set_num_format(formats.dateTime, (dateFormat + " hh:mm:ss").constData());
  }
  for (int col = 0; error == LXW_NO_ERROR && col < titles.size(); ++col) {
    if (!titles[col].isEmpty())
      error = worksheet_write_string(sheet, 0, col, cellText(titles[col]).constData(), nullptr);
  }
  for (int row = 0; error == LXW_NO_ERROR && row < rows; ++row) {
    for (int col = 0; error == LXW_NO_ERROR && col < titles.size(); ++col)
      error = writeCell(sheet, row + 1, col, model.value(row, col), model, formats);
  }
  if (error == LXW_NO_ERROR && provenance) {
    Provenance copied = *provenance;
    copied.rows = rows;
    copied.complete = rows == model.fetchedRows() && model.atEnd();
    lxw_format* bold = workbook_add_format(book);
    if (bold) format_set_bold(bold);
    error = addQuerySheet(book, bold, copied);
  }
  // Closing writes the file and frees the workbook, also after a failed cell.
  const lxw_error closed = workbook_close(book);
  if (error == LXW_NO_ERROR) error = closed;
  std::error_code ec;
  const std::filesystem::path part(QFile::encodeName(partPath).toStdString());
  if (error != LXW_NO_ERROR) {
    std::filesystem::remove(part, ec);
    return fault(path, QString::fromUtf8(lxw_strerror(error)));
  }
  std::filesystem::rename(part, std::filesystem::path(QFile::encodeName(path).toStdString()), ec);
  if (ec) {
    const QString reason = QString::fromStdString(ec.message());
    std::filesystem::remove(part, ec);
    return fault(path, reason);
  }
  return std::nullopt;
}

}  // namespace korvo::sqlgen
