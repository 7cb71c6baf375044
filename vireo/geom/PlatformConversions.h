// Conversions between the library's integer points and rectangles and the platform's POINT
// and RECT records (which store edges, where RectT stores an extent).
#ifndef VIREO_GEOM_PLATFORMCONVERSIONS_H
#define VIREO_GEOM_PLATFORMCONVERSIONS_H

#include <cstdint>

#include "vireo/geom/Point.h"
#include "vireo/geom/Rect.h"
#include "vireo/platform/Types.h"

namespace vireo {
namespace utility {

// The platform records hold 32-bit fields; values outside that range do not survive the trip.
inline platform::POINT WRENtoWIN(geom::PointT<long> const& inPoint) {
  return platform::POINT{static_cast<std::int32_t>(inPoint.x),
                         static_cast<std::int32_t>(inPoint.y)};
}

inline geom::PointT<long> WINtoWREN(platform::POINT const& inPoint) {
  return geom::PointT<long>{inPoint.x, inPoint.y};
}

// Origin (left, top), width right - left, height bottom - top.
inline geom::RectT<long> WINtoWREN(platform::RECT const& inRect) {
  return geom::RectT<long>{inRect.left, inRect.top,
                           static_cast<long>(inRect.right) - inRect.left,
                           static_cast<long>(inRect.bottom) - inRect.top};
}

// Right = x + width, bottom = y + height.
inline platform::RECT WRENtoWIN(geom::RectT<long> const& inRect) {
  return platform::RECT{static_cast<std::int32_t>(inRect.x), static_cast<std::int32_t>(inRect.y),
                        static_cast<std::int32_t>(inRect.x + inRect.width),
                        static_cast<std::int32_t>(inRect.y + inRect.height)};
}

}  // namespace utility
}  // namespace vireo

#endif
