// STDDEV, VARIANCE and MEDIAN (with the _SAMP and _POP variants), usable as
// aggregates and as analytic functions. NULLs are ignored.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/functions_support.h"
#include "engine/number_format.h"

namespace korvo::engine::udf {

namespace {

// Running mean and sum of squared deviations (Welford), and the values
// themselves for MEDIAN.
struct Accumulator {
  long double count = 0;
  long double mean = 0;
  long double squares = 0;
  std::vector<double> values;

  void add(double x) {
    count += 1;
    const long double delta = x - mean;
    mean += delta / count;
    squares += delta * (x - mean);
  }

  void remove(double x) {
    if (count <= 1) {
      count = mean = squares = 0;
      return;
    }
    const long double old = mean;
    mean = (count * old - x) / (count - 1);
    count -= 1;
    squares -= (x - old) * (x - mean);
    if (squares < 0) squares = 0;
  }
};

void stepMoments(sqlite3_context* c, int, sqlite3_value** argv) {
  auto x = doubleArg(c, argv[0]);
  if (x) stateOf<Accumulator>(c, true)->add(*x);
}

void inverseMoments(sqlite3_context* c, int, sqlite3_value** argv) {
  auto x = doubleArg(c, argv[0]);
  if (!x) return;
  if (Accumulator* a = stateOf<Accumulator>(c, false)) a->remove(*x);
}

void stepValues(sqlite3_context* c, int, sqlite3_value** argv) {
  auto x = doubleArg(c, argv[0]);
  if (x) stateOf<Accumulator>(c, true)->values.push_back(*x);
}

void inverseValues(sqlite3_context* c, int, sqlite3_value** argv) {
  auto x = doubleArg(c, argv[0]);
  if (!x) return;
  Accumulator* a = stateOf<Accumulator>(c, false);
  if (!a) return;
  auto it = std::find(a->values.begin(), a->values.end(), *x);
  if (it != a->values.end()) a->values.erase(it);
}

enum class Kind { Variance, VarSamp, VarPop };

void setVariance(sqlite3_context* c, Kind kind, bool root) {
  const Accumulator* a = stateOf<Accumulator>(c, false);
  const long double n = a ? a->count : 0;
  if (n == 0 || (kind == Kind::VarSamp && n < 2)) return sqlite3_result_null(c);
  long double v = 0;  // VARIANCE of one row is 0
  if (kind == Kind::VarPop) {
    v = a->squares / n;
  } else if (n >= 2) {
    v = a->squares / (n - 1);
  }
  const double result = static_cast<double>(root ? std::sqrt(v) : v);
  setNumber(c, toSignificant15(result));
}

void setMedian(sqlite3_context* c) {
  const Accumulator* a = stateOf<Accumulator>(c, false);
  if (!a || a->values.empty()) return sqlite3_result_null(c);
  std::vector<double> v = a->values;
  const std::size_t mid = v.size() / 2;
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid), v.end());
  const double upper = v[mid];
  if (v.size() % 2 == 1) return setNumber(c, upper);
  const double lower = *std::max_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid));
  setNumber(c, toSignificant15((lower + upper) / 2));
}

template <Kind K, bool Root>
void varianceValue(sqlite3_context* c) {
  setVariance(c, K, Root);
}

template <Kind K, bool Root>
void varianceFinal(sqlite3_context* c) {
  setVariance(c, K, Root);
  releaseState<Accumulator>(c);
}

void medianFinal(sqlite3_context* c) {
  setMedian(c);
  releaseState<Accumulator>(c);
}

template <Kind K, bool Root>
AggregateBodies moments() {
  return {stepMoments, inverseMoments, varianceValue<K, Root>, varianceFinal<K, Root>};
}

}  // namespace

void registerAggregateFunctions(sqlite3* db, FunctionContext* ctx) {
  defineAggregate(db, ctx, "VARIANCE", 1, moments<Kind::Variance, false>());
  defineAggregate(db, ctx, "STDDEV", 1, moments<Kind::Variance, true>());
  defineAggregate(db, ctx, "VAR_SAMP", 1, moments<Kind::VarSamp, false>());
  defineAggregate(db, ctx, "STDDEV_SAMP", 1, moments<Kind::VarSamp, true>());
  defineAggregate(db, ctx, "VAR_POP", 1, moments<Kind::VarPop, false>());
  defineAggregate(db, ctx, "STDDEV_POP", 1, moments<Kind::VarPop, true>());
  defineAggregate(db, ctx, "MEDIAN", 1, {stepValues, inverseValues, setMedian, medianFinal});
}

}  // namespace korvo::engine::udf
