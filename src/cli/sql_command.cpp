// korvo sql CONNECT SCRIPT: runs a SQL*Plus script on a database.
#include <QFile>
#include <QFileInfo>

#include "cli/cli_login.h"
#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "db/connection.h"
#include "db/sqlplus_runner.h"

namespace korvo::cli {
namespace {

int runSql(const QStringList& arguments, CliStreams& streams) {
  if (arguments.isEmpty() || arguments.size() > 2) {
    streams.err << "Usage: korvo sql user/password@alias [SCRIPT | @script.sql | -]\n";
    return kExitUsage;
  }
  const std::optional<db::ConnectString> connect = readConnectArgument(arguments[0], "sql", streams);
  if (!connect) return kExitUsage;

  // Read the script before connecting: a missing file should not cost a logon.
  QString script = arguments.value(1, QStringLiteral("-"));
  QString scriptPath;
  QByteArray bytes;
  if (script == QLatin1String("-")) {
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
      streams.err << "korvo sql: cannot read standard input\n";
      return kExitFailure;
    }
    bytes = input.readAll();
  } else {
    if (script.startsWith(QLatin1Char('@'))) {
      script = script.mid(1);
      if (QFileInfo(script).suffix().isEmpty()) script += QStringLiteral(".sql");
    }
    QFile file(script);
    if (!file.open(QIODevice::ReadOnly)) {
      streams.err << "SP2-0310: unable to open file \"" << script << "\"\n";
      return kExitFailure;
    }
    bytes = file.readAll();
    scriptPath = script;
  }

  std::unique_ptr<db::Connection> connection = openLogin(*connect, streams);
  if (!connection) return kExitFailure;
  try {
    db::SqlPlusRunner runner(*connection, streams.out, streams.err);
    int invalidLine = 0;
    const QString text = db::decodeScriptText(bytes, &invalidLine);
    if (invalidLine) {
      const QString name = scriptPath.isEmpty() ? QStringLiteral("standard input") : scriptPath;
      streams.err << db::windows1252ScriptWarning(name, invalidLine) << '\n';
      streams.err.flush();
    }
    runner.runScript(text, scriptPath);
    runner.endOfInput();
    connection->close();
    return runner.exitStatus();
  } catch (const db::DbError& e) {
    streams.err << e.text() << '\n';
    return kExitFailure;
  }
}

[[maybe_unused]] const SubcommandRegistration registration{
    {QStringLiteral("sql"), QStringLiteral("user/password@alias [SCRIPT | @script.sql | -]"),
     QStringLiteral("run a SQL*Plus script (query rows on standard output)"),
     QStringLiteral(
         "SCRIPT \"-\" (or none) reads standard input. Statements end with ';' at the end of a\n"
         "line, PL/SQL blocks with a line holding '/'. Understood: SET FEEDBACK, SET HEADING,\n"
         "SET TERMOUT (other SET options are ignored), SPOOL file [APPEND] / SPOOL OFF, PROMPT,\n"
         "REM, EXIT/QUIT [n] [COMMIT|ROLLBACK], WHENEVER SQLERROR EXIT [n|SQL.SQLCODE]\n"
         "[COMMIT|ROLLBACK] / CONTINUE, @file, @@file, EXECUTE.\n"
         "Query rows go to standard output, tab-separated under a heading line; a tab, line\n"
         "break, carriage return or backslash inside a value is written \\t, \\n, \\r, \\\\ so\n"
         "that one row is one line. Row counts,\n"
         "messages and errors to standard error. Work is committed at the end, as SQL*Plus\n"
         "does. Without /password the password is read from the environment variable\n"
         "KORVO_PASSWORD.\n"
         "\n"
         "Aliases: local:NAME (embedded database under the user's data folder), local:/folder,\n"
         "odbc:DSN (Oracle through ODBC), anything else (Oracle through Qt's OCI driver)."),
     runSql}};

}  // namespace
}  // namespace korvo::cli
