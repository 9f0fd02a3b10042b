#pragma once
// The tokens the SQL editor colours, one line at a time: keywords of Oracle
// SQL, string literals, comments, numbers and the @Prompt/@Variable calls of
// a universe. A block comment or a string may go on over several lines: the
// state a line ends in is where the next one starts.
#include <QList>
#include <QString>

namespace korvo::sqlgen {

enum class SqlTokenKind { Keyword, String, Comment, Number, PromptCall };

struct SqlToken {
  int start = 0;
  int length = 0;
  SqlTokenKind kind = SqlTokenKind::Keyword;
  bool operator==(const SqlToken&) const = default;
};

enum class SqlLineState { Normal = 0, InComment = 1, InString = 2 };

struct SqlLineTokens {
  QList<SqlToken> tokens;
  SqlLineState endState = SqlLineState::Normal;
};

SqlLineTokens tokenizeSqlLine(const QString& line, SqlLineState startState);

bool isSqlKeyword(const QString& word);

}  // namespace korvo::sqlgen
