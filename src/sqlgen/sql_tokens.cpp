#include "sqlgen/sql_tokens.h"

#include "engine/dialect_keywords.h"
#include "engine/function_table.h"

namespace korvo::sqlgen {

namespace {

bool isWordChar(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
         c == QLatin1Char('#');
}

// One past the closing quote of a literal whose inside starts at `from`
// ('' stands for a quote), or -1 when the line ends inside it.
int stringEnd(const QString& line, int from) {
  for (int i = from; i < line.size(); ++i) {
    if (line[i] != QLatin1Char('\'')) continue;
    if (i + 1 < line.size() && line[i + 1] == QLatin1Char('\'')) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return -1;
}

// A call "@Prompt(" or "@Variable(" at `at`: its length up to the closing
// parenthesis outside quotes, or to the end of the line; 0 when none starts here.
int promptCallLength(const QString& line, int at) {
  static const QString names[] = {QStringLiteral("@prompt("), QStringLiteral("@variable(")};
  for (const QString& name : names) {
    if (line.mid(at, name.size()).compare(name, Qt::CaseInsensitive) != 0) continue;
    int i = at + int(name.size());
    while (i < line.size()) {
      if (line[i] == QLatin1Char('\'')) {
        const int end = stringEnd(line, i + 1);
        if (end < 0) return int(line.size()) - at;
        i = end;
        continue;
      }
      if (line[i] == QLatin1Char(')')) return i + 1 - at;
      ++i;
    }
    return int(line.size()) - at;
  }
  return 0;
}

}  // namespace

// The dialect's own words and its built-in function names.
bool isSqlKeyword(const QString& word) {
  const std::string upper = word.toUpper().toStdString();
  return engine::isDialectKeyword(upper) || engine::findFunction(upper) || upper == "DUAL";
}

SqlLineTokens tokenizeSqlLine(const QString& line, SqlLineState startState) {
  SqlLineTokens out;
  const int n = int(line.size());
  int i = 0;
  if (startState == SqlLineState::InComment) {
    const int close = int(line.indexOf(QStringLiteral("*/")));
    if (close < 0) {
      if (n > 0) out.tokens << SqlToken{0, n, SqlTokenKind::Comment};
      out.endState = SqlLineState::InComment;
      return out;
    }
    out.tokens << SqlToken{0, close + 2, SqlTokenKind::Comment};
    i = close + 2;
  } else if (startState == SqlLineState::InString) {
    const int end = stringEnd(line, 0);
    if (end < 0) {
      if (n > 0) out.tokens << SqlToken{0, n, SqlTokenKind::String};
      out.endState = SqlLineState::InString;
      return out;
    }
    out.tokens << SqlToken{0, end, SqlTokenKind::String};
    i = end;
  }
  while (i < n) {
    const QChar c = line[i];
    if (c == QLatin1Char('-') && i + 1 < n && line[i + 1] == QLatin1Char('-')) {
      out.tokens << SqlToken{i, n - i, SqlTokenKind::Comment};
      break;
    }
    if (c == QLatin1Char('/') && i + 1 < n && line[i + 1] == QLatin1Char('*')) {
      const int close = int(line.indexOf(QStringLiteral("*/"), i + 2));
      if (close < 0) {
        out.tokens << SqlToken{i, n - i, SqlTokenKind::Comment};
        out.endState = SqlLineState::InComment;
        break;
      }
      out.tokens << SqlToken{i, close + 2 - i, SqlTokenKind::Comment};
      i = close + 2;
      continue;
    }
    if (c == QLatin1Char('\'')) {
      const int end = stringEnd(line, i + 1);
      if (end < 0) {
        out.tokens << SqlToken{i, n - i, SqlTokenKind::String};
        out.endState = SqlLineState::InString;
        break;
      }
      out.tokens << SqlToken{i, end - i, SqlTokenKind::String};
      i = end;
      continue;
    }
    if (c == QLatin1Char('"')) {  // a quoted name: skipped whole, never a keyword
      const int close = int(line.indexOf(QLatin1Char('"'), i + 1));
      i = close < 0 ? n : close + 1;
      continue;
    }
    if (c == QLatin1Char('@')) {
      if (const int length = promptCallLength(line, i)) {
        out.tokens << SqlToken{i, length, SqlTokenKind::PromptCall};
        i += length;
        continue;
      }
    }
    const bool startsNumber =
        c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && line[i + 1].isDigit());
    if (startsNumber && (i == 0 || !isWordChar(line[i - 1]))) {
      int j = i;
      while (j < n && line[j].isDigit()) ++j;
      if (j < n && line[j] == QLatin1Char('.')) {
        ++j;
        while (j < n && line[j].isDigit()) ++j;
      }
      if (j < n && (line[j] == QLatin1Char('e') || line[j] == QLatin1Char('E'))) {
        int k = j + 1;
        if (k < n && (line[k] == QLatin1Char('+') || line[k] == QLatin1Char('-'))) ++k;
        if (k < n && line[k].isDigit()) {
          while (k < n && line[k].isDigit()) ++k;
          j = k;
        }
      }
      if (j >= n || !isWordChar(line[j])) out.tokens << SqlToken{i, j - i, SqlTokenKind::Number};
      i = j;
      continue;
    }
    if (isWordChar(c)) {
      int j = i;
      while (j < n && isWordChar(line[j])) ++j;
      // A word after a dot is a column of a table, never a keyword.
      const bool qualified = i > 0 && line[i - 1] == QLatin1Char('.');
      if (!qualified && isSqlKeyword(line.mid(i, j - i)))
        out.tokens << SqlToken{i, j - i, SqlTokenKind::Keyword};
      i = j;
      continue;
    }
    ++i;
  }
  return out;
}

}  // namespace korvo::sqlgen
