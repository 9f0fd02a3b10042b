#include "engine/functions_support.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <ctime>
#include <new>

#include "engine/number_format.h"
#include "engine/ora_error.h"
#include "engine/session.h"
#include "engine/value.h"

namespace korvo::engine::udf {

namespace {

struct Registration {
  FunctionContext* ctx;
  Body body;
  AggregateBodies aggregate;
};

Registration& registrationOf(sqlite3_context* c) {
  return *static_cast<Registration*>(sqlite3_user_data(c));
}

// Runs a body, turning what it throws into the statement's error.
template <typename F>
void guarded(sqlite3_context* c, F&& f) {
  try {
    f();
  } catch (const OraError& e) {
    sqlite3_result_error(c, e.what(), -1);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(c);
  } catch (const std::exception& e) {
    sqlite3_result_error(c, e.what(), -1);
  }
}

void trampoline(sqlite3_context* c, int argc, sqlite3_value** argv) {
  guarded(c, [&] { registrationOf(c).body(c, argc, argv); });
}

void stepTrampoline(sqlite3_context* c, int argc, sqlite3_value** argv) {
  guarded(c, [&] { registrationOf(c).aggregate.step(c, argc, argv); });
}

void inverseTrampoline(sqlite3_context* c, int argc, sqlite3_value** argv) {
  guarded(c, [&] { registrationOf(c).aggregate.inverse(c, argc, argv); });
}

void valueTrampoline(sqlite3_context* c) {
  guarded(c, [&] { registrationOf(c).aggregate.value(c); });
}

void finalTrampoline(sqlite3_context* c) {
  guarded(c, [&] { registrationOf(c).aggregate.final(c); });
}

void destroyRegistration(void* p) { delete static_cast<Registration*>(p); }

std::string_view bytesOf(sqlite3_value* v) {
  const auto* data = static_cast<const char*>(sqlite3_value_blob(v));
  const int size = sqlite3_value_bytes(v);
  return data ? std::string_view(data, static_cast<std::size_t>(size)) : std::string_view();
}

std::string_view textOf(sqlite3_value* v) {
  const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(v));
  const int size = sqlite3_value_bytes(v);
  return data ? std::string_view(data, static_cast<std::size_t>(size)) : std::string_view();
}

constexpr double kInt64Limit = 9223372036854775807.0;

}  // namespace

void define(sqlite3* db, FunctionContext* ctx, const char* name, int argc, Body body,
            bool deterministic) {
  auto* r = new Registration{ctx, body, {}};
  // The context only changes between statements, so within one statement a
  // function of it is still deterministic.
  const int flags = SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC : 0);
  const int rc = sqlite3_create_function_v2(db, name, argc, flags, r, trampoline, nullptr, nullptr,
                                            destroyRegistration);
  if (rc != SQLITE_OK)
    throw OraError(600, std::string("internal error code, arguments: [function ") + name + "]");
}

void defineAggregate(sqlite3* db, FunctionContext* ctx, const char* name, int argc,
                     const AggregateBodies& bodies) {
  auto* r = new Registration{ctx, nullptr, bodies};
  const bool window = bodies.inverse && bodies.value;
  const int rc = sqlite3_create_window_function(
      db, name, argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC, r, stepTrampoline, finalTrampoline,
      window ? valueTrampoline : nullptr, window ? inverseTrampoline : nullptr,
      destroyRegistration);
  if (rc != SQLITE_OK)
    throw OraError(600, std::string("internal error code, arguments: [function ") + name + "]");
}

const FunctionContext& contextOf(sqlite3_context* c) { return *registrationOf(c).ctx; }

char decimalCharOf(sqlite3_context* c) {
  const Nls* nls = contextOf(c).nls;
  return nls ? nls->decimalSeparator : '.';
}

char groupCharOf(sqlite3_context* c) {
  const Nls* nls = contextOf(c).nls;
  return nls ? nls->groupSeparator : ',';
}

std::string dateFormatOf(sqlite3_context* c) {
  const Nls* nls = contextOf(c).nls;
  return nls ? nls->dateFormat : std::string("DD-MON-RR");
}

DateTime nowOf(sqlite3_context* c) {
  if (auto d = parseCanonicalDate(contextOf(c).sysdate)) return *d;
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

bool isNull(sqlite3_value* v) {
  const int type = sqlite3_value_type(v);
  if (type == SQLITE_NULL) return true;
  if (type == SQLITE_TEXT || type == SQLITE_BLOB) return sqlite3_value_bytes(v) == 0;
  return false;
}

bool isNumeric(sqlite3_value* v) {
  const int type = sqlite3_value_type(v);
  return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

std::optional<Number> numberArg(sqlite3_context* c, sqlite3_value* v) {
  if (isNull(v)) return std::nullopt;
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return Number::ofInteger(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      return Number::ofReal(sqlite3_value_double(v));
    case SQLITE_TEXT:
      return Number::ofReal(parseNumber(textOf(v), decimalCharOf(c)));
    default:
      throw OraError(1722);
  }
}

std::optional<double> doubleArg(sqlite3_context* c, sqlite3_value* v) {
  auto n = numberArg(c, v);
  if (!n) return std::nullopt;
  return n->value();
}

std::optional<long long> integerArg(sqlite3_context* c, sqlite3_value* v) {
  auto n = numberArg(c, v);
  if (!n) return std::nullopt;
  if (n->isInteger) return n->integer;
  const double t = std::trunc(n->real);
  if (!std::isfinite(t)) throw OraError(1426);
  if (t >= kInt64Limit) return static_cast<long long>(kInt64Limit - 1024);
  if (t <= -kInt64Limit) return -static_cast<long long>(kInt64Limit - 1024);
  return static_cast<long long>(t);
}

std::optional<std::string> textArg(sqlite3_context* c, sqlite3_value* v) {
  if (isNull(v)) return std::nullopt;
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return std::to_string(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      return canonicalNumber(sqlite3_value_double(v), decimalCharOf(c));
    case SQLITE_BLOB:
      return std::string(bytesOf(v));
    default:
      return std::string(textOf(v));
  }
}

std::optional<DateTime> dateArg(sqlite3_context* c, sqlite3_value* v) {
  if (isNull(v)) return std::nullopt;
  if (isNumeric(v)) throw OraError(932, "inconsistent datatypes: expected DATE got NUMBER");
  const std::string_view text = textOf(v);
  if (auto d = parseCanonicalDate(text)) return d;
  return parseDate(text, dateFormatOf(c), nowOf(c));
}

void setNumber(sqlite3_context* c, double v) {
  if (!std::isfinite(v)) throw OraError(1426);
  const double nearest = std::nearbyint(v);
  // Integral, or within a few units in the last place of an integer (0.3/0.1).
  if (std::fabs(nearest) < kInt64Limit &&
      (v == nearest || std::fabs(v - nearest) <= std::fabs(v) * 4 * DBL_EPSILON)) {
    sqlite3_result_int64(c, static_cast<long long>(nearest));
    return;
  }
  sqlite3_result_double(c, v);
}

void setNumber(sqlite3_context* c, const Number& n) {
  if (n.isInteger) {
    sqlite3_result_int64(c, n.integer);
  } else {
    setNumber(c, n.real);
  }
}

void setText(sqlite3_context* c, std::string_view text) {
  if (text.empty()) {
    sqlite3_result_null(c);
    return;
  }
  sqlite3_result_text64(c, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void setDate(sqlite3_context* c, const DateTime& d) { setText(c, canonicalDate(d)); }

void setValue(sqlite3_context* c, sqlite3_value* v) {
  if (isNull(v)) {
    sqlite3_result_null(c);
  } else {
    sqlite3_result_value(c, v);
  }
}

int compareValues(sqlite3_context* c, sqlite3_value* a, sqlite3_value* b) {
  if (isNumeric(a) || isNumeric(b)) {
    const Number x = *numberArg(c, a);
    const Number y = *numberArg(c, b);
    if (x.isInteger && y.isInteger) return (x.integer > y.integer) - (x.integer < y.integer);
    const double dx = toSignificant15(x.value());
    const double dy = toSignificant15(y.value());
    return (dx > dy) - (dx < dy);
  }
  const std::string x = *textArg(c, a);
  const std::string y = *textArg(c, b);
  const int r = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
  if (r != 0) return r < 0 ? -1 : 1;
  return (x.size() > y.size()) - (x.size() < y.size());
}

}  // namespace korvo::engine::udf
