#include "session/profile_grid.h"

#include "kernel/app_state.h"
#include "session/ansi_text.h"

namespace korvo::session {

void RemoveLine(Grid& grid, int row) {
  if (row >= 0) {
    for (int i = row; i <= grid.rowCount() - 2; ++i) grid.swapRows(i, i + 1);
  }
  grid.setRowCount(grid.rowCount() - 1);
}

void TrierStringGrid(Grid& grid, int column, kernel::AppState& state) {
  const QString title = grid.cell(0, column);
  if (title == state.lastSortedTitle && state.sortDirection == "ASC")
    state.sortDirection = "DESC";
  else
    state.sortDirection = "ASC";
  state.lastSortedTitle = title;

  if (grid.rowCount() < 3) return;
  const bool ascending = state.sortDirection == "ASC";
  const int rows = grid.rowCount();
  for (int i = 1; i <= rows - 2; ++i) {
    for (int j = i + 1; j <= rows - 1; ++j) {
      const QByteArray a = toAnsi(grid.cell(i, column));
      const QByteArray b = toAnsi(grid.cell(j, column));
      if (ascending ? a > b : a < b) grid.swapRows(i, j);
    }
  }
}

}  // namespace korvo::session
