#pragma once
// Tokens of the Oracle SQL dialect. Comments and hints are skipped; q'[..]'
// quoting, "quoted identifiers", ^= / != / <> and the (+) pieces are recognised.
#include <string>
#include <string_view>
#include <vector>

namespace korvo::engine {

enum class TokenKind {
  Identifier,        // unquoted word, text upper-cased
  QuotedIdentifier,  // "Exact Name", text without the quotes
  String,            // 'text', text unescaped
  Number,            // 12, 1.5, .5, 1e3
  Operator,          // punctuation: ( ) , . ; + - * / || = <> < <= > >= :
  End
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // see TokenKind
  size_t begin = 0;  // byte offsets into the statement text
  size_t end = 0;

  bool isWord(std::string_view upper) const {
    return kind == TokenKind::Identifier && text == upper;
  }
  bool isOp(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
};

// Splits sql into tokens, ending with one End token. Raises OraError for an
// unterminated string or identifier and for characters Oracle rejects (ORA-00911).
std::vector<Token> tokenize(std::string_view sql);

}  // namespace korvo::engine
