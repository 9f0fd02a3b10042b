#include "engine/regexp_text.h"

#include <algorithm>

#include "engine/functions_utf8.h"

namespace korvo::engine::regexp {

namespace {

constexpr char32_t kStandInBase = 0x10FF00;  // + a byte of 0x80..0xFF: U+10FF80..U+10FFFF
constexpr std::size_t kStandInBytes = 4;

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The same rules as utf8::decode, so both count the same characters.
std::size_t validLength(std::string_view text, std::size_t i) { return utf8::sequenceAt(text, i); }

// Copies text with stand-ins; positions (offsets in the copy) are recorded when given.
std::string replaceInvalid(std::string_view text, std::vector<std::size_t>* positions) {
  std::string out;
  out.reserve(text.size() + 16);
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t n = validLength(text, i);
    if (n > 0) {
      out.append(text, i, n);
      i += n;
      continue;
    }
    if (positions) positions->push_back(out.size());
    utf8::append(out, kStandInBase + static_cast<unsigned char>(text[i]));
    ++i;
  }
  return out;
}

bool isValid(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = validLength(text, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace

std::string withStandIns(std::string_view text) {
  if (isValid(text)) return std::string(text);
  return replaceInvalid(text, nullptr);
}

Subject::Subject(std::string_view original) : original_(original) {
  if (!isValid(original)) text_ = replaceInvalid(original, &standIns_);
}

std::size_t Subject::originalOffset(std::size_t offset) const {
  const auto before = static_cast<std::size_t>(
      std::lower_bound(standIns_.begin(), standIns_.end(), offset) - standIns_.begin());
  return offset - before * (kStandInBytes - 1);
}

std::string_view Subject::original(std::size_t begin, std::size_t end) const {
  const std::size_t from = originalOffset(begin);
  return original_.substr(from, originalOffset(end) - from);
}

std::size_t Subject::byteOfChar(std::size_t index) const {
  const std::string_view t = text();
  std::size_t seen = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (isContinuation(static_cast<unsigned char>(t[i]))) continue;
    if (seen++ == index) return i;
  }
  return std::string_view::npos;
}

std::size_t Subject::charsBefore(std::size_t offset) const {
  const std::string_view t = text().substr(0, offset);
  return static_cast<std::size_t>(std::count_if(
      t.begin(), t.end(), [](char b) { return !isContinuation(static_cast<unsigned char>(b)); }));
}

std::size_t Subject::nextChar(std::size_t offset) const {
  const std::string_view t = text();
  if (offset >= t.size()) return t.size();
  std::size_t next = offset + 1;
  while (next < t.size() && isContinuation(static_cast<unsigned char>(t[next]))) ++next;
  return next;
}

}  // namespace korvo::engine::regexp
