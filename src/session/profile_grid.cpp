#include "session/profile_grid.h"

#include <stdexcept>

#include "kernel/app_state.h"
#include "session/ansi_text.h"

namespace korvo::session {

ProfileGrid::ProfileGrid(int columns, int rows) : columns_(1) {
  rows_.append(QStringList{QString()});
  setColumnCount(columns);
  setRowCount(rows);
}

void ProfileGrid::setColumnCount(int columns) {
  columns_ = std::max(1, columns);
  for (QStringList& cells : rows_) {
    while (cells.size() < columns_) cells.append(QString());
    while (cells.size() > columns_) cells.removeLast();
  }
}

void ProfileGrid::setRowCount(int rows) {
  rows = std::max(1, rows);
  while (rowCount() < rows) {
    QStringList cells;
    for (int c = 0; c < columns_; ++c) cells.append(QString());
    rows_.append(cells);
  }
  while (rowCount() > rows) rows_.removeLast();
}

QString ProfileGrid::cell(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columns_) return {};
  return rows_[row][column];
}

void ProfileGrid::setCell(int row, int column, const QString& text) {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columns_)
    throw std::out_of_range("profile grid cell out of range");
  rows_[row][column] = text;
}

QStringList ProfileGrid::row(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  return rows_[row];
}

void ProfileGrid::swapRows(int a, int b) {
  if (a < 0 || b < 0 || a >= rowCount() || b >= rowCount())
    throw std::out_of_range("profile grid row out of range");
  rows_.swapItemsAt(a, b);
}

void RemoveLine(ProfileGrid& grid, int row) {
  if (row >= 0) {
    for (int i = row; i <= grid.rowCount() - 2; ++i) grid.swapRows(i, i + 1);
  }
  grid.setRowCount(grid.rowCount() - 1);
}

void TrierStringGrid(ProfileGrid& grid, int column, kernel::AppState& state) {
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
