#include "kernel/ini_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace korvo::kernel {
namespace {

QByteArray bytesOf(const IniFile& ini) {
  auto bytes = ini.toBytes();
  EXPECT_TRUE(bytes.has_value());
  return bytes.value_or(QByteArray());
}

TEST(IniFile, ChangingOneKeyKeepsEveryOtherByte) {
  const QByteArray before =
      "; Korvo settings\r\n"
      "[OTHER]\r\n"
      "COST=99\r\n"
      "\r\n"
      "[PARAMETRES]\r\n"
      "LANG=FR\r\n"
      "  MESG_DEMO =  \r\n"
      "; keep me\r\n"
      "COST=0\r\n"
      "[LAST]\r\n"
      "X=caf\xe9\r\n";
  IniFile ini = IniFile::fromBytes(before);
  ini.setValue("PARAMETRES", "MESG_DEMO", "YES");
  QByteArray expected = before;
  expected.replace("  MESG_DEMO =  \r\n", "  MESG_DEMO=YES\r\n");
  EXPECT_EQ(bytesOf(ini), expected);
}

TEST(IniFile, UnchangedFileRoundTripsByteForByte) {
  const QByteArray cases[] = {
      "[A]\r\nK=1\r\n",
      "[A]\nK=1\n",
      "[A]\r\nK=1",               // no final line end
      "[A]\r\nK=1\n; mixed\r\n",  // mixed line ends stay mixed
      "",
      "\xef\xbb\xbf[A]\r\nK=\xe9\xe8\x80\r\n",
  };
  for (const QByteArray& bytes : cases) EXPECT_EQ(bytesOf(IniFile::fromBytes(bytes)), bytes);
}

TEST(IniFile, ReadsValuesLikeTheWindowsProgram) {
  const IniFile ini = IniFile::fromBytes(
      "[parametres]\r\n lang = AN \r\nCOST=\"12\"\r\n;MESG_DEMO=YES\r\nVORLAN=\r\n"
      "[OTHER]\r\nMESG_DEMO=NO\r\nNAME=caf\xe9\r\n");
  EXPECT_EQ(ini.value("PARAMETRES", "LANG"), QString("AN"));
  EXPECT_EQ(ini.value("PARAMETRES", "cost"), QString("12"));
  EXPECT_EQ(ini.value("PARAMETRES", "MESG_DEMO"), std::nullopt);  // commented out
  EXPECT_EQ(ini.value("PARAMETRES", "VORLAN"), QString(""));
  EXPECT_EQ(ini.value("OTHER", "NAME"), QString("café"));
  EXPECT_EQ(ini.value("MISSING", "LANG"), std::nullopt);
}

TEST(IniFile, NewKeyGoesAfterTheSectionsLastEntry) {
  IniFile ini = IniFile::fromBytes("[PARAMETRES]\r\nLANG=FR\r\n\r\n[OTHER]\r\nA=1\r\n");
  ini.setValue("PARAMETRES", "MESG_DEMO", "YES");
  EXPECT_EQ(bytesOf(ini),
            QByteArray("[PARAMETRES]\r\nLANG=FR\r\nMESG_DEMO=YES\r\n\r\n[OTHER]\r\nA=1\r\n"));
}

TEST(IniFile, NewSectionGoesAtTheEndWithTheFilesLineEnd) {
  IniFile lf = IniFile::fromBytes("[OTHER]\nA=1");
  lf.setValue("PARAMETRES", "VORLAN", "YES");
  EXPECT_EQ(bytesOf(lf), QByteArray("[OTHER]\nA=1\n[PARAMETRES]\nVORLAN=YES\n"));

  IniFile empty = IniFile::fromBytes("");
  empty.setValue("PARAMETRES", "MESG_DEMO", "YES");
  EXPECT_EQ(bytesOf(empty), QByteArray("[PARAMETRES]\r\nMESG_DEMO=YES\r\n"));
}

TEST(IniFile, RefusesATextWindows1252CannotHold) {
  IniFile ini = IniFile::fromBytes("[A]\r\n");
  ini.setValue("A", "K", QString::fromUtf8("\xe2\x82\xac ok"));  // the euro sign exists in 1252
  EXPECT_TRUE(ini.toBytes().has_value());
  EXPECT_EQ(ini.toBytes()->right(6), QByteArray("\x80 ok\r\n"));
  ini.setValue("A", "K", QString::fromUtf8("\xe4\xb8\xad"));  // a CJK character does not
  EXPECT_FALSE(ini.toBytes().has_value());
}

TEST(IniFile, WriteValueOnDiskAndFailures) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Korvo-BO6.ini");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[PARAMETRES]\r\nLANG=FR\r\nVORLAN=\r\n");
  }
  QString error;
  ASSERT_TRUE(writeIniValue(path, "PARAMETRES", "VORLAN", "YES", &error)) << error.toStdString();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("[PARAMETRES]\r\nLANG=FR\r\nVORLAN=YES\r\n"));

  // A directory where the file should be, and a file where a folder should
  // be: both fail even for the superuser.
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
  EXPECT_FALSE(readIniFile(dir.filePath("folder.ini"), &error).has_value());
  EXPECT_FALSE(writeIniFile(dir.filePath("folder.ini"), IniFile::fromBytes("[A]\r\n"), &error));
  EXPECT_FALSE(writeIniFile(path + "/inside.ini", IniFile::fromBytes("[A]\r\n"), &error));
  EXPECT_FALSE(readIniFile(dir.filePath("missing.ini")).has_value());
}

}  // namespace
}  // namespace korvo::kernel
