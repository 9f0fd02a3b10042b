#include "engine/interval_literal.h"

#include <array>
#include <cctype>
#include <vector>

#include "engine/ora_error.h"

namespace korvo::engine {
namespace {

// YEAR MONTH | DAY HOUR MINUTE SECOND, in order of size
constexpr std::array<const char*, 6> kUnits = {"YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "SECOND"};

struct Unit {
  int index = -1;
  int precision = -1;  // leading precision (or fractional for a trailing SECOND)
  int fraction = -1;   // SECOND(p, f) of a single SECOND field
};

[[noreturn]] void invalid() { throw OraError(1867); }

int smallNumber(const std::string& s) {
  if (s.empty() || s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos)
    throw OraError(30088);
  return std::stoi(s);
}

Unit readUnit(const std::string& u) {
  Unit out;
  size_t paren = u.find('(');
  std::string word = u.substr(0, paren);
  for (size_t i = 0; i < kUnits.size(); ++i)
    if (word == kUnits[i]) out.index = int(i);
  if (out.index < 0) invalid();
  if (paren != std::string::npos) {
    std::string inner = u.substr(paren + 1, u.size() - paren - 2);
    size_t comma = inner.find(',');
    out.precision = smallNumber(inner.substr(0, comma));
    if (comma != std::string::npos) out.fraction = smallNumber(inner.substr(comma + 1));
    if (out.precision > 9 || out.fraction > 9)
      throw OraError(30088);
  }
  return out;
}

// Digits only; a field of the literal.
long long field(const std::string& s) {
  if (s.empty() || s.size() > 18 || s.find_first_not_of("0123456789") != std::string::npos)
    invalid();
  return std::stoll(s);
}

}  // namespace

IntervalValue parseIntervalLiteral(const std::string& text, const std::string& units) {
  size_t to = units.find(" TO ");
  Unit from = readUnit(units.substr(0, to));
  Unit last = to == std::string::npos ? from : readUnit(units.substr(to + 4));
  if (to != std::string::npos) {
    if (last.index <= from.index || (from.index <= 1) != (last.index <= 1)) invalid();
    if (last.index != 5 && last.precision >= 0) invalid();  // only SECOND has a trailing precision
  }
  const bool yearMonth = from.index <= 1;
  const int leadPrecision = from.precision >= 0 ? from.precision : 2;

  // sign and blanks around the value
  size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
  if (b == std::string::npos) invalid();
  std::string v = text.substr(b, e - b + 1);
  bool negative = false;
  if (v[0] == '-' || v[0] == '+') {
    negative = v[0] == '-';
    v.erase(0, 1);
  }
  // split into the fields of the units from..last: '-' between YEAR and MONTH, ' '
  // after DAY, ':' between the time fields, '.' before a fraction of seconds
  std::vector<std::string> parts;
  std::string fraction;
  size_t pos = 0;
  for (int u = from.index; u <= last.index; ++u) {
    char sep = 0;
    if (u < last.index) sep = u == 0 ? '-' : u == 2 ? ' ' : ':';
    size_t end = sep ? v.find(sep, pos) : v.size();
    if (end == std::string::npos) invalid();
    std::string piece = v.substr(pos, end - pos);
    if (u == 5) {
      size_t dot = piece.find('.');
      if (dot != std::string::npos) {
        fraction = piece.substr(dot + 1);
        piece = piece.substr(0, dot);
        if (fraction.empty() || fraction.find_first_not_of("0123456789") != std::string::npos)
          invalid();
      }
    }
    parts.push_back(piece);
    pos = end + (sep ? 1 : 0);
  }
  if (pos < v.size() && pos != v.size()) invalid();
  std::vector<long long> n;
  for (const auto& p : parts) n.push_back(field(p));
  // the leading field: its digits (without leading zeros) within the precision
  {
    std::string lead = parts[0];
    size_t nz = lead.find_first_not_of('0');
    size_t digits = nz == std::string::npos ? 0 : lead.size() - nz;
    if (int(digits) > leadPrecision)
      throw OraError(1873);
  }
  for (size_t i = 1; i < n.size(); ++i) {
    int u = from.index + int(i);
    if (u == 1 && n[i] > 11) throw OraError(1843);
    if (u == 3 && n[i] > 23) throw OraError(1850);
    if (u == 4 && n[i] > 59) throw OraError(1851);
    if (u == 5 && n[i] > 59) throw OraError(1852);
  }
  IntervalValue out;
  out.yearMonth = yearMonth;
  if (yearMonth) {
    long long months = from.index == 0 ? n[0] * 12 + (n.size() > 1 ? n[1] : 0) : n[0];
    out.months = negative ? -months : months;
    return out;
  }
  static const double kSeconds[] = {0, 0, 86400, 3600, 60, 1};
  double s = 0;
  for (size_t i = 0; i < n.size(); ++i) s += double(n[i]) * kSeconds[from.index + int(i)];
  if (!fraction.empty()) s += std::stod("0." + fraction);
  out.seconds = negative ? -s : s;
  return out;
}

}  // namespace korvo::engine
