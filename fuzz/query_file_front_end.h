#pragma once
// The query file reader as the fuzz_query_file target and its corpus replay
// drive it: the input is one file's content, read as a result-object file and
// as a condition file in both languages. A refused file is an answer. Rows that
// were read must save again, and what is saved must open as the same rows: a
// failure there is thrown as std::logic_error, a fault like a crash.
#include <QByteArray>
#include <QString>
#include <stdexcept>

#include "builder/query_files.h"
#include "kernel/grid.h"
#include "kernel/language.h"
#include "repository/data_packet_io.h"

namespace korvo::fuzz {

inline kernel::Grid gridOf(int columns, const QList<QStringList>& rows) {
  kernel::Grid grid(columns, 1);
  for (const QStringList& row : rows) grid.appendRow(row);
  if (grid.rowCount() == 1) grid.appendRow();
  return grid;
}

template <typename Save, typename Open>
void expectStableRoundTrip(int columns, const QList<QStringList>& rows, Save save, Open open) {
  const builder::PacketOrError saved = save(gridOf(columns, rows));
  if (!saved.error.isEmpty()) return;  // an id that does not fit is refused, never cut
  const QByteArray bytes = repository::writeDataPacket(saved.packet);
  const builder::RowsOrError reopened =
      open(repository::readDataPacket(bytes, QStringLiteral("saved.xml")));
  if (!reopened.error.isEmpty())
    throw std::logic_error("a saved query file does not open: " + reopened.error.toStdString());
  // Saving cuts texts to their field widths once; after that nothing changes.
  const builder::PacketOrError again = save(gridOf(columns, reopened.rows));
  const builder::RowsOrError twice = open(repository::readDataPacket(
      repository::writeDataPacket(again.packet), QStringLiteral("saved-again.xml")));
  if (twice.rows != reopened.rows)
    throw std::logic_error("a query file changes when it is saved again");
}

inline void runQueryFileReader(const QByteArray& bytes) {
  repository::DataPacket packet;
  try {
    packet = repository::readDataPacket(bytes, QStringLiteral("input.xml"));
  } catch (const repository::DataPacketError&) {
    return;
  }
  const builder::RowsOrError objects = builder::objectRows(packet, QStringLiteral("input.xml"));
  if (objects.error.isEmpty()) {
    expectStableRoundTrip(4, objects.rows, builder::objectFilePacket,
                          [](const repository::DataPacket& p) {
                            return builder::objectRows(p, QStringLiteral("saved.xml"));
                          });
  }
  for (const kernel::TextTables* texts : {&kernel::frenchTexts(), &kernel::englishTexts()}) {
    const builder::RowsOrError conditions =
        builder::conditionRows(packet, QStringLiteral("input.xml"), *texts);
    if (!conditions.error.isEmpty()) continue;
    expectStableRoundTrip(
        10, conditions.rows,
        [texts](const kernel::Grid& grid) { return builder::conditionFilePacket(grid, *texts); },
        [texts](const repository::DataPacket& p) {
          return builder::conditionRows(p, QStringLiteral("saved.xml"), *texts);
        });
  }
}

}  // namespace korvo::fuzz
