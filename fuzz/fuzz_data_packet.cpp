// libFuzzer target: one file's content through the data packet reader.
#include <cstddef>
#include <cstdint>

#include "data_packet_front_end.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvo::fuzz::runDataPacketReader(
      QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  return 0;
}
