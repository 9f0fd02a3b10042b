#pragma once
// The builder's three trees (class tree and the two pick lists). A drag from
// one of them carries the tree's name, so that a grid can tell where a drop
// comes from and look at that tree's selected node.
#include <QTreeWidget>

namespace korvo::builder {

inline constexpr const char* kTreeNodeMimeType = "application/x-korvo-tree-node";

class NodeTreeWidget : public QTreeWidget {
  Q_OBJECT
 public:
  using QTreeWidget::QTreeWidget;

 protected:
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
};

}  // namespace korvo::builder
