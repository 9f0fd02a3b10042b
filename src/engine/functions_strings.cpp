// Character functions. Positions and lengths count characters, and an empty
// result is NULL.
#include <algorithm>
#include <string>

#include "engine/functions_support.h"
#include "engine/functions_utf8.h"
#include "engine/number_decimal.h"
#include "engine/ora_error.h"

namespace korvo::engine::udf {

namespace {

// Oracle's limit in bytes for a character value in SQL; padding never goes
// beyond it and a longer concatenation is an error.
constexpr long long kMaxVarchar = 4000;

[[noreturn]] void outOfRange(long long v) {
  throw OraError(1428, "argument '" + std::to_string(v) + "' is out of range");
}

void substr(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  auto pos = integerArg(c, argv[1]);
  std::optional<long long> len;
  if (argc > 2) {
    len = integerArg(c, argv[2]);
    if (!len) return sqlite3_result_null(c);
  }
  if (!s || !pos) return sqlite3_result_null(c);
  const std::u32string chars = utf8::decode(*s);
  const long long n = static_cast<long long>(chars.size());
  long long start = *pos == 0 ? 1 : *pos;
  if (start < 0) start = n + start + 1;
  if (start < 1 || start > n) return sqlite3_result_null(c);
  long long count = n - start + 1;
  if (len) {
    if (*len < 1) return sqlite3_result_null(c);
    count = std::min(count, *len);
  }
  setText(c, utf8::encode(std::u32string_view(chars).substr(static_cast<std::size_t>(start - 1),
                                                            static_cast<std::size_t>(count))));
}

void instr(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  auto sub = textArg(c, argv[1]);
  long long pos = 1;
  long long occurrence = 1;
  if (argc > 2) {
    auto p = integerArg(c, argv[2]);
    if (!p) return sqlite3_result_null(c);
    pos = *p;
  }
  if (argc > 3) {
    auto o = integerArg(c, argv[3]);
    if (!o) return sqlite3_result_null(c);
    occurrence = *o;
  }
  if (!s || !sub) return sqlite3_result_null(c);
  if (occurrence < 1) outOfRange(occurrence);
  if (pos == 0) return sqlite3_result_int64(c, 0);
  const std::u32string hay = utf8::decode(*s);
  const std::u32string needle = utf8::decode(*sub);
  const long long n = static_cast<long long>(hay.size());
  const long long m = static_cast<long long>(needle.size());
  auto matchesAt = [&](long long i) {
    return std::equal(needle.begin(), needle.end(), hay.begin() + i);
  };
  long long found = 0;
  if (pos > n) return sqlite3_result_int64(c, 0);
  if (pos > 0) {
    for (long long i = pos - 1; i + m <= n; ++i) {
      if (matchesAt(i) && ++found == occurrence) return sqlite3_result_int64(c, i + 1);
    }
  } else {
    // Backwards from the position counted from the end; a match may start there.
    for (long long i = std::min(n + pos, n - m); i >= 0; --i) {
      if (matchesAt(i) && ++found == occurrence) return sqlite3_result_int64(c, i + 1);
    }
  }
  sqlite3_result_int64(c, 0);
}

void replace(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  if (!s) return sqlite3_result_null(c);
  auto search = textArg(c, argv[1]);
  if (!search) return setText(c, *s);
  const std::string replacement = argc > 2 ? textArg(c, argv[2]).value_or("") : "";
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = s->find(*search, from)) != std::string::npos;
       from = at + search->size()) {
    out.append(*s, from, at - from);
    out += replacement;
  }
  out.append(*s, from, std::string::npos);
  setText(c, out);
}

void translate(sqlite3_context* c, int, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  auto from = textArg(c, argv[1]);
  auto to = textArg(c, argv[2]);
  if (!s || !from || !to) return sqlite3_result_null(c);
  const std::u32string fromChars = utf8::decode(*from);
  const std::u32string toChars = utf8::decode(*to);
  std::string out;
  for (char32_t ch : utf8::decode(*s)) {
    const std::size_t at = fromChars.find(ch);
    if (at == std::u32string::npos) {
      utf8::append(out, ch);
    } else if (at < toChars.size()) {
      utf8::append(out, toChars[at]);
    }  // characters without a counterpart are deleted
  }
  setText(c, out);
}

void upper(sqlite3_context* c, int, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  if (!s) return sqlite3_result_null(c);
  std::u32string chars = utf8::decode(*s);
  for (char32_t& ch : chars) ch = utf8::toUpper(ch);
  setText(c, utf8::encode(chars));
}

void lower(sqlite3_context* c, int, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  if (!s) return sqlite3_result_null(c);
  std::u32string chars = utf8::decode(*s);
  for (char32_t& ch : chars) ch = utf8::toLower(ch);
  setText(c, utf8::encode(chars));
}

void initcap(sqlite3_context* c, int, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  if (!s) return sqlite3_result_null(c);
  std::u32string chars = utf8::decode(*s);
  bool wordStart = true;
  for (char32_t& ch : chars) {
    const bool alnum = utf8::isAlphanumeric(ch);
    ch = alnum && wordStart ? utf8::toUpper(ch) : utf8::toLower(ch);
    wordStart = !alnum;
  }
  setText(c, utf8::encode(chars));
}

enum Side { kLeft = 1, kRight = 2, kBoth = 3 };

void trimSet(sqlite3_context* c, int argc, sqlite3_value** argv, int sides, bool single) {
  auto s = textArg(c, argv[0]);
  std::optional<std::string> set = std::string(" ");
  if (argc > 1) set = textArg(c, argv[1]);
  if (!s || !set) return sqlite3_result_null(c);
  const std::u32string setChars = utf8::decode(*set);
  if (single && setChars.size() != 1)
    throw OraError(30001);
  const std::u32string chars = utf8::decode(*s);
  std::size_t begin = 0;
  std::size_t end = chars.size();
  if (sides & kLeft)
    while (begin < end && setChars.find(chars[begin]) != std::u32string::npos) ++begin;
  if (sides & kRight)
    while (end > begin && setChars.find(chars[end - 1]) != std::u32string::npos) --end;
  setText(c, utf8::encode(std::u32string_view(chars).substr(begin, end - begin)));
}

void trim(sqlite3_context* c, int argc, sqlite3_value** argv) {
  trimSet(c, argc, argv, kBoth, true);
}
void ltrim(sqlite3_context* c, int argc, sqlite3_value** argv) {
  trimSet(c, argc, argv, kLeft, false);
}
void rtrim(sqlite3_context* c, int argc, sqlite3_value** argv) {
  trimSet(c, argc, argv, kRight, false);
}

void pad(sqlite3_context* c, int argc, sqlite3_value** argv, bool left) {
  auto s = textArg(c, argv[0]);
  auto n = integerArg(c, argv[1]);
  std::optional<std::string> filler = std::string(" ");
  if (argc > 2) filler = textArg(c, argv[2]);
  if (!s || !n || !filler || *n < 1) return sqlite3_result_null(c);
  const long long width = std::min(*n, kMaxVarchar);
  std::u32string chars = utf8::decode(*s);
  if (static_cast<long long>(chars.size()) >= width) {
    chars.resize(static_cast<std::size_t>(width));
    return setText(c, utf8::encode(chars));
  }
  const std::u32string fill = utf8::decode(*filler);
  std::u32string padding;
  for (std::size_t i = 0; chars.size() + padding.size() < static_cast<std::size_t>(width); ++i)
    padding += fill[i % fill.size()];
  setText(c, utf8::encode(left ? padding + chars : chars + padding));
}

void lpad(sqlite3_context* c, int argc, sqlite3_value** argv) { pad(c, argc, argv, true); }
void rpad(sqlite3_context* c, int argc, sqlite3_value** argv) { pad(c, argc, argv, false); }

void length(sqlite3_context* c, int, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  if (!s) return sqlite3_result_null(c);
  sqlite3_result_int64(c, static_cast<long long>(utf8::decode(*s).size()));
}

// || and CONCAT: NULLs are skipped, numbers appear as TO_CHAR shows them.
void concat(sqlite3_context* c, int argc, sqlite3_value** argv) {
  std::string out;
  for (int i = 0; i < argc; ++i)
    if (auto s = textArg(c, argv[i])) out += *s;
  if (static_cast<long long>(out.size()) > kMaxVarchar)
    throw OraError(1489);
  setText(c, out);
}

// In AL32UTF8, CHR takes the bytes of the character's encoding as one number.
void chr(sqlite3_context* c, int, sqlite3_value** argv) {
  auto n = integerArg(c, argv[0]);
  if (!n) return sqlite3_result_null(c);
  if (*n < 0 || *n > 0xFFFFFFFFLL) outOfRange(*n);
  if (*n < 0x80) {
    const char ch = static_cast<char>(*n);
    sqlite3_result_text(c, &ch, 1, SQLITE_TRANSIENT);
    return;
  }
  std::string bytes;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto b = static_cast<char>((*n >> shift) & 0xFF);
    if (!bytes.empty() || b != 0) bytes += b;
  }
  const std::u32string decoded = utf8::decode(bytes);
  if (decoded.size() == 1 && utf8::encode(decoded) == bytes &&
      !(decoded[0] >= 0xDC80 && decoded[0] <= 0xDCFF))
    return setText(c, bytes);
  // A single byte that is no UTF-8 character: its Latin-1 meaning.
  if (*n <= 0xFF) {
    std::string out;
    utf8::append(out, static_cast<char32_t>(*n));
    return setText(c, out);
  }
  outOfRange(*n);
}

void ascii(sqlite3_context* c, int, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  if (!s) return sqlite3_result_null(c);
  const std::u32string chars = utf8::decode(*s);
  std::string first;
  utf8::append(first, chars[0]);
  long long v = 0;
  for (char b : first) v = v * 256 + static_cast<unsigned char>(b);
  sqlite3_result_int64(c, v);
}

char soundexCode(char upperLetter) {
  switch (upperLetter) {
    case 'B':
    case 'F':
    case 'P':
    case 'V':
      return '1';
    case 'C':
    case 'G':
    case 'J':
    case 'K':
    case 'Q':
    case 'S':
    case 'X':
    case 'Z':
      return '2';
    case 'D':
    case 'T':
      return '3';
    case 'L':
      return '4';
    case 'M':
    case 'N':
      return '5';
    case 'R':
      return '6';
    default:
      return '0';  // vowels, Y, H, W
  }
}

void soundex(sqlite3_context* c, int, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  if (!s) return sqlite3_result_null(c);
  std::string out;
  char previous = 0;
  for (char raw : *s) {
    const char ch = static_cast<char>(raw >= 'a' && raw <= 'z' ? raw - 32 : raw);
    if (ch < 'A' || ch > 'Z') continue;
    const char code = soundexCode(ch);
    if (out.empty()) {
      out += ch;
      previous = code;
      continue;
    }
    if (ch == 'H' || ch == 'W') continue;  // they do not separate equal codes
    if (code == '0') {
      previous = '0';
      continue;
    }
    if (code != previous) out += code;
    previous = code;
    if (out.size() == 4) break;
  }
  if (out.empty()) return sqlite3_result_null(c);
  out.resize(4, '0');
  setText(c, out);
}

// Bytes of Oracle's internal form: NUMBER is an exponent byte plus base-100
// digits (plus a terminator when negative), DATE 7, characters their bytes.
void vsize(sqlite3_context* c, int, sqlite3_value** argv) {
  if (isNull(argv[0])) return sqlite3_result_null(c);
  if (isNumeric(argv[0])) {
    const Decimal d = toDecimal(*doubleArg(c, argv[0]));
    if (d.isZero()) return sqlite3_result_int64(c, 1);
    const long long len = static_cast<long long>(d.digits.size());
    const long long pairs = (d.exponent % 2 == 0) ? (len + 1) / 2 : (len + 2) / 2;
    return sqlite3_result_int64(c, 1 + pairs + (d.negative && pairs < 20 ? 1 : 0));
  }
  const std::string s = *textArg(c, argv[0]);
  if (parseCanonicalDate(s) && s.size() == 19) return sqlite3_result_int64(c, 7);
  sqlite3_result_int64(c, static_cast<long long>(s.size()));
}

}  // namespace

void registerStringFunctions(sqlite3* db, FunctionContext* ctx) {
  define(db, ctx, "SUBSTR", 2, substr);
  define(db, ctx, "SUBSTR", 3, substr);
  for (int n = 2; n <= 4; ++n) define(db, ctx, "INSTR", n, instr);
  define(db, ctx, "REPLACE", 2, replace);
  define(db, ctx, "REPLACE", 3, replace);
  define(db, ctx, "TRANSLATE", 3, translate);
  define(db, ctx, "UPPER", 1, upper);
  define(db, ctx, "LOWER", 1, lower);
  define(db, ctx, "INITCAP", 1, initcap);
  define(db, ctx, "TRIM", 1, trim);
  define(db, ctx, "TRIM", 2, trim);
  define(db, ctx, "LTRIM", 1, ltrim);
  define(db, ctx, "LTRIM", 2, ltrim);
  define(db, ctx, "RTRIM", 1, rtrim);
  define(db, ctx, "RTRIM", 2, rtrim);
  define(db, ctx, "LPAD", 2, lpad);
  define(db, ctx, "LPAD", 3, lpad);
  define(db, ctx, "RPAD", 2, rpad);
  define(db, ctx, "RPAD", 3, rpad);
  define(db, ctx, "LENGTH", 1, length);
  define(db, ctx, "CONCAT", 2, concat);
  define(db, ctx, "ora_concat", -1, concat);
  define(db, ctx, "CHR", 1, chr);
  define(db, ctx, "ASCII", 1, ascii);
  define(db, ctx, "SOUNDEX", 1, soundex);
  define(db, ctx, "VSIZE", 1, vsize);
}

}  // namespace korvo::engine::udf
