#pragma once
// The pictures of the builder's trees (the image list shared by the class
// tree, the operator list and the operand-type list) and the folder rule of
// expanded and collapsed nodes. A node's picture number is kept in the item
// under kImageIndexRole so that logic can test it ("an object node has image
// 2 or 3").
#include <QIcon>

class QTreeWidget;
class QTreeWidgetItem;

namespace korvo::kernel {

enum TreeImage {
  kClosedFolder = 0,  // a class
  kOpenFolder = 1,    // an expanded class
  kCube = 2,          // a dimension or detail object
  kSphere = 3,        // a measure object
  kTable = 4,
  kJoin = 5,
  kPrompt = 6,
  kListItem = 7,  // the entries of the two pick lists
  kTreeImageCount = 8
};

inline constexpr int kImageIndexRole = Qt::UserRole + 100;

QIcon treeImage(int index);
int nodeImage(const QTreeWidgetItem* item);  // -1 when none was set
// Sets the node's picture (the same for the normal and the selected state).
void setNodeImage(QTreeWidgetItem* item, int index);

// An expanded folder shows the open folder, a collapsed one the closed
// folder; object nodes keep their picture.
void showFolderExpanded(QTreeWidgetItem* item);
void showFolderCollapsed(QTreeWidgetItem* item);

}  // namespace korvo::kernel
