#pragma once
// What a connection shares with the cursors it opened: the last error text (a
// failed fetch is the connection's last error too) and the list of live cursors,
// which the connection cuts off before it closes, so that no cursor ever reads
// through a closed driver handle.
#include <QString>
#include <memory>
#include <set>

namespace korvo::db {

class PacketCursor;

struct ConnectionLink {
  QString lastError;
  std::set<PacketCursor*> cursors;

  // Releases the driver resources of every live cursor; they fail from now on.
  void detachCursors();
};

using ConnectionLinkPtr = std::shared_ptr<ConnectionLink>;

}  // namespace korvo::db
