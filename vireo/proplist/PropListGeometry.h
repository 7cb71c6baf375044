// Points and rectangles stored in property lists: each as one array under one key, its
// numbers in field order (x, y, width, height; x, y).
#ifndef VIREO_PROPLIST_PROPLISTGEOMETRY_H
#define VIREO_PROPLIST_PROPLISTGEOMETRY_H

#include "vireo/Export.h"
#include "vireo/geom/Point.h"
#include "vireo/geom/Rect.h"
#include "vireo/proplist/PropList.h"

namespace vireo {
namespace proplist {
namespace utils {

// Store the fields as a std::list<float> (or std::list<long> for WriteRect32).
VIREO_API void WriteRectF32(PropList::Key inKey, geom::RectT<float> const& inRect, PropList* ioList);
VIREO_API void WriteRect32(PropList::Key inKey, geom::RectT<long> const& inRect, PropList& ioList);
VIREO_API void WritePointF32(PropList::Key inKey, geom::PointT<float> const& inPoint, PropList* ioList);

// Read the array back into the fields, in order. A key that holds no array of the matching
// type gives all zeros; so do the fields that a shorter array does not reach.
VIREO_API geom::RectT<float> ReadRectF32(PropList::Key inKey, PropList const* inList);
VIREO_API geom::RectT<long> ReadRect32(PropList::Key inKey, PropList const& inList);
VIREO_API geom::PointT<float> ReadPointF32(PropList::Key inKey, PropList const* inList);

}  // namespace utils
}  // namespace proplist
}  // namespace vireo

#endif
