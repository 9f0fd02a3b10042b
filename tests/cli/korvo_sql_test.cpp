// End-to-end runs of the built `korvo` program on the embedded engine: what
// reaches standard output, standard error and the exit status.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "korvo_program.h"

namespace {

using korvo::testing::ProgramRun;
using korvo::testing::korvoProgram;

class KorvoSqlTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    program_ = korvoProgram();
    ASSERT_FALSE(program_.isEmpty()) << "build the korvo target first (looked beside "
                                     << QCoreApplication::applicationDirPath().toStdString() << ")";
  }

  QString alias() const { return "local:" + dir_.filePath("schemas"); }
  QString connect(const QString& password = "tiger") const {
    return "scott/" + password + "@" + alias();
  }

  QString writeScript(const QString& name, const QByteArray& text) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
  }

  ProgramRun korvo(const QStringList& arguments, const QByteArray& input = QByteArray()) {
    return korvo::testing::runKorvo(program_, dir_.path(), arguments, input);
  }

  ProgramRun sql(const QByteArray& script, const QString& password = "tiger") {
    return korvo({"sql", connect(password), "-"}, script);
  }

  QTemporaryDir dir_;
  QString program_;
};

TEST_F(KorvoSqlTest, VersionAndHelp) {
  ProgramRun version = korvo({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "1.1.0\n");
  ProgramRun help = korvo({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.contains("\n  sql ")) << help.out.toStdString();
  ProgramRun sqlHelp = korvo({"sql", "--help"});
  EXPECT_EQ(sqlHelp.status, 0);
  EXPECT_TRUE(sqlHelp.out.startsWith("Usage: korvo sql user/password@alias"));
  ProgramRun unknown = korvo({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(unknown.out.isEmpty());
  EXPECT_TRUE(unknown.err.contains("frobnicate"));
  EXPECT_EQ(korvo({}).status, 2);
}

TEST_F(KorvoSqlTest, RowsOnOutputFeedbackOnErrors) {
  const QString script = writeScript(
      "demo.sql",
      "-- demo rows\n"
      "CREATE TABLE emp (empno NUMBER(4), ename VARCHAR2(10), sal NUMBER(7,2), comm NUMBER);\n"
      "INSERT INTO emp VALUES (7839, 'KING', 5000, NULL);\n"
      "INSERT INTO emp VALUES (7698, 'BLAKE', 2850.5, 0.5);\n"
      "INSERT INTO emp VALUES (7782, 'CLARK', 2450, NULL);\n"
      "SELECT ename, sal, comm\n  FROM emp\n ORDER BY empno;\n"
      "BEGIN\n  DBMS_APPLICATION_INFO.SET_MODULE('KORVO-BO6 1.1.0', '');\nEND;\n/\n");
  ProgramRun run = korvo({"sql", connect(), script});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "ENAME\tSAL\tCOMM\nBLAKE\t2850.5\t.5\nCLARK\t2450\t\nKING\t5000\t\n");
  EXPECT_EQ(run.err,
            "Table created.\n1 row created.\n1 row created.\n1 row created.\n"
            "3 rows selected.\nPL/SQL procedure successfully completed.\n");
}

TEST_F(KorvoSqlTest, SqlPlusFormWithAtSignAndDefaultExtension) {
  writeScript("query.sql", "SELECT 'x' AS v FROM dual;\n");
  ProgramRun run = korvo({"sql", connect(), "@query"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "V\nx\n");
  EXPECT_EQ(run.err, "1 row selected.\n");
}

TEST_F(KorvoSqlTest, WorkIsCommittedAtTheEndUnlessRolledBack) {
  EXPECT_EQ(sql("CREATE TABLE t (a NUMBER);\nINSERT INTO t VALUES (1);\n").status, 0);
  EXPECT_EQ(sql("INSERT INTO t VALUES (2);\nEXIT ROLLBACK\n").status, 0);
  EXPECT_EQ(sql("INSERT INTO t VALUES (3);\nEXIT\nINSERT INTO t VALUES (4);\n").status, 0);
  ProgramRun check = sql("SET FEEDBACK OFF HEADING OFF\nSELECT a FROM t ORDER BY a;\n");
  EXPECT_EQ(check.out, "1\n3\n");
  EXPECT_EQ(check.err, "");
}

TEST_F(KorvoSqlTest, ErrorsGoOnWithoutWheneverAndStopWithIt) {
  ProgramRun goesOn = sql("SELECT * FROM missing;\nSELECT 1 AS one FROM dual;\n");
  EXPECT_EQ(goesOn.status, 0);
  EXPECT_EQ(goesOn.out, "ONE\n1\n");
  EXPECT_TRUE(goesOn.err.contains("ORA-00942: table or view does not exist"))
      << goesOn.err.toStdString();

  EXPECT_EQ(sql("CREATE TABLE t (a NUMBER);\n").status, 0);
  ProgramRun stops =
      sql("WHENEVER SQLERROR EXIT 3 ROLLBACK\nINSERT INTO t VALUES (1);\n"
          "SELECT * FROM missing;\nINSERT INTO t VALUES (2);\n");
  EXPECT_EQ(stops.status, 3);
  EXPECT_TRUE(stops.err.contains("ORA-00942"));
  EXPECT_EQ(stops.err.count("row created"), 1);
  ProgramRun count = sql("SELECT COUNT(*) AS n FROM t;\n");
  EXPECT_EQ(count.out, "N\n0\n");

  ProgramRun failure = sql("WHENEVER SQLERROR EXIT\nSELECT * FROM missing;\n");
  EXPECT_EQ(failure.status, 1);
  // SQL.SQLCODE: the ORA- number, as the shell sees it (8 bits).
  ProgramRun code = sql("WHENEVER SQLERROR EXIT SQL.SQLCODE\nSELECT * FROM missing;\n");
  EXPECT_EQ(code.status, 942 % 256);
}

TEST_F(KorvoSqlTest, AQueryFailingOnItsFirstRowWritesNoOutput) {
  ProgramRun run = sql("SELECT 1/0 AS x FROM dual;\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(run.err.contains("ORA-01476: divisor is equal to zero")) << run.err.toStdString();
}

TEST_F(KorvoSqlTest, DatesInTheSessionFormat) {
  ProgramRun run =
      sql("ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY hh24:mi:ss';\n"
          "SELECT TO_DATE('1981-02-20 10:11:12', 'YYYY-MM-DD HH24:MI:SS') AS d FROM dual;\n");
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "D\n20/02/1981 10:11:12\n");
  EXPECT_TRUE(run.err.startsWith("Session altered.\n"));
}

TEST_F(KorvoSqlTest, LogonFailures) {
  EXPECT_EQ(sql("SELECT 1 FROM dual;\n").status, 0);
  ProgramRun wrong = sql("SELECT 1 FROM dual;\n", "lion");
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.out, "");
  EXPECT_TRUE(wrong.err.contains("ORA-01017: invalid username/password; logon denied"));

  ProgramRun badConnect = korvo({"sql", "scott-tiger", "-"});
  EXPECT_EQ(badConnect.status, 2);
  ProgramRun missingScript = korvo({"sql", connect(), "@nowhere"});
  EXPECT_EQ(missingScript.status, 1);
  EXPECT_TRUE(missingScript.err.contains("SP2-0310")) << missingScript.err.toStdString();
}

TEST_F(KorvoSqlTest, LocalNamesLiveUnderTheDataFolder) {
  ProgramRun run = korvo({"sql", "scott/tiger@local:demo", "-"}, "CREATE TABLE t (a NUMBER);\n");
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_TRUE(QFileInfo::exists(dir_.filePath("data/korvo-bo6/databases/demo/SCOTT.db")));
}

TEST_F(KorvoSqlTest, AScriptThatIsNotUtf8IsReadAsWindows1252WithAWarning) {
  const QString script = writeScript("latin.sql", "SET FEEDBACK OFF\nSELECT '\xe9t\xe9' AS c FROM dual;\n");
  ProgramRun run = korvo({"sql", connect(), script});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, QString("C\nété\n"));
  EXPECT_TRUE(run.err.contains("not valid UTF-8 (first invalid byte on line 2)")) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("latin.sql"));
}

TEST_F(KorvoSqlTest, SpoolAndPrompt) {
  ProgramRun run =
      sql("PROMPT starting\nSPOOL result.txt\nSELECT 'a' AS c FROM dual;\nSPOOL OFF\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "C\na\n");
  EXPECT_TRUE(run.err.startsWith("starting\n"));
  QFile spool(dir_.filePath("result.txt"));
  ASSERT_TRUE(spool.open(QIODevice::ReadOnly));
  EXPECT_EQ(spool.readAll(), "C\na\n");
}

}  // namespace
