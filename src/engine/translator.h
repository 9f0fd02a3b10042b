#pragma once
// Translates Oracle queries (AST) into SQLite SQL with Oracle's semantics: name
// resolution against the catalogue, static types (NUMBER, text, DATE) for the
// implicit conversions, NULL ordering, real division, Oracle's headings and the
// GROUP BY checks that SQLite does not make.
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/catalog.h"
#include "engine/query_rewrites.h"
#include "engine/session.h"

struct sqlite3;

namespace korvo::engine {

enum class SqlType { Unknown, Number, Text, Date };

// A translated expression.
struct TypedSql {
  std::string sql;
  SqlType type = SqlType::Unknown;
  bool fixedChar = false;  // CHAR column or literal: blank-padded comparison
  bool literal = false;
  bool aggregate = false;  // contains a group function
  int interval = 0;        // an INTERVAL literal: 1 year to month (sql: months), 2 day to second (sql: days)
  Column meta;             // result column description when used as a select item
};

struct SourceColumn {
  std::string name;     // Oracle name
  std::string sqlName;  // quoted SQLite name inside the source
  SqlType type = SqlType::Unknown;
  bool fixedChar = false;
  Column meta;
  // JOIN ... USING / NATURAL JOIN: the column is read through the join's merged
  // column; qualifying it raises this code (25154 USING, 25155 NATURAL).
  int mergedBy = 0;
};

// One FROM item as seen by name resolution. The merged columns of a USING or
// NATURAL join form a source of their own, with no name and no SQL alias (their
// sqlName is the whole expression).
struct Source {
  std::string name;  // alias, or table name when there is none
  std::string sqlAlias;
  std::vector<SourceColumn> columns;
  bool optional = false;  // the null-extended side of an outer join
  const SourceColumn* column(const std::string& n, bool* ambiguous = nullptr) const;
};

class HierarchyBlock;   // hierarchical.h
struct GroupingPlan;    // translator_grouping.cpp
struct NestedGroups;    // translator_grouping.cpp
class TemporaryTables;  // hierarchical_tables.h
struct BlockParts;      // translator_query.cpp

struct Scope {
  std::vector<Source> sources;
  const Scope* parent = nullptr;
  HierarchyBlock* hierarchy = nullptr;  // the CONNECT BY block these sources belong to
};

struct TranslatedQuery {
  std::string sql;
  std::vector<Column> columns;
  std::vector<SqlType> types;
  std::vector<bool> fixedChar;
  bool limited = false;  // carries a LIMIT (from ROWNUM), so it cannot be a bare set member
  std::shared_ptr<TemporaryTables> temporaries;  // tables the SQL reads (CONNECT BY walks)
  // SQL alias -> the table read under it: catalogue tables by their Oracle name, the
  // engine's work tables by their SQLite name (_korvo_...). Set on the outermost query.
  std::map<std::string, std::string> tableAliases;
};

// Everything the translation reads besides the statement.
struct TranslationEnv {
  Catalog* catalog = nullptr;
  const Nls* nls = nullptr;
  std::string user;     // SCOTT
  std::string sysdate;  // canonical, fixed for the statement
  std::string module;
  std::string action;
  std::string banner;
  std::shared_ptr<sqlite3> db;  // CONNECT BY blocks are walked while they are translated
  bool planOnly = false;        // EXPLAIN PLAN: create the walk tables, leave them empty
};

class Translator {
 public:
  explicit Translator(const TranslationEnv& env) : env_(env) {}

  std::shared_ptr<TemporaryTables> temporaries;  // shared by every query it translates

  TranslatedQuery query(const ast::Query& q, const Scope* outer = nullptr);
  TypedSql expr(const ast::Expr& e, const Scope& scope, bool allowAggregates = false);

  // Builds the scope of one table (UPDATE/DELETE target).
  Source tableSource(const std::string& table, const std::string& alias);
  // Conversion helpers shared with the DML translation.
  static std::string asText(const TypedSql& t);
  static std::string asNumber(const TypedSql& t);
  static std::string asDate(const TypedSql& t);

  std::string newAlias() { return "t" + std::to_string(++aliasCounter_); }

  // A term SQLite cannot mistake for a column position in ORDER BY: a constant
  // such as -0 or +1 sorts as the constant it is, as in Oracle.
  static std::string sortKey(const TypedSql& t);

 private:
  friend class HierarchyBlock;  // translates the FROM of a CONNECT BY block itself
  const TranslationEnv& env_;
  int aliasCounter_ = 0;
  int depth_ = 0;  // nodes of the statement the translation is inside (nesting.h)
  std::map<std::string, std::string> tableAliases_;
  void noteTable(const std::string& alias, const std::string& table) {
    tableAliases_[alias] = table;
  }
  // Adds a FROM item to a scope; SQLite reads at most 64 in one block.
  static void addSource(Scope& scope, Source s);
  bool ignoreOuterMarks_ = false;  // inside the ON clause built from (+) conjuncts
  std::string rownumSql_;          // what ROWNUM reads as a value here; empty: not allowed
  // WITH clause queries in scope; the first cteVisible_ can be named (with_clause.cpp)
  std::vector<const ast::CommonTable*> ctes_;
  size_t cteVisible_ = 0;
  const ast::Query* bodyOf_ = nullptr;  // the WITH query whose body is being translated
  static constexpr int kMaxCommonTableReads = 1000;
  int commonTableReads_ = 0;
  TranslatedQuery withClause(const ast::Query& q, const Scope* outer);
  // recursive_with.cpp: WITH t (cols) AS (anchor UNION ALL member reading t)
  struct RecursiveSelf {
    const ast::CommonTable* ct = nullptr;
    std::string sqlName;  // the SQLite recursive table
    std::string alias;    // the member's alias of it, once read
    std::vector<SqlType> types;
    std::vector<bool> fixedChar;
    std::vector<Column> columns;
  };
  RecursiveSelf* recursive_ = nullptr;  // the recursive member being translated
  TranslatedQuery recursiveCommonTable(const ast::CommonTable& ct);
  bool recursiveSource(const ast::TableRef& t, Scope& scope, std::string& sql);
  bool commonTableSource(const ast::TableRef& t, Scope& scope, std::string& sql);
  // quantified.cpp: x op ANY|ALL (...)
  TypedSql quantified(const ast::Expr& e, const Scope& scope, bool allowAggregates);

  // translator_analytic.cpp: analytic functions (OVER), LISTAGG, KEEP, GROUPING
  bool analyticsAllowed_ = false;  // in the select list or ORDER BY of the current block
  bool clauseFunction(const ast::Expr& e, const Scope& scope, bool allowAggregates, TypedSql& out);
  TypedSql analytic(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql countDistinct(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  std::string windowSql(const ast::FunctionClauses& c, const Scope& scope, bool allowAggregates,
                        bool& aggregate, bool allowOrder);
  // over: the window of an analytic LISTAGG or KEEP, empty for the group function
  TypedSql listagg(const ast::Expr& e, const Scope& scope, const std::string& over = {});
  TypedSql keep(const ast::Expr& e, const Scope& scope, const std::string& over = {});
  TypedSql groupingFunction(const ast::Expr& e, const Scope& scope);
  void checkAnalyticGrouped(const ast::Expr& e, const Scope& scope,
                            const std::set<std::string>& groups, bool hasGroupBy);
  // translator_grouping.cpp: ROLLUP, CUBE, GROUPING SETS as one grouping over
  // copies of the rows, one copy per grouping set; nested group functions as a
  // grouped inline view aggregated once more
  std::shared_ptr<GroupingPlan> grouping_;  // this block's
  // the plans of the blocks a sub-query is inside: its correlated references to their
  // grouped expressions read NULL in their subtotal rows too
  std::vector<std::shared_ptr<GroupingPlan>> enclosingGroupings_;
  std::shared_ptr<NestedGroups> nested_;
  bool substituteGroups_ = true;  // off inside a group function's arguments
  std::string planGroupingSets(const ast::SelectCore& c, const Scope& scope,
                               std::set<std::string>& groups, std::string& from);
  bool planNestedGroups(const ast::Query& q);
  std::string nestedFrom(const std::string& from, const std::string& innerClauses);
  void checkNestedGroups(const ast::SelectCore& c, const Scope& scope,
                         const std::set<std::string>& groups);
  TypedSql nestedArgument(const ast::Expr& arg, const Scope& scope);
  TypedSql exprNode(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  void groupedForm(TypedSql& t) const;  // a rolled-up column reads NULL in its subtotal rows

  // translator_query.cpp: one query block, phase by phase
  TranslatedQuery selectCore(const ast::Query& q, const Scope* outer);
  void blockFrom(const ast::Query& q, const Scope* outer, BlockParts& b);
  void blockWhere(BlockParts& b);
  void blockRownum(const ast::Query& q, BlockParts& b);
  void selectItems(const ast::SelectCore& c, BlockParts& b);
  void starItems(const ast::Expr& star, BlockParts& b);
  void blockGroups(const ast::SelectCore& c, const std::string& groupingSetsSql, BlockParts& b);
  void blockSql(const ast::SelectCore& c, BlockParts& b);
  TranslatedQuery compound(const ast::Query& q, const Scope* outer);
  std::string fromItem(const ast::TableRef& t, Scope& scope, const Scope* outer);
  // translator_clauses.cpp: the ON condition of JOIN ... USING / NATURAL JOIN, merging its columns
  std::string usingJoin(const ast::JoinStep& j, Scope& scope, size_t leftStart, size_t rightStart);
  // OFFSET / FETCH FIRST of a translated query
  void rowLimit(const ast::Query& q, TranslatedQuery& out);
  Source namedSource(const ast::TableRef& t);
  TypedSql column(const ast::Expr& e, const Scope& scope);
  // translator_chain.cpp: a chain of one precedence level, AND, OR or a comparison
  TypedSql chain(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  // translator_expr.cpp: one function per kind of node keeps expr()'s frame small
  TypedSql literal(const ast::Expr& e);
  TypedSql pseudoColumn(const ast::Expr& e);
  TypedSql isNull(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql unary(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql like(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql between(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql extract(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql inList(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql inQuery(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql caseExpr(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  // a call looked up in the function table (function_table.h)
  TypedSql function(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql lnnvl(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql comparison(const std::string& op, TypedSql l, TypedSql r);
  TypedSql binary(const std::string& op, TypedSql l, TypedSql r);  // one operator of a chain
  // translator_typing.cpp: INTERVAL literals, date +/- interval
  TypedSql interval(const ast::Expr& e);
  TypedSql cast(const ast::Expr& e, const Scope& scope, bool allowAggregates);
  TypedSql intervalArithmetic(const std::string& op, const TypedSql& l, const TypedSql& r);
  TypedSql subquery(const ast::Expr& e, const Scope& scope);
  // outer_join.cpp
  int sourceIndexOf(const ast::Expr& column, const Scope& scope);
  std::string planOuterJoins(const std::vector<std::string>& pieces, Scope& scope,
                             std::vector<const ast::Expr*>& conjuncts);
  void checkGrouped(const ast::Expr& e, const Scope& scope, const std::set<std::string>& groups,
                    bool hasGroupBy);
  std::string orderItems(const std::vector<ast::OrderItem>& items, const Scope* scope,
                         const std::vector<ast::SelectItem>* selectItems,
                         const TranslatedQuery& out, const std::vector<std::string>& itemSql,
                         bool aggregate, const std::set<std::string>& groups, bool hasGroupBy,
                         bool distinct);
};

// The typed result of a piece of SQL, with the column description of its type.
TypedSql typedSql(std::string sql, SqlType t);

// A literal compared with a CHAR(n) column, padded as the column's values are
// stored; false when the comparison cannot be written that way.
bool padCharLiteral(const TypedSql& column, const TypedSql& literal, std::string& out);

// The number a translated numeric literal stands for: "5" for "5" and "(-5)" for -5.
std::string numberLiteralText(const std::string& sql);

// terms joined by AND or OR in parenthesized groups of a few, so that however many
// there are, SQLite's expression tree stays shallow.
std::string balancedLogical(std::vector<std::string> terms, const std::string& op);

// The conjuncts of a WHERE or ON condition, however many, as SQLite takes them.
std::string conjunctionSql(std::vector<std::string> terms);

// True when e (outside sub-queries) calls a group function.
bool containsAggregate(const ast::Expr& e, int depth = 0);
// True when e (outside sub-queries) calls an analytic function (OVER).
bool containsAnalytic(const ast::Expr& e, int depth = 0);
bool isAggregateName(const std::string& upperName);

std::string typeName(SqlType t);
// The type as Oracle names it in ORA-00932 (a character value is CHAR there).
std::string typeWord(SqlType t);
// ORA-00932 when two branches of one result (CASE, COALESCE, NULLIF) differ in type.
void requireSameType(SqlType expected, SqlType got);
// ORA-03001 for an INTERVAL value where the engine takes only date +/- interval.
void refuseIntervalValue(const TypedSql& t);

}  // namespace korvo::engine
