// Arbitrary formats and inputs either convert or raise an Oracle error; nothing
// else escapes (no out-of-range access, no other exception).
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <random>
#include <string>

#include "engine/datetime.h"
#include "engine/number_format.h"
#include "engine/ora_error.h"

namespace korvo::engine {
namespace {

std::string randomText(std::mt19937& rng, const std::string& alphabet, int maxLength) {
  std::uniform_int_distribution<int> length(0, maxLength);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string out;
  for (int i = length(rng); i > 0; --i) out += alphabet[pick(rng)];
  return out;
}

// Pieces of real format models, glued at random, so that most formats parse.
std::string randomDateFormat(std::mt19937& rng) {
  static const char* pieces[] = {"DD", "MM",    "YYYY",  "RR", "YY", "MON", "Month", "HH24",
                                 "HH", "MI",    "SS",    "AM", "FM", "FX",  "DY",    "DAY",
                                 "J",  "DDD",   "Q",     "-",  "/",  " ",   ":",     "\"x\"",
                                 ",",  "SSSSS", "Y,YYY", "TH", "X"};
  std::uniform_int_distribution<int> count(0, 7);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::string out;
  for (int i = count(rng); i > 0; --i) out += pieces[pick(rng)];
  return out;
}

TEST(DateRobustness, ArbitraryFormatsAndInputs) {
  std::mt19937 rng(20261208);
  const DateTime now{2026, 12, 8, 10, 30, 0};
  const DateTime sample{2024, 2, 29, 23, 59, 59};
  for (int i = 0; i < 20000; ++i) {
    const std::string format = randomDateFormat(rng);
    const std::string text = randomText(rng, "0123456789-/: ,.APMJANFEBDECmonday\"", 14);
    try {
      const DateTime d = parseDate(text, format, now);
      EXPECT_TRUE(parseCanonicalDate(canonicalDate(d)).has_value()) << text << " / " << format;
    } catch (const OraError&) {
    }
    try {
      formatDate(sample, format);
    } catch (const OraError&) {
    }
  }
}

TEST(NumberRobustness, ArbitraryModelsAndInputs) {
  std::mt19937 rng(1481);
  std::uniform_real_distribution<double> magnitude(-30, 30);
  for (int i = 0; i < 20000; ++i) {
    const std::string format = randomText(rng, "90.,DGSMIPRFMB$VEX", 10);
    const std::string text = randomText(rng, "0123456789.,-+<>$eE ", 10);
    const double v = (i % 2 ? 1 : -1) * std::pow(10.0, magnitude(rng));
    try {
      const std::string out = formatNumber(v, format);
      EXPECT_FALSE(out.empty() && format.find('B') == std::string::npos) << v << " " << format;
    } catch (const OraError& e) {
      EXPECT_EQ(e.code(), 1481) << format;
    }
    try {
      parseNumberWithFormat(text, format);
    } catch (const OraError& e) {
      EXPECT_TRUE(e.code() == 1722 || e.code() == 1481) << text << " / " << format;
    }
    try {
      parseNumber(text);
    } catch (const OraError& e) {
      EXPECT_TRUE(e.code() == 1722 || e.code() == 1426) << text;
    }
  }
}

}  // namespace
}  // namespace korvo::engine
