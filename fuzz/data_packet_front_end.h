#pragma once
// The data packet reader as the fuzz_data_packet target and its corpus replay
// drive it: the input is a file's whole content. A refused file
// (DataPacketError) is an answer. A packet that was read must also be written
// back, and what is written must read again as the same shape: a failure
// there is thrown as std::logic_error, a fault like a crash.
#include <QByteArray>
#include <QString>
#include <stdexcept>

#include "repository/data_packet.h"
#include "repository/data_packet_io.h"

namespace korvo::fuzz {

inline void runDataPacketReader(const QByteArray& bytes) {
  using repository::DataPacket;
  using repository::DataPacketError;
  DataPacket packet;
  try {
    packet = repository::readDataPacket(bytes, QStringLiteral("input.xml"));
  } catch (const DataPacketError&) {
    return;
  }
  QByteArray written;
  try {
    written = repository::writeDataPacket(packet);
  } catch (const DataPacketError&) {
    return;  // a value the format cannot hold is refused, not written wrongly
  }
  DataPacket again;
  try {
    again = repository::readDataPacket(written, QStringLiteral("rewritten.xml"));
  } catch (const DataPacketError& e) {
    throw std::logic_error("a written packet does not read back: " + std::string(e.what()));
  }
  if (again.fieldCount() != packet.fieldCount() || again.rowCount() != packet.rowCount())
    throw std::logic_error("a written packet reads back with another shape");
}

}  // namespace korvo::fuzz
