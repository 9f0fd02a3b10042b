#pragma once
// Every row of a result written to a file: tab-separated (as `korvo run`
// prints), CSV (RFC 4180, UTF-8), a workbook (typed cells, constant memory)
// or an HTML table. The file appears under its name only when complete: a
// failure or a cancel leaves whatever was there before, and no part file.
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "db/connection.h"

namespace korvo::sqlgen {

enum class ExportFormat { Tsv, Csv, Xlsx, Html };
// "tsv", "csv", "xlsx", "html" (any case); nothing for another name.
std::optional<ExportFormat> exportFormatNamed(const QString& name);
// The format a file name's suffix gives; nothing when it gives none.
std::optional<ExportFormat> exportFormatOfPath(const QString& path);

// One line of the condition grid in the user's words.
struct ProvenanceCondition {
  QString connector, open, object, op, operand, close;
};

// What an exported sheet holds and where it came from.
struct Provenance {
  QString universe;
  QStringList resultObjects;
  QList<ProvenanceCondition> conditions;
  QList<QPair<QString, QString>> promptAnswers;  // question, answer
  QString statement;
  QDateTime ranAt;
  long long rows = 0;
  bool complete = true;  // every row of the result is in the file
};

// The label and value lines of the provenance, in this order, for every format.
QList<QPair<QString, QString>> provenanceLines(const Provenance& provenance);
inline constexpr const char* kQuerySheetName = "Query";

// Rows one packet at a time.
class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual QStringList titles() const = 0;
  // Replaces `rows` with the next packet; false at the end. A DbError passes through.
  virtual bool next(QList<db::Row>& rows) = 0;
};

// The rows of a cursor not yet read, in packets of `packetRows`.
class CursorRows : public RowSource {
 public:
  explicit CursorRows(db::Cursor& cursor, int packetRows = 2000);
  QStringList titles() const override { return titles_; }
  bool next(QList<db::Row>& rows) override;

 private:
  db::Cursor& cursor_;
  QStringList titles_;
  int packetRows_;
};

class ResultModel;

// The rows of the result grid: those it holds, then the rest fetched through
// it (the grid shows them too). A packet that fails ends the export with its
// error, never with a file that looks complete.
class ModelRows : public RowSource {
 public:
  explicit ModelRows(ResultModel& model, int packetRows = 2000);
  QStringList titles() const override;
  bool next(QList<db::Row>& rows) override;

 private:
  ResultModel& model_;
  int packetRows_;
  int at_ = 0;
};

struct ExportOptions {
  ExportFormat format = ExportFormat::Csv;
  QChar separator = QLatin1Char(',');  // CSV only
  // A value's text for CSV, TSV, HTML and the workbook's text cells; required.
  std::function<QString(const QVariant&)> text;
  // The workbook's number format for dates ("dd/mm/yyyy").
  QString dateFormat = QStringLiteral("dd/mm/yyyy");
  // The workbook always gets a "Query" sheet from it; CSV and HTML only when
  // `withProvenance` (a trailing comment block, a second table). Its row count
  // and completeness are the export's own.
  Provenance provenance;
  bool withProvenance = false;
  // After each packet, with the rows written so far; false cancels.
  std::function<bool(long long)> progress;
};

struct ExportOutcome {
  enum Status { Written, Cancelled, Failed };
  Status status = Failed;
  long long rows = 0;
  QString error;  // names the file
  bool ok() const { return status == Written; }
};

ExportOutcome exportToFile(const QString& path, RowSource& rows, const ExportOptions& options);

// A CSV field, quoted when it holds the separator, a quote or a line break.
QString csvField(const QString& value, QChar separator);
// The cells as an HTML table, the titles in its head; texts escaped.
QString htmlTable(const QStringList& titles, const QList<QStringList>& rows);

}  // namespace korvo::sqlgen
