// ora_non_null(x, n, fromLast): the n-th value of x that is not NULL in the
// window's frame, counted from its first row (fromLast 0) or its last (1); the
// translation of FIRST_VALUE, LAST_VALUE, NTH_VALUE, LAG and LEAD ... IGNORE NULLS.
// Rows leave a moving frame oldest first, so the frame's non-null values are a
// queue: a value in at the back, out at the front.
#include <deque>

#include "engine/functions_support.h"
#include "engine/ora_error.h"

namespace korvo::engine::udf {

namespace {

struct NonNullState {
  long long nth = 1;
  bool fromLast = false;
  std::deque<sqlite3_value*> values;  // copies, owned
  ~NonNullState() {
    for (sqlite3_value* v : values) sqlite3_value_free(v);
  }
};

void step(sqlite3_context* c, int argc, sqlite3_value** argv) {
  if (argc != 3) throw OraError(909);
  const bool first = !stateOf<NonNullState>(c, false);
  NonNullState* s = stateOf<NonNullState>(c, true);
  if (first) {
    const auto n = integerArg(c, argv[1]);
    if (!n || *n < 1) throw OraError(1428, "argument '" + textArg(c, argv[1]).value_or("") +
                                               "' is out of range");
    s->nth = *n;
    s->fromLast = integerArg(c, argv[2]).value_or(0) != 0;
  }
  if (isNull(argv[0])) return;
  sqlite3_value* copy = sqlite3_value_dup(argv[0]);
  if (!copy) return sqlite3_result_error_nomem(c);
  s->values.push_back(copy);
}

void inverse(sqlite3_context* c, int, sqlite3_value** argv) {
  NonNullState* s = stateOf<NonNullState>(c, false);
  if (!s || isNull(argv[0]) || s->values.empty()) return;
  sqlite3_value_free(s->values.front());
  s->values.pop_front();
}

void current(sqlite3_context* c) {
  const NonNullState* s = stateOf<NonNullState>(c, false);
  if (!s || s->nth > static_cast<long long>(s->values.size())) return sqlite3_result_null(c);
  const size_t at = s->fromLast ? s->values.size() - size_t(s->nth) : size_t(s->nth) - 1;
  sqlite3_result_value(c, s->values[at]);
}

void finish(sqlite3_context* c) {
  current(c);
  releaseState<NonNullState>(c);
}

}  // namespace

void registerIgnoreNulls(sqlite3* db, FunctionContext* ctx) {
  defineAggregate(db, ctx, "ora_non_null", 3, {step, inverse, current, finish});
}

}  // namespace korvo::engine::udf
