// Interlocked counters and the 64-bit compare-and-exchange. On Linux these are std::atomic;
// this header pins the widths the library's data relies on and that they never take a lock.
#ifndef VIREO_PLATFORM_ATOMICS_H
#define VIREO_PLATFORM_ATOMICS_H

#include <atomic>
#include <cstdint>

namespace vireo {
namespace platform {

// A signed 32-bit counter changed only by interlocked operations.
using InterlockedCounter = std::atomic<std::int32_t>;
// A 64-bit word changed together by one compare-and-exchange (e.g. a pointer and a count).
using InterlockedWord64 = std::atomic<std::uint64_t>;

static_assert(InterlockedCounter::is_always_lock_free, "32-bit interlocked counters must not lock");
static_assert(InterlockedWord64::is_always_lock_free, "64-bit compare-and-exchange must not lock");

}  // namespace platform
}  // namespace vireo

#endif
