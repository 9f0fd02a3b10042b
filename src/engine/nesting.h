#pragma once
// Limits on how deep the engine recurses into a statement. Nesting that the
// parser accepts (parentheses, function calls, sub-queries, PRIOR, WITH ...) is
// counted in levels; every later walk over the tree counts the nodes it is deep
// in, with a bound no parsed statement reaches, so a tree built any other way is
// refused (ORA-03001) instead of exhausting the stack.
#include <string>

namespace korvo::engine {

constexpr int kMaxNesting = 200;  // levels the parser accepts
// A level holds at most six nodes (OR, AND, comparison, sum, product, operand)
// plus its query blocks: no parsed statement is deeper than this.
constexpr int kMaxTreeDepth = 8 * kMaxNesting;

// ORA-03001: unimplemented feature: <what> nesting deeper than <limit>
[[noreturn]] void nestingTooDeep(const std::string& what, int limit);

// Counts one level of a recursive walk for as long as it lives.
class NestingGuard {
 public:
  NestingGuard(int& depth, int limit, const char* what) : depth_(depth) {
    if (++depth_ > limit) {
      --depth_;
      nestingTooDeep(what, limit);
    }
  }
  ~NestingGuard() { --depth_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  int& depth_;
};

// For walks written as free functions, which carry their depth as an argument.
inline void checkTreeDepth(int depth, const char* what) {
  if (depth > kMaxTreeDepth) nestingTooDeep(what, kMaxTreeDepth);
}

}  // namespace korvo::engine
