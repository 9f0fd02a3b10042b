#pragma once
// Runs SQL*Plus scripts over a Connection the way the command line shows them:
// query rows (tab-separated under a heading line) go to one stream so that they
// can be piped, everything else (row counts, "Table created.", errors with their
// ORA- text, PROMPT texts) to the other.
#include <QFile>
#include <QString>
#include <QTextStream>
#include <memory>

#include "db/connection.h"
#include "db/sqlplus_script.h"

namespace korvo::db {

// Script files are read as UTF-8, or as Windows-1252 when they are not valid
// UTF-8 (scripts written by the Windows program); then the line of the first
// invalid byte goes to `invalidUtf8Line` (0 when the text is valid UTF-8), so
// that the caller can warn instead of reading the script silently otherwise.
QString decodeScriptText(const QByteArray& bytes, int* invalidUtf8Line = nullptr);
// The line of the first byte that is not valid UTF-8, 0 when there is none.
int firstInvalidUtf8Line(const QByteArray& bytes);
QString windows1252ScriptWarning(const QString& scriptName, int line);

// What SQL*Plus says after a statement that gives no rows ("1 row created.",
// "Table created.", "PL/SQL procedure successfully completed.").
QString statementFeedback(const QString& sql, long long rows);
// After a query: "no rows selected", "1 row selected.", "n rows selected.".
QString rowsSelectedFeedback(long long rows);

class SqlPlusRunner {
 public:
  // Starts a transaction on connection, which must be open: work is committed
  // only by COMMIT, EXIT or the end of the input, as in SQL*Plus.
  SqlPlusRunner(Connection& connection, QTextStream& out, QTextStream& err);
  ~SqlPlusRunner();

  // Runs the commands of one script; scriptPath (empty for standard input)
  // anchors @@ and names the script in messages. Stops at EXIT.
  void runScript(const QString& text, const QString& scriptPath);
  // The input is exhausted without EXIT: commit, as SQL*Plus does on leaving.
  void endOfInput();

  bool exited() const { return exited_; }
  // 0, the EXIT or WHENEVER code, or 1 when the final commit failed.
  int exitStatus() const { return exitStatus_; }

  // Query rows are read from the connection in packets of this size.
  void setPacketSize(int rows) { packetSize_ = rows; }

 private:
  void runCommands(const QList<ScriptCommand>& commands, const QString& scriptPath, int depth);
  void runStatement(const ScriptCommand& command, const QString& scriptPath);
  void runQuery(const QString& sql);
  void set(const QStringList& words);
  static bool abbreviatesOption(const QString& word, const char* option, int shortest);
  void spool(const ScriptCommand& command, const QString& scriptPath);
  void runFile(const ScriptCommand& command, const QString& scriptPath, int depth);
  void reportSqlError(const ScriptCommand& command, const QString& scriptPath, const QString& text);
  void reportOsError(const QString& text);
  // EXIT, or WHENEVER ... EXIT after an error: the end action, then stop.
  void leave(const ScriptCommand& how, const QString& errorText);
  void endTransaction(ScriptCommand::EndAction action);
  void feedback(const QString& text);
  void writeRowLine(const QString& line);

  Connection& connection_;
  QTextStream& out_;
  QTextStream& err_;
  std::unique_ptr<QFile> spoolFile_;
  std::unique_ptr<QTextStream> spool_;
  ScriptCommand onSqlError_;
  ScriptCommand onOsError_;
  int feedbackThreshold_ = 1;  // 0: off
  bool heading_ = true;
  bool pageSizeZero_ = false;
  bool termout_ = true;
  int packetSize_ = 500;
  QString lastSqlError_;  // for EXIT SQL.SQLCODE
  bool exited_ = false;
  int exitStatus_ = 0;
};

}  // namespace korvo::db
