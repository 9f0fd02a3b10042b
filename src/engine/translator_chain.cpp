// Chains of one precedence level (a + b - c ..., a * b / c ..., a || b ..., AND, OR)
// and comparisons. A chain is one node however long it is, and its translation is
// linear in its length: each operand is translated once, the text built so far is
// never copied again (a step only adds text before and after it), and long runs
// become balanced calls, so SQLite's expression tree stays shallow.
#include <algorithm>
#include <iterator>

#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

namespace {

constexpr size_t kLogicalGroup = 8;   // terms per parenthesized AND/OR group
constexpr size_t kConcatGroup = 100;  // arguments per ora_concat call
constexpr size_t kChainPairs = 63;    // (op, operand) pairs per call: 127 arguments at most
constexpr size_t kTermsGroup = 126;   // lists per korvo_terms_cat call

// Stands for the chain built so far inside the text of the next step. No SQL the
// translator writes holds a NUL (sqlString writes it as char(0)).
const std::string kHole(1, '\0');

// parts in groups of at most `group`, open part sep part ... close, level by level
// until one remains.
std::string balanced(std::vector<std::string> parts, size_t group, const std::string& open,
                     const std::string& sep, const std::string& close) {
  if (parts.empty()) return {};
  while (parts.size() > 1) {
    std::vector<std::string> next;
    next.reserve(parts.size() / group + 1);
    for (size_t i = 0; i < parts.size(); i += group) {
      const size_t end = std::min(parts.size(), i + group);
      size_t length = open.size() + close.size();
      for (size_t k = i; k < end; ++k) length += parts[k].size() + sep.size();
      std::string s;
      s.reserve(length);
      s += open;
      for (size_t k = i; k < end; ++k) {
        if (k > i) s += sep;
        s += parts[k];
      }
      s += close;
      next.push_back(std::move(s));
    }
    parts = std::move(next);
  }
  return std::move(parts[0]);
}

bool isArithmetic(const std::string& op) {
  return op == "+" || op == "-" || op == "*" || op == "/";
}

const char* opCode(const std::string& op) {
  return op == "+" ? "0" : op == "-" ? "1" : op == "*" ? "2" : "3";
}

// x1 op x2 op ... for NUMBER operands, x1 being the hole: one korvo_chain call, or
// for a long run the lists of korvo_terms joined by korvo_terms_cat.
std::string numberRun(const std::vector<std::pair<const char*, std::string>>& run) {
  auto pairs = [&](size_t from, size_t to, std::string& s) {
    for (size_t k = from; k < to; ++k) {
      s += ", ";
      s += run[k].first;
      s += ", ";
      s += run[k].second;
    }
  };
  if (run.size() <= kChainPairs) {
    std::string s = "korvo_chain(" + kHole;
    pairs(0, run.size(), s);
    return s + ")";
  }
  std::vector<std::string> lists;
  std::string first = "korvo_terms(0, " + kHole;
  pairs(0, kChainPairs - 1, first);
  lists.push_back(first + ")");
  for (size_t k = kChainPairs - 1; k < run.size(); k += kChainPairs) {
    std::string s = "korvo_terms(";
    pairs(k, std::min(run.size(), k + kChainPairs), s);
    s.erase(12, 2);  // the ", " before the first pair
    lists.push_back(s + ")");
  }
  return "korvo_chain_terms(" +
         balanced(std::move(lists), kTermsGroup, "korvo_terms_cat(", ", ", ")") + ")";
}

// The chain so far: the text its steps put before its first operand (innermost
// first), that operand, and the text they put after it.
struct Built {
  std::vector<std::string> before;
  std::string core;
  std::string after;
  TypedSql shape;  // type and flags; its sql is the hole

  void wrap(const std::string& step) {
    size_t at = step.find(kHole);
    before.push_back(step.substr(0, at));
    after.append(step, at + kHole.size());
  }
  std::string sql() {
    size_t length = core.size() + after.size();
    for (const auto& b : before) length += b.size();
    std::string s;
    s.reserve(length);
    for (auto b = before.rbegin(); b != before.rend(); ++b) s += *b;
    s += core;
    s += after;
    return s;
  }
};

}  // namespace

std::string balancedLogical(std::vector<std::string> terms, const std::string& op) {
  if (terms.size() == 1) return std::move(terms[0]);
  return balanced(std::move(terms), kLogicalGroup, "(", " " + op + " ", ")");
}

std::string conjunctionSql(std::vector<std::string> terms) {
  // SQLite moves the conjuncts that read a view into it, joined one after the
  // other: beyond a few dozen, the rest go as one term it does not take apart
  // (NULL is no more true than 0 in a condition).
  constexpr size_t kSplit = 64;
  if (terms.size() <= kSplit) return balancedLogical(std::move(terms), "AND");
  std::vector<std::string> rest(std::make_move_iterator(terms.begin() + (kSplit - 1)),
                                std::make_move_iterator(terms.end()));
  terms.resize(kSplit - 1);
  terms.push_back("coalesce(" + balancedLogical(std::move(rest), "AND") + ", 0)");
  return balancedLogical(std::move(terms), "AND");
}

TypedSql Translator::chain(const Expr& e, const Scope& scope, bool allowAggregates) {
  const size_t n = e.args.size();
  if (e.text == "AND" || e.text == "OR") {
    std::vector<std::string> terms;
    terms.reserve(n);
    bool aggregate = false;
    for (const auto& a : e.args) {
      TypedSql t = expr(*a, scope, allowAggregates);
      aggregate = aggregate || t.aggregate;
      terms.push_back(std::move(t.sql));
    }
    TypedSql r = typedSql(n == 1 ? terms[0] : balanced(std::move(terms), kLogicalGroup, "(",
                                                        " " + e.text + " ", ")"),
                          SqlType::Number);
    r.aggregate = aggregate;
    return r;
  }
  if (n == 2 && !isArithmetic(e.text) && e.text != "||")  // a comparison
    return binary(e.text, expr(*e.args[0], scope, allowAggregates),
                  expr(*e.args[1], scope, allowAggregates));

  Built b;
  {
    TypedSql first = expr(*e.args[0], scope, allowAggregates);
    b.core = std::move(first.sql);
    b.shape = std::move(first);
  }
  auto hole = [&] {
    TypedSql h = b.shape;
    h.sql = kHole;
    return h;
  };
  // operand i, translated when first looked at
  size_t i = 1;
  TypedSql next;
  bool looked = false;
  auto operand = [&]() -> TypedSql& {
    if (!looked) next = expr(*e.args[i], scope, allowAggregates);
    looked = true;
    return next;
  };
  auto consume = [&] {
    looked = false;
    ++i;
  };
  while (i < n) {
    const std::string& op = e.opBefore(i);
    if (isArithmetic(op) && b.shape.type == SqlType::Number && operand().type == SqlType::Number) {
      // NUMBER arithmetic, rounded to decimal digits after each step, in one flat call
      std::vector<std::pair<const char*, std::string>> run;
      bool aggregate = b.shape.aggregate;
      while (i < n && isArithmetic(e.opBefore(i)) && operand().type == SqlType::Number) {
        aggregate = aggregate || next.aggregate;
        run.emplace_back(opCode(e.opBefore(i)), std::move(next.sql));
        consume();
      }
      b.wrap(numberRun(run));
      b.shape = typedSql(std::string(), SqlType::Number);
      b.shape.aggregate = aggregate;
      continue;
    }
    if (op == "||") {
      std::vector<std::string> parts{asText(hole())};
      bool aggregate = b.shape.aggregate;
      while (i < n && e.opBefore(i) == "||") {
        const TypedSql& x = operand();
        aggregate = aggregate || x.aggregate;
        parts.push_back(asText(x));
        consume();
      }
      b.wrap(balanced(std::move(parts), kConcatGroup, "ora_concat(", ", ", ")"));
      b.shape = typedSql(std::string(), SqlType::Text);
      b.shape.aggregate = aggregate;
      continue;
    }
    TypedSql step = binary(op, hole(), std::move(operand()));
    consume();
    b.wrap(step.sql);
    step.sql.clear();
    b.shape = std::move(step);
  }
  TypedSql out = std::move(b.shape);
  out.sql = b.sql();
  return out;
}

}  // namespace korvo::engine
