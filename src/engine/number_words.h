#pragma once
// Numbers in English words as the SP and SPTH date format suffixes write them,
// upper case: 2024 -> "TWO THOUSAND TWENTY-FOUR", ordinal 21 -> "TWENTY-FIRST".
#include <string>

namespace korvo::engine {

// v from 0 to 999,999,999,999 (larger values are written by their last 12 digits' groups too).
std::string numberInWords(long long v, bool ordinal);

}  // namespace korvo::engine
