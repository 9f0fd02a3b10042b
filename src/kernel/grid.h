#pragma once
// A string grid as data: rows x columns of text, row 0 the header (title) row
// and the data rows after it, exactly as the program's grids number them. The
// profile, universe and query grids are Grids; their widgets only show them,
// so that the command line, the files and the tests read what the user sees.
#include <QList>
#include <QString>
#include <QStringList>

namespace korvo::kernel {

class Grid {
 public:
  // A grid never has fewer than one row (the header row) or one column.
  explicit Grid(int columns = 1, int rows = 1);
  // The header row and `dataRows` empty data rows; as many columns as headers.
  static Grid withHeaders(const QStringList& headers, int dataRows = 1);

  int columnCount() const { return columns_; }
  int rowCount() const { return static_cast<int>(rows_.size()); }
  // Cells that are added are empty; cells beyond a reduced count are dropped.
  void setColumnCount(int columns);
  void setRowCount(int rows);

  // Outside the grid: an empty text.
  QString cell(int row, int column) const;
  // Outside the grid: std::out_of_range.
  void setCell(int row, int column, const QString& text);
  QStringList row(int row) const;
  QStringList headers() const { return row(0); }
  // Cells beyond the column count are dropped, missing ones are empty.
  void setRow(int row, const QStringList& cells);
  void appendRow(const QStringList& cells = {});
  void swapRows(int a, int b);
  // Every row below moves up one place; the header row is never removed.
  void removeRow(int row);

  bool operator==(const Grid& other) const = default;

 private:
  int columns_;
  QList<QStringList> rows_;
};

}  // namespace korvo::kernel
