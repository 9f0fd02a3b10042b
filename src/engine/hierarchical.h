#pragma once
// CONNECT BY query blocks. The translator hands such a block here: its FROM rows,
// filtered by the join predicates of WHERE, are copied into a temporary table; the
// roots (START WITH) and the parent->child pairs (CONNECT BY, PRIOR reading the
// parent copy) come from SQLite; the depth-first walk runs in C++
// (hierarchical_walk.h) into a second temporary table. The block's select list,
// remaining WHERE, GROUP BY and ORDER BY then read "walk JOIN rows" as their FROM,
// and the rows come out in walk order unless the block sorts them itself.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/translator.h"

namespace korvo::engine {

struct WalkQueries;  // hierarchical_run.h

class HierarchyBlock {
 public:
  // Translates and evaluates FROM, the join predicates, START WITH and CONNECT BY of
  // q (a block with CONNECT BY); fills scope with the block's sources and returns
  // them with the FROM text that reads the walk.
  static std::unique_ptr<HierarchyBlock> begin(Translator& t, const ast::Query& q, Scope& scope,
                                               std::string& from);
  ~HierarchyBlock();

  // The WHERE conjuncts applied after the walk (the join predicates were applied before).
  const std::vector<const ast::Expr*>& postWalk() const { return postWalk_; }
  // " ORDER BY <walk order>": the block's rows as the walk produced them.
  std::string treeOrder() const;
  // LEVEL, PRIOR, CONNECT_BY_ROOT, SYS_CONNECT_BY_PATH, CONNECT_BY_ISLEAF and
  // CONNECT_BY_ISCYCLE inside the block; false for any other expression.
  bool translate(Translator& t, const ast::Expr& e, const Scope& scope, TypedSql& out);

 private:
  enum class Phase { Roots, Pairs, Level, Select };

  HierarchyBlock() = default;
  // The block's sources read through alias; PRIOR and friends resolve here when
  // hierarchical is set.
  Scope mapped(const std::string& alias, const Scope* parent, bool hierarchical);
  // FROM into the base scope; the select list and column names of the rows table.
  void readFrom(Translator& t, const ast::SelectCore& c, Scope& base, std::string& from,
                std::string& select, std::string& columns);
  // " WHERE <join predicates>" for the rows table; the rest goes to postWalk_.
  std::string splitWhere(Translator& t, const ast::SelectCore& c, const Scope& base);
  void collectPaths(Translator& t, const ast::Query& q, WalkQueries& w);
  void connectBy(Translator& t, const ast::Query& q, WalkQueries& w);
  std::string siblingKeys(Translator& t, const ast::Query& q, const Scope& scope);

  Phase phase_ = Phase::Roots;
  bool noCycle_ = false;
  std::vector<Source> sources_;  // the block's sources, columns renamed x1..xn of the rows table
  std::string rowsTable_, walkTable_;
  std::string walkAlias_, rowAlias_, parentAlias_, rootAlias_;
  std::unique_ptr<Scope> pairPrior_, selectPrior_, selectRoot_;
  std::map<const ast::Expr*, size_t> paths_;  // SYS_CONNECT_BY_PATH call -> walk column
  std::vector<const ast::Expr*> postWalk_;    // WHERE conjuncts applied after the walk
};

}  // namespace korvo::engine
