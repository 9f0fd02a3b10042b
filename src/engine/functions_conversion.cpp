// TO_CHAR, TO_NUMBER, TO_DATE and the conversions the translator emits.
#include <cctype>
#include <string>

#include "engine/functions_support.h"
#include "engine/functions_utf8.h"
#include "engine/number_format.h"
#include "engine/ora_error.h"
#include "engine/value.h"

namespace korvo::engine::udf {

namespace {

// The optional third argument of the conversion functions.
struct NlsOverride {
  char decimal;
  char group;
};

[[noreturn]] void invalidNlsParameter() {
  throw OraError(12702);
}

NlsOverride nlsOverride(sqlite3_context* c, int argc, sqlite3_value** argv) {
  NlsOverride out{decimalCharOf(c), groupCharOf(c)};
  if (argc < 3 || isNull(argv[2])) return out;
  const std::string text = *textArg(c, argv[2]);
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  };
  while (true) {
    skipBlanks();
    if (i >= text.size()) break;
    std::string name;
    while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
      name += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
    skipBlanks();
    if (i >= text.size() || text[i] != '=') invalidNlsParameter();
    ++i;
    skipBlanks();
    std::string value;
    if (i < text.size() && text[i] == '\'') {
      const std::size_t close = text.find('\'', i + 1);
      if (close == std::string::npos) invalidNlsParameter();
      value = text.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
        value += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
    }
    if (name == "NLS_NUMERIC_CHARACTERS") {
      parseNumericCharacters(value, out.decimal, out.group);
    } else if (name == "NLS_DATE_LANGUAGE") {
      if (value != "AMERICAN" && value != "ENGLISH") invalidNlsParameter();
    } else {
      invalidNlsParameter();
    }
  }
  return out;
}

bool isBlankText(const std::string& s) {
  for (char ch : s)
    if (ch != ' ' && ch != '\t' && ch != '\n' && ch != '\r') return false;
  return true;
}

// TO_CHAR(number|text [, fmt [, nls]]). Dates normally come through
// ora_date_to_char; a text in the canonical date form is formatted as a date.
void toChar(sqlite3_context* c, int argc, sqlite3_value** argv) {
  if (isNull(argv[0])) return sqlite3_result_null(c);
  const NlsOverride nls = nlsOverride(c, argc, argv);
  if (argc == 1) {
    if (isNumeric(argv[0])) return setText(c, canonicalNumber(*doubleArg(c, argv[0]), nls.decimal));
    return setValue(c, argv[0]);
  }
  auto fmt = textArg(c, argv[1]);
  if (!fmt) return sqlite3_result_null(c);
  if (!isNumeric(argv[0])) {
    const std::string text = *textArg(c, argv[0]);
    if (auto d = parseCanonicalDate(text)) return setText(c, formatDate(*d, *fmt));
    return setText(c, formatNumber(parseNumber(text, nls.decimal), *fmt, nls.decimal, nls.group));
  }
  setText(c, formatNumber(*doubleArg(c, argv[0]), *fmt, nls.decimal, nls.group));
}

void toNumber(sqlite3_context* c, int argc, sqlite3_value** argv) {
  if (isNull(argv[0])) return sqlite3_result_null(c);
  const NlsOverride nls = nlsOverride(c, argc, argv);
  if (isNumeric(argv[0])) return setNumber(c, *numberArg(c, argv[0]));
  const std::string text = *textArg(c, argv[0]);
  if (argc == 1) return setNumber(c, parseNumber(text, nls.decimal));
  auto fmt = textArg(c, argv[1]);
  if (!fmt) return sqlite3_result_null(c);
  setNumber(c, parseNumberWithFormat(text, *fmt, nls.decimal, nls.group));
}

void convertToDate(sqlite3_context* c, sqlite3_value* value, const std::string& fmt) {
  const std::string text = *textArg(c, value);
  if (isBlankText(text)) return sqlite3_result_null(c);
  setDate(c, parseDate(text, fmt, nowOf(c)));
}

void toDate(sqlite3_context* c, int argc, sqlite3_value** argv) {
  if (isNull(argv[0])) return sqlite3_result_null(c);
  nlsOverride(c, argc, argv);  // validates; dates are always AMERICAN
  if (argc == 1) return convertToDate(c, argv[0], dateFormatOf(c));
  auto fmt = textArg(c, argv[1]);
  if (!fmt) return sqlite3_result_null(c);
  convertToDate(c, argv[0], *fmt);
}

// ora_to_date(text, fmt): a NULL fmt means the session's NLS_DATE_FORMAT.
void oraToDate(sqlite3_context* c, int, sqlite3_value** argv) {
  if (isNull(argv[0])) return sqlite3_result_null(c);
  convertToDate(c, argv[0], textArg(c, argv[1]).value_or(dateFormatOf(c)));
}

void oraDateToChar(sqlite3_context* c, int, sqlite3_value** argv) {
  auto d = dateArg(c, argv[0]);
  if (!d) return sqlite3_result_null(c);
  setText(c, formatDate(*d, textArg(c, argv[1]).value_or(dateFormatOf(c))));
}

void oraNumToChar(sqlite3_context* c, int, sqlite3_value** argv) {
  auto v = doubleArg(c, argv[0]);
  if (!v) return sqlite3_result_null(c);
  auto fmt = textArg(c, argv[1]);
  if (!fmt) return setText(c, canonicalNumber(*v, decimalCharOf(c)));
  setText(c, formatNumber(*v, *fmt, decimalCharOf(c), groupCharOf(c)));
}

// korvo_cast_text(x, n, pad): CAST(x AS VARCHAR2(n)) (pad 0) or CHAR(n) (pad 1); a value
// longer than n characters is out of range.
void castText(sqlite3_context* c, int, sqlite3_value** argv) {
  auto s = textArg(c, argv[0]);
  auto n = integerArg(c, argv[1]);
  if (!s || !n) return sqlite3_result_null(c);
  std::u32string chars = utf8::decode(*s);
  if ((long long)chars.size() > *n) throw OraError(25137);
  if (sqlite3_value_int(argv[2]) != 0) chars.append(size_t(*n) - chars.size(), U' ');
  setText(c, utf8::encode(chars));
}

}  // namespace

void registerConversionFunctions(sqlite3* db, FunctionContext* ctx) {
  define(db, ctx, "korvo_cast_text", 3, castText);
  for (int n = 1; n <= 3; ++n) {
    define(db, ctx, "TO_CHAR", n, toChar);
    define(db, ctx, "TO_NUMBER", n, toNumber);
    define(db, ctx, "TO_DATE", n, toDate);
  }
  define(db, ctx, "ora_to_date", 2, oraToDate);
  define(db, ctx, "ora_date_to_char", 2, oraDateToChar);
  define(db, ctx, "ora_num_to_char", 2, oraNumToChar);
}

}  // namespace korvo::engine::udf
