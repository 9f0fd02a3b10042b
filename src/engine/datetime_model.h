#pragma once
// The pieces of a date format model, shared by TO_CHAR (datetime_format.cpp)
// and TO_DATE (datetime_parse.cpp).
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace korvo::engine::datefmt {

enum class El {
  Literal,
  FM,
  FX,
  SYYYY,
  YYYY,
  YCommaYYY,
  YYY,
  YY,
  Y,
  RRRR,
  RR,
  IYYY,
  IYY,
  IY,
  I,
  SCC,
  CC,
  Q,
  MM,
  MON,
  MONTH,
  RM,
  DDD,
  DD,
  D,
  DY,
  DAY,
  HH,
  HH12,
  HH24,
  MI,
  SS,
  SSSSS,
  AM,
  AMDots,
  AD,
  ADDots,
  J,
  WW,
  IW,
  W
};

enum class Casing { Upper, Lower, Capital };

struct Token {
  El el = El::Literal;
  std::string text;  // literal text
  bool quoted = false;
  Casing casing = Casing::Upper;
  bool ordinal = false;  // TH suffix
  bool ordinalLower = false;
  bool spelled = false;  // SP suffix: the number in words (SPTH/THSP: as an ordinal)
};

struct Spelling {
  std::string_view text;
  El el;
};

// Splits a format model into elements and literals; ORA-01821 for anything
// that is neither.
std::vector<Token> tokenize(std::string_view fmt);

// Elements written with digits (they take FM padding and the TH suffix).
bool isNumeric(El el);

// Upper-case text in the case the element was written in (MON, Mon, mon).
std::string applyCasing(std::string_view upper, Casing casing);

inline char upperAscii(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
inline bool isAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isAlnum(char c) { return isAlpha(c) || isDigit(c); }
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

inline bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (upperAscii(s[i]) != upperAscii(prefix[i])) return false;
  return true;
}

}  // namespace korvo::engine::datefmt
