#include "db/packet_cursor.h"

#include <gtest/gtest.h>

namespace korvo::db {
namespace {

// Rows 1..count, with an error instead of row failAt (0: none).
class CountingCursor : public PacketCursor {
 public:
  CountingCursor(ConnectionLinkPtr link, int count, int failAt)
      : PacketCursor(std::move(link), {ColumnInfo{"N", "NUMBER"}}),
        count_(count),
        failAt_(failAt) {}
  int reads = 0;
  bool released = false;

 protected:
  bool readRow(Row& row) override {
    ++reads;
    if (next_ == failAt_) throw DbError("ORA-01722: invalid number");
    if (next_ > count_) return false;
    row.append(qlonglong(next_++));
    return true;
  }
  void release() override { released = true; }

 private:
  int count_;
  int failAt_;
  int next_ = 1;
};

TEST(PacketCursor, PacketsReadOneRowAhead) {
  auto link = std::make_shared<ConnectionLink>();
  CountingCursor cursor(link, 4, 0);
  EXPECT_EQ(cursor.reads, 0);  // nothing is read before it is asked for
  QList<Row> rows;
  EXPECT_EQ(cursor.fetch(rows, 2), 2);
  EXPECT_EQ(cursor.reads, 3);
  EXPECT_FALSE(cursor.atEnd());
  EXPECT_EQ(cursor.fetch(rows, 2), 2);
  EXPECT_TRUE(cursor.atEnd());  // known without another fetch
  EXPECT_EQ(cursor.fetch(rows, 2), 0);
  ASSERT_EQ(rows.size(), 4);
  EXPECT_EQ(rows[3][0], QVariant(qlonglong(4)));
}

TEST(PacketCursor, EmptyResultIsAtEndAtOnce) {
  auto link = std::make_shared<ConnectionLink>();
  CountingCursor cursor(link, 0, 0);
  EXPECT_TRUE(cursor.atEnd());
  QList<Row> rows;
  EXPECT_EQ(cursor.fetch(rows, 0), 0);
}

TEST(PacketCursor, RowsBeforeAnErrorAreDeliveredThenTheErrorComes) {
  auto link = std::make_shared<ConnectionLink>();
  CountingCursor cursor(link, 9, 4);
  QList<Row> rows;
  EXPECT_EQ(cursor.fetch(rows, 0), 3);
  EXPECT_TRUE(link->lastError.isEmpty());
  EXPECT_FALSE(cursor.atEnd());
  try {
    cursor.fetch(rows, 0);
    FAIL() << "no error";
  } catch (const DbError& e) {
    EXPECT_EQ(e.text(), "ORA-01722: invalid number");
  }
  EXPECT_EQ(link->lastError, "ORA-01722: invalid number");
  EXPECT_TRUE(cursor.atEnd());  // the failed fetch ended the cursor
  EXPECT_EQ(rows.size(), 3);
}

TEST(PacketCursor, ErrorOnTheFirstRowComesFromTheFirstFetch) {
  auto link = std::make_shared<ConnectionLink>();
  CountingCursor cursor(link, 9, 1);
  QList<Row> rows;
  EXPECT_THROW(cursor.fetch(rows, 5), DbError);
  EXPECT_TRUE(rows.isEmpty());
}

TEST(PacketCursor, DetachedCursorsReleaseAndRefuse) {
  auto link = std::make_shared<ConnectionLink>();
  auto cursor = std::make_unique<CountingCursor>(link, 9, 0);
  EXPECT_EQ(link->cursors.size(), 1u);
  link->detachCursors();
  EXPECT_TRUE(cursor->released);
  QList<Row> rows;
  EXPECT_THROW(cursor->fetch(rows, 1), DbError);
  EXPECT_EQ(link->lastError, "ORA-03114: not connected to ORACLE");
  cursor.reset();
  EXPECT_TRUE(link->cursors.empty());
}

}  // namespace
}  // namespace korvo::db
