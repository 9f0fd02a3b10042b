#pragma once
// The depth-first walk of a CONNECT BY query over rows numbered 1..n: pre-order,
// siblings in the order given, LEVEL, CONNECT_BY_ISLEAF, CONNECT_BY_ISCYCLE,
// CONNECT_BY_ROOT and SYS_CONNECT_BY_PATH, with Oracle's loop rules.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvo::engine {

struct WalkPath {
  std::string separator;                                     // never empty
  std::function<std::optional<std::string>(int rid)> value;  // the column value as text
};

struct WalkInput {
  std::vector<int> roots;  // rids, in sibling order
  // The rids that satisfy CONNECT BY under a row, in sibling order. Asked once per
  // row expanded, so only the part of the rows that the walk reaches is looked at.
  std::function<const std::vector<int>&(int rid)> children;
  // The values of the PRIOR operands on a row; unset when CONNECT BY has no PRIOR,
  // in which case no loop can be detected (CONNECT BY LEVEL <= n).
  std::function<const std::string&(int rid)> key;
  // The part of CONNECT BY that depends on LEVEL alone, asked with the child's level.
  std::function<bool(int level)> levelAllows;
  bool noCycle = false;
  std::vector<WalkPath> paths;
  size_t maxRows = 1'000'000;  // a walk that never ends (CONNECT BY 1=1) stops here
};

struct WalkRow {
  int rid = 0;
  int level = 1;
  bool isLeaf = false;
  bool isCycle = false;
  int root = 0;    // rid of the root
  int parent = 0;  // rid of the parent, 0 at a root
  std::vector<std::string> paths;
};

// Throws OraError 1436 (loop without NOCYCLE), 30004 (separator inside a path value),
// 1489 (path longer than 4000 bytes), 30009 (walk too large).
std::vector<WalkRow> walkHierarchy(const WalkInput& in);

}  // namespace korvo::engine
