#include "db/sqlplus_runner.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include "db/tab_separated.h"

namespace korvo::db {
namespace {

using Kind = ScriptCommand::Kind;
using EndAction = ScriptCommand::EndAction;

constexpr int kMaxScriptDepth = 20;

// "PACKAGE BODY" -> "Package body".
QString sentenceCase(const QString& words) {
  const QString lower = words.toLower();
  return lower.left(1).toUpper() + lower.mid(1);
}

QString rowsText(long long rows, const char* verb) {
  return QStringLiteral("%1 %2 %3.")
      .arg(rows)
      .arg(rows == 1 ? QStringLiteral("row") : QStringLiteral("rows"))
      .arg(QLatin1String(verb));
}

// The object kind after CREATE/DROP/ALTER, modifiers skipped.
QString objectKind(const QStringList& words) {
  static const QStringList modifiers = {
      QStringLiteral("OR"),      QStringLiteral("REPLACE"),     QStringLiteral("FORCE"),
      QStringLiteral("NOFORCE"), QStringLiteral("EDITIONABLE"), QStringLiteral("NONEDITIONABLE"),
      QStringLiteral("GLOBAL"),  QStringLiteral("TEMPORARY"),   QStringLiteral("PRIVATE"),
      QStringLiteral("UNIQUE"),  QStringLiteral("BITMAP"),      QStringLiteral("PUBLIC")};
  qsizetype i = 1;
  while (i < words.size() && modifiers.contains(words[i])) ++i;
  if (i >= words.size()) return {};
  const QString kind = words[i];
  const QString next = words.value(i + 1);
  if ((kind == QLatin1String("PACKAGE") || kind == QLatin1String("TYPE")) &&
      next == QLatin1String("BODY")) {
    return kind + QStringLiteral(" BODY");
  }
  if (kind == QLatin1String("MATERIALIZED") || kind == QLatin1String("DATABASE")) {
    return kind + QLatin1Char(' ') + next;
  }
  return kind;
}

int oraNumber(const QString& text) {
  static const QRegularExpression ora(QStringLiteral("ORA-(\\d+)"));
  const auto match = ora.match(text);
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// What the shell will see: 8 bits, and never 0 for a failure.
int processStatus(int code, bool failure) {
  const int status = code & 0xff;
  return failure && status == 0 ? 1 : status;
}

// "line 3" or "line 3 of setup.sql".
QString place(const ScriptCommand& command, const QString& scriptPath) {
  QString where = QStringLiteral("line %1").arg(command.line);
  if (!scriptPath.isEmpty()) where += QStringLiteral(" of ") + scriptPath;
  return where;
}

bool isTransactionEnd(const QString& sql, QLatin1StringView verb) {
  const QStringList words = leadingWords(sql, 3);
  if (words.value(0) != verb) return false;
  return words.size() == 1 || (words.size() == 2 && words[1] == QLatin1String("WORK"));
}

}  // namespace

int firstInvalidUtf8Line(const QByteArray& bytes) {
  int line = 1;
  qsizetype i = 0;
  const qsizetype n = bytes.size();
  while (i < n) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b == '\n') ++line;
    int follow = 0;
    char32_t code = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xc2 && b <= 0xdf) {
      follow = 1, code = b & 0x1f;
    } else if (b >= 0xe0 && b <= 0xef) {
      follow = 2, code = b & 0x0f;
    } else if (b >= 0xf0 && b <= 0xf4) {
      follow = 3, code = b & 0x07;
    } else {
      return line;
    }
    for (int k = 1; k <= follow; ++k) {
      if (i + k >= n) return line;
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if ((c & 0xc0) != 0x80) return line;
      code = (code << 6) | (c & 0x3f);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are invalid too.
    if ((follow == 2 && code < 0x800) || (follow == 3 && (code < 0x10000 || code > 0x10ffff)) ||
        (code >= 0xd800 && code <= 0xdfff))
      return line;
    i += follow + 1;
  }
  return 0;
}

QString decodeScriptText(const QByteArray& bytes, int* invalidUtf8Line) {
  if (invalidUtf8Line) *invalidUtf8Line = 0;
  const int badLine = firstInvalidUtf8Line(bytes);
  if (badLine == 0) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xfeff))) text.remove(0, 1);
    return text;
  }
  if (invalidUtf8Line) *invalidUtf8Line = badLine;
  QStringDecoder windows("windows-1252");
  if (windows.isValid()) return windows(bytes);
  return QString::fromLatin1(bytes);
}

QString windows1252ScriptWarning(const QString& scriptName, int line) {
  return QStringLiteral("warning: %1 is not valid UTF-8 (first invalid byte on line %2); read as "
                        "Windows-1252")
      .arg(scriptName)
      .arg(line);
}

QString rowsSelectedFeedback(long long rows) {
  if (rows == 0) return QStringLiteral("no rows selected");
  return rowsText(rows, "selected");
}

QString statementFeedback(const QString& sql, long long rows) {
  const QStringList words = leadingWords(sql, 8);
  const QString verb = words.value(0);
  if (verb == QLatin1String("INSERT")) return rowsText(rows, "created");
  if (verb == QLatin1String("UPDATE")) return rowsText(rows, "updated");
  if (verb == QLatin1String("DELETE")) return rowsText(rows, "deleted");
  if (verb == QLatin1String("MERGE")) return rowsText(rows, "merged");
  if (verb == QLatin1String("BEGIN") || verb == QLatin1String("DECLARE") ||
      verb == QLatin1String("CALL")) {
    return verb == QLatin1String("CALL")
               ? QStringLiteral("Call completed.")
               : QStringLiteral("PL/SQL procedure successfully completed.");
  }
  if (verb == QLatin1String("COMMIT")) return QStringLiteral("Commit complete.");
  if (verb == QLatin1String("ROLLBACK")) return QStringLiteral("Rollback complete.");
  if (verb == QLatin1String("SAVEPOINT")) return QStringLiteral("Savepoint created.");
  if (verb == QLatin1String("GRANT")) return QStringLiteral("Grant succeeded.");
  if (verb == QLatin1String("REVOKE")) return QStringLiteral("Revoke succeeded.");
  if (verb == QLatin1String("COMMENT")) return QStringLiteral("Comment created.");
  if (verb == QLatin1String("RENAME")) return QStringLiteral("Table renamed.");
  if (verb == QLatin1String("EXPLAIN")) return QStringLiteral("Explained.");
  if (verb == QLatin1String("ANALYZE")) return QStringLiteral("Table analyzed.");
  if (verb == QLatin1String("TRUNCATE")) return QStringLiteral("Table truncated.");
  if (verb == QLatin1String("LOCK")) return QStringLiteral("Table(s) Locked.");
  if (verb == QLatin1String("SET") && words.value(1) == QLatin1String("TRANSACTION")) {
    return QStringLiteral("Transaction set.");
  }
  if (verb == QLatin1String("CREATE") || verb == QLatin1String("DROP") ||
      verb == QLatin1String("ALTER")) {
    const QString kind = objectKind(words);
    if (!kind.isEmpty()) {
      const char* done = verb == QLatin1String("CREATE") ? "created"
                         : verb == QLatin1String("DROP") ? "dropped"
                                                         : "altered";
      return sentenceCase(kind) + QLatin1Char(' ') + QLatin1String(done) + QLatin1Char('.');
    }
  }
  return QStringLiteral("Statement processed.");
}

SqlPlusRunner::SqlPlusRunner(Connection& connection, QTextStream& out, QTextStream& err)
    : connection_(connection), out_(out), err_(err) {
  onSqlError_.kind = Kind::Whenever;
  onSqlError_.endAction = EndAction::None;
  onOsError_ = onSqlError_;
  onOsError_.osError = true;
  connection_.begin();
}

SqlPlusRunner::~SqlPlusRunner() = default;

void SqlPlusRunner::runScript(const QString& text, const QString& scriptPath) {
  if (exited_) return;
  runCommands(parseSqlPlusScript(text), scriptPath, 1);
  out_.flush();
  err_.flush();
}

void SqlPlusRunner::endOfInput() {
  if (exited_) return;
  ScriptCommand exit;
  exit.kind = Kind::Exit;
  leave(exit, QString());
}

void SqlPlusRunner::feedback(const QString& text) {
  if (feedbackThreshold_ > 0) err_ << text << Qt::endl;
}

void SqlPlusRunner::writeRowLine(const QString& line) {
  if (termout_) out_ << line << '\n';
  if (spool_) *spool_ << line << '\n';
}

void SqlPlusRunner::runCommands(const QList<ScriptCommand>& commands, const QString& scriptPath,
                                int depth) {
  for (const ScriptCommand& command : commands) {
    if (exited_) return;
    switch (command.kind) {
      case Kind::Sql:
      case Kind::PlSql:
        runStatement(command, scriptPath);
        break;
      case Kind::Set:
        set(command.words);
        break;
      case Kind::Spool:
        spool(command, scriptPath);
        break;
      case Kind::Prompt:
        err_ << command.text << Qt::endl;
        break;
      case Kind::Exit:
        leave(command, QString());
        break;
      case Kind::Whenever:
        (command.osError ? onOsError_ : onSqlError_) = command;
        break;
      case Kind::Run:
        runFile(command, scriptPath, depth);
        break;
      case Kind::Unsupported:
        err_ << "Ignored at " << place(command, scriptPath)
             << " (not supported here): " << command.text << Qt::endl;
        break;
      case Kind::Unterminated:
        err_ << "Statement at " << place(command, scriptPath)
             << " not run: it ends without ';' or a line holding '/'." << Qt::endl;
        break;
    }
  }
}

void SqlPlusRunner::runStatement(const ScriptCommand& command, const QString& scriptPath) {
  const QString& sql = command.text;
  try {
    if (command.kind == Kind::Sql && isTransactionEnd(sql, QLatin1StringView("COMMIT"))) {
      connection_.commit();
      connection_.begin();
      feedback(QStringLiteral("Commit complete."));
    } else if (command.kind == Kind::Sql && isTransactionEnd(sql, QLatin1StringView("ROLLBACK"))) {
      connection_.rollback();
      connection_.begin();
      feedback(QStringLiteral("Rollback complete."));
    } else if (command.kind == Kind::Sql && isQueryStatement(sql)) {
      runQuery(sql);
    } else {
      const long long rows = connection_.exec(sql);
      feedback(statementFeedback(sql, rows));
    }
  } catch (const DbError& e) {
    reportSqlError(command, scriptPath, e.text());
  } catch (const std::exception& e) {
    reportSqlError(command, scriptPath, QString::fromUtf8(e.what()));
  }
}

void SqlPlusRunner::runQuery(const QString& sql) {
  std::unique_ptr<Cursor> cursor = connection_.query(sql);
  // The first packet is read before the heading is written, so that a query
  // failing on its first row writes nothing to the output.
  QList<Row> rows;
  int count = cursor->fetch(rows, packetSize_);
  if (heading_ && !pageSizeZero_) {
    QStringList names;
    for (const ColumnInfo& column : cursor->columns()) names << column.name;
    writeRowLine(tabSeparatedLine(names));
  }
  long long total = 0;
  for (;;) {
    for (const Row& row : rows) {
      QStringList fields;
      fields.reserve(row.size());
      for (const QVariant& value : row) {
        fields << (value.isNull() ? QString() : connection_.display(value));
      }
      writeRowLine(tabSeparatedLine(fields));
    }
    total += count;
    if (count == 0 || cursor->atEnd()) break;
    rows.clear();
    count = cursor->fetch(rows, packetSize_);
  }
  out_.flush();
  if (spool_) spool_->flush();
  if (feedbackThreshold_ > 0 && (total == 0 || total >= feedbackThreshold_)) {
    err_ << rowsSelectedFeedback(total) << Qt::endl;
  }
}

void SqlPlusRunner::set(const QStringList& words) {
  // Options come in pairs (SET FEEDBACK OFF HEADING OFF); the ones that change
  // nothing here (LINESIZE, PAGESIZE, ECHO, VERIFY ...) are accepted and ignored.
  for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
    const QString option = words[i].toUpper();
    const QString value = words[i + 1].toUpper();
    const bool on = value == QLatin1String("ON");
    const bool off = value == QLatin1String("OFF");
    if (abbreviatesOption(option, "FEEDBACK", 4)) {
      bool numeric = false;
      const int threshold = value.toInt(&numeric);
      if (on) feedbackThreshold_ = 1;
      if (off) feedbackThreshold_ = 0;
      if (numeric && threshold >= 0) feedbackThreshold_ = threshold;
    } else if (abbreviatesOption(option, "HEADING", 3)) {
      if (on || off) heading_ = on;
    } else if (abbreviatesOption(option, "PAGESIZE", 5)) {
      // PAGESIZE 0 is the SQL*Plus way to print rows without headings.
      bool numeric = false;
      const int lines = value.toInt(&numeric);
      if (numeric) pageSizeZero_ = lines == 0;
    } else if (abbreviatesOption(option, "TERMOUT", 4)) {
      if (on || off) termout_ = on;
    }
  }
}

bool SqlPlusRunner::abbreviatesOption(const QString& word, const char* option, int shortest) {
  const QLatin1StringView full(option);
  return word.size() >= shortest && word.size() <= full.size() && full.startsWith(word);
}

void SqlPlusRunner::spool(const ScriptCommand& command, const QString& /*scriptPath*/) {
  const QString target = command.text;
  const QString upper = target.toUpper();
  if (target.isEmpty()) {
    err_ << (spool_ ? QStringLiteral("currently spooling to %1").arg(spoolFile_->fileName())
                    : QStringLiteral("not spooling currently"))
         << Qt::endl;
    return;
  }
  if (spool_) {
    spool_->flush();
    spool_.reset();
    spoolFile_.reset();
  }
  if (upper == QLatin1String("OFF") || upper == QLatin1String("OUT")) return;

  QString fileName = target;
  if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".lst");
  const QString option = command.words.value(0).toUpper();
  auto file = std::make_unique<QFile>(fileName);
  if (option == QLatin1String("CRE") || option == QLatin1String("CREATE")) {
    if (file->exists()) {
      reportOsError(QStringLiteral("SP2-0771: File \"%1\" already exists.").arg(fileName));
      return;
    }
  }
  QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Text;
  mode |= option.startsWith(QLatin1String("APP")) ? QIODevice::Append : QIODevice::Truncate;
  if (!file->open(mode)) {
    reportOsError(QStringLiteral("SP2-0606: Cannot create SPOOL file \"%1\"").arg(fileName));
    return;
  }
  spoolFile_ = std::move(file);
  spool_ = std::make_unique<QTextStream>(spoolFile_.get());
}

void SqlPlusRunner::runFile(const ScriptCommand& command, const QString& scriptPath, int depth) {
  if (depth >= kMaxScriptDepth) {
    reportOsError(
        QStringLiteral("SP2-0309: SQL*Plus command procedures may only be nested to a depth of %1.")
            .arg(kMaxScriptDepth));
    return;
  }
  QString fileName = command.text;
  if (fileName.isEmpty()) {
    reportOsError(QStringLiteral("SP2-1506: START, @ or @@ command has no arguments"));
    return;
  }
  if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".sql");
  if (command.relativeToScript && !scriptPath.isEmpty() && QDir::isRelativePath(fileName)) {
    fileName = QFileInfo(scriptPath).dir().filePath(fileName);
  }
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    reportOsError(QStringLiteral("SP2-0310: unable to open file \"%1\"").arg(fileName));
    return;
  }
  int invalidLine = 0;
  const QString text = decodeScriptText(file.readAll(), &invalidLine);
  file.close();
  if (invalidLine) err_ << windows1252ScriptWarning(fileName, invalidLine) << Qt::endl;
  runCommands(parseSqlPlusScript(text), fileName, depth + 1);
}

void SqlPlusRunner::reportSqlError(const ScriptCommand& command, const QString& scriptPath,
                                   const QString& text) {
  lastSqlError_ = text;
  err_ << "ERROR at " << place(command, scriptPath) << ':' << Qt::endl << text << Qt::endl;
  if (onSqlError_.exitOnError)
    leave(onSqlError_, text);
  else
    endTransaction(onSqlError_.endAction);
}

void SqlPlusRunner::reportOsError(const QString& text) {
  err_ << text << Qt::endl;
  if (onOsError_.exitOnError)
    leave(onOsError_, text);
  else
    endTransaction(onOsError_.endAction);
}

void SqlPlusRunner::endTransaction(EndAction action) {
  if (action == EndAction::None) return;
  try {
    if (action == EndAction::Commit) {
      connection_.commit();
    } else {
      connection_.rollback();
    }
    connection_.begin();
  } catch (const DbError& e) {
    err_ << e.text() << Qt::endl;
  }
}

void SqlPlusRunner::leave(const ScriptCommand& how, const QString& errorText) {
  exited_ = true;
  bool failure = !errorText.isEmpty();
  int code = how.exitCode;
  if (how.exitWithErrorCode) {
    // SQL.SQLCODE: the error being handled, or for a plain EXIT the last one (0 if none).
    const QString& error = failure ? errorText : lastSqlError_;
    failure = !error.isEmpty();
    const int ora = oraNumber(error);
    code = !failure ? 0 : ora != 0 ? ora : how.exitCode;
  }
  exitStatus_ = processStatus(code, failure);
  if (spool_) spool_->flush();
  try {
    if (how.endAction == EndAction::Commit) {
      connection_.commit();
    } else if (how.endAction == EndAction::Rollback) {
      connection_.rollback();
    }
  } catch (const DbError& e) {
    // Work that could not be committed is lost: never report that as success.
    err_ << e.text() << Qt::endl;
    if (exitStatus_ == 0) exitStatus_ = 1;
  }
  out_.flush();
  err_.flush();
}

}  // namespace korvo::db
