#include "engine/ast.h"

namespace korvo::engine::ast {

Expr::~Expr() {
  // Children with children of their own are taken out and released one by one,
  // so each node is destroyed holding leaves only and the stack stays flat.
  std::vector<ExprPtr> pending;
  auto takeInner = [&](Expr& e) {
    for (auto& a : e.args)
      if (a && !a->args.empty()) pending.push_back(std::move(a));
  };
  takeInner(*this);
  while (!pending.empty()) {
    ExprPtr e = std::move(pending.back());
    pending.pop_back();
    takeInner(*e);
  }
}

}  // namespace korvo::engine::ast
