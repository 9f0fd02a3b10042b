// Numeric functions with Oracle's decimal behaviour: ROUND half away from zero,
// MOD by truncation, division by zero as ORA-01476.
#include <climits>
#include <cmath>
#include <string>

#include "engine/functions_support.h"
#include "engine/number_format.h"
#include "engine/ora_error.h"
#include "engine/value.h"

namespace korvo::engine::udf {

namespace {

[[noreturn]] void outOfRange(double v) {
  throw OraError(1428, "argument '" + canonicalNumber(v) + "' is out of range");
}

// Places are clamped: beyond these a double has no digits left to change.
int clampPlaces(long long places) {
  if (places > 400) return 400;
  if (places < -400) return -400;
  return static_cast<int>(places);
}

// Removes the noise a subtraction of doubles leaves below the 15th digit of scale.
double cleanResidual(double r, double scale) {
  if (r == 0 || scale == 0) return r;
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(scale))));
  return roundToPlaces(r, 14 - magnitude);
}

void setDoubleResult(sqlite3_context* c, double v) { setNumber(c, toSignificant15(v)); }

// A TEXT argument in the canonical date form goes to the date variant.
bool isDateText(sqlite3_value* v) {
  if (sqlite3_value_type(v) != SQLITE_TEXT) return false;
  return parseCanonicalDate(reinterpret_cast<const char*>(sqlite3_value_text(v))).has_value();
}

std::string formatArg(sqlite3_context* c, int argc, sqlite3_value** argv) {
  if (argc < 2) return {};
  return textArg(c, argv[1]).value_or("");
}

// Rounds (or truncates) an integer to a negative number of places.
Number integerToPlaces(long long n, long long places, bool round) {
  if (places >= 0) return Number::ofInteger(n);
  if (places < -18) return Number::ofInteger(0);
  __int128 p = 1;
  for (long long i = 0; i < -places; ++i) p *= 10;
  __int128 q = n / p;
  const __int128 rem = n % p;
  if (round && 2 * (rem < 0 ? -rem : rem) >= p) q += n < 0 ? -1 : 1;
  const __int128 r = q * p;
  if (r > LLONG_MAX || r < LLONG_MIN) return Number::ofReal(static_cast<double>(r));
  return Number::ofInteger(static_cast<long long>(r));
}

void roundOrTrunc(sqlite3_context* c, int argc, sqlite3_value** argv, bool round) {
  if (isNull(argv[0])) return sqlite3_result_null(c);
  if (isDateText(argv[0])) {
    if (argc > 1 && isNull(argv[1])) return sqlite3_result_null(c);
    const DateTime d = *dateArg(c, argv[0]);
    const std::string fmt = formatArg(c, argc, argv);
    return setDate(c, round ? roundDate(d, fmt) : truncDate(d, fmt));
  }
  const Number n = *numberArg(c, argv[0]);
  long long places = 0;
  if (argc > 1) {
    auto p = integerArg(c, argv[1]);
    if (!p) return sqlite3_result_null(c);
    places = *p;
  }
  if (n.isInteger) return setNumber(c, integerToPlaces(n.integer, places, round));
  const int clamped = clampPlaces(places);
  setNumber(c, round ? roundToPlaces(n.real, clamped) : truncToPlaces(n.real, clamped));
}

void roundFn(sqlite3_context* c, int argc, sqlite3_value** argv) {
  roundOrTrunc(c, argc, argv, true);
}
void truncFn(sqlite3_context* c, int argc, sqlite3_value** argv) {
  roundOrTrunc(c, argc, argv, false);
}

void absFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto n = numberArg(c, argv[0]);
  if (!n) return sqlite3_result_null(c);
  if (n->isInteger && n->integer != LLONG_MIN)
    return sqlite3_result_int64(c, n->integer < 0 ? -n->integer : n->integer);
  setNumber(c, std::fabs(n->value()));
}

void signFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto v = doubleArg(c, argv[0]);
  if (!v) return sqlite3_result_null(c);
  sqlite3_result_int64(c, (*v > 0) - (*v < 0));
}

void modFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto m = numberArg(c, argv[0]);
  auto n = numberArg(c, argv[1]);
  if (!m || !n) return sqlite3_result_null(c);
  if (n->value() == 0) return setNumber(c, *m);
  if (m->isInteger && n->isInteger) {
    if (n->integer == -1) return sqlite3_result_int64(c, 0);
    return sqlite3_result_int64(c, m->integer % n->integer);
  }
  const double a = m->value();
  const double b = n->value();
  const double q = std::trunc(toSignificant15(a / b));
  setNumber(c, cleanResidual(a - b * q, std::fmax(std::fabs(a), std::fabs(b))));
}

void remainderFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto m = doubleArg(c, argv[0]);
  auto n = doubleArg(c, argv[1]);
  if (!m || !n) return sqlite3_result_null(c);
  if (*n == 0) throw OraError(1476);
  const double q = std::nearbyint(toSignificant15(*m / *n));  // ties to even
  setNumber(c, cleanResidual(*m - *n * q, std::fmax(std::fabs(*m), std::fabs(*n))));
}

void ceilFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto n = numberArg(c, argv[0]);
  if (!n) return sqlite3_result_null(c);
  if (n->isInteger) return setNumber(c, *n);
  setNumber(c, std::ceil(toSignificant15(n->real)));
}

void floorFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto n = numberArg(c, argv[0]);
  if (!n) return sqlite3_result_null(c);
  if (n->isInteger) return setNumber(c, *n);
  setNumber(c, std::floor(toSignificant15(n->real)));
}

void powerFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto base = numberArg(c, argv[0]);
  auto exponent = numberArg(c, argv[1]);
  if (!base || !exponent) return sqlite3_result_null(c);
  const double b = base->value();
  const double e = exponent->value();
  if (b < 0 && e != std::trunc(e)) outOfRange(b);
  if (b == 0 && e < 0) outOfRange(b);
  if (base->isInteger && exponent->isInteger && e >= 0) {
    __int128 r = 1;
    bool fits = true;
    for (long long i = 0; i < exponent->integer && fits; ++i) {
      r *= base->integer;
      fits = r <= LLONG_MAX && r >= LLONG_MIN;
      if (r == 0 || r == 1) break;
    }
    if (fits && !(r == 1 && base->integer == -1 && exponent->integer % 2 == 1))
      return sqlite3_result_int64(c, static_cast<long long>(r));
  }
  setDoubleResult(c, std::pow(b, e));
}

void sqrtFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto v = doubleArg(c, argv[0]);
  if (!v) return sqlite3_result_null(c);
  if (*v < 0) outOfRange(*v);
  setDoubleResult(c, std::sqrt(*v));
}

void expFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto v = doubleArg(c, argv[0]);
  if (!v) return sqlite3_result_null(c);
  setDoubleResult(c, std::exp(*v));
}

void lnFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto v = doubleArg(c, argv[0]);
  if (!v) return sqlite3_result_null(c);
  if (*v <= 0) outOfRange(*v);
  setDoubleResult(c, std::log(*v));
}

void logFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto base = doubleArg(c, argv[0]);
  auto v = doubleArg(c, argv[1]);
  if (!base || !v) return sqlite3_result_null(c);
  if (*base <= 0 || *base == 1) outOfRange(*base);
  if (*v <= 0) outOfRange(*v);
  setDoubleResult(c, std::log(*v) / std::log(*base));
}

void bitandFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto a = integerArg(c, argv[0]);
  auto b = integerArg(c, argv[1]);
  if (!a || !b) return sqlite3_result_null(c);
  sqlite3_result_int64(c, *a & *b);
}

// Division as Oracle does it: real, and an error for a zero divisor.
void divide(sqlite3_context* c, int, sqlite3_value** argv) {
  auto a = numberArg(c, argv[0]);
  auto b = numberArg(c, argv[1]);
  if (!a || !b) return sqlite3_result_null(c);
  if (b->value() == 0) throw OraError(1476);
  if (a->isInteger && b->isInteger && b->integer != -1 && a->integer % b->integer == 0)
    return sqlite3_result_int64(c, a->integer / b->integer);
  setNumber(c, a->value() / b->value());
}

// A value written to a NUMBER(p,s) column: rounded to s places, and refused
// when more than p-s digits remain left of the point.
void numberColumn(sqlite3_context* c, int argc, sqlite3_value** argv) {
  auto n = numberArg(c, argv[0]);
  if (!n) return sqlite3_result_null(c);
  auto precision = integerArg(c, argv[1]);
  auto scale = argc > 2 ? integerArg(c, argv[2]) : std::nullopt;
  if (!precision && !scale) return setNumber(c, *n);
  const long long s = scale.value_or(0);
  Number rounded = n->isInteger ? integerToPlaces(n->integer, s, true)
                                : Number::ofReal(roundToPlaces(n->real, clampPlaces(s)));
  if (precision) {
    const double limit = std::pow(10.0, static_cast<double>(*precision - s));
    if (std::fabs(rounded.value()) >= limit)
      throw OraError(1438);
  }
  setNumber(c, rounded);
}

}  // namespace

void registerNumberFunctions(sqlite3* db, FunctionContext* ctx) {
  define(db, ctx, "ROUND", 1, roundFn);
  define(db, ctx, "ROUND", 2, roundFn);
  define(db, ctx, "TRUNC", 1, truncFn);
  define(db, ctx, "TRUNC", 2, truncFn);
  define(db, ctx, "ABS", 1, absFn);
  define(db, ctx, "SIGN", 1, signFn);
  define(db, ctx, "MOD", 2, modFn);
  define(db, ctx, "REMAINDER", 2, remainderFn);
  define(db, ctx, "CEIL", 1, ceilFn);
  define(db, ctx, "FLOOR", 1, floorFn);
  define(db, ctx, "POWER", 2, powerFn);
  define(db, ctx, "SQRT", 1, sqrtFn);
  define(db, ctx, "EXP", 1, expFn);
  define(db, ctx, "LN", 1, lnFn);
  define(db, ctx, "LOG", 2, logFn);
  define(db, ctx, "BITAND", 2, bitandFn);
  define(db, ctx, "ora_div", 2, divide);
  define(db, ctx, "ora_number", 3, numberColumn);
  define(db, ctx, "ora_number", 5, numberColumn);
}

}  // namespace korvo::engine::udf
