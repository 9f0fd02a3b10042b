#include "kernel/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/test_paths.h"

namespace korvo::kernel {
namespace {

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(Settings, NoFileKeepsTheInitialValuesAndWritesNothing) {
  QTemporaryDir dir;
  AppState state;
  const SettingsOutcome outcome = loadSettings(dir.path(), state);
  EXPECT_TRUE(outcome.ok);
  EXPECT_FALSE(outcome.fileFound);
  EXPECT_EQ(state.language, "FR");
  EXPECT_EQ(state.costThreshold, 0);
  EXPECT_FALSE(state.firstRun);
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(Settings, FirstRunTurnsTheFlagOnAndWritesYes) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Korvo-BO6.ini");
  writeFile(path, "; shipped\r\n[PARAMETRES]\r\nLANG=AN\r\nCOST=2500\r\nMESG_DEMO=\r\n");
  AppState state;
  SettingsOutcome outcome = loadSettings(dir.path(), state);
  EXPECT_TRUE(outcome.ok);
  EXPECT_TRUE(state.firstRun);
  EXPECT_EQ(state.language, "AN");
  EXPECT_EQ(state.costThreshold, 2500);
  EXPECT_EQ(readAll(path),
            QByteArray("; shipped\r\n[PARAMETRES]\r\nLANG=AN\r\nCOST=2500\r\nMESG_DEMO=YES\r\n"));

  AppState second;
  outcome = loadSettings(dir.path(), second);
  EXPECT_TRUE(outcome.ok);
  EXPECT_FALSE(second.firstRun);
}

TEST(Settings, TheCommandLineReadsWithoutMarkingTheNoticeSeen) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Korvo-BO6.ini");
  const QByteArray shipped("[PARAMETRES]\r\nLANG=AN\r\nCOST=2500\r\nMESG_DEMO=\r\n");
  writeFile(path, shipped);
  AppState state;
  const SettingsOutcome outcome = readSettings(dir.path(), state);
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(state.language, "AN");
  EXPECT_EQ(state.costThreshold, 2500);
  EXPECT_EQ(readAll(path), shipped);
  writeFile(path, "[PARAMETRES]\r\nLANG=AN\r\nCOST=x\r\n");
  EXPECT_FALSE(readSettings(dir.path(), state).ok);
}

TEST(Settings, MissingMesgDemoIsAFirstRunToo) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Korvo-BO6.ini");
  writeFile(path, "[PARAMETRES]\r\nLANG=FR\r\nCOST=-3\r\n");
  AppState state;
  EXPECT_TRUE(loadSettings(dir.path(), state).ok);
  EXPECT_TRUE(state.firstRun);
  EXPECT_EQ(state.costThreshold, -3);
  EXPECT_EQ(readAll(path), QByteArray("[PARAMETRES]\r\nLANG=FR\r\nCOST=-3\r\nMESG_DEMO=YES\r\n"));
}

TEST(Settings, ABadCostFailsBeforeAnythingIsWritten) {
  const QByteArray files[] = {
      "[PARAMETRES]\r\nLANG=FR\r\nMESG_DEMO=\r\n",           // COST missing
      "[PARAMETRES]\r\nLANG=FR\r\nCOST=\r\nMESG_DEMO=\r\n",  // empty
      "[PARAMETRES]\r\nLANG=FR\r\nCOST=12a\r\nMESG_DEMO=\r\n",
      "[PARAMETRES]\r\nLANG=FR\r\nCOST=1.5\r\nMESG_DEMO=\r\n",
      "[PARAMETRES]\r\nLANG=FR\r\nCOST=99999999999\r\nMESG_DEMO=\r\n",  // beyond an integer
  };
  for (const QByteArray& bytes : files) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Korvo-BO6.ini");
    writeFile(path, bytes);
    AppState state;
    const SettingsOutcome outcome = loadSettings(dir.path(), state);
    EXPECT_FALSE(outcome.ok) << bytes.constData();
    EXPECT_FALSE(state.firstRun);
    EXPECT_EQ(readAll(path), bytes);
  }
}

TEST(Settings, AnUnusableFileFails) {
  // A directory under the settings file's name cannot be read or written,
  // whoever runs the program.
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("Korvo-BO6.ini"));
  AppState state;
  const SettingsOutcome outcome = loadSettings(dir.path(), state);
  EXPECT_TRUE(outcome.fileFound);
  EXPECT_FALSE(outcome.ok);
}

TEST(Settings, TheFileNameIsMatchedWithoutRegardToCase) {
  QTemporaryDir dir;
  const QString path = dir.filePath("korvo-bo6.INI");
  writeFile(path, "[PARAMETRES]\r\nLANG=AN\r\nCOST=7\r\nMESG_DEMO=YES\r\n");
  EXPECT_EQ(findSettingsFile(dir.path()), path);
  AppState state;
  EXPECT_TRUE(loadSettings(dir.path(), state).ok);
  EXPECT_EQ(state.language, "AN");
  EXPECT_EQ(state.costThreshold, 7);
  // The exact name wins when both exist.
  writeFile(dir.filePath("Korvo-BO6.ini"), "[PARAMETRES]\r\nCOST=1\r\n");
  EXPECT_EQ(findSettingsFile(dir.path()), dir.filePath("Korvo-BO6.ini"));
}

TEST(Settings, AnUnknownLanguageIsKeptAsRead) {
  QTemporaryDir dir;
  writeFile(dir.filePath("Korvo-BO6.ini"),
            "[PARAMETRES]\r\nLANG=fr\r\nCOST=0\r\nMESG_DEMO=YES\r\n");
  AppState state;
  EXPECT_TRUE(loadSettings(dir.path(), state).ok);
  EXPECT_EQ(state.language, "fr");
}

TEST(Settings, TheShippedFileIsAFirstRunInFrench) {
  const QString shipped = korvo::testing::sourceRoot() + "/data/Korvo-BO6.ini";
  QTemporaryDir dir;
  ASSERT_TRUE(QFile::copy(shipped, dir.filePath("Korvo-BO6.ini"))) << shipped.toStdString();
  AppState state;
  EXPECT_TRUE(loadSettings(dir.path(), state).ok);
  EXPECT_EQ(state.language, "FR");
  EXPECT_EQ(state.costThreshold, 0);
  EXPECT_TRUE(state.firstRun);
}

}  // namespace
}  // namespace korvo::kernel
