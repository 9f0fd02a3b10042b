#include "builder/node_tree_widget.h"

#include <QMimeData>

namespace korvo::builder {

QStringList NodeTreeWidget::mimeTypes() const {
  return QTreeWidget::mimeTypes() << QLatin1String(kTreeNodeMimeType);
}

QMimeData* NodeTreeWidget::mimeData(const QList<QTreeWidgetItem*>& items) const {
  QMimeData* data = QTreeWidget::mimeData(items);
  if (!data) data = new QMimeData;
  data->setData(QLatin1String(kTreeNodeMimeType), objectName().toUtf8());
  return data;
}

}  // namespace korvo::builder
