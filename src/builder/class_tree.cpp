#include "builder/class_tree.h"

#include "repository/name_scrambling.h"

namespace korvo::builder {

QString classQuery() {
  return QStringLiteral(
      "SELECT CL_IDCLASS, CL_IDPERE , CL_NAME, LEVEL FROM KORVO_CLASS START WITH  CL_IDPERE  = 0 "
      "and CL_HIDDEN = 'N' connect by    CL_IDPERE =  prior CL_IDCLASS and CL_HIDDEN = 'N' ORDER "
      "SIBLINGS BY CL_POSITION");
}

QList<ClassRow> loadClassRows(db::Connection& connection) {
  std::unique_ptr<db::Cursor> cursor = connection.query(classQuery());
  QList<db::Row> rows;
  cursor->fetch(rows, 0);
  QList<ClassRow> out;
  out.reserve(rows.size());
  for (const db::Row& r : rows) {
    ClassRow row;
    row.CL_IDCLASS = valueText(connection, r.value(0));
    row.CL_IDPERE = valueText(connection, r.value(1));
    row.CL_NAME = valueText(connection, r.value(2));
    row.LEVEL = valueText(connection, r.value(3)).toInt();
    out.append(row);
  }
  return out;
}

PickedNode ClassTreeNode::picked() const {
  PickedNode node;
  node.present = true;
  node.image = image;
  node.text = text;
  node.record = record;
  return node;
}

void ClassTree::clear() {
  std::vector<std::unique_ptr<ClassTreeNode>> pending = std::move(roots_);
  roots_.clear();
  while (!pending.empty()) {
    std::unique_ptr<ClassTreeNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children) pending.push_back(std::move(child));
    node->children.clear();
  }
}

ClassTreeNode* ClassTree::add(ClassTreeNode* parent, std::unique_ptr<ClassTreeNode> node) {
  node->parent = parent;
  auto& siblings = parent ? parent->children : roots_;
  siblings.push_back(std::move(node));
  return siblings.back().get();
}

void ClassTree::visit(const std::function<void(const ClassTreeNode&, int)>& visitor) const {
  // An explicit stack: the depth of a universe never becomes call depth.
  std::vector<std::pair<const ClassTreeNode*, int>> stack;
  for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) stack.emplace_back(it->get(), 1);
  while (!stack.empty()) {
    const auto [node, depth] = stack.back();
    stack.pop_back();
    visitor(*node, depth);
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
      stack.emplace_back(it->get(), depth + 1);
  }
}

int ClassTree::nodeCount() const {
  int count = 0;
  visit([&count](const ClassTreeNode&, int) { ++count; });
  return count;
}

namespace {

ObjectRecord recordOf(const CatalogueRow& row) {
  ObjectRecord r;
  r.IdObj = row.OB_IDOBJ.toInt();
  r.IdClass = row.OB_IDCLASS.toInt();
  r.Mesure = row.OB_PROP;
  r.Select = row.OB_SELECT;
  r.Where = row.OB_WHERE;
  r.Comment = row.OB_COMMENT;
  r.TypeObj = row.OB_TYPE;
  return r;
}

void addObjects(ClassTree& tree, ClassTreeNode* classNode, const Catalogue& catalogue,
                const QString& classId, bool scrambled) {
  ClassTreeNode* ordinary = nullptr;  // the most recent object that is not a date sub-object
  const CatalogueRow* previous = nullptr;
  for (const CatalogueRow* row : catalogue.objectsOfClass(classId)) {
    auto node = std::make_unique<ClassTreeNode>();
    node->record = recordOf(*row);
    node->text = scrambled ? repository::CrypterNom(row->OB_NAME) : row->OB_NAME;
    if (previous && ordinary && row->OB_POSITION == previous->OB_POSITION) {
      // Year, quarter and month carry the position of their base date object.
      node->kind = NodeKind::DateObject;
      node->image = kDimensionImage;
      tree.add(ordinary, std::move(node));
    } else {
      node->kind = NodeKind::Object;
      node->image = node->record.Mesure == 1 ? kMeasureImage : kDimensionImage;
      ordinary = tree.add(classNode, std::move(node));
    }
    previous = row;
  }
}

}  // namespace

void fillTree(ClassTree& tree, const QList<ClassRow>& classes, const Catalogue& catalogue,
              bool scrambled) {
  tree.clear();
  ClassTreeNode* previous = nullptr;
  int previousLevel = 0;
  for (const ClassRow& row : classes) {
    const int level = row.LEVEL;
    ClassTreeNode* reached = previous;
    for (int up = previousLevel - level; up > 0 && reached; --up) reached = reached->parent;
    ClassTreeNode* parent = nullptr;  // the root level
    if (level != 1) {
      if (previousLevel < level)
        parent = previous;
      else if (reached)
        parent = reached->parent;
    }
    auto node = std::make_unique<ClassTreeNode>();
    node->kind = NodeKind::Class;
    node->image = kClassImage;
    node->text = scrambled ? repository::CrypterNom(row.CL_NAME) : row.CL_NAME;
    ClassTreeNode* classNode = tree.add(parent, std::move(node));
    addObjects(tree, classNode, catalogue, row.CL_IDCLASS, scrambled);
    previous = classNode;
    previousLevel = level;
  }
}

QString statusComment(const ClassTreeNode* node) {
  if (!node || node->hasChildren() || node->kind == NodeKind::Class) return QString();
  return QStringLiteral("  ") + node->record.Comment;
}

}  // namespace korvo::builder
