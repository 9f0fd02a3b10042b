#pragma once
// The universe grid StringGridUniv as data: a header row and data rows of
// texts. The universe panel's table widget only shows it.
#include <QList>
#include <QString>
#include <QStringList>

namespace korvo::repository {

struct UniverseGrid {
  QStringList headers;      // grid row 0
  QList<QStringList> rows;  // grid rows 1..n; never fewer than one (an empty row)

  static QList<int> columnWidths() { return {80, 300, 250, 250, 250, 1000}; }
  int columnCount() const { return static_cast<int>(headers.size()); }
  // The text at a grid position, row 0 being the header row; empty outside the grid.
  QString cell(int gridRow, int column) const;

  // Init_StringGridUniv: the six headers and one empty data row.
  static UniverseGrid prepared(const QStringList& headers);
};

}  // namespace korvo::repository
