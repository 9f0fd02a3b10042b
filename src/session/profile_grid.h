#pragma once
// The connection profile grids are kernel Grids; removing a row and sorting by
// a column are the profile grids' own rules.
#include "kernel/grid.h"

namespace korvo::kernel {
struct AppState;
}

namespace korvo::session {

using kernel::Grid;

// Removes a row by moving the following rows up one place; the title row
// survives the removal of the last profile because a grid keeps one row.
void RemoveLine(Grid& grid, int row);

// Sorts the data rows by one column. Clicking the same title twice turns
// "ASC" into "DESC"; the direction and the last title are the program's shared
// sort state (the result grid uses them too). Cells compare as Windows-1252
// bytes, so the order is the one the Windows program gives the same file.
void TrierStringGrid(Grid& grid, int column, kernel::AppState& state);

}  // namespace korvo::session
