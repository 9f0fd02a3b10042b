#include "engine/write_checks.h"

#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/arithmetic_chain.h"
#include "engine/functions_utf8.h"
#include "engine/recursive_with.h"
#include "engine/value.h"

namespace korvo::engine {
namespace {

std::string textArg(sqlite3_value* v) {
  auto p = sqlite3_value_text(v);
  return p ? std::string(reinterpret_cast<const char*>(p), sqlite3_value_bytes(v)) : std::string();
}

void error(sqlite3_context* ctx, const std::string& msg) {
  sqlite3_result_error(ctx, msg.c_str(), int(msg.size()));
}

std::string qualified(sqlite3_value** argv) {
  return "\"" + textArg(argv[6]) + "\".\"" + textArg(argv[7]) + "\".\"" + textArg(argv[8]) + "\"";
}

}  // namespace

bool parseOracleNumber(const std::string& s, double& out) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return false;
  size_t e = s.find_last_not_of(" \t\r\n");
  std::string t = s.substr(b, e - b + 1);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < t.size() && std::isdigit((unsigned char)t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit((unsigned char)t[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exp = 0;
    while (i < t.size() && std::isdigit((unsigned char)t[i])) ++i, ++exp;
    if (exp == 0) return false;
  }
  if (i != t.size()) return false;
  out = std::strtod(t.c_str(), nullptr);
  return std::isfinite(out);
}

namespace {

void resultNumber(sqlite3_context* ctx, double v) {
  if (std::nearbyint(v) == v && std::fabs(v) < 9.0e15)
    sqlite3_result_int64(ctx, (sqlite3_int64)v);
  else
    sqlite3_result_double(ctx, v);
}

bool canonicalDate(const std::string& s) {
  if (s.size() != 19) return false;
  for (size_t i = 0; i < 19; ++i) {
    char c = s[i];
    bool sep = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
    if (sep) {
      char want = i == 10 ? ' ' : (i < 10 ? '-' : ':');
      if (c != want) return false;
    } else if (!std::isdigit((unsigned char)c)) {
      return false;
    }
  }
  return true;
}

void korvoWrite(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  const std::string kind = textArg(argv[1]);
  const bool notNull = sqlite3_value_int(argv[5]) != 0;
  const bool isUpdate = sqlite3_value_int(argv[9]) != 0;
  int type = sqlite3_value_type(v);
  bool isNull = type == SQLITE_NULL || (type == SQLITE_TEXT && sqlite3_value_bytes(v) == 0);
  if (isNull) {
    if (notNull) {
      if (isUpdate)
        error(ctx, "ORA-01407: cannot update (" + qualified(argv) + ") to NULL");
      else
        error(ctx, "ORA-01400: cannot insert NULL into (" + qualified(argv) + ")");
      return;
    }
    sqlite3_result_null(ctx);
    return;
  }
  if (kind == "N") {
    double d;
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
      d = sqlite3_value_double(v);
    } else if (!parseOracleNumber(textArg(v), d)) {
      error(ctx, "ORA-01722: invalid number");
      return;
    }
    if (sqlite3_value_type(argv[3]) != SQLITE_NULL) {
      double stored;
      if (!fitNumber(d, sqlite3_value_int(argv[3]), sqlite3_value_int(argv[4]), stored)) {
        error(ctx, "ORA-01438: value larger than specified precision allowed for this column");
        return;
      }
      d = stored;
    }
    if (type == SQLITE_INTEGER && sqlite3_value_type(argv[3]) == SQLITE_NULL) {
      sqlite3_result_int64(ctx, sqlite3_value_int64(v));
      return;
    }
    resultNumber(ctx, d);
    return;
  }
  std::string text;
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
    text = canonicalNumber(sqlite3_value_double(v));
  else
    text = textArg(v);
  if (kind == "D") {
    if (!canonicalDate(text)) {
      error(ctx, "ORA-01861: literal does not match format string");
      return;
    }
    sqlite3_result_text(ctx, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
    return;
  }
  if (kind == "V" || kind == "C") {
    // widths count characters (NLS_LENGTH_SEMANTICS = CHAR)
    const long long max = sqlite3_value_int(argv[2]);
    const long long chars = (long long)utf8::decode(text).size();
    if (chars > max) {
      error(ctx, "ORA-12899: value too large for column " + qualified(argv) + " (actual: " +
                     std::to_string(chars) + ", maximum: " + std::to_string(max) + ")");
      return;
    }
    if (kind == "C" && chars < max) text.append(size_t(max - chars), ' ');
  }
  sqlite3_result_text(ctx, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
}

struct SingleRow {
  int rows;
  sqlite3_value* value;
};

void singleStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* s = static_cast<SingleRow*>(sqlite3_aggregate_context(ctx, sizeof(SingleRow)));
  if (!s) return;
  if (++s->rows == 2) {
    error(ctx, "ORA-01427: single-row subquery returns more than one row");
    return;
  }
  if (s->rows == 1) s->value = sqlite3_value_dup(argv[0]);
}

void singleFinal(sqlite3_context* ctx) {
  auto* s = static_cast<SingleRow*>(sqlite3_aggregate_context(ctx, 0));
  if (!s || s->rows == 0) {
    sqlite3_result_null(ctx);
    return;
  }
  if (s->rows > 1) {
    error(ctx, "ORA-01427: single-row subquery returns more than one row");
  } else {
    sqlite3_result_value(ctx, s->value);
  }
  sqlite3_value_free(s->value);
}

}  // namespace

// n / 10^k with an exact integer n < 2^53 and an exact power of ten is correctly
// rounded, so this equals parsing the 15-digit text, without the text.
double roundDecimal15(double v) {
  if (v == 0 || std::nearbyint(v) == v) return v;
  int digits = int(std::floor(std::log10(std::fabs(v)))) + 1;
  int k = 15 - digits;
  static const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (k >= 0 && k <= 22) return std::nearbyint(v * kPow10[k]) / kPow10[k];
  if (k < 0 && k >= -22) return std::nearbyint(v / kPow10[-k]) * kPow10[-k];
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return std::strtod(buf, nullptr);
}

namespace {

// Oracle's NUMBER is decimal: 0.1 + 0.2 is exactly 0.3. A binary result that is
// not an integer is brought back to 15 significant digits, so it compares, groups
// and sorts like the decimal value it stands for.
void korvoDecimal(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_FLOAT) {
    sqlite3_result_value(ctx, argv[0]);
    return;
  }
  double v = sqlite3_value_double(argv[0]);
  if (!std::isfinite(v)) {
    error(ctx, "ORA-01426: numeric overflow");
    return;
  }
  double r = roundDecimal15(v);
  if (std::nearbyint(r) == r && std::fabs(r) < 9.0e15)
    sqlite3_result_int64(ctx, (sqlite3_int64)r);
  else
    sqlite3_result_double(ctx, r);
}

}  // namespace

bool fitNumber(double v, int precision, int scale, double& stored) {
  double factor = std::pow(10.0, scale);
  double r = std::round(v * factor) / factor;  // half away from zero
  if (scale < 0) r = std::round(v / std::pow(10.0, -scale)) * std::pow(10.0, -scale);
  // Guard against binary noise: 7456123.89 * 100 must not turn into ...88.99999
  double scaled = v * factor;
  double nearest = std::nearbyint(scaled * 1e6) / 1e6;
  if (scale >= 0) r = std::round(nearest) / factor;
  double limit = std::pow(10.0, precision - scale);
  if (std::fabs(r) >= limit) return false;
  stored = r;
  return true;
}

void registerEngineFunctions(sqlite3* db) {
  registerChainFunctions(db);
  registerRecursionGuard(db);
  sqlite3_create_function(db, "korvo_write", 10, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                          korvoWrite, nullptr, nullptr);
  sqlite3_create_function(db, "korvo_decimal", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                          korvoDecimal, nullptr, nullptr);
  sqlite3_create_function(db, "korvo_single_row", 1, SQLITE_UTF8, nullptr, nullptr, singleStep,
                          singleFinal);
}

}  // namespace korvo::engine
