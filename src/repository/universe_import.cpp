#include "repository/universe_import.h"

#include <QDir>
#include <QFileInfo>

#include "kernel/language.h"
#include "repository/data_packet.h"
#include "repository/import_statements.h"
#include "repository/join_tree_procedures.h"
#include "repository/repository_schema.h"
#include "repository/staging_load.h"

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
  if (!QFileInfo::exists(QDir(folder_).filePath(QStringLiteral("UNV_CLASS.xml")))) {
    interaction_.inform(message(15));
    return ImportOutcome::NotAvailable;
  }
  if (!interaction_.confirm(message(38))) return ImportOutcome::Declined;

  try {
    interaction_.progress(QStringLiteral("begin"));
    if (connection_.inTransaction()) connection_.rollback();
    connection_.begin();
    loadStagingTables();
    buildClasses();
    buildJoins();
    buildObjectTables();
    buildObjects();
    buildTables();
    buildUniverse();
    if (!buildJoinTree()) {
      interaction_.progress(QString());
      interaction_.inform(message(47));
      list_.setRepositoryFound(true);
      list_.DropUnivers();
      return ImportOutcome::LoopDropped;
    }
    installDemonstrationTables();
    interaction_.progress(QStringLiteral("Init_Univers"));
    if (!list_.Init_Univers()) {
      interaction_.progress(QString());
      return ImportOutcome::Failed;
    }
  } catch (const db::DbError& e) {
    interaction_.progress(QString());
    interaction_.error(e.text());
    return ImportOutcome::Failed;
  } catch (const DataPacketError& e) {
    interaction_.progress(QString());
    interaction_.error(e.text());
    return ImportOutcome::Failed;
  }
  interaction_.progress(QString());
  interaction_.inform(message(22));
  return ImportOutcome::Finished;
}

void UniverseImport::loadStagingTables() {
  for (const StagingTable& staging : stagingTables()) {
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
    ChargerClientDataSet(rows, QDir(folder_).filePath(staging.fileName));

    if (rows.rowCount() > 0) {
      int failures = 0;
      QString lastError;
      for (const QString& insert : stagingInserts(table, rows)) {
        try {
          connection_.exec(insert);
        } catch (const db::DbError& e) {
          ++failures;
          lastError = e.text();
        }
      }
      if (failures > 0) {
        if (lastError.isEmpty()) lastError = connection_.lastError();
        interaction_.error(lastError.isEmpty() ? message(21) : lastError);
      }
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
  for (const TableDefinition& table : demonstrationTables()) {
    interaction_.progress(table.name);
    dropIgnoringErrors(table.name);
    send(table.createStatement());
    for (const QString& insert : demonstrationInserts(table.name)) send(insert);
  }
  // The demonstration rows are committed so that they outlive this session
  // whatever becomes of it; the session goes on inside a transaction as before.
  connection_.commit();
  connection_.begin();
}

}  // namespace korvo::repository
