// MIN/MAX/SUM/AVG/COUNT(x) KEEP (DENSE_RANK FIRST|LAST ORDER BY k1, ...) as the
// translator emits it: ora_keep('MIN', x, 'FIRST', 'A,DF', k1, k2...). The group
// function reads only the rows whose keys rank first (or last); NULL values of
// x are ignored as the group function ignores them.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/functions_sort_keys.h"
#include "engine/functions_support.h"
#include "engine/number_format.h"
#include "engine/ora_error.h"

namespace korvo::engine::udf {

namespace {

enum class Fn { Min, Max, Sum, Avg, Count };

struct Row {
  SortKey value;
  std::vector<SortKey> keys;
};

struct KeepState {
  bool started = false;
  Fn fn = Fn::Min;
  bool last = false;
  std::vector<KeyOrder> order;
  std::vector<Row> rows;
};

[[noreturn]] void badArguments() { throw OraError(909); }

Fn fnOf(const std::string& name) {
  if (name == "MIN") return Fn::Min;
  if (name == "MAX") return Fn::Max;
  if (name == "SUM") return Fn::Sum;
  if (name == "AVG") return Fn::Avg;
  if (name == "COUNT") return Fn::Count;
  badArguments();
}

void step(sqlite3_context* c, int argc, sqlite3_value** argv) {
  if (argc < 5) badArguments();
  KeepState* s = stateOf<KeepState>(c, true);
  if (!s->started) {
    s->started = true;
    s->fn = fnOf(textArg(c, argv[0]).value_or(""));
    s->last = textArg(c, argv[2]).value_or("") == "LAST";
    s->order = parseOrder(textArg(c, argv[3]).value_or(""), static_cast<std::size_t>(argc - 4));
  }
  Row row;
  row.value = keyOf(c, argv[1]);
  if (s->fn == Fn::Sum || s->fn == Fn::Avg) {
    if (auto n = doubleArg(c, argv[1])) {  // text converted as Oracle does (ORA-01722)
      row.value.kind = SortKey::Kind::Number;
      row.value.number = *n;
    }
  }
  for (int i = 4; i < argc; ++i) row.keys.push_back(keyOf(c, argv[i]));
  s->rows.push_back(std::move(row));
}

int compareRows(const KeepState& s, const Row& a, const Row& b) {
  for (std::size_t k = 0; k < s.order.size(); ++k)
    if (int r = compareKeys(a.keys[k], b.keys[k], s.order[k])) return r;
  return 0;
}

// Sets the group function's value over the rows that rank first (or last).
void setResult(sqlite3_context* c, const KeepState& s) {
  if (s.rows.empty()) return sqlite3_result_null(c);
  const Row* rank = &s.rows[0];
  for (const Row& r : s.rows) {
    const int cmp = compareRows(s, r, *rank);
    if (s.last ? cmp > 0 : cmp < 0) rank = &r;
  }
  const KeyOrder ascending;
  const SortKey* best = nullptr;
  double sum = 0;
  long long count = 0;
  for (const Row& r : s.rows) {
    if (compareRows(s, r, *rank) != 0 || r.value.kind == SortKey::Kind::Null) continue;
    ++count;
    sum += r.value.number;
    const int cmp = best ? compareKeys(r.value, *best, ascending) : 0;
    if (!best || (s.fn == Fn::Min ? cmp < 0 : cmp > 0)) best = &r.value;
  }
  switch (s.fn) {
    case Fn::Count:
      return setNumber(c, Number::ofInteger(count));
    case Fn::Sum:
      return count ? setNumber(c, toSignificant15(sum)) : sqlite3_result_null(c);
    case Fn::Avg:
      return count ? setNumber(c, toSignificant15(sum / double(count))) : sqlite3_result_null(c);
    case Fn::Min:
    case Fn::Max:
      if (!best) return sqlite3_result_null(c);
      if (best->kind == SortKey::Kind::Number) return setNumber(c, best->number);
      return setText(c, best->text);
  }
}

// A row leaving a moving window: the first one with its value and keys.
void inverse(sqlite3_context* c, int argc, sqlite3_value** argv) {
  KeepState* s = stateOf<KeepState>(c, false);
  if (!s || argc < 5) return;
  const SortKey value = keyOf(c, argv[1]);
  for (auto it = s->rows.begin(); it != s->rows.end(); ++it) {
    bool same =
        it->value.kind == SortKey::Kind::Null
            ? value.kind == SortKey::Kind::Null
            : value.kind != SortKey::Kind::Null && compareKeys(it->value, value, KeyOrder{}) == 0;
    for (int i = 4; same && i < argc; ++i)
      same = compareKeys(it->keys[std::size_t(i - 4)], keyOf(c, argv[i]), KeyOrder{}) == 0;
    if (same) {
      s->rows.erase(it);
      return;
    }
  }
}

void current(sqlite3_context* c) {
  const KeepState* s = stateOf<KeepState>(c, false);
  if (!s) return sqlite3_result_null(c);
  setResult(c, *s);
}

void finish(sqlite3_context* c) {
  const KeepState* s = stateOf<KeepState>(c, false);
  if (!s) return sqlite3_result_null(c);
  setResult(c, *s);
  releaseState<KeepState>(c);
}

}  // namespace

void registerKeep(sqlite3* db, FunctionContext* ctx) {
  defineAggregate(db, ctx, "ora_keep", -1, {step, inverse, current, finish});
}

}  // namespace korvo::engine::udf
