// A point in two dimensions; the layout engine also uses it as a size (x = width, y = height).
#ifndef VIREO_GEOM_POINT_H
#define VIREO_GEOM_POINT_H

namespace vireo {
namespace geom {

// A plain aggregate, used with T = long and T = float: PointT<float>{10, 20}.
template <typename T>
struct PointT {
  T x;
  T y;
};

template <typename T>
bool operator==(PointT<T> const& inA, PointT<T> const& inB) {
  return inA.x == inB.x && inA.y == inB.y;
}

template <typename T>
bool operator!=(PointT<T> const& inA, PointT<T> const& inB) {
  return !(inA == inB);
}

}  // namespace geom
}  // namespace vireo

#endif
