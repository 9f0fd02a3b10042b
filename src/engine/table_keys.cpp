#include "engine/table_keys.h"

#include <cstdio>
#include <set>

#include "engine/ora_error.h"

namespace korvo::engine {

std::vector<CatalogIndex> tableKeys(const std::vector<ast::KeyConstraint>& keys,
                                    CatalogTable& table, Catalog& catalog) {
  std::vector<CatalogIndex> out;
  bool primary = false;
  std::set<std::string> names;
  int next = 1;
  for (const auto& k : keys) {
    if (k.primary && primary) throw OraError(2260);
    primary = primary || k.primary;
    CatalogIndex idx;
    idx.table = table.name;
    idx.unique = true;
    std::set<std::string> seen;
    for (const auto& c : k.columns) {
      int at = table.columnIndex(c.text);
      if (at < 0) throw OraError(904, "\"" + c.text + "\": invalid identifier");
      if (!seen.insert(c.text).second) throw OraError(957);
      if (k.primary) table.columns[size_t(at)].notNull = true;
      idx.columns.push_back(c.text);
    }
    for (const auto& other : out)
      if (std::set<std::string>(other.columns.begin(), other.columns.end()) == seen)
        throw OraError(2261);
    if (!k.name.empty()) {
      idx.name = k.name.text;
      if (catalog.index(idx.name) || !names.insert(idx.name).second)
        throw OraError(2264);
    } else {
      // the system's names, never one already taken
      for (;; ++next) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "SYS_C%07d", next);
        if (!catalog.index(buf) && !names.count(buf)) {
          idx.name = buf;
          break;
        }
      }
      names.insert(idx.name);
    }
    out.push_back(std::move(idx));
  }
  return out;
}

std::string indexSql(const CatalogIndex& index, const CatalogTable& table) {
  bool nullable = false;
  for (const auto& c : index.columns) {
    const int at = table.columnIndex(c);
    nullable = nullable || (at >= 0 && !table.columns[size_t(at)].notNull);
  }
  std::string head = std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX " +
                     sqlName(index.name) + " ON " + sqlName(table.name) + " (";
  std::string cols, keyed;
  for (size_t i = 0; i < index.columns.size(); ++i) {
    const std::string col = sqlName(index.columns[i]);
    if (!index.unique || index.columns.size() < 2 || !nullable) {
      cols += (i ? ", " : "") + col;
      continue;
    }
    // a blob is never a stored value: NULL as a value of its own, equal to itself
    cols += std::string(i ? ", " : "") + "ifnull(" + col + ", x'')";
    keyed += std::string(i ? " OR " : "") + col + " IS NOT NULL";
  }
  return head + cols + ")" + (keyed.empty() ? "" : " WHERE " + keyed);
}

}  // namespace korvo::engine
