#pragma once
// The query builder's working set, one object for the window and the command
// line alike: the program state, the current connection, the catalogue and
// class tree of the loaded universe, the pick lists, the query's two grids
// and the universe list they are reset by.
#include <QString>
#include <QStringList>
#include <functional>

#include "builder/catalogue.h"
#include "builder/class_tree.h"
#include "builder/query_grids.h"
#include "db/connection.h"
#include "kernel/app_state.h"
#include "kernel/interaction.h"

namespace korvo::repository {
class UniverseList;
}

namespace korvo::builder {

// What Init_Classes did. The window shows nothing of it (a failed build is
// retried on the next entry); the command line reports it.
struct ClassesOutcome {
  bool alreadyBuilt = false;  // the tree had nodes: nothing was sent
  bool built = false;         // catalogue, flag, classes and pick lists done
  bool universeRow = false;   // KORVO_UNIVERS gave a row (the flag was read)
  QString error;              // the database error that stopped the build
};

class Workspace {
 public:
  Workspace(kernel::AppState& state, db::Connection& connection, kernel::Interaction& interaction);

  kernel::AppState& appState() { return state_; }
  db::Connection& connection() { return connection_; }
  kernel::Interaction& interaction() { return interaction_; }
  const kernel::TextTables& texts() const;

  QueryGrids& grids() { return grids_; }
  const QueryGrids& grids() const { return grids_; }
  const Catalogue& catalogue() const { return catalogue_; }
  const ClassTree& tree() const { return tree_; }
  const QStringList& operatorList() const { return operators_; }        // TreeViewOper
  const QStringList& operandTypeList() const { return operandTypes_; }  // TreeViewOperande
  // Changes whenever the tree or the pick lists were rebuilt or emptied.
  int treeVersion() const { return treeVersion_; }

  // The universe list resets the grids when it is shown after a connection
  // and asks whether a universe is loaded; it is wired to this workspace.
  void attachUniverseList(repository::UniverseList* universes);
  repository::UniverseList* universeList() const { return universes_; }

  // Called after the workspace changed the grids or the tree on its own (a
  // reset by the universe list, a new connection), so that a view redraws.
  std::function<void()> changed;

  // Init_Classes: catalogue, scrambling flag, class tree and pick lists when
  // the tree is empty; nothing otherwise. A database error is caught: what
  // was built stays, and an empty tree is built again next time.
  ClassesOutcome Init_Classes();
  // A new connection: the tree is emptied, so the next entry builds it again.
  void clearTree();

  // The folder the query dialogs start in: REQUETES beside the program.
  QString queryFolder() const;
  // SBEnregistrerClick / SBOuvrirClick: the file comes from the interaction;
  // a refusal is told through it. True when a file pair was written / read.
  bool SBEnregistrerClick();
  bool SBOuvrirClick();
  bool saveQueryTo(const QString& objectFile);
  bool openQueryFrom(const QString& objectFile);

 private:
  void notify() {
    if (changed) changed();
  }

  kernel::AppState& state_;
  db::Connection& connection_;
  kernel::Interaction& interaction_;
  QueryGrids grids_;
  Catalogue catalogue_;
  ClassTree tree_;
  QStringList operators_;
  QStringList operandTypes_;
  repository::UniverseList* universes_ = nullptr;
  int treeVersion_ = 0;
};

}  // namespace korvo::builder
