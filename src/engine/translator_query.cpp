// Queries: FROM items and name scopes, select lists with Oracle's headings,
// GROUP BY checks, ORDER BY with Oracle's NULL ordering, set operators.
#include <algorithm>
#include <set>

#include "engine/dialect_types.h"
#include "engine/dictionary.h"
#include "engine/hierarchical.h"
#include "engine/nesting.h"
#include "engine/ora_error.h"
#include "engine/query_rewrites.h"
#include "engine/translator.h"

namespace korvo::engine {

// SQLite may flatten a sub-query that has a LIMIT but no ORDER BY into an outer
// query that sorts, and then keeps the first rows after the sort. ROWNUM counts
// before the sort, so its LIMIT carries an OFFSET, which SQLite never flattens.
constexpr const char* kKeepLimitInPlace = " OFFSET 0";

// SQLite's own limits: tables in one FROM, members of one compound SELECT.
constexpr size_t kMaxSources = 64;
constexpr size_t kMaxCompoundTerms = 500;

using namespace ast;

namespace {

SqlType typeOfColumn(const std::string& t) {
  if (isNumberType(t)) return SqlType::Number;
  if (t == "DATE") return SqlType::Date;
  return SqlType::Text;
}

std::string orderSuffix(const OrderItem& it) {
  std::string s = it.descending ? " DESC" : " ASC";
  bool nullsFirst = it.nullsFirst ? *it.nullsFirst : it.descending;  // NULL is the largest value
  return s + (nullsFirst ? " NULLS FIRST" : " NULLS LAST");
}

std::string aliasOfSql(const std::string& sql) {
  size_t dot = sql.find('.');
  return dot == std::string::npos ? std::string() : sql.substr(0, dot);
}

// The select-list position a number of ORDER BY names; 0 when it names none.
size_t selectPosition(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
  size_t digits = text.find_first_not_of('0');
  if (digits == std::string::npos || text.size() - digits > 9) return 0;
  return std::stoul(text.substr(digits));
}

const char* setOpSql(SetOp op) {
  static const char* ops[] = {" UNION ", " UNION ALL ", " INTERSECT ", " EXCEPT "};
  return ops[int(op)];
}

// members[0] ops[0] members[1] ... as SQLite reads it, in compounds of at most
// kMaxCompoundTerms members: the same associative operator throughout is grouped
// in a balanced way, any other sequence in inline views nested to the left.
std::string compoundSql(std::vector<std::string> members, const std::vector<SetOp>& ops) {
  auto join = [&](size_t from, size_t to, std::string s) {
    for (size_t k = from; k < to; ++k) {
      if (k > 0) s += setOpSql(ops[k - 1]);
      s += members[k];
    }
    return s;
  };
  const size_t n = members.size();
  if (n <= kMaxCompoundTerms) return join(0, n, std::string());
  const bool uniform = std::all_of(ops.begin(), ops.end(), [&](SetOp o) { return o == ops[0]; });
  if (uniform && ops[0] != SetOp::Minus) {
    std::vector<std::string> level = std::move(members);
    while (level.size() > kMaxCompoundTerms) {
      std::vector<std::string> grouped;
      for (size_t i = 0; i < level.size(); i += kMaxCompoundTerms) {
        std::string s = "SELECT * FROM (";
        for (size_t k = i; k < std::min(level.size(), i + kMaxCompoundTerms); ++k) {
          if (k > i) s += setOpSql(ops[0]);
          s += level[k];
        }
        grouped.push_back(s + ")");
      }
      level = std::move(grouped);
    }
    std::string s;
    for (size_t k = 0; k < level.size(); ++k) s += (k ? setOpSql(ops[0]) : "") + level[k];
    return s;
  }
  // ((m0 .. m499) op m500 .. m998) op ...: each view holds what came before it
  const size_t step = kMaxCompoundTerms - 1;
  const size_t views = (n - kMaxCompoundTerms + step - 1) / step;
  std::string s;
  for (size_t k = 0; k < views; ++k) s += "SELECT * FROM (";
  s = join(0, kMaxCompoundTerms, std::move(s));
  for (size_t from = kMaxCompoundTerms; from < n; from += step) {
    s += ")";
    s = join(from, std::min(n, from + step), std::move(s));
  }
  return s;
}

}  // namespace

Source Translator::tableSource(const std::string& table, const std::string& alias) {
  const CatalogTable* t = env_.catalog->table(table);
  if (!t) throw OraError(942);
  Source s;
  s.name = alias.empty() ? table : alias;
  s.sqlAlias = newAlias();
  noteTable(s.sqlAlias, table);
  for (const auto& c : t->columns) {
    SourceColumn sc;
    sc.name = c.name;
    sc.sqlName = sqlName(c.name);
    sc.type = typeOfColumn(c.type);
    sc.fixedChar = c.type == "CHAR";
    sc.meta.name = c.name;
    sc.meta.type = c.type == "INTEGER" ? "NUMBER" : c.type;
    sc.meta.length = c.length;
    sc.meta.precision = c.precision.value_or(c.type == "INTEGER" ? 38 : 0);
    sc.meta.scale = c.scale.value_or(0);
    sc.meta.nullable = !c.notNull;
    s.columns.push_back(std::move(sc));
  }
  return s;
}

void Translator::addSource(Scope& scope, Source s) {
  if (scope.sources.size() >= kMaxSources)
    throw OraError(3001, "unimplemented feature: more than 64 tables in one FROM clause");
  scope.sources.push_back(std::move(s));
}

std::string Translator::fromItem(const TableRef& t, Scope& scope, const Scope* outer) {
  NestingGuard guard(depth_, kMaxTreeDepth, "table reference");
  switch (t.kind) {
    case TableRef::Kind::Table: {
      if (std::string cte; commonTableSource(t, scope, cte)) return cte;
      if (!t.schema.empty() && t.schema.text != env_.user && t.schema.text != "SYS" &&
          t.schema.text != "PUBLIC")
        throw OraError(942);
      std::string name = t.name.text;
      if (env_.catalog->table(name)) {
        Source s = tableSource(name, t.alias.text);
        std::string sql = sqlName(name) + " AS " + s.sqlAlias;
        addSource(scope, std::move(s));
        return sql;
      }
      std::string viewSql;
      std::vector<SourceColumn> cols;
      if (!t.name.quoted && dictionaryView(name, env_, viewSql, cols)) {
        Source s;
        s.name = t.alias.empty() ? name : t.alias.text;
        s.sqlAlias = newAlias();
        s.columns = std::move(cols);
        std::string sql = "(" + viewSql + ") AS " + s.sqlAlias;
        addSource(scope, std::move(s));
        return sql;
      }
      throw OraError(942);
    }
    case TableRef::Kind::Subquery: {
      TranslatedQuery q = query(*t.query, outer);
      Source s;
      s.name = t.alias.text;  // an unnamed inline view cannot be qualified
      s.sqlAlias = newAlias();
      for (size_t i = 0; i < q.columns.size(); ++i) {
        SourceColumn c;
        c.name = q.columns[i].name;
        c.sqlName = "c" + std::to_string(i + 1);
        c.type = q.types[i];
        c.fixedChar = q.fixedChar[i];
        c.meta = q.columns[i];
        s.columns.push_back(std::move(c));
      }
      std::string sql = "(" + q.sql + ") AS " + s.sqlAlias;
      addSource(scope, std::move(s));
      return sql;
    }
    case TableRef::Kind::Join: {
      size_t leftStart = scope.sources.size();
      std::string sql = fromItem(*t.left, scope, outer);
      for (const JoinStep& j : t.joins) {
        size_t rightStart = scope.sources.size();
        std::string r = fromItem(*j.right, scope, outer);
        if (j.type == JoinType::Left || j.type == JoinType::Full)
          for (size_t i = rightStart; i < scope.sources.size(); ++i)
            scope.sources[i].optional = true;
        if (j.type == JoinType::Right || j.type == JoinType::Full)
          for (size_t i = leftStart; i < rightStart; ++i) scope.sources[i].optional = true;
        static const char* kw[] = {" JOIN ", " LEFT JOIN ", " RIGHT JOIN ", " FULL JOIN ",
                                   " CROSS JOIN "};
        sql += kw[int(j.type)];
        sql += r;
        if (j.natural || !j.usingColumns.empty()) sql += usingJoin(j, scope, leftStart, rightStart);
        if (j.on) {
          if (hasOuterJoinMark(*j.on))
            throw OraError(25156);
          std::vector<const Expr*> parts;
          splitConjuncts(j.on.get(), parts);
          std::vector<std::string> terms;
          for (const Expr* c : parts) terms.push_back(expr(*c, scope).sql);
          sql += " ON " + conjunctionSql(std::move(terms));
        }
      }
      return sql;
    }
  }
  return {};
}

void Translator::checkGrouped(const Expr& e, const Scope& scope,
                              const std::set<std::string>& groups, bool hasGroupBy) {
  NestingGuard guard(depth_, kMaxTreeDepth, "expression");
  switch (e.kind) {
    case ExprKind::Number:
    case ExprKind::String:
    case ExprKind::Null:
    case ExprKind::DateLiteral:
    case ExprKind::Interval:
    case ExprKind::Pseudo:
    case ExprKind::Exists:
    case ExprKind::Subquery:
      return;
    case ExprKind::Function:
      if (e.clauses && e.clauses->over) return checkAnalyticGrouped(e, scope, groups, hasGroupBy);
      if (e.qualifier.empty() && isAggregateName(e.name.text)) return;
      break;
    case ExprKind::Star:
      throw hasGroupBy ? OraError(979)
                       : OraError(937);
    default:
      break;
  }
  if (!groups.empty()) {
    TypedSql t = expr(e, scope, true);
    if (groups.count(t.sql)) return;
  }
  if (e.kind == ExprKind::Column) {
    TypedSql t = expr(e, scope, true);
    std::string alias = aliasOfSql(t.sql);
    for (const auto& s : scope.sources)
      if (s.sqlAlias == alias || (s.sqlAlias.empty() && s.column(e.name.text)))
        throw hasGroupBy ? OraError(979)
                         : OraError(937);
    return;  // a correlated column of an outer query is a constant here
  }
  for (const auto& a : e.args)
    if (a) checkGrouped(*a, scope, groups, hasGroupBy);
}

std::string Translator::orderItems(const std::vector<OrderItem>& items, const Scope* scope,
                                   const std::vector<SelectItem>* selectItems,
                                   const TranslatedQuery& out,
                                   const std::vector<std::string>& itemSql, bool aggregate,
                                   const std::set<std::string>& groups, bool hasGroupBy,
                                   bool distinct) {
  std::string sql;
  for (const auto& it : items) {
    const Expr& e = *it.expr;
    std::string term;
    if (e.kind == ExprKind::Number) {
      // only an unsigned integer written alone is a position (-0, +1, 1+0 are values)
      size_t k = selectPosition(e.text);
      if (k < 1 || k > out.columns.size())
        throw OraError(1785);
      term = std::to_string(k);
    } else if (e.kind == ExprKind::Column && e.qualifier.empty()) {
      // A select-list alias or heading first, as Oracle resolves it.
      size_t chosen = 0;
      for (size_t k = 0; k < out.columns.size() && term.empty(); ++k) {
        bool aliased = selectItems && k < selectItems->size() && !(*selectItems)[k].alias.empty();
        if (out.columns[k].name == e.name.text && (aliased || !scope)) {
          term = std::to_string(k + 1);
          chosen = k;
        }
      }
      // Two different select items answering to that name: Oracle cannot choose.
      if (!term.empty() && scope && selectItems && selectItems->size() == out.columns.size() &&
          itemSql.size() == out.columns.size())
        for (size_t k = 0; k < out.columns.size(); ++k) {
          const SelectItem& item = (*selectItems)[k];
          bool named = !item.alias.empty() || item.expr->kind == ExprKind::Column;
          if (k != chosen && named && out.columns[k].name == e.name.text &&
              itemSql[k] != itemSql[chosen])
            throw OraError(960);
        }
    }
    if (term.empty()) {
      if (!scope && e.kind == ExprKind::Column)
        throw OraError(904, "\"" + e.name.text + "\": invalid identifier");
      if (!scope)  // a set operation sorts by its result columns only
        throw OraError(1785);
      TypedSql t = expr(e, *scope, aggregate);
      for (size_t k = 0; k < itemSql.size() && term.empty(); ++k)
        if (itemSql[k] == t.sql) term = std::to_string(k + 1);
      if (term.empty()) {
        if (distinct) throw OraError(1791);
        if (aggregate) checkGrouped(e, *scope, groups, hasGroupBy);
        term = sortKey(t);
      }
    }
    sql += (sql.empty() ? " ORDER BY " : ", ") + term + orderSuffix(it);
  }
  return sql;
}

// One query block as its clauses are translated, phase by phase.
struct BlockParts {
  Scope scope;
  std::unique_ptr<HierarchyBlock> hierarchy;  // CONNECT BY: FROM reads the walk
  std::vector<std::string> pieces;            // the FROM items
  bool ansiJoin = false;
  std::vector<const Expr*> conjuncts;  // of WHERE (after the walk when hierarchical)
  std::string from, where, groupBy, having, orderBy;
  // ROWNUM conditions as a row limit (held as a plain count: GCC misreads an optional here)
  bool limit = false;
  long long limitRows = 0;
  bool reshaped = false;      // grouped, DISTINCT, analytic or sorted
  std::string derivedRownum;  // ROWNUM numbered before the reshaping
  std::vector<std::string> itemSql;
  std::set<std::string> groups;
  bool nestedGroups = false;
  bool anyAggregate = false;  // a select item calls a group function
  bool aggregate = false;     // the block is grouped
  bool oneGroup = false;
  TranslatedQuery out;
};

TranslatedQuery Translator::selectCore(const Query& q, const Scope* outer) {
  const SelectCore& c = q.core;
  if (q.orderSiblings && !c.connectBy)
    throw OraError(30929);
  // Analytics, grouping sets and nested group functions belong to one block.
  struct BlockState {
    Translator& t;
    bool analytics = t.analyticsAllowed_;
    std::shared_ptr<GroupingPlan> grouping = std::move(t.grouping_);
    std::shared_ptr<NestedGroups> nested = std::move(t.nested_);
    bool substitute = t.substituteGroups_;
    bool enclosed = grouping && (t.enclosingGroupings_.push_back(grouping), true);
    ~BlockState() {
      if (enclosed) t.enclosingGroupings_.pop_back();
      t.analyticsAllowed_ = analytics;
      t.grouping_ = std::move(grouping);
      t.nested_ = std::move(nested);
      t.substituteGroups_ = substitute;
    }
  } blockState{*this};
  analyticsAllowed_ = false;
  substituteGroups_ = true;
  BlockParts b;
  b.scope.parent = outer;
  blockFrom(q, outer, b);
  blockWhere(b);
  blockRownum(q, b);
  const std::string savedRownum = rownumSql_;
  rownumSql_ = b.reshaped ? b.derivedRownum : "row_number() OVER ()";
  const std::string groupingSetsSql = planGroupingSets(c, b.scope, b.groups, b.from);
  b.nestedGroups = planNestedGroups(q);
  selectItems(c, b);
  if (b.derivedRownum.empty()) rownumSql_.clear();
  blockGroups(c, groupingSetsSql, b);
  if (!q.orderBy.empty() && !q.orderSiblings) {
    analyticsAllowed_ = true;
    b.orderBy = orderItems(q.orderBy, &b.scope, &c.items, b.out, b.itemSql, b.aggregate, b.groups,
                           !c.groupBy.empty(), c.distinct);
    analyticsAllowed_ = false;
  }
  if (b.nestedGroups) {
    checkNestedGroups(c, b.scope, b.groups);
    b.from = nestedFrom(b.from, b.where + b.groupBy + b.having);
    b.where.clear();
    b.groupBy.clear();
    b.having.clear();
  }
  blockSql(c, b);
  rownumSql_ = savedRownum;
  return std::move(b.out);
}

// FROM: the tables, views and joins, or the walk of a CONNECT BY block.
void Translator::blockFrom(const Query& q, const Scope* outer, BlockParts& b) {
  const SelectCore& c = q.core;
  if (c.connectBy || c.startWith) {
    for (const auto& t : c.from)
      for (const auto& j : t->joins)
        if (j.natural || !j.usingColumns.empty())
          throw OraError(3001, "unimplemented feature: JOIN ... USING or NATURAL JOIN in a "
                               "hierarchical query");
    b.hierarchy = HierarchyBlock::begin(*this, q, b.scope, b.pieces.emplace_back());
    b.conjuncts = b.hierarchy->postWalk();
    return;
  }
  for (const auto& t : c.from) {
    b.pieces.push_back(fromItem(*t, b.scope, outer));
    b.ansiJoin = b.ansiJoin || t->kind == TableRef::Kind::Join;
  }
  splitConjuncts(c.where.get(), b.conjuncts);
}

// WHERE: (+) conjuncts become outer joins, ROWNUM conditions a row limit, the rest
// the WHERE clause.
void Translator::blockWhere(BlockParts& b) {
  bool marks = false;
  for (const Expr* e : b.conjuncts) marks = marks || hasOuterJoinMark(*e);
  if (marks) {
    if (b.ansiJoin)
      throw OraError(25156);
    b.from = planOuterJoins(b.pieces, b.scope, b.conjuncts);
  } else {
    for (size_t i = 0; i < b.pieces.size(); ++i) b.from += (i ? ", " : "") + b.pieces[i];
  }
  const std::optional<long long> rownumLimit = takeRownumLimit(b.conjuncts);
  b.limit = rownumLimit.has_value();
  b.limitRows = rownumLimit.value_or(0);
  if (!b.conjuncts.empty()) {
    std::vector<std::string> terms;
    terms.reserve(b.conjuncts.size());
    for (const Expr* e : b.conjuncts) terms.push_back(expr(*e, b.scope, false).sql);
    b.where = " WHERE " + conjunctionSql(std::move(terms));
  }
}

// ROWNUM counts rows before grouping, DISTINCT and sorting: when the block reshapes
// its rows, FROM + WHERE are numbered and limited first, in a derived table.
void Translator::blockRownum(const Query& q, BlockParts& b) {
  const SelectCore& c = q.core;
  bool aggregateAst = !c.groupBy.empty() || c.having;
  for (const auto& item : c.items) aggregateAst = aggregateAst || containsAggregate(*item.expr);
  // Analytics read the rows that ROWNUM lets through.
  bool analytics = false;
  for (const auto& item : c.items) analytics = analytics || containsAnalytic(*item.expr);
  for (const auto& item : q.orderBy) analytics = analytics || containsAnalytic(*item.expr);
  // ORDER SIBLINGS BY keeps the walk order, in which ROWNUM counts
  b.reshaped = aggregateAst || c.distinct || analytics || (!q.orderBy.empty() && !q.orderSiblings);
  bool rownumValue = false;
  for (const auto& item : c.items) rownumValue = rownumValue || mentionsRownum(*item.expr);
  for (const auto& item : q.orderBy) rownumValue = rownumValue || mentionsRownum(*item.expr);
  if (b.hierarchy && b.reshaped && (b.limit || rownumValue))
    throw OraError(3001, "unimplemented feature: ROWNUM with GROUP BY, DISTINCT or ORDER BY in "
                         "a hierarchical query");
  if (!(b.limit || rownumValue) || !b.reshaped) return;
  std::string inner = "SELECT ";
  std::string derived = newAlias();
  int k = 0;
  for (auto& s : b.scope.sources) {
    for (auto& col : s.columns) {
      std::string name = "k" + std::to_string(++k);
      inner += (k > 1 ? ", " : "") + s.sqlAlias + "." + col.sqlName + " AS " + name;
      col.sqlName = name;
    }
    s.sqlAlias = derived;
  }
  if (k == 0) inner += "1";
  if (rownumValue) {
    inner += ", row_number() OVER () AS rn";
    b.derivedRownum = derived + ".rn";
  }
  b.from = "(" + inner + " FROM " + b.from + b.where +
           (b.limit ? " LIMIT " + std::to_string(b.limitRows) + kKeepLimitInPlace : std::string()) +
           ") AS " + derived;
  b.where.clear();
  b.limit = false;
}

// The select list: each item with its heading and type; * and t.* expanded.
void Translator::selectItems(const SelectCore& c, BlockParts& b) {
  analyticsAllowed_ = true;
  TranslatedQuery& out = b.out;
  for (const auto& item : c.items) {
    if (item.expr->kind == ExprKind::Star) {
      starItems(*item.expr, b);
      continue;
    }
    TypedSql t = expr(*item.expr, b.scope, true);
    refuseIntervalValue(t);
    b.anyAggregate = b.anyAggregate || t.aggregate;
    b.itemSql.push_back(t.sql);
    Column meta = t.meta;
    if (!item.alias.empty())
      meta.name = item.alias.text;
    else if (item.expr->kind == ExprKind::Column)
      meta.name = item.expr->name.text;
    else
      meta.name = item.heading;
    out.columns.push_back(meta);
    out.types.push_back(t.type);
    out.fixedChar.push_back(t.fixedChar);
  }
  analyticsAllowed_ = false;
}

void Translator::starItems(const Expr& star, BlockParts& b) {
  bool matched = false;
  for (const auto& s : b.scope.sources) {
    if (!star.qualifier.empty() && s.name != star.qualifier.text) continue;
    matched = true;
    for (const auto& col : s.columns) {
      if (col.mergedBy && star.qualifier.empty()) continue;  // shown once, merged
      b.itemSql.push_back(s.sqlAlias.empty() ? col.sqlName : s.sqlAlias + "." + col.sqlName);
      Column meta = col.meta;
      meta.name = col.name;
      if (s.optional) meta.nullable = true;
      b.out.columns.push_back(meta);
      b.out.types.push_back(col.type);
      b.out.fixedChar.push_back(col.fixedChar);
    }
  }
  if (!matched) throw OraError(904, "\"" + star.qualifier.text + "\": invalid identifier");
}

// GROUP BY and HAVING, and Oracle's check that every item reads grouped values.
void Translator::blockGroups(const SelectCore& c, const std::string& groupingSetsSql,
                             BlockParts& b) {
  b.groupBy = groupingSetsSql;
  for (const auto& g : c.groupBy) {
    if (grouping_) break;
    TypedSql t = expr(*g, b.scope, false);
    b.groups.insert(t.sql);
    // A constant groups everything into one group; SQLite would read an integer as a position.
    std::string s = t.literal ? "(" + t.sql + "||'')" : t.sql;
    b.groupBy += (b.groupBy.empty() ? " GROUP BY " : ", ") + s;
  }
  bool hasHavingAggregate = false;
  if (c.having) {
    TypedSql h = expr(*c.having, b.scope, true);
    hasHavingAggregate = h.aggregate;
    b.having = " HAVING " + h.sql;
  }
  const bool hasGroupBy = !c.groupBy.empty();
  // HAVING alone makes the block one group, as in Oracle; SQLite sees one only with a
  // group function in the select list.
  b.oneGroup = c.having && !hasGroupBy && !b.anyAggregate && !b.itemSql.empty();
  b.aggregate = hasGroupBy || b.anyAggregate || hasHavingAggregate || c.having != nullptr;
  if (!b.aggregate) return;
  analyticsAllowed_ = true;
  for (size_t k = 0; k < c.items.size() && !b.nestedGroups; ++k)
    checkGrouped(*c.items[k].expr, b.scope, b.groups, hasGroupBy);
  analyticsAllowed_ = false;
  if (c.having) checkGrouped(*c.having, b.scope, b.groups, hasGroupBy);
}

// The block's SELECT from its translated clauses.
void Translator::blockSql(const SelectCore& c, BlockParts& b) {
  std::string sql = c.distinct ? "SELECT DISTINCT " : "SELECT ";
  for (size_t k = 0; k < b.itemSql.size(); ++k) {
    const std::string& item =
        k == 0 && b.oneGroup ? "CASE WHEN count(*) IS NULL THEN NULL ELSE " + b.itemSql[0] + " END"
                             : b.itemSql[k];
    sql += (k ? ", " : "") + item + " AS c" + std::to_string(k + 1);
  }
  sql += " FROM " + b.from + b.where + b.groupBy + b.having;
  if (!b.orderBy.empty()) {
    sql += b.orderBy;
  } else if (b.hierarchy && !b.aggregate && !c.distinct) {
    sql += b.hierarchy->treeOrder();
    b.out.limited = true;  // ordered: a set member or sub-query must wrap it
  }
  if (b.limit) {
    sql += " LIMIT " + std::to_string(b.limitRows) + kKeepLimitInPlace;
    b.out.limited = true;
  }
  b.out.sql = std::move(sql);
}

TranslatedQuery Translator::compound(const Query& q, const Scope* outer) {
  // The ORDER BY of this level is applied below, so translate the members alone.
  TranslatedQuery out;
  std::vector<std::string> members;
  members.reserve(q.members.size());
  for (size_t k = 0; k < q.members.size(); ++k) {
    const Query& m = *q.members[k];
    TranslatedQuery t = query(m, outer);
    // a member that sorts, limits or is itself a set operation keeps to itself
    if (!m.orderBy.empty() || t.limited || m.kind == Query::Kind::Compound)
      t.sql = "SELECT * FROM (" + t.sql + ")";
    if (k == 0) {
      out.columns = std::move(t.columns);
      out.types = std::move(t.types);
      out.fixedChar = std::move(t.fixedChar);
    } else {
      if (t.columns.size() != out.columns.size())
        throw OraError(1789);
      for (size_t i = 0; i < out.types.size(); ++i) {
        if (out.types[i] == SqlType::Unknown) {
          out.types[i] = t.types[i];
          out.columns[i].type = t.columns[i].type;
        } else if (t.types[i] != SqlType::Unknown && t.types[i] != out.types[i]) {
          throw OraError(1790);
        }
        out.columns[i].nullable = out.columns[i].nullable || t.columns[i].nullable;
      }
    }
    members.push_back(std::move(t.sql));
  }
  out.sql = compoundSql(std::move(members), q.ops);
  if (!q.orderBy.empty())
    out.sql += orderItems(q.orderBy, nullptr, nullptr, out, {}, false, {}, false, false);
  return out;
}

TranslatedQuery Translator::query(const Query& q, const Scope* outer) {
  NestingGuard guard(depth_, kMaxTreeDepth, "query");
  const bool outermost = depth_ == 1;
  TranslatedQuery out;
  if (!q.with.empty() && bodyOf_ != &q) {
    out = withClause(q, outer);
  } else {
    bodyOf_ = nullptr;
    out = q.kind == Query::Kind::Compound ? compound(q, outer) : selectCore(q, outer);
    if (q.offsetRows || q.fetchRows) rowLimit(q, out);
    out.temporaries = temporaries;  // the walk tables live as long as the translation
  }
  if (outermost) out.tableAliases = tableAliases_;
  return out;
}

}  // namespace korvo::engine
