#pragma once
// Sort keys of the ordered aggregates (LISTAGG ... WITHIN GROUP, KEEP): one
// direction string 'A,DF' for the keys (A or D, then F or L for NULLS FIRST or
// LAST; by default NULLs sort as the largest value), and the keys' values.
#include <string>
#include <vector>

#include "engine/functions_support.h"

namespace korvo::engine::udf {

struct SortKey {
  enum class Kind { Null, Number, Text } kind = Kind::Null;
  double number = 0;
  std::string text;
};

struct KeyOrder {
  bool descending = false;
  bool nullsFirst = false;
};

// ORA-00909 when the string does not describe exactly keys keys.
std::vector<KeyOrder> parseOrder(const std::string& spec, std::size_t keys);
SortKey keyOf(sqlite3_context* c, sqlite3_value* v);
// Negative when a sorts before b under one key's order.
int compareKeys(const SortKey& a, const SortKey& b, const KeyOrder& order);

}  // namespace korvo::engine::udf
