// TO_CHAR(date, format).
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/datetime.h"
#include "engine/datetime_model.h"
#include "engine/datetime_names.h"
#include "engine/number_words.h"
#include "engine/ora_error.h"

namespace korvo::engine {

using namespace datefmt;

namespace {

std::string padNumber(long long v, int width, bool fm) {
  std::string digits = std::to_string(v < 0 ? -v : v);
  if (!fm && static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  return digits;
}

std::string ordinalSuffix(long long v) {
  const long long n = v < 0 ? -v : v;
  if (n % 100 >= 11 && n % 100 <= 13) return "TH";
  switch (n % 10) {
    case 1:
      return "ST";
    case 2:
      return "ND";
    case 3:
      return "RD";
    default:
      return "TH";
  }
}

std::string romanMonth(int month) {
  static constexpr std::string_view kRoman[] = {"I",   "II",   "III", "IV", "V",  "VI",
                                                "VII", "VIII", "IX",  "X",  "XI", "XII"};
  return std::string(kRoman[month - 1]);
}

struct IsoWeek {
  int year;
  int week;
};

IsoWeek isoWeekOf(const DateTime& d) {
  const long long days = daysFromCivil(d.year, d.month, d.day);
  const long long thursday = days - (dayOfWeek(d) + 6) % 7 + 3;
  int year = d.year;
  if (thursday < daysFromCivil(year, 1, 1))
    --year;
  else if (thursday >= daysFromCivil(year + 1, 1, 1))
    ++year;
  return {year, static_cast<int>((thursday - daysFromCivil(year, 1, 1)) / 7 + 1)};
}

std::string padName(std::string name, std::size_t width, bool fm) {
  if (!fm && name.size() < width) name.append(width - name.size(), ' ');
  return name;
}

// The text of one numeric element and its value (for TH).
std::string formatNumeric(const Token& t, const DateTime& d, bool fm) {
  const int year = d.year;
  switch (t.el) {
    case El::YYYY:
    case El::RRRR:
      return padNumber(year, 4, fm);
    case El::SYYYY:
      return std::string(year < 0 ? "-" : (fm ? "" : " ")) + padNumber(year, 4, fm);
    case El::YCommaYYY: {
      std::string thousands = std::to_string(year / 1000);
      return thousands + "," + padNumber(year % 1000, 3, false);
    }
    case El::YYY:
      return padNumber(year % 1000, 3, fm);
    case El::YY:
    case El::RR:
      return padNumber(year % 100, 2, fm);
    case El::Y:
      return padNumber(year % 10, 1, fm);
    case El::IYYY:
      return padNumber(isoWeekOf(d).year, 4, fm);
    case El::IYY:
      return padNumber(isoWeekOf(d).year % 1000, 3, fm);
    case El::IY:
      return padNumber(isoWeekOf(d).year % 100, 2, fm);
    case El::I:
      return padNumber(isoWeekOf(d).year % 10, 1, fm);
    case El::CC:
      return padNumber((year + 99) / 100, 2, fm);
    case El::SCC:
      return std::string(fm ? "" : " ") + padNumber((year + 99) / 100, 2, fm);
    case El::Q:
      return padNumber((d.month - 1) / 3 + 1, 1, fm);
    case El::MM:
      return padNumber(d.month, 2, fm);
    case El::DDD:
      return padNumber(dayOfYear(d), 3, fm);
    case El::DD:
      return padNumber(d.day, 2, fm);
    case El::D:
      return padNumber(dayOfWeek(d) + 1, 1, fm);
    case El::HH:
    case El::HH12:
      return padNumber(d.hour % 12 == 0 ? 12 : d.hour % 12, 2, fm);
    case El::HH24:
      return padNumber(d.hour, 2, fm);
    case El::MI:
      return padNumber(d.minute, 2, fm);
    case El::SS:
      return padNumber(d.second, 2, fm);
    case El::SSSSS:
      return padNumber(d.hour * 3600 + d.minute * 60 + d.second, 5, fm);
    case El::J:
      return padNumber(julianDay(d), 7, fm);
    case El::WW:
      return padNumber((dayOfYear(d) - 1) / 7 + 1, 2, fm);
    case El::IW:
      return padNumber(isoWeekOf(d).week, 2, fm);
    case El::W:
      return padNumber((d.day - 1) / 7 + 1, 1, fm);
    default:
      return {};
  }
}

}  // namespace

std::string formatDate(const DateTime& d, std::string_view format) {
  if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month) ||
      d.hour < 0 || d.hour > 23 || d.minute < 0 || d.minute > 59 || d.second < 0 || d.second > 59)
    throw OraError(1858);
  const std::vector<Token> tokens = tokenize(format);
  std::string out;
  bool fm = false;
  for (const Token& t : tokens) {
    switch (t.el) {
      case El::Literal:
        out += t.text;
        break;
      case El::FM:
        fm = !fm;
        break;
      case El::FX:
        break;
      case El::MON:
        out += applyCasing(names::kMonths[d.month - 1].substr(0, 3), t.casing);
        break;
      case El::MONTH:
        out += padName(applyCasing(names::kMonths[d.month - 1], t.casing), names::kMonthWidth, fm);
        break;
      case El::RM:
        out += padName(applyCasing(romanMonth(d.month), t.casing), 4, fm);
        break;
      case El::DY:
        out += applyCasing(names::kDays[dayOfWeek(d)].substr(0, 3), t.casing);
        break;
      case El::DAY:
        out += padName(applyCasing(names::kDays[dayOfWeek(d)], t.casing), names::kDayWidth, fm);
        break;
      case El::AM:
        out += applyCasing(d.hour < 12 ? "AM" : "PM", t.casing);
        break;
      case El::AMDots:
        out += applyCasing(d.hour < 12 ? "A.M." : "P.M.", t.casing);
        break;
      case El::AD:
        out += applyCasing("AD", t.casing);
        break;
      case El::ADDots:
        out += applyCasing("A.D.", t.casing);
        break;
      default: {
        std::string text = formatNumeric(t, d, fm);
        if (t.spelled) {
          out += applyCasing(numberInWords(std::atoll(text.c_str()), t.ordinal), t.casing);
          break;
        }
        out += text;
        if (t.ordinal) {
          std::string suffix = ordinalSuffix(std::atoll(text.c_str()));
          out += applyCasing(suffix, t.ordinalLower ? Casing::Lower : Casing::Upper);
        }
      }
    }
  }
  return out;
}

void validateDateFormat(std::string_view format) { tokenize(format); }

}  // namespace korvo::engine
