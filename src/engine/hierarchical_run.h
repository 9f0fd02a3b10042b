#pragma once
// Running the walk of one CONNECT BY block: the SQL texts prepared by the translation
// (hierarchical.h) fill the rows table, find roots, children, loop keys and path
// values, and the walk (hierarchical_walk.h) goes into the walk table.
#include <string>
#include <vector>

struct sqlite3;

namespace korvo::engine {

struct WalkQueries {
  std::string rowsTable;  // temp."..." (rid INTEGER PRIMARY KEY, x1..xn)
  std::string walkTable;  // temp."..." (seq, rid, lvl, isleaf, iscycle, root, parent, path1..)
  std::string columns;    // "x1, x2, ..."
  std::string insertRows;
  std::vector<std::string> indexes;
  std::string roots;       // rids in sibling order
  std::string pairs;       // every parent -> child pair, children in sibling order
  std::string childrenOf;  // the children of row ?1, when an index finds them; else empty
  std::string keys;        // PRIOR operands of row ?1; empty without PRIOR
  std::string paths;       // path values of row ?1; empty without SYS_CONNECT_BY_PATH
  std::vector<std::string> separators;
  std::string level;  // 1 when level ?1 passes the LEVEL part of CONNECT BY; empty without
  size_t pathCount = 0;
};

// Creates both tables; unless planOnly, fills the rows and walks them. All or nothing.
void runWalk(sqlite3* db, const WalkQueries& w, bool noCycle, bool planOnly);

}  // namespace korvo::engine
