// An import that is refused, fails or is cut off, run against the embedded
// engine: the schema is left with the earlier complete universe or with no
// repository at all, never with a mix, and the universe list tells an
// interrupted import from a finished one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "db/connection.h"
#include "kernel/language.h"
#include "repository/repository_schema.h"
#include "repository/stopping_connection.h"
#include "repository/universe_folder.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"

using namespace korvo;
using namespace korvo::repository;
using fakes::UniverseFolder;

namespace {

const kernel::ImportTexts& texts() { return kernel::textTables("FR").importTexts; }

void writeUniverse(UniverseFolder& folder, const QString& id, const QString& name, int size) {
  folder.write("UNV_UNIVERSE.xml", {{id, name, "1", "2011/01/01", "2011/01/02", "N"}});
  QList<QStringList> classes, tables, joins, joinData, objects, content, data, objTab;
  for (int i = 1; i <= size; ++i) {
    const QString n = QString::number(i);
    classes << QStringList{n, id, name + " classe " + n, i == 1 ? "<null>" : "1", "N", n};
    tables << QStringList{n, id, QString("T%1_%2").arg(name.left(3).toUpper()).arg(i), "<null>"};
    if (i > 1) {
      joins << QStringList{n, id, "1", n, "=,N-1,FALSE,"};
      joinData << QStringList{n, id, "J", "1", QString("T1.X=T%1.X").arg(i)};
    }
    objects << QStringList{n, id, n, name + " objet " + n, "N", n};
    content << QStringList{n, id, "Cha,D,N,", "0"};
    data << QStringList{n, id, "S", "1", QString("T%1.X").arg(i)};
    objTab << QStringList{n, n, id};
  }
  folder.write("UNV_CLASS.xml", classes);
  folder.write("UNV_TABLE.xml", tables);
  folder.write("UNV_JOINCONTENT.xml", joins);
  folder.write("UNV_JOIN_DATA.xml", joinData);
  folder.write("UNV_OBJECT.xml", objects);
  folder.write("UNV_OBJCONTENT.xml", content);
  folder.write("UNV_OBJECT_DATA.xml", data);
  folder.write("UNV_OBJ_TAB.xml", objTab);
}

void copyFiles(const QString& from, const QString& to) {
  QDir target(to);
  for (const QString& name : target.entryList(QDir::Files)) target.remove(name);
  for (const QString& name : QDir(from).entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), target.filePath(name)));
}

using Snapshot = QList<QList<QStringList>>;

// Each step commits; in memory when the machine has a memory file system the
// many short imports below do not wait for the disk.
QString scratchTemplate() {
  return QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/korvo-recovery-XXXXXX")
                                   : QDir::tempPath() + QStringLiteral("/korvo-recovery-XXXXXX");
}

struct ImportRecovery : ::testing::Test {
  QTemporaryDir schemas{scratchTemplate()};
  QTemporaryDir programFolder;
  kernel::AppState state;
  kernel::RecordingInteraction interaction;
  UniverseFolder oldUniverse;
  UniverseFolder newUniverse;

  void SetUp() override {
    state.programFolder = programFolder.path();
    writeUniverse(oldUniverse, "7", "Ancien", 2);
    writeUniverse(newUniverse, "8", "Nouveau", 3);
  }

  QString alias() const { return "local:" + schemas.path(); }

  std::unique_ptr<db::Connection> connect() {
    auto connection = db::connectionForAlias(alias());
    connection->open(alias(), "scott", "tiger");
    return connection;
  }

  ImportOutcome import(db::Connection& connection, const QString& folder) {
    UniverseList list(connection, interaction, state);
    return UniverseImport(connection, interaction, state, list, folder).ImporterUnivers();
  }

  static QList<QStringList> rows(db::Connection& connection, const QString& sql) {
    auto cursor = connection.query(sql);
    QList<db::Row> fetched;
    cursor->fetch(fetched, 0);
    QList<QStringList> texts;
    for (const db::Row& row : fetched) {
      QStringList line;
      for (const QVariant& v : row) line << (v.isNull() ? "<null>" : connection.display(v));
      texts << line;
    }
    return texts;
  }

  // Every repository table, whole.
  static Snapshot snapshot(db::Connection& connection) {
    Snapshot tables;
    for (const QString& table : repositoryTableNames())
      tables << rows(connection, "select * from " + table + " order by 1, 2");
    return tables;
  }

  // Staging tables, KORVO_CLASS_TMP and repository tables left in the schema.
  static QStringList leftovers(db::Connection& connection) {
    QStringList names;
    for (const QStringList& row :
         rows(connection,
              "select table_name from user_tables where table_name like 'TMP%' or "
              "table_name like 'KORVO%' order by 1")) {
      if (!row[0].startsWith("KORVO_EMP") && row[0] != "KORVO_DEPT" && row[0] != "KORVO_SALGRADE")
        names << row[0];
    }
    return names;
  }

  QString told() const { return (interaction.errors + interaction.informed).join(" | "); }
};

}  // namespace

TEST_F(ImportRecovery, ABrokenFolderIsRefusedWithNothingChanged) {
  auto connection = connect();
  ASSERT_EQ(import(*connection, oldUniverse.path()), ImportOutcome::Finished)
      << told().toStdString();
  const Snapshot before = snapshot(*connection);
  const QStringList tablesBefore = leftovers(*connection);
  const QString table = QDir(newUniverse.path()).filePath("UNV_TABLE.xml");
  const QByteArray good = [&] {
    QFile f(table);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  const auto replaceTableFile = [&](const QByteArray& bytes) {
    QFile::remove(table);
    QFile f(table);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  };

  const struct {
    const char* what;
    std::function<void()> breakIt;
    const char* fault;
  } cases[] = {
      {"named pipe",
       [&] {
         QFile::remove(table);
         ASSERT_EQ(::mkfifo(QFile::encodeName(table).constData(), 0600), 0);
       },
       "is a named pipe"},
      {"link to a device",
       [&] {
         QFile::remove(table);
         ASSERT_TRUE(QFile::link("/dev/zero", table));
       },
       "is a character device"},
      {"declared UTF-8 holding code page bytes",
       [&] {
         QByteArray bytes = good;
         bytes.replace("standalone=\"yes\"", "encoding=\"utf-8\" standalone=\"yes\"");
         bytes.replace("TNOU_1", "T\xC9T_1");
         replaceTableFile(bytes);
       },
       "line 1: byte 0xC9 is not valid UTF-8"},
      {"deep nesting",
       [&] {
         replaceTableFile(good.left(good.indexOf("<ROWDATA>")) + QByteArray("<X>").repeated(300));
       },
       "line 1: elements nested more than 64 levels deep"},
      {"missing field",
       [&] {
         QByteArray bytes = good;
         bytes.replace("TAB_NAME", "TABLE_NAME");
         replaceTableFile(bytes);
       },
       "no field TAB_NAME (needed by TMP_TABLE)"},
      {"truncated", [&] { replaceTableFile(good.left(good.size() / 2)); }, "UNV_TABLE.xml"},
  };
  for (const auto& c : cases) {
    interaction = kernel::RecordingInteraction();
    c.breakIt();
    EXPECT_EQ(import(*connection, newUniverse.path()), ImportOutcome::Refused) << c.what;
    ASSERT_EQ(interaction.errors.size(), 1) << c.what;
    EXPECT_TRUE(interaction.errors[0].startsWith(table)) << interaction.errors[0].toStdString();
    EXPECT_TRUE(interaction.errors[0].contains(c.fault)) << interaction.errors[0].toStdString();
    EXPECT_TRUE(interaction.errors[0].endsWith(texts().folderRefused));
    EXPECT_EQ(snapshot(*connection), before) << c.what;
    EXPECT_EQ(leftovers(*connection), tablesBefore) << c.what;
    replaceTableFile(good);
  }
}

TEST_F(ImportRecovery, AFailureAfterTheFirstRepositoryTableLeavesNoMixedRepository) {
  auto connection = connect();
  ASSERT_EQ(import(*connection, oldUniverse.path()), ImportOutcome::Finished)
      << told().toStdString();
  // A duplicated object row: classes and joins are rebuilt before the object
  // insert meets the unique index.
  newUniverse.write("UNV_OBJECT.xml",
                    {{"1", "8", "1", "Objet", "N", "1"}, {"1", "8", "1", "Objet bis", "N", "2"}});
  newUniverse.write("UNV_OBJCONTENT.xml", {{"1", "8", "Cha,D,N,", "0"}});
  interaction = kernel::RecordingInteraction();
  EXPECT_EQ(import(*connection, newUniverse.path()), ImportOutcome::Failed);
  ASSERT_EQ(interaction.errors.size(), 1) << told().toStdString();
  EXPECT_TRUE(interaction.errors[0].startsWith("ORA-00001")) << told().toStdString();
  EXPECT_TRUE(interaction.errors[0].endsWith(texts().undoneDuringBuild));
  EXPECT_FALSE(interaction.informed.contains(kernel::textTables("FR").messages[22]));

  // Neither the old universe's tables beside new classes nor staging tables.
  EXPECT_EQ(leftovers(*connection), QStringList())
      << leftovers(*connection).join(' ').toStdString();
  kernel::RecordingInteraction listed;
  UniverseList list(*connection, listed, state);
  ASSERT_TRUE(list.Init_Univers());
  EXPECT_FALSE(list.repositoryFound());
  EXPECT_FALSE(list.unfinishedImportFound());
  EXPECT_TRUE(listed.informed.isEmpty());

  // And the next import starts from a clean schema.
  interaction = kernel::RecordingInteraction();
  EXPECT_EQ(import(*connection, oldUniverse.path()), ImportOutcome::Finished)
      << told().toStdString();
}

TEST_F(ImportRecovery, AUniverseRowTheDatabaseRefusesIsReported) {
  auto connection = connect();
  newUniverse.write("UNV_UNIVERSE.xml", {{"8", QString(36, 'U'), "1", "<null>", "<null>", "N"}});
  UniverseList list(*connection, interaction, state);
  UniverseImport universeImport(*connection, interaction, state, list, newUniverse.path());
  EXPECT_EQ(universeImport.ImporterUnivers(), ImportOutcome::Finished);
  EXPECT_TRUE(universeImport.universeRowMissing());
  EXPECT_EQ(universeImport.refusedRows(), 1);
  ASSERT_EQ(interaction.errors.size(), 2) << told().toStdString();
  EXPECT_TRUE(interaction.errors[0].startsWith("TMP_UNIVERSE : 1 ligne(s) sur 1 refusée(s)"))
      << interaction.errors[0].toStdString();
  EXPECT_TRUE(interaction.errors[0].contains("ORA-12899"));
  EXPECT_EQ(interaction.errors[1],
            texts().universeRowMissing.arg(QDir(newUniverse.path()).filePath("UNV_UNIVERSE.xml")));
  // The import finished: the empty list is not taken for an unfinished import.
  EXPECT_TRUE(list.repositoryFound());
  EXPECT_FALSE(list.unfinishedImportFound());
}

TEST_F(ImportRecovery, CutOffAfterEachStepTheSchemaHoldsTheOldUniverseOrNone) {
  {
    auto connection = connect();
    ASSERT_EQ(import(*connection, oldUniverse.path()), ImportOutcome::Finished)
        << told().toStdString();
  }
  QTemporaryDir pristine{scratchTemplate()};
  copyFiles(schemas.path(), pristine.path());
  Snapshot oldSnapshot, newSnapshot;
  long long steps = 0;
  {
    auto connection = connect();
    oldSnapshot = snapshot(*connection);
    fakes::StoppingConnection unlimited(*connection, 1LL << 40);
    ASSERT_EQ(import(unlimited, newUniverse.path()), ImportOutcome::Finished)
        << told().toStdString();
    steps = unlimited.callsPassed();
    newSnapshot = snapshot(*connection);
  }
  ASSERT_NE(oldSnapshot, newSnapshot);
  ASSERT_GT(steps, 100);

  int keptOld = 0, none = 0, gotNew = 0;
  for (long long stop = 0; stop < steps; ++stop) {
    copyFiles(pristine.path(), schemas.path());
    {
      // The session ends without a commit, as a killed client's does.
      auto connection = connect();
      fakes::StoppingConnection stopping(*connection, stop);
      interaction = kernel::RecordingInteraction();
      EXPECT_NE(import(stopping, newUniverse.path()), ImportOutcome::Finished) << stop;
      ASSERT_TRUE(stopping.stopped());
    }
    auto connection = connect();
    kernel::RecordingInteraction listed;
    UniverseList list(*connection, listed, state);
    ASSERT_TRUE(list.Init_Univers()) << stop;
    // The universe table is filled by the last statement but one; until that
    // is committed no universe is listed, whichever tables exist.
    const bool listsAUniverse =
        list.repositoryFound() && !list.grid().row(1).join(QString()).isEmpty();
    if (listsAUniverse) {
      const Snapshot now = snapshot(*connection);
      const bool isOld = now == oldSnapshot;
      const bool isNew = now == newSnapshot;
      EXPECT_TRUE(isOld || isNew) << "a mixed repository after " << stop << " calls";
      keptOld += isOld;
      gotNew += isNew;
    } else {
      ++none;
      // Nothing listed, and the list says why.
      EXPECT_TRUE(list.unfinishedImportFound()) << stop;
      EXPECT_EQ(listed.informed, QStringList{texts().unfinishedImport}) << stop;
    }
  }
  // Cut-offs fell before, inside and after the repository build.
  EXPECT_GT(keptOld, 0);
  EXPECT_GT(none, 0);
  EXPECT_GT(gotNew, 0);
}
