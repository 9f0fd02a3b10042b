// Init_Classes on the embedded engine: the real catalogue and class queries,
// measure detection, hidden classes pruned with their subclasses, and the
// demonstration universe imported and shown.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "builder/workspace.h"
#include "repository/repository_schema.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"
#include "support/test_paths.h"

using namespace korvo;
using namespace korvo::builder;

namespace {

struct EngineTree : ::testing::Test {
  QTemporaryDir schemas;
  QTemporaryDir programFolder;
  std::unique_ptr<db::Connection> connection;
  kernel::RecordingInteraction interaction;
  kernel::AppState app;
  std::unique_ptr<Workspace> workspace;

  void SetUp() override {
    app.programFolder = programFolder.path();
    const QString alias = "local:" + schemas.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    workspace = std::make_unique<Workspace>(app, *connection, interaction);
  }

  void createRepository() {
    for (const char* t : {"KORVO_UNIVERS", "KORVO_CLASS", "KORVO_OBJECT"})
      connection->exec(repository::repositoryTable(t).createStatement());
    connection->exec(
        "insert into KORVO_UNIVERS (UN_IDUNIV, UN_NAME, UN_VERSION, UN_CRYPTAGE) values (1, "
        "'Demo', 1, 'N')");
  }
  void addClass(int id, int parent, const QString& name, int position, bool hidden = false) {
    connection->exec(QString("insert into KORVO_CLASS (CL_IDCLASS, CL_IDUNIV, CL_NAME, CL_IDPERE, "
                             "CL_HIDDEN, CL_POSITION) values (%1, 1, '%2', %3, '%4', %5)")
                         .arg(id)
                         .arg(name)
                         .arg(parent)
                         .arg(hidden ? "Y" : "N")
                         .arg(position));
  }
  void addObject(int id, int cls, const QString& name, const QString& select, int position,
                 const QString& prop = "Char,D", bool hidden = false) {
    QString quoted = select;
    quoted.replace("'", "''");
    connection->exec(QString("insert into KORVO_OBJECT (OB_IDOBJ, OB_IDUNIV, OB_IDCLASS, OB_NAME, "
                             "OB_PROP, OB_HIDDEN, OB_POSITION, OB_SELECT, OB_COMMENT) values (%1, "
                             "1, %2, '%3', '%4', '%5', %6, '%7', 'about %3')")
                         .arg(id)
                         .arg(cls)
                         .arg(name, prop, hidden ? "Y" : "N")
                         .arg(position)
                         .arg(quoted));
  }

  QStringList drawn() const {
    QStringList lines;
    workspace->tree().visit([&](const ClassTreeNode& node, int depth) {
      lines << QString("%1 %2 [%3]").arg(depth).arg(node.text).arg(node.image);
    });
    return lines;
  }
};

}  // namespace

TEST_F(EngineTree, HiddenClassTakesItsSubclassesAlong) {
  createRepository();
  addClass(1, 0, "Visible", 2);
  addClass(2, 0, "Hidden", 1, true);
  addClass(3, 2, "Under hidden", 1);
  addClass(4, 1, "Second", 2);
  addClass(5, 1, "First", 1);
  addObject(10, 1, "Code", "T.CODE", 1);
  addObject(11, 3, "Lost", "T.LOST", 1);
  addObject(12, 5, "Name", "T.NAME", 1);
  addObject(13, 1, "Hidden object", "T.H", 2, "Char,D", true);
  const ClassesOutcome outcome = workspace->Init_Classes();
  ASSERT_TRUE(outcome.built) << outcome.error.toStdString();
  EXPECT_TRUE(outcome.universeRow);
  EXPECT_EQ(drawn(), QStringList({"1 Visible [0]", "2 Code [2]", "2 First [0]", "3 Name [2]",
                                  "2 Second [0]"}));
  // The object of a pruned class stays in the catalogue.
  QString value;
  workspace->catalogue().Get_Obj_Info("11", value, "OB_SELECT");
  EXPECT_EQ(value, "T.LOST");
  EXPECT_EQ(workspace->catalogue().rows().size(), 3);
}

TEST_F(EngineTree, MeasuresAreFoundInTheSqlText) {
  createRepository();
  addClass(1, 0, "K", 1);
  addObject(1, 1, "Total", "SUM (T.AMOUNT)", 1, "Num,M");
  addObject(2, 1, "Hash", "T.A # 2", 2, "Num,D");
  addObject(3, 1, "Count", "Count(*)", 3, "Num,M");
  addObject(4, 1, "Plain", "T.SUMMARY", 4, "Char,D");
  addObject(5, 1, "Avg", "avg(T.X)", 5, "Number,M");
  ASSERT_TRUE(workspace->Init_Classes().built);
  EXPECT_EQ(drawn(), QStringList({"1 K [0]", "2 Total [3]", "2 Hash [3]", "2 Count [3]",
                                  "2 Plain [2]", "2 Avg [3]"}));
  const auto& rows = workspace->catalogue().rows();
  EXPECT_EQ(rows[0].OB_TYPE, "Num");
  EXPECT_EQ(rows[4].OB_TYPE, "Numb");
  EXPECT_EQ(rows[0].OB_COMMENT, "about Total");
}

TEST_F(EngineTree, NoRepositoryIsAnErrorAndNothingIsBuilt) {
  const ClassesOutcome outcome = workspace->Init_Classes();
  EXPECT_FALSE(outcome.built);
  EXPECT_TRUE(outcome.error.startsWith("ORA-00942")) << outcome.error.toStdString();
  EXPECT_TRUE(workspace->tree().isEmpty());
  EXPECT_TRUE(interaction.informed.isEmpty());
}

TEST_F(EngineTree, DemonstrationUniverse) {
  repository::UniverseList list(*connection, interaction, app);
  workspace->attachUniverseList(&list);
  const QString folder = QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS");
  ASSERT_EQ(
      repository::UniverseImport(*connection, interaction, app, list, folder).ImporterUnivers(),
      repository::ImportOutcome::Finished)
      << interaction.errors.join(" | ").toStdString();
  ASSERT_TRUE(workspace->Init_Classes().built);
  QStringList classes;
  workspace->tree().visit([&](const ClassTreeNode& node, int depth) {
    if (node.kind == NodeKind::Class) classes << QString("%1 %2").arg(depth).arg(node.text);
  });
  EXPECT_EQ(classes, QStringList({"1 Départements", "1 Employés", "2 Responsable", "2 Embauche",
                                  "1 Grades de salaire", "1 Mesures"}));
  EXPECT_EQ(workspace->catalogue().rows().size(), 25);
  // Loaded: the universe list's refresh leaves the grids alone now.
  EXPECT_TRUE(list.treeLoaded());
}
