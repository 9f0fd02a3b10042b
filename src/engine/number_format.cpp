#include "engine/number_format.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/number_decimal.h"
#include "engine/ora_error.h"
#include "engine/value.h"

namespace korvo::engine {

namespace {

[[noreturn]] void invalidNumber() { throw OraError(1722); }
[[noreturn]] void invalidModel() { throw OraError(1481); }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

enum class SignStyle { Default, LeadingS, TrailingS, TrailingMI, Brackets };

// A number format model taken apart.
struct NumberModel {
  bool fm = false;
  bool blankZero = false;
  bool dollar = false;
  bool scientific = false;  // EEEE
  char textMinimum = 0;     // 'T' for TM/TM9, 'E' for TME
  bool roman = false;
  bool romanLower = false;
  SignStyle sign = SignStyle::Default;
  std::string integerPart;  // '9', '0', and 'G' or ',' for group separators
  int integerPositions = 0;
  int firstForcedZero = -1;  // index among integer digit positions, -1 for none
  bool hasDecimal = false;
  char decimalElement = 0;   // 'D' or '.'
  std::string fractionPart;  // '9' and '0'
  int shiftDigits = 0;       // digits after V
  int width = 0;             // output width without FM
};

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

NumberModel parseModel(std::string_view fmt) {
  NumberModel m;
  if (startsWithIgnoringCase(fmt, "FM")) {
    m.fm = true;
    fmt.remove_prefix(2);
  }
  if (fmt.empty()) invalidModel();
  {
    std::string upper;
    for (char c : fmt) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "TM" || upper == "TM9") {
      m.textMinimum = 'T';
      return m;
    }
    if (upper == "TME") {
      m.textMinimum = 'E';
      return m;
    }
    if (upper == "RN") {
      m.roman = true;
      m.romanLower = fmt[0] == 'r';
      m.width = 15;
      return m;
    }
  }
  bool afterV = false;
  bool seenDigit = false;
  std::size_t i = 0;
  auto atEnd = [&](std::size_t next) { return next >= fmt.size(); };
  while (i < fmt.size()) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(fmt[i])));
    if (m.scientific && c != 'S' && c != 'M' && c != 'P') invalidModel();
    if (c == '9' || c == '0') {
      seenDigit = true;
      if (m.hasDecimal) {
        m.fractionPart += c;
      } else {
        if (c == '0' && m.firstForcedZero < 0) m.firstForcedZero = m.integerPositions;
        m.integerPart += c;
        ++m.integerPositions;
        if (afterV) ++m.shiftDigits;
      }
      ++i;
    } else if (c == 'D' || c == '.') {
      if (m.hasDecimal || afterV) invalidModel();
      m.hasDecimal = true;
      m.decimalElement = c;
      ++i;
    } else if (c == 'G' || c == ',') {
      if (m.hasDecimal || afterV || !seenDigit) invalidModel();
      m.integerPart += c;
      ++i;
    } else if (c == 'V') {
      if (afterV || m.hasDecimal) invalidModel();
      afterV = true;
      ++i;
    } else if (c == '$') {
      if (m.dollar) invalidModel();
      m.dollar = true;
      ++i;
    } else if (c == 'B') {
      m.blankZero = true;
      ++i;
    } else if (c == 'S') {
      if (m.sign != SignStyle::Default) invalidModel();
      if (i == 0) {
        m.sign = SignStyle::LeadingS;
      } else if (atEnd(i + 1)) {
        m.sign = SignStyle::TrailingS;
      } else {
        invalidModel();
      }
      ++i;
    } else if (startsWithIgnoringCase(fmt.substr(i), "MI") && atEnd(i + 2)) {
      if (m.sign != SignStyle::Default) invalidModel();
      m.sign = SignStyle::TrailingMI;
      i += 2;
    } else if (startsWithIgnoringCase(fmt.substr(i), "PR") && atEnd(i + 2)) {
      if (m.sign != SignStyle::Default) invalidModel();
      m.sign = SignStyle::Brackets;
      i += 2;
    } else if (startsWithIgnoringCase(fmt.substr(i), "EEEE")) {
      if (!seenDigit || m.scientific || afterV) invalidModel();
      m.scientific = true;
      i += 4;
    } else {
      invalidModel();
    }
  }
  if (!seenDigit) invalidModel();
  if (m.scientific && m.integerPositions != 1) invalidModel();
  m.width = static_cast<int>(m.integerPart.size() + m.fractionPart.size()) +
            (m.hasDecimal ? 1 : 0) + (m.dollar ? 1 : 0) + (m.sign == SignStyle::Brackets ? 2 : 1) +
            (m.scientific ? 5 : 0);
  return m;
}

std::string toRoman(long long n, bool lower) {
  static constexpr struct {
    int value;
    const char* text;
  } kParts[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"},
                {90, "XC"},  {50, "L"},   {40, "XL"}, {10, "X"},   {9, "IX"},
                {5, "V"},    {4, "IV"},   {1, "I"}};
  std::string out;
  for (const auto& part : kParts) {
    while (n >= part.value) {
      out += part.text;
      n -= part.value;
    }
  }
  if (lower)
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string scientificText(Decimal d, int fractionCount, bool keepPoint, char decimal) {
  int exponent = 0;
  if (!d.isZero()) {
    roundSignificant(d, 1 + fractionCount);
    exponent = d.exponent - 1;
  }
  std::string out(1, d.digitAt(0));
  if (keepPoint || fractionCount > 0) out += decimal;
  for (int k = 1; k <= fractionCount; ++k) out += d.digitAt(k);
  const int magnitude = exponent < 0 ? -exponent : exponent;
  std::string expDigits = std::to_string(magnitude);
  if (expDigits.size() < 2) expDigits.insert(0, "0");
  out += exponent < 0 ? "E-" : "E+";
  out += expDigits;
  return out;
}

std::string applySign(const NumberModel& m, bool negative, std::string body) {
  switch (m.sign) {
    case SignStyle::Default:
      return negative ? "-" + body : body;
    case SignStyle::LeadingS:
      return (negative ? "-" : "+") + body;
    case SignStyle::TrailingS:
      return body + (negative ? "-" : "+");
    case SignStyle::TrailingMI:
      return body + (negative ? "-" : (m.fm ? "" : " "));
    case SignStyle::Brackets:
      if (negative) return "<" + body + ">";
      return m.fm ? body : " " + body + " ";
  }
  return body;
}

std::string padLeft(std::string s, int width) {
  if (static_cast<int>(s.size()) < width)
    s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  return s;
}

}  // namespace

double roundToPlaces(double v, int places) {
  if (!std::isfinite(v)) return v;
  Decimal d = toDecimal(v);
  roundDecimal(d, places);
  return fromDecimal(d);
}

double truncToPlaces(double v, int places) {
  if (!std::isfinite(v)) return v;
  Decimal d = toDecimal(v);
  truncDecimal(d, places);
  return fromDecimal(d);
}

double toSignificant15(double v) {
  if (!std::isfinite(v)) return v;
  return fromDecimal(toDecimal(v));
}

double parseNumber(std::string_view text, char decimal) {
  std::string_view s = trimBlanks(text);
  std::string clean;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) clean += s[i++];
  int digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    clean += s[i++];
    ++digits;
  }
  if (i < s.size() && s[i] == decimal) {
    clean += '.';
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
      clean += s[i++];
      ++digits;
    }
  }
  if (digits == 0) invalidNumber();
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    clean += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) clean += s[i++];
    int expDigits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
      clean += s[i++];
      ++expDigits;
    }
    if (expDigits == 0) invalidNumber();
  }
  if (i != s.size()) invalidNumber();
  const double v = std::strtod(clean.c_str(), nullptr);
  if (!std::isfinite(v)) throw OraError(1426);
  return v;
}

double parseNumberWithFormat(std::string_view text, std::string_view format, char decimal,
                             char group) {
  const NumberModel m = parseModel(format);
  if (m.textMinimum) return parseNumber(text, decimal);
  if (m.roman) invalidModel();
  std::string_view s = trimBlanks(text);
  if (s.empty()) invalidNumber();
  bool negative = false;
  if (s.size() >= 2 && s.front() == '<' && s.back() == '>') {
    if (m.sign != SignStyle::Brackets) invalidNumber();
    negative = true;
    s = trimBlanks(s.substr(1, s.size() - 2));
  } else if (!s.empty() && (s.back() == '-' || s.back() == '+') &&
             (m.sign == SignStyle::TrailingMI || m.sign == SignStyle::TrailingS)) {
    if (s.back() == '+' && m.sign == SignStyle::TrailingMI) invalidNumber();
    negative = s.back() == '-';
    s = trimBlanks(s.substr(0, s.size() - 1));
  } else if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (m.dollar && !s.empty() && s.front() == '$') s.remove_prefix(1);
  const char decimalChar = m.decimalElement == 'D' ? decimal : '.';
  const bool groupsAllowed = m.integerPart.find_first_of("G,") != std::string::npos;
  const char groupChar = m.integerPart.find('G') != std::string::npos ? group : ',';
  std::string clean = negative ? "-" : "";
  int integerCount = 0;
  int fractionCount = 0;
  bool inFraction = false;
  std::size_t i = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      clean += c;
      (inFraction ? fractionCount : integerCount) += 1;
    } else if (!inFraction && m.hasDecimal && c == decimalChar) {
      inFraction = true;
      clean += '.';
    } else if (!inFraction && groupsAllowed && c == groupChar && integerCount > 0) {
      continue;
    } else {
      break;
    }
  }
  if (integerCount + fractionCount == 0) invalidNumber();
  if (m.scientific && i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    const std::size_t digitsFrom = j;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) exponent += s[j++];
    if (j == digitsFrom) invalidNumber();
    clean += exponent;
    i = j;
  } else if (integerCount > m.integerPositions ||
             fractionCount > static_cast<int>(m.fractionPart.size())) {
    invalidNumber();
  }
  if (i != s.size()) invalidNumber();
  double v = std::strtod(clean.c_str(), nullptr);
  if (m.shiftDigits > 0) v = v / std::pow(10.0, m.shiftDigits);
  return v;
}

std::string formatNumber(double v, std::string_view format, char decimal, char group) {
  const NumberModel m = parseModel(format);
  if (!std::isfinite(v)) return std::string(static_cast<std::size_t>(m.width ? m.width : 1), '#');
  if (m.textMinimum == 'T') return canonicalNumber(v, decimal);
  if (m.textMinimum == 'E') {
    Decimal d = toDecimal(v);
    const int fraction = d.isZero() ? 0 : static_cast<int>(d.digits.size()) - 1;
    return (d.negative ? "-" : "") + scientificText(d, fraction, false, decimal);
  }
  const std::string hashes(static_cast<std::size_t>(m.width), '#');
  if (m.roman) {
    const double rounded = roundToPlaces(v, 0);
    if (rounded < 1 || rounded > 3999) return hashes;
    std::string text = toRoman(static_cast<long long>(rounded), m.romanLower);
    return m.fm ? text : padLeft(text, m.width);
  }

  Decimal d = toDecimal(v);
  d.exponent += d.isZero() ? 0 : m.shiftDigits;
  const int fractionCount = static_cast<int>(m.fractionPart.size());
  if (m.scientific) {
    const bool negative = d.negative;
    std::string body = scientificText(d, fractionCount, m.hasDecimal, decimal);
    if (m.dollar) body.insert(0, "$");
    std::string text = applySign(m, negative, body);
    return m.fm ? text : padLeft(text, m.width);
  }

  roundDecimal(d, fractionCount);
  if (m.blankZero && integerDigits(d).empty() && d.isZero())
    return m.fm ? std::string() : std::string(static_cast<std::size_t>(m.width), ' ');
  std::string intDigits = integerDigits(d);
  if (static_cast<int>(intDigits.size()) > m.integerPositions) return hashes;
  // B blanks a zero integer part, whatever '0's the model has.
  const bool blankInteger = m.blankZero && intDigits.empty();
  if (intDigits.empty() && fractionCount == 0) intDigits = "0";

  // Digit positions from the right: a position prints when the number has a digit
  // there or a '0' at or left of it forces it.
  std::string integerText;
  int positionFromRight = 0;
  bool printedLeft = false;  // whether a digit left of the current position printed
  std::vector<bool> printed(m.integerPart.size(), false);
  for (int idx = static_cast<int>(m.integerPart.size()) - 1; idx >= 0; --idx) {
    const char el = m.integerPart[static_cast<std::size_t>(idx)];
    if (el == 'G' || el == ',') continue;
    const int positionFromLeft = m.integerPositions - 1 - positionFromRight;
    const bool forced =
        !blankInteger && m.firstForcedZero >= 0 && positionFromLeft >= m.firstForcedZero;
    printed[static_cast<std::size_t>(idx)] =
        positionFromRight < static_cast<int>(intDigits.size()) || forced;
    ++positionFromRight;
  }
  int positionFromLeft = 0;
  for (std::size_t idx = 0; idx < m.integerPart.size(); ++idx) {
    const char el = m.integerPart[idx];
    if (el == 'G' || el == ',') {
      if (printedLeft) integerText += el == 'G' ? group : ',';
      continue;
    }
    if (printed[idx]) {
      const int fromRight = m.integerPositions - 1 - positionFromLeft;
      integerText += fromRight < static_cast<int>(intDigits.size())
                         ? intDigits[intDigits.size() - 1 - static_cast<std::size_t>(fromRight)]
                         : '0';
      printedLeft = true;
    }
    ++positionFromLeft;
  }

  std::string fractionText = fractionDigits(d, fractionCount);
  if (m.fm) {
    int keep = fractionCount;
    while (keep > 0 && m.fractionPart[static_cast<std::size_t>(keep - 1)] == '9' &&
           fractionText[static_cast<std::size_t>(keep - 1)] == '0')
      --keep;
    fractionText.resize(static_cast<std::size_t>(keep));
  }
  std::string body = integerText;
  if (m.hasDecimal) body += m.decimalElement == 'D' ? decimal : '.';
  body += fractionText;
  if (m.dollar) body.insert(0, "$");
  std::string text = applySign(m, d.negative, body);
  return m.fm ? text : padLeft(text, m.width);
}

void validateNumberFormat(std::string_view format) { parseModel(format); }

void parseNumericCharacters(std::string_view setting, char& decimal, char& group) {
  auto usable = [](char c) {
    return !std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '<' &&
           c != '>' && static_cast<unsigned char>(c) < 0x80;
  };
  if (setting.size() != 2 || setting[0] == setting[1] || !usable(setting[0]) || !usable(setting[1]))
    throw OraError(12705);
  decimal = setting[0];
  group = setting[1];
}

}  // namespace korvo::engine
