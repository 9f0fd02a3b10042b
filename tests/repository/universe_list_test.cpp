#include "repository/universe_list.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "kernel/language.h"
#include "repository/recording_connection.h"

using namespace korvo;
using namespace korvo::repository;
using korvo::repository::fakes::RecordingConnection;
namespace fakes = korvo::repository::fakes;

namespace {

const QStringList& fr() { return kernel::textTables("FR").messages; }
const QString kNotice = QString::fromUtf8(
    "Vous êtes connecté à une base Vorlan, à terme l'accès aux bases Vorlan ne sera pas maintenu  "
    "...");

struct ListFixture : ::testing::Test {
  RecordingConnection connection;
  kernel::RecordingInteraction interaction;
  kernel::AppState state;
  QTemporaryDir programFolder;

  ListFixture() { state.programFolder = programFolder.path(); }

  void schema(long long boTables, long long korvoTables, QString vorlanError = QString(),
              long long vorlanRows = 0) {
    connection.answers = {fakes::countAnswer("'UNV_CLASS'", boTables),
                          fakes::countAnswer("'KORVO_CLASS'", korvoTables)};
    fakes::PreparedAnswer vorlan = fakes::countAnswer("H_PERSFAM", vorlanRows);
    vorlan.error = vorlanError;
    connection.answers << vorlan;
    connection.answers << fakes::PreparedAnswer{
        "from KORVO_UNIVERS",
        {fakes::column("Id univers"), fakes::column("Nom univers"), fakes::column("Version"),
         fakes::column("Date de création"), fakes::column("Date de modification"),
         fakes::column("Cryptage")},
        {db::Row{QVariant(qlonglong(12)), QVariant("Demo"), QVariant(qlonglong(3)),
                 QVariant(QDateTime(QDate(2011, 3, 4), QTime(0, 0))), QVariant(), QVariant("N")}},
        QString()};
    connection.answers << fakes::PreparedAnswer{
        "from UNV_UNIVERSE",
        {fakes::column("Id univers"), fakes::column("Nom univers"), fakes::column("Version"),
         fakes::column("Date de création"), fakes::column("Date de modification")},
        {db::Row{QVariant(qlonglong(1)), QVariant("A"), QVariant(qlonglong(1)),
                 QVariant("2010/01/02"), QVariant()},
         db::Row{QVariant(qlonglong(2)), QVariant("B"), QVariant(qlonglong(4)),
                 QVariant("2010/02/03"), QVariant()}},
        QString()};
  }

  void writeSettings(const QByteArray& content) {
    QFile file(QDir(programFolder.path()).filePath("Korvo-BO6.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray settings() {
    QFile file(QDir(programFolder.path()).filePath("Korvo-BO6.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

}  // namespace

TEST_F(ListFixture, PreparedGridHasHeadersAndOneEmptyRow) {
  UniverseList list(connection, interaction, state);
  EXPECT_EQ(list.grid().headers(), kernel::textTables("FR").universeHeaders);
  ASSERT_EQ(list.grid().rowCount() - 1, 1);
  EXPECT_EQ(list.grid().row(1), QStringList(6));
  EXPECT_EQ(universeColumnWidths(), QList<int>({80, 300, 250, 250, 250, 1000}));
  state.language = "AN";
  list.Init_StringGridUniv();
  EXPECT_EQ(list.grid().cell(0, 5), "Encryted");
}

TEST_F(ListFixture, RepositoryListUsesTheHeadersAsAliasesAndTheShortDateFormat) {
  schema(3, 7, "ORA-00942: table or view does not exist");
  state.shortDateFormat = "dd/mm/yyyy";
  UniverseList list(connection, interaction, state);
  int resets = 0;
  list.resetQueryGrids = [&resets] { ++resets; };
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_EQ(resets, 1);
  EXPECT_TRUE(list.repositoryFound());
  EXPECT_FALSE(list.boRepositoryFound());
  EXPECT_FALSE(list.vorlanFound());
  EXPECT_TRUE(connection.log.contains(
      "select UN_IDUNIV \"Id univers\", UN_NAME \"Nom univers\", UN_VERSION \"Version\", "
      "UN_CREATEDATE "
      "\"Date de création\", UN_MODIFYDATE \"Date de modification\", UN_CRYPTAGE \"Cryptage\" from "
      "KORVO_UNIVERS order by UN_NAME"));
  EXPECT_EQ(connection.log[0],
            "select count(*) from user_tables where table_name in ('UNV_CLASS','UNV_CLASS_DATA',"
            "'UNV_JOIN_DATA','UNV_JOINCONTENT','UNV_OBJ_TAB', 'UNV_OBJECT_DATA','UNV_OBJCONTENT',"
            "'UNV_OBJECT','UNV_TABLE','UNV_UNIVERSE')");
  EXPECT_EQ(connection.log[1],
            "select count(*) from user_tables where table_name in ('KORVO_CLASS','KORVO_JOIN',"
            "'KORVO_OBJ_TAB', 'KORVO_OBJECT','KORVO_TAB_TREE','KORVO_TABLE','KORVO_UNIVERS')");
  ASSERT_EQ(list.grid().rowCount() - 1, 1);
  EXPECT_EQ(list.grid().row(1), QStringList({"12", "Demo", "3", "04/03/2011", "", "N"}));
  EXPECT_TRUE(interaction.informed.isEmpty());
  EXPECT_TRUE(interaction.errors.isEmpty());
}

TEST_F(ListFixture, BusinessObjectsRepositoryBesideTheRepository) {
  schema(10, 7);
  UniverseList list(connection, interaction, state);
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_TRUE(list.boRepositoryFound());
  EXPECT_FALSE(list.repositoryFound());
  EXPECT_FALSE(list.vorlanFound());
  EXPECT_EQ(list.grid().columnCount(), 5);
  ASSERT_EQ(list.grid().rowCount() - 1, 2);
  EXPECT_EQ(list.grid().row(2), QStringList({"2", "B", "4", "2010/02/03", ""}));
  EXPECT_TRUE(connection.log.contains(
      "select UNIVERSE_ID \"Id univers\", UNI_LONGNAME \"Nom univers\", UNI_VERSION \"Version\", "
      "UNI_CREATEDATE \"Date de création\", UNI_MODIFYDATE \"Date de modification\" from "
      "UNV_UNIVERSE "
      "order by UNI_LONGNAME"));
  // The drop does nothing on a BusinessObjects schema.
  const int before = connection.log.size();
  list.DropUnivers();
  EXPECT_EQ(connection.log.size(), before);
  // Clicking a row selects its id; the header row and rows beyond select nothing.
  list.StringGridUnivClick(2);
  EXPECT_EQ(list.selectedUniverseId(), "2");
  list.StringGridUnivClick(0);
  EXPECT_EQ(list.selectedUniverseId(), "");
}

TEST_F(ListFixture, SixOfSevenTablesIsNoRepository) {
  schema(0, 6);
  UniverseList list(connection, interaction, state);
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_FALSE(list.repositoryFound());
  EXPECT_EQ(list.grid().rowCount(), 2);
  EXPECT_EQ(list.grid().row(1), QStringList(6));
  list.StringGridUnivClick(1);
  EXPECT_EQ(list.selectedUniverseId(), "");
  const int before = connection.log.size();
  list.DropUnivers();
  EXPECT_EQ(connection.log.size(), before);
  // What an interrupted import leaves.
  EXPECT_TRUE(list.unfinishedImportFound());
  EXPECT_EQ(interaction.informed,
            QStringList{kernel::textTables("FR").importTexts.unfinishedImport});
}

TEST_F(ListFixture, StagingTablesTellOfAnUnfinishedImportAndOfferAnother) {
  const kernel::ImportTexts& texts = kernel::textTables("FR").importTexts;
  schema(0, 7);
  connection.answers.prepend(fakes::countAnswer("'TMP_CLASS'", 2));
  UniverseList list(connection, interaction, state);
  int imports = 0;
  list.importAgain = [&imports] { ++imports; };
  interaction.answers = {false, true};
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_TRUE(list.unfinishedImportFound());
  EXPECT_TRUE(list.repositoryFound());  // the earlier universe is still complete and listed
  EXPECT_EQ(list.grid().cell(1, 1), "Demo");
  EXPECT_EQ(imports, 0);
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_EQ(imports, 1);
  EXPECT_EQ(interaction.asked, QStringList(2, texts.unfinishedImport + ' ' + texts.importAgain));
  EXPECT_TRUE(interaction.informed.isEmpty());
  // The question counts the staging tables and the class work table only.
  const QString staging = connection.log.filter("'TMP_CLASS'").value(0);
  EXPECT_EQ(staging, stagingTableCountQuery());
  EXPECT_TRUE(staging.contains("'KORVO_CLASS_TMP'"));
  EXPECT_TRUE(staging.contains("'TMP_UNIVERSE'"));

  // An import's own refresh says nothing; a schema without leftovers neither.
  {
    const UniverseList::ImportRunning running(list);
    ASSERT_TRUE(list.Init_Univers());
  }
  EXPECT_EQ(imports, 1);
  connection.answers.removeFirst();
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_FALSE(list.unfinishedImportFound());
  EXPECT_EQ(interaction.asked.size(), 2);
}

TEST_F(ListFixture, VorlanNoticeOnceWithASettingsFile) {
  writeSettings("[PARAMETRES]\r\nLANG=FR\r\n");
  schema(0, 0, QString(), 3);
  UniverseList list(connection, interaction, state);
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_TRUE(list.vorlanFound());
  EXPECT_EQ(interaction.informed, QStringList{kNotice});
  EXPECT_EQ(settings(), QByteArray("[PARAMETRES]\r\nLANG=FR\r\nVORLAN=YES\r\n"));
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_EQ(interaction.informed.size(), 1);
}

TEST_F(ListFixture, VorlanNoticeAtEveryRefreshWithoutSettingsFile) {
  schema(0, 0, QString(), 1);
  UniverseList list(connection, interaction, state);
  list.Init_Univers();
  list.Init_Univers();
  EXPECT_EQ(interaction.informed, QStringList({kNotice, kNotice}));
  EXPECT_TRUE(settings().isEmpty());
}

TEST_F(ListFixture, VorlanTablesMissingOrEmptyGiveNoNotice) {
  schema(0, 7, "ORA-00942: table or view does not exist");
  UniverseList list(connection, interaction, state);
  EXPECT_TRUE(list.Init_Univers());
  schema(0, 7, QString(), 0);
  EXPECT_TRUE(list.Init_Univers());
  EXPECT_FALSE(list.vorlanFound());
  EXPECT_TRUE(interaction.informed.isEmpty());
  EXPECT_TRUE(interaction.errors.isEmpty());
}

TEST_F(ListFixture, AFailingCountStopsTheRefreshWithFlagsCleared) {
  schema(0, 7);
  UniverseList list(connection, interaction, state);
  ASSERT_TRUE(list.Init_Univers());
  ASSERT_TRUE(list.repositoryFound());
  connection.answers.prepend({"'KORVO_CLASS'", {}, {}, "ORA-03114: not connected to ORACLE"});
  EXPECT_FALSE(list.Init_Univers());
  EXPECT_FALSE(list.repositoryFound());
  EXPECT_EQ(interaction.errors, QStringList{"ORA-03114: not connected to ORACLE"});
}

TEST_F(ListFixture, NothingIsRefreshedWhileAUniverseIsLoaded) {
  schema(0, 7);
  UniverseList list(connection, interaction, state);
  list.treeLoaded = [] { return true; };
  EXPECT_TRUE(list.Init_Univers());
  EXPECT_TRUE(connection.log.isEmpty());
}

TEST_F(ListFixture, DropAsksAndDropsEveryTable) {
  schema(0, 7);
  UniverseList list(connection, interaction, state);
  list.Init_Univers();
  interaction.answers = {false};
  const int before = connection.log.size();
  list.SBdropUniversClick();
  EXPECT_EQ(interaction.asked, QStringList{fr()[49]});
  EXPECT_EQ(connection.log.size(), before);

  connection.answers.prepend(fakes::countAnswer("'KORVO_CLASS'", 0));
  list.SBdropUniversClick();
  const QStringList dropped = connection.log.mid(before, 10);
  EXPECT_EQ(dropped, QStringList({"drop table KORVO_CLASS", "drop table KORVO_JOIN",
                                  "drop table KORVO_OBJ_TAB", "drop table KORVO_OBJECT",
                                  "drop table KORVO_TAB_TREE", "drop table KORVO_TABLE",
                                  "drop table KORVO_UNIVERS", "drop table KORVO_EMP",
                                  "drop table KORVO_DEPT", "drop table KORVO_SALGRADE"}));
  EXPECT_EQ(interaction.informed, QStringList{fr()[39]});
  EXPECT_FALSE(list.repositoryFound());  // refreshed
}

TEST_F(ListFixture, DropThatLeavesATableReportsEntry40) {
  schema(0, 7);
  UniverseList list(connection, interaction, state);
  list.Init_Univers();
  connection.failures = {{"drop table KORVO_JOIN", "ORA-00054: resource busy"}};
  connection.answers.prepend(fakes::countAnswer("'KORVO_CLASS'", 1));
  list.DropUnivers();
  EXPECT_EQ(interaction.informed, QStringList{fr()[40]});
  EXPECT_TRUE(connection.log.contains("drop table KORVO_SALGRADE"));
}
