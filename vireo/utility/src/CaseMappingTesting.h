// A switch of the case mapping for the library's tests, so that the narrower paths are tested
// on processors that have the wider ones. Exported, but not installed.
#ifndef VIREO_UTILITY_SRC_CASEMAPPINGTESTING_H
#define VIREO_UTILITY_SRC_CASEMAPPINGTESTING_H

#include "vireo/Export.h"

namespace vireo {
namespace utility {
namespace impl {

// The widest path case mapping may take: 0 unit by unit, 1 SSE2, 2 AVX2, 3 AVX-512 (the
// default); a path is taken only where the processor has it. Returns the previous limit.
// Results never depend on it. Not thread-safe: set it while no case mapping runs.
VIREO_API int SetCaseMappingPathLimit(int limit);

}  // namespace impl
}  // namespace utility
}  // namespace vireo

#endif
