// Test seams of the platform layer. Production code never calls these; tests use them to
// make the system refuse memory, to follow blocks back to the system heap, and to make
// the UUID services fail.
#ifndef VIREO_PLATFORM_TESTING_H
#define VIREO_PLATFORM_TESTING_H

#include <cstddef>
#include <cstdint>

#include "vireo/Export.h"
#include "vireo/platform/Uuid.h"

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

// While installed, CreateUuid returns what the generator gives instead of asking libuuid, so
// that tests can watch the failure paths. Null uninstalls.
using UuidGenerator = UuidStatus (*)(_GUID& outUuid);
VIREO_API void SetUuidGenerator(UuidGenerator generator);

// While true, UuidToString fails as a platform without memory for the text would.
VIREO_API void SetUuidToStringFailure(bool fail);

}  // namespace testing
}  // namespace platform
}  // namespace vireo

#endif
