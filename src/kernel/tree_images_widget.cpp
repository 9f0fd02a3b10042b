#include "kernel/tree_images_widget.h"

#include <QTreeWidgetItem>

#include "kernel/toolbar_widget.h"

namespace korvo::kernel {

QIcon treeImage(int index) {
  static const char* const names[kTreeImageCount] = {
      "tree_folder_closed", "tree_folder_open", "tree_cube",   "tree_sphere",
      "tree_table",         "tree_join",        "tree_prompt", "tree_item"};
  if (index < 0 || index >= kTreeImageCount) return {};
  return korvoIcon(QLatin1String(names[index]));
}

int nodeImage(const QTreeWidgetItem* item) {
  const QVariant v = item->data(0, kImageIndexRole);
  return v.isValid() ? v.toInt() : -1;
}

void setNodeImage(QTreeWidgetItem* item, int index) {
  item->setData(0, kImageIndexRole, index);
  item->setIcon(0, treeImage(index));
}

void showFolderExpanded(QTreeWidgetItem* item) {
  const int image = nodeImage(item);
  if (image == kClosedFolder || image == kOpenFolder) setNodeImage(item, kOpenFolder);
}

void showFolderCollapsed(QTreeWidgetItem* item) {
  const int image = nodeImage(item);
  if (image == kClosedFolder || image == kOpenFolder) setNodeImage(item, kClosedFolder);
}

}  // namespace korvo::kernel
