#include "engine/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/number_decimal.h"

namespace korvo::engine {

namespace {

// Above this, a decimal number is shown in scientific notation (Oracle's TM).
constexpr std::size_t kMaxPlainLength = 64;
// Integers below 2^53 are exact in a double and shown with all their digits.
constexpr double kExactIntegerLimit = 9007199254740992.0;

std::string scientific(const Decimal& d, char decimalSeparator) {
  std::string out = d.negative ? "-" : "";
  out += d.digitAt(0);
  out += decimalSeparator;
  out += d.digits.size() > 1 ? d.digits.substr(1) : "0";
  const int exponent = d.exponent - 1;
  char buf[16];
  std::snprintf(buf, sizeof buf, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return out + buf;
}

}  // namespace

Value Value::ofNumber(double v) {
  Value out;
  out.kind = Kind::Number;
  out.number = v == 0 ? 0.0 : v;  // no negative zero
  out.text = canonicalNumber(out.number);
  return out;
}

Value Value::ofText(std::string s) {
  if (s.empty()) return null();
  Value out;
  out.kind = Kind::Text;
  out.text = std::move(s);
  return out;
}

Value Value::ofDate(std::string canonical) {
  if (canonical.empty()) return null();
  Value out;
  out.kind = Kind::Date;
  out.text = std::move(canonical);
  return out;
}

std::string canonicalNumber(double v, char decimalSeparator) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-~" : "~";
  if (v == 0) return "0";
  if (std::fabs(v) < kExactIntegerLimit && v == std::trunc(v))
    return std::to_string(static_cast<long long>(v));
  long long scaled = 0;
  int places = 0;
  if (shortDecimal(v, scaled, places)) {  // the common case, without building a Decimal
    std::string digits = std::to_string(scaled);
    std::string out = v < 0 ? "-" : "";
    const size_t p = size_t(places);
    if (digits.size() <= p) {
      out += decimalSeparator;
      out.append(p - digits.size(), '0');
      return out + digits;
    }
    digits.insert(digits.size() - p, 1, decimalSeparator);
    return out + digits;
  }
  const Decimal d = toDecimal(v);
  std::string out = d.negative ? "-" : "";
  if (d.exponent > 0) {
    out += integerDigits(d);
    if (static_cast<int>(d.digits.size()) > d.exponent) {
      out += decimalSeparator;
      out += d.digits.substr(static_cast<std::size_t>(d.exponent));
    }
  } else {
    out += decimalSeparator;
    out.append(static_cast<std::size_t>(-d.exponent), '0');
    out += d.digits;
  }
  if (out.size() > kMaxPlainLength) return scientific(d, decimalSeparator);
  return out;
}

}  // namespace korvo::engine
