#include "engine/regexp_translate.h"

#include <cctype>

#include "engine/ora_error.h"

namespace korvo::engine::regexp {

namespace {

// Letters and their accented forms, for [[=x=]]: Latin-1 and Latin Extended-A.
constexpr const char* kEquivalents[] = {
    "aàáâãäåāăą", "AÀÁÂÃÄÅĀĂĄ", "cçćĉċč",      "CÇĆĈĊČ",      "dďđ",    "DĎĐ",        "eèéêëēĕėęě",
    "EÈÉÊËĒĔĖĘĚ", "gĝğġģ",      "GĜĞĠĢ",       "hĥħ",         "HĤĦ",    "iìíîïĩīĭįı", "IÌÍÎÏĨĪĬĮİ",
    "jĵ",         "JĴ",         "kķ",          "KĶ",          "lĺļľŀł", "LĹĻĽĿŁ",     "nñńņňŉ",
    "NÑŃŅŇ",      "oòóôõöøōŏő", "OÒÓÔÕÖØŌŎŐ",  "rŕŗř",        "RŔŖŘ",   "sśŝşš",      "SŚŜŞŠ",
    "tţťŧ",       "TŢŤŦ",       "uùúûüũūŭůűų", "UÙÚÛÜŨŪŬŮŰŲ", "wŵ",     "WŴ",         "yýÿŷ",
    "YÝŸŶ",       "zźżž",       "ZŹŻŽ",
};

// Bytes of the UTF-8 character whose first byte is b (the text is valid).
std::size_t charLength(unsigned char b) {
  if (b < 0x80) return 1;
  if (b < 0xE0) return 2;
  if (b < 0xF0) return 3;
  return 4;
}

std::string_view charAt(std::string_view text, std::size_t i) {
  return text.substr(i, charLength(static_cast<unsigned char>(text[i])));
}

bool isSingleChar(std::string_view text) {
  return !text.empty() && charLength(static_cast<unsigned char>(text[0])) == text.size();
}

bool isBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

// A character written inside a PCRE2 class: ASCII punctuation escaped.
void appendClassMember(std::string& out, std::string_view ch) {
  const auto b = static_cast<unsigned char>(ch[0]);
  if (ch.size() == 1 && b < 0x80 && !std::isalnum(b)) out += '\\';
  out += ch;
}

void appendEquivalents(std::string& out, std::string_view ch) {
  for (const char* group : kEquivalents) {
    const std::string_view members(group);
    for (std::size_t i = 0; i < members.size();
         i += charLength(static_cast<unsigned char>(members[i]))) {
      if (charAt(members, i) != ch) continue;
      out += members;  // letters only: nothing to escape
      return;
    }
  }
  appendClassMember(out, ch);
}

// Copies the bracket expression starting at pattern[i] ('['); returns the
// index after its closing ']'.
std::size_t copyBracket(std::string_view pattern, std::size_t i, std::string& out) {
  out += '[';
  ++i;
  if (i < pattern.size() && pattern[i] == '^') out += pattern[i++];
  // A ']' right after the opening is a member, not the end.
  if (i < pattern.size() && pattern[i] == ']') {
    out += "\\]";
    ++i;
  }
  while (i < pattern.size()) {
    const char ch = pattern[i];
    if (ch == ']') {
      out += ']';
      return i + 1;
    }
    if (ch == '\\' && i + 1 < pattern.size()) {
      out += ch;
      const std::string_view next = charAt(pattern, i + 1);
      out += next;
      i += 1 + next.size();
      continue;
    }
    const char kind = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (ch == '[' && (kind == ':' || kind == '=' || kind == '.')) {
      const std::size_t close = pattern.find(std::string{kind, ']'}, i + 2);
      if (close == std::string_view::npos) {
        out += "\\[";
        ++i;
        continue;
      }
      const std::string_view body = pattern.substr(i + 2, close - i - 2);
      if (kind == ':') {
        out += "[:";
        out += body;  // PCRE2 knows the POSIX names and refuses others
        out += ":]";
      } else if (kind == '=') {
        if (!isSingleChar(body))
          throw OraError(12730);
        appendEquivalents(out, body);
      } else {
        if (!isSingleChar(body))
          throw OraError(12731);
        appendClassMember(out, body);
      }
      i = close + 2;
      continue;
    }
    const std::string_view member = charAt(pattern, i);
    out += member;
    i += member.size();
  }
  throw OraError(12726);
}

}  // namespace

Options parseOptions(const std::optional<std::string>& matchParameter) {
  Options o;
  if (!matchParameter) return o;
  for (char ch : *matchParameter) {
    switch (ch) {
      case 'i':
        o.ignoreCase = true;
        break;
      case 'c':
        o.ignoreCase = false;
        break;
      case 'n':
        o.dotMatchesNewline = true;
        break;
      case 'm':
        o.multiline = true;
        break;
      case 'x':
        o.ignoreWhitespace = true;
        break;
      default:
        throw OraError(1760);
    }
  }
  return o;
}

std::string toPcrePattern(std::string_view pattern, const Options& options) {
  std::string out;
  out.reserve(pattern.size() + 8);
  // Whether a quantifier here has an atom to repeat; where it has none (at the
  // start, after '(', '|' or '^') POSIX reads it as a literal character.
  bool canRepeat = false;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char ch = pattern[i];
    if (ch == '\\' && i + 1 < pattern.size()) {
      const std::string_view next = charAt(pattern, i + 1);
      out += ch;
      out += next;
      i += 1 + next.size();
      canRepeat = true;
      continue;
    }
    if (options.ignoreWhitespace && isBlank(ch)) {
      ++i;
      continue;
    }
    if (ch == '[') {
      i = copyBracket(pattern, i, out);
      canRepeat = true;
      continue;
    }
    if (!canRepeat && (ch == '*' || ch == '+' || ch == '?' || ch == '{')) {
      out += '\\';
      out += ch;
      ++i;
      canRepeat = true;
      continue;
    }
    const std::string_view c = charAt(pattern, i);
    out += c;
    i += c.size();
    canRepeat = !(ch == '(' || ch == '|' || ch == '^');
  }
  return out;
}

}  // namespace korvo::engine::regexp
