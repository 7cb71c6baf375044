// The allocator when the system refuses memory. Runs in a process of its own: the refusal is
// process-wide.
#include "vireo/utility/SmallBlockAllocator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "vireo/platform/Testing.h"
#include "vireo/utility/UTF16String.h"
#include "vireo/utility/src/SmallBlockAllocatorTesting.h"

namespace vireo {
namespace utility {
namespace {

std::atomic<bool> gRefuse{false};
bool Refuse(std::size_t, std::size_t) { return gRefuse.load(); }

class Refusal {
 public:
  Refusal() {
    platform::testing::SetAlignedHeapRefusal(&Refuse);
    gRefuse = true;
  }
  ~Refusal() { gRefuse = false; }
};

std::string WhatOfAllocate(unsigned int size) {
  try {
    SmallBlockAllocator::Allocate(size);
  } catch (std::bad_alloc const& e) {
    return e.what();
  }
  return "no exception";
}

bool SameStats(impl::PoolManager::Stats const& a, impl::PoolManager::Stats const& b) {
  return a.pages == b.pages && a.bytesTaken == b.bytesTaken && a.freeBlocks == b.freeBlocks &&
         a.blocksInUse == b.blocksInUse;
}

// The very first request finds no region for the chunk manager: the failure passes through
// every tier, and the allocator works once memory is available again.
TEST(AllocatorFailure, FirstPageRefusedThenRecovered) {
  {
    Refusal refusal;
    EXPECT_EQ("bad allocation", WhatOfAllocate(16));
    EXPECT_EQ("bad allocation", WhatOfAllocate(4144));
    EXPECT_EQ("bad allocation", WhatOfAllocate(66352));
    EXPECT_EQ(nullptr, SmallBlockAllocator::Allocate(9000));  // large sizes answer null
  }
  for (unsigned int size : {16u, 4144u, 66352u}) {
    auto const stats = impl::ManagerForSize(size)->GetStats();
    EXPECT_EQ(0u, stats.pages) << size;
    EXPECT_EQ(0u, stats.bytesTaken) << size;
  }
  void* block = SmallBlockAllocator::Allocate(16);
  ASSERT_NE(nullptr, block);
  std::memset(block, 0, 16);
  EXPECT_EQ(1, impl::ManagerForSize(16)->GetStats().blocksInUse);
  SmallBlockAllocator::Dispose(block, 16);
}

// A pool whose pages are all in use cannot grow while the system refuses; it keeps serving
// what it has once blocks come back, and grows again later.
TEST(AllocatorFailure, FullPoolStaysConsistent) {
  impl::PoolManager* pool = impl::ManagerForSize(8192);
  impl::PoolManager* chunks = impl::ManagerForSize(66352);
  std::vector<void*> blocks;
  // Take every chunk of the chunk manager's regions, so that the next page needs the system.
  std::vector<void*> reserved;
  while (true) {
    auto const s = chunks->GetStats();
    if (s.freeBlocks == 0) break;
    reserved.push_back(SmallBlockAllocator::Allocate(66352));
  }
  for (int i = 0; i < 8; ++i) blocks.push_back(SmallBlockAllocator::Allocate(8192));
  // The pool's page (a chunk) is full now only if it had just one page: fill it to the brim.
  while (impl::ManagerForSize(8192)->GetStats().freeBlocks > 0)
    blocks.push_back(SmallBlockAllocator::Allocate(8192));
  while (chunks->GetStats().freeBlocks > 0) reserved.push_back(SmallBlockAllocator::Allocate(66352));

  auto const poolBefore = pool->GetStats();
  auto const chunksBefore = chunks->GetStats();
  {
    Refusal refusal;
    EXPECT_EQ("bad allocation", WhatOfAllocate(8192));
    EXPECT_EQ("bad allocation", WhatOfAllocate(8000));
    EXPECT_TRUE(SameStats(poolBefore, pool->GetStats()));
    EXPECT_TRUE(SameStats(chunksBefore, chunks->GetStats()));

    // A block returned is served again without new memory.
    void* back = blocks.back();
    blocks.pop_back();
    SmallBlockAllocator::Dispose(back, 8192);
    void* again = SmallBlockAllocator::Allocate(8192);
    EXPECT_EQ(back, again);
    blocks.push_back(again);

    // Strings report the failure as std::bad_alloc too, never as a null block.
    EXPECT_THROW(UTF16String(10000, u'x'), std::bad_alloc);
  }
  blocks.push_back(SmallBlockAllocator::Allocate(8192));
  EXPECT_EQ(poolBefore.blocksInUse + 1, pool->GetStats().blocksInUse);
  for (void* b : blocks) SmallBlockAllocator::Dispose(b, 8192);
  for (void* c : reserved) SmallBlockAllocator::Dispose(c, 66352);
  EXPECT_EQ(0, pool->GetStats().blocksInUse);
}

TEST(AllocatorFailure, AdaptorTurnsANullLargeBlockIntoBadAlloc) {
  Refusal refusal;
  SmallBlockAllocator::STLAllocator<unsigned char> allocator;
  try {
    allocator.allocate(100000);
    FAIL() << "no exception";
  } catch (std::bad_alloc const& e) {
    EXPECT_STREQ("bad allocation", e.what());
  }
}

}  // namespace
}  // namespace utility
}  // namespace vireo
