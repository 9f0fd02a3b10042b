#include "engine/hierarchical.h"

#include <set>

#include "engine/hierarchical_run.h"
#include "engine/hierarchical_tables.h"
#include "engine/nesting.h"
#include "engine/ora_error.h"

namespace korvo::engine {

using namespace ast;

namespace {

// Walks e without entering sub-queries, which have their own scope.
template <class F>
void visit(const Expr& e, F&& f, int depth = 0) {
  checkTreeDepth(depth, "expression");
  if (!f(e)) return;
  for (const auto& a : e.args)
    if (a) visit(*a, f, depth + 1);
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
  throw OraError(976);
}

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
      size_t digits = e->text.find_first_not_of('0');
      size_t k = e->text.find_first_not_of("0123456789") == std::string::npos &&
                         digits != std::string::npos && e->text.size() - digits <= 9
                     ? std::stoul(e->text.substr(digits))
                     : 0;
      if (k < 1 || k > q.core.items.size() || q.core.items[k - 1].expr->kind == ExprKind::Star)
        throw OraError(1785);
      e = q.core.items[k - 1].expr.get();
    } else if (e->kind == ExprKind::Column && e->qualifier.empty()) {
      for (const auto& item : q.core.items)
        if (!item.alias.empty() && item.alias.text == e->name.text) e = item.expr.get();
    }
    keys += Translator::sortKey(t.expr(*e, scope)) + orderSuffix(it) + ", ";
  }
  return keys;
}

std::unique_ptr<HierarchyBlock> HierarchyBlock::begin(Translator& t, const Query& q, Scope& scope,
                                                      std::string& from) {
  const SelectCore& c = q.core;
  if (!c.connectBy) throw OraError(1788);
  if (!t.env_.db)
    throw OraError(3001, "unimplemented feature: hierarchical query in this statement");
  if (c.where && hasOuterJoinMark(*c.where))
    throw OraError(3001, "unimplemented feature: outer join operator (+) in a hierarchical query");
  std::unique_ptr<HierarchyBlock> b(new HierarchyBlock);
  b->noCycle_ = c.noCycle;
  if (!t.temporaries) t.temporaries = std::make_shared<TemporaryTables>(t.env_.db);
  b->rowsTable_ = t.temporaries->reserve("hr");
  b->walkTable_ = t.temporaries->reserve("hw");
  b->walkAlias_ = t.newAlias();
  b->rowAlias_ = t.newAlias();
  b->parentAlias_ = t.newAlias();
  b->rootAlias_ = t.newAlias();
  // temp."_korvo_hr1" is read as _korvo_hr1 under these aliases
  auto bare = [](const std::string& table) {
    size_t open = table.find('"');
    return table.substr(open + 1, table.size() - open - 2);
  };
  t.noteTable(b->walkAlias_, bare(b->walkTable_));
  for (const std::string* alias : {&b->rowAlias_, &b->parentAlias_, &b->rootAlias_})
    t.noteTable(*alias, bare(b->rowsTable_));

  WalkQueries w;
  w.rowsTable = b->rowsTable_;
  w.walkTable = b->walkTable_;
  Scope base;
  std::string baseFrom, baseColumns;
  b->readFrom(t, c, base, baseFrom, baseColumns, w.columns);
  w.insertRows = "INSERT INTO " + b->rowsTable_ + "(" + w.columns + ") SELECT " + baseColumns +
                 " FROM " + baseFrom + b->splitWhere(t, c, base);
  b->collectPaths(t, q, w);
  b->phase_ = Phase::Roots;
  const std::string& h = b->rowAlias_;
  const std::string rowsAs = b->rowsTable_ + " AS ";
  Scope roots = b->mapped(h, nullptr, true);
  std::string rootFilter = c.startWith ? " WHERE " + t.expr(*c.startWith, roots).sql : "";
  w.roots = "SELECT " + h + ".rid FROM " + rowsAs + h + rootFilter + " ORDER BY " +
            b->siblingKeys(t, q, roots) + h + ".rid";
  b->connectBy(t, q, w);

  // Walk now: the statement that reads the walk comes next.
  runWalk(t.temporaries->db(), w, c.noCycle, t.env_.planOnly);

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

void HierarchyBlock::readFrom(Translator& t, const SelectCore& c, Scope& base, std::string& from,
                              std::string& select, std::string& columns) {
  // In a scope of its own: these rows are read before the walk, without reference to
  // any enclosing query.
  for (size_t i = 0; i < c.from.size(); ++i)
    from += (i ? ", " : "") + t.fromItem(*c.from[i], base, nullptr);
  int k = 0;
  for (const auto& s : base.sources) {
    Source m;
    m.name = s.name;
    m.optional = s.optional;
    for (const auto& col : s.columns) {
      std::string x = std::to_string(++k).insert(0, 1, 'x');
      select += (k > 1 ? ", " : "") + s.sqlAlias + "." + col.sqlName;
      columns += (k > 1 ? ", " : "") + x;
      SourceColumn mc = col;
      mc.sqlName = x;
      m.columns.push_back(std::move(mc));
    }
    sources_.push_back(std::move(m));
  }
}

std::string HierarchyBlock::splitWhere(Translator& t, const SelectCore& c, const Scope& base) {
  // A conjunct naming two or more tables of the block joins them and is applied before
  // the walk; every other one filters the walked rows.
  std::set<std::string> aliases;
  for (const auto& s : base.sources) aliases.insert(s.sqlAlias);
  std::vector<const Expr*> parts;
  splitConjuncts(c.where.get(), parts);
  std::vector<std::string> joins;
  for (const Expr* e : parts) {
    std::set<std::string> used;
    visit(*e, [&](const Expr& x) {
      if (x.kind != ExprKind::Column) return true;
      try {
        std::string a = aliasOf(t.expr(x, base).sql);
        if (aliases.count(a)) used.insert(a);
      } catch (const OraError&) {
        // a name of an enclosing query, or a mistake reported later
      }
      return false;
    });
    if (used.size() >= 2)
      joins.push_back(t.expr(*e, base).sql);
    else
      postWalk_.push_back(e);
  }
  return joins.empty() ? std::string() : " WHERE " + conjunctionSql(std::move(joins));
}

void HierarchyBlock::collectPaths(Translator& t, const Query& q, WalkQueries& w) {
  // The SYS_CONNECT_BY_PATH calls of the block are computed by the walk.
  const SelectCore& c = q.core;
  const std::string& h = rowAlias_;
  Scope plain = mapped(h, nullptr, false);
  std::vector<const Expr*> exprs;
  for (const auto& item : c.items) exprs.push_back(item.expr.get());
  exprs.insert(exprs.end(), postWalk_.begin(), postWalk_.end());
  for (const auto& g : c.groupBy) exprs.push_back(g.get());
  if (c.having) exprs.push_back(c.having.get());
  if (!q.orderSiblings)
    for (const auto& o : q.orderBy) exprs.push_back(o.expr.get());
  std::string values;
  for (const Expr* e : exprs) {
    visit(*e, [&](const Expr& x) {
      if (x.kind == ExprKind::Pseudo && x.text == "CONNECT_BY_ISCYCLE" && !c.noCycle)
        throw OraError(30930);
      if (!isPathCall(x)) return true;
      if (paths_.count(&x)) return false;
      if (x.args.size() != 2) throw OraError(909);
      const Expr& sep = *x.args[1];
      if (sep.kind != ExprKind::String || sep.text.empty())
        throw OraError(30003);
      values += ", " + Translator::asText(t.expr(*x.args[0], plain));
      w.separators.push_back(sep.text);
      paths_[&x] = w.pathCount++;
      return false;
    });
  }
  if (w.pathCount)
    w.paths = "SELECT " + values.substr(2) + " FROM " + rowsTable_ + " AS " + h + " WHERE " + h +
              ".rid = ?1";
}

void HierarchyBlock::connectBy(Translator& t, const Query& q, WalkQueries& w) {
  // The conjuncts with LEVEL depend on the walk, the others on a pair of rows.
  std::vector<const Expr*> parts;
  splitConjuncts(q.core.connectBy.get(), parts);
  const std::string& h = rowAlias_;
  const std::string rowsAs = rowsTable_ + " AS ";
  const std::string p = t.newAlias(), ch = t.newAlias();
  pairPrior_ = std::make_unique<Scope>(mapped(p, nullptr, false));
  Scope child = mapped(ch, nullptr, true);
  Scope plain = mapped(h, nullptr, false);
  std::string keys;
  std::vector<std::string> pairTerms, levelTerms;
  for (const Expr* e : parts) {
    if (mentions(*e, "LEVEL")) {
      phase_ = Phase::Level;
      Scope none;
      none.hierarchy = this;
      try {
        levelTerms.push_back(t.expr(*e, none).sql);
      } catch (const OraError& err) {
        if (err.code() != 904) throw;
        throw OraError(3001, "unimplemented feature: LEVEL together with columns in CONNECT BY");
      }
      continue;
    }
    phase_ = Phase::Pairs;
    pairTerms.push_back(t.expr(*e, child).sql);
    visit(*e, [&](const Expr& x) {
      if (x.kind != ExprKind::Unary || x.text != "PRIOR") return true;
      keys += ", " + Translator::asText(t.expr(*x.args[0], plain));
      return false;
    });
    // column = PRIOR expression: an index on the child's column finds the children.
    if (e->kind == ExprKind::Binary && e->text == "=") {
      for (int side = 0; side < 2; ++side) {
        const Expr& col = *e->args[size_t(side)];
        const Expr& other = *e->args[size_t(1 - side)];
        if (col.kind != ExprKind::Column || other.kind != ExprKind::Unary || other.text != "PRIOR")
          continue;
        std::string sql = t.expr(col, child).sql;
        std::string table = rowsTable_.substr(5);  // "_korvo_hrN", after temp.
        std::string column = sql.substr(sql.find('.') + 1);
        std::string index = "temp.\"" + table.substr(1, table.size() - 2) + "_" + column + "\"";
        w.indexes.push_back("CREATE INDEX IF NOT EXISTS " + index + " ON " + table + "(" + column +
                            ")");
      }
    }
  }
  const std::string pairFilter =
      pairTerms.empty() ? std::string() : conjunctionSql(std::move(pairTerms));
  const std::string levelFilter =
      levelTerms.empty() ? std::string() : balancedLogical(std::move(levelTerms), "AND");
  if (!levelFilter.empty()) w.level = "SELECT CASE WHEN " + levelFilter + " THEN 1 ELSE 0 END";
  if (!keys.empty())
    w.keys = "SELECT " + keys.substr(2) + " FROM " + rowsAs + h + " WHERE " + h + ".rid = ?1";
  std::string siblings = siblingKeys(t, q, child);
  if (!w.indexes.empty())
    w.childrenOf = "SELECT " + ch + ".rid FROM " + rowsAs + p + " JOIN " + rowsAs + ch + " ON " +
                   pairFilter + " WHERE " + p + ".rid = ?1 ORDER BY " + siblings + ch + ".rid";
  w.pairs = "SELECT " + p + ".rid, " + ch + ".rid FROM " + rowsAs + p + " JOIN " + rowsAs + ch +
            " ON " + (pairFilter.empty() ? "1" : pairFilter) + " ORDER BY " + p + ".rid, " +
            siblings + ch + ".rid";
}

std::string HierarchyBlock::treeOrder() const { return " ORDER BY " + walkAlias_ + ".seq"; }

bool HierarchyBlock::translate(Translator& t, const Expr& e, const Scope& scope, TypedSql& out) {
  (void)scope;
  switch (e.kind) {
    case ExprKind::Pseudo: {
      const std::string& n = e.text;
      if (n != "LEVEL" && n != "CONNECT_BY_ISLEAF" && n != "CONNECT_BY_ISCYCLE") return false;
      if (n == "CONNECT_BY_ISCYCLE" && !noCycle_)
        throw OraError(30930);
      if (phase_ == Phase::Level && n == "LEVEL") {
        out = numberColumn("?1");
        return true;
      }
      if (phase_ != Phase::Select) notAllowedHere();
      out = numberColumn(walkAlias_ + (n == "LEVEL"               ? ".lvl"
                                       : n == "CONNECT_BY_ISLEAF" ? ".isleaf"
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
