// `korvo run` run as a program over the imported demonstration universe: the
// rows of a saved query, the packet of 500 rows against --all, the cost
// question and its answer, the refusals and their statuses.
#include <gtest/gtest.h>

#include <QDir>
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
