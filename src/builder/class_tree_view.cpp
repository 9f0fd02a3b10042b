#include "builder/class_tree_view.h"

#include <QTreeWidget>
#include <vector>

#include "kernel/tree_images_widget.h"

namespace korvo::builder {

void ClassTreeView::show(const ClassTree& tree) {
  // The map goes first: clearing the widget reports a change of current item.
  nodes_.clear();
  tree_->clear();
  // Items are made in drawing order; the last item made at each depth is the
  // parent of the next deeper one.
  std::vector<QTreeWidgetItem*> open;
  QList<QTreeWidgetItem*> roots;
  tree.visit([&](const ClassTreeNode& node, int depth) {
    auto* item = new QTreeWidgetItem(QStringList{node.text});
    kernel::setNodeImage(item, node.image);
    nodes_.insert(item, &node);
    open.resize(depth - 1);
    if (open.empty())
      roots.append(item);
    else
      open.back()->addChild(item);
    open.push_back(item);
  });
  tree_->addTopLevelItems(roots);
}

const ClassTreeNode* ClassTreeView::nodeOf(const QTreeWidgetItem* item) const {
  return nodes_.value(item, nullptr);
}

PickedNode ClassTreeView::picked(const QTreeWidgetItem* item) const {
  if (!item) return PickedNode{};
  if (const ClassTreeNode* node = nodeOf(item)) return node->picked();
  // An item drawn by someone else: its picture and text, no record.
  PickedNode other;
  other.present = true;
  other.image = kernel::nodeImage(item);
  other.text = item->text(0);
  return other;
}

PickedNode ClassTreeView::selected() const { return picked(tree_->currentItem()); }

void showPickList(QTreeWidget* list, const QStringList& items) {
  list->clear();
  for (const QString& text : items) {
    auto* item = new QTreeWidgetItem(list, QStringList{text});
    kernel::setNodeImage(item, kListItemImage);
  }
  list->expandAll();
  list->setAutoExpandDelay(0);
}

}  // namespace korvo::builder
