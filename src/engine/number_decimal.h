#pragma once
// A double read as a decimal of at most 15 significant digits: the common ground
// of rounding, number formats and the canonical text of a number.
#include <string>

namespace korvo::engine {

struct Decimal {
  bool negative = false;
  std::string digits;  // significant digits without leading or trailing zeros; empty for 0
  int exponent = 0;    // value = 0.d1d2d3... x 10^exponent

  bool isZero() const { return digits.empty(); }
  // The digit at position k counted from the first significant digit ('0' beyond).
  char digitAt(int k) const {
    return k >= 0 && k < static_cast<int>(digits.size()) ? digits[k] : '0';
  }
};

Decimal toDecimal(double v, int significantDigits = 15);
// |v| as digits * 10^-places, the fewest places, when v is the double nearest to a
// decimal of at most 15 digits, 6 of them after the point, below 10^9: that
// decimal is what 15 significant digits print. False for any other value.
bool shortDecimal(double v, long long& digits, int& places);
double fromDecimal(const Decimal& d);
// Rounds half away from zero (or truncates) to places digits after the point.
void roundDecimal(Decimal& d, int places);
void truncDecimal(Decimal& d, int places);
// Rounds to count significant digits.
void roundSignificant(Decimal& d, int count);
// Digits left of the point ("" for none) and the first count digits right of it.
std::string integerDigits(const Decimal& d);
std::string fractionDigits(const Decimal& d, int count);

}  // namespace korvo::engine
