// The path query of the SQL generator, assembled from its fragments exactly as the
// generator writes it, on join trees of several shapes, against the paths computed
// here by walking the parent links.
#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

struct TreeRow {
  int id, parent, level, tree;  // parent -1: NULL (root grown from joins), 0: single-table tree
};

std::string pathQuery(const std::vector<int>& tables) {
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
  return q;
}

// Every table on the paths joining the tables inside their tree, plus their deepest
// common ancestor.
std::set<int> expectedPath(const std::map<int, TreeRow>& tree, const std::vector<int>& tables) {
  std::vector<std::set<int>> paths;
  for (int t : tables) {
    std::set<int> p;
    for (auto it = tree.find(t); it != tree.end(); it = tree.find(it->second.parent))
      p.insert(it->first);
    paths.push_back(p);
  }
  std::set<int> all, common = paths[0];
  for (const auto& p : paths) {
    all.insert(p.begin(), p.end());
    std::set<int> keep;
    std::set_intersection(common.begin(), common.end(), p.begin(), p.end(),
                          std::inserter(keep, keep.begin()));
    common = keep;
  }
  std::set<int> out;
  for (int t : all)
    if (!common.count(t)) out.insert(t);
  int deepest = -1;
  for (int t : common)
    if (deepest < 0 || tree.at(t).level > tree.at(deepest).level) deepest = t;
  if (deepest >= 0) out.insert(deepest);
  return out;
}

class PathQueryTest : public EngineTest {
 protected:
  void load(const std::vector<TreeRow>& rows) {
    run("CREATE TABLE KORVO_TAB_TREE (T_ID NUMBER(22), T_PARENT NUMBER(22), T_NIV NUMBER(22), "
        "T_TREE NUMBER(22))");
    tree_.clear();
    for (const auto& r : rows) {
      std::string parent = r.parent < 0 ? "NULL" : std::to_string(r.parent);
      run("insert into KORVO_TAB_TREE values(" + std::to_string(r.id) + ", " + parent + ", " +
          std::to_string(r.level) + ", " + std::to_string(r.tree) + ")");
      tree_[r.id] = r;
    }
    db().commit();
  }

  void check(const std::vector<int>& tables) {
    std::set<int> got;
    for (const auto& r : rows(pathQuery(tables))) got.insert(std::stoi(r.at(0)));
    std::string list;
    for (int t : tables) list += std::to_string(t) + " ";
    EXPECT_EQ(got, expectedPath(tree_, tables)) << "tables " << list;
  }

  std::map<int, TreeRow> tree_;
};

// Builds a tree over ids first..first+n-1 where parentOf(k) gives the index of the
// parent of the k-th node (k >= 1).
template <class F>
void grow(std::vector<TreeRow>& rows, int first, int n, int treeNo, F parentOf) {
  std::vector<int> level(size_t(n), 0);
  rows.push_back({first, -1, 0, treeNo});
  for (int k = 1; k < n; ++k) {
    int p = parentOf(k);
    level[size_t(k)] = level[size_t(p)] + 1;
    rows.push_back({first + k, first + p, level[size_t(k)], treeNo});
  }
}

TEST_F(PathQueryTest, ChainBinaryRandomAndForest) {
  std::mt19937 rng(20261208);
  std::vector<TreeRow> rows;
  grow(rows, 100, 12, 1, [](int k) { return k - 1; });                      // a chain
  grow(rows, 200, 31, 2, [](int k) { return (k - 1) / 2; });                // a binary tree
  grow(rows, 300, 60, 3, [&](int k) { return int(rng() % unsigned(k)); });  // random
  rows.push_back({400, 0, 0, 4});                                           // single-table trees
  rows.push_back({401, 0, 0, 5});
  load(rows);

  check({105});                      // one table: itself
  check({100});                      // the root alone
  check({111, 100});                 // a chain end and its root
  check({103, 108});                 // two tables on one chain
  check({215, 230});                 // two leaves of the binary tree
  check({207, 208, 230});            // three tables
  check({203, 215, 216, 229, 230});  // five tables
  check({400});                      // a single-table tree
  check({105, 215});                 // two trees: no common ancestor
  std::vector<int> ids;
  for (int i = 0; i < 60; ++i) ids.push_back(300 + i);
  for (size_t n : {1u, 2u, 3u, 5u}) {
    for (int round = 0; round < 6; ++round) {
      std::shuffle(ids.begin(), ids.end(), rng);
      check(std::vector<int>(ids.begin(), ids.begin() + long(n)));
    }
  }
}

TEST_F(PathQueryTest, DeepChainUpTo200Levels) {
  std::vector<TreeRow> rows;
  grow(rows, 1, 200, 1, [](int k) { return k - 1; });
  load(rows);
  check({200, 150, 3});
  check({200});
}

}  // namespace
}  // namespace korvo::engine::test
