#include <gtest/gtest.h>

#include "support/test_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSet>

#include "repository/data_packet_io.h"
#include "repository/repository_schema.h"

using namespace korvo::repository;

namespace {

QString demoFolder() {
  return QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS");
}

DataPacket demoFile(const QString& name) {
  return loadDataPacketFile(QDir(demoFolder()).filePath(name));
}

}  // namespace

TEST(DemoUniverse, EveryFileHasTheColumnsOfItsStagingTable) {
  for (const StagingTable& staging : stagingTables()) {
    const DataPacket packet = demoFile(staging.fileName);
    QStringList names;
    for (const DataPacketField& f : packet.fields()) names << f.name;
    QStringList expected;
    for (const ColumnDefinition& c : staging.table.columns) expected << c.name;
    EXPECT_EQ(names, expected) << staging.fileName.toStdString();
    EXPECT_GT(packet.rowCount(), 0) << staging.fileName.toStdString();
  }
}

TEST(DemoUniverse, TablesAreTheDemonstrationTablesAndJoinsFormOneTreeWithoutLoop) {
  const DataPacket tables = demoFile("UNV_TABLE.xml");
  QMap<qlonglong, QString> names;
  for (int r = 0; r < tables.rowCount(); ++r) {
    names[tables.text(r, 0).toLongLong()] = tables.text(r, 2);
    if (tables.isNull(r, 3)) {
      EXPECT_TRUE(
          QStringList({"KORVO_EMP", "KORVO_DEPT", "KORVO_SALGRADE"}).contains(tables.text(r, 2)));
    }
  }
  const DataPacket joins = demoFile("UNV_JOINCONTENT.xml");
  QMap<qlonglong, qlonglong> parent;
  for (qlonglong id : names.keys()) parent[id] = id;
  auto root = [&parent](qlonglong t) {
    while (parent[t] != t) t = parent[t];
    return t;
  };
  for (int r = 0; r < joins.rowCount(); ++r) {
    EXPECT_TRUE(joins.text(r, 4).contains(",FALSE,")) << "join " << r;
    const qlonglong a = joins.text(r, 2).toLongLong();
    const qlonglong b = joins.text(r, 3).toLongLong();
    ASSERT_TRUE(names.contains(a) && names.contains(b));
    ASSERT_NE(root(a), root(b)) << "join " << r << " closes a loop";
    parent[root(a)] = root(b);
  }
  QSet<qlonglong> roots;
  for (qlonglong id : names.keys()) roots.insert(root(id));
  EXPECT_EQ(roots.size(), 1);
}

TEST(DemoUniverse, EveryClassAndObjectHasADescriptionAndOnePromptExists) {
  const DataPacket classes = demoFile("UNV_CLASS.xml");
  const DataPacket classData = demoFile("UNV_CLASS_DATA.xml");
  QSet<QString> described;
  for (int r = 0; r < classData.rowCount(); ++r) described.insert(classData.text(r, 0));
  for (int r = 0; r < classes.rowCount(); ++r) EXPECT_TRUE(described.contains(classes.text(r, 0)));

  const DataPacket objects = demoFile("UNV_OBJECT.xml");
  const DataPacket objectData = demoFile("UNV_OBJECT_DATA.xml");
  QSet<QString> help, select;
  int prompts = 0;
  for (int r = 0; r < objectData.rowCount(); ++r) {
    if (objectData.text(r, 2) == "H") help.insert(objectData.text(r, 0));
    if (objectData.text(r, 2) == "S") select.insert(objectData.text(r, 0));
    if (objectData.text(r, 4).toUpper().contains("@PROMPT(")) ++prompts;
  }
  for (int r = 0; r < objects.rowCount(); ++r) {
    EXPECT_TRUE(help.contains(objects.text(r, 0))) << objects.text(r, 3).toStdString();
    EXPECT_TRUE(select.contains(objects.text(r, 0))) << objects.text(r, 3).toStdString();
    EXPECT_LE(objects.text(r, 3).size(), 35);
  }
  EXPECT_EQ(prompts, 1);
  // Year, quarter and month objects of the hire date.
  const DataPacket content = demoFile("UNV_OBJCONTENT.xml");
  QSet<QString> parts;
  for (int r = 0; r < content.rowCount(); ++r) {
    if (content.text(r, 3) != "0") parts.insert(content.text(r, 2).right(3));
  }
  EXPECT_EQ(parts, QSet<QString>({",Y,", ",Q,", ",M,"}));
}
