#pragma once
// The second sheet of every exported workbook, "Query": what the rows of
// the first sheet are, one label and value per line.
#include <xlsxwriter.h>

#include "sqlgen/file_export.h"

namespace korvo::sqlgen {

// Adds the sheet to `book`; `bold` (may be null) for the labels.
lxw_error addQuerySheet(lxw_workbook* book, lxw_format* bold, const Provenance& provenance);

}  // namespace korvo::sqlgen
