#include "engine/hierarchical.h"

#include <sqlite3.h>

#include <algorithm>
#include <set>

#include "engine/hierarchical_tables.h"
#include "engine/hierarchical_walk.h"
#include "engine/ora_error.h"

namespace korvo::engine {

using namespace ast;

namespace {

// Walks e without entering sub-queries, which have their own scope.
template <class F>
void visit(const Expr& e, F&& f) {
  if (!f(e)) return;
  for (const auto& a : e.args)
    if (a) visit(*a, f);
}

bool mentions(const Expr& e, const char* pseudo) {
  bool found = false;
  visit(e, [&](const Expr& x) {
    if (x.kind == ExprKind::Pseudo && x.text == pseudo) found = true;
    return !found;
  });
  return found;
}

bool isPathCall(const Expr& e) {
  return e.kind == ExprKind::Function && e.qualifier.empty() && !e.name.quoted &&
         e.name.text == "SYS_CONNECT_BY_PATH";
}

std::string orderSuffix(const OrderItem& it) {
  std::string s = it.descending ? " DESC" : " ASC";
  bool nullsFirst = it.nullsFirst ? *it.nullsFirst : it.descending;  // NULL is the largest value
  return s + (nullsFirst ? " NULLS FIRST" : " NULLS LAST");
}

std::string aliasOf(const std::string& sql) {
  size_t dot = sql.find('.');
  return dot == std::string::npos ? std::string() : sql.substr(0, dot);
}

TypedSql numberColumn(const std::string& sql) {
  TypedSql r;
  r.sql = sql;
  r.type = SqlType::Number;
  r.meta.type = "NUMBER";
  r.meta.nullable = false;
  return r;
}

[[noreturn]] void notAllowedHere() {
  throw OraError(976, "Specified pseudocolumn or operator not allowed here");
}

// Statements of the preparation run as one unit: all or nothing.
class Savepoint {
 public:
  explicit Savepoint(sqlite3* db) : db_(db) { execSql(db_, "SAVEPOINT korvo_hierarchy"); }
  ~Savepoint() {
    if (released_) return;
    sqlite3_exec(db_, "ROLLBACK TO korvo_hierarchy", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, "RELEASE korvo_hierarchy", nullptr, nullptr, nullptr);
  }
  void release() {
    execSql(db_, "RELEASE korvo_hierarchy");
    released_ = true;
  }

 private:
  sqlite3* db_;
  bool released_ = false;
};

// The SQL texts that feed the walk.
struct WalkQueries {
  std::string insertRows;
  std::vector<std::string> indexes;
  std::string roots;
  std::string pairs;       // every parent -> child pair
  std::string childrenOf;  // the children of row ?1, when an index finds them
  std::string keys;   // of row ?1; empty without PRIOR
  std::string paths;  // of row ?1; empty without SYS_CONNECT_BY_PATH
  std::vector<std::string> separators;
  std::string level;  // empty without LEVEL in CONNECT BY
  size_t pathCount = 0;
};

}  // namespace

HierarchyBlock::~HierarchyBlock() = default;

Scope HierarchyBlock::mapped(const std::string& alias, const Scope* parent, bool hierarchical) {
  Scope s;
  s.sources = sources_;
  for (auto& src : s.sources) src.sqlAlias = alias;
  s.parent = parent;
  s.hierarchy = hierarchical ? this : nullptr;
  return s;
}

std::string HierarchyBlock::siblingKeys(Translator& t, const Query& q, const Scope& scope) {
  if (!q.orderSiblings) return {};
  std::string keys;
  for (const auto& it : q.orderBy) {
    const Expr* e = it.expr.get();
    // A position or a select-list alias names the select item.
    if (e->kind == ExprKind::Number) {
      size_t k = e->text.find_first_not_of("0123456789") == std::string::npos
                     ? std::stoul(e->text.substr(0, 9))
                     : 0;
      if (k < 1 || k > q.core.items.size() || q.core.items[k - 1].expr->kind == ExprKind::Star)
        throw OraError(1785, "ORDER BY item must be the number of a SELECT-list expression");
      e = q.core.items[k - 1].expr.get();
    } else if (e->kind == ExprKind::Column && e->qualifier.empty()) {
      for (const auto& item : q.core.items)
        if (!item.alias.empty() && item.alias.text == e->name.text) e = item.expr.get();
    }
    keys += t.expr(*e, scope).sql + orderSuffix(it) + ", ";
  }
  return keys;
}

std::unique_ptr<HierarchyBlock> HierarchyBlock::begin(Translator& t, const Query& q,
                                                      Scope& scope, std::string& from) {
  const SelectCore& c = q.core;
  if (!c.connectBy) throw OraError(1788, "CONNECT BY clause required in this query block");
  if (!t.env_.db)
    throw OraError(3001, "unimplemented feature: hierarchical query in this statement");
  if (c.where && hasOuterJoinMark(*c.where))
    throw OraError(3001, "unimplemented feature: outer join operator (+) in a hierarchical query");
  std::unique_ptr<HierarchyBlock> b(new HierarchyBlock);
  b->noCycle_ = c.noCycle;

  // FROM, in a scope of its own: these rows are read before the walk, without
  // reference to any enclosing query.
  Scope base;
  std::string baseFrom;
  for (size_t i = 0; i < c.from.size(); ++i)
    baseFrom += (i ? ", " : "") + t.fromItem(*c.from[i], base, nullptr);
  std::string baseColumns;
  std::set<std::string> baseAliases;
  int k = 0;
  for (const auto& s : base.sources) {
    baseAliases.insert(s.sqlAlias);
    Source m;
    m.name = s.name;
    m.optional = s.optional;
    for (const auto& col : s.columns) {
      ++k;
      baseColumns += (k > 1 ? ", " : "") + s.sqlAlias + "." + col.sqlName;
      SourceColumn mc = col;
      mc.sqlName = "x" + std::to_string(k);
      m.columns.push_back(std::move(mc));
    }
    b->sources_.push_back(std::move(m));
  }

  // WHERE: a conjunct naming two or more tables of the block joins them and is
  // applied before the walk; every other one filters the walked rows.
  std::vector<const Expr*> whereParts;
  splitConjuncts(c.where.get(), whereParts);
  std::string joinWhere;
  for (const Expr* e : whereParts) {
    std::set<std::string> used;
    visit(*e, [&](const Expr& x) {
      if (x.kind != ExprKind::Column) return true;
      try {
        std::string a = aliasOf(t.expr(x, base).sql);
        if (baseAliases.count(a)) used.insert(a);
      } catch (const OraError&) {
        // a name of an enclosing query, or a mistake reported later
      }
      return false;
    });
    if (used.size() >= 2)
      joinWhere += (joinWhere.empty() ? " WHERE " : " AND ") + t.expr(*e, base).sql;
    else
      b->postWalk_.push_back(e);
  }

  if (!t.temporaries) t.temporaries = std::make_shared<TemporaryTables>(t.env_.db);
  b->rowsTable_ = t.temporaries->reserve("hr");
  b->walkTable_ = t.temporaries->reserve("hw");
  b->walkAlias_ = t.newAlias();
  b->rowAlias_ = t.newAlias();
  b->parentAlias_ = t.newAlias();
  b->rootAlias_ = t.newAlias();
  const std::string& h = b->rowAlias_;

  WalkQueries w;
  std::string cols;
  for (int i = 1; i <= k; ++i) cols += (i > 1 ? ", x" : "x") + std::to_string(i);
  w.insertRows = "INSERT INTO " + b->rowsTable_ + "(" + cols + ") SELECT " + baseColumns +
                 " FROM " + baseFrom + joinWhere;
  std::string rowsAs = b->rowsTable_ + " AS ";

  // SYS_CONNECT_BY_PATH calls of the block, computed by the walk.
  Scope plain = b->mapped(h, nullptr, false);
  std::vector<const Expr*> exprs;
  for (const auto& item : c.items) exprs.push_back(item.expr.get());
  for (const Expr* e : whereParts) exprs.push_back(e);
  for (const auto& g : c.groupBy) exprs.push_back(g.get());
  if (c.having) exprs.push_back(c.having.get());
  if (!q.orderSiblings)
    for (const auto& o : q.orderBy) exprs.push_back(o.expr.get());
  std::string pathValues;
  for (const Expr* e : exprs) {
    visit(*e, [&](const Expr& x) {
      if (x.kind == ExprKind::Pseudo && x.text == "CONNECT_BY_ISCYCLE" && !c.noCycle)
        throw OraError(30930, "NOCYCLE keyword is required with CONNECT_BY_ISCYCLE pseudocolumn");
      if (!isPathCall(x)) return true;
      if (b->paths_.count(&x)) return false;
      if (x.args.size() != 2) throw OraError(909, "invalid number of arguments");
      const Expr& sep = *x.args[1];
      if (sep.kind != ExprKind::String || sep.text.empty())
        throw OraError(30003, "illegal parameter in SYS_CONNECT_BY_PATH function");
      pathValues += ", " + Translator::asText(t.expr(*x.args[0], plain));
      w.separators.push_back(sep.text);
      b->paths_[&x] = w.pathCount++;
      return false;
    });
  }
  if (w.pathCount)
    w.paths = "SELECT " + pathValues.substr(2) + " FROM " + rowsAs + h + " WHERE " + h + ".rid = ?1";

  // START WITH: the roots, in sibling order.
  b->phase_ = Phase::Roots;
  Scope roots = b->mapped(h, nullptr, true);
  std::string rootFilter = c.startWith ? " WHERE " + t.expr(*c.startWith, roots).sql : "";
  w.roots = "SELECT " + h + ".rid FROM " + rowsAs + h + rootFilter + " ORDER BY " +
            b->siblingKeys(t, q, roots) + h + ".rid";

  // CONNECT BY: the conjuncts with LEVEL depend on the walk, the others on a pair of rows.
  std::vector<const Expr*> connectParts;
  splitConjuncts(c.connectBy.get(), connectParts);
  std::string pairFilter, levelFilter, keys;
  const std::string p = t.newAlias(), ch = t.newAlias();
  b->pairPrior_ = std::make_unique<Scope>(b->mapped(p, nullptr, false));
  Scope child = b->mapped(ch, nullptr, true);
  for (const Expr* e : connectParts) {
    if (mentions(*e, "LEVEL")) {
      b->phase_ = Phase::Level;
      Scope none;
      none.hierarchy = b.get();
      try {
        levelFilter += (levelFilter.empty() ? "" : " AND ") + t.expr(*e, none).sql;
      } catch (const OraError& err) {
        if (err.code() != 904) throw;
        throw OraError(3001, "unimplemented feature: LEVEL together with columns in CONNECT BY");
      }
      continue;
    }
    b->phase_ = Phase::Pairs;
    pairFilter += (pairFilter.empty() ? "" : " AND ") + t.expr(*e, child).sql;
    visit(*e, [&](const Expr& x) {
      if (x.kind != ExprKind::Unary || x.text != "PRIOR") return true;
      keys += ", " + Translator::asText(t.expr(*x.args[0], plain));
      return false;
    });
    // child.column = PRIOR expression: an index on the column finds the children.
    if (e->kind == ExprKind::Binary && e->text == "=") {
      for (int side = 0; side < 2; ++side) {
        const Expr& col = *e->args[size_t(side)];
        const Expr& other = *e->args[size_t(1 - side)];
        if (col.kind != ExprKind::Column || other.kind != ExprKind::Unary || other.text != "PRIOR")
          continue;
        std::string sql = t.expr(col, child).sql;
        std::string bare = b->rowsTable_.substr(5);  // after "temp."
        std::string column = sql.substr(sql.find('.') + 1);
        std::string index = "temp.\"" + bare.substr(1, bare.size() - 2) + "_" + column + "\"";
        w.indexes.push_back("CREATE INDEX IF NOT EXISTS " + index + " ON " + bare + "(" + column + ")");
      }
    }
  }
  if (!levelFilter.empty()) w.level = "SELECT CASE WHEN " + levelFilter + " THEN 1 ELSE 0 END";
  if (!keys.empty())
    w.keys = "SELECT " + keys.substr(2) + " FROM " + rowsAs + h + " WHERE " + h + ".rid = ?1";
  if (!w.indexes.empty())
    w.childrenOf = "SELECT " + ch + ".rid FROM " + rowsAs + p + " JOIN " + rowsAs + ch + " ON " +
                   pairFilter + " WHERE " + p + ".rid = ?1 ORDER BY " +
                   b->siblingKeys(t, q, child) + ch + ".rid";
  w.pairs = "SELECT " + p + ".rid, " + ch + ".rid FROM " + rowsAs + p + " JOIN " + rowsAs + ch +
            " ON " + (pairFilter.empty() ? "1" : pairFilter) + " ORDER BY " + p + ".rid, " +
            b->siblingKeys(t, q, child) + ch + ".rid";

  // Run it all now: the statement that reads the walk comes next.
  sqlite3* db = t.temporaries->db();
  Savepoint unit(db);
  execSql(db, "CREATE TABLE " + b->rowsTable_ + "(rid INTEGER PRIMARY KEY, " + cols + ")");
  std::string pathCols;
  for (size_t i = 1; i <= w.pathCount; ++i) pathCols += ", path" + std::to_string(i);
  execSql(db, "CREATE TABLE " + b->walkTable_ +
                  "(seq INTEGER PRIMARY KEY, rid, lvl, isleaf, iscycle, root, parent" + pathCols +
                  ")");
  if (!t.env_.planOnly) {
    execSql(db, w.insertRows);
    for (const auto& ix : w.indexes) execSql(db, ix);
    WalkInput in;
    in.noCycle = c.noCycle;
    size_t rowCount = 0;
    {
      SqlStatement count(db, "SELECT count(*) FROM " + b->rowsTable_);
      count.step();
      rowCount = size_t(count.integer(0));
    }
    for (SqlStatement r(db, w.roots); r.step();) in.roots.push_back(int(r.integer(0)));
    // Children: by index lookups for the rows the walk reaches, or all pairs at once
    // when no index serves the condition.
    std::vector<std::vector<int>> children(rowCount + 1);
    std::vector<char> childrenKnown(rowCount + 1, 0);
    std::unique_ptr<SqlStatement> childQuery;
    if (w.childrenOf.empty()) {
      for (SqlStatement r(db, w.pairs); r.step();)
        children[size_t(r.integer(0))].push_back(int(r.integer(1)));
      std::fill(childrenKnown.begin(), childrenKnown.end(), 1);
    } else {
      childQuery = std::make_unique<SqlStatement>(db, w.childrenOf);
    }
    size_t lookups = 0;
    in.children = [&](int rid) -> const std::vector<int>& {
      if (!childrenKnown[size_t(rid)] && ++lookups > std::max<size_t>(64, rowCount / 8)) {
        // The walk covers much of the rows: one pass over all pairs is cheaper.
        for (SqlStatement r(db, w.pairs); r.step();) {
          size_t parent = size_t(r.integer(0));
          if (!childrenKnown[parent]) children[parent].push_back(int(r.integer(1)));
        }
        std::fill(childrenKnown.begin(), childrenKnown.end(), 1);
      }
      if (!childrenKnown[size_t(rid)]) {
        childQuery->reset();
        childQuery->bind(1, (long long)rid);
        while (childQuery->step()) children[size_t(rid)].push_back(int(childQuery->integer(0)));
        childrenKnown[size_t(rid)] = 1;
      }
      return children[size_t(rid)];
    };
    std::vector<std::string> keyCache;
    std::vector<char> keyKnown;
    std::unique_ptr<SqlStatement> keyQuery;
    if (!w.keys.empty()) {
      keyCache.resize(rowCount + 1);
      keyKnown.resize(rowCount + 1, 0);
      keyQuery = std::make_unique<SqlStatement>(db, w.keys);
      in.key = [&](int rid) -> const std::string& {
        std::string& key = keyCache[size_t(rid)];
        if (!keyKnown[size_t(rid)]) {
          keyQuery->reset();
          keyQuery->bind(1, (long long)rid);
          keyQuery->step();
          int n = sqlite3_column_count(keyQuery->raw());
          for (int i = 0; i < n; ++i) {
            auto v = keyQuery->text(i);
            key += v ? "v" + *v : std::string("n");
            key += '\0';
          }
          keyKnown[size_t(rid)] = 1;
        }
        return key;
      };
    }
    std::vector<std::vector<std::optional<std::string>>> pathCache;
    std::unique_ptr<SqlStatement> pathQuery;
    if (w.pathCount) {
      pathCache.resize(rowCount + 1);
      pathQuery = std::make_unique<SqlStatement>(db, w.paths);
    }
    auto pathValues = [&](int rid) -> const std::vector<std::optional<std::string>>& {
      auto& values = pathCache[size_t(rid)];
      if (values.empty()) {
        pathQuery->reset();
        pathQuery->bind(1, (long long)rid);
        pathQuery->step();
        for (size_t i = 0; i < w.pathCount; ++i) values.push_back(pathQuery->text(int(i)));
      }
      return values;
    };
    for (size_t i = 0; i < w.pathCount; ++i)
      in.paths.push_back({w.separators[i], [&pathValues, i](int rid) { return pathValues(rid)[i]; }});
    std::shared_ptr<SqlStatement> level;
    std::vector<signed char> levelCache;
    if (!w.level.empty()) {
      level = std::make_shared<SqlStatement>(db, w.level);
      in.levelAllows = [&](int lvl) {
        if (size_t(lvl) >= levelCache.size()) levelCache.resize(size_t(lvl) + 1, -1);
        signed char& known = levelCache[size_t(lvl)];
        if (known < 0) {
          level->reset();
          level->bind(1, (long long)lvl);
          known = level->step() && level->integer(0) == 1 ? 1 : 0;
        }
        return known == 1;
      };
    }
    std::vector<WalkRow> walk = walkHierarchy(in);
    std::string marks;
    for (size_t i = 0; i < 7 + w.pathCount; ++i) marks += i ? ", ?" : "?";
    SqlStatement insert(db, "INSERT INTO " + b->walkTable_ + " VALUES(" + marks + ")");
    long long seq = 0;
    for (const auto& r : walk) {
      insert.reset();
      insert.bind(1, ++seq);
      insert.bind(2, (long long)r.rid);
      insert.bind(3, (long long)r.level);
      insert.bind(4, (long long)(r.isLeaf ? 1 : 0));
      insert.bind(5, (long long)(r.isCycle ? 1 : 0));
      insert.bind(6, (long long)r.root);
      if (r.parent)
        insert.bind(7, (long long)r.parent);
      else
        insert.bindNull(7);
      for (size_t i = 0; i < r.paths.size(); ++i) insert.bind(int(8 + i), r.paths[i]);
      insert.step();
    }
  }
  unit.release();

  // The block itself reads the walk, its rows, their parents and their roots.
  b->phase_ = Phase::Select;
  const std::string& wa = b->walkAlias_;
  scope.sources = b->mapped(h, nullptr, false).sources;
  scope.hierarchy = b.get();
  b->selectPrior_ = std::make_unique<Scope>(b->mapped(b->parentAlias_, scope.parent, false));
  b->selectRoot_ = std::make_unique<Scope>(b->mapped(b->rootAlias_, scope.parent, false));
  from = b->walkTable_ + " AS " + wa + " JOIN " + rowsAs + h + " ON " + h + ".rid = " + wa +
         ".rid LEFT JOIN " + rowsAs + b->parentAlias_ + " ON " + b->parentAlias_ + ".rid = " + wa +
         ".parent LEFT JOIN " + rowsAs + b->rootAlias_ + " ON " + b->rootAlias_ + ".rid = " + wa +
         ".root";
  return b;
}

std::string HierarchyBlock::treeOrder() const { return " ORDER BY " + walkAlias_ + ".seq"; }

bool HierarchyBlock::translate(Translator& t, const Expr& e, const Scope& scope, TypedSql& out) {
  (void)scope;
  switch (e.kind) {
    case ExprKind::Pseudo: {
      const std::string& n = e.text;
      if (n != "LEVEL" && n != "CONNECT_BY_ISLEAF" && n != "CONNECT_BY_ISCYCLE") return false;
      if (n == "CONNECT_BY_ISCYCLE" && !noCycle_)
        throw OraError(30930, "NOCYCLE keyword is required with CONNECT_BY_ISCYCLE pseudocolumn");
      if (phase_ == Phase::Level && n == "LEVEL") {
        out = numberColumn("?1");
        return true;
      }
      if (phase_ != Phase::Select) notAllowedHere();
      out = numberColumn(walkAlias_ + (n == "LEVEL" ? ".lvl" : n == "CONNECT_BY_ISLEAF" ? ".isleaf"
                                                                                      : ".iscycle"));
      return true;
    }
    case ExprKind::Unary: {
      if (e.text == "PRIOR") {
        if (phase_ == Phase::Level)
          throw OraError(3001, "unimplemented feature: LEVEL together with PRIOR in CONNECT BY");
        if (phase_ == Phase::Pairs) {
          out = t.expr(*e.args[0], *pairPrior_);
        } else if (phase_ == Phase::Select) {
          out = t.expr(*e.args[0], *selectPrior_);
        } else {
          notAllowedHere();
        }
        out.meta.nullable = true;
        return true;
      }
      if (e.text == "CONNECT_BY_ROOT") {
        if (phase_ != Phase::Select) notAllowedHere();
        out = t.expr(*e.args[0], *selectRoot_);
        return true;
      }
      return false;
    }
    case ExprKind::Function: {
      if (!isPathCall(e)) return false;
      if (phase_ != Phase::Select) notAllowedHere();
      auto it = paths_.find(&e);
      if (it == paths_.end())
        throw OraError(3001, "unimplemented feature: SYS_CONNECT_BY_PATH in a sub-query");
      out = TypedSql{};
      out.sql = walkAlias_ + ".path" + std::to_string(it->second + 1);
      out.type = SqlType::Text;
      out.meta.type = "VARCHAR2";
      out.meta.length = 4000;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace korvo::engine
