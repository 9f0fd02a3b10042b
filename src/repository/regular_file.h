#pragma once
// Reading a whole data packet file without trusting what the name points to:
// a named pipe would block the reader forever and a device such as /dev/zero
// would never end, so only a regular file (after following links) of a bounded
// size is read, and a named pipe is never opened at all.
#include <QByteArray>
#include <QString>

namespace korvo::repository {

// Far above any universe or query file, low enough to refuse a runaway file
// before it is read into memory.
inline constexpr qint64 kMaxDataPacketFileBytes = 256LL * 1024 * 1024;

// The bytes of the file at `path`; throws DataPacketError naming the file when
// it is missing, unreadable, not a regular file or larger than `maxBytes`.
QByteArray readRegularFile(const QString& path, qint64 maxBytes = kMaxDataPacketFileBytes);

}  // namespace korvo::repository
