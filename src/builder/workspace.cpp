#include "builder/workspace.h"

#include <QDir>

#include "builder/query_files.h"
#include "repository/universe_list.h"

namespace korvo::builder {

Workspace::Workspace(kernel::AppState& state, db::Connection& connection,
                     kernel::Interaction& interaction)
    : state_(state), connection_(connection), interaction_(interaction), grids_(state) {}

const kernel::TextTables& Workspace::texts() const { return kernel::textTables(state_.language); }

void Workspace::attachUniverseList(repository::UniverseList* universes) {
  universes_ = universes;
  if (!universes) return;
  universes->treeLoaded = [this] { return !tree_.isEmpty(); };
  universes->resetQueryGrids = [this] {
    grids_.Init_StringGridObj();
    grids_.Init_StringGridCond();
    notify();
  };
}

ClassesOutcome Workspace::Init_Classes() {
  ClassesOutcome outcome;
  if (!tree_.isEmpty()) {
    outcome.alreadyBuilt = true;
    return outcome;
  }
  try {
    loadCatalogue(connection_, catalogue_);
    {
      std::unique_ptr<db::Cursor> cursor = connection_.query(scramblingFlagQuery());
      QList<db::Row> rows;
      cursor->fetch(rows, 1);
      if (!rows.isEmpty()) {
        // An empty KORVO_UNIVERS leaves the flag as it was.
        outcome.universeRow = true;
        state_.scrambled = valueText(connection_, rows.first().value(0)) == QLatin1String("Y");
      }
    }
    fillTree(tree_, loadClassRows(connection_), catalogue_, state_.scrambled);
    operandTypes_ = operandTypeItems(texts());
    operators_ = operatorItems(texts());
    grids_.state().objectCount = 0;
    grids_.state().conditionCount = 0;
    outcome.built = true;
  } catch (const db::DbError& e) {
    outcome.error = e.text();
  }
  ++treeVersion_;
  notify();
  return outcome;
}

void Workspace::clearTree() {
  tree_.clear();
  operators_.clear();
  operandTypes_.clear();
  ++treeVersion_;
  notify();
}

QString Workspace::queryFolder() const {
  return QDir(state_.programFolder).filePath(QStringLiteral("REQUETES")) + QLatin1Char('/');
}

bool Workspace::saveQueryTo(const QString& objectFile) {
  const QueryFileResult result = saveQuery(objectFile, grids_);
  if (!result.ok()) interaction_.inform(result.error);
  return result.ok();
}

bool Workspace::openQueryFrom(const QString& objectFile) {
  const QueryFileResult result = openQuery(objectFile, grids_);
  if (!result.ok()) interaction_.inform(result.error);
  notify();
  return result.ok();
}

bool Workspace::SBEnregistrerClick() {
  const QString file = interaction_.chooseFile(true, queryFolder(), QStringLiteral("Requete1.xml"));
  if (file.isEmpty()) return false;
  return saveQueryTo(file);
}

bool Workspace::SBOuvrirClick() {
  const QString file = interaction_.chooseFile(false, queryFolder(), QString());
  if (file.isEmpty()) return false;
  return openQueryFrom(file);
}

}  // namespace korvo::builder
