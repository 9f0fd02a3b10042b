#include "engine/explain_cost.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/auto_index.h"

namespace korvo::engine {

namespace {

constexpr double kBlockBytes = 8192;
constexpr double kDefaultRowsPerKey = 10;  // SQLite's own guess for an equality on an index
constexpr double kRangeSelectivity = 0.05;
constexpr double kViewWidth = 50;

bool startsWith(const std::string& s, const std::string& p) { return s.rfind(p, 0) == 0; }

// "USING [COVERING] INDEX name (...)" naming one of the engine's internal indexes,
// which Oracle does not have.
bool usesAutoIndex(const std::string& using_) {
  size_t at = using_.find("INDEX ");
  return at != std::string::npos && isAutoIndexName(using_.substr(at + 6));
}

double blocks(double rows, double width) { return std::ceil(rows * width / kBlockBytes); }

// Sorting n rows: CPU work that grows a little faster than n.
double sortCost(double n) { return 1 + n * std::log2(n + 2) / 1000; }

PlanStep step(std::string op, std::string options, double cost, double card, double width) {
  PlanStep s;
  s.operation = std::move(op);
  s.options = std::move(options);
  s.cost = cost;
  s.cardinality = card;
  s.width = width;
  return s;
}

// A table or view reached by one loop of the plan.
struct Access {
  enum class Kind { First, Probe, Hash, Scan } kind = Kind::Scan;
  PlanStep node;         // the step that reads it
  double probeCost = 0;  // Probe: cost of one lookup
  double matched = 1;    // Probe: rows per lookup
  bool outer = false;    // LEFT JOIN
};

class Estimator {
 public:
  Estimator(const std::vector<QueryPlanRow>& rows, const PlanFacts& facts) : facts_(facts) {
    for (const auto& r : rows) children_[r.parent].push_back(&r);
  }

  PlanStep level(int parent) {
    std::optional<PlanStep> current;
    std::vector<std::pair<PlanStep, bool>> subqueries;  // plan, correlated
    std::vector<std::string> sorts;
    for (const QueryPlanRow* r : children_[parent]) {
      const std::string& d = r->detail;
      if (startsWith(d, "CO-ROUTINE ") || startsWith(d, "MATERIALIZE ")) {
        views_[d.substr(d.find(' ') + 1)] = level(r->id);
      } else if (d == "COMPOUND QUERY") {
        current = join(std::move(current), firstAccess(compound(r->id)));
      } else if (startsWith(d, "SCAN ") || startsWith(d, "SEARCH ")) {
        current = join(std::move(current), access(d, current.has_value()));
      } else if (startsWith(d, "USE TEMP B-TREE FOR ")) {
        sorts.push_back(d.substr(20));
      } else if (!children_[r->id].empty()) {
        // sub-queries, IN lists by index, OR by several indexes
        subqueries.push_back({level(r->id), startsWith(d, "CORRELATED ")});
      }
    }
    PlanStep out = current ? *current : step("FAST DUAL", "", 1, 1, 1);
    if (!subqueries.empty()) {
      PlanStep filter = step("FILTER", "", out.cost, out.cardinality, out.width);
      for (auto& [sub, correlated] : subqueries)
        filter.cost += correlated ? std::max(1.0, out.cardinality) * sub.cost : sub.cost;
      filter.children.push_back(std::move(out));
      for (auto& sq : subqueries) filter.children.push_back(std::move(sq.first));
      out = std::move(filter);
    }
    for (const auto& what : sorts) {
      double n = out.cardinality;
      std::string options = what == "GROUP BY"   ? "GROUP BY"
                            : what == "DISTINCT" ? "UNIQUE"
                            : what == "ORDER BY" ? "ORDER BY"
                                                 : "";
      double card = options == "GROUP BY" ? std::max(1.0, std::ceil(n / 10))
                    : options == "UNIQUE" ? std::max(1.0, std::ceil(n / 2))
                                          : n;
      PlanStep sort = step("SORT", options, out.cost + sortCost(n), card, out.width);
      sort.children.push_back(std::move(out));
      out = std::move(sort);
    }
    return out;
  }

 private:
  PlanStep compound(int id) {
    // A run of UNION ALL (or of UNION) is one step over all its members, as in
    // Oracle's plans; MINUS and INTERSECT take what came before and one member.
    std::optional<PlanStep> acc;
    std::string run;  // "UNION ALL" or "UNION" while acc is that step
    for (const QueryPlanRow* r : children_[id]) {
      PlanStep member = level(r->id);
      if (!acc) {
        acc = std::move(member);
        continue;
      }
      const std::string& d = r->detail;
      const bool unionAll = startsWith(d, "UNION ALL");
      if (unionAll || startsWith(d, "UNION")) {
        const std::string kind = unionAll ? "UNION ALL" : "UNION";
        if (run != kind) {
          PlanStep all = step("UNION-ALL", "", acc->cost, acc->cardinality, acc->width);
          all.children.push_back(std::move(*acc));
          if (unionAll) {
            acc = std::move(all);
          } else {
            acc = step("SORT", "UNIQUE", 0, 0, 0);
            acc->children.push_back(std::move(all));
          }
          run = kind;
        }
        PlanStep& all = unionAll ? *acc : acc->children.front();
        all.cost += member.cost;
        all.cardinality += member.cardinality;
        all.width = std::max(all.width, member.width);
        all.children.push_back(std::move(member));
        if (!unionAll) {
          acc->cost = all.cost + sortCost(all.cardinality);
          acc->cardinality = all.cardinality;
          acc->width = all.width;
        }
        continue;
      }
      double cost = acc->cost + member.cost;
      double width = std::max(acc->width, member.width);
      bool minus = startsWith(d, "EXCEPT");
      double card = minus ? acc->cardinality : std::min(acc->cardinality, member.cardinality);
      PlanStep both = step(minus ? "MINUS" : "INTERSECTION", "",
                           cost + sortCost(acc->cardinality) + sortCost(member.cardinality), card,
                           width);
      both.children.push_back(std::move(*acc));
      both.children.push_back(std::move(member));
      acc = std::move(both);
      run.clear();
    }
    return acc ? std::move(*acc) : step("FAST DUAL", "", 1, 1, 1);
  }

  static Access firstAccess(PlanStep node) {
    Access a;
    a.kind = Access::Kind::Scan;
    a.node = std::move(node);
    return a;
  }

  Access access(const std::string& detail, bool inner) {
    Access a;
    bool search = startsWith(detail, "SEARCH ");
    std::string rest = detail.substr(search ? 7 : 5);
    if (rest.size() >= 10 && rest.compare(rest.size() - 10, 10, " LEFT-JOIN") == 0) {
      a.outer = true;
      rest.resize(rest.size() - 10);
    }
    if (rest == "CONSTANT ROW") {
      a.node = step("FAST DUAL", "", 1, 1, 1);
      return a;
    }
    size_t sp = rest.find(' ');
    std::string shown = rest.substr(0, sp);
    std::string using_ = sp == std::string::npos ? std::string() : rest.substr(sp + 1);
    std::optional<TableFacts> t = facts_.table(shown);
    if (!t) {
      // an inline view: its own plan under a VIEW step
      auto v = views_.find(shown);
      PlanStep sub = v != views_.end() ? v->second : step("FAST DUAL", "", 1, 1, kViewWidth);
      PlanStep view = step("VIEW", "", sub.cost, sub.cardinality, sub.width);
      view.children.push_back(std::move(sub));
      a.node = std::move(view);
      a.kind = search ? Access::Kind::Hash : Access::Kind::Scan;
      return a;
    }
    const double rows = std::max(0.0, t->rows);
    const double fullCost = 1 + blocks(rows, t->width);
    auto tableStep = [&](const std::string& options, double cost, double card) {
      PlanStep s = step(t->name.empty() ? "CONNECT BY" : "TABLE ACCESS",
                        t->name.empty() ? "WITH FILTERING" : options, cost, card, t->width);
      s.objectName = t->name;
      if (!t->name.empty()) s.objectType = "TABLE";
      return s;
    };
    if (!search) {
      if (startsWith(using_, "USING COVERING INDEX ") && !usesAutoIndex(using_)) {
        PlanStep s =
            step("INDEX", "FAST FULL SCAN", 1 + blocks(rows, t->width) / 2, rows, t->width);
        s.objectName = using_.substr(21);
        s.objectType = "INDEX";
        a.node = std::move(s);
      } else {
        a.node = tableStep("FULL", fullCost, rows);
      }
      a.kind = inner ? Access::Kind::Scan : Access::Kind::First;
      return a;
    }
    if (startsWith(using_, "USING INTEGER PRIMARY KEY")) {
      a.kind = Access::Kind::Probe;
      a.probeCost = 1;
      a.matched = std::min(1.0, rows);
      a.node = tableStep("BY USER ROWID", 1, a.matched);
      if (!inner) a.kind = Access::Kind::First;
      return a;
    }
    bool automatic = using_.empty() || using_.find("AUTOMATIC") != std::string::npos ||
                     usesAutoIndex(using_);
    if (automatic) {
      // SQLite builds a transient index, or uses the engine's own for a correlated
      // sub-query: Oracle would hash the table.
      a.kind = inner ? Access::Kind::Hash : Access::Kind::First;
      a.node = tableStep("FULL", fullCost, rows);
      return a;
    }
    bool covering = using_.find("COVERING INDEX") != std::string::npos;
    size_t at = using_.find("INDEX ") + 6;
    size_t open = using_.find(" (", at);
    std::string index =
        using_.substr(at, open == std::string::npos ? std::string::npos : open - at);
    std::string constraint = open == std::string::npos
                                 ? std::string()
                                 : using_.substr(open + 2, using_.size() - open - 3);
    int equalities = 0;
    bool range = false;
    for (size_t b = 0; b < constraint.size();) {
      size_t e = constraint.find(" AND ", b);
      std::string term = constraint.substr(b, e == std::string::npos ? std::string::npos : e - b);
      bool eq = term.size() >= 2 && term.compare(term.size() - 2, 2, "=?") == 0 &&
                term.find(">=") == std::string::npos && term.find("<=") == std::string::npos;
      if (eq)
        ++equalities;
      else
        range = true;
      b = e == std::string::npos ? constraint.size() : e + 5;
    }
    IndexFacts ix = facts_.index(t->name, index);
    double matched = rows;
    if (equalities > 0) {
      if (size_t(equalities) <= ix.rowsPerKey.size())
        matched = ix.rowsPerKey[size_t(equalities) - 1];
      else
        matched = ix.unique ? 1 : kDefaultRowsPerKey;
    }
    if (range) matched *= kRangeSelectivity;
    matched = std::max(std::min(matched, rows), rows > 0 ? 1.0 : 0.0);
    double height = 1 + std::log(std::max(rows, 1.0)) / std::log(100.0);
    bool uniqueScan = ix.unique && equalities > 0 && !range && matched <= 1;
    PlanStep indexStep = step("INDEX", uniqueScan ? "UNIQUE SCAN" : "RANGE SCAN",
                              height + (covering ? matched / 100 : 0), matched, t->width);
    indexStep.objectName = index;
    indexStep.objectType = ix.unique ? "INDEX (UNIQUE)" : "INDEX";
    a.kind = inner ? Access::Kind::Probe : Access::Kind::First;
    a.matched = matched;
    if (covering) {
      a.probeCost = indexStep.cost;
      a.node = std::move(indexStep);
    } else {
      a.probeCost = height + matched;
      a.node = tableStep("BY INDEX ROWID", a.probeCost, matched);
      a.node.children.push_back(std::move(indexStep));
    }
    return a;
  }

  static PlanStep join(std::optional<PlanStep> current, Access next) {
    if (!current) return std::move(next.node);
    PlanStep& outer = *current;
    const double width = outer.width + next.node.width;
    PlanStep j;
    switch (next.kind) {
      case Access::Kind::Probe:
      case Access::Kind::First:
        j = step("NESTED LOOPS", next.outer ? "OUTER" : "",
                 outer.cost + std::max(1.0, outer.cardinality) * std::max(next.probeCost, 1.0),
                 outer.cardinality * next.matched, width);
        break;
      case Access::Kind::Hash:
        j = step("HASH JOIN", next.outer ? "OUTER" : "",
                 outer.cost + next.node.cost + (outer.cardinality + next.node.cardinality) / 1000,
                 std::max(outer.cardinality, next.outer ? outer.cardinality : 0.0), width);
        break;
      case Access::Kind::Scan: {
        PlanStep buffer =
            step("BUFFER", "SORT", next.node.cost, next.node.cardinality, next.node.width);
        buffer.children.push_back(std::move(next.node));
        double card = outer.cardinality * std::max(buffer.cardinality, next.outer ? 1.0 : 0.0);
        j = step("MERGE JOIN", "CARTESIAN",
                 outer.cost + buffer.cost + outer.cardinality * buffer.cardinality / 1000, card,
                 width);
        j.children.push_back(std::move(outer));
        j.children.push_back(std::move(buffer));
        return j;
      }
    }
    j.children.push_back(std::move(outer));
    j.children.push_back(std::move(next.node));
    return j;
  }

  const PlanFacts& facts_;
  std::map<int, std::vector<const QueryPlanRow*>> children_;
  std::map<std::string, PlanStep> views_;
};

}  // namespace

PlanStep estimatePlan(const std::vector<QueryPlanRow>& rows, const PlanFacts& facts) {
  return Estimator(rows, facts).level(0);
}

PlanStep aggregateStep(PlanStep input) {
  PlanStep s = step("SORT", "AGGREGATE", input.cost, 1, input.width);
  s.children.push_back(std::move(input));
  return s;
}

}  // namespace korvo::engine
