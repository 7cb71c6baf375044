// The arithmetic of a line's minimum and preferred extents. Group arrangements compute their
// sizes with it, and the wrapping groups use it to know a candidate's minimum size before
// making the candidate; both must agree to the last bit, so both use these functions (and
// the arrange sources are compiled without floating-point contraction).
#ifndef VIREO_ARRANGE_SRC_LINEEXTENT_H
#define VIREO_ARRANGE_SRC_LINEEXTENT_H

#include <cstddef>

namespace vireo {
namespace arrange {
namespace impl {

// Along the line: the children's lengths summed in order (inSum), the spacing of the gaps
// between inCount children, and the margins.
inline float LineLength(float inSum, std::size_t inCount, float inSpacing, float inMargins) {
  float const gaps = inCount > 0 ? static_cast<float>(inCount - 1) : 0.0f;
  return inSum + gaps * inSpacing + inMargins;
}

// The larger of a running maximum and a value; a NaN value never wins, and the maximum of
// nothing is the starting 0.
inline float Larger(float inCurrent, float inValue) {
  return inValue > inCurrent ? inValue : inCurrent;
}

// Across the line: the largest child (at least 0) and the margins.
inline float LineThickness(float inLargest, float inMargins) { return inLargest + inMargins; }

}  // namespace impl
}  // namespace arrange
}  // namespace vireo

#endif
