#include "repository/universe_grid.h"

namespace korvo::repository {

QString UniverseGrid::cell(int gridRow, int column) const {
  if (gridRow == 0) return headers.value(column);
  return rows.value(gridRow - 1).value(column);
}

UniverseGrid UniverseGrid::prepared(const QStringList& headers) {
  UniverseGrid grid;
  grid.headers = headers.mid(0, 6);
  while (grid.headers.size() < 6) grid.headers << QString();
  grid.rows = {QStringList(6)};
  return grid;
}

}  // namespace korvo::repository
