// REGEXP_LIKE, REGEXP_COUNT, REGEXP_SUBSTR, REGEXP_INSTR, REGEXP_REPLACE.
// Patterns run on PCRE2 (regexp_pattern.h) over the UTF-8 text; positions and
// lengths are counted in characters, as Oracle counts them.
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "engine/functions_support.h"
#include "engine/ora_error.h"
#include "engine/regexp_pattern.h"
#include "engine/regexp_text.h"

namespace korvo::engine::udf {

namespace {

using regexp::Options;
using regexp::Pattern;
using regexp::StepBudget;
using regexp::Subject;
using Range = std::pair<std::size_t, std::size_t>;

constexpr int kPatternArg = 1;

// The compiled pattern of a call. SQLite keeps auxiliary data on an argument
// while it stays the same constant, so a statement compiles its pattern once
// rather than once a row; the entry is checked because the match parameter
// may still change from row to row.
std::shared_ptr<Pattern> patternFor(sqlite3_context* c, const std::string& text,
                                    const Options& options) {
  using Cached = std::shared_ptr<Pattern>;
  if (auto* cached = static_cast<Cached*>(sqlite3_get_auxdata(c, kPatternArg));
      cached && (*cached)->sameAs(text, options))
    return *cached;
  auto compiled = std::make_shared<Pattern>(text, options);
  // SQLite may drop its copy at once; the one returned stays valid regardless.
  sqlite3_set_auxdata(c, kPatternArg, new Cached(compiled),
                      [](void* p) { delete static_cast<Cached*>(p); });
  return compiled;
}

// The source text, its pattern and the step budget of one call.
struct Search {
  Search(std::string sourceText, std::shared_ptr<Pattern> compiled)
      : source(std::move(sourceText)),
        subject(source),
        pattern(std::move(compiled)),
        budget(source.size()) {}
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;

  std::string source;
  Subject subject;
  std::shared_ptr<Pattern> pattern;
  StepBudget budget;
};

// Reads source and pattern; null when either is NULL.
std::unique_ptr<Search> prepare(sqlite3_context* c, sqlite3_value* source, sqlite3_value* pattern,
                                const std::optional<std::string>& matchParameter) {
  auto s = textArg(c, source);
  auto p = textArg(c, pattern);
  if (!s || !p) return nullptr;
  const Options options = regexp::parseOptions(matchParameter);
  return std::make_unique<Search>(std::move(*s), patternFor(c, *p, options));
}

// Calls visit with the byte range of each match at or after byte offset from,
// left to right without overlaps, until visit returns false. After an empty
// match the next search starts one character further.
template <typename Visit>
void forEachMatch(Search& s, std::size_t from, Visit&& visit) {
  const std::string_view text = s.subject.text();
  Range whole;
  while (from <= text.size() && s.pattern->search(text, from, s.budget) &&
         s.pattern->group(0, whole)) {
    if (!visit(whole)) return;
    if (whole.second > whole.first) {
      from = whole.second;
    } else {
      if (whole.second >= text.size()) return;
      from = s.subject.nextChar(whole.second);
    }
  }
}

// Finds the occurrence-th match at or after byte offset from; its groups are
// then read from the pattern.
bool findOccurrence(Search& s, std::size_t from, long long occurrence) {
  long long seen = 0;
  bool found = false;
  forEachMatch(s, from, [&](const Range&) {
    if (++seen < occurrence) return true;
    found = true;
    return false;
  });
  return found;
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

// Byte offset of the 1-based character position, npos past the last character.
std::size_t startOf(const Search& s, long long position) {
  return s.subject.byteOfChar(static_cast<std::size_t>(position - 1));
}

void regexpLike(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto search = prepare(c, argv[0], argv[1], optionalText(c, argc, argv, 2));
  if (!search) return sqlite3_result_null(c);
  sqlite3_result_int(c, findOccurrence(*search, 0, 1) ? 1 : 0);
}

void regexpCount(sqlite3_context* c, int argc, sqlite3_value** argv) {
  bool nullArg = false;
  auto position = positiveArg(c, argc, argv, 2, nullArg);
  if (nullArg) return sqlite3_result_null(c);
  auto search = prepare(c, argv[0], argv[1], optionalText(c, argc, argv, 3));
  if (!search) return sqlite3_result_null(c);
  long long count = 0;
  const std::size_t start = startOf(*search, *position);
  if (start != std::string_view::npos)
    forEachMatch(*search, start, [&](const Range&) { return ++count, true; });
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

// The range of group of the occurrence-th match from position, if any.
std::optional<Range> findGroup(Search& s, long long position, long long occurrence, int group) {
  const std::size_t start = startOf(s, position);
  Range range;
  if (start == std::string_view::npos || !findOccurrence(s, start, occurrence) ||
      !s.pattern->group(group, range))
    return std::nullopt;
  return range;
}

void regexpSubstr(sqlite3_context* c, int argc, sqlite3_value** argv) {
  bool nullPosition = false, nullOccurrence = false, nullGroup = false;
  auto position = positiveArg(c, argc, argv, 2, nullPosition);
  auto occurrence = positiveArg(c, argc, argv, 3, nullOccurrence);
  auto group = subexpressionArg(c, argc, argv, 5, nullGroup);
  if (nullPosition || nullOccurrence || nullGroup) return sqlite3_result_null(c);
  auto search = prepare(c, argv[0], argv[1], optionalText(c, argc, argv, 4));
  if (!search) return sqlite3_result_null(c);
  const auto range = findGroup(*search, *position, *occurrence, *group);
  if (!range) return sqlite3_result_null(c);
  setText(c, search->subject.original(range->first, range->second));
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
  auto search = prepare(c, argv[0], argv[1], optionalText(c, argc, argv, 5));
  if (!search) return sqlite3_result_null(c);
  const auto range = findGroup(*search, *position, *occurrence, *group);
  if (!range) return sqlite3_result_int64(c, 0);
  const std::size_t at = returnOption == 0 ? range->first : range->second;
  sqlite3_result_int64(c, static_cast<long long>(search->subject.charsBefore(at)) + 1);
}

// Oracle's VARCHAR2 limit on a function result.
constexpr std::size_t kMaxResultBytes = 4000;

void checkResultLength(const std::string& result) {
  if (result.size() > kMaxResultBytes)
    throw OraError(1489);
}

// Appends the replacement for the current match: \1 to \9 name groups (empty
// when the group took no part), \\ is a backslash.
void appendReplacement(std::string& out, const std::string& replacement, const Search& s) {
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char ch = replacement[i];
    if (ch == '\\' && i + 1 < replacement.size()) {
      const char next = replacement[i + 1];
      if (next >= '1' && next <= '9') {
        Range range;
        if (s.pattern->group(next - '0', range))
          out += s.subject.original(range.first, range.second);
        ++i;
        continue;
      }
      if (next == '\\') {
        out += '\\';
        ++i;
        continue;
      }
    }
    out += ch;
  }
}

void regexpReplace(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto source = textArg(c, argv[0]);
  if (!source) return sqlite3_result_null(c);
  auto pattern = textArg(c, argv[1]);
  if (!pattern) return setText(c, *source);
  const std::string replacement = optionalText(c, argc, argv, 2).value_or("");
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
  const Options options = regexp::parseOptions(optionalText(c, argc, argv, 5));
  Search search(std::move(*source), patternFor(c, *pattern, options));
  const std::size_t start = startOf(search, *position);
  if (start == std::string_view::npos) return setText(c, search.source);
  std::string out(search.subject.original(0, start));
  std::size_t copiedTo = start;
  long long n = 0;
  forEachMatch(search, start, [&](const Range& match) {
    if (occurrence != 0 && ++n < occurrence) return true;
    out += search.subject.original(copiedTo, match.first);
    appendReplacement(out, replacement, search);
    copiedTo = match.second;
    checkResultLength(out);
    return occurrence == 0;
  });
  out += search.subject.original(copiedTo, search.subject.text().size());
  checkResultLength(out);
  setText(c, out);
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
