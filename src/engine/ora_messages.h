#pragma once
// The fixed texts of the ORA- errors, one place for each code's wording: an
// error raised as OraError(code) takes its text from here.
namespace korvo::engine {

// Oracle's text for `code` (without "ORA-nnnnn: "), or nullptr for a code whose
// text depends on what failed.
const char* oraMessage(int code);

}  // namespace korvo::engine
