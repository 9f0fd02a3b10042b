#include "repository/universe_import.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "kernel/language.h"
#include "repository/data_packet_io.h"
#include "repository/import_statements.h"
#include "repository/join_tree_procedures.h"
#include "repository/recording_connection.h"
#include "repository/repository_schema.h"
#include "repository/staging_load.h"
#include "repository/universe_folder.h"
#include "repository/universe_list.h"

using namespace korvo;
using namespace korvo::repository;
using korvo::repository::fakes::RecordingConnection;
namespace fakes = korvo::repository::fakes;

namespace {

const QStringList& fr() { return kernel::textTables("FR").messages; }

using fakes::UniverseFolder;

struct ImportFixture : ::testing::Test {
  RecordingConnection connection;
  kernel::RecordingInteraction interaction;
  kernel::AppState state;
  UniverseFolder folder;

  ImportFixture() {
    connection.columnsFor = [](const QString& sql) {
      QList<db::ColumnInfo> columns;
      for (const StagingTable& staging : stagingTables()) {
        if (sql == "select * from " + staging.table.name) {
          for (const ColumnDefinition& c : staging.table.columns) columns << fakes::column(c.name);
        }
      }
      return columns;
    };
    connection.answers = {fakes::countAnswer("'UNV_CLASS'", 0),
                          fakes::countAnswer("'KORVO_CLASS'", 7),
                          {"H_PERSFAM", {}, {}, "ORA-00942: table or view does not exist"},
                          {"from KORVO_UNIVERS",
                           {fakes::column("Id univers"), fakes::column("Nom univers")},
                           {db::Row{QVariant(1), QVariant("Demo")}},
                           QString()}};
  }

  ImportOutcome runImport() {
    UniverseList list(connection, interaction, state);
    UniverseImport import(connection, interaction, state, list, folder.path());
    return import.ImporterUnivers();
  }

  int indexOf(const QString& statement) const { return connection.log.indexOf(statement); }
};

}  // namespace

TEST_F(ImportFixture, WithoutTheClassFileNothingHappens) {
  ASSERT_TRUE(QFile::remove(QDir(folder.path()).filePath("UNV_CLASS.xml")));
  EXPECT_EQ(runImport(), ImportOutcome::NotAvailable);
  EXPECT_EQ(interaction.informed, QStringList{fr()[15]});
  EXPECT_TRUE(interaction.asked.isEmpty());
  EXPECT_TRUE(connection.log.isEmpty());
}

TEST_F(ImportFixture, AnsweringNoChangesNothing) {
  interaction.answers = {false};
  EXPECT_EQ(runImport(), ImportOutcome::Declined);
  EXPECT_EQ(interaction.asked, QStringList{fr()[38]});
  EXPECT_TRUE(connection.log.isEmpty());
}

TEST_F(ImportFixture, RunsEveryStepInOrder) {
  folder.write("UNV_CLASS.xml", {{"1", "7", "Employés", "<null>", "N", "1"}});
  folder.write("UNV_UNIVERSE.xml", {{"7", "Demo", "1", "2011/01/01", "2011/01/02", "N"}});
  connection.transaction = true;
  EXPECT_EQ(runImport(), ImportOutcome::Finished);
  EXPECT_TRUE(interaction.errors.isEmpty()) << interaction.errors.join("\n").toStdString();
  EXPECT_EQ(interaction.informed, QStringList{fr()[22]});
  EXPECT_EQ(interaction.steps.last(), QString());

  const QStringList& log = connection.log;
  // An open transaction is rolled back before the import's own begins.
  ASSERT_GE(log.size(), 2);
  EXPECT_EQ(log[0], "ROLLBACK");
  EXPECT_EQ(log[1], "BEGIN");
  // Staging loads in file order, each committed.
  int previous = 1;
  for (const StagingTable& staging : stagingTables()) {
    const int drop = indexOf("drop table " + staging.table.name);
    const int create = indexOf(staging.table.createStatement());
    const int open = indexOf("select * from " + staging.table.name);
    EXPECT_GT(drop, previous) << staging.table.name.toStdString();
    EXPECT_EQ(create, drop + 1);
    EXPECT_EQ(open, create + 1);
    previous = open;
  }
  const int insert = indexOf(
      "insert into TMP_CLASS (CLASS_ID, UNIVERSE_ID, CLS_NAME, CLS_BASECLASSID, CLS_HIDDEN, "
      "CLS_POSITION) values (1, 7, 'Employés', NULL, 'N', 1)");
  ASSERT_GT(insert, 0);
  EXPECT_EQ(log[insert + 1], "COMMIT");
  EXPECT_EQ(log[insert + 2], "BEGIN");

  // The repository statements, in order: KORVO_UNIVERS goes first and is
  // built last, after the join tree and the demonstration tables.
  QStringList expected = {
      "drop table KORVO_UNIVERS", "drop table KORVO_CLASS", repositoryTable("KORVO_CLASS").createStatement(),
      "create unique index PK_KORVO_CLASS on KORVO_CLASS(CL_IDCLASS, CL_IDUNIV)",
      "drop table KORVO_CLASS_TMP", classCopyStatement()};
  expected << classLevelStatements();
  expected << classInsertStatement() << "drop table KORVO_CLASS_TMP"
           << "drop table TMP_CLASS"
           << "drop table TMP_CLASS_DATA"
           << "drop table KORVO_JOIN" << repositoryTable("KORVO_JOIN").createStatement()
           << "create unique index PK_KORVO_JOIN on KORVO_JOIN(JN_IDJOIN, JN_IDUNIV)"
           << joinInsertStatement() << "drop table TMP_JOIN_DATA"
           << "drop table TMP_JOINCONTENT"
           << "drop table KORVO_OBJ_TAB" << repositoryTable("KORVO_OBJ_TAB").createStatement()
           << "create unique index PK_KORVO_OBJ_TAB on KORVO_OBJ_TAB(OT_IDOBJ, OT_IDTAB, OT_IDUNIV)"
           << "insert into KORVO_OBJ_TAB select * from TMP_OBJ_TAB"
           << "drop table TMP_OBJ_TAB"
           << "drop table KORVO_OBJECT" << repositoryTable("KORVO_OBJECT").createStatement()
           << "create unique index PK_KORVO_OBJECT on KORVO_OBJECT(OB_IDOBJ, OB_IDUNIV)"
           << objectInsertStatement();
  expected << objectDefaultStatements() << derivedDateStatements();
  expected << "drop table TMP_OBJCONTENT"
           << "drop table TMP_OBJECT_DATA"
           << "drop table TMP_OBJECT"
           << "drop table KORVO_TABLE" << repositoryTable("KORVO_TABLE").createStatement()
           << "create unique index PK_KORVO_TABLE on KORVO_TABLE(TB_IDTAB, TB_IDUNIV)"
           << tableInsertStatement() << "drop table TMP_TABLE"
           << "drop table KORVO_TAB_TREE" << repositoryTable("KORVO_TAB_TREE").createStatement()
           << procedureStatement(genTabNodeLines()) << procedureStatement(genTabTreeLines())
           << "begin\nGEN_TAB_TREE;\nend;";
  for (const TableDefinition& demo : demonstrationTables()) {
    expected << "drop table " + demo.name << demo.createStatement();
    expected << demonstrationInserts(demo.name);
  }
  expected << "drop table KORVO_UNIVERS" << repositoryTable("KORVO_UNIVERS").createStatement()
           << "create unique index PK_KORVO_UNIVERS on KORVO_UNIVERS(UN_IDUNIV)"
           << universeInsertStatement() << "drop table TMP_UNIVERSE";
  const int first = indexOf("drop table KORVO_UNIVERS");
  ASSERT_GT(first, insert);
  EXPECT_EQ(log.mid(first, expected.size()), expected);
  // The demonstration rows and the universe row are committed.
  EXPECT_EQ(log.value(first + expected.size()), "COMMIT");
  // Empty staging files are created and get no rows.
  EXPECT_FALSE(log.join("\n").contains("insert into TMP_JOIN_DATA"));
  // Then the list refresh.
  EXPECT_TRUE(
      log.mid(first + expected.size()).join("\n").contains("from KORVO_UNIVERS order by UN_NAME"));
}

TEST_F(ImportFixture, KnownStatementTexts) {
  EXPECT_EQ(
      repositoryTable("KORVO_OBJECT").createStatement(),
      "Create table KORVO_OBJECT (OB_IDOBJ NUMBER(10) NOT NULL, OB_IDUNIV NUMBER(10) NOT NULL, "
      "OB_IDCLASS NUMBER(10) NOT NULL, OB_NAME VARCHAR2(35) NOT NULL, OB_PROP VARCHAR2(35) NOT "
      "NULL, "
      "OB_HIDDEN VARCHAR2(1) NOT NULL, OB_POSITION NUMBER(10), OB_COMMENT VARCHAR2(255), "
      "OB_SELECT VARCHAR2(4000), OB_WHERE VARCHAR2(4000), OB_BASICDATE_ID NUMBER(10))");
  EXPECT_EQ(demonstrationInserts("KORVO_EMP").first(),
            "INSERT INTO KORVO_EMP VALUES "
            "(7369,'SMITH','CLERK',7902,to_date('17/12/1980','dd/mm/yyyy'),800,NULL,20)");
  EXPECT_EQ(demonstrationInserts("KORVO_EMP").size(), 14);
  EXPECT_EQ(demonstrationInserts("KORVO_DEPT").size(), 4);
  EXPECT_EQ(demonstrationInserts("KORVO_SALGRADE").last(),
            "INSERT INTO KORVO_SALGRADE VALUES (5,3001,9999)");
  EXPECT_EQ(
      derivedDateStatements()[1],
      "update KORVO_OBJECT o1 set o1.OB_SELECT = 'to_number(to_char('||(select o2.OB_SELECT from "
      "KORVO_OBJECT o2 where o2.OB_IDOBJ = o1.OB_BASICDATE_ID )||',''MM''))', o1.OB_POSITION = "
      "(select o2.OB_POSITION from KORVO_OBJECT o2 where o2.OB_IDOBJ = o1.OB_BASICDATE_ID ) where "
      "o1.OB_BASICDATE_ID <> 0 and  o1.OB_PROP like '%,M,'");
  EXPECT_EQ(classLevelStatements()[4],
            "update KORVO_CLASS_TMP set CL_NIVEAU = 3 where CL_IDPERE  in (select CL_IDCLASS from "
            "KORVO_CLASS_TMP where CL_NIVEAU = 2)");
  EXPECT_TRUE(procedureStatement(genTabNodeLines())
                  .startsWith("Create or replace procedure GEN_TAB_NODE(vIdTable IN Number, vTree "
                              "IN Number)  IS\r\n"));
  EXPECT_TRUE(procedureStatement(genTabTreeLines())
                  .startsWith("Create or replace procedure GEN_TAB_TREE  IS\r\n"));
}

TEST_F(ImportFixture, StagingValuesBecomeQuotedLiterals) {
  folder.write("UNV_CLASS.xml", {{"1", "7", "x'); drop table KORVO_EMP; --", "", "N", "abc"}});
  folder.write("UNV_OBJECT_DATA.xml", {{"5", "7", "S", "1", "sum(SAL)\r\nO'Neil"}});
  runImport();
  EXPECT_GE(
      indexOf(
          "insert into TMP_CLASS (CLASS_ID, UNIVERSE_ID, CLS_NAME, CLS_BASECLASSID, CLS_HIDDEN, "
          "CLS_POSITION) values (1, 7, 'x''); drop table KORVO_EMP; --', NULL, 'N', 'abc')"),
      0);
  EXPECT_GE(indexOf("insert into TMP_OBJECT_DATA (OBJECT_ID, UNIVERSE_ID, OBJ_DATATYPE, OBJ_SLICE, "
                    "OBJ_DATAVALUE) values (5, 7, 'S', 1, 'sum(SAL)\r\nO''Neil')"),
            0);
}

TEST_F(ImportFixture, RefusedStagingRowsGiveOneMessagePerTableAndTheImportGoesOn) {
  folder.write("UNV_CLASS.xml", {{"1", "7", "A", "", "N", "1"},
                                 {"2", "7", "B", "", "N", "2"},
                                 {"3", "7", "C", "", "N", "3"}});
  folder.write("UNV_TABLE.xml", {{"1", "7", "T", ""}});
  folder.write("UNV_UNIVERSE.xml", {{"7", "Demo", "1", "<null>", "<null>", "N"}});
  connection.failures = {{"values (1, 7, 'A'", "ORA-00001: unique constraint violated"},
                         {"values (2, 7, 'B'", "ORA-12899: value too large for column"},
                         {"insert into TMP_TABLE", "ORA-01400: cannot insert NULL"}};
  UniverseList list(connection, interaction, state);
  UniverseImport import(connection, interaction, state, list, folder.path());
  EXPECT_EQ(import.ImporterUnivers(), ImportOutcome::Finished);
  // The table, how many rows of how many, and the first error, not the last.
  const QString refused = kernel::textTables("FR").importTexts.stagingRowsRefused;
  EXPECT_EQ(interaction.errors,
            QStringList({refused.arg("TMP_CLASS", "2", "3", "ORA-00001: unique constraint violated"),
                         refused.arg("TMP_TABLE", "1", "1", "ORA-01400: cannot insert NULL")}))
      << interaction.errors.join('\n').toStdString();
  EXPECT_EQ(import.refusedRows(), 3);
  EXPECT_FALSE(import.universeRowMissing());
  EXPECT_TRUE(import.rowsLost());
  EXPECT_EQ(interaction.informed.last(), fr()[22]);
  EXPECT_GE(indexOf("insert into TMP_CLASS (CLASS_ID, UNIVERSE_ID, CLS_NAME, CLS_BASECLASSID, "
                    "CLS_HIDDEN, CLS_POSITION) values (3, 7, 'C', NULL, 'N', 3)"),
            0);
}

TEST_F(ImportFixture, AFailingStatementStopsTheImportAndDropsWhatItBuilt) {
  folder.write("UNV_UNIVERSE.xml", {{"7", "Demo", "1", "<null>", "<null>", "N"}});
  connection.failures = {{"insert into KORVO_TABLE select",
                          "ORA-12899: value too large for column \"KORVO_TABLE\".\"TB_NAME\""}};
  EXPECT_EQ(runImport(), ImportOutcome::Failed);
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].startsWith("ORA-12899"));
  EXPECT_TRUE(interaction.errors[0].endsWith(
      kernel::textTables("FR").importTexts.undoneDuringBuild));
  EXPECT_TRUE(interaction.informed.isEmpty());
  EXPECT_EQ(interaction.steps.last(), QString());

  // Stopped at that statement: nothing more is built, then every repository
  // table and every staging table is dropped and the list refreshed.
  const QStringList after = connection.log.mid(indexOf(tableInsertStatement()) + 1);
  ASSERT_FALSE(after.isEmpty());
  EXPECT_EQ(after.first(), "ROLLBACK");
  QStringList drops;
  for (const QString& table : repositoryTableNames()) drops << "drop table " + table;
  drops << "drop table KORVO_CLASS_TMP";
  for (const StagingTable& staging : stagingTables()) drops << "drop table " + staging.table.name;
  EXPECT_EQ(after.mid(1, drops.size()), drops);
  EXPECT_EQ(after.value(drops.size() + 1), "BEGIN");
  EXPECT_TRUE(after.value(drops.size() + 2).contains("'UNV_CLASS'"));
  for (const QString& statement : after) {
    EXPECT_FALSE(statement.startsWith("Create") || statement.startsWith("insert") ||
                 statement.startsWith("INSERT"))
        << statement.toStdString();
  }
}

TEST_F(ImportFixture, AFailureDuringTheStagingLoadLeavesTheRepositoryAlone) {
  connection.failures = {{"Create table TMP_OBJECT ", "ORA-01031: insufficient privileges"}};
  EXPECT_EQ(runImport(), ImportOutcome::Failed);
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_EQ(interaction.errors[0], "ORA-01031: insufficient privileges\n" +
                                       kernel::textTables("FR").importTexts.undoneBeforeBuild);
  const QString log = connection.log.join('\n');
  EXPECT_FALSE(log.contains("KORVO_")) << log.toStdString();
  const QStringList after =
      connection.log.mid(connection.log.lastIndexOf(QRegularExpression("^Create table TMP_OBJECT ")));
  for (const StagingTable& staging : stagingTables())
    EXPECT_TRUE(after.contains("drop table " + staging.table.name)) << staging.table.name.toStdString();
}

TEST_F(ImportFixture, AMalformedFileStopsTheImportNamingTheFile) {
  QFile bad(QDir(folder.path()).filePath("UNV_OBJ_TAB.xml"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write(
      "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET "
      "Version=\"2.0\"><ROWDATA/></DATAPACKET>");
  bad.close();
  EXPECT_EQ(runImport(), ImportOutcome::Refused);
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].contains("UNV_OBJ_TAB.xml"))
      << interaction.errors[0].toStdString();
  EXPECT_TRUE(interaction.errors[0].contains("no METADATA"));
  EXPECT_TRUE(interaction.errors[0].endsWith(kernel::textTables("FR").importTexts.folderRefused));
  // Every file is checked before the first statement.
  EXPECT_TRUE(connection.log.isEmpty()) << connection.log.join('\n').toStdString();
}

TEST_F(ImportFixture, AFileWithoutAFieldEveryRowNeedsIsRefusedBeforeAnyStatement) {
  DataPacket packet({DataPacketField::string("OBJECT_ID", 10), DataPacketField::string("TABLE", 10)});
  saveDataPacketFile(QDir(folder.path()).filePath("UNV_OBJ_TAB.xml"), packet);
  EXPECT_EQ(runImport(), ImportOutcome::Refused);
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].contains("UNV_OBJ_TAB.xml: no field TABLE_ID, UNIVERSE_ID"))
      << interaction.errors[0].toStdString();
  EXPECT_TRUE(connection.log.isEmpty());
}

TEST_F(ImportFixture, AMissingFileOtherThanTheClassFileIsRefusedBeforeAnyStatement) {
  QFile::remove(QDir(folder.path()).filePath("UNV_TABLE.xml"));
  EXPECT_EQ(runImport(), ImportOutcome::Refused);
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].contains("UNV_TABLE.xml"));
  EXPECT_TRUE(connection.log.isEmpty());
}

TEST_F(ImportFixture, AJoinTreeFailureDropsTheRepository) {
  connection.failures = {{"GEN_TAB_TREE;", "ORA-20001: Error: Loop detected in the universe"}};
  connection.answers.prepend(fakes::countAnswer("'KORVO_CLASS'", 0));  // after the drop
  EXPECT_EQ(runImport(), ImportOutcome::LoopDropped);
  ASSERT_GE(interaction.informed.size(), 2);
  EXPECT_EQ(interaction.informed[0], fr()[47]);
  EXPECT_EQ(interaction.informed[1], fr()[39]);
  const int block = indexOf("begin\nGEN_TAB_TREE;\nend;");
  QStringList drops;
  for (const char* t :
       {"KORVO_CLASS", "KORVO_JOIN", "KORVO_OBJ_TAB", "KORVO_OBJECT", "KORVO_TAB_TREE",
        "KORVO_TABLE", "KORVO_UNIVERS", "KORVO_EMP", "KORVO_DEPT", "KORVO_SALGRADE"}) {
    drops << QString("drop table ") + t;
  }
  // The staging table the universe step would have consumed goes first.
  EXPECT_EQ(connection.log.value(block + stagingTables().size()), "drop table TMP_UNIVERSE");
  EXPECT_EQ(connection.log.mid(block + stagingTables().size() + 1, drops.size()), drops);
  EXPECT_EQ(indexOf(demonstrationTables().first().createStatement()), -1);
  EXPECT_FALSE(interaction.informed.contains(fr()[22]));
}

TEST(StagingLoad, CopiesByExactColumnNameAndSetsRowid) {
  QTemporaryDir dir;
  DataPacket file({DataPacketField::of("B", FieldType::I4), DataPacketField::string("a", 5),
                   DataPacketField::string("EXTRA", 5)});
  int r = file.appendRow();
  file.setValue(r, 0, 42);
  file.setValue(r, 1, "low");
  file.setValue(r, 2, "x");
  const QString path = dir.filePath("f.xml");
  saveDataPacketFile(path, file);
  DataPacket target = emptyStagingRows({"A", "B", "ROWID"});
  ChargerClientDataSet(target, path);
  ChargerClientDataSet(target, path);  // appends
  ASSERT_EQ(target.rowCount(), 2);
  EXPECT_TRUE(target.isNull(0, 0));  // "a" is not "A"
  EXPECT_EQ(target.value(0, 1).toString(), "42");
  EXPECT_EQ(target.value(1, 2).toString(), "0");
  DataPacket untouched = emptyStagingRows({"A"});
  EXPECT_THROW(ChargerClientDataSet(untouched, dir.filePath("missing.xml")), DataPacketError);
  EXPECT_EQ(untouched.rowCount(), 0);
}

TEST(StagingLoad, Literals) {
  EXPECT_EQ(sqlLiteral(QVariant(), true), "NULL");
  EXPECT_EQ(sqlLiteral(QString(""), false), "NULL");
  EXPECT_EQ(sqlLiteral(QString("12.5"), true), "12.5");
  EXPECT_EQ(sqlLiteral(QString("-3e4"), true), "-3e4");
  EXPECT_EQ(sqlLiteral(QString("12.5"), false), "'12.5'");
  EXPECT_EQ(sqlLiteral(QString("1 or 1=1"), true), "'1 or 1=1'");
  EXPECT_EQ(sqlLiteral(QString("it's"), false), "'it''s'");
}
