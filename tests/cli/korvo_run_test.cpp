// `korvo run` run as a program over the imported demonstration universe: the
// rows of a saved query, the packet of 500 rows against --all, the cost
// question and its answer, the refusals and their statuses.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

#include "builder/query_files.h"
#include "builder/query_grids.h"
#include "kernel/app_state.h"
#include "korvo_program.h"
#include "support/test_paths.h"

namespace {

using korvo::testing::ProgramRun;

class KorvoRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    program_ = korvo::testing::korvoProgram();
    ASSERT_FALSE(program_.isEmpty()) << "build the korvo target first";
    QDir(dir_.path()).mkdir("REQUETES");
    QDir(dir_.path()).mkdir("CONDITIONS");
    const QString folder = QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS");
    const ProgramRun imported = korvo({"import", connect(), folder});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
  }

  QString connect() const { return "scott/tiger@local:" + dir_.filePath("schemas"); }
  QString requete(const QString& name) const { return dir_.filePath("REQUETES/" + name); }
  ProgramRun korvo(const QStringList& arguments) {
    return korvo::testing::runKorvo(program_, dir_.path(), arguments);
  }

  void save(const QString& name, const QList<QStringList>& objects,
            const QList<QStringList>& conditions) {
    korvo::kernel::AppState app;
    app.programFolder = dir_.path();
    korvo::builder::QueryGrids grids(app);
    grids.replaceObjects(objects);
    grids.replaceConditions(conditions);
    const korvo::builder::QueryFileResult saved = korvo::builder::saveQuery(requete(name), grids);
    ASSERT_TRUE(saved.ok()) << saved.error.toStdString();
  }
  void saveClerks() {
    save("clerks.xml", {{"2", "0", "Department", "Char"}, {"20", "1", "Total salary", "Num"}},
         {{"6", "", "ET", "", "Fonction", "Egal à", "", "clerk", "Char", "0"}});
  }
  void writeSettings(int cost) {
    QFile ini(dir_.filePath("Korvo-BO6.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QString("[PARAMETRES]\nLANG=FR\nCOST=%1\n").arg(cost).toUtf8());
  }
  static QStringList sortedLines(const QString& out) {
    QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    std::sort(lines.begin() + (lines.isEmpty() ? 0 : 1), lines.end());
    return lines;
  }

  QTemporaryDir dir_;
  QString program_;
};

}  // namespace

TEST_F(KorvoRun, RowsUnderTheirHeadingAndTheCostQuestion) {
  saveClerks();
  const QStringList expected = {"Department\tTotal salary", "ACCOUNTING\t1300", "RESEARCH\t1900",
                                "SALES\t950"};
  // No settings file: the threshold is 0, so the question comes and only --yes answers it.
  ProgramRun run = korvo({"run", connect(), requete("clerks.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_TRUE(run.err.contains("Le coût de la requete est estimé à: ")) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(", voulez vous continuer?\n(answer it with --yes)"));
  run = korvo({"run", "--lang", "AN", connect(), requete("clerks.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("The query cost is estimated at: ")) << run.err.toStdString();

  run = korvo({"run", connect(), requete("clerks.xml"), "--yes"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(sortedLines(run.out), expected);

  writeSettings(1000000);
  run = korvo({"run", connect(), requete("clerks.xml")});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(sortedLines(run.out), expected);
  EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST_F(KorvoRun, FirstPacketOrEveryRow) {
  QFile script(dir_.filePath("more.sql"));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write(
      "insert into KORVO_EMP (EMPNO, ENAME, DEPTNO) select 1000 + level, 'E' || level, 10 "
      "from dual connect by level <= 1200;\n");
  script.close();
  ASSERT_EQ(korvo({"sql", connect(), "@" + script.fileName()}).status, 0);
  save("numbers.xml", {{"4", "0", "Matricule", "Num"}}, {});
  writeSettings(1000000);

  ProgramRun run = korvo({"run", connect(), requete("numbers.xml")});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
  EXPECT_EQ(lines.size(), 1 + 500);
  EXPECT_EQ(lines.first(), "Matricule");

  run = korvo({"run", "--all", connect(), requete("numbers.xml")});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  lines = run.out.split('\n', Qt::SkipEmptyParts);
  EXPECT_EQ(lines.size(), 1 + 1214);
  EXPECT_TRUE(lines.contains("2200"));
  EXPECT_TRUE(lines.contains("7934"));
}

TEST_F(KorvoRun, RefusalsMissingFilesAndUsage) {
  writeSettings(1000000);
  // An object whose restriction asks for a value when it runs.
  save("prompt.xml", {{"9", "0", "Employés d'une fonction", "Char"}}, {});
  ProgramRun run = korvo({"run", connect(), requete("prompt.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_TRUE(run.err.contains("the prompt \"Quelle fonction ?\" has no answer"))
      << run.err.toStdString();
  // The answer goes in quoted, its case kept: no employee has the job "clerk".
  run = korvo({"run", connect(), requete("prompt.xml"), "--prompt", "Quelle fonction ?=clerk"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out.count('\n'), 1) << run.out.toStdString();
  run = korvo({"run", connect(), requete("prompt.xml"), "--prompt", "Quelle fonction ?=CLERK"});
  EXPECT_EQ(run.out.count('\n'), 5) << run.out.toStdString();
  EXPECT_EQ(korvo({"run", connect(), requete("prompt.xml"), "--prompt", "no-equals"}).status, 2);

  save("nulltest.xml", {{"5", "0", "Employé", "Char"}},
       {{"8", "", "ET", "", "Commission", "Non renseigné", "", "0", "Num", "0"}});
  run = korvo({"run", connect(), requete("nulltest.xml"), "--lang", "AN"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("Invalide Syntaxe, check condition (id=8)"))
      << run.err.toStdString();

  run = korvo({"run", connect(), requete("missing.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("missing.xml")) << run.err.toStdString();
  QFile::copy(requete("prompt.xml"), requete("alone.xml"));
  run = korvo({"run", connect(), requete("alone.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("CONDITIONS")) << run.err.toStdString();

  EXPECT_EQ(korvo({"run"}).status, 2);
  EXPECT_EQ(korvo({"run", connect()}).status, 2);
  EXPECT_EQ(korvo({"run", connect(), requete("prompt.xml"), "extra"}).status, 2);
  EXPECT_EQ(korvo({"run", connect(), requete("prompt.xml"), "--lang"}).status, 2);
  EXPECT_EQ(korvo({"run", connect(), requete("prompt.xml"), "--lang", "DE"}).status, 2);
  EXPECT_EQ(korvo({"run", connect(), requete("prompt.xml"), "--fast"}).status, 2);
  EXPECT_EQ(korvo({"run", "scott", requete("prompt.xml")}).status, 2);
  const ProgramRun help = korvo({"run", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE((help.out + help.err).contains("--all"));
}

TEST_F(KorvoRun, EveryRowToAFileInTheFormatAsked) {
  saveClerks();
  const QString csv = dir_.filePath("clerks.csv");
  ProgramRun run = korvo({"run", connect(), requete("clerks.xml"), "--yes", "--lang", "AN",
                          "--output", csv, "--separator", ";"});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_TRUE(run.err.contains("3 rows written to " + csv)) << run.err.toStdString();
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
  std::sort(lines.begin() + 1, lines.end());
  EXPECT_EQ(lines, (QStringList{"Department;Total salary", "ACCOUNTING;1300", "RESEARCH;1900",
                                "SALES;950"}));

  // The workbook carries the "Query" sheet: its zip names both sheets.
  const QString xlsx = dir_.filePath("out.data");
  run = korvo({"run", connect(), requete("clerks.xml"), "--yes", "--format", "xlsx", "--output", xlsx});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  QFile book(xlsx);
  ASSERT_TRUE(book.open(QIODevice::ReadOnly));
  EXPECT_TRUE(book.read(2) == "PK");

  const QString html = dir_.filePath("clerks.html");
  run = korvo({"run", connect(), requete("clerks.xml"), "--yes", "--output", html, "--provenance"});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  QFile page(html);
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(page.readAll());
  EXPECT_TRUE(text.contains("<th>Department</th><th>Total salary</th>"));
  EXPECT_TRUE(text.contains("<td>SALES</td><td>950</td>"));
  // The condition in the user's words, the French of --lang's default.
  EXPECT_TRUE(text.contains("ET Fonction Egal à clerk")) << text.toStdString();
}

TEST_F(KorvoRun, FileOutputRefusals) {
  saveClerks();
  EXPECT_EQ(korvo({"run", connect(), requete("clerks.xml"), "--format", "pdf", "--output", "x"}).status, 2);
  EXPECT_EQ(korvo({"run", connect(), requete("clerks.xml"), "--format", "csv"}).status, 2);
  EXPECT_EQ(korvo({"run", connect(), requete("clerks.xml"), "--output"}).status, 2);
  EXPECT_EQ(korvo({"run", connect(), requete("clerks.xml"), "--output", "x.csv", "--separator", "ab"}).status, 2);
  // A folder that does not exist: refused, nothing written.
  const QString target = dir_.filePath("none/clerks.csv");
  const ProgramRun run = korvo({"run", connect(), requete("clerks.xml"), "--yes", "--output", target});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains(target)) << run.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath("none")));
}

TEST_F(KorvoRun, EveryRunGoesIntoTheHistory) {
  saveClerks();
  // Refused: the cost question without --yes (catalogue entry 45).
  ASSERT_EQ(korvo({"run", connect(), requete("clerks.xml")}).status, 1);
  ASSERT_EQ(korvo({"run", connect(), requete("clerks.xml"), "--yes"}).status, 0);
  ProgramRun history = korvo({"history"});
  ASSERT_EQ(history.status, 0) << history.err.toStdString();
  QStringList lines = history.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3) << history.out.toStdString();
  EXPECT_TRUE(lines[0].startsWith("ID\tSTARTED\tTRIGGER\tALIAS\tUSER\tUNIVERSE\tOUTCOME\tROWS"));
  const QStringList newest = lines[1].split('\t');
  const QStringList oldest = lines[2].split('\t');
  ASSERT_EQ(newest.size(), 14);
  ASSERT_EQ(oldest.size(), 14);
  EXPECT_EQ(newest[0], "2");
  EXPECT_EQ(newest[2], "cli");
  EXPECT_EQ(newest[3], "local:" + dir_.filePath("schemas"));
  EXPECT_EQ(newest[4], "scott");
  EXPECT_EQ(newest[6], "rows");
  EXPECT_EQ(newest[7], "3");
  EXPECT_EQ(newest[11], "Department, Total salary");
  EXPECT_TRUE(newest[13].startsWith("select", Qt::CaseInsensitive)) << newest[13].toStdString();
  EXPECT_EQ(oldest[6], "refused");
  EXPECT_EQ(oldest[9], "45");
  EXPECT_TRUE(oldest[10].startsWith("Le coût de la requete est estimé à: "));

  EXPECT_EQ(korvo({"history", "--limit", "1"}).out.count('\n'), 2);
  EXPECT_EQ(korvo({"history", "--search", "NO SUCH TEXT"}).out.count('\n'), 1);
  EXPECT_EQ(korvo({"history", "--limit", "x"}).status, 2);

  // The password went nowhere near the file.
  QFile file(dir_.filePath("data/korvo-bo6/history.sqlite"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray bytes = file.readAll();
  QFile wal(file.fileName() + "-wal");
  if (wal.open(QIODevice::ReadOnly)) bytes += wal.readAll();
  EXPECT_TRUE(bytes.contains("scott"));
  EXPECT_FALSE(bytes.contains("tiger"));
}
