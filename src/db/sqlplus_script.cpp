#include "db/sqlplus_script.h"

#include <algorithm>

#include <QSet>
#include <optional>

namespace korvo::db {
namespace {

using Kind = ScriptCommand::Kind;

// CREATE OR REPLACE EDITIONABLE PROCEDURE: the most words that tell stored code.
constexpr int kPlSqlWords = 6;

bool isWordChar(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
         c == QLatin1Char('#');
}

// Follows quotes and comments through the lines of one statement, so that a ';'
// inside a string or a comment never ends it.
class StatementScanner {
 public:
  // Scans one line; returns the column of a ';' that ends the line (only blanks
  // or a '--' comment after it), if any.
  std::optional<qsizetype> scanLine(const QString& line) {
    std::optional<qsizetype> lastSemicolon;
    bool significantAfterSemicolon = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
      const QChar c = line[i];
      const QChar next = i + 1 < line.size() ? line[i + 1] : QChar();
      if (blockComment_) {
        if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
          blockComment_ = false;
          ++i;
        }
        continue;
      }
      if (quoteClose_) {
        if (c == *quoteClose_) {
          if (*quoteClose_ == QLatin1Char('\'') || *quoteClose_ == QLatin1Char('"')) {
            if (next == *quoteClose_) {
              ++i;  // doubled quote inside the literal
            } else {
              quoteClose_.reset();
            }
          } else if (next == QLatin1Char('\'')) {  // q'[...]' ends with ]'
            quoteClose_.reset();
            ++i;
          }
        }
        continue;
      }
      if (c == QLatin1Char('-') && next == QLatin1Char('-')) break;
      if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
        blockComment_ = true;
        ++i;
        continue;
      }
      if ((c == QLatin1Char('q') || c == QLatin1Char('Q')) && next == QLatin1Char('\'') &&
          (i == 0 || !isWordChar(line[i - 1])) && i + 2 < line.size()) {
        const QChar open = line[i + 2];
        QChar close = open;
        if (open == QLatin1Char('[')) close = QLatin1Char(']');
        if (open == QLatin1Char('{')) close = QLatin1Char('}');
        if (open == QLatin1Char('(')) close = QLatin1Char(')');
        if (open == QLatin1Char('<')) close = QLatin1Char('>');
        quoteClose_ = close;
        i += 2;
        significantAfterSemicolon = true;
        continue;
      }
      if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        quoteClose_ = c;
        significantAfterSemicolon = true;
        continue;
      }
      if (c == QLatin1Char(';')) {
        lastSemicolon = i;
        significantAfterSemicolon = false;
        continue;
      }
      if (!c.isSpace()) significantAfterSemicolon = true;
    }
    if (lastSemicolon && !significantAfterSemicolon && !quoteClose_ && !blockComment_) {
      return lastSemicolon;
    }
    return std::nullopt;
  }

 private:
  bool blockComment_ = false;
  std::optional<QChar> quoteClose_;
};

QString stripTrailingSemicolon(QString text) {
  text = text.trimmed();
  if (text.endsWith(QLatin1Char(';'))) text.chop(1);
  return text.trimmed();
}

// "SPO" "SPOO" "SPOOL": SQL*Plus accepts a command from its shortest abbreviation on.
bool abbreviates(const QString& word, QLatin1StringView command, qsizetype shortest) {
  return word.size() >= shortest && word.size() <= command.size() &&
         QLatin1StringView(command).startsWith(word);
}

// SQL*Plus commands that have no effect here; reported, never sent to the server.
bool isOtherSqlPlusCommand(const QString& word) {
  struct Command {
    const char* name;
    int shortest;
  };
  static const Command commands[] = {
      {"ACCEPT", 3},    {"APPEND", 1},    {"ARCHIVE", 7}, {"ATTRIBUTE", 4}, {"BREAK", 3},
      {"BTITLE", 3},    {"CHANGE", 6},    {"CLEAR", 2},   {"COLUMN", 3},    {"COMPUTE", 4},
      {"CONNECT", 4},   {"COPY", 4},      {"DEFINE", 3},  {"DESCRIBE", 4},  {"DISCONNECT", 4},
      {"EDIT", 2},      {"GET", 3},       {"HELP", 4},    {"HOST", 2},      {"INPUT", 5},
      {"LIST", 4},      {"PASSWORD", 5},  {"PAUSE", 3},   {"PRINT", 5},     {"RECOVER", 7},
      {"REPFOOTER", 4}, {"REPHEADER", 4}, {"RUN", 3},     {"SAVE", 3},      {"SHOW", 3},
      {"SHUTDOWN", 8},  {"STARTUP", 7},   {"STORE", 5},   {"TIMING", 4},    {"TTITLE", 3},
      {"UNDEFINE", 5},  {"VARIABLE", 3},  {"XQUERY", 6}};
  for (const Command& command : commands) {
    if (abbreviates(word, QLatin1StringView(command.name), command.shortest)) return true;
  }
  return false;
}

// The words of a SQL*Plus command line, a quoted word kept whole without its quotes.
QStringList commandWords(const QString& text) {
  QStringList words;
  qsizetype i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i].isSpace()) ++i;
    if (i >= text.size()) break;
    const QChar quote = text[i];
    if (quote == QLatin1Char('\'') || quote == QLatin1Char('"')) {
      const qsizetype end = text.indexOf(quote, i + 1);
      const qsizetype stop = end < 0 ? text.size() : end;
      words << text.mid(i + 1, stop - i - 1);
      i = stop + 1;
      continue;
    }
    const qsizetype start = i;
    while (i < text.size() && !text[i].isSpace()) ++i;
    words << text.mid(start, i - start);
  }
  return words;
}

// EXIT and WHENEVER ... EXIT arguments: [SUCCESS|FAILURE|WARNING|n|SQL.SQLCODE]
// [COMMIT|ROLLBACK]; without a code, defaultCode. False when a word is not understood.
bool readExitArguments(QStringList words, ScriptCommand& command, int defaultCode) {
  command.exitCode = defaultCode;
  command.endAction = ScriptCommand::EndAction::Commit;
  if (!words.isEmpty()) {
    const QString last = words.last().toUpper();
    if (last == QLatin1String("COMMIT") || last == QLatin1String("ROLLBACK")) {
      command.endAction = last == QLatin1String("COMMIT") ? ScriptCommand::EndAction::Commit
                                                          : ScriptCommand::EndAction::Rollback;
      words.removeLast();
    }
  }
  if (words.size() > 1) return false;
  if (words.isEmpty()) return true;
  const QString code = words.first().toUpper();
  bool numeric = false;
  const int number = code.toInt(&numeric);
  if (numeric) {
    command.exitCode = number;
  } else if (code == QLatin1String("SUCCESS")) {
    command.exitCode = 0;
  } else if (code == QLatin1String("FAILURE")) {
    command.exitCode = 1;
  } else if (code == QLatin1String("WARNING")) {
    command.exitCode = 2;
  } else if (code == QLatin1String("SQL.SQLCODE")) {
    command.exitWithErrorCode = true;
    command.exitCode = 1;  // for an error without an ORA- number
  } else {
    return false;
  }
  return true;
}

class ScriptParser {
 public:
  QList<ScriptCommand> parse(const QString& script) {
    QStringList lines = script.split(QLatin1Char('\n'));
    for (QString& line : lines) {
      if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) takeLine(lines[i], static_cast<int>(i + 1));
    if (!buffer_.isEmpty()) {
      ScriptCommand command;
      command.kind = Kind::Unterminated;
      command.text = buffer_.join(QLatin1Char('\n')).trimmed();
      command.line = bufferLine_;
      if (!command.text.isEmpty()) commands_.append(command);
    }
    return commands_;
  }

 private:
  void takeLine(const QString& line, int number) {
    const QString trimmed = line.trimmed();
    if (buffer_.isEmpty()) {
      if (topComment_) {
        if (trimmed.contains(QLatin1String("*/"))) topComment_ = false;
        return;
      }
      if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--"))) return;
      if (trimmed.startsWith(QLatin1String("/*"))) {
        if (trimmed.indexOf(QLatin1String("*/"), 2) < 0) topComment_ = true;
        return;
      }
      if (trimmed == QLatin1String("/")) {
        if (lastStatement_) {
          ScriptCommand again = *lastStatement_;
          again.line = number;
          commands_.append(again);
        }
        return;
      }
      if (takeSqlPlusCommand(trimmed, number)) return;
      bufferLine_ = number;
      scanner_ = StatementScanner();
      plsql_.reset();
    } else if (trimmed == QLatin1String("/")) {
      finish(buffer_.join(QLatin1Char('\n')));
      return;
    }
    buffer_.append(line);
    const std::optional<qsizetype> end = scanner_.scanLine(line);
    if (end && !bufferIsPlSql()) {
      buffer_.last() = line.left(*end);
      finish(buffer_.join(QLatin1Char('\n')));
    }
  }

  // Decided once the statement has enough words, so long blocks are not re-read
  // at every line that ends with ';'.
  bool bufferIsPlSql() {
    if (plsql_) return *plsql_;
    const QString text = buffer_.join(QLatin1Char('\n'));
    const bool plsql = isPlSqlStatement(text);
    if (plsql || leadingWords(text, kPlSqlWords).size() >= kPlSqlWords) plsql_ = plsql;
    return plsql;
  }

  void finish(const QString& text) {
    ScriptCommand command;
    command.line = bufferLine_;
    command.text = text.trimmed();
    command.kind = isPlSqlStatement(command.text) ? Kind::PlSql : Kind::Sql;
    // A plain statement ended by '/' may still carry its ';'.
    if (command.kind == Kind::Sql) command.text = stripTrailingSemicolon(command.text);
    buffer_.clear();
    if (command.text.isEmpty()) return;
    commands_.append(command);
    lastStatement_ = command;
  }

  bool takeSqlPlusCommand(const QString& trimmed, int number) {
    ScriptCommand command;
    command.line = number;
    if (trimmed.startsWith(QLatin1Char('@'))) {
      command.kind = Kind::Run;
      command.relativeToScript = trimmed.startsWith(QLatin1String("@@"));
      const QStringList words =
          commandWords(stripTrailingSemicolon(trimmed.mid(command.relativeToScript ? 2 : 1)));
      command.text = words.value(0);
      command.words = words.mid(1);
      commands_.append(command);
      return true;
    }
    qsizetype wordEnd = 0;
    while (wordEnd < trimmed.size() && !trimmed[wordEnd].isSpace() &&
           trimmed[wordEnd] != QLatin1Char(';')) {
      ++wordEnd;
    }
    const QString word = trimmed.left(wordEnd).toUpper();
    const QString rest = trimmed.mid(wordEnd).trimmed();
    const QString arguments = stripTrailingSemicolon(rest);

    if (abbreviates(word, QLatin1StringView("REMARK"), 3)) return true;
    if (abbreviates(word, QLatin1StringView("PROMPT"), 3)) {
      command.kind = Kind::Prompt;
      command.text = rest;
    } else if (word == QLatin1String("SET")) {
      const QString what = leadingWords(arguments, 1).value(0);
      if (what == QLatin1String("TRANSACTION") || what == QLatin1String("ROLE") ||
          what.startsWith(QLatin1String("CONSTRAINT"))) {
        return false;  // SQL, not SQL*Plus
      }
      command.kind = Kind::Set;
      command.words = commandWords(arguments);
    } else if (abbreviates(word, QLatin1StringView("SPOOL"), 3)) {
      command.kind = Kind::Spool;
      const QStringList words = commandWords(arguments);
      command.text = words.value(0);
      command.words = words.mid(1);
    } else if (word == QLatin1String("EXIT") || word == QLatin1String("QUIT")) {
      command.kind = Kind::Exit;
      // An EXIT that cannot be read still ends the script, as a failure.
      if (!readExitArguments(commandWords(arguments), command, 0)) {
        command.exitCode = 1;
        command.exitWithErrorCode = false;
      }
    } else if (word == QLatin1String("WHENEVER")) {
      if (!readWhenever(commandWords(arguments), command)) {
        command.kind = Kind::Unsupported;
        command.text = trimmed;
      }
    } else if (abbreviates(word, QLatin1StringView("EXECUTE"), 4)) {
      command.kind = Kind::PlSql;
      command.text = QStringLiteral("BEGIN ") + arguments + QStringLiteral("; END;");
      lastStatement_ = command;
    } else if (abbreviates(word, QLatin1StringView("START"), 3)) {
      command.kind = Kind::Run;
      const QStringList words = commandWords(arguments);
      command.text = words.value(0);
      command.words = words.mid(1);
    } else if (isOtherSqlPlusCommand(word)) {
      command.kind = Kind::Unsupported;
      command.text = trimmed;
    } else {
      return false;
    }
    commands_.append(command);
    return true;
  }

  static bool readWhenever(QStringList words, ScriptCommand& command) {
    command.kind = Kind::Whenever;
    if (words.size() < 2) return false;
    const QString condition = words.takeFirst().toUpper();
    if (condition != QLatin1String("SQLERROR") && condition != QLatin1String("OSERROR")) {
      return false;
    }
    command.osError = condition == QLatin1String("OSERROR");
    const QString action = words.takeFirst().toUpper();
    if (action == QLatin1String("EXIT")) {
      command.exitOnError = true;
      // WHENEVER ... EXIT without a code means FAILURE.
      return readExitArguments(words, command, 1);
    }
    if (action != QLatin1String("CONTINUE")) return false;
    command.exitOnError = false;
    command.endAction = ScriptCommand::EndAction::None;
    if (words.isEmpty()) return true;
    if (words.size() > 1) return false;
    const QString end = words.first().toUpper();
    if (end == QLatin1String("COMMIT")) {
      command.endAction = ScriptCommand::EndAction::Commit;
    } else if (end == QLatin1String("ROLLBACK")) {
      command.endAction = ScriptCommand::EndAction::Rollback;
    } else if (end != QLatin1String("NONE")) {
      return false;
    }
    return true;
  }

  QList<ScriptCommand> commands_;
  QStringList buffer_;
  int bufferLine_ = 0;
  StatementScanner scanner_;
  bool topComment_ = false;
  std::optional<ScriptCommand> lastStatement_;
  std::optional<bool> plsql_;
};

}  // namespace

QStringList leadingWords(const QString& sql, int count) {
  QStringList words;
  qsizetype i = 0;
  const qsizetype size = sql.size();
  while (i < size && words.size() < count) {
    const QChar c = sql[i];
    const QChar next = i + 1 < size ? sql[i + 1] : QChar();
    if (c.isSpace()) {
      ++i;
    } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
      const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
      i = end < 0 ? size : end + 1;
    } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
      const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
      i = end < 0 ? size : end + 2;
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      // A literal or quoted name is one word, never read for keywords: a long
      // literal costs one scan, not a copy and an upper-casing.
      words << QString(c);
      ++i;
      while (i < size) {
        if (sql[i] == c) {
          if (c == QLatin1Char('\'') && i + 1 < size && sql[i + 1] == c) {
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        ++i;
      }
    } else if (isWordChar(c)) {
      const qsizetype start = i;
      while (i < size && isWordChar(sql[i])) ++i;
      // Words are only compared with keywords; a longer word is none of them.
      constexpr qsizetype kLongestKeyword = 64;
      words << sql.mid(start, std::min(i - start, kLongestKeyword)).toUpper();
    } else {
      words << QString(c);
      ++i;
    }
  }
  return words;
}

bool isQueryStatement(const QString& sql) {
  const QStringList words = leadingWords(sql, 8);
  for (const QString& word : words) {
    if (word == QLatin1String("(")) continue;
    return word == QLatin1String("SELECT") || word == QLatin1String("WITH");
  }
  return false;
}

bool isPlSqlStatement(const QString& sql) {
  QStringList words = leadingWords(sql, kPlSqlWords);
  if (words.isEmpty()) return false;
  if (words[0] == QLatin1String("BEGIN") || words[0] == QLatin1String("DECLARE")) return true;
  if (words[0] != QLatin1String("CREATE")) return false;
  words.removeFirst();
  if (words.size() >= 2 && words[0] == QLatin1String("OR") &&
      words[1] == QLatin1String("REPLACE")) {
    words.remove(0, 2);
  }
  if (!words.isEmpty() &&
      (words[0] == QLatin1String("EDITIONABLE") || words[0] == QLatin1String("NONEDITIONABLE"))) {
    words.removeFirst();
  }
  static const QSet<QString> storedCode = {QStringLiteral("PROCEDURE"), QStringLiteral("FUNCTION"),
                                           QStringLiteral("PACKAGE"),   QStringLiteral("TRIGGER"),
                                           QStringLiteral("TYPE"),      QStringLiteral("LIBRARY")};
  return !words.isEmpty() && storedCode.contains(words[0]);
}

QList<ScriptCommand> parseSqlPlusScript(const QString& script) {
  return ScriptParser().parse(script);
}

}  // namespace korvo::db
