#include "engine/explain.h"

#include <sqlite3.h>

#include <cmath>
#include <map>
#include <sstream>

#include "engine/dialect_types.h"
#include "engine/explain_cost.h"
#include "engine/hierarchical_tables.h"
#include "engine/ora_error.h"

namespace korvo::engine {

namespace {

constexpr double kWorkTableRows = 100;  // a CONNECT BY walk is not run to be explained

double columnWidth(const std::string& type, int length) {
  if (isNumberType(type)) return 5;
  if (type == "DATE") return 7;
  if (type == "CHAR") return std::max(1, length);
  if (typeFamily(type) == TypeFamily::Long) return 100;
  return std::max(1.0, std::min(length, 4000) / 2.0);  // VARCHAR2: half full on average
}

double resultWidth(const std::vector<Column>& columns) {
  double w = 0;
  for (const auto& c : columns) w += columnWidth(c.type, c.length);
  return std::max(1.0, w);
}

bool tableExists(sqlite3* db, const std::string& name) {
  SqlStatement st(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
  st.bind(1, name);
  return st.step();
}

// Statistics come from ANALYZE (DBMS_STATS) when there are some, else from counting.
double tableRows(sqlite3* db, const std::string& table) {
  if (tableExists(db, "sqlite_stat1")) {
    SqlStatement st(db, "SELECT stat FROM sqlite_stat1 WHERE tbl = ?1");
    st.bind(1, table);
    if (st.step())
      if (auto stat = st.text(0)) return std::atof(stat->c_str());
  }
  SqlStatement count(db, "SELECT count(*) FROM " + sqlName(table));
  count.step();
  return double(count.integer(0));
}

IndexFacts indexFacts(sqlite3* db, const std::string& table, const std::string& index) {
  IndexFacts f;
  {
    SqlStatement st(db, "SELECT \"unique\" FROM pragma_index_list(?1) WHERE name = ?2");
    st.bind(1, table);
    st.bind(2, index);
    f.unique = st.step() && st.integer(0) == 1;
  }
  if (tableExists(db, "sqlite_stat1")) {
    SqlStatement st(db, "SELECT stat FROM sqlite_stat1 WHERE tbl = ?1 AND idx = ?2");
    st.bind(1, table);
    st.bind(2, index);
    if (st.step()) {
      std::istringstream in(st.text(0).value_or(""));
      double rows = 0, perKey = 0;
      in >> rows;
      while (in >> perKey) f.rowsPerKey.push_back(perKey);
    }
  }
  return f;
}

std::string literal(const std::string& s) { return s.empty() ? "NULL" : sqlString(s); }

std::string number(double v) {
  if (!std::isfinite(v) || v > 1e15) v = 1e15;
  return std::to_string((long long)std::llround(std::ceil(v - 1e-9)));
}

struct PlanRow {
  const PlanStep* step;
  int id;
  int parent;
  int position;
};

// The steps in Oracle's order (depth first, children in turn), numbered from 1.
std::vector<PlanRow> flatten(const PlanStep& root) {
  std::vector<PlanRow> out;
  struct Pending {
    const PlanStep* step;
    int parent, position;
  };
  std::vector<Pending> stack{{&root, 0, 1}};
  while (!stack.empty()) {
    Pending p = stack.back();
    stack.pop_back();
    int id = int(out.size()) + 1;
    out.push_back({p.step, id, p.parent, p.position});
    for (size_t k = p.step->children.size(); k-- > 0;)
      stack.push_back({&p.step->children[k], id, int(k) + 1});
  }
  return out;
}

bool aggregatesWithoutGroups(const ast::Query& q) {
  if (q.kind != ast::Query::Kind::Select || !q.core.groupBy.empty()) return false;
  for (const auto& item : q.core.items)
    if (item.expr && containsAggregate(*item.expr)) return true;
  return false;
}

}  // namespace

void explainPlan(Session& session, const TranslationEnv& env, const ast::Statement& s) {
  TranslationEnv planEnv = env;
  planEnv.planOnly = true;
  Translator t(planEnv);
  TranslatedQuery q = t.query(*s.query);
  sqlite3* db = env.db.get();
  { SqlStatement check(db, q.sql); }  // SQLite's own checks, as a run would make them

  std::vector<QueryPlanRow> rows;
  for (SqlStatement eqp(db, "EXPLAIN QUERY PLAN " + q.sql); eqp.step();)
    rows.push_back({int(eqp.integer(0)), int(eqp.integer(1)), eqp.text(3).value_or("")});

  const std::map<std::string, std::string>& aliases = q.tableAliases;
  std::map<std::string, TableFacts> known;
  PlanFacts facts;
  facts.table = [&](const std::string& shown) -> std::optional<TableFacts> {
    auto a = aliases.find(shown);
    std::string name = a == aliases.end() ? shown : a->second;
    if (auto k = known.find(name); k != known.end()) return k->second;
    TableFacts f;
    if (name.rfind("_korvo_h", 0) == 0) {
      f.rows = kWorkTableRows;
      f.width = 50;
    } else if (const CatalogTable* ct = env.catalog->table(name)) {
      f.name = name;
      f.rows = tableRows(db, name);
      for (const auto& c : ct->columns) f.width += columnWidth(c.type, c.length);
    } else {
      return std::nullopt;  // an inline view
    }
    known[name] = f;
    return f;
  };
  facts.index = [&](const std::string& table, const std::string& index) {
    return indexFacts(db, table, index);
  };
  PlanStep plan = estimatePlan(rows, facts);
  if (aggregatesWithoutGroups(*s.query)) plan = aggregateStep(std::move(plan));

  const std::string into = "\"" + s.intoTable.text + "\"";
  const std::string id = literal(s.statementId.value_or(""));
  const std::string columns =
      "INSERT INTO " + into +
      " (STATEMENT_ID, TIMESTAMP, OPERATION, OPTIONS, OBJECT_OWNER, OBJECT_NAME, OBJECT_TYPE, "
      "OPTIMIZER, ID, PARENT_ID, POSITION, COST, CARDINALITY, BYTES) VALUES (";
  double card = std::max(1.0, std::ceil(plan.cardinality - 1e-9));
  session.execute(columns + id + ", SYSDATE, 'SELECT STATEMENT', NULL, NULL, NULL, NULL, " +
                  literal(env.nls ? env.nls->optimizerMode : "ALL_ROWS") + ", 0, NULL, " +
                  number(plan.cost) + ", " + number(plan.cost) + ", " + number(card) + ", " +
                  number(card * resultWidth(q.columns)) + ")");
  std::vector<PlanRow> steps = flatten(plan);
  for (const auto& r : steps) {
    const PlanStep& p = *r.step;
    double c = std::ceil(p.cardinality - 1e-9);
    session.execute(columns + id + ", SYSDATE, " + literal(p.operation) + ", " +
                    literal(p.options) + ", " + literal(p.objectName.empty() ? "" : env.user) +
                    ", " + literal(p.objectName) + ", " + literal(p.objectType) + ", NULL, " +
                    std::to_string(r.id) + ", " + std::to_string(r.parent) + ", " +
                    std::to_string(r.position) + ", " + number(p.cost) + ", " + number(c) + ", " +
                    number(c * p.width) + ")");
  }
}

}  // namespace korvo::engine
