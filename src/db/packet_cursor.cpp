#include "db/packet_cursor.h"

#include "db/oracle_messages.h"

namespace korvo::db {

void ConnectionLink::detachCursors() {
  // detach() leaves the set untouched; the cursors deregister only when destroyed.
  for (PacketCursor* cursor : cursors) cursor->detach();
}

PacketCursor::PacketCursor(ConnectionLinkPtr link, QList<ColumnInfo> columns)
    : link_(std::move(link)), columns_(std::move(columns)) {
  link_->cursors.insert(this);
}

PacketCursor::~PacketCursor() { link_->cursors.erase(this); }

void PacketCursor::detach() {
  if (detached_) return;
  // Subclasses release in their own destructor as well; release() must be idempotent.
  release();
  detached_ = true;
  finished_ = true;
  ahead_.reset();
}

bool PacketCursor::atEnd() const {
  if (!started_ && !detached_) {
    started_ = true;
    readAhead();
  }
  return finished_ && !ahead_;
}

void PacketCursor::readAhead() const {
  Row row;
  try {
    // Reading moves the driver's cursor, not what this object shows.
    if (const_cast<PacketCursor*>(this)->readRow(row)) {
      ahead_ = std::move(row);
    } else {
      finished_ = true;
    }
  } catch (const DbError& e) {
    pendingError_ = e.text();
  }
}

int PacketCursor::fetch(QList<Row>& rows, int maxRows) {
  if (detached_) {
    link_->lastError = QString::fromLatin1(kNotConnected);
    throw DbError(link_->lastError);
  }
  link_->lastError.clear();
  if (!started_) {
    started_ = true;
    readAhead();
  }
  int count = 0;
  while (maxRows <= 0 || count < maxRows) {
    if (pendingError_) {
      // Deliver what was read; the error comes with the next call.
      if (count > 0) return count;
      const QString text = *pendingError_;
      pendingError_.reset();
      finished_ = true;  // a failed row ends the cursor, as a server ends the fetch
      link_->lastError = text;
      throw DbError(text);
    }
    if (!ahead_) break;
    rows.append(std::move(*ahead_));
    ahead_.reset();
    ++count;
    if (!finished_) readAhead();
  }
  return count;
}

}  // namespace korvo::db
