#pragma once
// The cost model behind EXPLAIN PLAN. SQLite's query plan (EXPLAIN QUERY PLAN of the
// translated statement) gives the access paths and the join order; the tables' sizes
// give the numbers. Costs are in block reads, as Oracle counts them: what grows with
// the work the statement does grows the cost. See docs/cost-model.md.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvo::engine {

// One row of EXPLAIN QUERY PLAN.
struct QueryPlanRow {
  int id = 0;
  int parent = 0;
  std::string detail;  // "SCAN t1", "SEARCH t2 USING INDEX PK_DEPT (DEPTNO=?)" ...
};

struct TableFacts {
  std::string name;  // the table's Oracle name, empty for an engine work table
  double rows = 0;   // from the statistics of ANALYZE, or counted
  double width = 0;  // average bytes per row
};

struct IndexFacts {
  bool unique = false;
  // Rows per key for the first k columns at [k-1] (sqlite_stat1); empty without statistics.
  std::vector<double> rowsPerKey;
};

// What the model asks about the statement's tables. table() takes the name SQLite
// shows (an alias of the translated SQL) and answers nullopt for an inline view.
struct PlanFacts {
  std::function<std::optional<TableFacts>(const std::string& shown)> table;
  std::function<IndexFacts(const std::string& table, const std::string& index)> index;
};

// One step of an Oracle plan with its estimates.
struct PlanStep {
  std::string operation;  // TABLE ACCESS, INDEX, NESTED LOOPS, HASH JOIN, SORT ...
  std::string options;    // FULL, BY INDEX ROWID, RANGE SCAN, GROUP BY ...
  std::string objectName;
  std::string objectType;  // TABLE, INDEX, INDEX (UNIQUE), empty for other steps
  double cost = 0;
  double cardinality = 0;
  double width = 0;  // bytes per row it returns
  std::vector<PlanStep> children;
};

// The plan of one statement: the step under SELECT STATEMENT.
PlanStep estimatePlan(const std::vector<QueryPlanRow>& rows, const PlanFacts& facts);

// Wraps a plan whose statement aggregates without GROUP BY: one row comes out.
PlanStep aggregateStep(PlanStep input);

}  // namespace korvo::engine
