// The road from the run button to the first rows, on a generated universe: a
// fact table of 1,000,000 sales joined to a product table (300 rows) and a
// store table (40 rows), all on the embedded engine.
// Targets: the generation of the statement under 50 ms; from the cost answer
// to the first packet (opening the grouped result, a few hundred rows) under
// 300 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "builder/workspace.h"
#include "db/connection.h"
#include "kernel/interaction.h"
#include "kernel/language.h"
#include "repository/repository_schema.h"
#include "sqlgen/result_model.h"
#include "sqlgen/sql_generation.h"

using namespace korvo;

namespace {

constexpr int kSeedRows = 1000;
constexpr int kDoublings = 10;  // 1,000 x 2^10 = 1,024,000 sales
constexpr int kProducts = 300;
constexpr int kStores = 40;

struct SalesUniverse {
  QTemporaryDir schemas;
  std::unique_ptr<db::Connection> connection;
  kernel::AppState app;
  kernel::RecordingInteraction interaction;
  std::unique_ptr<builder::Workspace> workspace;
  QString error;

  void exec(const QString& sql) { connection->exec(sql); }

  SalesUniverse() {
    const QString alias = "local:" + schemas.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    try {
      buildData();
      buildRepository();
    } catch (const db::DbError& e) {
      error = e.text();
      return;
    }
    workspace = std::make_unique<builder::Workspace>(app, *connection, interaction);
    const builder::ClassesOutcome outcome = workspace->Init_Classes();
    if (!outcome.built) error = "catalogue: " + outcome.error;
  }

  void buildData() {
    exec("create table SALES (S_ID NUMBER(10), P_ID NUMBER(10), ST_ID NUMBER(10), "
         "AMOUNT NUMBER(10,2))");
    exec("create table PRODUCT (P_ID NUMBER(10), P_NAME VARCHAR2(30))");
    exec("create table STORE (ST_ID NUMBER(10), ST_NAME VARCHAR2(30))");
    connection->begin();
    for (int p = 1; p <= kProducts; ++p)
      exec(QString("insert into PRODUCT values (%1, 'Produit %1')").arg(p));
    for (int s = 1; s <= kStores; ++s)
      exec(QString("insert into STORE values (%1, 'Magasin %1')").arg(s));
    for (int i = 1; i <= kSeedRows; ++i)
      exec(QString("insert into SALES values (%1, %2, %3, %4)")
               .arg(i)
               .arg(i % kProducts + 1)
               .arg(i % kStores + 1)
               .arg((i * 37) % 1000 + 0.25));
    for (int k = 0; k < kDoublings; ++k)
      exec(QString("insert into SALES select S_ID + %1, mod(S_ID * 7 + %2, %3) + 1, "
                   "mod(S_ID * 3 + %2, %4) + 1, AMOUNT from SALES")
               .arg(kSeedRows << k)
               .arg(k)
               .arg(kProducts)
               .arg(kStores));
    connection->commit();
    // Statistics, as the schema's owner gathers them after a load: the engine's
    // planner then reads the fact table once instead of indexing it per query.
    exec("begin DBMS_STATS.GATHER_SCHEMA_STATS('SCOTT'); end;");
  }

  void buildRepository() {
    for (const QString& t : repository::repositoryTableNames())
      exec(repository::repositoryTable(t).createStatement());
    connection->begin();
    exec("insert into KORVO_UNIVERS (UN_IDUNIV, UN_NAME, UN_VERSION, UN_CRYPTAGE) values (1, "
         "'Ventes', 1, 'N')");
    exec("insert into KORVO_CLASS (CL_IDCLASS, CL_IDUNIV, CL_NAME, CL_IDPERE, CL_HIDDEN, "
         "CL_POSITION) values (1, 1, 'Ventes', 0, 'N', 1)");
    const char* objects[][4] = {{"1", "Produit", "Char,D", "PRODUCT.P_NAME"},
                                {"2", "Magasin", "Char,D", "STORE.ST_NAME"},
                                {"3", "Chiffre d'affaires", "Num,M", "sum(SALES.AMOUNT)"}};
    for (const auto& o : objects)
      exec(QString("insert into KORVO_OBJECT (OB_IDOBJ, OB_IDUNIV, OB_IDCLASS, OB_NAME, OB_PROP, "
                   "OB_HIDDEN, OB_POSITION, OB_SELECT) values (%1, 1, 1, '%2', '%3', 'N', %1, "
                   "'%4')")
               .arg(o[0], QString(o[1]).replace("'", "''"), o[2], o[3]));
    exec("insert into KORVO_TABLE (TB_IDTAB, TB_IDUNIV, TB_NAME) values (1, 1, 'SALES')");
    exec("insert into KORVO_TABLE (TB_IDTAB, TB_IDUNIV, TB_NAME) values (2, 1, 'PRODUCT')");
    exec("insert into KORVO_TABLE (TB_IDTAB, TB_IDUNIV, TB_NAME) values (3, 1, 'STORE')");
    exec("insert into KORVO_OBJ_TAB values (1, 2, 1)");
    exec("insert into KORVO_OBJ_TAB values (2, 3, 1)");
    exec("insert into KORVO_OBJ_TAB values (3, 1, 1)");
    exec("insert into KORVO_JOIN values (1, 1, 1, 2, 'Y,FALSE,N', 'SALES.P_ID=PRODUCT.P_ID')");
    exec("insert into KORVO_JOIN values (2, 1, 1, 3, 'Y,FALSE,N', 'SALES.ST_ID=STORE.ST_ID')");
    // One tree: the fact table at its root, both dimensions below it.
    exec("insert into KORVO_TAB_TREE (T_ID, T_NIV, T_TREE) values (1, 0, 1)");
    exec("insert into KORVO_TAB_TREE values (2, 1, 1, 1)");
    exec("insert into KORVO_TAB_TREE values (3, 1, 1, 1)");
    connection->commit();
  }
};

SalesUniverse& universe() {
  static SalesUniverse u;
  return u;
}

kernel::Grid resultObjects(bool withStore) {
  kernel::Grid objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
  objects.appendRow({"1", "0", "Produit", "Char"});
  if (withStore) objects.appendRow({"2", "0", "Magasin", "Char"});
  objects.appendRow({"3", "1", "Chiffre d'affaires", "Num"});
  return objects;
}

kernel::Grid noConditions() {
  return kernel::Grid::withHeaders({"Id", ")", "Op", "(", "Obj", "Opr", "?", "Opd", "Type", "M"},
                                   0);
}

void BM_GenerateThreeTableQuery(benchmark::State& state) {
  SalesUniverse& u = universe();
  if (!u.error.isEmpty()) return state.SkipWithError(u.error.toStdString().c_str());
  const kernel::Grid objects = resultObjects(true);
  const kernel::Grid conditions = noConditions();
  for (auto _ : state) {
    const sqlgen::Generation g = sqlgen::generer_requete(
        objects, conditions, u.workspace->catalogue(), *u.connection, kernel::frenchTexts());
    if (!g.ok() || g.cartesian) return state.SkipWithError("generation failed");
    benchmark::DoNotOptimize(g.lines.size());
  }
}
BENCHMARK(BM_GenerateThreeTableQuery)->Unit(benchmark::kMillisecond);

// What the window does once the cost question is answered: open the result
// and fetch its first packet (sales per product: 300 rows).
void BM_OpenGroupedResultFirstPacket(benchmark::State& state) {
  SalesUniverse& u = universe();
  if (!u.error.isEmpty()) return state.SkipWithError(u.error.toStdString().c_str());
  const sqlgen::Generation g =
      sqlgen::generer_requete(resultObjects(false), noConditions(), u.workspace->catalogue(),
                              *u.connection, kernel::frenchTexts());
  if (!g.ok()) return state.SkipWithError(g.error.toStdString().c_str());
  const QString statement = g.lines.join('\n');
  sqlgen::ResultModel model;
  for (auto _ : state) {
    model.open(*u.connection, statement);
    benchmark::DoNotOptimize(model.fetchedRows());
  }
  state.counters["rows"] = model.fetchedRows();
}
BENCHMARK(BM_OpenGroupedResultFirstPacket)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same road for rows that need no grouping (the editor's own SELECT over
// the joined tables): what the result grid itself costs on top of the engine.
void BM_OpenJoinedRowsFirstPacket(benchmark::State& state) {
  SalesUniverse& u = universe();
  if (!u.error.isEmpty()) return state.SkipWithError(u.error.toStdString().c_str());
  sqlgen::ResultModel model;
  for (auto _ : state) {
    model.open(*u.connection,
               "select PRODUCT.P_NAME, SALES.AMOUNT from SALES, PRODUCT "
               "where SALES.P_ID = PRODUCT.P_ID");
    benchmark::DoNotOptimize(model.fetchedRows());
  }
  state.counters["rows"] = model.fetchedRows();
}
BENCHMARK(BM_OpenJoinedRowsFirstPacket)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
