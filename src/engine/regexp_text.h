#pragma once
// The text a regular expression runs over. PCRE2 needs valid UTF-8, while the
// engine's strings may carry stray bytes that the string functions count as one
// character each; such a byte b is matched as the private-use character
// U+10FF00 + b, so it keeps counting as one character and a pattern holding the
// same byte finds it. Results are cut from the original bytes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvo::engine::regexp {

// text with every invalid byte replaced by its stand-in character.
std::string withStandIns(std::string_view text);

class Subject {
 public:
  explicit Subject(std::string_view original);

  // What the pattern runs over: valid UTF-8.
  std::string_view text() const { return standIns_.empty() ? original_ : std::string_view(text_); }
  // The original bytes of text()[begin, end); both must be character boundaries.
  std::string_view original(std::size_t begin, std::size_t end) const;
  // Byte offset in text() of the character with 0-based index, npos when the
  // text has no such character.
  std::size_t byteOfChar(std::size_t index) const;
  // How many characters precede byte offset in text().
  std::size_t charsBefore(std::size_t offset) const;
  // The offset just after the character starting at offset.
  std::size_t nextChar(std::size_t offset) const;

 private:
  std::size_t originalOffset(std::size_t offset) const;

  std::string_view original_;
  std::string text_;                   // only filled when a stand-in was needed
  std::vector<std::size_t> standIns_;  // offsets in text_ where a stand-in starts
};

}  // namespace korvo::engine::regexp
