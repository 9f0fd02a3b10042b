#pragma once
// ExportDBGrid: the fetched result rows as tab-separated text, with a title
// line, for the clipboard (mode 0) or for a new spreadsheet (mode 1).
#include <QString>
#include <functional>
#include <optional>

#include "kernel/interaction.h"
#include "kernel/language.h"
#include "kernel/opener.h"
#include "sqlgen/file_export.h"
#include "sqlgen/result_model.h"

namespace korvo::sqlgen {

struct RowsExport {
  QString text;     // titles, then one line per row; tabs between, CR LF after every line
  QString html;     // the same cells as an HTML table, for a second clipboard format
  QString message;  // the "rows loaded, click Last row" notice, or empty
  int rowsCopied = 0;
};

// The rows the model holds when called, then one step past the last of them:
// that fetches the next packet when the result has more. Values go out as
// the grid shows them, nothing quoted or escaped.
RowsExport exportFetchedRows(ResultModel& model, const kernel::TextTables& texts);

class ResultExporter {
 public:
  enum Mode { Clipboard = 0, Spreadsheet = 1 };
  using ClipboardSetter = std::function<void(const QString&)>;

  ResultExporter(kernel::Interaction& interaction, kernel::Opener& opener,
                 ClipboardSetter setClipboard);

  // Nothing when the model has no column.
  void exportRows(int mode, ResultModel& model, const kernel::TextTables& texts);
  void copyText(ResultModel& model, const kernel::TextTables& texts);
  // A workbook with the rows in a fresh temporary file, opened by the
  // platform, and the same text on the clipboard. When the workbook cannot
  // be written or opened: the "spreadsheet not found" message, no fetch and
  // nothing on the clipboard.
  void copyToSpreadsheet(ResultModel& model, const kernel::TextTables& texts);

  // Where workbooks go (the temporary folder unless set) and the last one written.
  void setWorkbookFolder(const QString& folder) { workbookFolder_ = folder; }
  // What the workbook's "Query" sheet says of the rows; without it, the workbook has none.
  // Puts the plain text and the HTML table of the same cells on the clipboard
  // together; when set, it is used in place of the plain-text setter.
  std::function<void(const QString& text, const QString& html)> setRichClipboard;
  void setProvenance(const Provenance& provenance) { provenance_ = provenance; }
  QString lastWorkbook() const { return lastWorkbook_; }

 private:
  // A new empty file under the workbook folder; "" and `fault` set on failure.
  QString freshWorkbookPath(QString& fault) const;

  kernel::Interaction& interaction_;
  kernel::Opener& opener_;
  ClipboardSetter setClipboard_;
  QString workbookFolder_;
  QString lastWorkbook_;
  std::optional<Provenance> provenance_;
};

}  // namespace korvo::sqlgen
