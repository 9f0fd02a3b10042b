#pragma once
// A compiled Oracle regular expression on PCRE2, and the bounded search over a
// Subject. PCRE2 keeps its backtracking on the heap, so no pattern or subject
// can exhaust the stack; its match, depth and heap limits, plus a step budget
// over the whole of one function call, turn runaway backtracking into
// ORA-00040 instead of minutes of work.
//
// Matching is Perl's leftmost-first: of alternatives that match at the same
// place the first one written wins ('a|ab' on "abc" finds "a"), where POSIX
// would take the longest. Quantifiers are greedy either way, which is what
// nearly every pattern depends on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "engine/regexp_translate.h"

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;
struct pcre2_real_match_context_8;

namespace korvo::engine::regexp {

// Oracle refuses a pattern longer than this many bytes (ORA-12733).
constexpr std::size_t kMaxPatternBytes = 512;

// Matching steps one function call may spend, all its searches together.
class StepBudget {
 public:
  // A base amount plus a share for each byte of the subject.
  explicit StepBudget(std::size_t subjectBytes);
  // False once the budget is spent.
  bool spend() { return remaining_ > 0 && --remaining_ > 0; }

 private:
  std::uint64_t remaining_;
};

class Pattern {
 public:
  // Throws OraError for a pattern Oracle refuses (ORA-12725 to ORA-12733).
  Pattern(std::string_view oraclePattern, const Options& options);
  ~Pattern();
  Pattern(const Pattern&) = delete;
  Pattern& operator=(const Pattern&) = delete;

  bool sameAs(std::string_view oraclePattern, const Options& options) const {
    return oraclePattern == source_ && options == options_;
  }
  // Capturing groups in the pattern.
  int groupCount() const { return groups_; }

  // Looks for the first match starting at or after byte offset from of text
  // (valid UTF-8, a character boundary). Group ranges of a match are read with
  // group(). Throws ORA-00040 when a limit or the budget is reached.
  bool search(std::string_view text, std::size_t from, StepBudget& budget);
  // Byte range of group g (0: the whole match) of the last match; false when
  // the group took no part in it.
  bool group(int g, std::pair<std::size_t, std::size_t>& range) const;

 private:
  void release();

  std::string source_;
  Options options_;
  int groups_ = 0;
  pcre2_real_code_8* code_ = nullptr;
  pcre2_real_match_data_8* matchData_ = nullptr;
  pcre2_real_match_context_8* matchContext_ = nullptr;
};

}  // namespace korvo::engine::regexp
