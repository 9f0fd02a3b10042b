#pragma once
// The dialect's built-in functions: arity and how the result type is found.
// The SQLite functions of the same names come from registerOracleFunctions.
#include <string>

namespace korvo::engine {

enum class ResultRule {
  Text,      // always character
  Number,    // always NUMBER
  Date,      // always DATE
  FirstArg,  // type of the first argument
  Special    // handled by the translator itself (DECODE, NVL2, TO_CHAR, ROUND ...)
};

enum class ArgRule { Any, TextFirst, Numbers };

struct FunctionInfo {
  const char* name;
  int minArgs;
  int maxArgs;  // -1: unlimited
  ResultRule result;
  ArgRule args;
  bool aggregate;
};

// nullptr when the dialect has no such function.
const FunctionInfo* findFunction(const std::string& upperName);

}  // namespace korvo::engine
