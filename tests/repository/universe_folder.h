#pragma once
// A universe folder written by a test: the ten files, each with the columns of
// its staging table as text fields and the rows the test gives ("<null>"
// leaves a value out).
#include <QDir>
#include <QTemporaryDir>

#include "repository/data_packet_io.h"
#include "repository/repository_schema.h"

namespace korvo::repository::fakes {

class UniverseFolder {
 public:
  UniverseFolder() {
    QDir(dir_.path()).mkdir("UNIVERS");
    for (const StagingTable& staging : stagingTables()) write(staging.fileName, {});
  }
  QString path() const { return dir_.filePath("UNIVERS"); }

  void write(const QString& fileName, const QList<QStringList>& rows) {
    for (const StagingTable& staging : stagingTables()) {
      if (staging.fileName != fileName) continue;
      QList<DataPacketField> fields;
      for (const ColumnDefinition& c : staging.table.columns)
        fields << DataPacketField::string(c.name, 0);
      DataPacket packet(fields);
      for (const QStringList& values : rows) {
        const int r = packet.appendRow();
        for (int c = 0; c < values.size(); ++c) {
          if (values[c] != "<null>") packet.setValue(r, c, values[c]);
        }
      }
      saveDataPacketFile(QDir(path()).filePath(fileName), packet);
    }
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace korvo::repository::fakes
