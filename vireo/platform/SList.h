// Interlocked singly linked list: a lock-free LIFO of equal slots inside one contiguous run
// of memory (a page of blocks). Entries are named by their index in the run, so a link takes
// only the first 4 bytes of a free slot, which lets even 4-byte slots be listed.
//
// The head is one 64-bit word: [tag:28][depth:18][index:18]. The tag changes on every push and
// pop, so a pop that read a stale head fails its compare-and-exchange (ABA safety); the depth
// travels with the head, so the list's length costs no extra atomic operation.
#ifndef VIREO_PLATFORM_SLIST_H
#define VIREO_PLATFORM_SLIST_H

#include <atomic>
#include <cstdint>

namespace vireo {
namespace platform {

struct SListHead {
  std::atomic<std::uint64_t> word;
};

namespace impl {
constexpr unsigned kSListIndexBits = 18;
constexpr std::uint64_t kSListIndexMask = (std::uint64_t(1) << kSListIndexBits) - 1;
constexpr unsigned kSListDepthShift = kSListIndexBits;
constexpr std::uint64_t kSListDepthMask = kSListIndexMask << kSListDepthShift;
constexpr unsigned kSListTagShift = 2 * kSListIndexBits;
constexpr std::uint64_t kSListTagUnit = std::uint64_t(1) << kSListTagShift;
constexpr std::uint32_t kSListEnd = static_cast<std::uint32_t>(kSListIndexMask);

// Reads the link of a slot that another thread may have popped and begun to use meanwhile.
// The value is then discarded by the failing compare-and-exchange, so the race is benign;
// the function is kept out of ThreadSanitizer's view for that reason only.
__attribute__((no_sanitize("thread"))) inline std::uint32_t ReadSListLink(void const* slot) {
  std::uint32_t link;
  __builtin_memcpy(&link, slot, sizeof link);
  return link;
}

inline std::uint64_t SListPack(std::uint64_t tag, std::uint32_t depth, std::uint32_t index) {
  return (tag & ~(kSListTagUnit - 1)) | (std::uint64_t(depth) << kSListDepthShift) | index;
}
}  // namespace impl

// The most slots one list can hold (the index 2^18-1 marks the end of the list).
constexpr std::uint32_t kSListMaxEntries = impl::kSListEnd;

// Makes the list empty. Not atomic: call before the list is shared.
inline void InitializeSListHead(SListHead& head) {
  head.word.store(impl::SListPack(0, 0, impl::kSListEnd), std::memory_order_relaxed);
}

// Number of entries on the list at the moment of reading.
inline std::uint32_t QueryDepthSList(SListHead const& head) {
  return static_cast<std::uint32_t>(
      (head.word.load(std::memory_order_acquire) & impl::kSListDepthMask) >> impl::kSListDepthShift);
}

// Fills an empty, not yet shared list with slots 0 .. count-1 of the run at `base`, as if each
// had been pushed in ascending address order: the slot at the highest address comes off first.
// Not atomic. Precondition: count <= kSListMaxEntries.
void FillSList(SListHead& head, unsigned char* base, std::uint32_t stride, std::uint32_t count);

// Pushes `slot` (inside the run at `base`, `stride` bytes per slot) and answers the depth
// after the push. Lock-free; release ordering for what the caller wrote to the slot.
inline std::uint32_t InterlockedPushEntrySList(SListHead& head, unsigned char* base,
                                               std::uint32_t stride, void* slot) {
  auto const index = static_cast<std::uint32_t>(
      (static_cast<unsigned char*>(slot) - base) / stride);
  std::uint64_t old = head.word.load(std::memory_order_relaxed);
  std::uint64_t next;
  do {
    // The link is written before the slot becomes reachable; plain store suffices.
    auto const link = static_cast<std::uint32_t>(old & impl::kSListIndexMask);
    __builtin_memcpy(slot, &link, sizeof link);
    auto const depth = static_cast<std::uint32_t>((old & impl::kSListDepthMask) >> impl::kSListDepthShift);
    next = impl::SListPack((old & ~(impl::kSListTagUnit - 1)) + impl::kSListTagUnit, depth + 1, index);
  } while (!head.word.compare_exchange_weak(old, next, std::memory_order_release,
                                            std::memory_order_relaxed));
  return static_cast<std::uint32_t>((next & impl::kSListDepthMask) >> impl::kSListDepthShift);
}

// Pops the most recently pushed slot, or answers null when the list is empty. Lock-free.
// Precondition: the run at `base` stays mapped while the call runs (the caller's guard).
inline void* InterlockedPopEntrySList(SListHead& head, unsigned char* base, std::uint32_t stride) {
  std::uint64_t old = head.word.load(std::memory_order_acquire);
  for (;;) {
    auto const index = static_cast<std::uint32_t>(old & impl::kSListIndexMask);
    if (index == impl::kSListEnd) return nullptr;
    unsigned char* slot = base + std::size_t(index) * stride;
    std::uint32_t const link = impl::ReadSListLink(slot);
    auto const depth = static_cast<std::uint32_t>((old & impl::kSListDepthMask) >> impl::kSListDepthShift);
    std::uint64_t const next =
        impl::SListPack((old & ~(impl::kSListTagUnit - 1)) + impl::kSListTagUnit, depth - 1, link);
    if (head.word.compare_exchange_weak(old, next, std::memory_order_acquire,
                                        std::memory_order_acquire))
      return slot;
  }
}

// ---- lists of blocks anywhere in memory ---------------------------------------------
//
// The same LIFO for blocks that belong to no single run (the fixed-size pools, whose pages come
// from many runs). Entries are named by address, so a link takes the first 8 bytes of a free
// block. The head packs the address (8-byte aligned, below 2^48 as on every 64-bit Linux
// target with 4-level page tables) with a 19-bit tag in one 64-bit word.
// Precondition for pops: the memory of every block ever pushed stays mapped (blocks of such
// lists are never given back to the system).

struct PointerSListHead {
  std::atomic<std::uint64_t> word;
};

namespace impl {
constexpr unsigned kPointerTagShift = 45;
constexpr std::uint64_t kPointerMask = (std::uint64_t(1) << kPointerTagShift) - 1;
constexpr std::uint64_t kPointerTagUnit = std::uint64_t(1) << kPointerTagShift;

inline std::uint64_t PackPointer(std::uint64_t tagged, void* p) {
  return ((tagged & ~kPointerMask) + kPointerTagUnit) |
         (reinterpret_cast<std::uint64_t>(p) >> 3);
}
inline void* UnpackPointer(std::uint64_t word) {
  return reinterpret_cast<void*>((word & kPointerMask) << 3);
}

__attribute__((no_sanitize("thread"))) inline void* ReadPointerLink(void const* block) {
  void* link;
  __builtin_memcpy(&link, block, sizeof link);
  return link;
}
}  // namespace impl

inline void InitializeSListHead(PointerSListHead& head) {
  head.word.store(0, std::memory_order_relaxed);
}

// Pushes a block (8-byte aligned, at least 8 bytes). Lock-free.
inline void InterlockedPushEntrySList(PointerSListHead& head, void* block) {
  std::uint64_t old = head.word.load(std::memory_order_relaxed);
  std::uint64_t next;
  do {
    void* const link = impl::UnpackPointer(old);
    __builtin_memcpy(block, &link, sizeof link);
    next = impl::PackPointer(old, block);
  } while (!head.word.compare_exchange_weak(old, next, std::memory_order_release,
                                            std::memory_order_relaxed));
}

// Pops the most recently pushed block, or null. Lock-free.
inline void* InterlockedPopEntrySList(PointerSListHead& head) {
  std::uint64_t old = head.word.load(std::memory_order_acquire);
  for (;;) {
    void* const top = impl::UnpackPointer(old);
    if (!top) return nullptr;
    void* const link = impl::ReadPointerLink(top);
    if (head.word.compare_exchange_weak(old, impl::PackPointer(old, link),
                                        std::memory_order_acquire, std::memory_order_acquire))
      return top;
  }
}

}  // namespace platform
}  // namespace vireo

#endif
