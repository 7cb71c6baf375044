// Introspection of the fixed-size allocators for the library's tests. Exported, not installed.
#ifndef VIREO_UTILITY_SRC_ALLOCATORTESTING_H
#define VIREO_UTILITY_SRC_ALLOCATORTESTING_H

#include "vireo/Export.h"

namespace vireo {
namespace utility {
namespace impl {

// Free blocks on the list of the pool that serves inSize (0..1024).
VIREO_API long FixedPoolFreeCount(unsigned int inSize);
// The block size of the pool that serves inSize (0..1024), 0 above.
VIREO_API unsigned int FixedPoolBlockSize(unsigned int inSize);
// Free pages held by the page source.
VIREO_API long PageSourceFreeCount();

}  // namespace impl
}  // namespace utility
}  // namespace vireo

#endif
