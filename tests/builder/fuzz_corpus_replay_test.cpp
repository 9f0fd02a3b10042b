// The seed corpus of the fuzz_query_file target through the same entry, in
// the ordinary build: no seed may raise anything but a refusal, every seed
// that opens as a query file saves and opens again unchanged, and the seeds
// really are query files of both kinds.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "../../fuzz/query_file_front_end.h"
#include "support/test_paths.h"

namespace {

QByteArray contentOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QFileInfoList seeds() {
  return QDir(QDir(korvo::testing::sourceRoot()).filePath("fuzz/corpus/fuzz_query_file"))
      .entryInfoList(QDir::Files, QDir::Name);
}

TEST(FuzzCorpusReplay, QueryFileSeedsOpenSaveAndOpenAgain) {
  const QFileInfoList files = seeds();
  ASSERT_GE(files.size(), 6);
  int objectFiles = 0;
  int conditionFiles = 0;
  for (const QFileInfo& file : files) {
    const QByteArray bytes = contentOf(file.filePath());
    EXPECT_NO_THROW(korvo::fuzz::runQueryFileReader(bytes)) << file.filePath().toStdString();
    const auto packet = korvo::repository::readDataPacket(bytes, file.fileName());
    if (korvo::builder::objectRows(packet, file.fileName()).error.isEmpty()) ++objectFiles;
    if (korvo::builder::conditionRows(packet, file.fileName(), korvo::kernel::englishTexts())
            .error.isEmpty())
      ++conditionFiles;
  }
  EXPECT_GE(objectFiles, 3);
  EXPECT_GE(conditionFiles, 4);
}

TEST(FuzzCorpusReplay, MangledQueryFilesAreRefusedCleanly) {
  for (const QFileInfo& file : seeds()) {
    const QByteArray bytes = contentOf(file.filePath());
    QList<QByteArray> variants = {bytes + bytes};
    for (int tenth = 1; tenth < 10; ++tenth) variants << bytes.left(bytes.size() * tenth / 10);
    for (qsizetype at = 0; at < bytes.size(); at += 23) {
      QByteArray flipped = bytes;
      flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
      variants << flipped;
    }
    for (const QByteArray& v : variants)
      EXPECT_NO_THROW(korvo::fuzz::runQueryFileReader(v)) << file.filePath().toStdString();
  }
}

}  // namespace
