#include "engine/hierarchical_run.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "engine/catalog.h"
#include "engine/hierarchical_tables.h"
#include "engine/hierarchical_walk.h"

namespace korvo::engine {

namespace {

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

}  // namespace

void runWalk(sqlite3* db, const WalkQueries& w, bool noCycle, bool planOnly) {
  Savepoint unit(db);
  execSql(db, "CREATE TABLE " + w.rowsTable + "(rid INTEGER PRIMARY KEY, " + w.columns + ")");
  std::string pathCols;
  for (size_t i = 1; i <= w.pathCount; ++i) pathCols += ", path" + std::to_string(i);
  execSql(db, "CREATE TABLE " + w.walkTable +
                  "(seq INTEGER PRIMARY KEY, rid, lvl, isleaf, iscycle, root, parent" + pathCols +
                  ")");
  if (!planOnly) {
    execSql(db, w.insertRows);
    for (const auto& ix : w.indexes) execSql(db, ix);
    WalkInput in;
    in.noCycle = noCycle;
    size_t rowCount = 0;
    {
      SqlStatement count(db, "SELECT count(*) FROM " + w.rowsTable);
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
      in.paths.push_back(
          {w.separators[i], [&pathValues, i](int rid) { return pathValues(rid)[i]; }});
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
    SqlStatement insert(db, "INSERT INTO " + w.walkTable + " VALUES(" + marks + ")");
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
}

}  // namespace korvo::engine
