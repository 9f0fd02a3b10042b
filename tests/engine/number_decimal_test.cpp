// The decimal reading of doubles: the shortcut for short decimals must give the
// digits that printing 15 significant digits gives.
#include "engine/number_decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/value.h"

namespace korvo::engine {
namespace {

// 15 significant digits through printf, trailing zeros dropped.
Decimal printed(double v) {
  Decimal d;
  if (v == 0) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
  d.negative = v < 0;
  const char* p = buf;
  for (; *p != 'e'; ++p)
    if (*p != '.') d.digits += *p;
  d.exponent = std::atoi(p + 1) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

TEST(NumberDecimal, ShortDecimalsReadAsPrinted) {
  const double values[] = {0.25,
                           1234.5,
                           -0.000001,
                           0.1,
                           0.1 + 0.2,
                           999999999.5,
                           1e-7,
                           2500,
                           -7456123.89,
                           0.3333333333333333,
                           1.0 / 3,
                           123456789.123456,
                           0.000123,
                           1e9 + 0.5,
                           2916.6666666666665};
  for (double v : values) {
    const Decimal got = toDecimal(v), want = printed(v);
    EXPECT_EQ(got.digits, want.digits) << v;
    EXPECT_EQ(got.exponent, want.exponent) << v;
    EXPECT_EQ(got.negative, want.negative) << v;
  }
  // amounts of every cent and quarter up to 100,000
  for (int i = -400000; i <= 400000; i += 7) {
    for (double v : {i / 4.0, i / 100.0, i / 1000.0 + 0.5}) {
      const Decimal got = toDecimal(v), want = printed(v);
      ASSERT_EQ(got.digits, want.digits) << v;
      ASSERT_EQ(got.exponent, want.exponent) << v;
    }
  }
}

// The canonical text as the Decimal of 15 printed digits spells it.
std::string spelled(double v) {
  const Decimal d = printed(v);
  std::string s = d.negative ? "-" : "";
  if (d.exponent > 0) {
    std::string digits = d.digits;
    if (digits.size() < size_t(d.exponent)) digits.append(size_t(d.exponent) - digits.size(), '0');
    s += digits.substr(0, size_t(d.exponent));
    if (digits.size() > size_t(d.exponent)) s += "." + digits.substr(size_t(d.exponent));
    return s;
  }
  return s + "." + std::string(size_t(-d.exponent), '0') + d.digits;
}

TEST(NumberDecimal, CanonicalTextOfEveryCent) {
  for (int i = -200000; i <= 200000; i += 3) {
    for (double v : {i / 100.0, i / 1000.0, i / 7.0}) {
      if (v == std::trunc(v)) continue;
      ASSERT_EQ(canonicalNumber(v), spelled(v)) << i;
    }
  }
}

TEST(NumberDecimal, CanonicalTextOfShortDecimals) {
  EXPECT_EQ(canonicalNumber(0.25), ".25");
  EXPECT_EQ(canonicalNumber(0.28), ".28");  // 0.28 * 100 is no whole number, * 1000 is
  EXPECT_EQ(canonicalNumber(-0.000001), "-.000001");
  EXPECT_EQ(canonicalNumber(-1234.5), "-1234.5");
  EXPECT_EQ(canonicalNumber(0.1 + 0.2), ".3");
  EXPECT_EQ(canonicalNumber(-42), "-42");
  EXPECT_EQ(canonicalNumber(9007199254740991.0), "9007199254740991");
}

}  // namespace
}  // namespace korvo::engine
