#pragma once
// The result rows as a workbook of one sheet, "Grid Data": the titles on
// row 1, then one row per result row; numbers and dates keep their type.
#include <QString>
#include <optional>

#include "sqlgen/file_export.h"
#include "sqlgen/result_model.h"

namespace korvo::sqlgen {

inline constexpr const char* kGridSheetName = "Grid Data";

// Writes the first `rows` rows of the model to `path`, through `path`.part
// renamed at the end, so a failure leaves no file behind. Returns the fault,
// naming the file, or nothing on success. With a provenance, a second sheet
// "Query" says what the rows are (its row count and completeness the sheet's).
std::optional<QString> writeGridWorkbook(const QString& path, const ResultModel& model, int rows,
                                         const Provenance* provenance = nullptr);

}  // namespace korvo::sqlgen
