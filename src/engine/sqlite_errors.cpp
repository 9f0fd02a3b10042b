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
    return OraError(54);
  // Limits of the storage engine that Oracle does not have: refused honestly.
  for (const char* limit : {"too many terms in compound SELECT", "Expression tree is too large",
                            "parser stack overflow", "too many columns", "too many FROM clause",
                            "at most 64 tables in a join", "too many terms in ORDER BY",
                            "too many terms in GROUP BY", "too many arguments on function",
                            "LIKE or GLOB pattern too complex"})
    if (message.find(limit) != std::string::npos)
      return OraError(3001, "unimplemented feature: " + message);
  if (message.find("ESCAPE expression must be a single character") != std::string::npos)
    return OraError(1425);
  // a group function of the columns of an enclosing query, used where that query
  // cannot group
  if (message.rfind("misuse of aggregate", 0) == 0)
    return OraError(934);
  if (message == "out of memory")
    return OraError(4030);
  // SQLite's integer SUM stops at 2^63; Oracle's NUMBER goes on
  if (message == "integer overflow") return OraError(1426);
  if (message.find("string or blob too big") != std::string::npos)
    return OraError(1489);
  if (message.find("duplicate column name") != std::string::npos)
    return OraError(957);
  if (message.find("already exists") != std::string::npos)
    return OraError(955);
  if (message.find("interrupted") != std::string::npos)
    return OraError(1013);
  if (message.find("no such function") != std::string::npos) {
    size_t c = message.find(": ");
    std::string fn = c == std::string::npos ? message : message.substr(c + 2);
    for (auto& ch : fn) ch = char(std::toupper((unsigned char)ch));
    return OraError(904, "\"" + fn + "\": invalid identifier");
  }
  return OraError(600, "internal error code, arguments: [sqlite], [" + message + "]");
}

}  // namespace korvo::engine
