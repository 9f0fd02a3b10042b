#include "engine/number_words.h"

#include <string_view>

namespace korvo::engine {
namespace {

constexpr std::string_view kOnes[] = {"ZERO",    "ONE",     "TWO",       "THREE",    "FOUR",
                                      "FIVE",    "SIX",     "SEVEN",     "EIGHT",    "NINE",
                                      "TEN",     "ELEVEN",  "TWELVE",    "THIRTEEN", "FOURTEEN",
                                      "FIFTEEN", "SIXTEEN", "SEVENTEEN", "EIGHTEEN", "NINETEEN"};
constexpr std::string_view kTens[] = {"",      "",      "TWENTY",  "THIRTY", "FORTY",
                                      "FIFTY", "SIXTY", "SEVENTY", "EIGHTY", "NINETY"};

// 1..999
std::string belowThousand(int n) {
  std::string s;
  if (n >= 100) {
    s = std::string(kOnes[n / 100]) + " HUNDRED";
    n %= 100;
    if (n) s += ' ';
  }
  if (n >= 20) {
    s += kTens[n / 10];
    if (n % 10) s += "-" + std::string(kOnes[n % 10]);
  } else if (n > 0) {
    s += kOnes[n];
  }
  return s;
}

// The last word made ordinal: ONE -> FIRST, TWENTY -> TWENTIETH, HUNDRED -> HUNDREDTH.
std::string ordinalOf(std::string s) {
  size_t start = s.find_last_of(" -");
  start = start == std::string::npos ? 0 : start + 1;
  std::string word = s.substr(start);
  static const std::pair<std::string_view, std::string_view> irregular[] = {
      {"ONE", "FIRST"}, {"TWO", "SECOND"}, {"THREE", "THIRD"}, {"FIVE", "FIFTH"},
      {"EIGHT", "EIGHTH"}, {"NINE", "NINTH"}, {"TWELVE", "TWELFTH"}};
  for (const auto& [plain, ord] : irregular)
    if (word == plain) return s.substr(0, start) + std::string(ord);
  if (word.back() == 'Y') return s.substr(0, start) + word.substr(0, word.size() - 1) + "IETH";
  return s + "TH";
}

}  // namespace

std::string numberInWords(long long v, bool ordinal) {
  std::string s;
  if (v < 0) {
    s = "MINUS ";
    v = -v;
  }
  if (v == 0) {
    s += "ZERO";
  } else {
    static const std::pair<long long, std::string_view> groups[] = {
        {1000000000LL, " BILLION"}, {1000000LL, " MILLION"}, {1000LL, " THOUSAND"}, {1, ""}};
    std::string words;
    for (const auto& [size, name] : groups) {
      long long g = v / size;
      v %= size;
      if (size == 1000000000LL && g > 999) g %= 1000;  // beyond any date's numbers
      if (!g) continue;
      if (!words.empty()) words += ' ';
      words += belowThousand(int(g)) + std::string(name);
    }
    s += words;
  }
  return ordinal ? ordinalOf(s) : s;
}

}  // namespace korvo::engine
