#pragma once
// The universe panel's widgets as views of the repository logic: the grid
// shows the universe Grid, the drop button and row clicks reach the UniverseList.
#include <QProgressDialog>
#include <memory>

#include "kernel/interaction.h"
#include "repository/universe_grid.h"
#include "repository/universe_list.h"

class QTableWidget;

namespace korvo::repository {

class UniversePanel;

// Shows the grid: its headers, rows and the column widths (grid row 1 is table row 0).
void showUniverseGrid(QTableWidget* table, const Grid& grid);

// Connects the panel to the list: the grid follows the list's data, a click
// selects a universe (StringGridUnivClick), the drop button asks and drops
// (SBdropUniversClick), and importing again after an unfinished import
// presses the import button. The list must outlive the panel's connections.
void connectUniversePanel(repository::UniversePanel* panel, UniverseList& list);

// Wraps the program's message boxes during a long operation (import, export,
// drop): a busy progress dialog naming the step and the hourglass cursor,
// both gone when the operation reports an empty step or the object dies.
class BusyProgressInteraction : public kernel::Interaction {
 public:
  BusyProgressInteraction(kernel::Interaction& messages, QWidget* parent);
  ~BusyProgressInteraction() override;

  void inform(const QString& text) override;
  void error(const QString& text) override;
  bool confirm(const QString& text) override;
  void progress(const QString& step) override;

 private:
  void end();

  kernel::Interaction& messages_;
  QWidget* parent_;
  std::unique_ptr<QProgressDialog> dialog_;
  bool busy_ = false;
};

}  // namespace korvo::repository
