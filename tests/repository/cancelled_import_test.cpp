// An import cancelled through the statement runner: before the build the
// universe already there is untouched, during the build nothing half-built
// stays; no staging table is left either way, and the user is told.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "db/connection.h"
#include "db/statement_runner.h"
#include "kernel/interaction.h"
#include "repository/repository_schema.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"
#include "support/test_paths.h"

using namespace korvo;
using namespace korvo::repository;

namespace {

// Presses Cancel when the import reaches `step`, as the user would while it runs.
class CancellingInteraction : public kernel::RecordingInteraction {
 public:
  CancellingInteraction(db::StatementRunner& runner, QString step)
      : runner_(runner), step_(std::move(step)) {}
  void progress(const QString& step) override {
    RecordingInteraction::progress(step);
    if (step == step_) runner_.cancel();
  }

 private:
  db::StatementRunner& runner_;
  QString step_;
};

struct CancelledImport : ::testing::Test {
  QTemporaryDir schemas;
  QTemporaryDir programFolder;
  std::unique_ptr<db::Connection> real;
  std::unique_ptr<db::StatementRunner> runner;
  kernel::AppState state;

  void SetUp() override {
    state.programFolder = programFolder.path();
    const QString alias = "local:" + schemas.path();
    real = db::connectionForAlias(alias);
    real->open(alias, "scott", "tiger");
    runner = std::make_unique<db::StatementRunner>(db::StatementRunner::Mode::Worker,
                                                   [this] { return real.get(); });
    kernel::RecordingInteraction quiet;
    ASSERT_EQ(import(quiet), ImportOutcome::Finished);
    before = snapshot();
  }

  ImportOutcome import(kernel::Interaction& interaction) {
    UniverseList list(*runner, interaction, state);
    return UniverseImport(*runner, interaction, state, list,
                          QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS"))
        .ImporterUnivers();
  }

  // The schema's tables and the row count of each repository table.
  QStringList snapshot() {
    QStringList out;
    auto cursor = real->query("select table_name from user_tables order by table_name");
    QList<db::Row> rows;
    cursor->fetch(rows, 0);
    for (const db::Row& row : rows) {
      const QString table = row[0].toString();
      QString line = table;
      if (repositoryTableNames().contains(table)) {
        auto count = real->query("select count(*) from " + table);
        QList<db::Row> n;
        count->fetch(n, 0);
        line += '=' + n[0][0].toString();
      }
      out << line;
    }
    return out;
  }

  QStringList before;
};

TEST_F(CancelledImport, BeforeTheBuildTheUniverseThereStaysAsItWas) {
  CancellingInteraction interaction(*runner, "TMP_CLASS");
  EXPECT_EQ(import(interaction), ImportOutcome::Failed);
  EXPECT_EQ(snapshot(), before);
  ASSERT_FALSE(interaction.errors.isEmpty());
  EXPECT_TRUE(interaction.errors.last().startsWith(db::cancelledText()))
      << interaction.errors.last().toStdString();
  EXPECT_FALSE(runner->cancelled());
  // The runner serves the next import to its end.
  kernel::RecordingInteraction quiet;
  EXPECT_EQ(import(quiet), ImportOutcome::Finished);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(CancelledImport, DuringTheBuildNothingHalfBuiltStays) {
  CancellingInteraction interaction(*runner, "KORVO_CLASS");
  EXPECT_EQ(import(interaction), ImportOutcome::Failed);
  const QStringList after = snapshot();
  for (const QString& table : after) {
    EXPECT_FALSE(table.startsWith("TMP_")) << table.toStdString();
    EXPECT_FALSE(repositoryTableNames().contains(table.section('=', 0, 0))) << table.toStdString();
  }
  ASSERT_FALSE(interaction.errors.isEmpty());
  EXPECT_TRUE(interaction.errors.last().startsWith(db::cancelledText()));
}

}  // namespace
