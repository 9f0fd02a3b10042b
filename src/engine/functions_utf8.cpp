#include "engine/functions_utf8.h"

namespace korvo::engine::utf8 {

namespace {

// An invalid byte b is carried as the (otherwise unused) code 0xDC00 + b.
constexpr char32_t kRawByteBase = 0xDC00;

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

std::size_t sequenceAt(std::string_view text, std::size_t i, char32_t* decoded) {
  const auto b = static_cast<unsigned char>(text[i]);
  std::size_t extra = 0;
  char32_t ch = 0;
  if (b < 0x80) {
    ch = b;
  } else if ((b & 0xE0) == 0xC0 && b >= 0xC2) {
    extra = 1;
    ch = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2;
    ch = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0 && b <= 0xF4) {
    extra = 3;
    ch = b & 0x07;
  } else {
    return 0;
  }
  if (i + extra >= text.size()) return 0;
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto n = static_cast<unsigned char>(text[i + k]);
    if (!isContinuation(n)) return 0;
    ch = (ch << 6) | (n & 0x3F);
  }
  if (extra == 2 && (ch < 0x800 || (ch >= 0xD800 && ch <= 0xDFFF))) return 0;
  if (extra == 3 && (ch < 0x10000 || ch > 0x10FFFF)) return 0;
  if (decoded) *decoded = ch;
  return extra + 1;
}

std::u32string decode(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t ch = 0;
    const std::size_t length = sequenceAt(text, i, &ch);
    if (length == 0) {
      out += kRawByteBase + static_cast<unsigned char>(text[i]);
      ++i;
      continue;
    }
    out += ch;
    i += length;
  }
  return out;
}

void append(std::string& out, char32_t ch) {
  if (ch >= kRawByteBase + 0x80 && ch <= kRawByteBase + 0xFF) {
    out += static_cast<char>(ch - kRawByteBase);
  } else if (ch < 0x80) {
    out += static_cast<char>(ch);
  } else if (ch < 0x800) {
    out += static_cast<char>(0xC0 | (ch >> 6));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    out += static_cast<char>(0xE0 | (ch >> 12));
    out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (ch >> 18));
    out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  }
}

std::string encode(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t ch : chars) append(out, ch);
  return out;
}

// Case pairs of Latin-1, Latin Extended-A, Greek and Cyrillic.
char32_t toUpper(char32_t ch) {
  if (ch >= 'a' && ch <= 'z') return ch - 32;
  if (ch < 0xB5) return ch;
  if (ch == 0xB5) return 0x39C;  // micro sign
  if ((ch >= 0xE0 && ch <= 0xFE && ch != 0xF7)) return ch - 32;
  if (ch == 0xFF) return 0x178;
  if (ch >= 0x100 && ch <= 0x17F) {
    if (ch == 0x131) return 'I';
    if (ch == 0x17F) return 'S';
    const bool oddLowers = (ch >= 0x139 && ch <= 0x148) || (ch >= 0x179 && ch <= 0x17E);
    if (ch == 0x130 || ch == 0x138 || ch == 0x149 || ch == 0x178) return ch;
    if (oddLowers) return (ch % 2 == 0) ? ch - 1 : ch;
    return (ch % 2 == 1) ? ch - 1 : ch;
  }
  if (ch >= 0x3B1 && ch <= 0x3C9 && ch != 0x3C2) return ch - 32;
  if (ch == 0x3C2) return 0x3A3;
  if (ch == 0x3AC) return 0x386;
  if (ch >= 0x3AD && ch <= 0x3AF) return ch - 37;
  if (ch == 0x3CC) return 0x38C;
  if (ch == 0x3CD || ch == 0x3CE) return ch - 63;
  if (ch >= 0x430 && ch <= 0x44F) return ch - 32;
  if (ch >= 0x450 && ch <= 0x45F) return ch - 80;
  return ch;
}

char32_t toLower(char32_t ch) {
  if (ch >= 'A' && ch <= 'Z') return ch + 32;
  if (ch < 0xC0) return ch;
  if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) return ch + 32;
  if (ch == 0x178) return 0xFF;
  if (ch >= 0x100 && ch <= 0x17F) {
    if (ch == 0x130) return 'i';
    const bool oddLowers = (ch >= 0x139 && ch <= 0x148) || (ch >= 0x179 && ch <= 0x17E);
    if (ch == 0x131 || ch == 0x138 || ch == 0x149 || ch == 0x17F) return ch;
    if (oddLowers) return (ch % 2 == 1) ? ch + 1 : ch;
    return (ch % 2 == 0) ? ch + 1 : ch;
  }
  if (ch >= 0x391 && ch <= 0x3A9 && ch != 0x3A2) return ch + 32;
  if (ch == 0x386) return 0x3AC;
  if (ch >= 0x388 && ch <= 0x38A) return ch + 37;
  if (ch == 0x38C) return 0x3CC;
  if (ch == 0x38E || ch == 0x38F) return ch + 63;
  if (ch >= 0x410 && ch <= 0x42F) return ch + 32;
  if (ch >= 0x400 && ch <= 0x40F) return ch + 80;
  return ch;
}

bool isAlphanumeric(char32_t ch) {
  if (ch < 0x80) return (ch >= '0' && ch <= '9') || ((ch | 0x20) >= 'a' && (ch | 0x20) <= 'z');
  if (ch >= kRawByteBase && ch <= kRawByteBase + 0xFF) return false;
  if (ch < 0xC0) return ch == 0xAA || ch == 0xB5 || ch == 0xBA;
  if (ch == 0xD7 || ch == 0xF7) return false;
  // General punctuation, symbols and spaces beyond Latin-1.
  if ((ch >= 0x2000 && ch <= 0x2BFF) || (ch >= 0x3000 && ch <= 0x303F)) return false;
  return true;
}

}  // namespace korvo::engine::utf8
