// The script runner over a Connection (QSQLITE here; the command-line tests run
// it on the embedded engine): rows on one stream, feedback and errors on the other.
#include "db/sqlplus_runner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "db/qtsql_connection.h"

namespace korvo::db {
namespace {

class SqlPlusRunnerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    connection_.open(dir_.filePath("db.sqlite"), "u", "p");
    connection_.exec("CREATE TABLE emp (empno INTEGER, ename TEXT, comm REAL)");
    connection_.exec("INSERT INTO emp VALUES (1, 'KING', NULL)");
    connection_.exec("INSERT INTO emp VALUES (2, 'BLAKE', 2.5)");
  }

  // Runs a script to its end and returns the exit status.
  int run(const QString& script, const QString& path = QString()) {
    out_.clear();
    err_.clear();
    QTextStream out(&out_);
    QTextStream err(&err_);
    SqlPlusRunner runner(connection_, out, err);
    runner.setPacketSize(1);
    runner.runScript(script, path);
    runner.endOfInput();
    out.flush();
    err.flush();
    return runner.exitStatus();
  }

  long long count(const QString& table) {
    std::unique_ptr<Cursor> cursor = connection_.query("SELECT COUNT(*) FROM " + table);
    QList<Row> rows;
    cursor->fetch(rows, 0);
    return rows.value(0).value(0).toLongLong();
  }

  QTemporaryDir dir_;
  QtSqlConnection connection_{"QSQLITE"};
  QString out_;
  QString err_;
};

TEST_F(SqlPlusRunnerTest, RowsGoToOutputFeedbackToErrors) {
  EXPECT_EQ(run("select empno, ename, comm from emp order by empno;\n"
                "insert into emp values (3, 'CLARK', 0);\n"
                "update emp set comm = 1 where empno > 1;\n"
                "create table t (a integer);\n"),
            0);
  EXPECT_EQ(out_, "empno\tename\tcomm\n1\tKING\t\n2\tBLAKE\t2.5\n");
  EXPECT_EQ(err_, "2 rows selected.\n1 row created.\n2 rows updated.\nTable created.\n");
}

TEST_F(SqlPlusRunnerTest, FeedbackAndHeadingCanBeSwitchedOff) {
  EXPECT_EQ(run("set feedback off heading off linesize 200\n"
                "select ename from emp where empno = 1;\n"
                "delete from emp where empno = 1;\n"),
            0);
  EXPECT_EQ(out_, "KING\n");
  EXPECT_EQ(err_, "");
  EXPECT_EQ(run("select ename from emp where empno = 9;\n"), 0);
  EXPECT_EQ(out_, "ename\n");
  EXPECT_EQ(err_, "no rows selected\n");
  // PAGESIZE 0 is the SQL*Plus idiom for rows without headings.
  EXPECT_EQ(run("set pagesize 0\nselect ename from emp where empno = 2;\nset pages 14\n"
                "select ename from emp where empno = 2;\n"),
            0);
  EXPECT_EQ(out_, "BLAKE\nename\nBLAKE\n");
}

TEST_F(SqlPlusRunnerTest, FeedbackThresholdAppliesToQueries) {
  run("SET FEEDBACK 3\nselect * from emp;\nselect * from emp where 1 = 0;\n");
  EXPECT_EQ(err_, "no rows selected\n");
}

TEST_F(SqlPlusRunnerTest, ErrorsAreReportedAndTheScriptGoesOn) {
  EXPECT_EQ(run("select * from missing_table;\ninsert into emp values (3, 'X', NULL);\n"), 0);
  EXPECT_TRUE(err_.contains("ERROR at line 1:\n")) << err_.toStdString();
  EXPECT_TRUE(err_.contains("no such table: missing_table")) << err_.toStdString();
  EXPECT_TRUE(err_.endsWith("1 row created.\n"));
  EXPECT_EQ(count("emp"), 3);
}

TEST_F(SqlPlusRunnerTest, WheneverSqlErrorExitStopsWithItsCode) {
  EXPECT_EQ(run("WHENEVER SQLERROR EXIT 7\n"
                "insert into emp values (3, 'X', NULL);\n"
                "select * from missing_table;\n"
                "insert into emp values (4, 'Y', NULL);\n",
                "job.sql"),
            7);
  EXPECT_TRUE(err_.contains("ERROR at line 3 of job.sql:")) << err_.toStdString();
  EXPECT_FALSE(err_.contains("1 row created.\n1 row created."));
  // EXIT commits by default, as SQL*Plus does: the first insert stays.
  EXPECT_EQ(count("emp"), 3);

  EXPECT_EQ(run("WHENEVER SQLERROR EXIT ROLLBACK\n"
                "insert into emp values (5, 'Z', NULL);\n"
                "select * from missing_table;\n"),
            1);
  EXPECT_EQ(count("emp"), 3);
}

TEST_F(SqlPlusRunnerTest, WheneverSqlErrorContinueGoesOn) {
  EXPECT_EQ(
      run("WHENEVER SQLERROR EXIT 3\nWHENEVER SQLERROR CONTINUE\nselect * from missing_table;\n"),
      0);
}

TEST_F(SqlPlusRunnerTest, ExitEndsTheScriptWithItsActionAndCode) {
  EXPECT_EQ(run("insert into emp values (3, 'X', NULL);\nEXIT 4 ROLLBACK\n"
                "insert into emp values (4, 'Y', NULL);\n"),
            4);
  EXPECT_EQ(count("emp"), 2);
  EXPECT_EQ(run("insert into emp values (3, 'X', NULL);\nquit\n"), 0);
  EXPECT_EQ(count("emp"), 3);
  // EXIT SQL.SQLCODE: 0 without an error, else the last error's code.
  EXPECT_EQ(run("EXIT SQL.SQLCODE\n"), 0);
  EXPECT_EQ(run("select * from missing_table;\nEXIT SQL.SQLCODE\n"), 1);
}

TEST_F(SqlPlusRunnerTest, CommitAndRollbackStatements) {
  EXPECT_EQ(run("delete from emp;\nrollback;\ninsert into emp values (3, 'X', NULL);\ncommit;\n"
                "delete from emp where empno = 3;\nrollback work;\n"),
            0);
  EXPECT_EQ(err_,
            "2 rows deleted.\nRollback complete.\n1 row created.\nCommit complete.\n"
            "1 row deleted.\nRollback complete.\n");
  EXPECT_EQ(count("emp"), 3);
}

TEST_F(SqlPlusRunnerTest, SpoolCopiesQueryOutputToAFile) {
  const QString spool = dir_.filePath("out");
  EXPECT_EQ(run("SPOOL " + spool +
                "\nselect ename from emp where empno = 1;\nSPOOL OFF\n"
                "select ename from emp where empno = 2;\n"
                "spool " +
                spool + ".lst append\nselect empno from emp where empno = 2;\n"),
            0);
  QFile file(spool + ".lst");  // SQL*Plus adds .lst to a name without extension
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()), "ename\nKING\nempno\n2\n");
  EXPECT_EQ(out_, "ename\nKING\nename\nBLAKE\nempno\n2\n");
}

TEST_F(SqlPlusRunnerTest, SpoolFailureIsAnOsError) {
  EXPECT_EQ(run("WHENEVER OSERROR EXIT 5\nSPOOL /no/such/folder/x.txt\n"
                "insert into emp values (3, 'X', NULL);\n"),
            5);
  EXPECT_TRUE(err_.contains("SP2-0606")) << err_.toStdString();
  EXPECT_EQ(count("emp"), 2);
}

TEST_F(SqlPlusRunnerTest, PromptAndUnsupportedCommandsGoToErrors) {
  EXPECT_EQ(run("PROMPT Hello there\nCOLUMN ename FORMAT a10\nselect 1 as one from emp "
                "where empno = 1;\nselect 2 from emp\n"),
            0);
  EXPECT_EQ(out_, "one\n1\n");
  EXPECT_TRUE(err_.startsWith("Hello there\nIgnored at line 2 (not supported here): COLUMN"));
  EXPECT_TRUE(err_.contains("Statement at line 4 not run"));
}

TEST_F(SqlPlusRunnerTest, NestedScripts) {
  QDir(dir_.path()).mkpath("sub");
  QFile child(dir_.filePath("sub/child.sql"));
  ASSERT_TRUE(child.open(QIODevice::WriteOnly));
  child.write("insert into emp values (9, 'NESTED', NULL);\n");
  child.close();
  QFile parent(dir_.filePath("sub/parent.sql"));
  ASSERT_TRUE(parent.open(QIODevice::WriteOnly));
  parent.write("@@child\n");
  parent.close();
  EXPECT_EQ(run("@" + dir_.filePath("sub/parent.sql") + "\n"), 0);
  EXPECT_EQ(count("emp"), 3);
  EXPECT_EQ(run("WHENEVER OSERROR EXIT 6\n@@missing_script\n"), 6);
  EXPECT_TRUE(err_.contains("SP2-0310")) << err_.toStdString();
}

TEST_F(SqlPlusRunnerTest, ScriptsThatCallThemselvesStop) {
  const QString path = dir_.filePath("loop.sql");
  QFile loop(path);
  ASSERT_TRUE(loop.open(QIODevice::WriteOnly));
  loop.write("@@loop.sql\n");
  loop.close();
  EXPECT_EQ(run("@" + path + "\n"), 0);
  EXPECT_TRUE(err_.contains("SP2-0309")) << err_.toStdString();
}

TEST(StatementFeedback, SqlPlusWording) {
  struct Case {
    const char* sql;
    long long rows;
    const char* expected;
  };
  const Case cases[] = {
      {"insert into t values (1)", 1, "1 row created."},
      {"INSERT INTO t SELECT * FROM u", 0, "0 rows created."},
      {"update t set a = 1", 3, "3 rows updated."},
      {"delete t", 1, "1 row deleted."},
      {"merge into t using u on (1=1)", 2, "2 rows merged."},
      {"create table t (a number)", 0, "Table created."},
      {"CREATE GLOBAL TEMPORARY TABLE t (a number)", 0, "Table created."},
      {"create unique index pk_t on t (a)", 0, "Index created."},
      {"create or replace view v as select 1 a from dual", 0, "View created."},
      {"create or replace procedure p is begin null; end;", 0, "Procedure created."},
      {"create or replace package body p is end;", 0, "Package body created."},
      {"drop table t", 0, "Table dropped."},
      {"drop procedure p", 0, "Procedure dropped."},
      {"alter session set nls_date_format='DD/MM/YYYY'", 0, "Session altered."},
      {"alter table t add (b number)", 0, "Table altered."},
      {"truncate table t", 0, "Table truncated."},
      {"begin null; end;", 0, "PL/SQL procedure successfully completed."},
      {"DECLARE x number; BEGIN x := 1; END;", 0, "PL/SQL procedure successfully completed."},
      {"commit", 0, "Commit complete."},
      {"explain plan set statement_id = 'x' into plan_table for select 1 from dual", 0,
       "Explained."},
      {"grant select on t to public", 0, "Grant succeeded."},
      {"analyze table t compute statistics", 0, "Table analyzed."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(statementFeedback(QString::fromLatin1(c.sql), c.rows).toStdString(), c.expected);
  }
  EXPECT_EQ(rowsSelectedFeedback(0), "no rows selected");
  EXPECT_EQ(rowsSelectedFeedback(1), "1 row selected.");
  EXPECT_EQ(rowsSelectedFeedback(14), "14 rows selected.");
}

TEST(DecodeScriptText, Utf8OrWindows1252) {
  EXPECT_EQ(decodeScriptText("select 'caf\xc3\xa9' from dual;"),
            QString("select 'café' from dual;"));
  EXPECT_EQ(decodeScriptText("select 'caf\xe9 \x80' from dual;"),
            QString("select 'café €' from dual;"));
  EXPECT_EQ(decodeScriptText("\xef\xbb\xbfselect 1"), QString("select 1"));
}

TEST(ScriptDecoding, TheFirstInvalidUtf8ByteIsLocatedByLine) {
  int line = -1;
  EXPECT_EQ(decodeScriptText("select '\xc3\xa9t\xc3\xa9'\nfrom dual", &line), QString("select 'été'\nfrom dual"));
  EXPECT_EQ(line, 0);
  // é in Windows-1252 on the third line.
  EXPECT_EQ(decodeScriptText("a\nb\nselect '\xe9'\n", &line), QString("a\nb\nselect 'é'\n"));
  EXPECT_EQ(line, 3);
  EXPECT_EQ(firstInvalidUtf8Line("x\n\xc0\xaf"), 2);              // overlong '/'
  EXPECT_EQ(firstInvalidUtf8Line("\xed\xa0\x80"), 1);             // a surrogate
  EXPECT_EQ(firstInvalidUtf8Line("ok\n\n\xe2\x82"), 3);          // cut short at the end
  EXPECT_EQ(firstInvalidUtf8Line("\xf0\x9f\x98\x80 \xe2\x82\xac"), 0);  // emoji and euro
}

TEST_F(SqlPlusRunnerTest, OneRowIsOneLineWhateverTheValuesHold) {
  connection_.exec("INSERT INTO emp VALUES (3, 'a\tb\nc\\d\re', NULL)");
  EXPECT_EQ(run("SET FEEDBACK OFF\nSELECT ename FROM emp WHERE empno = 3;\n"), 0);
  EXPECT_EQ(out_, "ename\na\\tb\\nc\\\\d\\re\n");
}

}  // namespace
}  // namespace korvo::db
