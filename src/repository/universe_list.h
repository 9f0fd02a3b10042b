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
  // The import marks the repository present before it drops a failed one.
  void setRepositoryFound(bool found) { repository_ = found; }

 private:
  void noticeVorlanOnce();
  QString cellText(const QVariant& value) const;

  db::Connection& connection_;
  kernel::Interaction& interaction_;
  const kernel::AppState& state_;
  Grid grid_;
  QString selectedId_;
  bool boRepository_ = false;
  bool repository_ = false;
  bool vorlan_ = false;
};

}  // namespace korvo::repository
