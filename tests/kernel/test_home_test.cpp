// Every test process has a HOME of its own (see support/private_home.h); the
// tests of a program run in parallel and must not meet in one settings folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

TEST(TestHome, EachProcessHasItsOwnHomeAndXdgFolders) {
  const QString home = qEnvironmentVariable("HOME");
  EXPECT_TRUE(QFileInfo(home).fileName().startsWith("test-")) << home.toStdString();
  EXPECT_TRUE(QFileInfo(home).isDir());
  for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
    const QString folder = qEnvironmentVariable(name);
    EXPECT_TRUE(folder.startsWith(home + '/')) << name << "=" << folder.toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir()) << name;
  }
  EXPECT_EQ(QFileInfo(qEnvironmentVariable("XDG_RUNTIME_DIR")).permissions() & 0x0077, 0)
      << "the runtime folder is the owner's alone";
  EXPECT_TRUE(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                  .startsWith(QDir::homePath()));
}

}  // namespace
