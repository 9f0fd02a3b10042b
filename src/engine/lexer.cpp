#include "engine/lexer.h"

#include <cctype>

#include "engine/ora_error.h"

namespace korvo::engine {
namespace {

// Oracle's limit for names before 12.2, which the program's schemas follow.
constexpr size_t kMaxIdentifierBytes = 30;
constexpr size_t kMaxStringBytes = 4000;

bool isIdentStart(unsigned char c) { return std::isalpha(c) || c >= 0x80; }
bool isIdentPart(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80;
}

char closingQuote(char open) {
  switch (open) {
    case '[':
      return ']';
    case '{':
      return '}';
    case '(':
      return ')';
    case '<':
      return '>';
    default:
      return open;
  }
}

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
  std::vector<Token> out;
  size_t i = 0;
  const size_t n = sql.size();
  auto push = [&](TokenKind k, std::string text, size_t b, size_t e) {
    out.push_back(Token{k, std::move(text), b, e});
  };
  while (i < n) {
    unsigned char c = sql[i];
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      size_t close = sql.find("*/", i + 2);
      i = close == std::string_view::npos ? n : close + 2;  // Oracle tolerates it at the end
      continue;
    }
    size_t b = i;
    if ((c == 'q' || c == 'Q' || c == 'n' || c == 'N') && i + 1 < n) {
      // q'[...]' and N'...' / Nq'[...]'
      size_t j = i;
      if ((c == 'n' || c == 'N') && (sql[j + 1] == '\'' || sql[j + 1] == 'q' || sql[j + 1] == 'Q'))
        ++j;
      if ((sql[j] == 'q' || sql[j] == 'Q') && j + 2 < n && sql[j + 1] == '\'') {
        char close = closingQuote(sql[j + 2]);
        size_t k = j + 3;
        while (k + 1 < n && !(sql[k] == close && sql[k + 1] == '\'')) ++k;
        if (k + 1 >= n) throw OraError(1756);
        if (k - j - 3 > kMaxStringBytes) throw OraError(1704);
        push(TokenKind::String, std::string(sql.substr(j + 3, k - j - 3)), b, k + 2);
        i = k + 2;
        continue;
      }
      if (j != i && sql[j] == '\'') i = j;  // N'..' is an ordinary string
      c = sql[i];
    }
    if (c == '\'') {
      std::string text;
      size_t k = i + 1;
      for (;;) {
        size_t quote = sql.find('\'', k);
        if (quote == std::string_view::npos)
          throw OraError(1756);
        text.append(sql.substr(k, quote - k));
        if (quote + 1 < n && sql[quote + 1] == '\'') {
          text += '\'';
          k = quote + 2;
          continue;
        }
        k = quote;
        break;
      }
      if (text.size() > kMaxStringBytes) throw OraError(1704);
      push(TokenKind::String, std::move(text), b, k + 1);
      i = k + 1;
      continue;
    }
    if (c == '"') {
      size_t close = sql.find('"', i + 1);
      if (close == std::string_view::npos)
        throw OraError(1740);
      if (close == i + 1) throw OraError(1741);
      // Oracle's names may hold any character but the double quote and NUL
      if (sql.substr(i + 1, close - i - 1).find('\0') != std::string_view::npos)
        throw OraError(911);
      if (close - i - 1 > kMaxIdentifierBytes) throw OraError(972);
      push(TokenKind::QuotedIdentifier, std::string(sql.substr(i + 1, close - i - 1)), b,
           close + 1);
      i = close + 1;
      continue;
    }
    if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit((unsigned char)sql[i + 1]))) {
      size_t k = i;
      while (k < n && std::isdigit((unsigned char)sql[k])) ++k;
      if (k < n && sql[k] == '.' && !(k + 1 < n && sql[k + 1] == '.')) {
        ++k;
        while (k < n && std::isdigit((unsigned char)sql[k])) ++k;
      }
      if (k < n && (sql[k] == 'e' || sql[k] == 'E')) {
        size_t m = k + 1;
        if (m < n && (sql[m] == '+' || sql[m] == '-')) ++m;
        if (m < n && std::isdigit((unsigned char)sql[m])) {
          k = m;
          while (k < n && std::isdigit((unsigned char)sql[k])) ++k;
        }
      }
      push(TokenKind::Number, std::string(sql.substr(i, k - i)), b, k);
      i = k;
      continue;
    }
    if (isIdentStart(c)) {
      size_t k = i;
      while (k < n && isIdentPart((unsigned char)sql[k])) ++k;
      if (k - i > kMaxIdentifierBytes) throw OraError(972);
      std::string word(sql.substr(i, k - i));
      for (auto& ch : word)
        if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
      push(TokenKind::Identifier, std::move(word), b, k);
      i = k;
      continue;
    }
    auto two = i + 1 < n ? sql.substr(i, 2) : std::string_view{};
    if (two == "||" || two == "<=" || two == ">=" || two == "<>" || two == "!=" || two == "^=" ||
        two == ":=" || two == "=>") {
      std::string op(two);
      if (op == "!=" || op == "^=") op = "<>";
      push(TokenKind::Operator, op, b, i + 2);
      i += 2;
      continue;
    }
    // [ and ] appear only in a MODEL clause's cell references; the parser refuses them elsewhere
    if (std::string_view("(),.;+-*/=<>:%@[]").find(char(c)) != std::string_view::npos) {
      push(TokenKind::Operator, std::string(1, char(c)), b, i + 1);
      ++i;
      continue;
    }
    throw OraError(911);
  }
  out.push_back(Token{TokenKind::End, "", n, n});
  return out;
}

}  // namespace korvo::engine
