// libFuzzer target: one statement text through the SQL front end.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sql_front_end.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvo::fuzz::runSqlFrontEnd(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
