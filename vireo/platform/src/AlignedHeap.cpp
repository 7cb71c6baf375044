// Aligned heap over posix_memalign, with the refusal seam and call counters for tests.
#include "vireo/platform/AlignedHeap.h"

#include <atomic>
#include <cstdlib>

#include "vireo/platform/Testing.h"

namespace vireo {
namespace platform {
namespace {
std::atomic<testing::AlignedHeapRefusal> gRefusal{nullptr};
std::atomic<std::uint64_t> gAllocations{0};
std::atomic<std::uint64_t> gRefusals{0};
std::atomic<std::uint64_t> gFrees{0};
}  // namespace

void* AlignedAllocate(std::size_t size, std::size_t alignment) {
  testing::AlignedHeapRefusal refusal = gRefusal.load(std::memory_order_acquire);
  void* block = nullptr;
  if ((refusal && refusal(size, alignment)) || posix_memalign(&block, alignment, size) != 0) {
    gRefusals.fetch_add(1, std::memory_order_relaxed);
    return nullptr;
  }
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void AlignedFree(void* block) {
  if (!block) return;
  gFrees.fetch_add(1, std::memory_order_relaxed);
  std::free(block);
}

namespace testing {
void SetAlignedHeapRefusal(AlignedHeapRefusal refusal) {
  gRefusal.store(refusal, std::memory_order_release);
}

AlignedHeapCounts GetAlignedHeapCounts() {
  return {gAllocations.load(std::memory_order_relaxed), gRefusals.load(std::memory_order_relaxed),
          gFrees.load(std::memory_order_relaxed)};
}
}  // namespace testing

}  // namespace platform
}  // namespace vireo
