#include "sqlgen/result_export.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include "sqlgen/xlsx_export.h"

namespace korvo::sqlgen {
namespace {

constexpr int kSpreadsheetMissing = 23;
constexpr int kRowsLoaded = 24;
const QString kLineEnd = QStringLiteral("\r\n");

}  // namespace

RowsExport exportFetchedRows(ResultModel& model, const kernel::TextTables& texts) {
  RowsExport out;
  const int startRows = model.fetchedRows();
  const int columns = model.columnCount();
  QString& text = out.text;
  text.reserve((startRows + 1) * columns * 8);
  text += model.titles().join(QLatin1Char('\t'));
  text += kLineEnd;
  QString& html = out.html;
  html += QStringLiteral("<table><tr>");
  for (const QString& title : model.titles())
    html += QStringLiteral("<th>") + title.toHtmlEscaped() + QStringLiteral("</th>");
  html += QStringLiteral("</tr>");
  for (int row = 0; row < startRows; ++row) {
    html += QStringLiteral("<tr>");
    for (int col = 0; col < columns; ++col) {
      if (col > 0) text += QLatin1Char('\t');
      const QString cell = model.displayText(row, col);
      text += cell;
      html += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
    }
    text += kLineEnd;
    html += QStringLiteral("</tr>");
  }
  html += QStringLiteral("</table>");
  out.rowsCopied = startRows;
  // Stepping past the last fetched row brings the next packet, as the grid would.
  if (startRows > 0 && !model.atEnd()) model.fetchNextPacket();
  const int held = model.fetchedRows();
  // Only a packet that came on this step means rows were left behind: a
  // result already fetched whole is never announced as a part of itself.
  if (held > startRows && (held == 1000 || held == 1500 || held == 2000))
    out.message = QString::number(startRows) + QLatin1Char(' ') +
                  texts.messages.value(kRowsLoaded);
  return out;
}

ResultExporter::ResultExporter(kernel::Interaction& interaction, kernel::Opener& opener,
                               ClipboardSetter setClipboard)
    : interaction_(interaction), opener_(opener), setClipboard_(std::move(setClipboard)) {}

void ResultExporter::exportRows(int mode, ResultModel& model, const kernel::TextTables& texts) {
  if (mode == Spreadsheet)
    copyToSpreadsheet(model, texts);
  else
    copyText(model, texts);
}

void ResultExporter::copyText(ResultModel& model, const kernel::TextTables& texts) {
  if (model.columnCount() == 0) return;
  const RowsExport rows = exportFetchedRows(model, texts);
  if (!rows.message.isEmpty()) interaction_.inform(rows.message);
  if (setRichClipboard)
    setRichClipboard(rows.text, rows.html);
  else if (setClipboard_)
    setClipboard_(rows.text);
}

QString ResultExporter::freshWorkbookPath(QString& fault) const {
  const QString folder = workbookFolder_.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::TempLocation)
                             : workbookFolder_;
  QTemporaryFile file(QDir(folder).filePath(QStringLiteral("korvo-grid-data-XXXXXX.xlsx")));
  // The spreadsheet program reads the file after this call returns.
  file.setAutoRemove(false);
  if (!file.open()) {
    fault = QStringLiteral("%1: %2").arg(file.fileTemplate(), file.errorString());
    return QString();
  }
  const QString path = file.fileName();
  file.close();
  return path;
}

void ResultExporter::copyToSpreadsheet(ResultModel& model, const kernel::TextTables& texts) {
  if (model.columnCount() == 0) return;
  QString fault;
  const QString path = freshWorkbookPath(fault);
  bool shown = false;
  if (!path.isEmpty()) {
    if (const std::optional<QString> written = writeGridWorkbook(path, model, model.fetchedRows(),
                                                                     provenance_ ? &*provenance_ : nullptr))
      fault = *written;
    else
      shown = opener_.open(QUrl::fromLocalFile(path));
  }
  if (!shown) {
    // A file nobody will open is not left behind.
    if (!path.isEmpty()) QFile::remove(path);
    interaction_.inform(texts.messages.value(kSpreadsheetMissing));
    // The file fault as well: no spreadsheet program would have helped there.
    if (!fault.isEmpty()) interaction_.error(fault);
    return;
  }
  lastWorkbook_ = path;
  copyText(model, texts);
}

}  // namespace korvo::sqlgen
