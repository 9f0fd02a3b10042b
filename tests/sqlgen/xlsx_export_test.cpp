// The result workbook read back from its zip: one sheet "Grid Data", the
// titles on row 1, numbers, dates and texts as their own cell types.
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "qt_print.h"
#include "result_fixture.h"
#include "sqlgen/xlsx_export.h"

using namespace korvo;
using namespace korvo::sqlgen;

namespace {

QByteArray zipEntry(const QString& zip, const QString& entry) {
  QProcess unzip;
  unzip.start("unzip", {"-p", zip, entry});
  if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0) return {};
  return unzip.readAllStandardOutput();
}

struct Cell {
  QString type;   // t attribute: "s" shared string, "" number
  int style = 0;  // s attribute
  QString value;  // <v>
};

QHash<QString, Cell> sheetCells(const QByteArray& xml) {
  QHash<QString, Cell> cells;
  QXmlStreamReader reader(xml);
  QString ref;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == u"c") {
      ref = reader.attributes().value("r").toString();
      cells[ref] = Cell{reader.attributes().value("t").toString(),
                        reader.attributes().value("s").toInt(), QString()};
    } else if (reader.isStartElement() && reader.name() == u"v") {
      cells[ref].value = reader.readElementText();
    }
  }
  return cells;
}

QStringList sharedStrings(const QByteArray& xml) {
  QStringList out;
  QXmlStreamReader reader(xml);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == u"t") out << reader.readElementText();
  }
  return out;
}

// The number format of each cell style, by style index.
QStringList styleFormats(const QByteArray& xml) {
  QHash<int, QString> codes;
  QStringList out;
  bool inCellXfs = false;
  QXmlStreamReader reader(xml);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == u"numFmt")
      codes[reader.attributes().value("numFmtId").toInt()] =
          reader.attributes().value("formatCode").toString();
    if (reader.name() == u"cellXfs") inCellXfs = reader.isStartElement();
    if (inCellXfs && reader.isStartElement() && reader.name() == u"xf")
      out << codes.value(reader.attributes().value("numFmtId").toInt());
  }
  return out;
}

class GridWorkbook : public korvo::testing::ResultEngineTest {
 protected:
  void SetUp() override {
    korvo::testing::ResultEngineTest::SetUp();
    if (QStandardPaths::findExecutable("unzip").isEmpty()) GTEST_FAIL() << "unzip is needed";
  }
  QTemporaryDir folder;
  ResultModel model;
};

TEST_F(GridWorkbook, KeepsTheCellTypesOnTheGridDataSheet) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 3);
  model.setRegionalFormat(',', "DD/MM/YYYY");
  model.open(*connection,
             "select ID, NAME, AMOUNT, BORN, case when ID = 2 then 'x' end \"MAYBE\" from NUMS "
             "order by ID");
  const QString path = folder.filePath("grid.xlsx");
  ASSERT_EQ(writeGridWorkbook(path, model, 2), std::nullopt);
  EXPECT_FALSE(QFileInfo::exists(path + ".part"));

  EXPECT_TRUE(zipEntry(path, "xl/workbook.xml").contains("name=\"Grid Data\""));
  const QHash<QString, Cell> cells = sheetCells(zipEntry(path, "xl/worksheets/sheet1.xml"));
  const QStringList strings = sharedStrings(zipEntry(path, "xl/sharedStrings.xml"));
  const QStringList formats = styleFormats(zipEntry(path, "xl/styles.xml"));
  auto text = [&](const QString& ref) {
    const Cell c = cells.value(ref);
    return c.type == "s" ? strings.value(c.value.toInt()) : QString();
  };
  EXPECT_EQ(text("A1"), "ID");
  EXPECT_EQ(text("E1"), "MAYBE");
  EXPECT_EQ(cells["A2"].type, "");
  EXPECT_EQ(cells["A2"].value, "1");
  EXPECT_EQ(cells["C2"].type, "");
  EXPECT_EQ(cells["C2"].value, "1.5");
  EXPECT_EQ(text("B3"), "n2");
  EXPECT_EQ(text("E3"), "x");
  EXPECT_FALSE(cells.contains("E2"));  // a null is no cell at all
  // 4 March 2011 10:20:30 and 6 March 2011 as spreadsheet serial dates.
  EXPECT_NEAR(cells["D2"].value.toDouble(), 40606 + (10 * 3600 + 20 * 60 + 30) / 86400.0, 1e-9);
  EXPECT_EQ(cells["D3"].value.toDouble(), 40608);
  EXPECT_EQ(formats.value(cells["D2"].style), "dd/mm/yyyy hh:mm:ss");
  EXPECT_EQ(formats.value(cells["D3"].style), "dd/mm/yyyy");
  EXPECT_EQ(formats.value(cells["A2"].style), "");
  // Only the rows asked for.
  EXPECT_FALSE(cells.contains("A4"));
}

TEST_F(GridWorkbook, AFaultNamesTheFileAndLeavesNothing) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 3);
  model.open(*connection, "select ID from NUMS");
  const QString path = folder.filePath("missing/grid.xlsx");
  const std::optional<QString> fault = writeGridWorkbook(path, model, 3);
  ASSERT_TRUE(fault.has_value());
  EXPECT_TRUE(fault->contains(path)) << fault->toStdString();
  EXPECT_TRUE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

  // A file in the way of the finished workbook is replaced, never half-written.
  const QString taken = folder.filePath("taken.xlsx");
  QFile old(taken);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  ASSERT_EQ(writeGridWorkbook(taken, model, 3), std::nullopt);
  EXPECT_EQ(sheetCells(zipEntry(taken, "xl/worksheets/sheet1.xml"))["A4"].value, "3");
}

}  // namespace
