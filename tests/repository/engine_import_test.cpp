// The import run against the embedded engine, then every repository table
// read back. They need the engine's (+) outer join, CREATE TABLE AS
// SELECT, correlated subqueries in UPDATE, and the stored procedures
// GEN_TAB_NODE and GEN_TAB_TREE.
#include <gtest/gtest.h>

#include "support/test_paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "kernel/language.h"
#include "db/connection.h"
#include "repository/universe_folder.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"

using namespace korvo;
using namespace korvo::repository;
using fakes::UniverseFolder;

namespace {

QString demoFolder() {
  return QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS");
}

struct EngineImport : ::testing::Test {
  QTemporaryDir schemas;
  QTemporaryDir programFolder;
  std::unique_ptr<db::Connection> connection;
  kernel::RecordingInteraction interaction;
  kernel::AppState state;

  void SetUp() override {
    state.programFolder = programFolder.path();
    const QString alias = "local:" + schemas.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
  }

  ImportOutcome import(const QString& folder) {
    UniverseList list(*connection, interaction, state);
    return UniverseImport(*connection, interaction, state, list, folder).ImporterUnivers();
  }

  // Every row of a query, each value in its text form ("<null>" for NULL).
  QList<QStringList> rows(const QString& sql) {
    auto cursor = connection->query(sql);
    QList<db::Row> fetched;
    cursor->fetch(fetched, 0);
    QList<QStringList> texts;
    for (const db::Row& row : fetched) {
      QStringList line;
      for (const QVariant& v : row)
        line << (v.isNull() ? QStringLiteral("<null>") : connection->display(v));
      texts << line;
    }
    return texts;
  }
  QString scalar(const QString& sql) { return rows(sql).value(0).value(0); }

  QString failures() const { return (interaction.errors + interaction.informed).join(" | "); }
};

// Classes: id, parent, position, name; universe 7.
QList<QStringList> classRows(const QList<QStringList>& classes) {
  QList<QStringList> out;
  for (const QStringList& c : classes) out << QStringList{c[0], "7", c[3], c[1], "N", c[2]};
  return out;
}

}  // namespace

TEST_F(EngineImport, DemoUniverseBuildsEveryRepositoryTable) {
  ASSERT_EQ(import(demoFolder()), ImportOutcome::Finished) << failures().toStdString();
  EXPECT_EQ(interaction.informed.last(), kernel::textTables("FR").messages[22]);
  EXPECT_TRUE(interaction.errors.isEmpty()) << failures().toStdString();

  const QList<QStringList> universe = rows(
      "select UN_IDUNIV, UN_NAME, UN_VERSION, to_char(UN_CREATEDATE,'yyyy-mm-dd'), UN_CRYPTAGE "
      "from KORVO_UNIVERS");
  EXPECT_EQ(universe, QList<QStringList>({{"1", QString::fromUtf8("Korvo démonstration"), "1",
                                           "2012-01-18", "N"}}));

  EXPECT_EQ(rows("select CL_IDCLASS, CL_IDPERE, CL_NIVEAU, CL_HIDDEN from KORVO_CLASS order by "
                 "CL_IDCLASS"),
            QList<QStringList>({{"1", "0", "1", "N"},
                                {"2", "0", "1", "N"},
                                {"3", "2", "2", "N"},
                                {"4", "2", "2", "N"},
                                {"5", "0", "1", "N"},
                                {"6", "0", "1", "N"}}));
  EXPECT_EQ(scalar("select count(*) from KORVO_CLASS where CL_COMMENT is null"), "0");

  EXPECT_EQ(scalar("select count(*) from KORVO_OBJECT"), "25");
  EXPECT_EQ(
      scalar("select count(*) from KORVO_OBJECT where OB_COMMENT is null or OB_SELECT is null"),
      "0");
  EXPECT_EQ(rows("select OB_IDOBJ, OB_SELECT, OB_POSITION, OB_BASICDATE_ID from KORVO_OBJECT "
                 "where OB_IDOBJ between 13 and 16 order by OB_IDOBJ"),
            QList<QStringList>({{"13", "KORVO_EMP.HIREDATE", "1", "0"},
                                {"14", "to_number(to_char(KORVO_EMP.HIREDATE,'SYYYY'))", "1", "13"},
                                {"15", "to_number(to_char(KORVO_EMP.HIREDATE,'Q'))", "1", "13"},
                                {"16", "to_number(to_char(KORVO_EMP.HIREDATE,'MM'))", "1", "13"}}));
  EXPECT_EQ(scalar("select OB_WHERE from KORVO_OBJECT where OB_IDOBJ = 9"),
            "KORVO_EMP.JOB = @Prompt('Quelle fonction ?','A',,mono,free)");
  EXPECT_EQ(scalar("select count(*) from KORVO_OBJECT where OB_WHERE is not null"), "2");

  EXPECT_EQ(rows("select TB_IDTAB, TB_NAME, TB_ALIAS from KORVO_TABLE order by TB_IDTAB"),
            QList<QStringList>({{"1", "KORVO_DEPT", "<null>"},
                                {"2", "KORVO_EMP", "<null>"},
                                {"3", "KORVO_SALGRADE", "<null>"},
                                {"4", "KORVO_MGR", "2"}}));
  EXPECT_EQ(
      rows("select JN_IDJOIN, JN_IDTAB1, JN_IDTAB2, JN_DATAVALUE from KORVO_JOIN order by "
           "JN_IDJOIN"),
      QList<QStringList>(
          {{"1", "2", "1", "KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO"},
           {"2", "2", "3", "KORVO_EMP.SAL between KORVO_SALGRADE.LOSAL and KORVO_SALGRADE.HISAL"},
           {"3", "2", "4", "KORVO_EMP.MGR=KORVO_MGR.EMPNO"}}));
  EXPECT_EQ(scalar("select count(*) from KORVO_OBJ_TAB"), "25");
  EXPECT_EQ(rows("select T_ID, T_PARENT, T_NIV, T_TREE from KORVO_TAB_TREE order by T_ID"),
            QList<QStringList>({{"1", "2", "1", "1"},
                                {"2", "<null>", "0", "1"},
                                {"3", "2", "1", "1"},
                                {"4", "2", "1", "1"}}));

  EXPECT_EQ(scalar("select count(*) from KORVO_EMP"), "14");
  EXPECT_EQ(scalar("select sum(SAL) from KORVO_EMP"), "29025");
  EXPECT_EQ(scalar("select to_char(HIREDATE,'dd/mm/yyyy') from KORVO_EMP where EMPNO = 7839"),
            "17/11/1981");
  EXPECT_EQ(scalar("select count(*) from KORVO_EMP where COMM is null"), "10");
  EXPECT_EQ(scalar("select count(*) from KORVO_DEPT"), "4");
  EXPECT_EQ(scalar("select count(*) from KORVO_SALGRADE"), "5");
  EXPECT_EQ(scalar("select count(*) from user_tables where table_name like 'TMP\\_%' escape '\\'"),
            "0");
  EXPECT_EQ(scalar("select count(*) from user_tables where table_name = 'KORVO_CLASS_TMP'"), "0");
}

TEST_F(EngineImport, ImportingTwiceGivesTheSameRepository) {
  const QStringList tables = {"KORVO_UNIVERS", "KORVO_CLASS",   "KORVO_OBJECT",   "KORVO_TABLE",
                              "KORVO_JOIN",    "KORVO_OBJ_TAB", "KORVO_TAB_TREE", "KORVO_EMP"};
  ASSERT_EQ(import(demoFolder()), ImportOutcome::Finished) << failures().toStdString();
  QList<QList<QStringList>> first;
  for (const QString& t : tables) first << rows("select * from " + t + " order by 1, 2");
  ASSERT_EQ(import(demoFolder()), ImportOutcome::Finished) << failures().toStdString();
  for (int i = 0; i < tables.size(); ++i) {
    EXPECT_EQ(rows("select * from " + tables[i] + " order by 1, 2"), first[i])
        << tables[i].toStdString();
  }
  UniverseList list(*connection, interaction, state);
  ASSERT_TRUE(list.Init_Univers());
  ASSERT_EQ(list.grid().rowCount() - 1, 1);
  EXPECT_EQ(list.grid().cell(1, 0), "1");
}

TEST_F(EngineImport, ALoopAmongTheJoinsDropsTheRepository) {
  UniverseFolder folder;
  folder.write("UNV_UNIVERSE.xml", {{"7", "Boucle", "1", "2011/01/01", "2011/01/02", "N"}});
  folder.write("UNV_CLASS.xml", classRows({{"1", "<null>", "1", "C"}}));
  folder.write("UNV_TABLE.xml",
               {{"1", "7", "A", "<null>"}, {"2", "7", "B", "<null>"}, {"3", "7", "C", "<null>"}});
  folder.write("UNV_JOINCONTENT.xml", {{"1", "7", "1", "2", "=,N-1,FALSE,"},
                                       {"2", "7", "2", "3", "=,N-1,FALSE,"},
                                       {"3", "7", "3", "1", "=,N-1,FALSE,"}});
  folder.write("UNV_JOIN_DATA.xml", {{"1", "7", "J", "1", "A.X=B.X"},
                                     {"2", "7", "J", "1", "B.X=C.X"},
                                     {"3", "7", "J", "1", "C.X=A.X"}});
  EXPECT_EQ(import(folder.path()), ImportOutcome::LoopDropped) << failures().toStdString();
  const QStringList& messages = kernel::textTables("FR").messages;
  EXPECT_TRUE(interaction.informed.contains(messages[47]));
  EXPECT_TRUE(interaction.informed.contains(messages[39]));
  EXPECT_FALSE(interaction.informed.contains(messages[22]));
  EXPECT_EQ(scalar("select count(*) from user_tables where table_name like 'KORVO%'"), "0");
}

TEST_F(EngineImport, ClassLevelsStopAtSix) {
  UniverseFolder folder;
  folder.write("UNV_UNIVERSE.xml", {{"7", "Profond", "1", "<null>", "<null>", "N"}});
  QList<QStringList> classes;
  for (int level = 1; level <= 7; ++level) {
    classes << QStringList{QString::number(level),
                           level == 1 ? "<null>" : QString::number(level - 1), "<null>",
                           QString("Niveau %1").arg(level)};
  }
  classes << QStringList{"8", "99", "1", "Orpheline"};
  folder.write("UNV_CLASS.xml", classRows(classes));
  folder.write("UNV_TABLE.xml", {{"1", "7", "A", "<null>"}});
  ASSERT_EQ(import(folder.path()), ImportOutcome::Finished) << failures().toStdString();
  EXPECT_EQ(rows("select CL_IDCLASS, CL_NIVEAU, CL_POSITION from KORVO_CLASS order by CL_IDCLASS"),
            QList<QStringList>({{"1", "1", "0"},
                                {"2", "2", "0"},
                                {"3", "3", "0"},
                                {"4", "4", "0"},
                                {"5", "5", "0"},
                                {"6", "6", "0"},
                                {"7", "0", "0"},
                                {"8", "0", "1"}}));
  EXPECT_EQ(rows("select T_ID, T_PARENT, T_NIV, T_TREE from KORVO_TAB_TREE"),
            QList<QStringList>({{"1", "0", "0", "1"}}));
}

TEST_F(EngineImport, SlicesAndDerivedDates) {
  UniverseFolder folder;
  folder.write("UNV_UNIVERSE.xml", {{"7", "Tranches", "1", "<null>", "<null>", "N"}});
  folder.write("UNV_CLASS.xml", classRows({{"1", "<null>", "1", "C"}}));
  folder.write("UNV_TABLE.xml", {{"1", "7", "T", "<null>"}});
  QList<QStringList> objects, content, data;
  for (int id = 1; id <= 6; ++id) {
    objects << QStringList{QString::number(id),    "7", "1",
                           QString("O%1").arg(id), "N", QString::number(id)};
  }
  content << QStringList{"1", "7", "Cha,D,N,", "<null>"}  // six slices
          << QStringList{"2", "7", "Cha,D,N,", "<null>"}  // slices 1 and 3
          << QStringList{"3", "7", "Dat,D,N,", "0"}       // base date: sysdate
          << QStringList{"4", "7", "Num,D,M,", "3"}       // its month
          << QStringList{"5", "7", "Num,D,Y,", "0"}       // a year without a base keeps its text
          << QStringList{"6", "7", "Num,D,Q,", "3"};      // its quarter
  for (int slice = 1; slice <= 6; ++slice) {
    data << QStringList{"1", "7", "S", QString::number(slice),
                        QString(240, QChar('a' + slice - 1))};
  }
  data << QStringList{"2", "7", "S", "1", "one "} << QStringList{"2", "7", "S", "3", "three"}
       << QStringList{"2", "7", "W", "1", "T.X = 1"} << QStringList{"2", "7", "H", "1", "Aide"}
       << QStringList{"2", "7", "H", "2", "ignored"} << QStringList{"3", "7", "S", "1", "sysdate"}
       << QStringList{"4", "7", "S", "1", "T.D"}
       << QStringList{"5", "7", "S", "1", "extract(year from T.D)"}
       << QStringList{"6", "7", "S", "1", "T.D"};
  folder.write("UNV_OBJECT.xml", objects);
  folder.write("UNV_OBJCONTENT.xml", content);
  folder.write("UNV_OBJECT_DATA.xml", data);
  ASSERT_EQ(import(folder.path()), ImportOutcome::Finished) << failures().toStdString();

  QString five;
  for (int slice = 1; slice <= 5; ++slice) five += QString(240, QChar('a' + slice - 1));
  EXPECT_EQ(scalar("select OB_SELECT from KORVO_OBJECT where OB_IDOBJ = 1"), five);
  EXPECT_EQ(rows("select OB_SELECT, OB_WHERE, OB_COMMENT from KORVO_OBJECT where OB_IDOBJ = 2"),
            QList<QStringList>({{"one three", "T.X = 1", "Aide"}}));
  EXPECT_EQ(rows("select OB_IDOBJ, OB_SELECT, OB_POSITION from KORVO_OBJECT where OB_IDOBJ >= 3 "
                 "order by 1"),
            QList<QStringList>({{"3", "sysdate", "3"},
                                {"4", "to_number(to_char(sysdate,'MM'))", "3"},
                                {"5", "extract(year from T.D)", "5"},
                                {"6", "to_number(to_char(sysdate,'Q'))", "3"}}));
}

TEST_F(EngineImport, ATableNameOver30CharactersStopsTheImport) {
  UniverseFolder folder;
  folder.write("UNV_UNIVERSE.xml", {{"7", "Long", "1", "<null>", "<null>", "N"}});
  folder.write("UNV_CLASS.xml", classRows({{"1", "<null>", "1", "C"}}));
  folder.write("UNV_TABLE.xml", {{"1", "7", QString(31, 'T'), "<null>"}});
  EXPECT_EQ(import(folder.path()), ImportOutcome::Failed);
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].startsWith("ORA-12899")) << interaction.errors[0].toStdString();
  // What the import had built and the staging tables not yet consumed are gone.
  EXPECT_EQ(scalar("select count(*) from user_tables where table_name like 'TMP%' or table_name "
                   "like 'KORVO%'"),
            "0");
}

TEST_F(EngineImport, TwoSliceOneRowsOfAClassStopTheImportAtTheUniqueIndex) {
  UniverseFolder folder;
  folder.write("UNV_UNIVERSE.xml", {{"7", "Doublon", "1", "<null>", "<null>", "N"}});
  folder.write("UNV_CLASS.xml", classRows({{"1", "<null>", "1", "C"}}));
  folder.write("UNV_CLASS_DATA.xml", {{"1", "7", "H", "1", "Aide"}, {"1", "7", "X", "1", "Autre"}});
  EXPECT_EQ(import(folder.path()), ImportOutcome::Failed);
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].startsWith("ORA-00001")) << interaction.errors[0].toStdString();
  // Stopped at the class insert, then the staging tables of the later steps
  // and the class table were dropped.
  EXPECT_EQ(scalar("select count(*) from user_tables where table_name like 'TMP%' or table_name "
                   "like 'KORVO%'"),
            "0");
}

TEST_F(EngineImport, JoinsWithoutFalseLeaveEachTableInATreeOfItsOwn) {
  UniverseFolder folder;
  folder.write("UNV_UNIVERSE.xml", {{"7", "Sans jointure", "1", "<null>", "<null>", "N"}});
  folder.write("UNV_CLASS.xml", classRows({{"1", "<null>", "1", "C"}}));
  folder.write("UNV_TABLE.xml",
               {{"1", "7", "A", "<null>"}, {"2", "7", "B", "<null>"}, {"3", "7", "C", "<null>"}});
  folder.write("UNV_JOINCONTENT.xml", {{"1", "7", "1", "2", "=,N-1,TRUE,"}});
  folder.write("UNV_JOIN_DATA.xml", {{"1", "7", "J", "1", "A.X=B.X"}});
  ASSERT_EQ(import(folder.path()), ImportOutcome::Finished) << failures().toStdString();
  EXPECT_EQ(scalar("select count(distinct T_TREE) from KORVO_TAB_TREE"), "3");
  EXPECT_EQ(scalar("select count(*) from KORVO_TAB_TREE where T_NIV <> 0"), "0");
  EXPECT_EQ(scalar("select count(*) from KORVO_TAB_TREE where T_ID in (2, 3) and T_PARENT = 0"),
            "2");
}
