// Test seams of the platform layer. Production code never calls these; tests use them to
// make the system refuse memory and to follow blocks back to the system heap.
#ifndef VIREO_PLATFORM_TESTING_H
#define VIREO_PLATFORM_TESTING_H

#include <cstddef>
#include <cstdint>

#include "vireo/Export.h"

namespace vireo {
namespace platform {
namespace testing {

// Asked before each aligned-heap request while installed; answering true refuses the request
// (AlignedAllocate returns null). Null uninstalls. Install before other threads allocate.
using AlignedHeapRefusal = bool (*)(std::size_t size, std::size_t alignment);
VIREO_API void SetAlignedHeapRefusal(AlignedHeapRefusal refusal);

// Calls of the aligned heap since the process started.
struct AlignedHeapCounts {
  std::uint64_t allocations;  // successful AlignedAllocate calls
  std::uint64_t refusals;     // AlignedAllocate calls answered with null
  std::uint64_t frees;        // AlignedFree calls with a non-null block
};
VIREO_API AlignedHeapCounts GetAlignedHeapCounts();

}  // namespace testing
}  // namespace platform
}  // namespace vireo

#endif
