#pragma once
// The universe mode's list: detects what the connected schema holds (the
// BusinessObjects repository, this tool's repository, a VORLAN base), lists
// the universes in a grid, remembers the clicked universe, and drops the
// tool's repository.
#include <QString>
#include <functional>

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "db/connection.h"
#include "repository/universe_grid.h"

namespace korvo::repository {

// The question that counts the seven repository tables.
QString repositoryTableCountQuery();
// The question that counts the ten BusinessObjects tables.
QString businessObjectsTableCountQuery();
// The question that counts the tables only an import in progress holds: the
// staging tables and KORVO_CLASS_TMP.
QString stagingTableCountQuery();

class UniverseList {
 public:
  UniverseList(db::Connection& connection, kernel::Interaction& interaction,
               const kernel::AppState& state);

  // True while the class tree holds a universe: the refresh then does nothing.
  std::function<bool()> treeLoaded;
  // Empties the result-object and condition grids of the query builder.
  std::function<void()> resetQueryGrids;
  // Called whenever the grid data changed, so a view can show it again.
  std::function<void()> gridChanged;
  // Starts the import again. When set, a refresh that finds an unfinished
  // import asks whether to import again and calls it on Yes (after the
  // refresh, so it must not import from inside the call); when not set, the
  // refresh only says what it found.
  std::function<void()> importAgain;

  // Held by an import while it runs: its own refreshes find its own tables,
  // not an earlier import's, and say nothing about them.
  class ImportRunning {
   public:
    explicit ImportRunning(UniverseList& list) : list_(list) { ++list_.importsRunning_; }
    ~ImportRunning() { --list_.importsRunning_; }
    ImportRunning(const ImportRunning&) = delete;
    ImportRunning& operator=(const ImportRunning&) = delete;

   private:
    UniverseList& list_;
  };

  // Init_StringGridUniv: headers of the current language and one empty row.
  void Init_StringGridUniv();
  // Init_Univers: the refresh. False when a count question failed (the error
  // was reported and the flags stay cleared).
  bool Init_Univers();
  // RemplirStringGrid: fills `grid` from the rows of `sql`, its column titles as headers.
  void RemplirStringGrid(Grid& grid, const QString& sql);
  // StringGridUnivClick: grid row numbers count the header as row 0.
  void StringGridUnivClick(int gridRow);
  // SBdropUniversClick: asks catalogue entry 49 and drops on Yes.
  void SBdropUniversClick();
  // DropUnivers: drops every KORVO_ table when the repository flag is set.
  void DropUnivers();

  const Grid& grid() const { return grid_; }
  const QString& selectedUniverseId() const { return selectedId_; }
  bool boRepositoryFound() const { return boRepository_; }
  bool repositoryFound() const { return repository_; }
  bool vorlanFound() const { return vorlan_; }
  // The last refresh found staging tables or some but not all of the seven
  // repository tables: an earlier import did not finish.
  bool unfinishedImportFound() const { return unfinishedImport_; }
  // The import marks the repository present before it drops a failed one.
  void setRepositoryFound(bool found) { repository_ = found; }

 private:
  void noticeVorlanOnce();
  void reportUnfinishedImport();
  QString cellText(const QVariant& value) const;

  db::Connection& connection_;
  kernel::Interaction& interaction_;
  const kernel::AppState& state_;
  Grid grid_;
  QString selectedId_;
  bool boRepository_ = false;
  bool repository_ = false;
  bool vorlan_ = false;
  bool unfinishedImport_ = false;
  int importsRunning_ = 0;
};

}  // namespace korvo::repository
