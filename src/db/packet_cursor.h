#pragma once
// The Cursor both drivers hand out: rows are read one at a time from the driver
// and delivered in packets. One row is read ahead, so atEnd() is true as soon as
// the last row has been delivered, not only after an empty packet.
#include <optional>

#include "db/connection.h"
#include "db/connection_link.h"

namespace korvo::db {

class PacketCursor : public Cursor {
 public:
  PacketCursor(ConnectionLinkPtr link, QList<ColumnInfo> columns);
  ~PacketCursor() override;
  PacketCursor(const PacketCursor&) = delete;
  PacketCursor& operator=(const PacketCursor&) = delete;

  QList<ColumnInfo> columns() const override { return columns_; }
  int fetch(QList<Row>& rows, int maxRows) override;
  // Reads ahead when nothing was fetched yet, so an empty result is at its end at once.
  bool atEnd() const override;

  // Called by the connection when it closes: drops the driver resources.
  void detach();

 protected:
  // Reads the next row from the driver; false at the end. Throws DbError.
  virtual bool readRow(Row& row) = 0;
  // Frees what readRow reads from; readRow is never called afterwards.
  virtual void release() = 0;

 private:
  // Reads one row ahead; an error there is kept and thrown by the next fetch,
  // so a packet never loses the rows read before it.
  void readAhead() const;

  ConnectionLinkPtr link_;
  QList<ColumnInfo> columns_;
  // Read-ahead state, mutable because atEnd() may have to look ahead.
  mutable std::optional<Row> ahead_;
  mutable std::optional<QString> pendingError_;
  mutable bool started_ = false;
  mutable bool finished_ = false;
  bool detached_ = false;
};

// A statement that gave no rows (a DML sent through query()): no columns, and
// at its end at once.
class NoRowsCursor : public PacketCursor {
 public:
  explicit NoRowsCursor(ConnectionLinkPtr link) : PacketCursor(std::move(link), {}) {}

 protected:
  bool readRow(Row&) override { return false; }
  void release() override {}
};

}  // namespace korvo::db
