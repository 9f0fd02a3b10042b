#include "engine/auto_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <set>

#include "engine/dialect_types.h"
#include "engine/hierarchical_tables.h"
#include "engine/nesting.h"

namespace korvo::engine {

namespace {

using ast::Expr;
using ast::ExprKind;
using ast::Query;
using ast::TableRef;

enum class Kind { Unknown, Number, Date, Text, FixedText };

Kind kindOf(const CatalogColumn& c) {
  if (isNumberType(c.type)) return Kind::Number;
  if (c.type == "DATE") return Kind::Date;
  if (c.type == "CHAR") return Kind::FixedText;
  return Kind::Text;
}

// One FROM item: a table of the catalogue, or something else (inline view,
// WITH query, dictionary view) whose columns are not known here.
struct Item {
  std::string name;  // alias, or table name
  const CatalogTable* table = nullptr;
};
using Level = std::vector<Item>;

// Where a column reference of a sub-query's WHERE points.
struct Resolved {
  enum class Where { Inner, Outer, Unknown } where = Where::Unknown;
  const CatalogTable* table = nullptr;  // Inner: the table of the sub-query
  std::string column;
  Kind kind = Kind::Unknown;
};

class RequestCollector {
 public:
  RequestCollector(Catalog& catalog, const std::string& user) : catalog_(catalog), user_(user) {}

  std::vector<AutoIndexRequest> requests;

  void statement(const ast::Statement& s) {
    std::vector<Level> levels;
    if (s.kind == ast::StatementKind::Update || s.kind == ast::StatementKind::Delete) {
      Level target;
      if (const CatalogTable* t = catalog_.table(s.table.text))
        target.push_back({s.alias.empty() ? s.table.text : s.alias.text, t});
      levels.push_back(target);
      for (const auto& a : s.assignments) expr(a.value.get(), levels);
      expr(s.where.get(), levels);
    }
    if (s.query) query(*s.query, levels);
    for (const auto& v : s.values) expr(v.get(), levels);
  }

 private:
  Catalog& catalog_;
  std::string user_;
  int depth_ = 0;  // of the walk, in nodes
  std::vector<std::set<std::string>> ctes_;  // WITH names visible, innermost last

  bool isCommonTable(const std::string& name) const {
    for (const auto& names : ctes_)
      if (names.count(name)) return true;
    return false;
  }

  void fromItem(const TableRef& t, Level& level, const std::vector<Level>& outer) {
    NestingGuard guard(depth_, kMaxTreeDepth, "table reference");
    switch (t.kind) {
      case TableRef::Kind::Table: {
        const CatalogTable* table = nullptr;
        bool own = t.schema.empty() || t.schema.text == user_;
        if (own && !isCommonTable(t.name.text)) table = catalog_.table(t.name.text);
        level.push_back({t.alias.empty() ? t.name.text : t.alias.text, table});
        break;
      }
      case TableRef::Kind::Subquery:
        if (t.query) query(*t.query, outer);
        level.push_back({t.alias.text, nullptr});
        break;
      case TableRef::Kind::Join:
        if (t.left) fromItem(*t.left, level, outer);
        for (const auto& j : t.joins)
          if (j.right) fromItem(*j.right, level, outer);
        break;
    }
  }

  Level levelOf(const ast::SelectCore& core, const std::vector<Level>& outer) {
    Level level;
    for (const auto& t : core.from) fromItem(*t, level, outer);
    return level;
  }

  void query(const Query& q, const std::vector<Level>& outer) {
    NestingGuard guard(depth_, kMaxTreeDepth, "query");
    std::set<std::string> names;
    for (const auto& c : q.with) names.insert(c.name.text);
    ctes_.push_back(names);
    for (const auto& c : q.with)
      if (c.query) query(*c.query, outer);
    if (q.kind == Query::Kind::Compound) {
      for (const auto& m : q.members)
        if (m) query(*m, outer);
    } else {
      std::vector<Level> levels = outer;
      levels.push_back(levelOf(q.core, outer));
      for (const auto& item : q.core.items) expr(item.expr.get(), levels);
      expr(q.core.where.get(), levels);
      expr(q.core.startWith.get(), levels);
      expr(q.core.connectBy.get(), levels);
      expr(q.core.having.get(), levels);
      for (const auto& g : q.core.groupBy) expr(g.get(), levels);
      for (const auto& t : q.core.from) joinConditions(*t, levels);
      for (const auto& o : q.orderBy) expr(o.expr.get(), levels);
    }
    ctes_.pop_back();
  }

  void joinConditions(const TableRef& t, const std::vector<Level>& levels) {
    if (t.kind != TableRef::Kind::Join) return;
    NestingGuard guard(depth_, kMaxTreeDepth, "table reference");
    if (t.left) joinConditions(*t.left, levels);
    for (const auto& j : t.joins) {
      expr(j.on.get(), levels);
      if (j.right) joinConditions(*j.right, levels);
    }
  }

  void expr(const Expr* e, const std::vector<Level>& levels) {
    if (!e) return;
    NestingGuard guard(depth_, kMaxTreeDepth, "expression");
    if (e->query) {
      if (!levels.empty()) correlated(*e->query, levels);
      query(*e->query, levels);
    }
    for (const auto& a : e->args) expr(a.get(), levels);
  }

  static void conjuncts(const Expr* e, std::vector<const Expr*>& out, int depth = 0) {
    if (!e) return;
    checkTreeDepth(depth, "expression");
    if (e->kind == ExprKind::Binary && e->text == "AND") {
      for (const auto& a : e->args) conjuncts(a.get(), out, depth + 1);
    } else {
      out.push_back(e);
    }
  }

  Resolved resolve(const Expr& c, const Level& inner, const std::vector<Level>& outer) const {
    Resolved r;
    auto inItem = [&](const Item& item, Resolved::Where where) {
      r.where = where;
      if (!item.table) return true;  // somewhere unknown: r.kind stays Unknown
      const CatalogColumn* col = item.table->column(c.name.text);
      if (!col) return false;
      r.table = item.table;
      r.column = col->name;
      r.kind = kindOf(*col);
      return true;
    };
    // The sub-query's own FROM first, then the enclosing queries outwards.
    auto search = [&](const Level& level, Resolved::Where where) {
      if (c.qualifier.empty()) {
        for (const Item& item : level) {
          if (!item.table) {
            r.where = Resolved::Where::Unknown;  // an inline view might hold the name
            return true;
          }
        }
      }
      for (const Item& item : level) {
        if (!c.qualifier.empty()) {
          if (item.name == c.qualifier.text) {
            if (!inItem(item, where)) r.where = Resolved::Where::Unknown;
            return true;
          }
        } else if (inItem(item, where)) {
          return true;
        }
      }
      return false;
    };
    if (search(inner, Resolved::Where::Inner)) {
      if (r.where == Resolved::Where::Inner && !r.table) r.where = Resolved::Where::Unknown;
      return r;
    }
    for (auto level = outer.rbegin(); level != outer.rend(); ++level) {
      if (search(*level, Resolved::Where::Outer)) {
        if (r.where == Resolved::Where::Unknown) r.where = Resolved::Where::Outer;
        return r;
      }
    }
    return Resolved{};
  }

  // Whether "column = other" leaves the column bare in the translated SQL (a
  // conversion or blank trimming around it would keep SQLite off the index).
  static bool staysBare(Kind column, Kind other) {
    switch (column) {
      case Kind::Number:
      case Kind::Date: return true;
      case Kind::Text: return other != Kind::Number && other != Kind::Date;
      case Kind::FixedText:
        return other != Kind::Number && other != Kind::Date && other != Kind::FixedText;
      case Kind::Unknown: return false;
    }
    return false;
  }

  static std::optional<Kind> constantKind(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Number: return Kind::Number;
      case ExprKind::String:
        if (e.text.empty()) return std::nullopt;  // '' is NULL: never equal
        return Kind::Unknown;                     // converted to the column's type
      case ExprKind::DateLiteral: return Kind::Date;
      default: return std::nullopt;
    }
  }

  void correlated(const Query& sub, const std::vector<Level>& outer) {
    if (sub.kind != Query::Kind::Select) return;
    Level inner = levelOf(sub.core, outer);
    std::vector<const Expr*> terms;
    conjuncts(sub.core.where.get(), terms);
    std::vector<AutoIndexRequest> found;
    auto requestFor = [&](const CatalogTable* t) -> AutoIndexRequest& {
      for (auto& r : found)
        if (r.table == t->name) return r;
      found.push_back({t->name, {}, {}});
      return found.back();
    };
    auto add = [](std::vector<std::string>& list, const std::string& c) {
      if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
    };
    for (const Expr* term : terms) {
      if (term->kind != ExprKind::Binary || term->text != "=" || term->args.size() != 2) continue;
      for (int side = 0; side < 2; ++side) {
        const Expr& mine = *term->args[size_t(side)];
        const Expr& other = *term->args[size_t(1 - side)];
        if (mine.kind != ExprKind::Column || mine.outerJoin) continue;
        Resolved col = resolve(mine, inner, outer);
        if (col.where != Resolved::Where::Inner) continue;
        if (other.kind == ExprKind::Column && !other.outerJoin) {
          Resolved ref = resolve(other, inner, outer);
          if (ref.where == Resolved::Where::Outer && staysBare(col.kind, ref.kind))
            add(requestFor(col.table).outerColumns, col.column);
        } else if (auto k = constantKind(other); k && staysBare(col.kind, *k)) {
          add(requestFor(col.table).constantColumns, col.column);
        }
      }
    }
    for (auto& r : found) {
      if (r.outerColumns.empty()) continue;  // not correlated through this table
      // A column probed by an outer reference is not also a constant key.
      std::erase_if(r.constantColumns, [&](const std::string& c) {
        return std::find(r.outerColumns.begin(), r.outerColumns.end(), c) != r.outerColumns.end();
      });
      if (std::find(requests.begin(), requests.end(), r) == requests.end())
        requests.push_back(std::move(r));
    }
  }
};

long long rowsUpTo(sqlite3* db, const std::string& table, long long cap) {
  SqlStatement st(db, "SELECT count(*) FROM (SELECT 1 FROM " + sqlName(table) + " LIMIT " +
                          std::to_string(cap) + ")");
  st.step();
  return st.integer(0);
}

// The first column of every index of the table.
std::set<std::string> leadingColumns(sqlite3* db, const std::string& table) {
  SqlStatement st(db,
                  "SELECT ii.name FROM pragma_index_list(?1) AS il, "
                  "pragma_index_info(il.name) AS ii WHERE ii.seqno = 0");
  st.bind(1, table);
  std::set<std::string> out;
  while (st.step())
    if (auto n = st.text(0)) out.insert(*n);
  return out;
}

std::string freeIndexName(sqlite3* db, const std::string& table) {
  SqlStatement st(db, "SELECT 1 FROM sqlite_master WHERE name = ?1");
  for (int n = 1;; ++n) {
    std::string name = kAutoIndexPrefix + table + "_" + std::to_string(n);
    st.reset();
    st.bind(1, name);
    if (!st.step()) return name;
  }
}

}  // namespace

std::vector<AutoIndexRequest> autoIndexRequests(const ast::Statement& s, Catalog& catalog,
                                                const std::string& user) {
  RequestCollector collector(catalog, user);
  collector.statement(s);
  return std::move(collector.requests);
}

std::vector<std::string> createAutoIndexes(sqlite3* db,
                                           const std::vector<AutoIndexRequest>& wanted) {
  std::vector<std::string> created;
  for (const AutoIndexRequest& r : wanted) {
    std::set<std::string> leading = leadingColumns(db, r.table);
    bool indexed = std::any_of(r.outerColumns.begin(), r.outerColumns.end(),
                               [&](const std::string& c) { return leading.count(c) > 0; });
    if (indexed) continue;
    if (rowsUpTo(db, r.table, kAutoIndexMinRows + 1) <= kAutoIndexMinRows) continue;
    std::string columns;
    for (const auto* list : {&r.outerColumns, &r.constantColumns})
      for (const auto& c : *list) columns += (columns.empty() ? "" : ", ") + sqlName(c);
    std::string name = freeIndexName(db, r.table);
    execSql(db, "CREATE INDEX " + sqlName(name) + " ON " + sqlName(r.table) + " (" + columns + ")");
    created.push_back(name);
  }
  return created;
}

bool isAutoIndexName(const std::string& sqliteIndexName) {
  return sqliteIndexName.rfind(kAutoIndexPrefix, 0) == 0;
}

}  // namespace korvo::engine
