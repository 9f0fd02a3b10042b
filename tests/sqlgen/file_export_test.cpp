// Every row of a result to a file: the CSV quoting rules of RFC 4180, the
// workbook read back (typed cells, frozen bold titles, the "Query" sheet),
// the HTML table, and that a failed or cancelled export leaves no file.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "qt_print.h"
#include "result_fixture.h"
#include "sqlgen/file_export.h"
#include "xlsx_read.h"

using namespace korvo;
using namespace korvo::sqlgen;

namespace {

// Rows given in memory, in packets of `packet`.
class ListRows : public RowSource {
 public:
  ListRows(QStringList titles, QList<db::Row> rows, int packet = 2)
      : titles_(std::move(titles)), rows_(std::move(rows)), packet_(packet) {}
  QStringList titles() const override { return titles_; }
  bool next(QList<db::Row>& rows) override {
    rows = rows_.mid(at_, packet_);
    at_ += rows.size();
    return !rows.isEmpty();
  }

 private:
  QStringList titles_;
  QList<db::Row> rows_;
  int packet_;
  qsizetype at_ = 0;
};

QString plainText(const QVariant& v) { return v.isNull() ? QString() : v.toString(); }

ExportOptions optionsFor(ExportFormat format) {
  ExportOptions options;
  options.format = format;
  options.text = plainText;
  return options;
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FileExport : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.isValid()); }
  QString path(const QString& name) const { return folder.filePath(name); }
  QStringList leftovers() const { return QDir(folder.path()).entryList(QDir::Files); }
  QTemporaryDir folder;
};

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  struct Case {
    QString value;
    QChar separator;
    QString expected;
  };
  const QList<Case> cases = {
      {"plain", ',', "plain"},
      {"", ',', ""},
      {"a,b", ',', "\"a,b\""},
      // A semicolon file leaves commas alone and quotes its own separator.
      {"a,b", ';', "a,b"},
      {"a;b", ';', "\"a;b\""},
      {"say \"hi\"", ',', "\"say \"\"hi\"\"\""},
      {"two\nlines", ',', "\"two\nlines\""},
      {"cr\ronly", ',', "\"cr\ronly\""},
      {"tab\there", '\t', "\"tab\there\""},
      {" spaced ", ',', " spaced "},
      {"é à ü", ',', "é à ü"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(csvField(c.value, c.separator), c.expected) << c.value.toStdString();
}

TEST_F(FileExport, CsvFileWithQuotedFieldsAndCrLfLines) {
  ListRows rows({"ID", "NOTE, LONG"},
                {{1, "a,b"}, {2, QVariant()}, {3, "line1\r\nline2"}, {4, "q\"uote"}, {5, "é"}});
  const ExportOutcome out = exportToFile(path("r.csv"), rows, optionsFor(ExportFormat::Csv));
  ASSERT_TRUE(out.ok()) << out.error.toStdString();
  EXPECT_EQ(out.rows, 5);
  EXPECT_EQ(QString::fromUtf8(readAll(path("r.csv"))),
            "ID,\"NOTE, LONG\"\r\n1,\"a,b\"\r\n2,\r\n3,\"line1\r\nline2\"\r\n4,\"q\"\"uote\"\r\n5,é\r\n");
  EXPECT_EQ(leftovers(), QStringList{"r.csv"});
}

TEST_F(FileExport, TsvFileEscapesAsTheCommandLinePrints) {
  ListRows rows({"A", "B"}, {{"x\ty", "back\\slash"}, {QVariant(), "n\nl"}});
  ASSERT_TRUE(exportToFile(path("r.tsv"), rows, optionsFor(ExportFormat::Tsv)).ok());
  EXPECT_EQ(readAll(path("r.tsv")), "A\tB\nx\\ty\tback\\\\slash\n\tn\\nl\n");
}

TEST_F(FileExport, CsvProvenanceIsATrailingCommentBlockWhenAsked) {
  ExportOptions options = optionsFor(ExportFormat::Csv);
  options.withProvenance = true;
  options.provenance.universe = "Demo";
  options.provenance.statement = "select A\nfrom T";
  ListRows rows({"A"}, {{1}, {2}});
  ASSERT_TRUE(exportToFile(path("p.csv"), rows, options).ok());
  const QString text = QString::fromUtf8(readAll(path("p.csv")));
  EXPECT_TRUE(text.startsWith("A\r\n1\r\n2\r\n# Universe: Demo\r\n")) << text.toStdString();
  // A line break of the statement continues in a comment line, never a row.
  EXPECT_TRUE(text.contains("# Statement: select A\r\n#   from T\r\n"));
  EXPECT_TRUE(text.contains("# Rows: 2\r\n# Every row fetched: yes\r\n"));
  // Not asked: the rows alone.
  options.withProvenance = false;
  ListRows again({"A"}, {{1}});
  ASSERT_TRUE(exportToFile(path("q.csv"), again, options).ok());
  EXPECT_EQ(readAll(path("q.csv")), "A\r\n1\r\n");
}

TEST_F(FileExport, HtmlTableEscapesTheCells) {
  ExportOptions options = optionsFor(ExportFormat::Html);
  options.withProvenance = true;
  options.provenance.statement = "select 1 from dual where 1 < 2";
  ListRows rows({"<A>"}, {{"x & y"}, {QVariant()}});
  ASSERT_TRUE(exportToFile(path("r.html"), rows, options).ok());
  const QString html = QString::fromUtf8(readAll(path("r.html")));
  EXPECT_TRUE(html.contains("<th>&lt;A&gt;</th>"));
  EXPECT_TRUE(html.contains("<tr><td>x &amp; y</td></tr>\n<tr><td></td></tr>"));
  EXPECT_TRUE(html.contains("1 &lt; 2"));
  EXPECT_TRUE(html.contains("<h2>Query</h2>"));
}

TEST_F(FileExport, WorkbookKeepsTypesAndCarriesTheQuerySheet) {
  if (QStandardPaths::findExecutable("unzip").isEmpty()) GTEST_FAIL() << "unzip is needed";
  ExportOptions options = optionsFor(ExportFormat::Xlsx);
  options.provenance.universe = "Demo";
  options.provenance.resultObjects = {"Department", "Total salary"};
  options.provenance.conditions = {{"", "(", "Job", "Equal to", "clerk", ""},
                                   {"OR", "", "Job", "Equal to", "analyst", ""},
                                   {"", "", "", "", "", ")"}};
  options.provenance.promptAnswers = {{"Year?", "2011"}};
  options.provenance.statement = "select 1 from dual";
  options.provenance.ranAt = QDateTime(QDate(2026, 12, 9), QTime(11, 5, 0));
  ListRows rows({"ID", "NAME", "BORN"},
                {{qlonglong(7), "seven", QDateTime(QDate(2011, 3, 4), QTime(10, 20, 30))},
                 {2.5, QVariant(), QDateTime(QDate(2011, 3, 6), QTime(0, 0))},
                 // Before the spreadsheet's calendar: written as its text.
                 {qlonglong(3), "x", QDateTime(QDate(1850, 1, 1), QTime(0, 0))}});
  const QString file = path("r.xlsx");
  const ExportOutcome out = exportToFile(file, rows, options);
  ASSERT_TRUE(out.ok()) << out.error.toStdString();
  EXPECT_EQ(leftovers(), QStringList{"r.xlsx"});

  const QByteArray book = korvo::testing::zipEntry(file, "xl/workbook.xml");
  EXPECT_TRUE(book.contains("name=\"Grid Data\""));
  EXPECT_TRUE(book.contains("name=\"Query\""));
  const auto cells = korvo::testing::xlsxSheetCells(file, 1);
  EXPECT_EQ(cells["A1"].value, "ID");
  EXPECT_EQ(cells["A2"].type, "");
  EXPECT_EQ(cells["A2"].value, "7");
  EXPECT_EQ(cells["A3"].value, "2.5");
  EXPECT_EQ(cells["B2"].value, "seven");
  EXPECT_FALSE(cells.contains("B3"));  // a null is no cell
  // 4 March 2011 10:20:30 and 6 March 2011 as serial dates (day 40606 = 2011-03-04).
  EXPECT_NEAR(cells["C2"].value.toDouble(), 40606 + (10 * 3600 + 20 * 60 + 30) / 86400.0, 1e-9);
  EXPECT_EQ(cells["C3"].value.toDouble(), 40608);
  EXPECT_NE(cells["C4"].type, "");  // text, not a number
  const QByteArray sheet = korvo::testing::zipEntry(file, "xl/worksheets/sheet1.xml");
  EXPECT_TRUE(sheet.contains("state=\"frozen\"")) << sheet.left(800).toStdString();
  EXPECT_TRUE(sheet.contains("<cols>"));
  // The title cells share a style whose font is bold.
  EXPECT_NE(cells["A1"].style, 0);
  EXPECT_TRUE(korvo::testing::zipEntry(file, "xl/styles.xml").contains("<b/>"));

  const auto query = korvo::testing::xlsxSheetCells(file, 2);
  QStringList lines;
  for (int r = 1; query.contains(QStringLiteral("A%1").arg(r)) || query.contains(QStringLiteral("B%1").arg(r)); ++r)
    lines << query.value(QStringLiteral("A%1").arg(r)).value + "|" + query.value(QStringLiteral("B%1").arg(r)).value;
  EXPECT_EQ(lines, (QStringList{"Universe|Demo", "Result objects|Department, Total salary",
                                "Conditions|( Job Equal to clerk", "|OR Job Equal to analyst", "|)",
                                "Prompt|Year? = 2011", "Statement|select 1 from dual",
                                "Run at|2026-12-09T11:05:00", "Rows|3", "Every row fetched|yes"}));
}

TEST_F(FileExport, AnUnwritableFileLeavesNothing) {
  for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Xlsx, ExportFormat::Html}) {
    ListRows rows({"A"}, {{1}});
    const QString target = path("missing-folder/r.out");
    const ExportOutcome out = exportToFile(target, rows, optionsFor(format));
    EXPECT_EQ(out.status, ExportOutcome::Failed);
    EXPECT_TRUE(out.error.startsWith(target)) << out.error.toStdString();
  }
  EXPECT_TRUE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

// A source that fails in its second packet, as a lost connection would.
class FailingRows : public RowSource {
 public:
  QStringList titles() const override { return {"A"}; }
  bool next(QList<db::Row>& rows) override {
    if (++calls_ > 1) throw db::DbError("ORA-03113: end-of-file on communication channel");
    rows = {{1}};
    return true;
  }
  int calls_ = 0;
};

TEST_F(FileExport, AFailureOrCancelKeepsTheFileThatWasThere) {
  QFile old(path("r.csv"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Xlsx}) {
    const QString target = path(format == ExportFormat::Csv ? "r.csv" : "r.xlsx");
    FailingRows failing;
    ExportOutcome out = exportToFile(target, failing, optionsFor(format));
    EXPECT_EQ(out.status, ExportOutcome::Failed);
    EXPECT_EQ(out.error, "ORA-03113: end-of-file on communication channel");

    ListRows rows({"A"}, {{1}, {2}, {3}, {4}});
    ExportOptions options = optionsFor(format);
    long long seen = 0;
    options.progress = [&seen](long long written) {
      seen = written;
      return written < 2;
    };
    out = exportToFile(target, rows, options);
    EXPECT_EQ(out.status, ExportOutcome::Cancelled);
    EXPECT_EQ(seen, 2);
  }
  EXPECT_EQ(leftovers(), QStringList{"r.csv"});
  EXPECT_EQ(readAll(path("r.csv")), "old");
}

// A million generated rows: every one reaches the file.
class CountingRows : public RowSource {
 public:
  explicit CountingRows(int total) : total_(total) {}
  QStringList titles() const override { return {"N", "T"}; }
  bool next(QList<db::Row>& rows) override {
    rows.clear();
    for (int i = 0; i < 5000 && made_ < total_; ++i, ++made_) rows.append({made_ + 1, "r"});
    return !rows.isEmpty();
  }

 private:
  int total_;
  int made_ = 0;
};

TEST_F(FileExport, AMillionRowsAllReachTheCsvFile) {
  CountingRows rows(1000000);
  const ExportOutcome out = exportToFile(path("big.csv"), rows, optionsFor(ExportFormat::Csv));
  ASSERT_TRUE(out.ok()) << out.error.toStdString();
  EXPECT_EQ(out.rows, 1000000);
  const QByteArray bytes = readAll(path("big.csv"));
  EXPECT_EQ(bytes.count('\n'), 1000001);
  EXPECT_TRUE(bytes.endsWith("\r\n1000000,r\r\n"));
}

TEST_F(FileExport, RowsFromTheEngineCursor) {
  QTemporaryDir schemas;
  const QString alias = "local:" + schemas.path();
  std::unique_ptr<db::Connection> connection = db::connectionForAlias(alias);
  connection->open(alias, "scott", "tiger");
  korvo::testing::createNumberedTable(*connection, "NUMS", 1200);
  std::unique_ptr<db::Cursor> cursor = connection->query("select ID, NAME from NUMS order by ID");
  CursorRows rows(*cursor, 500);
  ExportOptions options = optionsFor(ExportFormat::Csv);
  options.text = [&](const QVariant& v) { return v.isNull() ? QString() : connection->display(v); };
  int packets = 0;
  options.progress = [&](long long) { return ++packets > 0; };
  const ExportOutcome out = exportToFile(path("e.csv"), rows, options);
  ASSERT_TRUE(out.ok()) << out.error.toStdString();
  EXPECT_EQ(out.rows, 1200);
  EXPECT_EQ(packets, 3);  // 500 + 500 + 200
  EXPECT_TRUE(readAll(path("e.csv")).endsWith("\r\n1200,n1200\r\n"));
  connection->close();
}

}  // namespace
