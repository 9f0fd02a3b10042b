#pragma once
// The data behind a connection profile grid: rows x columns of text, row 0 the
// title row. The dialog's table widgets only show it; loading, saving, removing
// and sorting work here.
#include <QList>
#include <QString>
#include <QStringList>

namespace korvo::kernel {
struct AppState;
}

namespace korvo::session {

class ProfileGrid {
 public:
  // A grid never has fewer than one row or one column.
  explicit ProfileGrid(int columns = 1, int rows = 1);

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
  void swapRows(int a, int b);

  bool operator==(const ProfileGrid& other) const = default;

 private:
  int columns_;
  QList<QStringList> rows_;
};

// Removes a row by moving the following rows up one place; the title row
// survives the removal of the last profile because a grid keeps one row.
void RemoveLine(ProfileGrid& grid, int row);

// Sorts the data rows by one column. Clicking the same title twice turns
// "ASC" into "DESC"; the direction and the last title are the program's shared
// sort state (the result grid uses them too). Cells compare as Windows-1252
// bytes, so the order is the one the Windows program gives the same file.
void TrierStringGrid(ProfileGrid& grid, int column, kernel::AppState& state);

}  // namespace korvo::session
