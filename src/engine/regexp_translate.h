#pragma once
// Oracle's regular expression syntax (POSIX ERE with Perl's \d \w \s, lazy
// quantifiers and \A \Z \z) spelled the way PCRE2 reads it.
#include <optional>
#include <string>
#include <string_view>

namespace korvo::engine::regexp {

// The match_parameter letters.
struct Options {
  bool ignoreCase = false;         // i (c turns it off again)
  bool dotMatchesNewline = false;  // n
  bool multiline = false;          // m
  bool ignoreWhitespace = false;   // x

  bool operator==(const Options&) const = default;
};

// Reads i c n m x; of i and c the last one counts. Another letter: ORA-01760.
Options parseOptions(const std::optional<std::string>& matchParameter);

// The PCRE2 pattern for an Oracle pattern held as valid UTF-8. What POSIX
// reads literally stays literal: a quantifier with nothing before it, which
// also keeps PCRE2's own "(?" and "(*" constructs out. Under 'x' blanks outside
// brackets are dropped. [[=e=]] becomes the letter and its accented forms,
// [[.c.]] the single character c. Throws OraError for what Oracle refuses.
std::string toPcrePattern(std::string_view pattern, const Options& options);

}  // namespace korvo::engine::regexp
