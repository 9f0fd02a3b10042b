#include "engine/ora_error.h"

#include <cstdio>

namespace korvo::engine {

std::string oraCode(int code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "ORA-%05d", code);
  return buf;
}

OraError::OraError(int code, const std::string& text)
    : std::runtime_error(oraCode(code) + ": " + text), code_(code), text_(text) {}

}  // namespace korvo::engine
