#include "engine/sqlite_errors.h"

#include <cctype>

namespace korvo::engine {

OraError errorFromSqlite(const std::string& message) {
  size_t at = message.find("ORA-");
  if (at != std::string::npos && at + 9 <= message.size()) {
    bool digits = true;
    for (size_t i = at + 4; i < at + 9; ++i)
      digits = digits && std::isdigit((unsigned char)message[i]);
    if (digits) {
      int code = std::stoi(message.substr(at + 4, 5));
      std::string text = message.substr(at + 9);
      if (text.rfind(": ", 0) == 0) text = text.substr(2);
      return OraError(code, text);
    }
  }
  if (message.find("database is locked") != std::string::npos ||
      message.find("database table is locked") != std::string::npos)
    return OraError(54, "resource busy and acquire with NOWAIT specified or timeout expired");
  if (message.find("interrupted") != std::string::npos)
    return OraError(1013, "user requested cancel of current operation");
  if (message.find("no such function") != std::string::npos) {
    size_t c = message.find(": ");
    std::string fn = c == std::string::npos ? message : message.substr(c + 2);
    for (auto& ch : fn) ch = char(std::toupper((unsigned char)ch));
    return OraError(904, "\"" + fn + "\": invalid identifier");
  }
  return OraError(600, "internal error code, arguments: [sqlite], [" + message + "]");
}

}  // namespace korvo::engine
