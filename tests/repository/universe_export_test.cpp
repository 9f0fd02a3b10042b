// The universe export against the embedded engine, over the demonstration
// BusinessObjects repository script: the checks in order, the ten files in
// clear and scrambled, the round trip through the import, and the folder left
// as it was when anything fails.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "db/connection.h"
#include "db/sqlplus_runner.h"
#include "kernel/interaction.h"
#include "kernel/language.h"
#include "repository/data_packet_io.h"
#include "repository/name_scrambling.h"
#include "repository/repository_schema.h"
#include "repository/universe_export.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"
#include "support/test_paths.h"

using namespace korvo;
using namespace korvo::repository;

namespace {

QString sourceFile(const QString& relative) {
  return QDir(korvo::testing::sourceRoot()).filePath(relative);
}

std::unique_ptr<db::Connection> openSchema(const QString& folder) {
  const QString alias = "local:" + folder;
  auto connection = db::connectionForAlias(alias);
  connection->open(alias, "scott", "tiger");
  return connection;
}

// Every row of the seven repository tables, ordered, as text.
QStringList repositoryRows(db::Connection& connection) {
  QStringList out;
  for (const QString& table : repositoryTableNames()) {
    auto cursor = connection.query("select * from " + table + " order by 1, 2, 3");
    QList<db::Row> rows;
    cursor->fetch(rows, 0);
    for (const db::Row& row : rows) {
      QStringList cells;
      for (const QVariant& v : row) cells << (v.isNull() ? "<null>" : connection.display(v));
      out << table + ": " + cells.join('|');
    }
  }
  return out;
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Export : ::testing::Test {
  QTemporaryDir work;
  std::unique_ptr<db::Connection> bo;
  kernel::AppState state;
  kernel::RecordingInteraction interaction;

  void SetUp() override {
    ASSERT_TRUE(work.isValid());
    state.programFolder = work.path();
    bo = openSchema(work.filePath("bo"));
    QFile script(sourceFile("data/bo_demo_repository.sql"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    db::SqlPlusRunner runner(*bo, outStream, errStream);
    runner.runScript(QString::fromUtf8(script.readAll()), script.fileName());
    runner.endOfInput();
    errStream.flush();
    ASSERT_EQ(runner.exitStatus(), 0) << err.toStdString();
    ASSERT_FALSE(err.contains("ORA-")) << err.toStdString();
  }

  QString folder() const { return work.filePath("UNIVERS"); }

  ExportOutcome exportUniverse(const QString& id, bool scramble, bool found = true) {
    interaction.answers = {scramble};
    return UniverseExport(*bo, interaction, state, folder()).ExporterUnivers(found, id);
  }

  // The repository an import of `from` builds in a fresh schema.
  QStringList imported(const QString& from, const QString& schema) {
    auto connection = openSchema(work.filePath(schema));
    kernel::RecordingInteraction quiet;
    UniverseList list(*connection, quiet, state);
    EXPECT_EQ(UniverseImport(*connection, quiet, state, list, from).ImporterUnivers(),
              ImportOutcome::Finished)
        << quiet.errors.join(" | ").toStdString();
    return repositoryRows(*connection);
  }
};

TEST_F(Export, TheRepositoryScriptListsItsTwoUniverses) {
  kernel::RecordingInteraction quiet;
  UniverseList list(*bo, quiet, state);
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_TRUE(list.boRepositoryFound());
  EXPECT_EQ(list.grid().rowCount(), 3);  // the title row and two universes
}

TEST_F(Export, ChecksComeInOrderAndRefusalsWriteNothing) {
  const auto& messages = kernel::textTables("FR").messages;
  EXPECT_EQ(exportUniverse("1", false, /*found=*/false), ExportOutcome::NoRepository);
  EXPECT_EQ(exportUniverse("", false), ExportOutcome::NoUniverse);
  EXPECT_EQ(interaction.informed, QStringList({messages[18], messages[19]}));
  EXPECT_TRUE(interaction.asked.isEmpty()) << "asked before the checks";
  // The id goes into SQL text: anything but digits is refused outright.
  EXPECT_EQ(exportUniverse("1 or 1=1", false), ExportOutcome::Refused);
  EXPECT_FALSE(QDir(folder()).exists());
}

TEST_F(Export, InClearTheFilesImportAsTheShippedFolderDoes) {
  ASSERT_EQ(exportUniverse("1", false), ExportOutcome::Finished)
      << interaction.errors.join(" | ").toStdString();
  EXPECT_EQ(interaction.asked, QStringList({kernel::textTables("FR").messages[37]}));
  EXPECT_EQ(interaction.informed.last(), kernel::textTables("FR").messages[20]);
  const DataPacket universe = loadDataPacketFile(QDir(folder()).filePath("UNV_UNIVERSE.xml"));
  ASSERT_EQ(universe.rowCount(), 1);
  EXPECT_EQ(universe.text(0, universe.fieldIndex("UNI_CRYPTAGE")), "N");
  const DataPacket classes = loadDataPacketFile(QDir(folder()).filePath("UNV_CLASS.xml"));
  EXPECT_EQ(classes.fields()[0].type, FieldType::FixedFMT);
  EXPECT_EQ(classes.fields()[2].width, 35);
  // Only universe 1's rows.
  const DataPacket objects = loadDataPacketFile(QDir(folder()).filePath("UNV_OBJECT.xml"));
  EXPECT_EQ(objects.rowCount(),
            loadDataPacketFile(sourceFile("data/UNIVERS/UNV_OBJECT.xml")).rowCount());

  EXPECT_EQ(imported(folder(), "a"), imported(sourceFile("data/UNIVERS"), "b"));
}

TEST_F(Export, ScrambledNamesComeBackInClearAfterTheImport) {
  ASSERT_EQ(exportUniverse("1", true), ExportOutcome::Finished)
      << interaction.errors.join(" | ").toStdString();
  const DataPacket classes = loadDataPacketFile(QDir(folder()).filePath("UNV_CLASS.xml"));
  const DataPacket clearClasses = loadDataPacketFile(sourceFile("data/UNIVERS/UNV_CLASS.xml"));
  ASSERT_EQ(classes.rowCount(), clearClasses.rowCount());
  for (const DataPacketField& f : classes.fields()) EXPECT_EQ(f.type, FieldType::String) << f.name.toStdString();
  EXPECT_EQ(classes.fields()[2].width, 35);
  const DataPacket objects = loadDataPacketFile(QDir(folder()).filePath("UNV_OBJECT.xml"));
  EXPECT_EQ(objects.fields()[0].width, 5);
  EXPECT_EQ(objects.fields()[3].width, 1000);
  bool sawTopLevel = false;
  for (int r = 0; r < classes.rowCount(); ++r) {
    EXPECT_EQ(CrypterNom(classes.text(r, 2)), clearClasses.text(r, 2));
    EXPECT_NE(classes.text(r, 2), clearClasses.text(r, 2));
    // A class without parent: an empty text, not a null.
    if (clearClasses.isNull(r, 3)) {
      sawTopLevel = true;
      EXPECT_FALSE(classes.isNull(r, 3));
      EXPECT_EQ(classes.text(r, 3), "");
    }
  }
  EXPECT_TRUE(sawTopLevel);
  const DataPacket universe = loadDataPacketFile(QDir(folder()).filePath("UNV_UNIVERSE.xml"));
  EXPECT_EQ(universe.text(0, universe.fieldIndex("UNI_CRYPTAGE")), "Y");

  // The import keeps the names scrambled and marks the universe; unscrambled,
  // the tree is the clear one (the empty parent read back as a top level).
  QStringList scrambled = imported(folder(), "a");
  const QStringList clear = imported(sourceFile("data/UNIVERS"), "b");
  ASSERT_EQ(scrambled.size(), clear.size());
  int differing = 0;
  for (int i = 0; i < scrambled.size(); ++i) {
    if (scrambled[i] == clear[i]) continue;
    ++differing;
    QStringList cells = scrambled[i].split('|');
    if (scrambled[i].startsWith("KORVO_CLASS: ")) cells[2] = CrypterNom(cells[2]);
    if (scrambled[i].startsWith("KORVO_OBJECT: ")) cells[3] = CrypterNom(cells[3]);
    if (scrambled[i].startsWith("KORVO_UNIVERS: ")) cells[5] = "N";
    EXPECT_EQ(cells.join('|'), clear[i]);
  }
  EXPECT_GT(differing, 20);
}

TEST_F(Export, AFailureLeavesTheFolderAsItWas) {
  // An earlier export of universe 2 in the folder.
  ASSERT_EQ(exportUniverse("2", false), ExportOutcome::Finished);
  QMap<QString, QByteArray> before;
  for (const QString& name : QDir(folder()).entryList(QDir::Files)) before[name] = fileBytes(QDir(folder()).filePath(name));
  ASSERT_EQ(before.size(), 10);

  // The fourth query fails once three files are written.
  bo->exec("drop table UNV_JOINCONTENT");
  bo->exec("create table UNV_JOINCONTENT (JOIN_ID number(10), UNIVERSE_ID number(10))");
  EXPECT_EQ(exportUniverse("1", false), ExportOutcome::Failed);
  ASSERT_FALSE(interaction.errors.isEmpty());
  EXPECT_TRUE(interaction.errors.last().contains("ORA-00904")) << interaction.errors.last().toStdString();
  QMap<QString, QByteArray> after;
  for (const QString& name : QDir(folder()).entryList(QDir::Files)) after[name] = fileBytes(QDir(folder()).filePath(name));
  EXPECT_EQ(after, before);
  // No work folder is left beside it.
  EXPECT_EQ(QDir(work.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).filter("export"),
            QStringList());
}

TEST_F(Export, AnObjectIdTooLongForTheScrambledFileIsRefused) {
  bo->exec("update UNV_OBJECT set OBJECT_ID = 123456 where OBJECT_ID = 1 and UNIVERSE_ID = 1");
  EXPECT_EQ(exportUniverse("1", true), ExportOutcome::Refused);
  ASSERT_FALSE(interaction.errors.isEmpty());
  EXPECT_TRUE(interaction.errors.last().contains("123456")) << interaction.errors.last().toStdString();
  EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
  // In clear the id fits its field.
  EXPECT_EQ(exportUniverse("1", false), ExportOutcome::Finished);
}

}  // namespace
