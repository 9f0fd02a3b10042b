// Hierarchical work of the program on repository-sized data: the class query over
// 5,000 classes, the path query over a join tree of 2,000 tables, and GEN_TAB_TREE
// over 2,000 tables and 3,000 joins.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/session.h"

namespace {

using korvo::engine::Session;
using korvo::engine::Value;

std::unique_ptr<Session> freshSession(const std::string& tag) {
  auto file = std::filesystem::temp_directory_path() /
              ("korvo_hierarchy_bench_" + tag + "_" + std::to_string(::getpid()) + ".db");
  std::filesystem::remove(file);
  std::filesystem::remove(file.string() + "-wal");
  std::filesystem::remove(file.string() + "-shm");
  return Session::open(file.string(), "bench");
}

size_t drain(Session& s, const std::string& sql) {
  auto r = s.execute(sql);
  std::vector<Value> row;
  size_t n = 0;
  while (r.cursor->fetch(row)) ++n;
  return n;
}

// parent[k] of node k (1-based; 0 for a root), a random tree with some depth.
std::vector<int> randomTree(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<int> parent(size_t(n) + 1, 0);
  for (int k = 2; k <= n; ++k) {
    int lo = std::max(1, k - 40);  // recent nodes: deeper trees than a uniform choice
    parent[size_t(k)] = lo + int(rng() % unsigned(k - lo));
  }
  return parent;
}

void BM_ClassQuery(benchmark::State& state) {
  auto s = freshSession("class");
  s->execute(
      "CREATE TABLE KORVO_CLASS (CL_IDCLASS NUMBER(10) NOT NULL, CL_IDUNIV NUMBER(10) NOT "
      "NULL, CL_NAME VARCHAR2(35) NOT NULL, CL_IDPERE NUMBER(10), CL_HIDDEN VARCHAR2(1) NOT "
      "NULL, CL_POSITION NUMBER(10), CL_COMMENT VARCHAR2(250), CL_NIVEAU NUMBER(10))");
  std::vector<int> parent = randomTree(5000, 7);
  std::mt19937 rng(3);
  for (int k = 1; k <= 5000; ++k) {
    int p = k <= 20 ? 0 : parent[size_t(k)];
    s->execute("INSERT INTO KORVO_CLASS VALUES (" + std::to_string(k) + ", 1, 'Class " +
               std::to_string(k) + "', " + std::to_string(p) + ", '" +
               (rng() % 8 == 0 ? "O" : "N") + "', " + std::to_string(rng() % 50) + ", NULL, 0)");
  }
  s->commit();
  const std::string q =
      "SELECT CL_IDCLASS, CL_IDPERE , CL_NAME, LEVEL FROM KORVO_CLASS where  CL_HIDDEN = 'N' "
      "START WITH  CL_IDPERE  = 0 connect by    CL_IDPERE =  prior CL_IDCLASS ORDER SIBLINGS BY "
      "CL_POSITION";
  size_t rows = 0;
  for (auto _ : state) rows = drain(*s, q);
  state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ClassQuery)->Unit(benchmark::kMillisecond);

void BM_PathQuery(benchmark::State& state) {
  auto s = freshSession("path");
  s->execute(
      "CREATE TABLE KORVO_TAB_TREE (T_ID NUMBER(22), T_PARENT NUMBER(22), T_NIV "
      "NUMBER(22), T_TREE NUMBER(22))");
  std::vector<int> parent = randomTree(2000, 11);
  std::vector<int> level(parent.size(), 0);
  for (int k = 1; k <= 2000; ++k) {
    if (parent[size_t(k)]) level[size_t(k)] = level[size_t(parent[size_t(k)])] + 1;
    s->execute("insert into KORVO_TAB_TREE values(" + std::to_string(k) + ", " +
               (parent[size_t(k)] ? std::to_string(parent[size_t(k)]) : std::string("NULL")) +
               ", " + std::to_string(level[size_t(k)]) + ", 1)");
  }
  s->commit();
  const std::vector<int> tables = {1999, 1500, 1203, 640, 77};
  auto up = [](int t) {
    return "select  t_id from  korvo_tab_tree start with t_id = " + std::to_string(t) +
           " connect by prior t_parent = t_id";
  };
  std::string q = "select t_id from (select t_id  from ( select * from (";
  for (size_t i = 0; i < tables.size(); ++i)
    q += up(tables[i]) + (i + 1 < tables.size() ? " UNION " : ") minus select * from  (");
  for (size_t i = 0; i < tables.size(); ++i)
    q += up(tables[i]) + (i + 1 < tables.size() ? " INTERSECT " : ")) union select t_id  from  (");
  for (size_t i = 0; i < tables.size(); ++i)
    q += "select t_niv, t_id from  korvo_tab_tree start with t_id = " + std::to_string(tables[i]) +
         " connect by prior t_parent = t_id" +
         (i + 1 < tables.size() ? " INTERSECT " : " order by t_niv desc ) where rownum = 1)");
  size_t rows = 0;
  for (auto _ : state) rows = drain(*s, q);
  state.counters["rows"] = double(rows);
}
BENCHMARK(BM_PathQuery)->Unit(benchmark::kMillisecond);

void BM_GenTabTree(benchmark::State& state) {
  auto s = freshSession("tree");
  s->execute(
      "CREATE TABLE KORVO_TABLE (TB_IDTAB NUMBER(10) NOT NULL, TB_IDUNIV NUMBER(10) NOT "
      "NULL, TB_NAME VARCHAR2(30) NOT NULL, TB_ALIAS NUMBER(10))");
  s->execute(
      "CREATE TABLE KORVO_JOIN (JN_IDJOIN NUMBER(10) NOT NULL, JN_IDUNIV NUMBER(10) NOT "
      "NULL, JN_IDTAB1 NUMBER(10) NOT NULL, JN_IDTAB2 NUMBER(10) NOT NULL, JN_PROP "
      "VARCHAR2(35) NOT NULL, JN_DATAVALUE VARCHAR2(4000) NOT NULL)");
  s->execute(
      "CREATE TABLE KORVO_TAB_TREE (T_ID NUMBER(22), T_PARENT NUMBER(22), T_NIV "
      "NUMBER(22), T_TREE NUMBER(22))");
  s->execute("Create or replace procedure GEN_TAB_TREE  IS\r\nBEGIN\r\n  NULL;\r\nEND;");
  s->execute(
      "Create or replace procedure GEN_TAB_NODE(vIdTable IN Number, vTree IN Number)  "
      "IS\r\nBEGIN\r\n  NULL;\r\nEND;");
  for (int k = 1; k <= 2000; ++k)
    s->execute("INSERT INTO KORVO_TABLE VALUES (" + std::to_string(k) + ", 1, 'T" +
               std::to_string(k) + "', NULL)");
  // 1,960 joins along a forest of 40 trees, 640 second joins between joined tables
  // and 400 joins that are not usable: 3,000 joins.
  std::vector<int> parent = randomTree(2000, 5);
  std::mt19937 rng(9);
  int id = 0;
  auto join = [&](int a, int b, const char* prop) {
    s->execute("INSERT INTO KORVO_JOIN VALUES (" + std::to_string(++id) + ", 1, " +
               std::to_string(a) + ", " + std::to_string(b) + ", '" + prop + "', 'A.X=B.X')");
  };
  std::vector<std::pair<int, int>> edges;
  for (int k = 2; k <= 2000; ++k)
    if (k % 50 != 0) edges.push_back({parent[size_t(k)], k});
  for (auto [a, b] : edges) join(a, b, "1,1,FALSE,0");
  while (id < 2600) {
    auto [a, b] = edges[rng() % edges.size()];
    join(b, a, "1,1,FALSE,0");
  }
  while (id < 3000) join(1 + int(rng() % 2000), 1 + int(rng() % 2000), "1,1,TRUE,0");
  s->commit();
  for (auto _ : state) s->execute("begin\nGEN_TAB_TREE;\nend;");
  state.counters["trees"] = double(drain(*s, "select distinct T_TREE from KORVO_TAB_TREE"));
}
BENCHMARK(BM_GenTabTree)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
