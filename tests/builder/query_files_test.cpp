// Query files: the exact field lists, neutral connectors and operators across
// languages, cut texts, the condition file's name, and the refusals that leave
// files and grids as they were.
#include "builder/query_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "builder/workspace.h"
#include "repository/data_packet_io.h"
#include "repository/recording_connection.h"

using namespace korvo;
using namespace korvo::builder;
using repository::DataPacket;

namespace {

PickedNode object(int id, const QString& name, int measure = 0) {
  PickedNode node;
  node.present = true;
  node.image = measure ? kMeasureImage : kDimensionImage;
  node.text = name;
  node.record.IdObj = id;
  node.record.Mesure = measure;
  node.record.TypeObj = measure ? "Num" : "Char";
  return node;
}

struct QueryFiles : ::testing::Test {
  QTemporaryDir program;
  kernel::AppState app;
  QueryGrids grids{app};

  void SetUp() override {
    QDir(program.path()).mkdir("REQUETES");
    QDir(program.path()).mkdir("CONDITIONS");
    app.programFolder = program.path();
  }
  QString requete(const QString& name) const { return program.filePath("REQUETES/" + name); }
  QString condition(const QString& name) const { return program.filePath("CONDITIONS/" + name); }
  QString label(int i) const { return grids.texts().operatorLabels[i]; }

  // Two objects; conditions: A > B (continuation), OR C in list, a closing line.
  void buildFrenchQuery() {
    grids.ProcAjouterColonne(object(2, "Département"));
    grids.ProcAjouterColonne(object(20, "Masse salariale", 1));
    grids.ProcAjouterCondition(object(7, "Salaire"));
    grids.StringGridCondSelectCell(1, kCondOpen);
    grids.SBAjouterParClick();
    grids.ProcAjouterOperateur(label(3));
    grids.ProcAjouterCondition(object(8, "Commission"));
    grids.ProcAjouterCondition(object(6, "Fonction"));
    grids.StringGridCondDblClick(3, kCondConnector);
    grids.ProcAjouterOperateur(label(9));
    grids.setConditionCell(3, kCondOperand, "('CLERK','MAN\"AGER')");
    grids.SBAjouterLineClick();
    grids.setConditionCell(4, kCondClose, ")");
  }
};

}  // namespace

TEST_F(QueryFiles, FieldListsAndTheWrittenFiles) {
  buildFrenchQuery();
  ASSERT_TRUE(saveQuery(requete("q.xml"), grids).ok());
  const DataPacket objects = repository::loadDataPacketFile(requete("q.xml"));
  const DataPacket conditions = repository::loadDataPacketFile(condition("q.xml"));
  QStringList names;
  for (const auto& f : objects.fields()) names << QString("%1/%2").arg(f.name).arg(f.width);
  EXPECT_EQ(names, QStringList({"Id/5", "Agréga/5", "Objet/100", "Type/4"}));
  names.clear();
  for (const auto& f : conditions.fields()) names << QString("%1/%2").arg(f.name).arg(f.width);
  EXPECT_EQ(names, QStringList({"Id/10", ")/15", "EtOu/15", "(/15", "Objet/100", "Opérateur/50",
                                "?/2", "Opérande/1000", "Type/4", "Mesure/1"}));
  ASSERT_EQ(objects.rowCount(), 2);
  EXPECT_EQ(objects.text(1, 2), "Masse salariale");
  EXPECT_EQ(objects.text(1, 1), "1");
  ASSERT_EQ(conditions.rowCount(), 4);
  auto row = [&](int r) {
    QStringList cells;
    for (int c = 0; c < 10; ++c) cells << conditions.text(r, c);
    return cells;
  };
  EXPECT_EQ(row(0),
            QStringList({"7", "", "AND", "(", "Salaire", "Greater than", "", "", "Char", "0"}));
  EXPECT_EQ(row(1), QStringList({"8", "", "", "", "Commission", "", "", "", "Char", "0"}));
  EXPECT_EQ(row(2), QStringList({"6", "", "OR", "", "Fonction", "In list", "",
                                 "('CLERK','MAN\"AGER')", "Char", "0"}));
  EXPECT_EQ(row(3), QStringList({"", ")", "", "", "", "", "", "", "", "0"}));
}

TEST_F(QueryFiles, SavedInFrenchOpenedInEnglish) {
  buildFrenchQuery();
  ASSERT_TRUE(saveQuery(requete("q.xml"), grids).ok());
  const Grid frenchConditions = grids.conditions();

  kernel::AppState english;
  english.language = "AN";
  QueryGrids other(english);
  // Whatever the grid held before opening is gone.
  for (int i = 0; i < 6; ++i) other.ProcAjouterCondition(object(i + 30, "Old"));
  other.setConditionCell(2, kCondConnector, "OR");
  ASSERT_TRUE(openQuery(requete("q.xml"), other).ok());
  EXPECT_EQ(other.conditions().rowCount(), 5);
  EXPECT_EQ(other.conditions().headers()[kCondOperator], "Operator");
  EXPECT_EQ(other.conditions().cell(1, kCondConnector), "AND");
  EXPECT_EQ(other.conditions().cell(1, kCondOperator), "Greater than");
  EXPECT_EQ(other.conditions().cell(2, kCondConnector), "");
  EXPECT_EQ(other.conditions().cell(3, kCondConnector), "OR");
  EXPECT_EQ(other.conditions().cell(3, kCondOperator), "In list");
  EXPECT_EQ(other.conditions().row(4), frenchConditions.row(4));
  EXPECT_EQ(other.objects().row(2), QStringList({"20", "1", "Masse salariale", "Num"}));
  EXPECT_EQ(other.state().objectCount, 2);
  EXPECT_EQ(other.state().conditionCount, 4);
  EXPECT_TRUE(other.state().executeEnabled);

  // And back into French.
  QueryGrids french(app);
  ASSERT_TRUE(openQuery(requete("q.xml"), french).ok());
  EXPECT_EQ(french.conditions(), frenchConditions);
}

TEST_F(QueryFiles, ThreeConditionsThenOneOpened) {
  grids.ProcAjouterCondition(object(1, "A"));
  ASSERT_TRUE(saveQuery(requete("one.xml"), grids).ok());
  grids.ProcAjouterCondition(object(2, "B"));
  grids.ProcAjouterCondition(object(3, "C"));
  ASSERT_EQ(grids.conditions().rowCount(), 4);
  ASSERT_TRUE(openQuery(requete("one.xml"), grids).ok());
  EXPECT_EQ(grids.conditions().rowCount(), 2);
  EXPECT_EQ(grids.conditions().cell(1, kCondObject), "A");
  EXPECT_EQ(grids.state().conditionCount, 1);
  // The empty result grid was saved as its one empty row, and opens so.
  EXPECT_EQ(grids.objects().rowCount(), 2);
  EXPECT_EQ(grids.state().objectCount, 1);
}

TEST_F(QueryFiles, LongTextsAreCutButIdsAreRefused) {
  grids.ProcAjouterCondition(object(1, "A"));
  grids.setConditionCell(1, kCondOperand, QString(1200, 'x'));
  grids.setConditionCell(1, kCondType, "Number");
  ASSERT_TRUE(saveQuery(requete("long.xml"), grids).ok());
  QueryGrids back(app);
  ASSERT_TRUE(openQuery(requete("long.xml"), back).ok());
  EXPECT_EQ(back.conditions().cell(1, kCondOperand), QString(1000, 'x'));
  EXPECT_EQ(back.conditions().cell(1, kCondType), "Numb");

  const QByteArray before = [&] {
    QFile f(requete("long.xml"));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  grids.ProcAjouterColonne(object(123456, "Wide"));
  QueryFileResult refused = saveQuery(requete("long.xml"), grids);
  EXPECT_TRUE(refused.error.contains("123456")) << refused.error.toStdString();
  QFile f(requete("long.xml"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);

  QueryGrids wideCondition(app);
  wideCondition.ProcAjouterCondition(object(1, "A"));
  wideCondition.setConditionCell(1, kCondId, "12345678901");
  refused = saveQuery(requete("other.xml"), wideCondition);
  EXPECT_TRUE(refused.error.contains("12345678901"));
  EXPECT_FALSE(QFile::exists(requete("other.xml")));
  EXPECT_FALSE(QFile::exists(condition("other.xml")));
}

TEST_F(QueryFiles, ConditionFileName) {
  EXPECT_EQ(conditionFileName("C:\\Korvo\\REQUETES\\q.xml"), "C:\\Korvo\\CONDITIONS\\q.xml");
  EXPECT_EQ(conditionFileName("/opt/korvo/REQUETES/q.xml"), "/opt/korvo/CONDITIONS/q.xml");
  EXPECT_EQ(conditionFileName("/a/REQUETES/b/REQUETES/q.xml"), "/a/CONDITIONS/b/CONDITIONS/q.xml");
  EXPECT_EQ(conditionFileName("/opt/requetes/q.xml"), std::nullopt);
  EXPECT_EQ(conditionFileName("/opt/REQUETES.xml"), std::nullopt);
}

TEST_F(QueryFiles, PathWithoutRequetesFolderIsRefused) {
  grids.ProcAjouterColonne(object(1, "A"));
  const QString path = program.filePath("q.xml");
  const QueryFileResult result = saveQuery(path, grids);
  EXPECT_FALSE(result.ok());
  EXPECT_TRUE(result.error.contains("REQUETES"));
  EXPECT_TRUE(QDir(program.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(QueryFiles, MissingConditionsFolderWritesNothing) {
  QDir(program.path()).rmdir("CONDITIONS");
  grids.ProcAjouterColonne(object(1, "A"));
  EXPECT_FALSE(saveQuery(requete("q.xml"), grids).ok());
  EXPECT_TRUE(QDir(program.filePath("REQUETES")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(QueryFiles, SavingReplacesBothFiles) {
  grids.ProcAjouterColonne(object(1, "A"));
  ASSERT_TRUE(saveQuery(requete("q.xml"), grids).ok());
  grids.ProcAjouterColonne(object(2, "B"));
  grids.ProcAjouterCondition(object(2, "B"));
  ASSERT_TRUE(saveQuery(requete("q.xml"), grids).ok());
  EXPECT_EQ(repository::loadDataPacketFile(requete("q.xml")).rowCount(), 2);
  EXPECT_EQ(repository::loadDataPacketFile(condition("q.xml")).text(0, 4), "B");
  // No temporary is left behind.
  EXPECT_EQ(QDir(program.filePath("REQUETES")).entryList(QDir::Files | QDir::Hidden).size(), 1);
  EXPECT_EQ(QDir(program.filePath("CONDITIONS")).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(QueryFiles, BadFilesLeaveBothGridsAsTheyWere) {
  grids.ProcAjouterColonne(object(1, "Kept"));
  grids.ProcAjouterCondition(object(1, "Kept"));
  const Grid objects = grids.objects();
  const Grid conditions = grids.conditions();

  QueryGrids source(app);
  source.ProcAjouterColonne(object(5, "New"));
  source.ProcAjouterCondition(object(5, "New"));
  ASSERT_TRUE(saveQuery(requete("good.xml"), source).ok());

  auto write = [](const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  };
  // A condition file that is no data packet.
  QFile::copy(requete("good.xml"), requete("badcond.xml"));
  write(condition("badcond.xml"), "not a packet");
  QueryFileResult r = openQuery(requete("badcond.xml"), grids);
  EXPECT_TRUE(r.error.contains("badcond.xml")) << r.error.toStdString();
  // A result file with the condition file's fields.
  QFile::copy(condition("good.xml"), requete("swapped.xml"));
  QFile::copy(condition("good.xml"), condition("swapped.xml"));
  r = openQuery(requete("swapped.xml"), grids);
  EXPECT_TRUE(r.error.contains("swapped.xml") && r.error.contains("Agréga"))
      << r.error.toStdString();
  // A condition file with too few fields.
  QFile::copy(requete("good.xml"), requete("short.xml"));
  QFile::copy(requete("good.xml"), condition("short.xml"));
  EXPECT_FALSE(openQuery(requete("short.xml"), grids).ok());
  // A missing result file.
  EXPECT_FALSE(openQuery(requete("none.xml"), grids).ok());
  EXPECT_EQ(grids.objects(), objects);
  EXPECT_EQ(grids.conditions(), conditions);
}

TEST_F(QueryFiles, MissingConditionFileEmptiesTheConditionGrid) {
  QueryGrids source(app);
  source.ProcAjouterColonne(object(5, "New"));
  ASSERT_TRUE(saveQuery(requete("q.xml"), source).ok());
  QFile::remove(condition("q.xml"));
  grids.ProcAjouterCondition(object(1, "Old"));
  const QueryFileResult r = openQuery(requete("q.xml"), grids);
  EXPECT_TRUE(r.error.contains("CONDITIONS")) << r.error.toStdString();
  EXPECT_EQ(grids.objects().cell(1, kObjName), "New");
  EXPECT_EQ(grids.conditions().rowCount(), 2);
  EXPECT_EQ(grids.conditions().row(1).join(""), "");
  EXPECT_EQ(grids.state().conditionCount, 0);
}

TEST_F(QueryFiles, DialogsGoThroughTheInteraction) {
  repository::fakes::RecordingConnection connection;
  kernel::RecordingInteraction interaction;
  Workspace workspace(app, connection, interaction);
  workspace.grids().ProcAjouterColonne(object(3, "A"));
  EXPECT_FALSE(workspace.SBEnregistrerClick());  // cancelled
  interaction.chosenFiles = {requete("w.xml"), program.filePath("w.xml")};
  EXPECT_TRUE(workspace.SBEnregistrerClick());
  EXPECT_FALSE(workspace.SBEnregistrerClick());
  ASSERT_EQ(interaction.informed.size(), 1);
  EXPECT_TRUE(interaction.informed[0].contains("REQUETES"));
  const QString folder = QDir(program.path()).filePath("REQUETES") + "/";
  EXPECT_EQ(interaction.fileRequests,
            QStringList({"save|" + folder + "|Requete1.xml", "save|" + folder + "|Requete1.xml",
                         "save|" + folder + "|Requete1.xml"}));
  workspace.grids().SBNewClick();
  interaction.chosenFiles = {requete("w.xml")};
  EXPECT_TRUE(workspace.SBOuvrirClick());
  EXPECT_EQ(interaction.fileRequests.last(), "open|" + folder + "|");
  EXPECT_EQ(workspace.grids().objects().cell(1, kObjId), "3");
  EXPECT_FALSE(workspace.SBOuvrirClick());
}
