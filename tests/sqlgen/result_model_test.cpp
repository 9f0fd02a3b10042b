// The result model over the embedded engine: packets of 500 fetched only when
// asked, failures of the statement and of later packets, and the texts shown.
#include <QSignalSpy>
#include <cmath>

#include "qt_print.h"
#include "result_fixture.h"

using namespace korvo;
using sqlgen::ResultModel;

namespace {

class ResultModelTest : public korvo::testing::ResultEngineTest {
 protected:
  ResultModel model;
};

TEST_F(ResultModelTest, FetchesOnePacketAtATimeAndOnlyWhenAsked) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 2000);
  model.open(*connection, "select ID, NAME from NUMS order by ID");
  EXPECT_TRUE(model.isOpen());
  EXPECT_EQ(model.statement(), "select ID, NAME from NUMS order by ID");
  EXPECT_EQ(model.titles(), QStringList({"ID", "NAME"}));
  EXPECT_EQ(model.fetchedRows(), 500);
  // Reading every fetched cell, and the counts, brings no further row.
  for (int row = 0; row < model.rowCount(); ++row)
    for (int col = 0; col < model.columnCount(); ++col) model.data(model.index(row, col));
  EXPECT_EQ(model.rowCount(), 500);
  EXPECT_TRUE(model.canFetchMore());
  EXPECT_FALSE(model.atEnd());

  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  model.fetchMore();
  EXPECT_EQ(model.fetchedRows(), 1000);
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(inserted[0][1].toInt(), 500);
  EXPECT_EQ(inserted[0][2].toInt(), 999);
  EXPECT_EQ(model.displayText(999, 0), "1000");

  model.fetchAll();
  EXPECT_EQ(model.fetchedRows(), 2000);
  EXPECT_TRUE(model.atEnd());
  EXPECT_FALSE(model.canFetchMore());
  EXPECT_FALSE(model.fetchNextPacket());
  EXPECT_EQ(model.displayText(1999, 1), "n2000");
}

TEST_F(ResultModelTest, ASmallResultIsWholeAfterOpening) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 300);
  model.open(*connection, "select ID from NUMS");
  EXPECT_EQ(model.fetchedRows(), 300);
  EXPECT_TRUE(model.atEnd());
  EXPECT_FALSE(model.canFetchMore());
}

TEST_F(ResultModelTest, ARefusedStatementLeavesTheModelEmpty) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 10);
  model.open(*connection, "select ID from NUMS");
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  try {
    model.open(*connection, "select ID from NUMS order by  ASC");
    FAIL() << "the statement was accepted";
  } catch (const db::DbError& e) {
    EXPECT_TRUE(e.text().startsWith("ORA-")) << e.text().toStdString();
  }
  EXPECT_EQ(reset.count(), 1);
  EXPECT_FALSE(model.isOpen());
  EXPECT_EQ(model.columnCount(), 0);
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(model.canFetchMore());
  EXPECT_EQ(model.statement(), "select ID from NUMS order by  ASC");
}

TEST_F(ResultModelTest, ALaterPacketThatFailsKeepsTheRowsAndReportsOnce) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 1200);
  QStringList reported;
  model.onFetchError = [&](const QString& text) { reported << text; };
  // Row 700 divides by zero: the rows before it still arrive.
  model.open(*connection, "select ID, 1 / (ID - 700) Q from NUMS");
  EXPECT_EQ(model.fetchedRows(), 500);
  model.fetchMore();
  EXPECT_EQ(model.fetchedRows(), 699);
  EXPECT_TRUE(reported.isEmpty());
  EXPECT_NO_THROW(model.fetchMore());
  ASSERT_EQ(reported.size(), 1);
  EXPECT_TRUE(reported[0].startsWith("ORA-01476")) << reported[0].toStdString();
  EXPECT_EQ(model.fetchedRows(), 699);
  EXPECT_FALSE(model.canFetchMore());
  model.fetchAll();
  EXPECT_EQ(reported.size(), 1);
}

TEST_F(ResultModelTest, AClosedConnectionEndsTheFetchingWithTheRowsKept) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 700);
  model.open(*connection, "select ID from NUMS");
  connection->close();
  EXPECT_NO_THROW(model.fetchAll());
  EXPECT_FALSE(model.canFetchMore());
  EXPECT_EQ(model.fetchedRows(), 500);
  EXPECT_EQ(model.displayText(499, 0), "500");
  connection->open(alias, "scott", "tiger");  // for TearDown
}

TEST_F(ResultModelTest, ShowsValuesInTheProgramsRegionalFormat) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 2);
  model.setRegionalFormat(',', "DD/MM/YYYY");
  model.open(*connection,
             "select ID, NAME, AMOUNT, BORN, case when ID < 0 then 'x' end NOTHING, ' ' BLANK, "
             "ID * 1000000 BIG from NUMS order by ID");
  EXPECT_EQ(model.displayText(0, 0), "1");
  EXPECT_EQ(model.displayText(0, 1), "n1");
  EXPECT_EQ(model.displayText(0, 2), "1,5");
  EXPECT_EQ(model.displayText(0, 3), "04/03/2011 10:20:30");
  EXPECT_EQ(model.displayText(1, 3), "06/03/2011");
  EXPECT_EQ(model.displayText(0, 4), "");
  EXPECT_EQ(model.displayText(0, 5), " ");
  EXPECT_EQ(model.displayText(1, 6), "2000000");
  EXPECT_TRUE(model.data(model.index(0, 4), ResultModel::kIsNullRole).toBool());
  EXPECT_FALSE(model.data(model.index(0, 5), ResultModel::kIsNullRole).toBool());
  EXPECT_EQ(model.data(model.index(0, 2)).toString(), "1,5");
  EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), "BORN");
  EXPECT_EQ(model.headerData(0, Qt::Vertical).toInt(), 1);
  EXPECT_EQ(model.displayText(5, 0), "");  // outside the fetched rows
  const auto alignment = [&](int column) {
    return model.data(model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>() &
           Qt::AlignHorizontal_Mask;
  };
  EXPECT_EQ(alignment(2), Qt::AlignRight);
  EXPECT_EQ(alignment(1), Qt::AlignLeft);
  EXPECT_EQ(alignment(3), Qt::AlignLeft);

  model.setRegionalFormat('.', "YYYY-MM-DD");
  EXPECT_EQ(model.displayText(0, 2), "1.5");
  EXPECT_EQ(model.displayText(1, 3), "2011-03-06");
}

TEST(ResultModelText, NumbersAreShortestWithoutGroupingOrTrailingZeros) {
  ResultModel model;
  model.setRegionalFormat(',', "DD/MM/YYYY");
  EXPECT_EQ(model.displayText(QVariant(0.1 + 0.2)), "0,30000000000000004");
  EXPECT_EQ(model.displayText(QVariant(2.50)), "2,5");
  EXPECT_EQ(model.displayText(QVariant(1234567.25)), "1234567,25");
  EXPECT_EQ(model.displayText(QVariant(-0.00001)), "-0,00001");
  EXPECT_EQ(model.displayText(QVariant(-0.0)), "0");
  EXPECT_EQ(model.displayText(QVariant(1e25)), "1e+25");
  EXPECT_EQ(model.displayText(QVariant(qlonglong(9007199254740993LL))), "9007199254740993");
  EXPECT_EQ(model.displayText(QVariant(QString(""))), "");
  EXPECT_EQ(model.displayText(QVariant(QString("a\tb\r\nc"))), "a\tb\r\nc");
  EXPECT_EQ(model.displayText(QVariant(QDate(1999, 12, 31))), "31/12/1999");
  EXPECT_EQ(model.displayText(QVariant(QDateTime(QDate(2000, 1, 2), QTime(0, 0, 1)))),
            "02/01/2000 00:00:01");
  EXPECT_EQ(model.displayText(QVariant()), "");
}

}  // namespace
