// The catalogue and the class tree built by Init_Classes from prepared
// answers: the exact questions, the tree's shape (levels, date sub-objects,
// objects before subclasses), scrambled names, lookups by id, failures.
#include <gtest/gtest.h>

#include "builder/universe_answers.h"
#include "builder/workspace.h"
#include "repository/name_scrambling.h"

using namespace korvo;
using namespace korvo::builder;
using namespace korvo::builder::fakes;

namespace {

// The tree as "depth kind text [image]" lines, depth first.
QStringList drawn(const ClassTree& tree) {
  QStringList lines;
  tree.visit([&](const ClassTreeNode& node, int depth) {
    const char* kind = node.kind == NodeKind::Class    ? "class"
                       : node.kind == NodeKind::Object ? "object"
                                                       : "date";
    lines << QString("%1 %2 %3 [%4]").arg(depth).arg(kind, node.text).arg(node.image);
  });
  return lines;
}

struct TreeBuild : ::testing::Test {
  kernel::AppState app;
  RecordingConnection connection;
  kernel::RecordingInteraction interaction;
  Workspace workspace{app, connection, interaction};
  UniverseAnswers universe;

  ClassesOutcome build() {
    universe.into(connection);
    return workspace.Init_Classes();
  }
};

}  // namespace

TEST_F(TreeBuild, SendsTheThreeQuestionsWordForWord) {
  ASSERT_TRUE(build().built);
  ASSERT_EQ(connection.log.size(), 3);
  EXPECT_EQ(connection.log[0], catalogueQuery());
  EXPECT_TRUE(connection.log[0].startsWith(
      "select OB_IDOBJ, OB_NAME, OB_IDCLASS, decode( instr( replace( replace( replace( replace(    "
      "replace(translate(lower(OB_SELECT),'A ','A'), 'sum(','#') ,"));
  EXPECT_TRUE(connection.log[0].endsWith(
      "from KORVO_OBJECT where OB_HIDDEN = 'N' order by OB_IDCLASS, OB_POSITION, "
      "OB_BASICDATE_ID, substr(OB_PROP, length(OB_PROP) -1, 1)"));
  EXPECT_EQ(connection.log[1], "select UN_CRYPTAGE FROM KORVO_UNIVERS");
  EXPECT_EQ(connection.log[2],
            "SELECT CL_IDCLASS, CL_IDPERE , CL_NAME, LEVEL FROM KORVO_CLASS START WITH  CL_IDPERE  "
            "= 0 and CL_HIDDEN = 'N' connect by    CL_IDPERE =  prior CL_IDCLASS and CL_HIDDEN = "
            "'N' ORDER SIBLINGS BY CL_POSITION");
  EXPECT_EQ(workspace.operatorList().size(), 14);
  EXPECT_EQ(workspace.operatorList().first(), "Egal à");
  EXPECT_EQ(workspace.operandTypeList(),
            QStringList({"Saisir une nouvelle constante", "Liste de valeur",
                         "Insérer une nouvelle invite", "Supprimer une invite",
                         "Sélectionner un objet", "Insérer une sous requête"}));
}

TEST_F(TreeBuild, ObjectsComeBeforeSubclassesAndDatesNestUnderTheirObject) {
  universe.classes = {classRow(1, 0, "Ventes", 1), classRow(2, 1, "Temps", 2),
                      classRow(3, 2, "Calendrier", 3), classRow(4, 0, "Clients", 1)};
  universe.objects = {objectRow(10, "Montant", 1, 1, "1"), objectRow(11, "Date", 2, 0, "5"),
                      objectRow(12, "Année", 2, 0, "5"),   objectRow(13, "Mois", 2, 0, "5"),
                      objectRow(14, "Jour", 3, 0, "1"),    objectRow(15, "Nom", 4, 0, "1")};
  ASSERT_TRUE(build().built);
  EXPECT_EQ(drawn(workspace.tree()),
            QStringList({"1 class Ventes [0]", "2 object Montant [3]", "2 class Temps [0]",
                         "3 object Date [2]", "4 date Année [2]", "4 date Mois [2]",
                         "3 class Calendrier [0]", "4 object Jour [2]",
                         // a level-3 class, then a level-1 class
                         "1 class Clients [0]", "2 object Nom [2]"}));
}

TEST_F(TreeBuild, EqualPositionsUnderAMeasureKeepTheCube) {
  universe.classes = {classRow(1, 0, "K", 1)};
  universe.objects = {objectRow(1, "M", 1, 1, "5"), objectRow(2, "M2", 1, 1, "5"),
                      objectRow(3, "D", 1, 0, "6")};
  build();
  EXPECT_EQ(drawn(workspace.tree()),
            QStringList({"1 class K [0]", "2 object M [3]", "3 date M2 [2]", "2 object D [2]"}));
}

TEST_F(TreeBuild, StepsUpSeveralLevelsAndAddsSiblings) {
  universe.classes = {classRow(1, 0, "A", 1), classRow(2, 1, "B", 2), classRow(3, 2, "C", 3),
                      classRow(4, 3, "D", 4), classRow(5, 1, "E", 2), classRow(6, 5, "F", 3),
                      classRow(7, 5, "G", 3)};
  build();
  EXPECT_EQ(drawn(workspace.tree()),
            QStringList({"1 class A [0]", "2 class B [0]", "3 class C [0]", "4 class D [0]",
                         "2 class E [0]", "3 class F [0]", "3 class G [0]"}));
}

TEST_F(TreeBuild, ScrambledNamesAreShownReadable) {
  universe.universe = {db::Row{QString("Y")}};
  universe.classes = {classRow(1, 0, repository::CrypterNom("Clients"), 1)};
  universe.objects = {objectRow(1, repository::CrypterNom("Ville"), 1)};
  build();
  EXPECT_TRUE(app.scrambled);
  EXPECT_EQ(drawn(workspace.tree()), QStringList({"1 class Clients [0]", "2 object Ville [2]"}));
  // The grids receive the readable name.
  const ClassTreeNode& ville = *workspace.tree().roots()[0]->children[0];
  workspace.grids().ProcAjouterColonne(ville.picked());
  EXPECT_EQ(workspace.grids().objects().cell(1, kObjName), "Ville");
}

TEST_F(TreeBuild, EmptyUniverseTableKeepsTheFlag) {
  app.scrambled = true;
  universe.universe = {};
  universe.classes = {classRow(1, 0, repository::CrypterNom("Clients"), 1)};
  const ClassesOutcome outcome = build();
  EXPECT_TRUE(outcome.built);
  EXPECT_FALSE(outcome.universeRow);
  EXPECT_TRUE(app.scrambled);
  EXPECT_EQ(workspace.tree().roots()[0]->text, "Clients");
}

TEST_F(TreeBuild, ObjectOfAMissingClassIsNotShownButFoundById) {
  universe.classes = {classRow(1, 0, "K", 1)};
  universe.objects = {objectRow(1, "Shown", 1), objectRow(2, "Orphan", 99)};
  build();
  EXPECT_EQ(workspace.tree().nodeCount(), 2);
  QString value = "unchanged";
  workspace.catalogue().Get_Obj_Info("2", value, "OB_SELECT");
  EXPECT_EQ(value, "T.C2");
}

TEST(Catalogue, GetObjInfoContract) {
  Catalogue catalogue;
  catalogue.append({"7", "A", "1", 0, "first", "w1", "", "1", "Num"});
  catalogue.append({"8", "B", "1", 0, "other", "", "", "2", "Num"});
  catalogue.append({"7", "A2", "2", 0, "second", "w2", "", "1", "Num"});
  QString value = "x";
  catalogue.Get_Obj_Info("7", value, "OB_SELECT");
  EXPECT_EQ(value, "first");
  catalogue.Get_Obj_Info("7", value, "OB_WHERE");
  EXPECT_EQ(value, "w1");
  catalogue.Get_Obj_Info("8", value, "OB_WHERE");
  EXPECT_EQ(value, "");
  value = "kept";
  catalogue.Get_Obj_Info("9", value, "OB_SELECT");
  EXPECT_EQ(value, "kept");
  catalogue.Get_Obj_Info("7", value, "OB_COMMENT");
  EXPECT_EQ(value, "kept");
  catalogue.Get_Obj_Info("07", value, "OB_SELECT");  // ids compare as text
  EXPECT_EQ(value, "kept");
  // A class's objects are its consecutive rows from its first one.
  EXPECT_EQ(catalogue.objectsOfClass("1").size(), 2);
  EXPECT_EQ(catalogue.objectsOfClass("3").size(), 0);
}

TEST_F(TreeBuild, EnteringTwiceAddsNothing) {
  universe.classes = {classRow(1, 0, "K", 1)};
  universe.objects = {objectRow(1, "A", 1)};
  ASSERT_TRUE(build().built);
  workspace.grids().ProcAjouterColonne(workspace.tree().roots()[0]->children[0]->picked());
  const ClassesOutcome again = workspace.Init_Classes();
  EXPECT_TRUE(again.alreadyBuilt);
  EXPECT_EQ(connection.log.size(), 3);
  EXPECT_EQ(workspace.tree().nodeCount(), 2);
  EXPECT_EQ(workspace.grids().state().objectCount, 1);  // counts are reset only by a build
  workspace.clearTree();
  EXPECT_TRUE(workspace.Init_Classes().built);
  EXPECT_EQ(workspace.tree().nodeCount(), 2);
  EXPECT_EQ(workspace.grids().state().objectCount, 0);
}

TEST_F(TreeBuild, DatabaseErrorIsSilentAndRetried) {
  universe.classes = {classRow(1, 0, "K", 1)};
  universe.classError = "ORA-00942: table or view does not exist";
  const ClassesOutcome failed = build();
  EXPECT_FALSE(failed.built);
  EXPECT_EQ(failed.error, universe.classError);
  EXPECT_TRUE(workspace.tree().isEmpty());
  EXPECT_TRUE(interaction.informed.isEmpty());
  EXPECT_TRUE(interaction.errors.isEmpty());
  EXPECT_TRUE(workspace.operatorList().isEmpty());

  universe.classError.clear();
  EXPECT_TRUE(build().built);
  EXPECT_EQ(workspace.tree().nodeCount(), 1);
  EXPECT_EQ(connection.log.size(), 6);  // everything sent again
}

TEST(ClassTree, StatusComment) {
  ClassTree tree;
  Catalogue catalogue;
  catalogue.append({"1", "City", "1", 0, "", "", "Town of the client", "1", "Char"});
  catalogue.append({"2", "Date", "1", 0, "", "", "Order date", "2", "Date"});
  catalogue.append({"3", "Year", "1", 0, "", "", "Year", "2", "Num"});
  fillTree(tree, {{"1", "0", "Clients", 1}, {"2", "1", "Empty", 2}}, catalogue, false);
  const ClassTreeNode& cls = *tree.roots()[0];
  EXPECT_EQ(statusComment(&cls), "");
  EXPECT_EQ(statusComment(cls.children[0].get()), "  Town of the client");
  EXPECT_EQ(statusComment(cls.children[1].get()), "");  // has a date sub-object
  EXPECT_EQ(statusComment(cls.children[1]->children[0].get()), "  Year");
  EXPECT_EQ(statusComment(cls.children[2].get()), "");  // a class without children
  EXPECT_EQ(statusComment(nullptr), "");
}

TEST(ClassTree, DeepHierarchyIsBuiltAndFreedWithoutRecursion) {
  QList<ClassRow> rows;
  const int depth = 200000;
  for (int i = 1; i <= depth; ++i)
    rows.append({QString::number(i), QString::number(i - 1), QString("C%1").arg(i), i});
  rows.append({"0", "0", "Top", 1});
  ClassTree tree;
  fillTree(tree, rows, Catalogue(), false);
  ASSERT_EQ(tree.roots().size(), 2u);
  int deepest = 0;
  tree.visit([&](const ClassTreeNode&, int d) { deepest = std::max(deepest, d); });
  EXPECT_EQ(deepest, depth);
  EXPECT_EQ(tree.roots()[1]->text, "Top");
  tree.clear();
  EXPECT_TRUE(tree.isEmpty());
}
