#include "builder/node_tree_widget.h"

#include <QMimeData>

namespace korvo::builder {

QStringList NodeTreeWidget::mimeTypes() const {
  return QTreeWidget::mimeTypes() << QLatin1String(kTreeNodeMimeType);
}

QMimeData* NodeTreeWidget::mimeData(const QList<QTreeWidgetItem*>& items) const {
  QMimeData* mime = QTreeWidget::mimeData(items);
  if (!mime) mime = new QMimeData;
  mime->setData(QLatin1String(kTreeNodeMimeType), objectName().toUtf8());
  return mime;
}

}  // namespace korvo::builder
