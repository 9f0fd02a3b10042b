#include "kernel/grid.h"

#include <algorithm>
#include <stdexcept>

namespace korvo::kernel {

Grid::Grid(int columns, int rows) : columns_(1) {
  rows_.append(QStringList{QString()});
  setColumnCount(columns);
  setRowCount(rows);
}

Grid Grid::withHeaders(const QStringList& headers, int dataRows) {
  Grid grid(static_cast<int>(headers.size()), 1 + std::max(0, dataRows));
  grid.setRow(0, headers);
  return grid;
}

void Grid::setColumnCount(int columns) {
  columns_ = std::max(1, columns);
  for (QStringList& cells : rows_) {
    while (cells.size() < columns_) cells.append(QString());
    while (cells.size() > columns_) cells.removeLast();
  }
}

void Grid::setRowCount(int rows) {
  rows = std::max(1, rows);
  while (rowCount() < rows) rows_.append(QStringList(columns_));
  while (rowCount() > rows) rows_.removeLast();
}

QString Grid::cell(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columns_) return {};
  return rows_[row][column];
}

void Grid::setCell(int row, int column, const QString& text) {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columns_)
    throw std::out_of_range("grid cell out of range");
  rows_[row][column] = text;
}

QStringList Grid::row(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  return rows_[row];
}

void Grid::setRow(int row, const QStringList& cells) {
  if (row < 0 || row >= rowCount()) throw std::out_of_range("grid row out of range");
  QStringList fitted = cells.mid(0, columns_);
  while (fitted.size() < columns_) fitted.append(QString());
  rows_[row] = fitted;
}

void Grid::appendRow(const QStringList& cells) {
  rows_.append(QStringList(columns_));
  setRow(rowCount() - 1, cells);
}

void Grid::swapRows(int a, int b) {
  if (a < 0 || b < 0 || a >= rowCount() || b >= rowCount())
    throw std::out_of_range("grid row out of range");
  rows_.swapItemsAt(a, b);
}

void Grid::removeRow(int row) {
  if (row < 1 || row >= rowCount()) throw std::out_of_range("grid row out of range");
  rows_.removeAt(row);
}

}  // namespace korvo::kernel
