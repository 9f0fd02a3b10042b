#include "repository/universe_files.h"

#include <QDir>
#include <QStringList>

#include "repository/data_packet_io.h"
#include "repository/repository_schema.h"

namespace korvo::repository {

QList<DataPacket> readUniverseFiles(const QString& folder,
                                    const std::function<void(const QString&)>& reading) {
  QList<DataPacket> files;
  for (const StagingTable& staging : stagingTables()) {
    const QString path = QDir(folder).filePath(staging.fileName);
    if (reading) reading(path);
    DataPacket file = loadDataPacketFile(path);
    QStringList missing;
    for (const ColumnDefinition& column : staging.table.columns) {
      if (column.notNull && file.fieldIndex(column.name) < 0) missing << column.name;
    }
    if (!missing.isEmpty()) {
      throw DataPacketError(QStringLiteral("%1: no field %2 (needed by %3)")
                                .arg(path, missing.join(QStringLiteral(", ")), staging.table.name));
    }
    files << std::move(file);
  }
  return files;
}

}  // namespace korvo::repository
