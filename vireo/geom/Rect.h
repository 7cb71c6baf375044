// An axis-aligned rectangle given by its origin corner and its extent.
#ifndef VIREO_GEOM_RECT_H
#define VIREO_GEOM_RECT_H

namespace vireo {
namespace geom {

// A plain aggregate, used with T = long and T = float. It stores the extent, not the far
// corner: the right edge is x + width, the bottom edge y + height.
template <typename T>
struct RectT {
  T x;
  T y;
  T width;
  T height;
};

template <typename T>
bool operator==(RectT<T> const& inA, RectT<T> const& inB) {
  return inA.x == inB.x && inA.y == inB.y && inA.width == inB.width && inA.height == inB.height;
}

template <typename T>
bool operator!=(RectT<T> const& inA, RectT<T> const& inB) {
  return !(inA == inB);
}

}  // namespace geom
}  // namespace vireo

#endif
