// Importing a large universe into the embedded engine: 10,000 objects, 2,000
// classes, 1,000 tables and 2,000 joins. Target: under 10 s.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "db/connection.h"
#include "repository/data_packet_io.h"
#include "repository/repository_schema.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"

using namespace korvo;
using namespace korvo::repository;

namespace {

constexpr int kObjects = 10000;
constexpr int kClasses = 2000;
constexpr int kTables = 1000;
constexpr int kJoins = 2000;

void writeFile(const QString& folder, const QString& fileName, const QList<QStringList>& rows) {
  for (const StagingTable& staging : stagingTables()) {
    if (staging.fileName != fileName) continue;
    QList<DataPacketField> fields;
    for (const ColumnDefinition& c : staging.table.columns) {
      fields << (c.isNumber() ? DataPacketField::of(c.name, FieldType::I4)
                              : DataPacketField::string(c.name, 240));
    }
    DataPacket packet(fields);
    for (const QStringList& values : rows) {
      const int r = packet.appendRow();
      for (int c = 0; c < values.size(); ++c) {
        if (!values[c].isEmpty()) packet.setValue(r, c, values[c]);
      }
    }
    saveDataPacketFile(QDir(folder).filePath(fileName), packet);
  }
}

// Tables form a binary tree of usable joins; the joins beyond the tree either
// repeat a tree join (no loop) or are not usable (no FALSE in their property).
void writeLargeUniverse(const QString& folder) {
  const QString u = "3";
  writeFile(folder, "UNV_UNIVERSE.xml",
            {{u, "Grand univers", "1", "2012/01/18", "2012/01/18", "N"}});
  QList<QStringList> classes, classData;
  for (int c = 1; c <= kClasses; ++c) {
    classes << QStringList{QString::number(c),
                           u,
                           QString("Classe %1").arg(c),
                           c <= 20 ? QString() : QString::number(c / 20),
                           "N",
                           QString::number(c)};
    classData << QStringList{QString::number(c), u, "H", "1",
                             QString("Description de la classe %1").arg(c)};
  }
  writeFile(folder, "UNV_CLASS.xml", classes);
  writeFile(folder, "UNV_CLASS_DATA.xml", classData);
  QList<QStringList> tables;
  for (int t = 1; t <= kTables; ++t)
    tables << QStringList{QString::number(t), u, QString("T%1").arg(t), ""};
  writeFile(folder, "UNV_TABLE.xml", tables);
  QList<QStringList> joins, joinData;
  for (int j = 1; j <= kJoins; ++j) {
    const int child = j < kTables ? j + 1 : (j % (kTables - 1)) + 2;
    const int parent = child / 2;
    const bool usable = j < kTables || j % 2 == 0;
    joins << QStringList{QString::number(j), u, QString::number(parent), QString::number(child),
                         usable ? "=,N-1,FALSE," : "=,N-1,TRUE,"};
    joinData << QStringList{QString::number(j), u, "J", "1",
                            QString("T%1.ID=T%2.ID").arg(parent).arg(child)};
  }
  writeFile(folder, "UNV_JOINCONTENT.xml", joins);
  writeFile(folder, "UNV_JOIN_DATA.xml", joinData);
  QList<QStringList> objects, content, data, objTab;
  for (int o = 1; o <= kObjects; ++o) {
    const int table = (o % kTables) + 1;
    objects << QStringList{QString::number(o),         u,   QString::number((o % kClasses) + 1),
                           QString("Objet %1").arg(o), "N", QString::number(o)};
    content << QStringList{QString::number(o), u, o % 5 == 0 ? "Num,M,N," : "Cha,D,N,", "0"};
    data << QStringList{QString::number(o), u, "H", "1", QString("Aide de l'objet %1").arg(o)};
    data << QStringList{QString::number(o), u, "S", "1", QString("T%1.COL%2").arg(table).arg(o)};
    objTab << QStringList{QString::number(o), QString::number(table), u};
  }
  writeFile(folder, "UNV_OBJECT.xml", objects);
  writeFile(folder, "UNV_OBJCONTENT.xml", content);
  writeFile(folder, "UNV_OBJECT_DATA.xml", data);
  writeFile(folder, "UNV_OBJ_TAB.xml", objTab);
}

// Remembers when each step began, so a slow run says which step was slow.
class TimedInteraction : public kernel::RecordingInteraction {
 public:
  void progress(const QString& step) override {
    kernel::RecordingInteraction::progress(step);
    marks << qMakePair(step, clock.elapsed());
  }
  QString report() const {
    QStringList lines;
    for (int i = 0; i + 1 < marks.size(); ++i) {
      lines << QString("%1: %2 ms").arg(marks[i].first).arg(marks[i + 1].second - marks[i].second);
    }
    return lines.join('\n');
  }
  QElapsedTimer clock;
  QList<QPair<QString, qint64>> marks;
};

void BM_ImportLargeUniverse(benchmark::State& state) {
  QTemporaryDir universe;
  writeLargeUniverse(universe.path());
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir schemas;
    const QString alias = "local:" + schemas.path();
    std::unique_ptr<db::Connection> connection = db::connectionForAlias(alias);
    connection->open(alias, "bench", "bench");
    TimedInteraction interaction;
    interaction.clock.start();
    kernel::AppState appState;
    UniverseList list(*connection, interaction, appState);
    UniverseImport import(*connection, interaction, appState, list, universe.path());
    state.ResumeTiming();
    const ImportOutcome outcome = import.ImporterUnivers();
    state.PauseTiming();
    if (outcome != ImportOutcome::Finished) {
      state.SkipWithError(
          (interaction.errors + interaction.informed).join(" | ").toStdString().c_str());
    }
    if (qEnvironmentVariableIsSet("KORVO_BENCH_STEPS"))
      fprintf(stderr, "%s\n", qPrintable(interaction.report()));
    connection->close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportLargeUniverse)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
