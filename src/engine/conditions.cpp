#include "engine/conditions.h"

#include "engine/nesting.h"

namespace korvo::engine {
namespace {

bool condition(const ast::Expr& e, int depth) {
  using ast::ExprKind;
  checkTreeDepth(depth, "condition");
  switch (e.kind) {
    case ExprKind::Like:
    case ExprKind::Between:
    case ExprKind::InList:
    case ExprKind::InQuery:
    case ExprKind::IsNull:
    case ExprKind::Exists:
    case ExprKind::Quantified:
      return true;
    case ExprKind::Unary:
      return e.text == "NOT" && condition(*e.args[0], depth + 1);
    case ExprKind::Binary: {
      if (e.text == "AND" || e.text == "OR") {
        for (const auto& a : e.args)
          if (!condition(*a, depth + 1)) return false;
        return true;
      }
      static const char* comparisons[] = {"=", "<>", "<", "<=", ">", ">="};
      for (const char* op : comparisons)
        if (e.text == op) return true;
      return false;
    }
    case ExprKind::Function:
      // the condition functions of the SQL language
      return e.qualifier.empty() && !e.name.quoted &&
             (e.name.text == "REGEXP_LIKE" || e.name.text == "LNNVL");
    default:
      return false;
  }
}

}  // namespace

bool isCondition(const ast::Expr& e) { return condition(e, 0); }

}  // namespace korvo::engine
