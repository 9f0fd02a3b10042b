#pragma once
// Turns SQLite's error texts into Oracle errors. The Oracle functions report
// "ORA-nnnnn: text" through sqlite3_result_error; that text comes back here.
#include <string>

#include "engine/ora_error.h"

namespace korvo::engine {

OraError errorFromSqlite(const std::string& message);

}  // namespace korvo::engine
