#pragma once
// The query mode's widgets as views of the workspace: the class tree and the
// pick lists, the two grids, the toolbars, the keys and the drops. Every event
// becomes one call on the core, after which the widgets are brought back in
// line with the core's grids and state; no rule of the builder lives here.
#include <QObject>
#include <functional>

#include "builder/class_tree_view.h"

class QMimeData;
class QTableWidget;
class QTreeWidget;

namespace korvo::builder {

class ConditionPlaceholderDelegate;
class ValuePanelView;
class QueryPanel;
class Workspace;

class QueryModeView : public QObject {
  Q_OBJECT
 public:
  struct Services {
    std::function<void(const QString&)> showComment;  // first status bar panel
    std::function<void()> runQuery;                   // ProcExecuter: F9, SBExecute
  };

  QueryModeView(QueryPanel& panel, Workspace& workspace, Services services,
                QObject* parent = nullptr);
  ~QueryModeView() override;

  // Init_Classes with the hourglass, then the widgets redrawn.
  void initClasses();
  // Brings every widget in line with the workspace.
  void refresh();

  const ClassTreeView& classTree() const { return tree_; }
  const ConditionPlaceholderDelegate& placeholders() const { return *delegate_; }
  ValuePanelView& valuePanel() const { return *values_; }

  // A drop of `data` on either grid: taken when it comes from one of the
  // builder's trees and that tree's selected node is an object.
  bool acceptsDrop(const QMimeData* data) const;
  bool dropOn(QTableWidget* grid, const QMimeData* data);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void connectTrees();
  void connectButtons();
  void connectGrids();
  // Runs a core operation, then refreshes.
  void apply(const std::function<void()>& operation);
  PickedNode draggedNode(const QMimeData* data) const;
  void showComment();

  QueryPanel& panel_;
  Workspace& workspace_;
  Services services_;
  ValuePanelView* values_ = nullptr;
  ClassTreeView tree_;
  ConditionPlaceholderDelegate* delegate_ = nullptr;
  int shownTreeVersion_ = -1;
  bool syncing_ = false;
};

}  // namespace korvo::builder
