// Non-inline parts of the interlocked list.
#include "vireo/platform/SList.h"

#include <cstring>

namespace vireo {
namespace platform {

void FillSList(SListHead& head, unsigned char* base, std::uint32_t stride, std::uint32_t count) {
  // Slot k links to slot k-1; the top is the last slot, as ascending pushes would leave it.
  std::uint32_t link = impl::kSListEnd;
  for (std::uint32_t k = 0; k < count; ++k) {
    std::memcpy(base + std::size_t(k) * stride, &link, sizeof link);
    link = k;
  }
  std::uint64_t const tag = head.word.load(std::memory_order_relaxed) + impl::kSListTagUnit;
  head.word.store(impl::SListPack(tag, count, link), std::memory_order_release);
}

}  // namespace platform
}  // namespace vireo
