#include "engine/regexp_pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>
#include <new>

#include "engine/ora_error.h"
#include "engine/regexp_text.h"

namespace korvo::engine::regexp {

namespace {

// PCRE2's own per-start limit on backtracking points (its default), and the
// nesting and memory its backtracking frames may reach: '(a|b)*' over a
// 100 KB subject needs about 100,000 frames of under 200 bytes.
constexpr std::uint32_t kMatchLimit = 10'000'000;
constexpr std::uint32_t kDepthLimit = 1'000'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
// The step budget counts automatic callouts (one per pattern item reached),
// across every start position and every search of one call: PCRE2's match
// limit restarts at each start position, so alone it lets a subject of n
// characters cost n times the limit.
constexpr std::uint64_t kBaseSteps = 10'000'000;
constexpr std::uint64_t kStepsPerByte = 100;

const OraError& limitError() {
  static const OraError error(40, "active time limit exceeded - call aborted");
  return error;
}

int countStep(pcre2_callout_block*, void* data) {
  return static_cast<StepBudget*>(data)->spend() ? 0 : PCRE2_ERROR_CALLOUT;
}

[[noreturn]] void throwCompileError(int code) {
  switch (code) {
    case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS:
    case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS:
      throw OraError(12725);
    case PCRE2_ERROR_MISSING_SQUARE_BRACKET:
      throw OraError(12726);
    case PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE:
    case PCRE2_ERROR_ZERO_RELATIVE_REFERENCE:
    case PCRE2_ERROR_BAD_RELATIVE_REFERENCE:
      throw OraError(12727);
    case PCRE2_ERROR_CLASS_RANGE_ORDER:
    case PCRE2_ERROR_CLASS_INVALID_RANGE:
      throw OraError(12728);
    case PCRE2_ERROR_UNKNOWN_POSIX_CLASS:
    case PCRE2_ERROR_POSIX_CLASS_NOT_IN_CLASS:
      throw OraError(12729);
    case PCRE2_ERROR_POSIX_NO_SUPPORT_COLLATING:
      throw OraError(12730);
    case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
    case PCRE2_ERROR_QUANTIFIER_TOO_BIG:
      throw OraError(12732);
    case PCRE2_ERROR_PARENTHESES_NEST_TOO_DEEP:
    case PCRE2_ERROR_PATTERN_TOO_LARGE:
    case PCRE2_ERROR_PATTERN_TOO_COMPLICATED:
    case PCRE2_ERROR_PATTERN_STRING_TOO_LONG:
    case PCRE2_ERROR_PARENTHESES_STACK_CHECK:
      throw OraError(12733);
    case PCRE2_ERROR_HEAP_FAILED:
      throw std::bad_alloc();
    default:
      throw OraError(12722);
  }
}

std::uint32_t compileOptions(const Options& o) {
  std::uint32_t flags = PCRE2_UTF | PCRE2_UCP | PCRE2_AUTO_CALLOUT | PCRE2_NEVER_BACKSLASH_C;
  if (o.ignoreCase) flags |= PCRE2_CASELESS;
  if (o.dotMatchesNewline) flags |= PCRE2_DOTALL;
  // '$' is the very end of the text, as in POSIX, unless lines count.
  flags |= o.multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
  return flags;
}

struct CompileContextDeleter {
  void operator()(pcre2_compile_context* c) const { pcre2_compile_context_free(c); }
};

}  // namespace

StepBudget::StepBudget(std::size_t subjectBytes)
    : remaining_(kBaseSteps + kStepsPerByte * static_cast<std::uint64_t>(subjectBytes)) {}

Pattern::Pattern(std::string_view oraclePattern, const Options& options)
    : source_(oraclePattern), options_(options) {
  if (oraclePattern.size() > kMaxPatternBytes) throw OraError(12733);
  const std::string pcre = toPcrePattern(withStandIns(oraclePattern), options);

  std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(
      pcre2_compile_context_create(nullptr));
  if (!context) throw std::bad_alloc();
  // '.' stops at a line feed only, and ^ $ under 'm' see lines ending there.
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
  // "\q" is the letter q, as Oracle reads a backslash before an ordinary character.
  pcre2_set_compile_extra_options(context.get(), PCRE2_EXTRA_BAD_ESCAPE_IS_LITERAL);

  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pcre.data()), pcre.size(),
                        compileOptions(options), &error, &errorOffset, context.get());
  if (!code_) throwCompileError(error);

  std::uint32_t captures = 0;
  pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &captures);
  groups_ = static_cast<int>(captures);
  matchData_ = pcre2_match_data_create_from_pattern(code_, nullptr);
  matchContext_ = pcre2_match_context_create(nullptr);
  if (!matchData_ || !matchContext_) {
    release();
    throw std::bad_alloc();
  }
  pcre2_set_match_limit(matchContext_, kMatchLimit);
  pcre2_set_depth_limit(matchContext_, kDepthLimit);
  pcre2_set_heap_limit(matchContext_, kHeapLimitKiB);
}

Pattern::~Pattern() { release(); }

void Pattern::release() {
  pcre2_match_context_free(matchContext_);
  pcre2_match_data_free(matchData_);
  pcre2_code_free(code_);
  matchContext_ = nullptr;
  matchData_ = nullptr;
  code_ = nullptr;
}

bool Pattern::search(std::string_view text, std::size_t from, StepBudget& budget) {
  pcre2_set_callout(matchContext_, countStep, &budget);
  // The text is valid UTF-8 already (Subject sees to it): checking it again on
  // every search would make a scan over many matches quadratic.
  const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), from,
                             PCRE2_NO_UTF_CHECK, matchData_, matchContext_);
  if (rc >= 0) return true;
  switch (rc) {
    case PCRE2_ERROR_NOMATCH:
      return false;
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_CALLOUT:
      throw limitError();
    case PCRE2_ERROR_NOMEMORY:
      throw std::bad_alloc();
    default:
      throw OraError(12722);
  }
}

bool Pattern::group(int g, std::pair<std::size_t, std::size_t>& range) const {
  if (g < 0 || static_cast<std::uint32_t>(g) >= pcre2_get_ovector_count(matchData_)) return false;
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData_);
  const PCRE2_SIZE begin = ovector[2 * g];
  const PCRE2_SIZE end = ovector[2 * g + 1];
  if (begin == PCRE2_UNSET || end < begin) return false;
  range = {begin, end};
  return true;
}

}  // namespace korvo::engine::regexp
