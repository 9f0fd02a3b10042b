#include "engine/number_decimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace korvo::engine {

namespace {

void trimTrailingZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) {
    d.exponent = 0;
    d.negative = false;
  }
}

// Keeps the first keep digits, adding one to the last when roundUp.
void keepDigits(Decimal& d, int keep, bool roundUp) {
  if (keep < 0) {
    d.digits.clear();
    trimTrailingZeros(d);
    return;
  }
  d.digits.resize(static_cast<std::size_t>(keep));
  if (roundUp) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
      d.digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++d.digits[static_cast<std::size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  trimTrailingZeros(d);
}

}  // namespace

bool shortDecimal(double v, long long& digits, int& places) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
  const double a = std::fabs(v);
  if (!(a < 1e9) || a < 1e-6) return false;
  for (int k = 0; k <= 6; ++k) {
    const double scaled = a * kPow10[k];
    const double r = std::nearbyint(scaled);
    if (r != scaled || r >= 1e15) continue;
    if (r / kPow10[k] != a) return false;  // v is not that decimal's nearest double
    digits = static_cast<long long>(r);
    places = k;
    // a product may land on a whole number one place late (0.28 * 1000 = 280)
    while (places > 0 && digits % 10 == 0) {
      digits /= 10;
      --places;
    }
    return true;
  }
  return false;
}

Decimal toDecimal(double v, int significantDigits) {
  Decimal d;
  if (v == 0 || !std::isfinite(v)) return d;
  long long scaled = 0;
  int places = 0;
  if (significantDigits == 15 && shortDecimal(v, scaled, places)) {
    d.negative = v < 0;
    d.digits = std::to_string(scaled);
    d.exponent = static_cast<int>(d.digits.size()) - places;
    trimTrailingZeros(d);
    return d;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significantDigits - 1, std::fabs(v));
  // buf is "d.ddddde+XX" (or "de+XX" for one digit)
  d.negative = v < 0;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') d.digits += *p;
  d.exponent = std::atoi(p + 1) + 1;
  trimTrailingZeros(d);
  return d;
}

double fromDecimal(const Decimal& d) {
  if (d.isZero()) return 0;
  std::string text = d.negative ? "-0." : "0.";
  text += d.digits;
  text += "e" + std::to_string(d.exponent);
  return std::strtod(text.c_str(), nullptr);
}

void roundDecimal(Decimal& d, int places) {
  if (d.isZero()) return;
  const int keep = d.exponent + places;
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    keepDigits(d, -1, false);
    return;
  }
  keepDigits(d, keep, d.digitAt(keep) >= '5');
}

void truncDecimal(Decimal& d, int places) {
  if (d.isZero()) return;
  const int keep = d.exponent + places;
  if (keep >= static_cast<int>(d.digits.size())) return;
  keepDigits(d, keep < 0 ? -1 : keep, false);
}

void roundSignificant(Decimal& d, int count) {
  if (d.isZero() || count >= static_cast<int>(d.digits.size())) return;
  keepDigits(d, count, d.digitAt(count) >= '5');
}

std::string integerDigits(const Decimal& d) {
  std::string out;
  for (int k = 0; k < d.exponent; ++k) out += d.digitAt(k);
  return out;
}

std::string fractionDigits(const Decimal& d, int count) {
  std::string out;
  for (int k = 0; k < count; ++k) out += d.digitAt(d.exponent + k);
  return out;
}

}  // namespace korvo::engine
