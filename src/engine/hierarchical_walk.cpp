#include "engine/hierarchical_walk.h"

#include <unordered_map>

#include "engine/ora_error.h"

namespace korvo::engine {

namespace {

struct Frame {
  int rid;
  int level;
  int parentRow;  // index in the output, -1 at a root
  int root;
};

std::string extendPath(const std::string& prefix, const WalkPath& p, int rid) {
  const std::optional<std::string> v = p.value(rid);
  if (v && v->find(p.separator) != std::string::npos)
    throw OraError(30004,
                   "when using SYS_CONNECT_BY_PATH function, cannot have separator as part of "
                   "column value");
  std::string out = prefix + p.separator + v.value_or(std::string());
  if (out.size() > 4000) throw OraError(1489);
  return out;
}

}  // namespace

std::vector<WalkRow> walkHierarchy(const WalkInput& in) {
  std::vector<WalkRow> out;
  const bool checkLoops = bool(in.key);
  // Keys of the rows on the path from the root to the row being expanded.
  std::vector<const std::string*> pathKeys;
  std::unordered_map<std::string, int> onPath;
  std::vector<Frame> stack;
  for (auto it = in.roots.rbegin(); it != in.roots.rend(); ++it) stack.push_back({*it, 1, -1, *it});
  std::vector<int> accepted;
  while (!stack.empty()) {
    Frame f = stack.back();
    stack.pop_back();
    if (out.size() >= in.maxRows)
      throw OraError(30009);
    if (checkLoops) {
      while (int(pathKeys.size()) >= f.level) {
        auto k = onPath.find(*pathKeys.back());
        if (--k->second == 0) onPath.erase(k);
        pathKeys.pop_back();
      }
      const std::string& key = in.key(f.rid);
      pathKeys.push_back(&key);
      ++onPath[key];
    }
    WalkRow row;
    row.rid = f.rid;
    row.level = f.level;
    row.root = f.root;
    row.parent = f.parentRow < 0 ? 0 : out[size_t(f.parentRow)].rid;
    for (size_t p = 0; p < in.paths.size(); ++p) {
      const std::string prefix =
          f.parentRow < 0 ? std::string() : out[size_t(f.parentRow)].paths[p];
      row.paths.push_back(extendPath(prefix, in.paths[p], f.rid));
    }
    accepted.clear();
    const std::vector<int>& candidates = in.children(f.rid);
    bool levelOk = candidates.empty() || !in.levelAllows || in.levelAllows(f.level + 1);
    row.isLeaf = !levelOk || candidates.empty();
    if (levelOk) {
      for (int child : candidates) {
        if (checkLoops && onPath.count(in.key(child))) {
          if (!in.noCycle) throw OraError(1436);
          row.isCycle = true;
          continue;
        }
        accepted.push_back(child);
      }
    }
    int self = int(out.size());
    out.push_back(std::move(row));
    for (auto it = accepted.rbegin(); it != accepted.rend(); ++it)
      stack.push_back({*it, f.level + 1, self, f.root});
  }
  return out;
}

}  // namespace korvo::engine
