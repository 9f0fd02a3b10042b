#pragma once
// Saved queries: the result objects in REQUETES/NAME, the conditions in
// CONDITIONS/NAME, both data packets of text fields. Connectors and operators
// are stored in a neutral form (AND/OR, the English operator labels), so a
// query saved in one interface language opens in the other.
//
// Both files are checked and prepared before anything is written, and written
// all-or-nothing; on opening both are read and checked before either grid
// changes. A refusal leaves files and grids as they were and says why.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "builder/query_grids.h"
#include "repository/data_packet.h"

namespace korvo::builder {

// Field lists of the two files: names (accents included) and widths.
QList<repository::DataPacketField> objectFileFields();
QList<repository::DataPacketField> conditionFileFields();

// The condition file of a result-object file: every "\REQUETES\" (or
// "/REQUETES/") becomes "\CONDITIONS\" ("/CONDITIONS/"), exact case. Nothing
// when the path has no REQUETES folder segment.
std::optional<QString> conditionFileName(const QString& objectFile);

// The outcome of a save or an open: empty error on success.
struct QueryFileResult {
  QString error;
  bool ok() const { return error.isEmpty(); }
};

// ExporterStringGridReq / ExporterStringGridCond as packets; a cell that
// cannot be stored (an id wider than its field) gives an error instead.
struct PacketOrError {
  repository::DataPacket packet;
  QString error;
};
PacketOrError objectFilePacket(const Grid& objects);
PacketOrError conditionFilePacket(const Grid& conditions, const TextTables& texts);

// ImporterStringGridReq / ImporterStringGridCond: the grid rows a packet gives
// (connectors and operators in the words of `texts`); an error when the packet
// lacks the expected fields.
struct RowsOrError {
  QList<QStringList> rows;
  QString error;
};
RowsOrError objectRows(const repository::DataPacket& packet, const QString& fileName);
RowsOrError conditionRows(const repository::DataPacket& packet, const QString& fileName,
                          const TextTables& texts);

// SBEnregistrerClick after the dialog: both files or neither.
QueryFileResult saveQuery(const QString& objectFile, const QueryGrids& grids);
// SBOuvrirClick after the dialog. A missing condition file still opens the
// result objects and empties the condition grid (the error names the file).
QueryFileResult openQuery(const QString& objectFile, QueryGrids& grids);

}  // namespace korvo::builder
