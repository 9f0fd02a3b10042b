#pragma once
// ImporterUnivers: loads a universe folder (ten data packet files) into the
// repository tables of the connected schema, builds the join tree with the
// stored procedures, installs the demonstration tables and refreshes the list.
#include <QList>
#include <QString>

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "db/connection.h"
#include "repository/data_packet.h"
#include "repository/universe_list.h"

namespace korvo::repository {

enum class ImportOutcome {
  NotAvailable,  // no class file: catalogue entry 15
  Declined,      // the confirmation was not answered Yes
  Finished,      // catalogue entry 22 shown
  LoopDropped,   // the join tree failed: entry 47, repository dropped
  Failed,        // a statement stopped the import; what it had built was dropped
  Refused,       // a file of the folder is unusable; nothing was changed
};

class UniverseImport {
 public:
  // `folder` is the universe folder ("UNIVERS" under the working directory).
  UniverseImport(db::Connection& connection, kernel::Interaction& interaction,
                 const kernel::AppState& state, UniverseList& list,
                 QString folder = QStringLiteral("UNIVERS"));

  ImportOutcome ImporterUnivers();

  // What the last run lost on the way (each loss was also reported): staging
  // rows the database refused, and a universe file whose row did not load.
  int refusedRows() const { return refusedRows_; }
  bool universeRowMissing() const { return universeRowMissing_; }
  bool rowsLost() const { return refusedRows_ > 0 || universeRowMissing_; }

 private:
  void send(const QString& sql);
  void dropIgnoringErrors(const QString& table);
  void dropTable(const QString& table);
  void createWithIndex(const QString& table);
  void loadStagingTables(const QList<DataPacket>& files);
  void dropStagingTables();
  void undoFailedImport(bool building, const QString& error);
  void buildClasses();
  void buildJoins();
  void buildObjectTables();
  void buildObjects();
  void buildTables();
  void buildUniverse();
  bool buildJoinTree();
  void installDemonstrationTables();
  QString message(int entry) const;

  db::Connection& connection_;
  kernel::Interaction& interaction_;
  const kernel::AppState& state_;
  UniverseList& list_;
  QString folder_;
  int refusedRows_ = 0;
  bool universeRowMissing_ = false;
  bool demonstrationStarted_ = false;
};

}  // namespace korvo::repository
