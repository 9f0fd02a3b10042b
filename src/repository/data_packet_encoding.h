#pragma once
// The character set of a data packet file. The Windows program writes no
// encoding attribute and its own code page; a file that declares an encoding
// is read in that encoding, and a byte that is invalid in it is refused rather
// than turned into some other character.
#include <QByteArray>
#include <QString>

namespace korvo::repository {

// The text of a data packet file. Throws DataPacketError naming `sourceName`
// and the line for an encoding the reader does not know and for the first
// byte that is not valid in the file's encoding.
QString decodeDataPacketText(const QByteArray& bytes, const QString& sourceName);

}  // namespace korvo::repository
