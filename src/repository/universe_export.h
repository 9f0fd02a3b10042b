#pragma once
// ExporterUnivers: copies one universe of the BusinessObjects repository
// tables (UNV_) of the connected schema into a universe folder, the ten data
// packet files the import reads, the class and object names scrambled on
// request. The ten files are written into a folder of their own beside the
// universe folder and moved into place only once all ten are written, so a
// failed export leaves the universe folder as it was.
#include <QString>
#include <QStringList>

#include "db/connection.h"
#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "repository/data_packet.h"

namespace korvo::repository {

enum class ExportOutcome {
  NoRepository,  // catalogue entry 18
  NoUniverse,    // catalogue entry 19
  Refused,       // an id the files cannot hold, or not a universe: nothing written
  Failed,        // a query or a file failed: the folder is as it was
  Finished,      // catalogue entry 20
};

// The ten queries of the export, each followed directly by the universe id,
// with the file each one fills, in the order they are written.
struct ExportFile {
  QString query;
  QString fileName;
};
QList<ExportFile> exportFiles(bool scrambled);

// CrypterDataSet: the rows of the class ("CLS_NAME") or object ("OBJ_NAME")
// query as a table of text fields of fixed widths, the name column scrambled
// with the key 9583 and a null written as an empty text.
DataPacket scrambledPacket(db::Cursor& cursor, const QString& nameColumn);

// A query's rows as a data packet whose fields follow the columns' Oracle
// types (NUMBER(p,s) fixedFMT, VARCHAR2/CHAR string of their width, DATE
// dateTime).
DataPacket packetFromCursor(db::Cursor& cursor);

class UniverseExport {
 public:
  // `folder` is the universe folder ("UNIVERS" under the working directory);
  // it is created when missing.
  UniverseExport(db::Connection& connection, kernel::Interaction& interaction,
                 const kernel::AppState& state, QString folder = QStringLiteral("UNIVERS"));

  // The checks and messages of the export, in order: the repository found by
  // the last refresh, a selected universe, the scrambling question, the files.
  ExportOutcome ExporterUnivers(bool boRepositoryFound, const QString& universeId);

  // The scrambling answer of the last export.
  bool scrambled() const { return scrambled_; }

 private:
  QString message(int entry) const;
  QString text(const char* french, const char* english) const;
  // Ids the scrambled object file's five characters cannot hold.
  QString tooLongObjectId(const QString& universeId);
  void writeFiles(const QString& universeId, const QString& into);

  db::Connection& connection_;
  kernel::Interaction& interaction_;
  const kernel::AppState& state_;
  QString folder_;
  bool scrambled_ = false;
};

// Digits only: the id is appended to the export's SQL text.
bool isUniverseIdText(const QString& id);

}  // namespace korvo::repository
