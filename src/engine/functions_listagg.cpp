// LISTAGG(x, delimiter) WITHIN GROUP (ORDER BY k1 [DESC] [NULLS ...], ...) as the
// translator emits it: ora_listagg(x, delimiter, 'A,DF', k1, k2...). The third
// argument gives one direction per key (A or D), optionally followed by F or L
// for NULLS FIRST or LAST (default: NULLs sort as the largest value); a leading
// '!' asks for LISTAGG (DISTINCT x): each value once, where it first comes.
#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/functions_sort_keys.h"
#include "engine/functions_support.h"
#include "engine/number_format.h"
#include "engine/ora_error.h"

namespace korvo::engine::udf {

namespace {

constexpr std::size_t kMaxVarchar = 4000;

struct Item {
  std::string value;
  std::vector<SortKey> keys;
};

struct ListState {
  bool started = false;
  bool distinct = false;
  std::optional<std::string> delimiter;
  std::vector<KeyOrder> order;
  std::vector<Item> items;
  std::optional<std::string> rendered;
};

[[noreturn]] void badArguments() { throw OraError(909); }

void step(sqlite3_context* c, int argc, sqlite3_value** argv) {
  if (argc < 3) badArguments();
  ListState* s = stateOf<ListState>(c, true);
  if (!s->started) {
    s->started = true;
    s->delimiter = textArg(c, argv[1]);
    std::string spec = textArg(c, argv[2]).value_or("");
    s->distinct = !spec.empty() && spec[0] == '!';
    if (s->distinct) spec.erase(0, 1);
    s->order = parseOrder(spec, static_cast<std::size_t>(argc - 3));
  }
  auto value = textArg(c, argv[0]);
  if (!value) return;
  Item item{std::move(*value), {}};
  for (int i = 3; i < argc; ++i) item.keys.push_back(keyOf(c, argv[i]));
  s->items.push_back(std::move(item));
  s->rendered.reset();
}

// The list of the rows so far; kept until a row comes or goes, since an analytic
// LISTAGG reads the same list once per row of its partition.
const std::string& render(ListState& s) {
  if (s.rendered) return *s.rendered;
  std::stable_sort(s.items.begin(), s.items.end(), [&](const Item& a, const Item& b) {
    for (std::size_t k = 0; k < s.order.size(); ++k) {
      const int r = compareKeys(a.keys[k], b.keys[k], s.order[k]);
      if (r != 0) return r < 0;
    }
    return false;
  });
  std::string out;
  std::set<std::string> seen;
  bool first = true;
  for (const Item& item : s.items) {
    if (s.distinct && !seen.insert(item.value).second) continue;
    if (!first && s.delimiter) out += *s.delimiter;
    first = false;
    out += item.value;
    if (out.size() > kMaxVarchar)
      throw OraError(1489);
  }
  return *(s.rendered = std::move(out));
}

// A row leaving a moving window: the first item with its value and keys.
void inverse(sqlite3_context* c, int argc, sqlite3_value** argv) {
  ListState* s = stateOf<ListState>(c, false);
  auto value = textArg(c, argv[0]);
  if (!s || !value) return;
  for (auto it = s->items.begin(); it != s->items.end(); ++it) {
    bool same = it->value == *value;
    for (int i = 3; same && i < argc; ++i)
      same = compareKeys(it->keys[std::size_t(i - 3)], keyOf(c, argv[i]), KeyOrder{}) == 0;
    if (same) {
      s->items.erase(it);
      s->rendered.reset();
      return;
    }
  }
}

void current(sqlite3_context* c) {
  ListState* s = stateOf<ListState>(c, false);
  if (!s) return sqlite3_result_null(c);
  setText(c, render(*s));
}

void finish(sqlite3_context* c) {
  auto** slot = static_cast<ListState**>(sqlite3_aggregate_context(c, 0));
  if (!slot || !*slot) return sqlite3_result_null(c);
  std::unique_ptr<ListState> s(*slot);
  *slot = nullptr;
  setText(c, render(*s));
}

}  // namespace

void registerListagg(sqlite3* db, FunctionContext* ctx) {
  defineAggregate(db, ctx, "ora_listagg", -1, {step, inverse, current, finish});
}

}  // namespace korvo::engine::udf
