#include "repository/universe_grid.h"

namespace korvo::repository {

QList<int> universeColumnWidths() { return {80, 300, 250, 250, 250, 1000}; }

Grid preparedUniverseGrid(const QStringList& headers) {
  QStringList six = headers.mid(0, 6);
  while (six.size() < 6) six << QString();
  return Grid::withHeaders(six);
}

}  // namespace korvo::repository
