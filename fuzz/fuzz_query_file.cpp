// libFuzzer target: one file's content through the query file reader.
#include <cstddef>
#include <cstdint>

#include "query_file_front_end.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvo::fuzz::runQueryFileReader(
      QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  return 0;
}
