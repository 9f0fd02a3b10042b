#pragma once
// The ten files of a universe folder, read and checked as a whole before the
// import changes anything, so that a broken folder is refused while the
// schema is still untouched.
#include <QList>
#include <QString>
#include <functional>

#include "repository/data_packet.h"

namespace korvo::repository {

// The files of `folder`, one packet per staging table in the order of
// stagingTables(). Each must be a regular, well-formed data packet file that
// has a field for every NOT NULL column of its staging table (without it no
// row of the file could be loaded). Throws DataPacketError naming the file and
// the fault. `reading` is told each file name before it is read.
QList<DataPacket> readUniverseFiles(const QString& folder,
                                    const std::function<void(const QString&)>& reading = {});

}  // namespace korvo::repository
