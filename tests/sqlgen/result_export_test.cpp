// Copying the fetched result rows: the clipboard text, the packet that the
// copy brings, the "rows loaded" notice, and the spreadsheet road.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "kernel/interaction.h"
#include "kernel/language.h"
#include "kernel/opener.h"
#include "qt_print.h"
#include "result_fixture.h"
#include "sqlgen/result_export.h"

using namespace korvo;
using namespace korvo::sqlgen;

namespace {

const kernel::TextTables& french() { return kernel::frenchTexts(); }

class ResultCopy : public korvo::testing::ResultEngineTest {
 protected:
  // A result of `rows` rows opened, with `packets` packets fetched in all.
  void openNumbers(int rows, int packets = 1) {
    korvo::testing::createNumberedTable(*connection, "NUMS", rows);
    model.setRegionalFormat(',', "DD/MM/YYYY");
    model.open(*connection, "select ID, NAME from NUMS order by ID");
    for (int i = 1; i < packets; ++i) model.fetchMore();
  }
  ResultModel model;
};

TEST_F(ResultCopy, ASmallResultIsCopiedWholeWithoutNotice) {
  openNumbers(300);
  const RowsExport out = exportFetchedRows(model, french());
  EXPECT_EQ(out.rowsCopied, 300);
  EXPECT_EQ(out.message, "");
  const QStringList lines = out.text.split("\r\n");
  ASSERT_EQ(lines.size(), 302);  // titles, 300 rows, and the empty rest after the last CR LF
  EXPECT_EQ(lines[0], "ID\tNAME");
  EXPECT_EQ(lines[1], "1\tn1");
  EXPECT_EQ(lines[300], "300\tn300");
  EXPECT_EQ(lines[301], "");
  EXPECT_EQ(out.text.count('\n'), out.text.count("\r\n"));
}

TEST_F(ResultCopy, CopyingRightAfterTheRunTakesTheFirstPacketAndLoadsTheNext) {
  openNumbers(1800);
  const RowsExport out = exportFetchedRows(model, french());
  EXPECT_EQ(out.rowsCopied, 500);
  EXPECT_EQ(out.text.count("\r\n"), 501);
  EXPECT_TRUE(out.text.endsWith("500\tn500\r\n"));
  EXPECT_EQ(model.fetchedRows(), 1000);
  EXPECT_EQ(out.message, "500 " + french().messages[24]);
  EXPECT_TRUE(out.message.contains("lignes transférées"));
}

TEST_F(ResultCopy, TheNoticeFollowsTheRowsHeldAndStopsAtTwoThousand) {
  openNumbers(3000, 2);
  EXPECT_EQ(exportFetchedRows(model, french()).message, "1000 " + french().messages[24]);
  EXPECT_EQ(model.fetchedRows(), 1500);
  const RowsExport third = exportFetchedRows(model, kernel::englishTexts());
  EXPECT_EQ(third.rowsCopied, 1500);
  EXPECT_EQ(third.message, "1500 " + kernel::englishTexts().messages[24]);
  EXPECT_EQ(model.fetchedRows(), 2000);
  const RowsExport fourth = exportFetchedRows(model, french());
  EXPECT_EQ(fourth.rowsCopied, 2000);
  EXPECT_EQ(fourth.message, "");
  EXPECT_EQ(model.fetchedRows(), 2500);
}

TEST_F(ResultCopy, AResultFetchedWholeIsNotAnnouncedAsAPartOfItself) {
  openNumbers(1000);
  model.fetchAll();
  const RowsExport out = exportFetchedRows(model, french());
  EXPECT_EQ(out.rowsCopied, 1000);
  EXPECT_EQ(out.message, "");
}

TEST_F(ResultCopy, NullsAreEmptyAndValuesGoOutUnescaped) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 1);
  model.setRegionalFormat(',', "DD/MM/YYYY");
  model.open(*connection, "select NAME \"title1\", case when ID < 0 then 'x' end \"title2\" from NUMS");
  EXPECT_EQ(exportFetchedRows(model, french()).text, "title1\ttitle2\r\nn1\t\r\n");

  model.open(*connection,
             "select 'a' || chr(9) || 'b' || chr(13) || chr(10) || 'c' T, AMOUNT, BORN from NUMS");
  EXPECT_EQ(exportFetchedRows(model, french()).text,
            "T\tAMOUNT\tBORN\r\na\tb\r\nc\t1,5\t04/03/2011 10:20:30\r\n");
}

TEST_F(ResultCopy, TheExporterPutsTheTextOnTheClipboardAndTellsTheNotice) {
  openNumbers(1800);
  kernel::RecordingInteraction interaction;
  kernel::RecordingOpener opener;
  QStringList clipboard;
  ResultExporter exporter(interaction, opener, [&](const QString& t) { clipboard << t; });
  exporter.exportRows(ResultExporter::Clipboard, model, french());
  ASSERT_EQ(clipboard.size(), 1);
  EXPECT_EQ(clipboard[0].count("\r\n"), 501);
  EXPECT_EQ(interaction.informed, QStringList({"500 " + french().messages[24]}));
  EXPECT_TRUE(opener.opened.isEmpty());

  model.close();
  exporter.exportRows(ResultExporter::Clipboard, model, french());
  exporter.exportRows(ResultExporter::Spreadsheet, model, french());
  EXPECT_EQ(clipboard.size(), 1);
  EXPECT_EQ(interaction.informed.size(), 1);
  EXPECT_TRUE(opener.opened.isEmpty());
}

class ResultSpreadsheet : public ResultCopy {
 protected:
  void SetUp() override {
    ResultCopy::SetUp();
    exporter.setWorkbookFolder(folder.path());
  }
  QStringList filesInFolder() const { return QDir(folder.path()).entryList(QDir::Files); }

  QTemporaryDir folder;
  kernel::RecordingInteraction interaction;
  kernel::RecordingOpener opener;
  QStringList clipboard;
  ResultExporter exporter{interaction, opener, [this](const QString& t) { clipboard << t; }};
};

TEST_F(ResultSpreadsheet, WritesAFreshWorkbookAndOpensIt) {
  openNumbers(1800);
  exporter.exportRows(ResultExporter::Spreadsheet, model, french());
  ASSERT_EQ(opener.opened.size(), 1);
  const QString path = opener.opened[0].toLocalFile();
  EXPECT_EQ(path, exporter.lastWorkbook());
  EXPECT_TRUE(QFileInfo(path).fileName().startsWith("korvo-grid-data-"));
  EXPECT_TRUE(path.endsWith(".xlsx"));
  EXPECT_GT(QFileInfo(path).size(), 0);
  EXPECT_EQ(filesInFolder(), QStringList({QFileInfo(path).fileName()}));
  ASSERT_EQ(clipboard.size(), 1);
  EXPECT_EQ(clipboard[0].count("\r\n"), 501);
  EXPECT_EQ(interaction.informed, QStringList({"500 " + french().messages[24]}));

  exporter.exportRows(ResultExporter::Spreadsheet, model, french());
  ASSERT_EQ(opener.opened.size(), 2);
  EXPECT_NE(opener.opened[1], opener.opened[0]);
}

TEST_F(ResultSpreadsheet, NoSpreadsheetProgramMeansNothingCopiedOrFetched) {
  openNumbers(1800);
  opener.succeed = false;
  exporter.exportRows(ResultExporter::Spreadsheet, model, french());
  EXPECT_EQ(interaction.informed, QStringList({french().messages[23]}));
  EXPECT_TRUE(interaction.errors.isEmpty());
  EXPECT_TRUE(clipboard.isEmpty());
  EXPECT_EQ(model.fetchedRows(), 500);
  EXPECT_TRUE(filesInFolder().isEmpty());
}

TEST_F(ResultSpreadsheet, AnUnwritableFolderIsReportedByName) {
  openNumbers(10);
  const QString missing = folder.filePath("no/such/folder");
  exporter.setWorkbookFolder(missing);
  exporter.exportRows(ResultExporter::Spreadsheet, model, french());
  EXPECT_EQ(interaction.informed, QStringList({french().messages[23]}));
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].contains(missing)) << interaction.errors[0].toStdString();
  EXPECT_TRUE(clipboard.isEmpty());
  EXPECT_TRUE(opener.opened.isEmpty());
}

}  // namespace
