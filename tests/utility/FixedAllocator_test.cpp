// The fixed-size allocators: which allocator serves a size, and blocks reused from the lists.
// Blocks crossing threads are in AllocatorStress_test.cpp (run under ThreadSanitizer too).
#include "vireo/utility/Allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "vireo/utility/src/AllocatorTesting.h"

namespace vireo {
namespace utility {
namespace {

TEST(FixedAllocator, SizesMapToTheSmallestPoolThatFits) {
  struct Case {
    unsigned int size, pool;
  };
  for (Case c : {Case{0, 8}, Case{8, 8}, Case{9, 16}, Case{24, 24}, Case{33, 48}, Case{256, 256},
                 Case{257, 288}, Case{513, 640}, Case{641, 768}, Case{769, 896}, Case{897, 1024},
                 Case{1024, 1024}})
    EXPECT_EQ(c.pool, impl::FixedPoolBlockSize(c.size)) << c.size;
  // One allocator per pool: every size of a pool's range gets the same object.
  std::set<Allocator*> distinct;
  for (unsigned int n = 0; n <= 1024; ++n) {
    distinct.insert(Allocator::GetAllocator(n));
    ASSERT_EQ(Allocator::GetAllocator(n), Allocator::GetAllocator(impl::FixedPoolBlockSize(n))) << n;
  }
  EXPECT_EQ(30u, distinct.size());
  Allocator* general = Allocator::GetAllocator(1025);
  EXPECT_EQ(0u, distinct.count(general));
  EXPECT_EQ(general, Allocator::GetAllocator(1u << 20));
}

TEST(FixedAllocator, FreedBlockJoinsItsPoolAndComesBackFirst) {
  void* a = Allocator::Allocate(40);
  long const freeBefore = impl::FixedPoolFreeCount(40);
  Allocator::Dispose(a, 48);  // any size of the same pool
  EXPECT_EQ(freeBefore + 1, impl::FixedPoolFreeCount(40));
  EXPECT_EQ(a, Allocator::Allocate(33));
  EXPECT_EQ(freeBefore, impl::FixedPoolFreeCount(40));
  Allocator::Dispose(a, 40);
}

TEST(FixedAllocator, BlocksAreDistinctAndUsable) {
  for (unsigned int size : {8u, 24u, 100u, 512u, 1000u, 1024u, 1025u, 70000u}) {
    std::vector<unsigned char*> blocks;
    for (int i = 0; i < 600; ++i) {
      auto* p = static_cast<unsigned char*>(Allocator::Allocate(size));
      ASSERT_NE(nullptr, p);
      EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(p) % 8);
      std::memset(p, i & 0xFF, size);
      blocks.push_back(p);
    }
    std::set<unsigned char*> unique(blocks.begin(), blocks.end());
    EXPECT_EQ(blocks.size(), unique.size()) << size;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      EXPECT_EQ(i & 0xFF, blocks[i][size - 1]) << size;
      Allocator::Dispose(blocks[i], size);
    }
  }
}

TEST(FixedAllocator, DisposingNullDoesNothing) {
  long const before = impl::FixedPoolFreeCount(8);
  for (unsigned int n : {0u, 8u, 1024u, 1025u}) Allocator::Dispose(nullptr, n);
  EXPECT_EQ(before, impl::FixedPoolFreeCount(8));
}

TEST(FixedAllocator, EmergencyModeSwitches) {
  EXPECT_FALSE(GetEmergencyMemoryMode());
  SetEmergencyMemoryMode(true);
  EXPECT_TRUE(GetEmergencyMemoryMode());
  SetEmergencyMemoryMode(false);
  EXPECT_FALSE(GetEmergencyMemoryMode());
}

TEST(ScopedPtr, DeletesWhatItOwns) {
  static int alive = 0;
  struct Counted {
    Counted() { ++alive; }
    ~Counted() { --alive; }
  };
  {
    ScopedPtr<Counted> owner(new Counted);
    EXPECT_EQ(1, alive);
    owner.Reset(new Counted);  // the first is deleted
    EXPECT_EQ(1, alive);
    Counted* same = owner.Get();
    owner.Reset(same);  // giving it its own object keeps it
    EXPECT_EQ(1, alive);
  }
  EXPECT_EQ(0, alive);
}

}  // namespace
}  // namespace utility
}  // namespace vireo
