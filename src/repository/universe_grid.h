#pragma once
// The universe grid StringGridUniv is a kernel Grid: the six headers, then one
// row per universe. The universe panel's table widget only shows it.
#include <QList>
#include <QStringList>

#include "kernel/grid.h"

namespace korvo::repository {

using kernel::Grid;

QList<int> universeColumnWidths();

// Init_StringGridUniv: the six headers and one empty data row.
Grid preparedUniverseGrid(const QStringList& headers);

}  // namespace korvo::repository
