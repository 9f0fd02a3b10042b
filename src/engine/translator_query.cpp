// Queries: FROM items and name scopes, select lists with Oracle's headings,
// GROUP BY checks, ORDER BY with Oracle's NULL ordering, set operators.
#include <set>

#include "engine/dictionary.h"
#include "engine/hierarchical.h"
#include "engine/ora_error.h"
#include "engine/query_rewrites.h"
#include "engine/translator.h"

namespace korvo::engine {

// SQLite may flatten a sub-query that has a LIMIT but no ORDER BY into an outer
// query that sorts, and then keeps the first rows after the sort. ROWNUM counts
// before the sort, so its LIMIT carries an OFFSET, which SQLite never flattens.
constexpr const char* kKeepLimitInPlace = " OFFSET 0";

using namespace ast;

namespace {

SqlType typeOfColumn(const std::string& t) {
  if (t == "NUMBER" || t == "INTEGER" || t == "FLOAT") return SqlType::Number;
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

}  // namespace

Source Translator::tableSource(const std::string& table, const std::string& alias) {
  const CatalogTable* t = env_.catalog->table(table);
  if (!t) throw OraError(942, "table or view does not exist");
  Source s;
  s.name = alias.empty() ? table : alias;
  s.sqlAlias = newAlias();
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

std::string Translator::fromItem(const TableRef& t, Scope& scope, const Scope* outer) {
  switch (t.kind) {
    case TableRef::Kind::Table: {
      if (std::string cte; commonTableSource(t, scope, cte)) return cte;
      if (!t.schema.empty() && t.schema.text != env_.user && t.schema.text != "SYS" &&
          t.schema.text != "PUBLIC")
        throw OraError(942, "table or view does not exist");
      std::string name = t.name.text;
      if (env_.catalog->table(name)) {
        Source s = tableSource(name, t.alias.text);
        std::string sql = sqlName(name) + " AS " + s.sqlAlias;
        scope.sources.push_back(std::move(s));
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
        scope.sources.push_back(std::move(s));
        return sql;
      }
      throw OraError(942, "table or view does not exist");
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
      scope.sources.push_back(std::move(s));
      return sql;
    }
    case TableRef::Kind::Join: {
      size_t leftStart = scope.sources.size();
      std::string l = fromItem(*t.left, scope, outer);
      size_t rightStart = scope.sources.size();
      std::string r = fromItem(*t.right, scope, outer);
      if (t.joinType == JoinType::Left || t.joinType == JoinType::Full)
        for (size_t i = rightStart; i < scope.sources.size(); ++i) scope.sources[i].optional = true;
      if (t.joinType == JoinType::Right || t.joinType == JoinType::Full)
        for (size_t i = leftStart; i < rightStart; ++i) scope.sources[i].optional = true;
      static const char* kw[] = {" JOIN ", " LEFT JOIN ", " RIGHT JOIN ", " FULL JOIN ",
                                 " CROSS JOIN "};
      std::string sql = l + kw[int(t.joinType)] + r;
      if (t.on) {
        if (hasOuterJoinMark(*t.on))
          throw OraError(25156, "old style outer join (+) cannot be used with ANSI joins");
        sql += " ON " + expr(*t.on, scope).sql;
      }
      return sql;
    }
  }
  return {};
}

void Translator::checkGrouped(const Expr& e, const Scope& scope,
                              const std::set<std::string>& groups, bool hasGroupBy) {
  switch (e.kind) {
    case ExprKind::Number:
    case ExprKind::String:
    case ExprKind::Null:
    case ExprKind::DateLiteral:
    case ExprKind::Pseudo:
    case ExprKind::Exists:
    case ExprKind::Subquery:
      return;
    case ExprKind::Function:
      if (e.qualifier.empty() && isAggregateName(e.name.text)) return;
      break;
    case ExprKind::Star:
      throw hasGroupBy ? OraError(979, "not a GROUP BY expression")
                       : OraError(937, "not a single-group group function");
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
      if (s.sqlAlias == alias)
        throw hasGroupBy ? OraError(979, "not a GROUP BY expression")
                         : OraError(937, "not a single-group group function");
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
      size_t k = 0;
      bool integral = e.text.find_first_not_of("0123456789") == std::string::npos;
      if (integral) k = std::stoul(e.text.substr(0, 9));
      if (!integral || k < 1 || k > out.columns.size())
        throw OraError(1785, "ORDER BY item must be the number of a SELECT-list expression");
      term = std::to_string(k);
    } else if (e.kind == ExprKind::Column && e.qualifier.empty()) {
      // A select-list alias or heading first, as Oracle resolves it.
      for (size_t k = 0; k < out.columns.size() && term.empty(); ++k) {
        bool aliased = selectItems && k < selectItems->size() && !(*selectItems)[k].alias.empty();
        if (out.columns[k].name == e.name.text && (aliased || !scope)) term = std::to_string(k + 1);
      }
    }
    if (term.empty()) {
      if (!scope) throw OraError(904, "\"" + e.name.text + "\": invalid identifier");
      TypedSql t = expr(e, *scope, aggregate);
      for (size_t k = 0; k < itemSql.size() && term.empty(); ++k)
        if (itemSql[k] == t.sql) term = std::to_string(k + 1);
      if (term.empty()) {
        if (distinct) throw OraError(1791, "not a SELECTed expression");
        if (aggregate) checkGrouped(e, *scope, groups, hasGroupBy);
        term = t.sql;
      }
    }
    sql += (sql.empty() ? " ORDER BY " : ", ") + term + orderSuffix(it);
  }
  return sql;
}

TranslatedQuery Translator::selectCore(const Query& q, const Scope* outer) {
  const SelectCore& c = q.core;
  if (q.orderSiblings && !c.connectBy)
    throw OraError(30929, "ORDER SIBLINGS BY clause not allowed here");
  Scope scope;
  scope.parent = outer;
  std::vector<std::string> pieces;
  bool ansiJoin = false;
  std::unique_ptr<HierarchyBlock> hierarchy;  // CONNECT BY: FROM reads the walk
  if (c.connectBy || c.startWith)
    hierarchy = HierarchyBlock::begin(*this, q, scope, pieces.emplace_back());
  for (const auto& t : c.from) {
    if (hierarchy) break;
    pieces.push_back(fromItem(*t, scope, outer));
    ansiJoin = ansiJoin || t->kind == TableRef::Kind::Join;
  }
  std::vector<const Expr*> conjuncts;
  if (hierarchy)
    conjuncts = hierarchy->postWalk();
  else
    splitConjuncts(c.where.get(), conjuncts);
  bool marks = false;
  for (const Expr* e : conjuncts) marks = marks || hasOuterJoinMark(*e);
  std::string from;
  if (marks) {
    if (ansiJoin)
      throw OraError(25156, "old style outer join (+) cannot be used with ANSI joins");
    from = planOuterJoins(pieces, scope, conjuncts);
  } else {
    for (size_t i = 0; i < pieces.size(); ++i) from += (i ? ", " : "") + pieces[i];
  }
  std::optional<long long> limit = takeRownumLimit(conjuncts);
  std::string where;
  for (const Expr* e : conjuncts)
    where += (where.empty() ? " WHERE " : " AND ") + expr(*e, scope, false).sql;

  bool aggregateAst = !c.groupBy.empty() || c.having;
  for (const auto& item : c.items) aggregateAst = aggregateAst || containsAggregate(*item.expr);
  // ORDER SIBLINGS BY keeps the walk order, in which ROWNUM counts
  bool reshaped = aggregateAst || c.distinct || (!q.orderBy.empty() && !q.orderSiblings);
  bool rownumValue = false;
  for (const auto& item : c.items) rownumValue = rownumValue || mentionsRownum(*item.expr);
  for (const auto& item : q.orderBy) rownumValue = rownumValue || mentionsRownum(*item.expr);
  if (hierarchy && reshaped && (limit || rownumValue))
    throw OraError(3001, "unimplemented feature: ROWNUM with GROUP BY, DISTINCT or ORDER BY in "
                         "a hierarchical query");
  std::string derivedRownum;
  if ((limit || rownumValue) && reshaped) {
    // ROWNUM counts rows before grouping, DISTINCT and sorting: number and limit
    // FROM + WHERE first.
    std::string inner = "SELECT ";
    std::string derived = newAlias();
    int k = 0;
    for (auto& s : scope.sources) {
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
      derivedRownum = derived + ".rn";
    }
    from = "(" + inner + " FROM " + from + where +
           (limit ? " LIMIT " + std::to_string(*limit) + kKeepLimitInPlace : std::string()) +
           ") AS " + derived;
    where.clear();
    limit.reset();
  }
  std::string savedRownum = rownumSql_;
  rownumSql_ = reshaped ? derivedRownum : "row_number() OVER ()";

  TranslatedQuery out;
  std::vector<std::string> itemSql;
  bool anyAggregate = false;
  for (const auto& item : c.items) {
    if (item.expr->kind == ExprKind::Star) {
      bool matched = false;
      for (const auto& s : scope.sources) {
        if (!item.expr->qualifier.empty() && s.name != item.expr->qualifier.text) continue;
        matched = true;
        for (const auto& col : s.columns) {
          itemSql.push_back(s.sqlAlias + "." + col.sqlName);
          Column meta = col.meta;
          meta.name = col.name;
          if (s.optional) meta.nullable = true;
          out.columns.push_back(meta);
          out.types.push_back(col.type);
          out.fixedChar.push_back(col.fixedChar);
        }
      }
      if (!matched) throw OraError(904, "\"" + item.expr->qualifier.text + "\": invalid identifier");
      continue;
    }
    TypedSql t = expr(*item.expr, scope, true);
    anyAggregate = anyAggregate || t.aggregate;
    itemSql.push_back(t.sql);
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
  if (derivedRownum.empty()) rownumSql_.clear();

  std::set<std::string> groups;
  std::string groupBy;
  for (const auto& g : c.groupBy) {
    TypedSql t = expr(*g, scope, false);
    groups.insert(t.sql);
    // A constant groups everything into one group; SQLite would read an integer as a position.
    std::string s = t.literal ? "(" + t.sql + "||'')" : t.sql;
    groupBy += (groupBy.empty() ? " GROUP BY " : ", ") + s;
  }
  std::string having;
  bool hasHavingAggregate = false;
  if (c.having) {
    TypedSql h = expr(*c.having, scope, true);
    hasHavingAggregate = h.aggregate;
    having = " HAVING " + h.sql;
  }
  bool hasGroupBy = !c.groupBy.empty();
  // HAVING alone makes the block one group, as in Oracle.
  bool aggregate = hasGroupBy || anyAggregate || hasHavingAggregate || c.having != nullptr;
  if (aggregate) {
    for (size_t k = 0; k < c.items.size(); ++k)
      checkGrouped(*c.items[k].expr, scope, groups, hasGroupBy);
    if (c.having) checkGrouped(*c.having, scope, groups, hasGroupBy);
  }
  std::string sql = c.distinct ? "SELECT DISTINCT " : "SELECT ";
  for (size_t k = 0; k < itemSql.size(); ++k)
    sql += (k ? ", " : "") + itemSql[k] + " AS c" + std::to_string(k + 1);
  sql += " FROM " + from + where + groupBy + having;
  if (!q.orderBy.empty() && !q.orderSiblings) {
    sql += orderItems(q.orderBy, &scope, &c.items, out, itemSql, aggregate, groups, hasGroupBy,
                      c.distinct);
  } else if (hierarchy && !aggregate && !c.distinct) {
    sql += hierarchy->treeOrder();
    out.limited = true;  // ordered: a set member or sub-query must wrap it
  }
  if (limit) {
    sql += " LIMIT " + std::to_string(*limit) + kKeepLimitInPlace;
    out.limited = true;
  }
  rownumSql_ = savedRownum;
  out.sql = std::move(sql);
  return out;
}

TranslatedQuery Translator::compound(const Query& q, const Scope* outer) {
  auto member = [&](const Query& m, bool right) {
    TranslatedQuery t = query(m, outer);
    bool wrap = !m.orderBy.empty() || t.limited || (right && m.kind == Query::Kind::Compound);
    if (wrap) t.sql = "SELECT * FROM (" + t.sql + ")";
    return t;
  };
  // The ORDER BY of this level is applied below, so translate the members alone.
  TranslatedQuery l = member(*q.left, false);
  TranslatedQuery r = member(*q.right, true);
  if (l.columns.size() != r.columns.size())
    throw OraError(1789, "query block has incorrect number of result columns");
  for (size_t i = 0; i < l.types.size(); ++i) {
    if (l.types[i] == SqlType::Unknown) {
      l.types[i] = r.types[i];
      l.columns[i].type = r.columns[i].type;
    } else if (r.types[i] != SqlType::Unknown && r.types[i] != l.types[i]) {
      throw OraError(1790, "expression must have same datatype as corresponding expression");
    }
    l.columns[i].nullable = l.columns[i].nullable || r.columns[i].nullable;
  }
  static const char* ops[] = {" UNION ", " UNION ALL ", " INTERSECT ", " EXCEPT "};
  TranslatedQuery out = l;
  out.sql = l.sql + ops[int(q.op)] + r.sql;
  if (!q.orderBy.empty())
    out.sql += orderItems(q.orderBy, nullptr, nullptr, out, {}, false, {}, false, false);
  return out;
}

TranslatedQuery Translator::query(const Query& q, const Scope* outer) {
  if (!q.with.empty() && bodyOf_ != &q) return withClause(q, outer);
  bodyOf_ = nullptr;
  TranslatedQuery out = q.kind == Query::Kind::Compound ? compound(q, outer) : selectCore(q, outer);
  out.temporaries = temporaries;  // the walk tables live as long as the translation
  return out;
}

}  // namespace korvo::engine
