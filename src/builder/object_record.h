#pragma once
// What the builder knows of a node picked in the class tree: the record every
// object node carries (TMyRec), its text and its picture. The grids take the
// id, the name, the measure flag and the type from here, never from widgets.
#include <QString>
#include <cstdint>

namespace korvo::builder {

// TMyRec.
struct ObjectRecord {
  std::int32_t IdObj = 0;
  std::int32_t IdClass = 0;
  std::int32_t Mesure = 0;  // 1: a measure (aggregate)
  QString Select;
  QString Where;
  QString Comment;
  QString TypeObj;

  bool operator==(const ObjectRecord&) const = default;
};

// Pictures of the class tree's nodes; 0 and 1 mark a node that is not an object.
inline constexpr int kClassImage = 0;
inline constexpr int kOpenClassImage = 1;
inline constexpr int kDimensionImage = 2;
inline constexpr int kMeasureImage = 3;
inline constexpr int kListItemImage = 7;

// The tree's selected node as the grids see it.
struct PickedNode {
  bool present = false;  // false: no node is selected
  int image = -1;
  QString text;
  ObjectRecord record;

  // Adding, dragging and dropping accept only object nodes.
  bool isObject() const { return present && (image == kDimensionImage || image == kMeasureImage); }
};

}  // namespace korvo::builder
