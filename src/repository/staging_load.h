#pragma once
// Moving the rows of a universe file into its staging table: the file's rows
// are copied column by column into an in-memory table shaped like the staging
// table, then sent as one INSERT per row with every value as a proper literal.
#include <QString>
#include <QStringList>

#include "repository/data_packet.h"
#include "repository/repository_schema.h"

namespace korvo::repository {

// An in-memory table with the given columns (text values), as the work query
// opens it on "select * from" a staging table.
DataPacket emptyStagingRows(const QStringList& columnNames);

// ChargerClientDataSet: loads the data packet file and appends its rows to
// `target`, copying each target column from the file column of exactly the
// same name (others stay null); a column named ROWID takes "0". Throws
// DataPacketError for a missing or malformed file, leaving target unchanged.
void ChargerClientDataSet(DataPacket& target, const QString& fileName);
// The same copy from a file already loaded.
void appendRowsByName(DataPacket& target, const DataPacket& file);

// An SQL literal for a value bound for a column: NULL for null and empty text,
// a number written as itself in a NUMBER column, everything else between
// single quotes with inner quotes doubled.
QString sqlLiteral(const QVariant& value, bool numberColumn);

// "insert into TMP_X (A, B) values (1, 'x')" for each row of `rows`.
QStringList stagingInserts(const TableDefinition& table, const DataPacket& rows);

}  // namespace korvo::repository
