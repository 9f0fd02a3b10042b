// REGEXP_LIKE, REGEXP_COUNT, REGEXP_SUBSTR, REGEXP_INSTR, REGEXP_REPLACE.
// Oracle's patterns (POSIX ERE with Perl's \d \w \s and lazy quantifiers) are
// run by std::wregex in ECMAScript mode over characters, not bytes; the few
// spellings ECMAScript lacks are rewritten first.
#include <locale>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>

#include "engine/functions_support.h"
#include "engine/functions_utf8.h"
#include "engine/ora_error.h"

namespace korvo::engine::udf {

namespace {

struct MatchOptions {
  bool ignoreCase = false;
  bool dotMatchesNewline = false;
  bool multiline = false;
  bool extended = false;
};

// The match parameter: i c n m x, the last of i and c winning.
MatchOptions parseMatchParameter(const std::optional<std::string>& text) {
  MatchOptions o;
  if (!text) return o;
  for (char ch : *text) {
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
        o.extended = true;
        break;
      default:
        throw OraError(1760, "illegal argument for function");
    }
  }
  return o;
}

std::wstring wide(const std::string& utf8Text) {
  std::wstring out;
  for (char32_t ch : utf8::decode(utf8Text)) out += static_cast<wchar_t>(ch);
  return out;
}

std::string narrow(std::wstring_view text) {
  std::string out;
  for (wchar_t ch : text) utf8::append(out, static_cast<char32_t>(ch));
  return out;
}

// Rewrites what ECMAScript spells differently: \A \Z \z anchors, '.' under 'n',
// and unescaped blanks under 'x'.
std::wstring translatePattern(const std::wstring& pattern, const MatchOptions& o) {
  std::wstring out;
  bool inBracket = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const wchar_t ch = pattern[i];
    if (ch == L'\\' && i + 1 < pattern.size()) {
      const wchar_t next = pattern[++i];
      if (!inBracket && (next == L'A' || next == L'Z' || next == L'z')) {
        // Under 'm' ECMAScript has no anchor for the whole text's ends.
        if (o.multiline) throw OraError(1760, "illegal argument for function");
        out += next == L'A' ? L'^' : L'$';
      } else {
        out += ch;
        out += next;
      }
      continue;
    }
    if (inBracket) {
      if (ch == L']' && out.back() != L'[' &&
          !(out.size() >= 2 && out.back() == L'^' && out[out.size() - 2] == L'[')) {
        inBracket = false;
      } else if (ch == L'[' && i + 1 < pattern.size() && pattern[i + 1] == L':') {
        const std::size_t close = pattern.find(L":]", i + 2);
        if (close != std::wstring::npos) {
          out.append(pattern, i, close + 2 - i);
          i = close + 1;
          continue;
        }
      }
      out += ch;
      continue;
    }
    if (ch == L'[') {
      inBracket = true;
      out += ch;
    } else if (ch == L'.' && o.dotMatchesNewline) {
      out += L"[\\s\\S]";
    } else if (o.extended && (ch == L' ' || ch == L'\t' || ch == L'\n' || ch == L'\r')) {
      continue;
    } else {
      out += ch;
    }
  }
  return out;
}

// Character classes and case folding beyond ASCII need a Unicode locale.
const std::locale& unicodeLocale() {
  static const std::locale locale = [] {
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
      try {
        return std::locale(name);
      } catch (const std::runtime_error&) {
      }
    }
    return std::locale::classic();
  }();
  return locale;
}

std::wregex compile(const std::string& pattern, const MatchOptions& o) {
  auto flags = std::regex_constants::ECMAScript;
  if (o.ignoreCase) flags |= std::regex_constants::icase;
  if (o.multiline) flags |= std::regex_constants::multiline;
  try {
    std::wregex re;
    re.imbue(unicodeLocale());
    re.assign(translatePattern(wide(pattern), o), flags);
    return re;
  } catch (const std::regex_error& e) {
    switch (e.code()) {
      case std::regex_constants::error_paren:
        throw OraError(12725, "unmatched parentheses in regular expression");
      case std::regex_constants::error_brack:
        throw OraError(12726, "unmatched bracket in regular expression");
      case std::regex_constants::error_range:
        throw OraError(12728, "invalid range in regular expression");
      case std::regex_constants::error_backref:
        throw OraError(12727, "invalid back reference in regular expression");
      case std::regex_constants::error_ctype:
        throw OraError(12729, "invalid character class in regular expression");
      case std::regex_constants::error_brace:
      case std::regex_constants::error_badbrace:
        throw OraError(12732, "invalid interval value in regular expression");
      default:
        throw OraError(12722, "regular expression internal error");
    }
  }
}

using Match = std::match_results<std::wstring::const_iterator>;

// Calls visit for each match at or after character position start (0-based),
// left to right without overlaps, until visit returns false.
template <typename Visit>
void forEachMatch(const std::wstring& text, const std::wregex& re, std::size_t start,
                  Visit&& visit) {
  auto from = text.cbegin() + static_cast<std::ptrdiff_t>(start);
  auto flags = std::regex_constants::match_default;
  if (start > 0) flags |= std::regex_constants::match_prev_avail;
  Match match;
  while (true) {
    try {
      if (!std::regex_search(from, text.cend(), match, re, flags)) return;
    } catch (const std::regex_error&) {
      throw OraError(12722, "regular expression internal error");
    }
    if (!visit(match)) return;
    // The next search starts after this match (one further for an empty one).
    from = match[0].second;
    if (match[0].length() == 0) {
      if (from == text.cend()) return;
      ++from;
    }
    flags |= std::regex_constants::match_prev_avail;
  }
}

// Finds the occurrence-th match at or after character position start.
bool findOccurrence(const std::wstring& text, const std::wregex& re, std::size_t start,
                    long long occurrence, Match& found) {
  long long seen = 0;
  bool ok = false;
  forEachMatch(text, re, start, [&](const Match& m) {
    if (++seen < occurrence) return true;
    found = m;
    ok = true;
    return false;
  });
  return ok;
}

struct Common {
  std::wstring text;
  std::wregex re;
};

// Reads source and pattern; nullopt when either is NULL.
std::optional<Common> prepare(sqlite3_context* c, sqlite3_value* source, sqlite3_value* pattern,
                              const std::optional<std::string>& matchParameter) {
  auto s = textArg(c, source);
  auto p = textArg(c, pattern);
  if (!s || !p) return std::nullopt;
  return Common{wide(*s), compile(*p, parseMatchParameter(matchParameter))};
}

std::optional<std::string> optionalText(sqlite3_context* c, int argc, sqlite3_value** argv,
                                        int index) {
  return index < argc ? textArg(c, argv[index]) : std::nullopt;
}

// A position or occurrence argument: 1 when absent, at least 1 when given.
std::optional<long long> positiveArg(sqlite3_context* c, int argc, sqlite3_value** argv, int index,
                                     bool& isNullArg) {
  isNullArg = false;
  if (index >= argc) return 1;
  auto v = integerArg(c, argv[index]);
  if (!v) {
    isNullArg = true;
    return std::nullopt;
  }
  if (*v < 1) throw OraError(1428, "argument '" + std::to_string(*v) + "' is out of range");
  return v;
}

void regexpLike(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto common = prepare(c, argv[0], argv[1], optionalText(c, argc, argv, 2));
  if (!common) return sqlite3_result_null(c);
  Match m;
  sqlite3_result_int(c, findOccurrence(common->text, common->re, 0, 1, m) ? 1 : 0);
}

void regexpCount(sqlite3_context* c, int argc, sqlite3_value** argv) {
  bool nullArg = false;
  auto position = positiveArg(c, argc, argv, 2, nullArg);
  if (nullArg) return sqlite3_result_null(c);
  auto common = prepare(c, argv[0], argv[1], optionalText(c, argc, argv, 3));
  if (!common) return sqlite3_result_null(c);
  long long count = 0;
  if (static_cast<std::size_t>(*position) <= common->text.size()) {
    forEachMatch(common->text, common->re, static_cast<std::size_t>(*position - 1),
                 [&](const Match&) { return ++count, true; });
  }
  sqlite3_result_int64(c, count);
}

// The group a SUBSTR or INSTR reports: 0 for the whole match, 1-9 for one.
std::optional<int> subexpressionArg(sqlite3_context* c, int argc, sqlite3_value** argv, int index,
                                    bool& isNullArg) {
  isNullArg = false;
  if (index >= argc) return 0;
  auto v = integerArg(c, argv[index]);
  if (!v) {
    isNullArg = true;
    return std::nullopt;
  }
  if (*v < 0 || *v > 9)
    throw OraError(1428, "argument '" + std::to_string(*v) + "' is out of range");
  return static_cast<int>(*v);
}

void regexpSubstr(sqlite3_context* c, int argc, sqlite3_value** argv) {
  bool nullPosition = false, nullOccurrence = false, nullGroup = false;
  auto position = positiveArg(c, argc, argv, 2, nullPosition);
  auto occurrence = positiveArg(c, argc, argv, 3, nullOccurrence);
  auto group = subexpressionArg(c, argc, argv, 5, nullGroup);
  if (nullPosition || nullOccurrence || nullGroup) return sqlite3_result_null(c);
  auto common = prepare(c, argv[0], argv[1], optionalText(c, argc, argv, 4));
  if (!common) return sqlite3_result_null(c);
  if (static_cast<std::size_t>(*position) > common->text.size()) return sqlite3_result_null(c);
  Match m;
  if (!findOccurrence(common->text, common->re, static_cast<std::size_t>(*position - 1),
                      *occurrence, m))
    return sqlite3_result_null(c);
  if (static_cast<std::size_t>(*group) >= m.size() || !m[*group].matched)
    return sqlite3_result_null(c);
  setText(c, narrow(std::wstring(m[*group].first, m[*group].second)));
}

void regexpInstr(sqlite3_context* c, int argc, sqlite3_value** argv) {
  bool nullPosition = false, nullOccurrence = false, nullGroup = false;
  auto position = positiveArg(c, argc, argv, 2, nullPosition);
  auto occurrence = positiveArg(c, argc, argv, 3, nullOccurrence);
  long long returnOption = 0;
  if (argc > 4) {
    auto r = integerArg(c, argv[4]);
    if (!r) return sqlite3_result_null(c);
    if (*r < 0) throw OraError(1428, "argument '" + std::to_string(*r) + "' is out of range");
    returnOption = *r;
  }
  auto group = subexpressionArg(c, argc, argv, 6, nullGroup);
  if (nullPosition || nullOccurrence || nullGroup) return sqlite3_result_null(c);
  auto common = prepare(c, argv[0], argv[1], optionalText(c, argc, argv, 5));
  if (!common) return sqlite3_result_null(c);
  Match m;
  if (static_cast<std::size_t>(*position) > common->text.size() ||
      !findOccurrence(common->text, common->re, static_cast<std::size_t>(*position - 1),
                      *occurrence, m) ||
      static_cast<std::size_t>(*group) >= m.size() || !m[*group].matched)
    return sqlite3_result_int64(c, 0);
  const auto begin = m[*group].first - common->text.cbegin();
  const auto end = m[*group].second - common->text.cbegin();
  sqlite3_result_int64(c, (returnOption == 0 ? begin : end) + 1);
}

// The replacement text for one match: \1 to \9 name groups, \\ is a backslash.
std::wstring expandReplacement(const std::wstring& replacement, const Match& m) {
  std::wstring out;
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const wchar_t ch = replacement[i];
    if (ch == L'\\' && i + 1 < replacement.size()) {
      const wchar_t next = replacement[i + 1];
      if (next >= L'1' && next <= L'9') {
        const std::size_t g = static_cast<std::size_t>(next - L'0');
        if (g < m.size() && m[g].matched) out.append(m[g].first, m[g].second);
        ++i;
        continue;
      }
      if (next == L'\\') {
        out += L'\\';
        ++i;
        continue;
      }
    }
    out += ch;
  }
  return out;
}

void regexpReplace(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto source = textArg(c, argv[0]);
  if (!source) return sqlite3_result_null(c);
  auto pattern = textArg(c, argv[1]);
  if (!pattern) return setText(c, *source);
  const std::wstring replacement = wide(optionalText(c, argc, argv, 2).value_or(""));
  bool nullPosition = false;
  auto position = positiveArg(c, argc, argv, 3, nullPosition);
  if (nullPosition) return sqlite3_result_null(c);
  long long occurrence = 0;  // every match
  if (argc > 4) {
    auto o = integerArg(c, argv[4]);
    if (!o) return sqlite3_result_null(c);
    if (*o < 0) throw OraError(1428, "argument '" + std::to_string(*o) + "' is out of range");
    occurrence = *o;
  }
  const std::wregex re = compile(*pattern, parseMatchParameter(optionalText(c, argc, argv, 5)));
  const std::wstring text = wide(*source);
  if (static_cast<std::size_t>(*position) > text.size()) return setText(c, *source);
  std::wstring out(text, 0, static_cast<std::size_t>(*position - 1));
  std::size_t copiedTo = static_cast<std::size_t>(*position - 1);
  long long n = 0;
  forEachMatch(text, re, static_cast<std::size_t>(*position - 1), [&](const Match& m) {
    if (occurrence != 0 && ++n < occurrence) return true;
    const auto begin = static_cast<std::size_t>(m[0].first - text.cbegin());
    const auto end = static_cast<std::size_t>(m[0].second - text.cbegin());
    out.append(text, copiedTo, begin - copiedTo);
    out += expandReplacement(replacement, m);
    copiedTo = end;
    return occurrence == 0;
  });
  out.append(text, copiedTo, std::wstring::npos);
  const std::string result = narrow(out);
  if (result.size() > 4000) throw OraError(1489, "result of string concatenation is too long");
  setText(c, result);
}

}  // namespace

void registerRegexpFunctions(sqlite3* db, FunctionContext* ctx) {
  for (int n = 2; n <= 3; ++n) define(db, ctx, "REGEXP_LIKE", n, regexpLike);
  for (int n = 2; n <= 4; ++n) define(db, ctx, "REGEXP_COUNT", n, regexpCount);
  for (int n = 2; n <= 6; ++n) define(db, ctx, "REGEXP_SUBSTR", n, regexpSubstr);
  for (int n = 2; n <= 7; ++n) define(db, ctx, "REGEXP_INSTR", n, regexpInstr);
  for (int n = 2; n <= 6; ++n) define(db, ctx, "REGEXP_REPLACE", n, regexpReplace);
}

}  // namespace korvo::engine::udf
