#include "db/sqlplus_script.h"

#include <gtest/gtest.h>

namespace korvo::db {
namespace {

using Kind = ScriptCommand::Kind;
using EndAction = ScriptCommand::EndAction;

struct Expected {
  Kind kind;
  QString text;
  int line;
};

void expectCommands(const QString& script, const std::vector<Expected>& expected) {
  const QList<ScriptCommand> commands = parseSqlPlusScript(script);
  ASSERT_EQ(commands.size(), static_cast<qsizetype>(expected.size())) << script.toStdString();
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "command " << i << " of:\n" << script.toStdString());
    EXPECT_EQ(commands[i].kind, expected[i].kind);
    EXPECT_EQ(commands[i].text.toStdString(), expected[i].text.toStdString());
    EXPECT_EQ(commands[i].line, expected[i].line);
  }
}

TEST(SqlPlusScript, StatementsEndWithSemicolonAtLineEnd) {
  expectCommands("select 1 from dual;\nselect 2\n  from dual ;  \n",
                 {{Kind::Sql, "select 1 from dual", 1}, {Kind::Sql, "select 2\n  from dual", 2}});
  // A ';' inside a line does not end the statement; only the one at the end does.
  expectCommands("select ';' a, 'x;' from dual;\n",
                 {{Kind::Sql, "select ';' a, 'x;' from dual", 1}});
}

TEST(SqlPlusScript, SemicolonInsideQuotesOrCommentsDoesNotEnd) {
  expectCommands("insert into t values ('a;\nb;');\n",
                 {{Kind::Sql, "insert into t values ('a;\nb;')", 1}});
  expectCommands("select 1 /* note;\n still; */ from dual;\n",
                 {{Kind::Sql, "select 1 /* note;\n still; */ from dual", 1}});
  expectCommands("select q'[it's;]' from dual;\n", {{Kind::Sql, "select q'[it's;]' from dual", 1}});
  expectCommands("select 1 \"a;\"\nfrom dual;\n", {{Kind::Sql, "select 1 \"a;\"\nfrom dual", 1}});
  expectCommands("select 'it''s;' from dual;\n", {{Kind::Sql, "select 'it''s;' from dual", 1}});
  // A comment after the terminator is not part of the statement.
  expectCommands("select 1 from dual; -- one\n", {{Kind::Sql, "select 1 from dual", 1}});
  // A ';' hidden in a line-end comment does not end it.
  expectCommands("select 1 -- not yet;\nfrom dual;\n",
                 {{Kind::Sql, "select 1 -- not yet;\nfrom dual", 1}});
}

TEST(SqlPlusScript, SlashEndsStatementsAndBlocks) {
  expectCommands("select 1 from dual\n/\n", {{Kind::Sql, "select 1 from dual", 1}});
  expectCommands("BEGIN\n  NULL;\nEND;\n/\n", {{Kind::PlSql, "BEGIN\n  NULL;\nEND;", 1}});
  expectCommands("declare\n x number;\nbegin\n x := 1;\nend;\n  /  \nselect 1 from dual;",
                 {{Kind::PlSql, "declare\n x number;\nbegin\n x := 1;\nend;", 1},
                  {Kind::Sql, "select 1 from dual", 7}});
  expectCommands("CREATE OR REPLACE PROCEDURE p IS\nBEGIN\n  NULL;\nEND;\n/\n",
                 {{Kind::PlSql, "CREATE OR REPLACE PROCEDURE p IS\nBEGIN\n  NULL;\nEND;", 1}});
  expectCommands("create\nor replace\nprocedure p is begin null; end;\n/\n",
                 {{Kind::PlSql, "create\nor replace\nprocedure p is begin null; end;", 1}});
  // A one-line block still waits for its '/'.
  expectCommands("BEGIN NULL; END;\n/\n", {{Kind::PlSql, "BEGIN NULL; END;", 1}});
  // CREATE TABLE is plain SQL.
  expectCommands("create table t (a number);\n", {{Kind::Sql, "create table t (a number)", 1}});
}

TEST(SqlPlusScript, SlashAloneRunsThePreviousStatementAgain) {
  expectCommands("insert into t values (1);\n/\n", {{Kind::Sql, "insert into t values (1)", 1},
                                                    {Kind::Sql, "insert into t values (1)", 2}});
  expectCommands("/\n", {});
}

TEST(SqlPlusScript, CommentsAndBlankLinesBetweenStatementsAreSkipped) {
  expectCommands(
      "-- heading\n\nREM a remark;\nremark another\nrem\n/* block\n still */\n"
      "select 1 from dual;\n",
      {{Kind::Sql, "select 1 from dual", 8}});
  // REMOVE is no remark (and no SQL*Plus command): it starts a statement.
  expectCommands("remove x;\n", {{Kind::Sql, "remove x", 1}});
}

TEST(SqlPlusScript, BlankLinesInsideAStatementBelongToIt) {
  expectCommands("select 1\n\nfrom dual;\n", {{Kind::Sql, "select 1\n\nfrom dual", 1}});
}

TEST(SqlPlusScript, CrLfLineEnds) {
  expectCommands("select 1 from dual;\r\nBEGIN NULL; END;\r\n/\r\n",
                 {{Kind::Sql, "select 1 from dual", 1}, {Kind::PlSql, "BEGIN NULL; END;", 2}});
}

TEST(SqlPlusScript, UnterminatedStatementAtTheEndIsReported) {
  expectCommands(
      "select 1 from dual;\nselect 2 from dual\n",
      {{Kind::Sql, "select 1 from dual", 1}, {Kind::Unterminated, "select 2 from dual", 2}});
  expectCommands("begin null; end;\n", {{Kind::Unterminated, "begin null; end;", 1}});
}

TEST(SqlPlusScript, SqlPlusCommands) {
  const QList<ScriptCommand> commands = parseSqlPlusScript(
      "SET FEEDBACK OFF HEADING off;\n"
      "set linesize 200\n"
      "SPOOL out.txt APPEND\n"
      "spool off;\n"
      "PROMPT Loading the demo rows\n"
      "pro\n"
      "set transaction read only;\n");
  ASSERT_EQ(commands.size(), 7);
  EXPECT_EQ(commands[0].kind, Kind::Set);
  EXPECT_EQ(commands[0].words, QStringList({"FEEDBACK", "OFF", "HEADING", "off"}));
  EXPECT_EQ(commands[1].words, QStringList({"linesize", "200"}));
  EXPECT_EQ(commands[2].kind, Kind::Spool);
  EXPECT_EQ(commands[2].text, "out.txt");
  EXPECT_EQ(commands[2].words, QStringList({"APPEND"}));
  EXPECT_EQ(commands[3].kind, Kind::Spool);
  EXPECT_EQ(commands[3].text, "off");
  EXPECT_EQ(commands[4].kind, Kind::Prompt);
  EXPECT_EQ(commands[4].text, "Loading the demo rows");
  EXPECT_EQ(commands[4].line, 5);
  EXPECT_EQ(commands[5].kind, Kind::Prompt);
  EXPECT_EQ(commands[5].text, "");
  // SET TRANSACTION is SQL.
  EXPECT_EQ(commands[6].kind, Kind::Sql);
  EXPECT_EQ(commands[6].text, "set transaction read only");
}

TEST(SqlPlusScript, ExitAndQuit) {
  struct Case {
    const char* line;
    int code;
    bool sqlCode;
    EndAction end;
  };
  const Case cases[] = {
      {"EXIT", 0, false, EndAction::Commit},
      {"quit;", 0, false, EndAction::Commit},
      {"EXIT 3", 3, false, EndAction::Commit},
      {"exit failure rollback", 1, false, EndAction::Rollback},
      {"EXIT WARNING", 2, false, EndAction::Commit},
      {"EXIT SUCCESS COMMIT;", 0, false, EndAction::Commit},
      {"EXIT SQL.SQLCODE", 1, true, EndAction::Commit},
      {"EXIT ROLLBACK", 0, false, EndAction::Rollback},
      // An EXIT that cannot be read still stops the script, as a failure.
      {"EXIT :status", 1, false, EndAction::Commit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const QList<ScriptCommand> commands = parseSqlPlusScript(QString::fromLatin1(c.line));
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0].kind, Kind::Exit);
    EXPECT_EQ(commands[0].exitCode, c.code);
    EXPECT_EQ(commands[0].exitWithErrorCode, c.sqlCode);
    EXPECT_EQ(commands[0].endAction, c.end);
  }
}

TEST(SqlPlusScript, Whenever) {
  struct Case {
    const char* line;
    bool osError;
    bool exit;
    int code;
    bool sqlCode;
    EndAction end;
  };
  const Case cases[] = {
      {"WHENEVER SQLERROR EXIT", false, true, 1, false, EndAction::Commit},
      {"whenever sqlerror exit 5;", false, true, 5, false, EndAction::Commit},
      {"WHENEVER SQLERROR EXIT SQL.SQLCODE ROLLBACK", false, true, 1, true, EndAction::Rollback},
      {"WHENEVER SQLERROR EXIT ROLLBACK", false, true, 1, false, EndAction::Rollback},
      {"WHENEVER SQLERROR EXIT FAILURE", false, true, 1, false, EndAction::Commit},
      {"WHENEVER SQLERROR CONTINUE", false, false, 0, false, EndAction::None},
      {"WHENEVER SQLERROR CONTINUE ROLLBACK", false, false, 0, false, EndAction::Rollback},
      {"WHENEVER OSERROR EXIT 9", true, true, 9, false, EndAction::Commit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const QList<ScriptCommand> commands = parseSqlPlusScript(QString::fromLatin1(c.line));
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0].kind, Kind::Whenever);
    EXPECT_EQ(commands[0].osError, c.osError);
    EXPECT_EQ(commands[0].exitOnError, c.exit);
    if (c.exit) {
      EXPECT_EQ(commands[0].exitCode, c.code);
    }
    EXPECT_EQ(commands[0].exitWithErrorCode, c.sqlCode);
    EXPECT_EQ(commands[0].endAction, c.end);
  }
  for (const char* bad : {"WHENEVER SQLERROR", "WHENEVER SQLERROR STOP", "WHENEVER FOO EXIT",
                          "WHENEVER SQLERROR CONTINUE LATER"}) {
    SCOPED_TRACE(bad);
    const QList<ScriptCommand> commands = parseSqlPlusScript(QString::fromLatin1(bad));
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0].kind, Kind::Unsupported);
  }
}

TEST(SqlPlusScript, ExecuteStartAndOtherCommands) {
  const QList<ScriptCommand> commands = parseSqlPlusScript(
      "EXEC DBMS_APPLICATION_INFO.SET_MODULE('x','');\n"
      "@setup\n"
      "@@child.sql;\n"
      "START other.sql\n"
      "COLUMN ename FORMAT a20\n"
      "DESC emp\n"
      "delete from t;\n");
  ASSERT_EQ(commands.size(), 7);
  EXPECT_EQ(commands[0].kind, Kind::PlSql);
  EXPECT_EQ(commands[0].text, "BEGIN DBMS_APPLICATION_INFO.SET_MODULE('x',''); END;");
  EXPECT_EQ(commands[1].kind, Kind::Run);
  EXPECT_EQ(commands[1].text, "setup");
  EXPECT_FALSE(commands[1].relativeToScript);
  EXPECT_EQ(commands[2].kind, Kind::Run);
  EXPECT_EQ(commands[2].text, "child.sql");
  EXPECT_TRUE(commands[2].relativeToScript);
  EXPECT_EQ(commands[3].kind, Kind::Run);
  EXPECT_EQ(commands[3].text, "other.sql");
  EXPECT_EQ(commands[4].kind, Kind::Unsupported);
  EXPECT_EQ(commands[5].kind, Kind::Unsupported);
  // DELETE is SQL even though DEL abbreviates nothing here.
  EXPECT_EQ(commands[6].kind, Kind::Sql);
}

TEST(SqlPlusScript, StatementClassification) {
  EXPECT_TRUE(isQueryStatement("select * from dual"));
  EXPECT_TRUE(isQueryStatement("  -- top\n WITH x AS (select 1 from dual) select * from x"));
  EXPECT_TRUE(isQueryStatement("(select 1 from dual) union (select 2 from dual)"));
  EXPECT_TRUE(isQueryStatement("/* c */ SELECT 1 FROM dual"));
  EXPECT_FALSE(isQueryStatement("insert into t select * from u"));
  EXPECT_FALSE(isQueryStatement("selected"));

  EXPECT_TRUE(isPlSqlStatement("begin null; end;"));
  EXPECT_TRUE(isPlSqlStatement("DECLARE x number; BEGIN NULL; END;"));
  EXPECT_TRUE(isPlSqlStatement("create or replace editionable function f return number"));
  EXPECT_TRUE(isPlSqlStatement("CREATE PACKAGE BODY p AS"));
  EXPECT_FALSE(isPlSqlStatement("create or replace view v as select 1 x from dual"));
  EXPECT_FALSE(isPlSqlStatement("create table procedure_log (a number)"));

  EXPECT_EQ(leadingWords("create  or\nreplace -- x\n procedure p", 4),
            QStringList({"CREATE", "OR", "REPLACE", "PROCEDURE"}));
}

}  // namespace
}  // namespace korvo::db

namespace korvo::db {
namespace {

TEST(SqlPlusScriptWords, LiteralsAndQuotedNamesAreOneWordEach) {
  EXPECT_EQ(leadingWords("select 'begin end' , \"x y\" from dual", 8),
            QStringList({"SELECT", "'", ",", "\"", "FROM", "DUAL"}));
  EXPECT_EQ(leadingWords("begin 'it''s' ; end", 4), QStringList({"BEGIN", "'", ";", "END"}));
  // An unterminated literal swallows the rest.
  EXPECT_EQ(leadingWords("select 'open", 8), QStringList({"SELECT", "'"}));
}

TEST(SqlPlusScriptWords, AHugeLiteralIsScannedOnce) {
  // 400,000 'ß' in one statement: read for its first words without upper-casing
  // the literal, which took seconds before.
  const QString literal(400000, QChar(0x00df));
  const QString script = "select '" + literal + "' from dual;\n";
  const QList<ScriptCommand> commands = parseSqlPlusScript(script);
  ASSERT_EQ(commands.size(), 1);
  EXPECT_EQ(commands[0].kind, ScriptCommand::Kind::Sql);
  EXPECT_EQ(commands[0].text.size(), literal.size() + 19);
  const QString longWord(100000, QChar('a'));
  EXPECT_EQ(leadingWords(longWord + " b", 2).value(0).size(), 64);
}

}  // namespace
}  // namespace korvo::db
