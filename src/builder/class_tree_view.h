#pragma once
// TreeViewClasse and the two pick lists drawn from the workspace's data: each
// class tree item remembers the core node it shows, so a double-click, a drag
// or a selection hands the grids a PickedNode and never a widget.
#include <QHash>
#include <QStringList>

#include "builder/class_tree.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace korvo::builder {

class ClassTreeView {
 public:
  explicit ClassTreeView(QTreeWidget* tree) : tree_(tree) {}

  // Empties the widget and draws `tree` (closed folders, cubes, spheres).
  void show(const ClassTree& tree);
  // The core node an item shows; null for an item this view did not draw.
  const ClassTreeNode* nodeOf(const QTreeWidgetItem* item) const;
  // The widget's selected node as the grids take it.
  PickedNode selected() const;
  PickedNode picked(const QTreeWidgetItem* item) const;

 private:
  QTreeWidget* tree_;
  QHash<const QTreeWidgetItem*, const ClassTreeNode*> nodes_;
};

// InitTreeViewOper / InitTreeViewOperande: flat items with the list-item
// picture, expanded, auto-expand on.
void showPickList(QTreeWidget* list, const QStringList& items);

}  // namespace korvo::builder
