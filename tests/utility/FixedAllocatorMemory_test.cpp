// The fixed-size allocators' first use and their behaviour when the system refuses memory.
// Runs in a process of its own: it watches the first page run and makes the system refuse.
#include "vireo/utility/Allocator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "vireo/platform/Testing.h"
#include "vireo/utility/src/AllocatorTesting.h"

namespace vireo {
namespace utility {
namespace {

constexpr std::size_t kRun = 1036288;

std::atomic<int> gRefuse{0};  // 0 none, 1 runs only, 2 everything
bool Refuse(std::size_t size, std::size_t) {
  int const mode = gRefuse.load();
  return mode == 2 || (mode == 1 && size == kRun);
}

std::string WhatOf(unsigned int size) {
  try {
    Allocator::Allocate(size);
  } catch (std::bad_alloc const& e) {
    return e.what();
  }
  return "no exception";
}

// Tests run in order; each builds on the state the one before left.
TEST(FixedAllocatorMemory, FirstBlockTakesOneRunAndCarvesOnePage) {
  platform::testing::SetAlignedHeapRefusal(&Refuse);
  auto const before = platform::testing::GetAlignedHeapCounts();
  auto* block = static_cast<unsigned char*>(Allocator::Allocate(8));
  EXPECT_EQ(before.allocations + 1, platform::testing::GetAlignedHeapCounts().allocations);
  EXPECT_EQ(252, impl::PageSourceFreeCount());
  EXPECT_EQ(511, impl::FixedPoolFreeCount(8));
  // The highest block of its 4096-byte page.
  EXPECT_EQ(4096u - 8u, reinterpret_cast<std::uintptr_t>(block) % 4096);
  auto* next = static_cast<unsigned char*>(Allocator::Allocate(8));
  EXPECT_EQ(block - 8, next);  // then downwards
  Allocator::Dispose(next, 8);
  Allocator::Dispose(block, 8);

  // A page carved by the 896-byte pool holds four blocks; the rest of the page is not used.
  auto* big = static_cast<unsigned char*>(Allocator::Allocate(896));
  EXPECT_EQ(3, impl::FixedPoolFreeCount(896));
  EXPECT_EQ(3u * 896u, reinterpret_cast<std::uintptr_t>(big) % 4096);
  EXPECT_EQ(251, impl::PageSourceFreeCount());
  Allocator::Dispose(big, 896);
}

TEST(FixedAllocatorMemory, NewHandlerIsAskedWhenARunIsRefused) {
  // Use up the page source and the 8-byte list without the system.
  std::vector<void*> held;
  while (impl::PageSourceFreeCount() > 0 || impl::FixedPoolFreeCount(8) > 0)
    held.push_back(Allocator::Allocate(8));
  gRefuse = 1;
  static int calls = 0;
  std::set_new_handler([] {
    ++calls;
    std::set_new_handler(nullptr);  // nothing to free: the next refusal gives up
  });
  EXPECT_EQ("bad allocation", WhatOf(8));
  EXPECT_EQ(1, calls);
  EXPECT_EQ(0, impl::FixedPoolFreeCount(8));
  for (void* p : held) Allocator::Dispose(p, 8);
  gRefuse = 0;
}

TEST(FixedAllocatorMemory, EmergencyModeTakesASinglePageThenBorrows) {
  // Empty the 8-byte list again so that the next request needs a page.
  std::vector<std::pair<void*, unsigned int>> held;  // block and the size it was asked with
  auto take = [&held](unsigned int size) { held.emplace_back(Allocator::Allocate(size), size); };
  while (impl::FixedPoolFreeCount(8) > 0) take(8);
  ASSERT_EQ(0, impl::PageSourceFreeCount());

  // Runs refused, single pages granted: emergency mode takes one.
  gRefuse = 1;
  SetEmergencyMemoryMode(true);
  auto const before = platform::testing::GetAlignedHeapCounts();
  take(8);
  EXPECT_EQ(before.allocations + 1, platform::testing::GetAlignedHeapCounts().allocations);
  EXPECT_EQ(511, impl::FixedPoolFreeCount(8));
  while (impl::FixedPoolFreeCount(8) > 0) take(8);

  // Nothing from the system: an 8-byte request borrows a free 16-byte block.
  gRefuse = 2;
  void* sixteen = Allocator::Allocate(16);
  Allocator::Dispose(sixteen, 16);
  long const sixteenFree = impl::FixedPoolFreeCount(16);
  ASSERT_GT(sixteenFree, 0);
  void* borrowed = Allocator::Allocate(8);
  EXPECT_EQ(sixteenFree - 1, impl::FixedPoolFreeCount(16));
  // Freed with the caller's size, it joins the 8-byte list.
  Allocator::Dispose(borrowed, 8);
  EXPECT_EQ(1, impl::FixedPoolFreeCount(8));
  take(8);

  // Without emergency mode there is no borrowing.
  SetEmergencyMemoryMode(false);
  EXPECT_EQ("bad allocation", WhatOf(8));
  EXPECT_EQ(sixteenFree - 1, impl::FixedPoolFreeCount(16));

  // Borrowing climbs past empty pools to the next one with a free block (the 896-byte pool
  // kept its page's blocks), and gives up when no pool has any.
  SetEmergencyMemoryMode(true);
  while (impl::FixedPoolFreeCount(16) > 0) take(16);
  long const free896 = impl::FixedPoolFreeCount(896);
  ASSERT_GT(free896, 0);
  void* far = Allocator::Allocate(8);
  EXPECT_EQ(free896 - 1, impl::FixedPoolFreeCount(896));
  Allocator::Dispose(far, 896);
  while (impl::FixedPoolFreeCount(896) > 0) take(896);
  EXPECT_EQ("bad allocation", WhatOf(8));
  EXPECT_EQ("bad allocation", WhatOf(1024));

  SetEmergencyMemoryMode(false);
  gRefuse = 0;
  for (auto const& [block, size] : held) Allocator::Dispose(block, size);
}

}  // namespace
}  // namespace utility
}  // namespace vireo
