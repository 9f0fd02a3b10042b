// The seed corpus of the fuzz_data_packet target through the same reader
// entry, in the ordinary build: no seed may raise anything but a refusal of
// the file, and every seed the reader takes is written back and read again.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "../../fuzz/data_packet_front_end.h"
#include "repository/data_packet_io.h"
#include "support/test_paths.h"

namespace {

QByteArray contentOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QFileInfoList seeds() {
  return QDir(QDir(korvo::testing::sourceRoot()).filePath("fuzz/corpus/fuzz_data_packet"))
      .entryInfoList(QDir::Files, QDir::Name);
}

TEST(FuzzCorpusReplay, EveryDataPacketSeedReadsOrIsRefused) {
  const QFileInfoList files = seeds();
  ASSERT_GE(files.size(), 10);
  int accepted = 0;
  for (const QFileInfo& file : files) {
    const QByteArray bytes = contentOf(file.filePath());
    ASSERT_FALSE(bytes.isEmpty()) << file.filePath().toStdString();
    EXPECT_NO_THROW(korvo::fuzz::runDataPacketReader(bytes)) << file.filePath().toStdString();
    try {
      korvo::repository::readDataPacket(bytes, file.fileName());
      ++accepted;
    } catch (const korvo::repository::DataPacketError&) {
    }
  }
  // The seeds are mostly real files; the few refused ones are there on purpose.
  EXPECT_GE(accepted, files.size() - 3);
}

// Inputs of the kind the fuzzer makes from the seeds: cut at every tenth,
// doubled, with a byte flipped. They may be refused, never otherwise fail.
TEST(FuzzCorpusReplay, MangledDataPacketsAreRefusedCleanly) {
  for (const QFileInfo& file : seeds()) {
    const QByteArray bytes = contentOf(file.filePath());
    QList<QByteArray> variants = {bytes + bytes, QByteArray()};
    for (int tenth = 1; tenth < 10; ++tenth) variants << bytes.left(bytes.size() * tenth / 10);
    for (qsizetype at = 0; at < bytes.size(); at += 37) {
      QByteArray flipped = bytes;
      flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
      variants << flipped;
    }
    for (const QByteArray& v : variants)
      EXPECT_NO_THROW(korvo::fuzz::runDataPacketReader(v))
          << file.filePath().toStdString() << ": " << v.toStdString();
  }
}

}  // namespace
