// TO_DATE(text, format): lenient matching unless FX is given.
#include <optional>
#include <string>
#include <vector>

#include "engine/datetime.h"
#include "engine/datetime_model.h"
#include "engine/datetime_names.h"
#include "engine/ora_error.h"

namespace korvo::engine {

using namespace datefmt;

namespace {

struct ParsedFields {
  std::optional<int> year, month, day, hour, minute, second, dayOfYear, weekday, secondsOfDay;
  std::optional<long long> julian;
  std::optional<bool> pm;
  bool hour12 = false;
  bool hour24 = false;
};

class DateParser {
 public:
  DateParser(std::string_view text, const DateTime& now) : text_(text), now_(now) {}

  DateTime run(const std::vector<Token>& tokens) {
    bool fm = false;
    bool fx = false;
    for (const Token& t : tokens) {
      if (t.spelled) throw OraError(1820);
      if (t.el == El::FM) {
        fm = !fm;
        continue;
      }
      if (t.el == El::FX) {
        fx = !fx;
        continue;
      }
      if (!fx && restIsBlank()) break;  // input may end before its format
      if (fx && pos_ >= text_.size())
        throw OraError(1840);
      if (t.el == El::Literal) {
        matchLiteral(t, fx);
      } else {
        element(t, fm, fx);
      }
    }
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    if (pos_ < text_.size())
      throw OraError(1830);
    return assemble();
  }

 private:
  enum class CharClass { None, Digit, Letter };

  bool restIsBlank() const {
    for (std::size_t i = pos_; i < text_.size(); ++i)
      if (!isBlank(text_[i])) return false;
    return true;
  }

  void skipBlanks() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
  }

  void matchLiteral(const Token& t, bool fx) {
    if (fx) {
      if (!startsWithIgnoringCase(text_.substr(pos_), t.text))
        throw OraError(1861);
      pos_ += t.text.size();
      last_ = CharClass::None;
      return;
    }
    if (t.quoted) {
      std::size_t p = pos_;
      while (p < text_.size() && isBlank(text_[p])) ++p;
      if (!t.text.empty() && startsWithIgnoringCase(text_.substr(p), t.text)) {
        pos_ = p + t.text.size();
        last_ = CharClass::None;
        return;
      }
    }
    // Any run of punctuation matches; none at all only where the input itself
    // changes from digits to letters (or back).
    std::size_t skipped = 0;
    while (pos_ < text_.size() && !isAlnum(text_[pos_])) {
      ++pos_;
      ++skipped;
    }
    if (skipped == 0 && pos_ < text_.size()) {
      const CharClass next = isDigit(text_[pos_]) ? CharClass::Digit : CharClass::Letter;
      if (next == last_ || last_ == CharClass::None)
        throw OraError(1861);
    }
    if (skipped > 0) last_ = CharClass::None;
  }

  template <typename T>
  void setOnce(std::optional<T>& field, T value) {
    if (field) throw OraError(1810);
    field = value;
  }

  // Reads up to maxDigits digits (exactly width with FX and no FM); returns the
  // value and the number of digits read.
  long long readNumber(int maxDigits, int width, bool fm, bool fx, bool signAllowed, int& count) {
    if (!fx) skipBlanks();
    bool negative = false;
    if (signAllowed && pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) {
      negative = text_[pos_] == '-';
      ++pos_;
    }
    long long v = 0;
    count = 0;
    while (pos_ < text_.size() && count < maxDigits && isDigit(text_[pos_])) {
      v = v * 10 + (text_[pos_] - '0');
      ++pos_;
      ++count;
    }
    if (count == 0)
      throw OraError(1858);
    if (fx && !fm && count != width)
      throw OraError(1862);
    last_ = CharClass::Digit;
    return negative ? -v : v;
  }

  bool nextIsLetter() {
    std::size_t p = pos_;
    while (p < text_.size() && isBlank(text_[p])) ++p;
    return p < text_.size() && isAlpha(text_[p]);
  }

  int readMonthName() {
    skipBlanks();
    int index = -1;
    std::size_t len = names::matchName(names::kMonths, text_.substr(pos_), index);
    if (len == 0) throw OraError(1843);
    pos_ += len;
    last_ = CharClass::Letter;
    return index + 1;
  }

  int readRomanMonth() {
    skipBlanks();
    static constexpr std::string_view kRoman[] = {"XII", "XI", "X",  "IX",  "VIII", "VII",
                                                  "VI",  "V",  "IV", "III", "II",   "I"};
    static constexpr int kValue[] = {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    for (int i = 0; i < 12; ++i) {
      if (startsWithIgnoringCase(text_.substr(pos_), kRoman[i])) {
        pos_ += kRoman[i].size();
        last_ = CharClass::Letter;
        return kValue[i];
      }
    }
    throw OraError(1843);
  }

  void setYear(int year) {
    if (year == 0 || year < kMinYear || year > kMaxYear)
      throw OraError(1841);
    setOnce(f_.year, year);
  }

  // RR: the century that puts the year nearest to the current one.
  int roundCentury(int twoDigits) const {
    const int century = now_.year / 100 * 100;
    const int current = now_.year % 100;
    if (twoDigits < 50 && current >= 50) return century + 100 + twoDigits;
    if (twoDigits >= 50 && current < 50) return century - 100 + twoDigits;
    return century + twoDigits;
  }

  void element(const Token& t, bool fm, bool fx) {
    int count = 0;
    switch (t.el) {
      case El::YYYY:
      case El::SYYYY:
      case El::RRRR: {
        const int v = static_cast<int>(readNumber(4, 4, fm, fx, t.el == El::SYYYY, count));
        setYear(t.el == El::RRRR && count <= 2 ? roundCentury(v) : v);
        break;
      }
      case El::YCommaYYY: {
        int v = static_cast<int>(readNumber(1, 1, fm, fx, false, count));
        if (pos_ < text_.size() && text_[pos_] == ',') ++pos_;
        int rest = static_cast<int>(readNumber(3, 3, fm, fx, false, count));
        setYear(v * 1000 + rest);
        break;
      }
      case El::YYY:
      case El::YY:
      case El::Y:
      case El::RR: {
        const int width = t.el == El::YYY ? 3 : (t.el == El::Y ? 1 : 2);
        const int maxDigits = fx || t.el == El::Y ? width : 4;
        const int v = static_cast<int>(readNumber(maxDigits, width, fm, fx, false, count));
        if (count > width) {
          setYear(v);
        } else if (t.el == El::RR) {
          setYear(roundCentury(v));
        } else {
          int unit = t.el == El::YYY ? 1000 : (t.el == El::YY ? 100 : 10);
          setYear(now_.year / unit * unit + v);
        }
        break;
      }
      case El::MM:
        if (nextIsLetter()) {
          setOnce(f_.month, readMonthName());
        } else {
          const int v = static_cast<int>(readNumber(2, 2, fm, fx, false, count));
          if (v < 1 || v > 12) throw OraError(1843);
          setOnce(f_.month, v);
        }
        break;
      case El::MON:
      case El::MONTH:
        setOnce(f_.month, readMonthName());
        break;
      case El::RM:
        setOnce(f_.month, readRomanMonth());
        break;
      case El::DD: {
        const int v = static_cast<int>(readNumber(2, 2, fm, fx, false, count));
        if (v < 1 || v > 31)
          throw OraError(1847);
        setOnce(f_.day, v);
        break;
      }
      case El::DDD: {
        const int v = static_cast<int>(readNumber(3, 3, fm, fx, false, count));
        if (v < 1 || v > 366)
          throw OraError(1848);
        setOnce(f_.dayOfYear, v);
        break;
      }
      case El::D: {
        const int v = static_cast<int>(readNumber(1, 1, fm, fx, false, count));
        if (v < 1 || v > 7) throw OraError(1846);
        setOnce(f_.weekday, v - 1);
        break;
      }
      case El::DY:
      case El::DAY: {
        skipBlanks();
        int index = -1;
        std::size_t len = names::matchName(names::kDays, text_.substr(pos_), index);
        if (len == 0) throw OraError(1846);
        pos_ += len;
        last_ = CharClass::Letter;
        setOnce(f_.weekday, index);
        break;
      }
      case El::HH:
      case El::HH12: {
        const int v = static_cast<int>(readNumber(2, 2, fm, fx, false, count));
        if (v < 1 || v > 12) throw OraError(1849);
        setOnce(f_.hour, v);
        f_.hour12 = true;
        break;
      }
      case El::HH24: {
        const int v = static_cast<int>(readNumber(2, 2, fm, fx, false, count));
        if (v > 23) throw OraError(1850);
        setOnce(f_.hour, v);
        f_.hour24 = true;
        break;
      }
      case El::MI: {
        const int v = static_cast<int>(readNumber(2, 2, fm, fx, false, count));
        if (v > 59) throw OraError(1851);
        setOnce(f_.minute, v);
        break;
      }
      case El::SS: {
        const int v = static_cast<int>(readNumber(2, 2, fm, fx, false, count));
        if (v > 59) throw OraError(1852);
        setOnce(f_.second, v);
        break;
      }
      case El::SSSSS: {
        const int v = static_cast<int>(readNumber(5, 5, fm, fx, false, count));
        if (v > 86399) throw OraError(1853);
        setOnce(f_.secondsOfDay, v);
        break;
      }
      case El::J: {
        const long long v = readNumber(7, 7, fm, fx, false, count);
        if (v < 1 || v > 5373484) throw OraError(1854);
        setOnce(f_.julian, v);
        break;
      }
      case El::AM:
      case El::AMDots: {
        skipBlanks();
        std::string_view rest = text_.substr(pos_);
        bool pm;
        if (startsWithIgnoringCase(rest, "A.M.") || startsWithIgnoringCase(rest, "P.M.")) {
          pm = upperAscii(rest[0]) == 'P';
          pos_ += 4;
        } else if (startsWithIgnoringCase(rest, "AM") || startsWithIgnoringCase(rest, "PM")) {
          pm = upperAscii(rest[0]) == 'P';
          pos_ += 2;
        } else {
          throw OraError(1855);
        }
        last_ = CharClass::Letter;
        setOnce(f_.pm, pm);
        break;
      }
      case El::AD:
      case El::ADDots: {
        skipBlanks();
        std::string_view rest = text_.substr(pos_);
        bool bc;
        if (startsWithIgnoringCase(rest, "A.D.") || startsWithIgnoringCase(rest, "B.C.")) {
          bc = upperAscii(rest[0]) == 'B';
          pos_ += 4;
        } else if (startsWithIgnoringCase(rest, "AD") || startsWithIgnoringCase(rest, "BC")) {
          bc = upperAscii(rest[0]) == 'B';
          pos_ += 2;
        } else {
          throw OraError(1856);
        }
        last_ = CharClass::Letter;
        if (bc) throw OraError(1841);
        break;
      }
      default:
        throw OraError(1820);
    }
  }

  DateTime assemble() const {
    if (f_.hour24 && f_.pm) throw OraError(1818);
    DateTime d;
    d.year = f_.year.value_or(now_.year);
    if (f_.julian) {
      d = fromEpochSeconds((*f_.julian - 2440588) * 86400);
    } else if (f_.dayOfYear) {
      const int days = isLeapYear(d.year) ? 366 : 365;
      if (*f_.dayOfYear > days)
        throw OraError(1848);
      d = fromEpochSeconds((daysFromCivil(d.year, 1, 1) + *f_.dayOfYear - 1) * 86400);
    } else {
      d.month = f_.month.value_or(now_.month);
      d.day = f_.day.value_or(1);
      if (d.day > daysInMonth(d.year, d.month))
        throw OraError(1839);
    }
    if (f_.secondsOfDay) {
      d.hour = *f_.secondsOfDay / 3600;
      d.minute = *f_.secondsOfDay / 60 % 60;
      d.second = *f_.secondsOfDay % 60;
    }
    if (f_.hour) {
      d.hour = *f_.hour;
      if (f_.pm) d.hour = d.hour % 12 + (*f_.pm ? 12 : 0);
    }
    if (f_.minute) d.minute = *f_.minute;
    if (f_.second) d.second = *f_.second;
    if (f_.weekday && dayOfWeek(d) != *f_.weekday)
      throw OraError(1835);
    return d;
  }

  std::string_view text_;
  DateTime now_;
  std::size_t pos_ = 0;
  CharClass last_ = CharClass::None;
  ParsedFields f_;
};

}  // namespace

DateTime parseDate(std::string_view text, std::string_view format, const DateTime& now) {
  const std::vector<Token> tokens = tokenize(format);
  return DateParser(text, now).run(tokens);
}

}  // namespace korvo::engine
