#include "engine/ora_error.h"

#include <cstdio>

#include "engine/ora_messages.h"

namespace korvo::engine {

std::string oraCode(int code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "ORA-%05d", code);
  return buf;
}

OraError::OraError(int code, const std::string& text)
    : std::runtime_error(oraCode(code) + ": " + text), code_(code), text_(text) {}

OraError::OraError(int code)
    : OraError(code, oraMessage(code) ? oraMessage(code) : "error without a fixed text") {}

}  // namespace korvo::engine
