#include "repository/universe_import.h"

#include <QDir>
#include <QFileInfo>

#include "db/statement_runner.h"
#include "kernel/language.h"
#include "repository/data_packet.h"
#include "repository/import_statements.h"
#include "repository/join_tree_procedures.h"
#include "repository/repository_schema.h"
#include "repository/staging_load.h"
#include "repository/universe_files.h"

namespace korvo::repository {

UniverseImport::UniverseImport(db::Connection& connection, kernel::Interaction& interaction,
                               const kernel::AppState& state, UniverseList& list, QString folder)
    : connection_(connection),
      interaction_(interaction),
      state_(state),
      list_(list),
      folder_(std::move(folder)) {}

QString UniverseImport::message(int entry) const {
  return kernel::textTables(state_.language).messages.value(entry);
}

void UniverseImport::send(const QString& sql) { connection_.exec(sql); }

void UniverseImport::dropIgnoringErrors(const QString& table) {
  try {
    connection_.exec(QStringLiteral("drop table ") + table);
  } catch (const db::DbError&) {
    // The table may not exist yet.
  }
}

void UniverseImport::dropTable(const QString& table) {
  send(QStringLiteral("drop table ") + table);
}

void UniverseImport::createWithIndex(const QString& table) {
  const TableDefinition& definition = repositoryTable(table);
  dropIgnoringErrors(table);
  send(definition.createStatement());
  if (!definition.uniqueKey.isEmpty()) send(definition.uniqueIndexStatement());
}

ImportOutcome UniverseImport::ImporterUnivers() {
  refusedRows_ = 0;
  universeRowMissing_ = false;
  demonstrationStarted_ = false;
  if (!QFileInfo::exists(QDir(folder_).filePath(QStringLiteral("UNV_CLASS.xml")))) {
    interaction_.inform(message(15));
    return ImportOutcome::NotAvailable;
  }
  if (!interaction_.confirm(message(38))) return ImportOutcome::Declined;
  const UniverseList::ImportRunning running(list_);
  // One activity for the window: cancelled as a whole, its undo run after it.
  const db::StatementRunner::Activity activity(
      connection_, state_.language == QLatin1String("FR") ? QString::fromUtf8("Import de l'univers…")
                                                          : QString::fromUtf8("Importing the universe…"));
  const kernel::ImportTexts& texts = kernel::textTables(state_.language).importTexts;

  // Every file is read and checked before the first statement, so that a
  // broken folder leaves the schema as it was.
  QList<DataPacket> files;
  try {
    files = readUniverseFiles(folder_, [this](const QString& path) { interaction_.progress(path); });
  } catch (const DataPacketError& e) {
    interaction_.progress(QString());
    interaction_.error(e.text() + '\n' + texts.folderRefused);
    return ImportOutcome::Refused;
  }

  bool building = false;
  try {
    interaction_.progress(QStringLiteral("begin"));
    if (connection_.inTransaction()) connection_.rollback();
    connection_.begin();
    loadStagingTables(files);
    building = true;
    // KORVO_UNIVERS is what makes the repository found (Init_Univers): it goes
    // first and is built last, so that an unfinished build is never listed.
    dropIgnoringErrors(QStringLiteral("KORVO_UNIVERS"));
    buildClasses();
    buildJoins();
    buildObjectTables();
    buildObjects();
    buildTables();
    if (!buildJoinTree()) {
      interaction_.progress(QString());
      interaction_.inform(message(47));
      dropStagingTables();  // TMP_UNIVERSE waits for the universe step
      list_.setRepositoryFound(true);
      list_.DropUnivers();
      return ImportOutcome::LoopDropped;
    }
    installDemonstrationTables();
    buildUniverse();
    // The demonstration rows and the universe row are committed so that they
    // outlive this session whatever becomes of it; the session goes on inside
    // a transaction as before.
    connection_.commit();
    connection_.begin();
  } catch (const db::DbError& e) {
    undoFailedImport(building, e.text());
    return ImportOutcome::Failed;
  } catch (const DataPacketError& e) {
    undoFailedImport(building, e.text());
    return ImportOutcome::Failed;
  }
  interaction_.progress(QStringLiteral("Init_Univers"));
  if (!list_.Init_Univers()) {
    interaction_.progress(QString());
    return ImportOutcome::Failed;
  }
  interaction_.progress(QString());
  interaction_.inform(message(22));
  return ImportOutcome::Finished;
}

void UniverseImport::dropStagingTables() {
  for (const StagingTable& staging : stagingTables()) dropIgnoringErrors(staging.table.name);
}

// A failed import leaves neither staging tables nor a repository that mixes
// the old universe with the new one: once the build has begun, every
// repository table goes, as after a loop among the joins.
void UniverseImport::undoFailedImport(bool building, const QString& error) {
  const kernel::ImportTexts& texts = kernel::textTables(state_.language).importTexts;
  // Also after a Cancel: the undo is what makes it safe.
  const db::StatementRunner::Recovery recovery(connection_);
  interaction_.progress(QStringLiteral("drop table TMP_"));
  try {
    if (connection_.inTransaction()) connection_.rollback();
  } catch (const db::DbError&) {
    // The drops below say what the connection can still do.
  }
  if (building) {
    for (const QString& table : repositoryTableNames()) dropIgnoringErrors(table);
    dropIgnoringErrors(QStringLiteral("KORVO_CLASS_TMP"));
    if (demonstrationStarted_) {
      for (const TableDefinition& demo : demonstrationTables()) dropIgnoringErrors(demo.name);
    }
  }
  dropStagingTables();
  try {
    connection_.begin();
  } catch (const db::DbError&) {
    // A lost connection: the error below is the one to show.
  }
  interaction_.progress(QString());
  interaction_.error(error + '\n' + (building ? texts.undoneDuringBuild : texts.undoneBeforeBuild));
  // The grid still lists the universe that was just dropped.
  if (building) list_.Init_Univers();
}

void UniverseImport::loadStagingTables(const QList<DataPacket>& files) {
  const kernel::ImportTexts& texts = kernel::textTables(state_.language).importTexts;
  for (int i = 0; i < stagingTables().size(); ++i) {
    const StagingTable& staging = stagingTables()[i];
    const TableDefinition& table = staging.table;
    interaction_.progress(table.name);
    dropIgnoringErrors(table.name);
    send(table.createStatement());

    // The in-memory table takes the columns the server reports for the table.
    QStringList columns;
    {
      auto cursor = connection_.query(QStringLiteral("select * from ") + table.name);
      for (const db::ColumnInfo& column : cursor->columns()) columns << column.name;
    }
    DataPacket rows = emptyStagingRows(columns);
    appendRowsByName(rows, files.at(i));

    int failures = 0;
    if (rows.rowCount() > 0) {
      QString firstError;
      for (const QString& insert : stagingInserts(table, rows)) {
        try {
          connection_.exec(insert);
        } catch (const db::DbError& e) {
          if (failures++ == 0) firstError = e.text().isEmpty() ? connection_.lastError() : e.text();
        }
      }
      if (failures > 0) {
        refusedRows_ += failures;
        interaction_.error(texts.stagingRowsRefused.arg(
            table.name, QString::number(failures), QString::number(rows.rowCount()),
            firstError.isEmpty() ? message(21) : firstError));
      }
    }
    if (table.name == QLatin1String("TMP_UNIVERSE") && rows.rowCount() - failures <= 0) {
      universeRowMissing_ = true;
      interaction_.error(
          texts.universeRowMissing.arg(QDir(folder_).filePath(staging.fileName)));
    }
    connection_.commit();
    connection_.begin();
  }
}

void UniverseImport::buildClasses() {
  interaction_.progress(QStringLiteral("KORVO_CLASS"));
  createWithIndex(QStringLiteral("KORVO_CLASS"));
  dropIgnoringErrors(QStringLiteral("KORVO_CLASS_TMP"));
  send(classCopyStatement());
  for (const QString& update : classLevelStatements()) send(update);
  send(classInsertStatement());
  dropTable(QStringLiteral("KORVO_CLASS_TMP"));
  dropTable(QStringLiteral("TMP_CLASS"));
  dropTable(QStringLiteral("TMP_CLASS_DATA"));
}

void UniverseImport::buildJoins() {
  interaction_.progress(QStringLiteral("KORVO_JOIN"));
  createWithIndex(QStringLiteral("KORVO_JOIN"));
  send(joinInsertStatement());
  dropTable(QStringLiteral("TMP_JOIN_DATA"));
  dropTable(QStringLiteral("TMP_JOINCONTENT"));
}

void UniverseImport::buildObjectTables() {
  interaction_.progress(QStringLiteral("KORVO_OBJ_TAB"));
  createWithIndex(QStringLiteral("KORVO_OBJ_TAB"));
  send(objTabInsertStatement());
  dropTable(QStringLiteral("TMP_OBJ_TAB"));
}

void UniverseImport::buildObjects() {
  interaction_.progress(QStringLiteral("KORVO_OBJECT"));
  createWithIndex(QStringLiteral("KORVO_OBJECT"));
  send(objectInsertStatement());
  for (const QString& update : objectDefaultStatements()) send(update);
  for (const QString& update : derivedDateStatements()) send(update);
  dropTable(QStringLiteral("TMP_OBJCONTENT"));
  dropTable(QStringLiteral("TMP_OBJECT_DATA"));
  dropTable(QStringLiteral("TMP_OBJECT"));
}

void UniverseImport::buildTables() {
  interaction_.progress(QStringLiteral("KORVO_TABLE"));
  createWithIndex(QStringLiteral("KORVO_TABLE"));
  send(tableInsertStatement());
  dropTable(QStringLiteral("TMP_TABLE"));
}

void UniverseImport::buildUniverse() {
  interaction_.progress(QStringLiteral("KORVO_UNIVERS"));
  createWithIndex(QStringLiteral("KORVO_UNIVERS"));
  send(universeInsertStatement());
  dropTable(QStringLiteral("TMP_UNIVERSE"));
}

bool UniverseImport::buildJoinTree() {
  interaction_.progress(QStringLiteral("KORVO_TAB_TREE"));
  createWithIndex(QStringLiteral("KORVO_TAB_TREE"));
  send(procedureStatement(genTabNodeLines()));
  send(procedureStatement(genTabTreeLines()));
  interaction_.progress(QStringLiteral("GEN_TAB_TREE"));
  try {
    connection_.exec(QString::fromLatin1(kRunJoinTreeBlock));
  } catch (const db::DbError&) {
    return false;
  }
  return true;
}

void UniverseImport::installDemonstrationTables() {
  demonstrationStarted_ = true;
  for (const TableDefinition& table : demonstrationTables()) {
    interaction_.progress(table.name);
    dropIgnoringErrors(table.name);
    send(table.createStatement());
    for (const QString& insert : demonstrationInserts(table.name)) send(insert);
  }
}

}  // namespace korvo::repository
