// The copies of the fetched rows beyond their plain text: the HTML table of
// the same cells given with it, and the "Query" sheet of the spreadsheet copy.
#include <QStandardPaths>
#include <QTemporaryDir>

#include "kernel/interaction.h"
#include "kernel/language.h"
#include "kernel/opener.h"
#include "qt_print.h"
#include "result_fixture.h"
#include "sqlgen/result_export.h"
#include "sqlgen/xlsx_export.h"
#include "xlsx_read.h"

using namespace korvo;
using namespace korvo::sqlgen;

namespace {

class RichCopy : public korvo::testing::ResultEngineTest {
 protected:
  ResultModel model;
};

TEST_F(RichCopy, PlainTextUnchangedAndTheSameCellsAsHtml) {
  model.open(*connection, "select 'a<b' \"T1\", cast(null as varchar2(5)) \"T&2\" from dual");
  const RowsExport out = exportFetchedRows(model, kernel::frenchTexts());
  // Title line, then value1, a tab and nothing: each line ends in CR LF.
  EXPECT_EQ(out.text, "T1\tT&2\r\na<b\t\r\n");
  EXPECT_EQ(out.html, "<table><tr><th>T1</th><th>T&amp;2</th></tr><tr><td>a&lt;b</td><td></td></tr></table>");
}

class Opener : public kernel::Opener {
 public:
  bool open(const QUrl& url) override {
    opened << url;
    return true;
  }
  QList<QUrl> opened;
};

TEST_F(RichCopy, TheClipboardGetsBothFormatsWhenItCanTakeThem) {
  model.open(*connection, "select 1 \"N\" from dual");
  kernel::RecordingInteraction messages;
  Opener opener;
  QString plainOnly;
  ResultExporter exporter(messages, opener, [&](const QString& text) { plainOnly = text; });
  exporter.copyText(model, kernel::frenchTexts());
  EXPECT_EQ(plainOnly, "N\r\n1\r\n");
  QString text, html;
  plainOnly.clear();
  exporter.setRichClipboard = [&](const QString& t, const QString& h) {
    text = t;
    html = h;
  };
  exporter.copyText(model, kernel::frenchTexts());
  EXPECT_EQ(plainOnly, "");
  EXPECT_EQ(text, "N\r\n1\r\n");
  EXPECT_EQ(html, "<table><tr><th>N</th></tr><tr><td>1</td></tr></table>");
}

TEST_F(RichCopy, TheSpreadsheetCopyCarriesTheQuerySheet) {
  if (QStandardPaths::findExecutable("unzip").isEmpty()) GTEST_FAIL() << "unzip is needed";
  korvo::testing::createNumberedTable(*connection, "NUMS", 700);
  model.open(*connection, "select ID from NUMS order by ID");
  QTemporaryDir folder;
  Provenance p;
  p.universe = "Demo";
  p.statement = "select ID from NUMS order by ID";
  // 500 of 700 rows fetched: the sheet says the copy is not the whole result.
  const QString path = folder.filePath("copy.xlsx");
  ASSERT_EQ(writeGridWorkbook(path, model, model.fetchedRows(), &p), std::nullopt);
  auto query = korvo::testing::xlsxSheetCells(path, 2);
  EXPECT_EQ(query["A1"].value, "Universe");
  EXPECT_EQ(query["B1"].value, "Demo");
  QHash<QString, QString> byLabel;
  for (int r = 1; r < 20; ++r)
    byLabel[query.value(QStringLiteral("A%1").arg(r)).value] = query.value(QStringLiteral("B%1").arg(r)).value;
  EXPECT_EQ(byLabel["Rows"], "500");
  EXPECT_EQ(byLabel["Every row fetched"], "no");
  EXPECT_EQ(byLabel["Statement"], p.statement);
  model.fetchAll();
  ASSERT_EQ(writeGridWorkbook(path, model, model.fetchedRows(), &p), std::nullopt);
  query = korvo::testing::xlsxSheetCells(path, 2);
  byLabel.clear();
  for (int r = 1; r < 20; ++r)
    byLabel[query.value(QStringLiteral("A%1").arg(r)).value] = query.value(QStringLiteral("B%1").arg(r)).value;
  EXPECT_EQ(byLabel["Rows"], "700");
  EXPECT_EQ(byLabel["Every row fetched"], "yes");
  // Without a provenance, one sheet as before.
  ASSERT_EQ(writeGridWorkbook(path, model, 3), std::nullopt);
  EXPECT_FALSE(korvo::testing::zipEntry(path, "xl/workbook.xml").contains("Query"));
}

}  // namespace
