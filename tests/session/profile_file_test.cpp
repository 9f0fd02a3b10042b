#include "session/profile_file.h"

#include <gtest/gtest.h>

#include "session_test_support.h"

namespace korvo::session {
namespace {

using testing::readFile;
using testing::TemporaryCurrentFolder;
using testing::writeFile;

// A file as the Windows program writes it: 4 columns, 3 rows, column-major,
// CR LF, Windows-1252 (0xE9 is "é", 0x80 the euro sign), a scrambled password
// holding a NUL byte (the scrambled form of "$").
const QByteArray kWindowsFile(
    "4\r\n3\r\n"
    "Base\r\nORCL\r\nlocal:demo\r\n"
    "Utilisateur\r\nSCOTT\r\nd\xe9mo\r\n"
    "Date\r\n12/01/2012\r\n08/12/2026\r\n"
    "Mot de passe\r\nPMCAV\r\n\x00\x80\x41\r\n",
    112);

TEST(ProfileFileTest, ReadsCellsColumnByColumn) {
  const Grid grid = readProfileGrid(kWindowsFile);
  ASSERT_EQ(grid.columnCount(), 4);
  ASSERT_EQ(grid.rowCount(), 3);
  EXPECT_EQ(grid.row(0), (QStringList{"Base", "Utilisateur", "Date", "Mot de passe"}));
  EXPECT_EQ(grid.row(1), (QStringList{"ORCL", "SCOTT", "12/01/2012", "PMCAV"}));
  EXPECT_EQ(grid.cell(2, 1), QString::fromUtf8("démo"));
  EXPECT_EQ(grid.cell(2, 3), QString(QChar(0)) + QChar(0x20AC) + "A");
}

TEST(ProfileFileTest, RoundTripIsByteForByte) {
  ASSERT_EQ(kWindowsFile.count('\n'), 14);
  EXPECT_EQ(writeProfileGrid(readProfileGrid(kWindowsFile)), kWindowsFile);

  TemporaryCurrentFolder folder;
  writeFile("ParamOra.dat", kWindowsFile);
  Grid grid;
  ChargerStringGrid(grid, "ParamOra.dat");
  EnregistrerStringGrid(grid, "Copy.dat");
  EXPECT_EQ(readFile("Copy.dat"), kWindowsFile);
  Grid again;
  ChargerStringGrid(again, "Copy.dat");
  EXPECT_EQ(again, grid);
}

TEST(ProfileFileTest, TitleRowOnlyFile) {
  const QByteArray bytes("4\r\n1\r\nBase\r\nUser\r\nDate\r\nPassword\r\n");
  const Grid grid = readProfileGrid(bytes);
  EXPECT_EQ(grid.columnCount(), 4);
  EXPECT_EQ(grid.rowCount(), 1);
  EXPECT_EQ(grid.cell(0, 3), "Password");
  EXPECT_EQ(writeProfileGrid(grid), bytes);
}

TEST(ProfileFileTest, ShortFileLeavesLastCellsEmptyAndBareLineFeedsAreRead) {
  const Grid grid = readProfileGrid("2\n2\nA\nB\nC");
  EXPECT_EQ(grid.row(0), (QStringList{"A", "C"}));
  EXPECT_EQ(grid.row(1), (QStringList{"B", ""}));
}

TEST(ProfileFileTest, RefusesCountsThatAreNotPositiveNumbers) {
  for (const QByteArray& bytes :
       {QByteArray(""), QByteArray("x\r\n1\r\n"), QByteArray("4\r\n0\r\n"),
        QByteArray("4\r\n-2\r\n"), QByteArray("4\r\n")}) {
    EXPECT_THROW(readProfileGrid(bytes), ProfileFileError) << bytes.toStdString();
  }
}

TEST(ProfileFileTest, WriterRefusesCellsTheFormatCannotHold) {
  for (const QString& text :
       {QString("a\r\nb"), QString("line\nbreak"), QString("cr\r"), QString::fromUtf8("中文")}) {
    Grid grid(2, 2);
    grid.setCell(1, 1, text);
    EXPECT_THROW(writeProfileGrid(grid), ProfileFileError);
  }
}

TEST(ProfileFileTest, MissingFileIsAnErrorAndTheGridKeepsItsRows) {
  TemporaryCurrentFolder folder;
  Grid grid(3, 2);
  grid.setCell(1, 0, "kept");
  try {
    ChargerStringGrid(grid, "ParamMsSql.dat");
    FAIL() << "no error for a missing file";
  } catch (const ProfileFileError& e) {
    EXPECT_TRUE(e.text().contains("ParamMsSql.dat"));
  }
  EXPECT_EQ(grid.cell(1, 0), "kept");

  writeFile("Bad.dat", "four\r\n");
  EXPECT_THROW(ChargerStringGrid(grid, "Bad.dat"), ProfileFileError);
  EXPECT_EQ(grid.rowCount(), 2);
}

TEST(ProfileFileTest, SavingReplacesTheFile) {
  TemporaryCurrentFolder folder;
  writeFile("ParamOra.dat", kWindowsFile);
  Grid grid(1, 1);
  grid.setCell(0, 0, "T");
  EnregistrerStringGrid(grid, "ParamOra.dat");
  EXPECT_EQ(readFile("ParamOra.dat"), QByteArray("1\r\n1\r\nT\r\n"));
}

}  // namespace
}  // namespace korvo::session
