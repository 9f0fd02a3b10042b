// `korvo import` and `korvo universes` run as the user runs them: the korvo
// executable of the same build, on a fresh embedded schema.
#include <gtest/gtest.h>

#include "support/test_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "kernel/language.h"
#include "db/connection.h"
#include "repository/universe_folder.h"

namespace {

QString korvoProgram() {
  // The test executables live in <build>/tests, the command line in <build>/src.
  return QDir(QCoreApplication::applicationDirPath()).filePath("../src/korvo");
}

QString sourceRoot() {
  return korvo::testing::sourceRoot();
}

struct CommandRun {
  int status = -1;
  QString out;
  QString err;
};

CommandRun runKorvo(const QStringList& arguments, const QString& workingFolder) {
  QProcess process;
  process.setWorkingDirectory(workingFolder);
  process.start(korvoProgram(), arguments);
  CommandRun run;
  if (!process.waitForFinished(300000)) return run;
  run.status = process.exitCode();
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

}  // namespace

TEST(KorvoImportCommand, ImportsTheDemoUniverseAndListsIt) {
  ASSERT_TRUE(QFileInfo(korvoProgram()).isExecutable())
      << "build the korvo target first: " << korvoProgram().toStdString();
  QTemporaryDir work;
  QTemporaryDir schemas;
  const QString connect = "scott/tiger@local:" + schemas.path();
  const QStringList& messages = korvo::kernel::textTables("FR").messages;

  // No UNIVERS folder in the working folder: entry 15 and a failure status.
  CommandRun missing = runKorvo({"import", connect}, work.path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out.trimmed(), messages[15]);

  CommandRun imported =
      runKorvo({"import", connect, QDir(sourceRoot()).filePath("data/UNIVERS")}, work.path());
  EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
  EXPECT_EQ(imported.out.trimmed(), messages[22]);
  EXPECT_TRUE(imported.err.contains(messages[38]));

  CommandRun listed = runKorvo({"universes", "--lang", "AN", connect}, work.path());
  EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
  const QStringList lines = listed.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2) << listed.out.toStdString();
  EXPECT_EQ(lines[0], "Universe ID\tUniverse name\tRelease\tDate create\tDate modify\tEncryted");
  EXPECT_TRUE(lines[1].startsWith(QString::fromUtf8("1\tKorvo démonstration\t1\t")));
  EXPECT_TRUE(lines[1].endsWith("\tN"));

  CommandRun usage = runKorvo({"universes"}, work.path());
  EXPECT_EQ(usage.status, 2);
}

TEST(KorvoImportCommand, RefusedRowsAndAnUnfinishedImportGiveStatusOne) {
  QTemporaryDir work;
  QTemporaryDir schemas;
  const QString connect = "scott/tiger@local:" + schemas.path();
  const korvo::kernel::ImportTexts& texts = korvo::kernel::textTables("FR").importTexts;

  // A class name over its 35 characters: the row is refused, the import goes on.
  korvo::repository::fakes::UniverseFolder folder;
  folder.write("UNV_UNIVERSE.xml", {{"7", "Refus", "1", "<null>", "<null>", "N"}});
  folder.write("UNV_CLASS.xml",
               {{"1", "7", "C", "<null>", "N", "1"}, {"2", "7", QString(36, 'C'), "1", "N", "2"}});
  folder.write("UNV_TABLE.xml", {{"1", "7", "T", "<null>"}});
  CommandRun imported = runKorvo({"import", connect, folder.path()}, work.path());
  EXPECT_EQ(imported.status, 1) << imported.err.toStdString();
  EXPECT_EQ(imported.out.trimmed(), korvo::kernel::textTables("FR").messages[22]);
  EXPECT_TRUE(imported.err.contains("TMP_CLASS : 1 ligne(s) sur 2 refusée(s) par la base, "
                                    "première erreur : ORA-12899"))
      << imported.err.toStdString();

  CommandRun listed = runKorvo({"universes", connect}, work.path());
  EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
  EXPECT_EQ(listed.out.split('\n', Qt::SkipEmptyParts).size(), 2);

  // A staging table left behind, as by an import that was killed.
  {
    auto connection = korvo::db::connectionForAlias("local:" + schemas.path());
    connection->open("local:" + schemas.path(), "scott", "tiger");
    connection->exec("create table TMP_OBJECT (OBJECT_ID NUMBER(10))");
    connection->close();
  }
  listed = runKorvo({"universes", connect}, work.path());
  EXPECT_EQ(listed.status, 1);
  EXPECT_EQ(listed.err.trimmed(), texts.unfinishedImport);
  EXPECT_EQ(listed.out.split('\n', Qt::SkipEmptyParts).size(), 2);  // still listed

  // Importing again clears it.
  imported = runKorvo({"import", connect, QDir(sourceRoot()).filePath("data/UNIVERS")}, work.path());
  EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
  listed = runKorvo({"universes", connect}, work.path());
  EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
  EXPECT_TRUE(listed.err.isEmpty());
}
