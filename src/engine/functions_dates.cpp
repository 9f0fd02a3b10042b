// Date functions and the date arithmetic the translator emits; also the
// session functions USER, USERENV and SYS_GUID.
#include <cstdint>
#include <random>
#include <string>

#include "engine/functions_support.h"
#include "engine/ora_error.h"

namespace korvo::engine::udf {

namespace {

void addMonthsFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto d = dateArg(c, argv[0]);
  auto n = integerArg(c, argv[1]);
  if (!d || !n) return sqlite3_result_null(c);
  setDate(c, addMonths(*d, *n));
}

// date + INTERVAL 'n' MONTH: unlike ADD_MONTHS, a day the target month lacks is an error.
void addIntervalMonthsFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto d = dateArg(c, argv[0]);
  auto n = integerArg(c, argv[1]);
  if (!d || !n) return sqlite3_result_null(c);
  long long total = (long long)d->year * 12 + (d->month - 1) + *n;
  DateTime r = *d;
  r.year = int(total / 12);
  r.month = int(total % 12) + 1;
  if (r.year < kMinYear || r.year > kMaxYear)
    throw OraError(1841);
  if (r.day > daysInMonth(r.year, r.month))
    throw OraError(1839);
  setDate(c, r);
}

void monthsBetweenFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto d1 = dateArg(c, argv[0]);
  auto d2 = dateArg(c, argv[1]);
  if (!d1 || !d2) return sqlite3_result_null(c);
  setNumber(c, monthsBetween(*d1, *d2));
}

void lastDayFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto d = dateArg(c, argv[0]);
  if (!d) return sqlite3_result_null(c);
  setDate(c, lastDay(*d));
}

void nextDayFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto d = dateArg(c, argv[0]);
  auto name = textArg(c, argv[1]);
  if (!d || !name) return sqlite3_result_null(c);
  setDate(c, nextDay(*d, *name));
}

void dateAdd(sqlite3_context* c, int, sqlite3_value** argv) {
  auto d = dateArg(c, argv[0]);
  auto days = doubleArg(c, argv[1]);
  if (!d || !days) return sqlite3_result_null(c);
  setDate(c, addDays(*d, *days));
}

void dateDiff(sqlite3_context* c, int, sqlite3_value** argv) {
  auto d1 = dateArg(c, argv[0]);
  auto d2 = dateArg(c, argv[1]);
  if (!d1 || !d2) return sqlite3_result_null(c);
  setNumber(c, daysBetween(*d1, *d2));
}

// ora_trunc_date(d, fmt) and ora_round_date(d, fmt): a NULL fmt means 'DD'.
void truncOrRoundDate(sqlite3_context* c, sqlite3_value** argv, bool round) {
  auto d = dateArg(c, argv[0]);
  if (!d) return sqlite3_result_null(c);
  const std::string fmt = textArg(c, argv[1]).value_or("");
  setDate(c, round ? roundDate(*d, fmt) : truncDate(*d, fmt));
}

void truncDateFn(sqlite3_context* c, int, sqlite3_value** argv) {
  truncOrRoundDate(c, argv, false);
}
void roundDateFn(sqlite3_context* c, int, sqlite3_value** argv) { truncOrRoundDate(c, argv, true); }

void extractFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto field = textArg(c, argv[0]);
  auto d = dateArg(c, argv[1]);
  if (!field || !d) return sqlite3_result_null(c);
  sqlite3_result_int64(c, extractFromDate(*field, *d));
}

void userFn(sqlite3_context* c, int, sqlite3_value**) { setText(c, contextOf(c).user); }

void sysdateFn(sqlite3_context* c, int, sqlite3_value**) { setDate(c, nowOf(c)); }

void userenvFn(sqlite3_context* c, int, sqlite3_value** argv) {
  auto param = textArg(c, argv[0]);
  if (!param) throw OraError(2003);
  std::string p;
  for (char ch : *param) p += static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
  if (p == "LANGUAGE") return setText(c, "AMERICAN_AMERICA.AL32UTF8");
  if (p == "LANG") return setText(c, "US");
  if (p == "ISDBA") return setText(c, "FALSE");
  if (p == "TERMINAL") return setText(c, "unknown");
  if (p == "INSTANCE") return sqlite3_result_int64(c, 1);
  if (p == "CLIENT_INFO") return sqlite3_result_null(c);
  if (p == "SESSIONID") {
    // Distinct for each live session of this process.
    const auto id = reinterpret_cast<std::uintptr_t>(&contextOf(c));
    return sqlite3_result_int64(c, static_cast<long long>(id % 1000000007ULL));
  }
  throw OraError(2003);
}

// A RAW(16) as Oracle shows it: 32 upper-case hexadecimal digits.
void sysGuidFn(sqlite3_context* c, int, sqlite3_value**) {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (int half = 0; half < 2; ++half) {
    std::uint64_t bits = generator();
    for (int i = 0; i < 16; ++i, bits >>= 4) out += kHex[bits & 0xF];
  }
  setText(c, out);
}

}  // namespace

void registerDateFunctions(sqlite3* db, FunctionContext* ctx) {
  define(db, ctx, "ADD_MONTHS", 2, addMonthsFn);
  define(db, ctx, "MONTHS_BETWEEN", 2, monthsBetweenFn);
  define(db, ctx, "LAST_DAY", 1, lastDayFn);
  define(db, ctx, "NEXT_DAY", 2, nextDayFn);
  define(db, ctx, "ora_date_add", 2, dateAdd);
  define(db, ctx, "ora_date_add_interval_months", 2, addIntervalMonthsFn);
  define(db, ctx, "ora_date_diff", 2, dateDiff);
  define(db, ctx, "ora_trunc_date", 2, truncDateFn);
  define(db, ctx, "ora_round_date", 2, roundDateFn);
  define(db, ctx, "ora_extract", 2, extractFn);
  define(db, ctx, "USER", 0, userFn);
  define(db, ctx, "ora_sysdate", 0, sysdateFn);
  define(db, ctx, "USERENV", 1, userenvFn);
  define(db, ctx, "SYS_GUID", 0, sysGuidFn, false);
}

}  // namespace korvo::engine::udf
