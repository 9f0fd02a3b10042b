#pragma once
// TreeViewClasse as data: classes as nested folders, each class's objects
// first and its subclasses after them, date sub-objects under the object of
// the same position. Built from the class query's rows (depth first, with
// their LEVEL) and the catalogue; the widget only draws it.
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "builder/catalogue.h"
#include "builder/object_record.h"
#include "db/connection.h"

namespace korvo::builder {

// The class query: hidden classes are tested inside the walk, so a hidden
// class takes its subclasses and their objects with it.
QString classQuery();

struct ClassRow {
  QString CL_IDCLASS;  // compared as text
  QString CL_IDPERE;
  QString CL_NAME;  // as stored
  int LEVEL = 1;
};

// Sends the class query and reads every row at once. Throws db::DbError.
QList<ClassRow> loadClassRows(db::Connection& connection);

enum class NodeKind { Class, Object, DateObject };

struct ClassTreeNode {
  NodeKind kind = NodeKind::Class;
  QString text;             // as shown: unscrambled
  int image = kClassImage;  // 0 class, 2 dimension or date sub-object, 3 measure
  ObjectRecord record;      // objects only
  ClassTreeNode* parent = nullptr;
  std::vector<std::unique_ptr<ClassTreeNode>> children;

  bool hasChildren() const { return !children.empty(); }
  // The node as the grids take it.
  PickedNode picked() const;
};

class ClassTree {
 public:
  ClassTree() = default;
  ClassTree(const ClassTree&) = delete;
  ClassTree& operator=(const ClassTree&) = delete;
  ~ClassTree() { clear(); }

  bool isEmpty() const { return roots_.empty(); }
  // Frees the nodes one by one, however deep the tree.
  void clear();
  const std::vector<std::unique_ptr<ClassTreeNode>>& roots() const { return roots_; }
  // Adds `node` as the last child of `parent`, or at the root level when null.
  ClassTreeNode* add(ClassTreeNode* parent, std::unique_ptr<ClassTreeNode> node);

  // Every node depth first in drawing order, with its depth (1 at the root).
  void visit(const std::function<void(const ClassTreeNode&, int depth)>& visitor) const;
  int nodeCount() const;

 private:
  std::vector<std::unique_ptr<ClassTreeNode>> roots_;
};

// RemplirTreeView and Gen_Node: one pass over the class rows (a loop, not a
// call per class), each class's objects found through the catalogue's class
// index. Names are unscrambled with CrypterNom when `scrambled`.
void fillTree(ClassTree& tree, const QList<ClassRow>& classes, const Catalogue& catalogue,
              bool scrambled);

// The status bar's first panel for the selected node: two blanks and the
// object's comment; empty for a node with children, a class, or no node.
QString statusComment(const ClassTreeNode* node);

}  // namespace korvo::builder
