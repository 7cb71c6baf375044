// The system's aligned heap: large blocks and the allocator's regions come from here.
#ifndef VIREO_PLATFORM_ALIGNEDHEAP_H
#define VIREO_PLATFORM_ALIGNEDHEAP_H

#include <cstddef>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// Returns `size` bytes aligned to `alignment` (a power of two, at least sizeof(void*)),
// or null when the system refuses. Never throws. Thread-safe.
VIREO_API void* AlignedAllocate(std::size_t size, std::size_t alignment);

// Frees a block from AlignedAllocate; null is allowed. Thread-safe.
VIREO_API void AlignedFree(void* block);

}  // namespace platform
}  // namespace vireo

#endif
