// `korvo generate` run as a program: a query saved with the query files over
// the imported demonstration universe, printed line by line with every blank;
// the refusals and their statuses.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "builder/query_files.h"
#include "builder/query_grids.h"
#include "kernel/app_state.h"
#include "korvo_program.h"
#include "support/test_paths.h"

namespace {

using korvo::testing::ProgramRun;

class KorvoGenerate : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    program_ = korvo::testing::korvoProgram();
    ASSERT_FALSE(program_.isEmpty()) << "build the korvo target first";
    QDir(dir_.path()).mkdir("REQUETES");
    QDir(dir_.path()).mkdir("CONDITIONS");
  }

  QString connect() const { return "scott/tiger@local:" + dir_.filePath("schemas"); }
  QString requete(const QString& name) const { return dir_.filePath("REQUETES/" + name); }

  ProgramRun korvo(const QStringList& arguments) {
    return korvo::testing::runKorvo(program_, dir_.path(), arguments);
  }

  void importDemo() {
    const QString folder = QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS");
    const ProgramRun imported = korvo({"import", connect(), folder});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
  }

  // Department and salary total of the clerks, saved from French grids.
  void saveClerkQuery(const QString& file) {
    korvo::kernel::AppState app;
    app.programFolder = dir_.path();
    korvo::builder::QueryGrids grids(app);
    grids.replaceObjects({{"2", "0", "Department", "Char"}, {"20", "1", "Total salary", "Num"}});
    grids.replaceConditions(
        {{"6", "", "ET", "", "Fonction", "Egal à", "", "clerk", "Char", "0"},
         {"8", "", "ET", "(", "Commission", "Non renseigné", "", "", "Num", "0"},
         {"", ")", "", "", "", "", "", "", "", "0"}});
    const korvo::builder::QueryFileResult saved = korvo::builder::saveQuery(file, grids);
    ASSERT_TRUE(saved.ok()) << saved.error.toStdString();
  }

  QTemporaryDir dir_;
  QString program_;
};

}  // namespace

TEST_F(KorvoGenerate, SavedQueryPrintedLineByLine) {
  importDemo();
  saveClerkQuery(requete("clerks.xml"));
  const ProgramRun run = korvo({"generate", connect(), requete("clerks.xml")});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out,
            "Select distinct \n"
            "    KORVO_DEPT.DNAME \"Department\",\n"
            "    sum(KORVO_EMP.SAL) \"Total salary\"\n"
            " From \n"
            "    KORVO_DEPT,\n"
            "    KORVO_EMP\n"
            " where  1=1\n"
            "    AND KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO\n"
            "     AND  KORVO_EMP.JOB = 'CLERK'\n"
            "     AND ( KORVO_EMP.COMM IS NULL \n"
            "    )     \n"
            " GROUP BY KORVO_DEPT.DNAME\n");
  // Connectors and operators are stored neutrally: the same statement in English.
  EXPECT_EQ(korvo({"generate", connect(), requete("clerks.xml"), "--lang", "AN"}).out, run.out);
  EXPECT_EQ(korvo({"generate", "--lang", "an", connect(), requete("clerks.xml")}).out, run.out);

  // The printed statement runs.
  QFile script(dir_.filePath("clerks.sql"));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write((run.out.trimmed() + ";\n").toUtf8());
  script.close();
  const ProgramRun rows = korvo({"sql", connect(), "@" + script.fileName()});
  EXPECT_EQ(rows.status, 0) << rows.err.toStdString();
  for (const char* expected : {"ACCOUNTING", "1300", "RESEARCH", "1900", "SALES", "950"})
    EXPECT_TRUE(rows.out.contains(expected)) << rows.out.toStdString();
}

TEST_F(KorvoGenerate, RefusalsAndUsage) {
  saveClerkQuery(requete("clerks.xml"));
  // A fresh schema: no repository tables.
  ProgramRun run = korvo({"generate", connect(), requete("clerks.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("ORA-00942")) << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());

  importDemo();
  run = korvo({"generate", connect(), requete("missing.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("missing.xml")) << run.err.toStdString();

  // A result-object file without its condition file.
  QFile::copy(requete("clerks.xml"), requete("alone.xml"));
  run = korvo({"generate", connect(), requete("alone.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("CONDITIONS")) << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());

  QFile broken(requete("broken.xml"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("<DATAPACKET");
  broken.close();
  QFile::copy(dir_.filePath("CONDITIONS/clerks.xml"), dir_.filePath("CONDITIONS/broken.xml"));
  EXPECT_EQ(korvo({"generate", connect(), requete("broken.xml")}).status, 1);

  {
    korvo::kernel::AppState app;
    korvo::builder::QueryGrids grids(app);
    grids.replaceObjects({});
    grids.replaceConditions({{"6", "", "", "", "Fonction", "Egal à", "", "clerk", "Char", "0"}});
    ASSERT_TRUE(korvo::builder::saveQuery(requete("empty.xml"), grids).ok());
  }
  run = korvo({"generate", connect(), requete("empty.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("no result object")) << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());

  EXPECT_EQ(korvo({"generate"}).status, 2);
  EXPECT_EQ(korvo({"generate", connect()}).status, 2);
  EXPECT_EQ(korvo({"generate", "scott", requete("clerks.xml")}).status, 2);
  EXPECT_EQ(korvo({"generate", connect(), requete("clerks.xml"), "--lang"}).status, 2);
  EXPECT_EQ(korvo({"generate", connect(), requete("clerks.xml"), "--lang", "DE"}).status, 2);
  const ProgramRun help = korvo({"generate", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE((help.out + help.err).contains("QUERYFILE"));
}
