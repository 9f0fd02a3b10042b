#include "engine/nesting.h"

#include "engine/ora_error.h"

namespace korvo::engine {

void nestingTooDeep(const std::string& what, int limit) {
  throw OraError(3001, "unimplemented feature: " + what + " nesting deeper than " +
                           std::to_string(limit));
}

}  // namespace korvo::engine
