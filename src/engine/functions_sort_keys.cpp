#include "engine/functions_sort_keys.h"

#include "engine/number_format.h"
#include "engine/ora_error.h"

namespace korvo::engine::udf {

namespace {

[[noreturn]] void badArguments() { throw OraError(909); }

}  // namespace

std::vector<KeyOrder> parseOrder(const std::string& spec, std::size_t keys) {
  std::vector<KeyOrder> out;
  std::size_t i = 0;
  while (i < spec.size()) {
    KeyOrder k;
    const char dir = spec[i++];
    if (dir != 'A' && dir != 'D') badArguments();
    k.descending = dir == 'D';
    k.nullsFirst = k.descending;
    if (i < spec.size() && (spec[i] == 'F' || spec[i] == 'L')) k.nullsFirst = spec[i++] == 'F';
    if (i < spec.size()) {
      if (spec[i] != ',') badArguments();
      ++i;
    }
    out.push_back(k);
  }
  if (out.size() != keys) badArguments();
  return out;
}

SortKey keyOf(sqlite3_context* c, sqlite3_value* v) {
  SortKey k;
  if (isNull(v)) return k;
  if (isNumeric(v)) {
    k.kind = SortKey::Kind::Number;
    k.number = toSignificant15(*doubleArg(c, v));
  } else {
    k.kind = SortKey::Kind::Text;
    k.text = *textArg(c, v);
  }
  return k;
}

// Negative when a sorts before b under one key's order.
int compareKeys(const SortKey& a, const SortKey& b, const KeyOrder& order) {
  using K = SortKey::Kind;
  if (a.kind == K::Null || b.kind == K::Null) {
    if (a.kind == b.kind) return 0;
    return (a.kind == K::Null) == order.nullsFirst ? -1 : 1;
  }
  int r;
  if (a.kind != b.kind) {
    r = a.kind == K::Number ? -1 : 1;
  } else if (a.kind == K::Number) {
    r = (a.number > b.number) - (a.number < b.number);
  } else {
    r = a.text.compare(b.text);
    r = (r > 0) - (r < 0);
  }
  return order.descending ? -r : r;
}

}  // namespace korvo::engine::udf
