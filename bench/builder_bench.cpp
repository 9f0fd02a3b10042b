// The query builder's speed: a universe of 20,000 objects in 3,000 classes read
// into the catalogue and the class tree (through the embedded engine, and from
// rows already in memory), and the grid operations on a 200-row condition grid.
// Targets: the tree well under 1 s; adding a condition or choosing an operator
// under 1 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "builder/workspace.h"
#include "db/connection.h"
#include "kernel/interaction.h"
#include "repository/repository_schema.h"

using namespace korvo;
using namespace korvo::builder;

namespace {

constexpr int kObjects = 20000;
constexpr int kClasses = 3000;
constexpr int kTopClasses = 60;

int parentOf(int c) { return c <= kTopClasses ? 0 : (c - 1) / 4; }
int classOf(int o) { return (o % kClasses) + 1; }
// Every fifth object of a class is a date sub-object of the one before it.
int positionOf(int o) {
  const int rank = o / kClasses;
  return rank - (rank % 5 == 4 ? 1 : 0);
}

struct EmbeddedUniverse {
  QTemporaryDir schemas;
  std::unique_ptr<db::Connection> connection;

  EmbeddedUniverse() {
    const QString alias = "local:" + schemas.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    for (const char* t : {"KORVO_UNIVERS", "KORVO_CLASS", "KORVO_OBJECT"})
      connection->exec(repository::repositoryTable(t).createStatement());
    connection->begin();
    connection->exec(
        "insert into KORVO_UNIVERS (UN_IDUNIV, UN_NAME, UN_VERSION, UN_CRYPTAGE) values (1, "
        "'Grand', 1, 'N')");
    for (int c = 1; c <= kClasses; ++c)
      connection->exec(QString("insert into KORVO_CLASS (CL_IDCLASS, CL_IDUNIV, CL_NAME, "
                               "CL_IDPERE, CL_HIDDEN, CL_POSITION) values (%1, 1, 'Classe %1', "
                               "%2, 'N', %3)")
                           .arg(c)
                           .arg(parentOf(c))
                           .arg(c % 7));
    for (int o = 0; o < kObjects; ++o)
      connection->exec(
          QString("insert into KORVO_OBJECT (OB_IDOBJ, OB_IDUNIV, OB_IDCLASS, OB_NAME, OB_PROP, "
                  "OB_HIDDEN, OB_POSITION, OB_SELECT, OB_COMMENT) values (%1, 1, %2, 'Objet %1', "
                  "'%3', 'N', %4, '%5', 'Commentaire %1')")
              .arg(o + 1)
              .arg(classOf(o))
              .arg(o % 3 == 0 ? "Num,M" : "Char,D")
              .arg(positionOf(o))
              .arg(o % 3 == 0 ? QString("sum(T%1.AMOUNT)").arg(o % 50)
                              : QString("T%1.NAME").arg(o % 50)));
    connection->commit();
  }
};

void BM_InitClassesEmbedded(benchmark::State& state) {
  static EmbeddedUniverse universe;
  kernel::AppState app;
  kernel::RecordingInteraction interaction;
  Workspace workspace(app, *universe.connection, interaction);
  for (auto _ : state) {
    workspace.clearTree();
    const ClassesOutcome outcome = workspace.Init_Classes();
    if (!outcome.built) state.SkipWithError(outcome.error.toStdString().c_str());
  }
  state.counters["nodes"] = workspace.tree().nodeCount();
}
BENCHMARK(BM_InitClassesEmbedded)->Unit(benchmark::kMillisecond)->Iterations(3);

// The tree alone, from rows already read: the indexing and the single pass.
void BM_FillTreeFromRows(benchmark::State& state) {
  Catalogue catalogue;
  QList<CatalogueRow> rows;
  for (int o = 0; o < kObjects; ++o)
    rows.append({QString::number(o + 1), QString("Objet %1").arg(o + 1),
                 QString::number(classOf(o)), o % 3 == 0 ? 1 : 0, "T.X", "", "c",
                 QString::number(positionOf(o)), "Char"});
  std::stable_sort(rows.begin(), rows.end(), [](const CatalogueRow& a, const CatalogueRow& b) {
    return a.OB_IDCLASS.toInt() != b.OB_IDCLASS.toInt()
               ? a.OB_IDCLASS.toInt() < b.OB_IDCLASS.toInt()
               : a.OB_POSITION.toInt() < b.OB_POSITION.toInt();
  });
  // Depth first, as the class query gives them.
  QList<ClassRow> classes;
  std::vector<std::vector<int>> children(kClasses + 1);
  for (int c = 1; c <= kClasses; ++c) children[parentOf(c)].push_back(c);
  std::vector<std::pair<int, int>> stack;
  for (auto it = children[0].rbegin(); it != children[0].rend(); ++it) stack.emplace_back(*it, 1);
  while (!stack.empty()) {
    const auto [c, level] = stack.back();
    stack.pop_back();
    classes.append(
        {QString::number(c), QString::number(parentOf(c)), QString("Classe %1").arg(c), level});
    for (auto it = children[c].rbegin(); it != children[c].rend(); ++it)
      stack.emplace_back(*it, level + 1);
  }
  for (auto _ : state) {
    catalogue.clear();
    for (const CatalogueRow& row : rows) catalogue.append(row);
    ClassTree tree;
    fillTree(tree, classes, catalogue, false);
    benchmark::DoNotOptimize(tree.roots().size());
  }
}
BENCHMARK(BM_FillTreeFromRows)->Unit(benchmark::kMillisecond);

PickedNode object(int id) {
  PickedNode node;
  node.present = true;
  node.image = kDimensionImage;
  node.text = QString("Objet %1").arg(id);
  node.record.IdObj = id;
  node.record.TypeObj = "Char";
  return node;
}

struct GridOf200 {
  kernel::AppState app;
  QueryGrids grids{app};
  GridOf200() {
    for (int i = 1; i <= 200; ++i) {
      grids.ProcAjouterCondition(object(i));
      grids.ProcAjouterOperateur(grids.texts().operatorLabels[1 + i % 14]);
    }
  }
};

// One condition added to 200 and taken off again (the last row, so the
// removal costs no move of the others).
void BM_AddConditionOn200Rows(benchmark::State& state) {
  GridOf200 g;
  const PickedNode node = object(999);
  for (auto _ : state) {
    g.grids.ProcAjouterCondition(node);
    g.grids.RemoveLineCond(g.grids.conditions().rowCount() - 1);
    --g.grids.state().conditionCount;
  }
}
BENCHMARK(BM_AddConditionOn200Rows)->Unit(benchmark::kMicrosecond);

void BM_ChooseOperatorOn200Rows(benchmark::State& state) {
  GridOf200 g;
  const QStringList labels = operatorItems(g.grids.texts());
  int i = 0;
  for (auto _ : state) {
    g.grids.StringGridCondSelectCell(100, kCondOperator);
    g.grids.ProcAjouterOperateur(labels[i++ % labels.size()]);
  }
}
BENCHMARK(BM_ChooseOperatorOn200Rows)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
