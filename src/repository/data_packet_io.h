#pragma once
// Reading and writing data packet files, byte-compatible with the files of the
// Windows program: one line of XML in the Windows-1252 code page, the format's
// own escapes, nulls as missing attributes. The reader is tolerant where that
// program was sloppy (raw control characters in scrambled names, an attribute
// name repeated inside one ROW) and strict about structure: a malformed file is
// refused as a whole with a message that names the file and the fault.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "repository/data_packet.h"

namespace korvo::repository {

// The deepest element nesting the reader accepts. A data packet needs four
// levels and each nested table two more; the limit keeps recursion bounded.
inline constexpr int kMaxDataPacketNesting = 64;
// The deepest field nesting the writer writes, so that what it writes reads back.
inline constexpr int kMaxNestedFieldDepth = (kMaxDataPacketNesting - 4) / 2;

// The attribute name of each field, in field order: characters that cannot stand
// in an XML attribute name become "_", and names that would then repeat get a
// numeric suffix ("_", "_1", "_2") so that no ROW repeats an attribute.
QStringList attributeNames(const QList<DataPacketField>& fields);

// Throws DataPacketError for fields nested deeper than kMaxNestedFieldDepth.
QByteArray writeDataPacket(const DataPacket& packet);
// sourceName only labels error messages (normally the file name).
DataPacket readDataPacket(const QByteArray& bytes, const QString& sourceName);

// Whole-file helpers; failures throw DataPacketError naming the file.
void saveDataPacketFile(const QString& path, const DataPacket& packet);
DataPacket loadDataPacketFile(const QString& path);

}  // namespace korvo::repository
