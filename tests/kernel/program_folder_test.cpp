#include "kernel/program_folder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvo::kernel {
namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  f.write(bytes);
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void setTime(const QString& path, const QDateTime& when) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

// The installed data folder as the package lays it out (read-only files, as
// root's files are for a user).
struct Installed {
  QTemporaryDir root;
  QString bin = root.filePath("usr/bin");
  QString data = root.filePath("usr/share/korvo-bo6");
  QString user = root.filePath("home/.local/share/korvo-bo6");
  Installed() {
    QDir().mkpath(bin);
    writeFile(data + "/Korvo-BO6.ini", "[PARAMETRES]\r\nLANG=FR\r\nCOST=0\r\nMESG_DEMO=\r\n");
    writeFile(data + "/Korvo-BO6.html", "<html>manual 1</html>");
    writeFile(data + "/web/index_fr.html", "<html>page 1</html>");
    writeFile(data + "/ParamOra.dat", "profiles");
    writeFile(data + "/UNIVERS/UNV_CLASS.xml", "<classes/>");
    writeFile(data + "/REQUETES/demo.xml", "<query/>");
    for (const QString& f : {QStringLiteral("Korvo-BO6.ini"), QStringLiteral("ParamOra.dat")})
      QFile(data + "/" + f).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);
  }
};

TEST(ProgramFolder, TheInstalledDataLiesInShareBesideBin) {
  EXPECT_EQ(installedDataFolder("/usr/bin"), "/usr/share/korvo-bo6");
  EXPECT_EQ(installedDataFolder("/opt/k/bin/"), "/opt/k/share/korvo-bo6");
  EXPECT_EQ(QFileInfo(userProgramFolder()).fileName(), "korvo-bo6");
  EXPECT_EQ(QFileInfo(userProgramFolder()).absolutePath(),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

// The run folder of the set-up script has the settings file beside the
// program; the name is matched without regard to letter case.
TEST(ProgramFolder, TheSettingsFileBesideTheExecutableKeepsThePortableLayout) {
  for (const char* name : {"Korvo-BO6.ini", "korvo-BO6.ini", "KORVO-BO6.INI"}) {
    Installed inst;
    writeFile(inst.bin + "/" + name, "[PARAMETRES]\r\n");
    const ProgramFolderChoice choice = chooseProgramFolder(inst.bin, inst.data, inst.user);
    EXPECT_TRUE(choice.portable) << name;
    EXPECT_EQ(choice.folder, inst.bin) << name;
    EXPECT_TRUE(choice.seeded.isEmpty()) << name;
    EXPECT_FALSE(QFileInfo::exists(inst.user)) << name << ": the user folder is left alone";
  }
}

TEST(ProgramFolder, AnInstalledProgramSeedsTheUserFolderOnce) {
  Installed inst;
  ProgramFolderChoice choice = chooseProgramFolder(inst.bin, inst.data, inst.user);
  EXPECT_FALSE(choice.portable);
  EXPECT_EQ(choice.folder, inst.user);
  EXPECT_TRUE(choice.error.isEmpty()) << choice.error.toStdString();
  QStringList seeded = choice.seeded;
  seeded.sort();
  EXPECT_EQ(seeded, QStringList({"Korvo-BO6.html", "Korvo-BO6.ini", "ParamOra.dat",
                                 "REQUETES/demo.xml", "UNIVERS/UNV_CLASS.xml",
                                 "web/index_fr.html"}));
  EXPECT_EQ(readAll(inst.user + "/UNIVERS/UNV_CLASS.xml"), "<classes/>");
  // The settings are written at every start (MESG_DEMO), so the copy of a
  // read-only installed file must be writable.
  EXPECT_TRUE(QFileInfo(inst.user + "/Korvo-BO6.ini").isWritable());
  EXPECT_TRUE(QFileInfo(inst.user + "/ParamOra.dat").isWritable());

  choice = chooseProgramFolder(inst.bin, inst.data, inst.user);
  EXPECT_EQ(choice.folder, inst.user);
  EXPECT_TRUE(choice.seeded.isEmpty()) << choice.seeded.join(",").toStdString();
}

// What the user changed stays: the settings, the profiles, an exported
// universe, a saved query; a demo query they deleted comes back beside theirs.
TEST(ProgramFolder, SeedingKeepsTheUsersFilesAndAddsTheMissingOnes) {
  Installed inst;
  chooseProgramFolder(inst.bin, inst.data, inst.user);
  const struct {
    const char* file;
    QByteArray mine;
  } edits[] = {{"Korvo-BO6.ini", "[PARAMETRES]\r\nLANG=AN\r\nCOST=10\r\nMESG_DEMO=YES\r\n"},
               {"ParamOra.dat", "my profiles"},
               {"UNIVERS/UNV_CLASS.xml", "<my classes/>"},
               {"REQUETES/mine.xml", "<my query/>"}};
  for (const auto& e : edits) writeFile(inst.user + "/" + e.file, e.mine);
  QFile::remove(inst.user + "/REQUETES/demo.xml");
  // Even an installed file newer than the user's is not copied over it.
  for (const char* f : {"Korvo-BO6.ini", "ParamOra.dat", "UNIVERS/UNV_CLASS.xml"})
    setTime(inst.user + "/" + f, QDateTime::currentDateTime().addDays(-30));

  const ProgramFolderChoice choice = chooseProgramFolder(inst.bin, inst.data, inst.user);
  EXPECT_EQ(choice.seeded, QStringList({"REQUETES/demo.xml"}));
  for (const auto& e : edits) EXPECT_EQ(readAll(inst.user + "/" + e.file), e.mine) << e.file;
}

// Help pages are the program's: a newer installed page replaces the user's
// copy, an unchanged one is left (the copy carries the installed time).
TEST(ProgramFolder, ANewerInstalledHelpPageReplacesTheOldOne) {
  Installed inst;
  chooseProgramFolder(inst.bin, inst.data, inst.user);
  writeFile(inst.data + "/Korvo-BO6.html", "<html>manual 2</html>");
  writeFile(inst.data + "/web/index_fr.html", "<html>page 2</html>");
  const QDateTime later = QDateTime::currentDateTime().addDays(1);
  setTime(inst.data + "/Korvo-BO6.html", later);
  setTime(inst.data + "/web/index_fr.html", later);

  ProgramFolderChoice choice = chooseProgramFolder(inst.bin, inst.data, inst.user);
  QStringList seeded = choice.seeded;
  seeded.sort();
  EXPECT_EQ(seeded, QStringList({"Korvo-BO6.html", "web/index_fr.html"}));
  EXPECT_EQ(readAll(inst.user + "/Korvo-BO6.html"), "<html>manual 2</html>");
  EXPECT_EQ(readAll(inst.user + "/web/index_fr.html"), "<html>page 2</html>");

  choice = chooseProgramFolder(inst.bin, inst.data, inst.user);
  EXPECT_TRUE(choice.seeded.isEmpty()) << choice.seeded.join(",").toStdString();
}

TEST(ProgramFolder, AUserFolderThatCannotBeMadeIsReported) {
  Installed inst;
  writeFile(inst.root.filePath("blocker"), "a file, not a folder");
  const ProgramFolderChoice choice =
      chooseProgramFolder(inst.bin, inst.data, inst.root.filePath("blocker/korvo-bo6"));
  EXPECT_FALSE(choice.error.isEmpty());
  EXPECT_TRUE(choice.seeded.isEmpty());
}

// Start-up makes the program folder the current one, where the universe
// folder and the help documents are looked up.
TEST(ProgramFolder, StartUpEntersTheChosenFolder) {
  const QString before = QDir::currentPath();
  {
    Installed inst;
    writeFile(inst.bin + "/Korvo-BO6.ini", "[PARAMETRES]\r\n");
    const ProgramFolderChoice choice = enterProgramFolder(inst.bin);
    EXPECT_TRUE(choice.portable);
    EXPECT_EQ(QDir::currentPath(), QDir(inst.bin).canonicalPath());
  }
  {
    Installed inst;
    const ProgramFolderChoice choice = enterProgramFolder(inst.bin);
    EXPECT_FALSE(choice.portable);
    EXPECT_EQ(choice.folder, userProgramFolder());
    EXPECT_EQ(QDir::currentPath(), QDir(userProgramFolder()).canonicalPath());
  }
  QDir::setCurrent(before);
}

}  // namespace
}  // namespace korvo::kernel
