// Points and rectangles as arrays in property lists.
#include "vireo/proplist/PropListGeometry.h"

#include <list>

namespace vireo {
namespace proplist {
namespace utils {

namespace {

// The first `N` numbers of the array under the key; zeros where it has none.
template <class T, int N>
void ReadFields(PropList::Key inKey, PropList const& inList, T (&outFields)[N]) {
  std::list<T> values;
  inList.GetValue(inKey, values);
  int i = 0;
  for (auto it = values.begin(); i < N; ++i) outFields[i] = it != values.end() ? *it++ : T();
}

}  // namespace

void WriteRectF32(PropList::Key inKey, geom::RectT<float> const& inRect, PropList* ioList) {
  ioList->SetValue(inKey, std::list<float>{inRect.x, inRect.y, inRect.width, inRect.height});
}

void WriteRect32(PropList::Key inKey, geom::RectT<long> const& inRect, PropList& ioList) {
  ioList.SetValue(inKey, std::list<long>{inRect.x, inRect.y, inRect.width, inRect.height});
}

void WritePointF32(PropList::Key inKey, geom::PointT<float> const& inPoint, PropList* ioList) {
  ioList->SetValue(inKey, std::list<float>{inPoint.x, inPoint.y});
}

geom::RectT<float> ReadRectF32(PropList::Key inKey, PropList const* inList) {
  float f[4];
  ReadFields(inKey, *inList, f);
  return geom::RectT<float>{f[0], f[1], f[2], f[3]};
}

geom::RectT<long> ReadRect32(PropList::Key inKey, PropList const& inList) {
  long f[4];
  ReadFields(inKey, inList, f);
  return geom::RectT<long>{f[0], f[1], f[2], f[3]};
}

geom::PointT<float> ReadPointF32(PropList::Key inKey, PropList const* inList) {
  float f[2];
  ReadFields(inKey, *inList, f);
  return geom::PointT<float>{f[0], f[1]};
}

}  // namespace utils
}  // namespace proplist
}  // namespace vireo
