#pragma once
// SQL*Plus scripts as text: split into the SQL statements and PL/SQL blocks to
// send and the few SQL*Plus commands the command line understands. Pure text
// work: nothing here touches a database or a file.
#include <QList>
#include <QString>
#include <QStringList>

namespace korvo::db {

struct ScriptCommand {
  enum class Kind {
    Sql,          // text: the statement without its ';'
    PlSql,        // text: the block or CREATE PROCEDURE..., ';' after END kept
    Set,          // words: the options and values after SET
    Spool,        // text: the file name, or "OFF"; words: options after it (APPEND...)
    Prompt,       // text: the text to show (may be empty)
    Exit,         // exitCode/exitWithErrorCode, endAction
    Whenever,     // osError, exitOnError, exitCode/exitWithErrorCode, endAction
    Run,          // text: the script file (@file, START file); relativeToScript for @@
    Unsupported,  // text: the SQL*Plus command that is not carried out
    Unterminated  // text: a statement the script ends in without ';' or '/'
  };
  enum class EndAction { Commit, Rollback, None };

  Kind kind = Kind::Sql;
  QString text;
  QStringList words;
  int line = 0;  // first line of the command in the script, from 1

  bool osError = false;            // WHENEVER OSERROR rather than SQLERROR
  bool exitOnError = false;        // WHENEVER ... EXIT rather than CONTINUE
  int exitCode = 0;                // EXIT n / SUCCESS 0 / FAILURE 1 / WARNING 2
  bool exitWithErrorCode = false;  // SQL.SQLCODE: the ORA- number of the error (else exitCode)
  EndAction endAction = EndAction::Commit;
  bool relativeToScript = false;  // @@file

  bool operator==(const ScriptCommand&) const = default;
};

// Statements end with ';' at the end of a line (outside quotes and comments) or
// with a line holding only '/'; PL/SQL blocks (BEGIN, DECLARE, CREATE [OR REPLACE]
// PROCEDURE/FUNCTION/PACKAGE/TRIGGER/TYPE) only with the '/' line. A '/' with no
// statement pending runs the previous one again, as SQL*Plus does. Blank lines
// inside a statement belong to it. Between statements, blank lines, '--' lines,
// /* ... */ blocks and REM/REMARK lines are skipped.
QList<ScriptCommand> parseSqlPlusScript(const QString& script);

// The first count words of a statement, upper-cased, comments skipped
// ("create or replace procedure p" -> CREATE, OR, REPLACE).
QStringList leadingWords(const QString& sql, int count);

// True for the statements that answer with rows (SELECT, WITH, a parenthesised SELECT).
bool isQueryStatement(const QString& sql);

// True for texts that only a '/' line ends: anonymous blocks and stored code.
bool isPlSqlStatement(const QString& sql);

}  // namespace korvo::db
