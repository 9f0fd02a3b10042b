#include "sqlgen/xlsx_query_sheet.h"

namespace korvo::sqlgen {

lxw_error addQuerySheet(lxw_workbook* book, lxw_format* bold, const Provenance& provenance) {
  lxw_worksheet* sheet = workbook_add_worksheet(book, kQuerySheetName);
  if (!sheet) return LXW_ERROR_MEMORY_MALLOC_FAILED;
  worksheet_set_column(sheet, 0, 0, 22, bold);
  worksheet_set_column(sheet, 1, 1, 80, nullptr);
  lxw_row_t row = 0;
  for (const auto& [label, value] : provenanceLines(provenance)) {
    // A cell holds at most 32,767 characters: a longer statement is cut.
    const QByteArray labelText = label.toUtf8();
    const QByteArray valueText = value.left(32767).toUtf8();
    if (!label.isEmpty())
      if (const lxw_error e = worksheet_write_string(sheet, row, 0, labelText.constData(), bold)) return e;
    if (!value.isEmpty())
      if (const lxw_error e = worksheet_write_string(sheet, row, 1, valueText.constData(), nullptr)) return e;
    ++row;
  }
  return LXW_NO_ERROR;
}

}  // namespace korvo::sqlgen
