// ROWNUM in WHERE: Oracle numbers the rows as they pass their block's WHERE, so
// a row k exists only after rows 1..k-1 passed. The conjuncts on ROWNUM reduce
// to a LIMIT: the first k for which a conjunct fails, minus one.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "engine/nesting.h"
#include "engine/ora_error.h"
#include "engine/query_rewrites.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

namespace {

bool isRownum(const Expr& e) { return e.kind == ExprKind::Pseudo && e.text == "ROWNUM"; }

[[noreturn]] void unsupported(const std::string& what) {
  throw OraError(3001, "unimplemented feature: " + what);
}

double literalNumber(const std::string& text) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0') throw OraError(1722);
  if (!std::isfinite(v)) throw OraError(1426);
  return v;
}

double constantOf(const Expr& e) {
  if (e.kind == ExprKind::Number) return literalNumber(e.text);
  if (e.kind == ExprKind::Unary && (e.text == "-" || e.text == "+") &&
      e.args[0]->kind == ExprKind::Number)
    return e.text == "-" ? -literalNumber(e.args[0]->text) : literalNumber(e.args[0]->text);
  if (e.kind == ExprKind::String) {
    size_t b = e.text.find_first_not_of(' '), l = e.text.find_last_not_of(' ');
    return literalNumber(b == std::string::npos ? "" : e.text.substr(b, l - b + 1));
  }
  unsupported("ROWNUM compared with a non-constant expression");
}

constexpr long long kNoLimit = std::numeric_limits<long long>::max();

// Rows that pass "ROWNUM op c" before the first failure.
long long passing(const std::string& op, double c) {
  auto clamp = [](double v) { return v < 0 ? 0LL : (long long)v; };
  if (op == "<=") return c < 1 ? 0 : clamp(std::floor(c));
  if (op == "<") return c <= 1 ? 0 : clamp(std::ceil(c) - 1);
  if (op == "=") return c == 1 ? 1 : 0;
  if (op == ">") return c < 1 ? kNoLimit : 0;
  if (op == ">=") return c <= 1 ? kNoLimit : 0;
  if (op == "<>") return (c >= 1 && std::floor(c) == c) ? clamp(c - 1) : kNoLimit;
  unsupported("ROWNUM operator " + op);
}

std::string mirrored(const std::string& op) {
  if (op == "<") return ">";
  if (op == ">") return "<";
  if (op == "<=") return ">=";
  if (op == ">=") return "<=";
  return op;
}

}  // namespace

bool mentionsRownum(const Expr& e, int depth) {
  checkTreeDepth(depth, "expression");
  if (isRownum(e)) return true;
  for (const auto& a : e.args)
    if (a && mentionsRownum(*a, depth + 1)) return true;
  return false;
}

std::optional<long long> takeRownumLimit(std::vector<const Expr*>& conjuncts) {
  long long limit = kNoLimit;
  bool any = false;
  std::vector<const Expr*> rest;
  for (const Expr* c : conjuncts) {
    if (!mentionsRownum(*c)) {
      rest.push_back(c);
      continue;
    }
    any = true;
    long long n;
    if (c->kind == ExprKind::Binary && c->args.size() == 2 && isRownum(*c->args[0]) &&
        !mentionsRownum(*c->args[1])) {
      n = passing(c->text, constantOf(*c->args[1]));
    } else if (c->kind == ExprKind::Binary && c->args.size() == 2 && isRownum(*c->args[1]) &&
               !mentionsRownum(*c->args[0])) {
      n = passing(mirrored(c->text), constantOf(*c->args[0]));
    } else if (c->kind == ExprKind::Between && !c->negated && isRownum(*c->args[0])) {
      double lo = constantOf(*c->args[1]), hi = constantOf(*c->args[2]);
      n = lo <= 1 ? passing("<=", hi) : 0;
    } else {
      unsupported("ROWNUM in this condition (only ROWNUM compared with a constant, outside OR)");
    }
    limit = std::min(limit, n);
  }
  conjuncts = std::move(rest);
  if (!any || limit == kNoLimit) return std::nullopt;
  return limit;
}

}  // namespace korvo::engine
