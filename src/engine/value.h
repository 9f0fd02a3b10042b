#pragma once
// A value as the engine hands it to its callers: Oracle's NULL, NUMBER, character
// types and DATE. The engine never hands out '' (it is NULL in Oracle).
#include <cstdint>
#include <string>

namespace korvo::engine {

struct Value {
  enum class Kind { Null, Number, Text, Date };

  Kind kind = Kind::Null;
  // Number: the value; integral values are exact up to 2^53.
  double number = 0;
  // Text: the characters (UTF-8). Date: the canonical form "YYYY-MM-DD HH24:MI:SS".
  // Number: the canonical decimal text, as Oracle shows it without a format
  // ("7", "3.5", "-.25", no trailing zeros, at most 15 significant digits... or 38 for integers).
  std::string text;

  bool isNull() const { return kind == Kind::Null; }
  static Value null() { return {}; }
  static Value ofNumber(double v);
  static Value ofText(std::string s);  // '' becomes NULL
  static Value ofDate(std::string canonical);
};

// Oracle's text for a number without a format model: integers as integers,
// others to 15 significant digits with trailing zeros trimmed and no leading "0"
// before the decimal point (0.5 -> ".5").
std::string canonicalNumber(double v, char decimalSeparator = '.');

}  // namespace korvo::engine
