#include "sqlgen/file_export.h"

#include <xlsxwriter.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "db/tab_separated.h"
#include "sqlgen/result_model.h"
#include "sqlgen/xlsx_query_sheet.h"

namespace korvo::sqlgen {
namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");
// A spreadsheet cell holds at most this many characters.
constexpr int kCellTextLimit = 32767;
// Column widths are taken from the titles and the first rows only: the rows
// after them are written and forgotten.
constexpr long long kWidthSampleRows = 1000;
constexpr double kMaxColumnWidth = 60;

QString faultOf(const QString& path, const QString& what) {
  return QStringLiteral("%1: %2").arg(path, what);
}

class Writer {
 public:
  virtual ~Writer() = default;
  virtual bool begin(const QStringList& titles) = 0;
  virtual bool rows(const QList<db::Row>& rows) = 0;
  // Writes the end and puts the file under its name.
  virtual bool finish(const Provenance* provenance) = 0;
  // Leaves nothing behind.
  virtual void abandon() = 0;
  QString error;
};

// CSV, TSV and HTML: text through a save file, renamed over the target on commit.
class TextWriter : public Writer {
 public:
  TextWriter(const QString& path, const ExportOptions& options)
      : path_(path), options_(options), file_(path) {}

  bool begin(const QStringList& titles) override {
    file_.setDirectWriteFallback(false);
    if (!file_.open(QIODevice::WriteOnly)) return fail(file_.errorString());
    columns_ = titles.size();
    QByteArray out;
    if (options_.format == ExportFormat::Html) {
      out += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>";
      out += QFileInfo(path_).completeBaseName().toHtmlEscaped().toUtf8();
      out += "</title></head>\n<body>\n<table border=\"1\" style=\"border-collapse:collapse\">\n"
             "<thead><tr>";
      for (const QString& t : titles) out += "<th>" + t.toHtmlEscaped().toUtf8() + "</th>";
      out += "</tr></thead>\n<tbody>\n";
    } else {
      out += line(titles);
    }
    return write(out);
  }

  bool rows(const QList<db::Row>& packet) override {
    // One text per packet, turned into UTF-8 once.
    QString out;
    out.reserve(packet.size() * columns_ * 12);
    const bool html = options_.format == ExportFormat::Html;
    for (const db::Row& row : packet) {
      if (html) out += QLatin1String("<tr>");
      for (int col = 0; col < columns_; ++col) {
        const QString field = col < row.size() ? options_.text(row[col]) : QString();
        if (html) {
          out += QLatin1String("<td>");
          out += field.toHtmlEscaped();
          out += QLatin1String("</td>");
        } else {
          if (col > 0) out += options_.format == ExportFormat::Tsv ? QChar(u'\t') : options_.separator;
          appendField(out, field);
        }
      }
      out += html ? QLatin1String("</tr>\n") : options_.format == ExportFormat::Tsv ? QLatin1String("\n")
                                                                                    : QLatin1String("\r\n");
    }
    return write(out.toUtf8());
  }

  bool finish(const Provenance* provenance) override {
    QByteArray out;
    const QList<QPair<QString, QString>> lines =
        provenance ? provenanceLines(*provenance) : QList<QPair<QString, QString>>();
    if (options_.format == ExportFormat::Html) {
      out += "</tbody>\n</table>\n";
      if (provenance) {
        out += "<h2>Query</h2>\n<table border=\"1\" style=\"border-collapse:collapse\">\n";
        for (const auto& [label, value] : lines)
          out += "<tr><th>" + label.toHtmlEscaped().toUtf8() +
                 "</th><td style=\"white-space:pre-wrap\">" + value.toHtmlEscaped().toUtf8() +
                 "</td></tr>\n";
        out += "</table>\n";
      }
      out += "</body></html>\n";
    } else if (provenance) {
      // After the rows, each line behind "# ", a line break inside a value
      // continued on a line of its own, so no reader takes it for a row.
      for (const auto& [label, value] : lines) {
        const QStringList parts = value.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
        out += "# " + label.toUtf8() + ": " + parts.first().toUtf8() + kCrLf;
        for (qsizetype i = 1; i < parts.size(); ++i) out += "#   " + parts[i].toUtf8() + kCrLf;
      }
    }
    if (!write(out)) return false;
    if (!file_.commit()) return fail(file_.errorString());
    return true;
  }

  void abandon() override {
    if (!file_.isOpen()) return;
    file_.cancelWriting();
    file_.commit();  // a cancelled save file only removes its temporary file
  }

 private:
  void appendField(QString& out, const QString& field) const {
    if (options_.format == ExportFormat::Tsv)
      out += db::escapeTabField(field);
    else
      out += csvField(field, options_.separator);
  }
  QByteArray line(const QStringList& fields) const {
    if (options_.format == ExportFormat::Tsv) return db::tabSeparatedLine(fields).toUtf8() + '\n';
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
      if (i > 0) out += QString(options_.separator).toUtf8();
      out += csvField(fields[i], options_.separator).toUtf8();
    }
    return out + kCrLf;
  }
  bool write(const QByteArray& bytes) {
    if (file_.write(bytes) != bytes.size()) return fail(file_.errorString());
    return true;
  }
  bool fail(const QString& why) {
    error = faultOf(path_, why);
    return false;
  }

  QString path_;
  const ExportOptions& options_;
  QSaveFile file_;
  int columns_ = 0;
};

QByteArray cellText(const QString& text) {
  if (text.size() <= kCellTextLimit) return text.toUtf8();
  QString cut = text.left(kCellTextLimit);
  if (cut.back().isHighSurrogate()) cut.chop(1);
  return cut.toUtf8();
}

// The workbook, in constant-memory mode: each row goes to a temporary file as
// it is written, so memory stays flat however many rows come.
class WorkbookWriter : public Writer {
 public:
  WorkbookWriter(const QString& path, const ExportOptions& options)
      : path_(path), part_(path + QStringLiteral(".part")), options_(options) {}
  ~WorkbookWriter() override {
    if (book_) abandon();
  }

  bool begin(const QStringList& titles) override {
    if (titles.size() > LXW_COL_MAX)
      return fail(QStringLiteral("%1 columns do not fit in a worksheet").arg(titles.size()));
    lxw_workbook_options bookOptions{};
    bookOptions.constant_memory = LXW_TRUE;
    book_ = workbook_new_opt(QFile::encodeName(part_).constData(), &bookOptions);
    if (!book_) return fail(QStringLiteral("the workbook could not be created"));
    sheet_ = workbook_add_worksheet(book_, "Grid Data");
    bold_ = workbook_add_format(book_);
    date_ = workbook_add_format(book_);
    dateTime_ = workbook_add_format(book_);
    if (!sheet_ || !bold_ || !date_ || !dateTime_) return failed(LXW_ERROR_MEMORY_MALLOC_FAILED);
    format_set_bold(bold_);
    const QByteArray dateFormat = options_.dateFormat.toLower().toUtf8();
    format_set_num_format(date_, dateFormat.constData());
    format_set_num_format(dateTime_, (dateFormat + " hh:mm:ss").constData());
    worksheet_freeze_panes(sheet_, 1, 0);
    columns_ = static_cast<int>(titles.size());
    widths_.assign(columns_, 0);
    for (int col = 0; col < columns_; ++col) {
      widen(col, titles[col].size());
      if (titles[col].isEmpty()) continue;
      if (const lxw_error e =
              worksheet_write_string(sheet_, 0, col, cellText(titles[col]).constData(), bold_))
        return failed(e);
    }
    return true;
  }

  bool rows(const QList<db::Row>& packet) override {
    for (const db::Row& row : packet) {
      if (row_ + 1 >= LXW_ROW_MAX)
        return fail(QStringLiteral("more than %1 rows do not fit in a worksheet").arg(LXW_ROW_MAX - 1));
      ++row_;
      for (int col = 0; col < columns_ && col < row.size(); ++col)
        if (const lxw_error e = cell(sheet_, row_, col, row[col])) return failed(e);
    }
    return true;
  }

  bool finish(const Provenance* provenance) override {
    for (int col = 0; col < columns_; ++col)
      worksheet_set_column(sheet_, col, col, std::min(kMaxColumnWidth, widths_[col] + 2.0), nullptr);
    if (provenance && !querySheet(*provenance)) return false;
    const lxw_error closed = workbook_close(book_);
    book_ = nullptr;
    std::error_code ec;
    const std::filesystem::path part(QFile::encodeName(part_).toStdString());
    if (closed != LXW_NO_ERROR) {
      std::filesystem::remove(part, ec);
      return fail(QString::fromUtf8(lxw_strerror(closed)));
    }
    std::filesystem::rename(part, std::filesystem::path(QFile::encodeName(path_).toStdString()), ec);
    if (ec) {
      const QString reason = QString::fromStdString(ec.message());
      std::filesystem::remove(part, ec);
      return fail(reason);
    }
    return true;
  }

  void abandon() override {
    if (book_) workbook_close(book_);
    book_ = nullptr;
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(QFile::encodeName(part_).toStdString()), ec);
  }

 private:
  void widen(int col, qsizetype chars) {
    if (row_ < kWidthSampleRows) widths_[col] = std::max(widths_[col], static_cast<double>(chars));
  }

  lxw_error cell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QVariant& value) {
    using Kind = ResultModel::ValueKind;
    switch (ResultModel::kindOf(value)) {
      case Kind::Null:
        return LXW_NO_ERROR;
      case Kind::Integer:
      case Kind::Real:
        if (!std::isfinite(value.toDouble())) break;
        if (row_ < kWidthSampleRows) widen(col, options_.text(value).size());
        return worksheet_write_number(sheet, row, col, value.toDouble(), nullptr);
      case Kind::Date: {
        const QDateTime moment = ResultModel::momentOf(value);
        const QDate day = moment.date();
        const QTime time = moment.time();
        // The spreadsheet's calendar starts in 1900; other dates go as their text.
        if (moment.isValid() && day.year() >= 1900 && day.year() <= 9999) {
          const bool midnight = ResultModel::isMidnight(time);
          widen(col, options_.dateFormat.size() + (midnight ? 0 : 9));
          lxw_datetime when = {day.year(), day.month(), day.day(), time.hour(), time.minute(),
                               static_cast<double>(time.second())};
          return worksheet_write_datetime(sheet, row, col, &when, midnight ? date_ : dateTime_);
        }
        break;
      }
      case Kind::Text:
        break;
    }
    const QString text = options_.text(value);
    if (text.isEmpty()) return LXW_NO_ERROR;
    widen(col, text.size());
    return worksheet_write_string(sheet, row, col, cellText(text).constData(), nullptr);
  }

  bool querySheet(const Provenance& provenance) {
    if (const lxw_error e = addQuerySheet(book_, bold_, provenance)) return failed(e);
    return true;
  }

  bool failed(lxw_error e) { return fail(QString::fromUtf8(lxw_strerror(e))); }
  bool fail(const QString& why) {
    error = faultOf(path_, why);
    return false;
  }

  QString path_;
  QString part_;
  const ExportOptions& options_;
  lxw_workbook* book_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  lxw_format* bold_ = nullptr;
  lxw_format* date_ = nullptr;
  lxw_format* dateTime_ = nullptr;
  int columns_ = 0;
  lxw_row_t row_ = 0;  // the last row written; 0 is the titles
  std::vector<double> widths_;
};

QString conditionText(const ProvenanceCondition& c) {
  QStringList words;
  // In the grid's own order: a closing run belongs before the connector.
  for (const QString& w : {c.close, c.connector, c.open, c.object, c.op, c.operand})
    if (!w.isEmpty()) words << w;
  return words.join(QLatin1Char(' '));
}

}  // namespace

std::optional<ExportFormat> exportFormatNamed(const QString& name) {
  const QString n = name.trimmed().toLower();
  if (n == u"tsv") return ExportFormat::Tsv;
  if (n == u"csv") return ExportFormat::Csv;
  if (n == u"xlsx") return ExportFormat::Xlsx;
  if (n == u"html" || n == u"htm") return ExportFormat::Html;
  return std::nullopt;
}

std::optional<ExportFormat> exportFormatOfPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix();
  if (suffix.compare(u"txt", Qt::CaseInsensitive) == 0) return ExportFormat::Tsv;
  return exportFormatNamed(suffix);
}

QList<QPair<QString, QString>> provenanceLines(const Provenance& p) {
  QList<QPair<QString, QString>> out;
  out << qMakePair(QStringLiteral("Universe"), p.universe);
  out << qMakePair(QStringLiteral("Result objects"), p.resultObjects.join(QStringLiteral(", ")));
  for (qsizetype i = 0; i < p.conditions.size(); ++i)
    out << qMakePair(i == 0 ? QStringLiteral("Conditions") : QString(), conditionText(p.conditions[i]));
  if (p.conditions.isEmpty()) out << qMakePair(QStringLiteral("Conditions"), QString());
  for (const auto& [question, answer] : p.promptAnswers)
    out << qMakePair(QStringLiteral("Prompt"), question + QStringLiteral(" = ") + answer);
  out << qMakePair(QStringLiteral("Statement"), p.statement);
  out << qMakePair(QStringLiteral("Run at"), p.ranAt.toString(Qt::ISODate));
  out << qMakePair(QStringLiteral("Rows"), QString::number(p.rows));
  out << qMakePair(QStringLiteral("Every row fetched"),
                   p.complete ? QStringLiteral("yes") : QStringLiteral("no"));
  return out;
}

CursorRows::CursorRows(db::Cursor& cursor, int packetRows)
    : cursor_(cursor), packetRows_(std::max(1, packetRows)) {
  for (const db::ColumnInfo& column : cursor.columns()) titles_ << column.name;
}

bool CursorRows::next(QList<db::Row>& rows) {
  rows.clear();
  if (cursor_.atEnd()) return false;
  return cursor_.fetch(rows, packetRows_) > 0;
}

ModelRows::ModelRows(ResultModel& model, int packetRows)
    : model_(model), packetRows_(std::max(1, packetRows)) {}

QStringList ModelRows::titles() const { return model_.titles(); }

bool ModelRows::next(QList<db::Row>& rows) {
  rows.clear();
  while (at_ >= model_.fetchedRows() && !model_.atEnd()) {
    // The grid's own handler would show the error; here it ends the export.
    QString failure;
    std::function<void(const QString&)> shown = std::move(model_.onFetchError);
    model_.onFetchError = [&failure](const QString& text) { failure = text; };
    const bool more = model_.fetchNextPacket();
    model_.onFetchError = std::move(shown);
    if (!failure.isEmpty()) throw db::DbError(failure);
    if (!more) break;
  }
  const int end = std::min(model_.fetchedRows(), at_ + packetRows_);
  for (; at_ < end; ++at_) {
    db::Row row;
    row.reserve(model_.columnCount());
    for (int col = 0; col < model_.columnCount(); ++col) row << model_.value(at_, col);
    rows << row;
  }
  return !rows.isEmpty();
}

QString csvField(const QString& value, QChar separator) {
  bool quote = false;
  for (const QChar c : value)
    if (c == separator || c == u'"' || c == u'\n' || c == u'\r') {
      quote = true;
      break;
    }
  if (!quote) return value;
  QString out = value;
  out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + out + QLatin1Char('"');
}

QString htmlTable(const QStringList& titles, const QList<QStringList>& rows) {
  QString out = QStringLiteral("<table><tr>");
  for (const QString& t : titles) out += QStringLiteral("<th>") + t.toHtmlEscaped() + QStringLiteral("</th>");
  out += QStringLiteral("</tr>");
  for (const QStringList& row : rows) {
    out += QStringLiteral("<tr>");
    for (const QString& f : row) out += QStringLiteral("<td>") + f.toHtmlEscaped() + QStringLiteral("</td>");
    out += QStringLiteral("</tr>");
  }
  return out + QStringLiteral("</table>");
}

ExportOutcome exportToFile(const QString& path, RowSource& source, const ExportOptions& options) {
  ExportOutcome outcome;
  std::unique_ptr<Writer> writer;
  if (options.format == ExportFormat::Xlsx)
    writer = std::make_unique<WorkbookWriter>(path, options);
  else
    writer = std::make_unique<TextWriter>(path, options);
  const auto stop = [&](ExportOutcome::Status status, const QString& error) {
    writer->abandon();
    outcome.status = status;
    outcome.error = error;
    return outcome;
  };
  if (!options.text) return stop(ExportOutcome::Failed, faultOf(path, QStringLiteral("no value format")));
  if (!writer->begin(source.titles())) return stop(ExportOutcome::Failed, writer->error);
  QList<db::Row> packet;
  try {
    while (source.next(packet)) {
      if (!writer->rows(packet)) return stop(ExportOutcome::Failed, writer->error);
      outcome.rows += packet.size();
      if (options.progress && !options.progress(outcome.rows))
        return stop(ExportOutcome::Cancelled, QString());
    }
  } catch (const db::DbError& e) {
    return stop(ExportOutcome::Failed, e.text());
  }
  const bool provenance = options.format == ExportFormat::Xlsx || options.withProvenance;
  Provenance p = options.provenance;
  p.rows = outcome.rows;
  p.complete = true;
  if (!writer->finish(provenance ? &p : nullptr)) return stop(ExportOutcome::Failed, writer->error);
  outcome.status = ExportOutcome::Written;
  return outcome;
}

}  // namespace korvo::sqlgen
