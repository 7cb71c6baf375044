// Size-class pools on their own: the page tiers they climb, the order blocks come out in,
// which pages they give back, and how memory travels back up the tiers.
#include "vireo/utility/AllocatorManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "vireo/platform/Testing.h"
#include "vireo/utility/SmallBlockAllocator.h"
#include "vireo/utility/src/SmallBlockAllocatorTesting.h"

namespace vireo {
namespace utility {
namespace {

constexpr unsigned int kPage = 4144;
constexpr unsigned int kChunk = 66352;
constexpr unsigned int kRegion = 928976;

// Pools are never destroyed; tests make their own and keep them reachable for the process's
// life (a pool dropped on the floor would be a leak to the leak checker).
std::vector<impl::PoolManager*>& KeptPools() {
  static auto* pools = new std::vector<impl::PoolManager*>;
  return *pools;
}

template <class Manager>
Manager& FreshPool() {
  auto* pool = new Manager();
  KeptPools().push_back(pool);
  return *pool;
}

// Allocates until the pool has taken `pages` pages, recording each page's size in order.
std::vector<unsigned int> TakePages(impl::PoolManager& pool, std::size_t pages,
                                    std::vector<void*>& blocks) {
  std::vector<unsigned int> sizes;
  unsigned int taken = pool.GetStats().bytesTaken;
  while (sizes.size() < pages) {
    void* block = pool.Allocate(pool.BlockSize());
    EXPECT_NE(nullptr, block);
    blocks.push_back(block);
    unsigned int const now = pool.GetStats().bytesTaken;
    if (now != taken) sizes.push_back(now - taken);
    taken = now;
  }
  return sizes;
}

void FreeAll(impl::PoolManager& pool, std::vector<void*>& blocks) {
  for (void* block : blocks) EXPECT_TRUE(pool.Dispose(block, pool.BlockSize()));
  blocks.clear();
}

TEST(AllocatorManager, SmallPagesThenChunksThenRegions) {
  auto& pool = FreshPool<AllocatorManager<1024, kPage, kChunk, 1>>();
  std::vector<void*> blocks;
  std::vector<unsigned int> const sizes = TakePages(pool, 17 + 13 + 2, blocks);
  std::vector<unsigned int> expected(17, kPage);
  expected.insert(expected.end(), 13, kChunk);
  expected.insert(expected.end(), 2, kRegion);
  EXPECT_EQ(expected, sizes);
  FreeAll(pool, blocks);
  auto const stats = pool.GetStats();
  EXPECT_EQ(1u, stats.pages);  // keeps one
  EXPECT_EQ(0, stats.blocksInUse);
}

TEST(AllocatorManager, ChunkSizedFirstPageTakesFifteenChunksThenRegions) {
  auto& pool = FreshPool<AllocatorManager<8192, kChunk, kRegion, 0>>();
  std::vector<void*> blocks;
  std::vector<unsigned int> const sizes = TakePages(pool, 15 + 2, blocks);
  std::vector<unsigned int> expected(15, kChunk);
  expected.insert(expected.end(), 2, kRegion);
  EXPECT_EQ(expected, sizes);
  FreeAll(pool, blocks);
  EXPECT_EQ(0u, pool.GetStats().pages);  // gives every page back
  EXPECT_EQ(0u, pool.GetStats().bytesTaken);
}

TEST(AllocatorManager, ParametersOfTheGlobalPools) {
  for (unsigned int size : {4u, 128u, 1024u}) {
    EXPECT_TRUE(impl::ManagerForSize(size)->KeepsOnePage()) << size;
    EXPECT_EQ(kPage, impl::ManagerForSize(size)->FirstPageSize()) << size;
    EXPECT_EQ(kChunk, impl::ManagerForSize(size)->NextPageSize()) << size;
  }
  for (unsigned int size : {144u, 896u}) {
    EXPECT_FALSE(impl::ManagerForSize(size)->KeepsOnePage()) << size;
    EXPECT_EQ(kPage, impl::ManagerForSize(size)->FirstPageSize()) << size;
  }
  for (unsigned int size : {1152u, 8192u}) {
    EXPECT_FALSE(impl::ManagerForSize(size)->KeepsOnePage()) << size;
    EXPECT_EQ(kChunk, impl::ManagerForSize(size)->FirstPageSize()) << size;
    EXPECT_EQ(kRegion, impl::ManagerForSize(size)->NextPageSize()) << size;
  }
  impl::PoolManager* pages = impl::ManagerForSize(kPage);
  EXPECT_TRUE(pages->KeepsOnePage());
  EXPECT_EQ(kChunk, pages->FirstPageSize());
  impl::PoolManager* chunks = impl::ManagerForSize(kChunk);
  EXPECT_TRUE(chunks->KeepsOnePage());
  EXPECT_EQ(kRegion, chunks->FirstPageSize());
}

TEST(AllocatorManager, BlockCountsPerPage) {
  struct Case {
    impl::PoolManager* pool;
    unsigned int perPage;
  };
  for (Case c : {Case{&FreshPool<AllocatorManager<4, kPage, kChunk, 1>>(), 1024},
                 Case{&FreshPool<AllocatorManager<144, kPage, kChunk, 0>>(), 28},
                 Case{&FreshPool<AllocatorManager<1024, kPage, kChunk, 1>>(), 4},
                 Case{&FreshPool<AllocatorManager<8192, kChunk, kRegion, 0>>(), 8}}) {
    void* first = c.pool->Allocate(c.pool->BlockSize());
    auto const stats = c.pool->GetStats();
    EXPECT_EQ(1u, stats.pages);
    EXPECT_EQ(static_cast<long>(c.perPage), stats.freeBlocks + stats.blocksInUse)
        << "block size " << c.pool->BlockSize();
    c.pool->Dispose(first, c.pool->BlockSize());
  }
}

// The highest block of a new page comes out first, then downwards.
TEST(AllocatorManager, NewPageHandsOutBlocksFromTheTop) {
  auto& pool = FreshPool<AllocatorManager<48, kPage, kChunk, 1>>();
  std::vector<unsigned char*> blocks;
  for (int i = 0; i < 85; ++i) blocks.push_back(static_cast<unsigned char*>(pool.Allocate(48)));
  for (std::size_t i = 1; i < blocks.size(); ++i) EXPECT_EQ(blocks[i - 1] - 48, blocks[i]);
  // The lowest block sits right after the 48-byte page header.
  EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(blocks.back() - 48) % 16);
  EXPECT_EQ(1u, pool.GetStats().pages);
  for (void* b : blocks) pool.Dispose(b, 48);
}

// The last freed block is the next handed out, from the emptiest page.
TEST(AllocatorManager, ReusesFreedBlocks) {
  auto& pool = FreshPool<AllocatorManager<32, kPage, kChunk, 1>>();
  void* a = pool.Allocate(32);
  void* b = pool.Allocate(17);
  pool.Dispose(a, 32);
  EXPECT_EQ(a, pool.Allocate(32));
  pool.Dispose(b, 1);
  pool.Dispose(a, 32);
}

TEST(AllocatorManager, KeepOnePageVersusGiveAll) {
  auto& keeper = FreshPool<AllocatorManager<48, kPage, kChunk, 1>>();
  auto& giver = FreshPool<AllocatorManager<144, kPage, kChunk, 0>>();
  std::vector<void*> blocks;
  TakePages(keeper, 3, blocks);
  EXPECT_EQ(3u, keeper.GetStats().pages);
  FreeAll(keeper, blocks);
  EXPECT_EQ(1u, keeper.GetStats().pages);
  EXPECT_EQ(kPage, keeper.GetStats().bytesTaken);

  TakePages(giver, 3, blocks);
  EXPECT_EQ(3u, giver.GetStats().pages);
  FreeAll(giver, blocks);
  EXPECT_EQ(0u, giver.GetStats().pages);
  EXPECT_EQ(0u, giver.GetStats().bytesTaken);
}

// A page emptied in the middle of others is given back once it is the emptiest.
TEST(AllocatorManager, GivesBackAnEmptyPageAmongBusyOnes) {
  auto& pool = FreshPool<AllocatorManager<1024, kPage, kChunk, 0>>();
  std::vector<void*> blocks;
  TakePages(pool, 3, blocks);  // 4 blocks a page; the third page has one block out
  ASSERT_EQ(9u, blocks.size());
  for (int i = 4; i < 8; ++i) pool.Dispose(blocks[i], 1024);  // the whole second page
  EXPECT_EQ(2u, pool.GetStats().pages);
  EXPECT_EQ(5, pool.GetStats().blocksInUse);
  for (int i : {0, 1, 2, 3, 8}) pool.Dispose(blocks[i], 1024);
  EXPECT_EQ(0u, pool.GetStats().pages);
}

// Pages go back to the page manager, its chunks to the chunk manager, its regions to the
// system heap.
TEST(AllocatorManager, MemoryReturnsTierByTier) {
  impl::PoolManager& pageManager = *impl::ManagerForSize(kPage);
  impl::PoolManager& chunkManager = *impl::ManagerForSize(kChunk);

  auto& pool = FreshPool<AllocatorManager<144, kPage, kChunk, 0>>();
  long const pagesBefore = pageManager.GetStats().blocksInUse;
  std::vector<void*> blocks;
  TakePages(pool, 3, blocks);
  EXPECT_EQ(pagesBefore + 3, pageManager.GetStats().blocksInUse);
  FreeAll(pool, blocks);
  EXPECT_EQ(pagesBefore, pageManager.GetStats().blocksInUse);

  // Enough pages to need new chunks, then all given back: the page manager keeps one chunk.
  long const chunksBefore = chunkManager.GetStats().blocksInUse;
  std::vector<void*> pages;
  for (int i = 0; i < 16 * 4; ++i) pages.push_back(SmallBlockAllocator::Allocate(kPage));
  EXPECT_GE(chunkManager.GetStats().blocksInUse, chunksBefore + 3);
  for (void* p : pages) SmallBlockAllocator::Dispose(p, kPage);
  EXPECT_LE(chunkManager.GetStats().blocksInUse, chunksBefore + 1);

  // Enough chunks to need new regions; emptied regions go back to the system heap.
  auto const heapBefore = platform::testing::GetAlignedHeapCounts();
  std::vector<void*> chunks;
  for (int i = 0; i < 14 * 5; ++i) chunks.push_back(SmallBlockAllocator::Allocate(kChunk));
  EXPECT_GE(chunkManager.GetStats().pages, 3u);
  EXPECT_GE(platform::testing::GetAlignedHeapCounts().allocations, heapBefore.allocations + 2);
  for (void* c : chunks) SmallBlockAllocator::Dispose(c, kChunk);
  EXPECT_GE(platform::testing::GetAlignedHeapCounts().frees, heapBefore.frees + 1);
  EXPECT_LE(chunkManager.GetStats().blocksInUse, chunksBefore + 1);
}

TEST(AllocatorManager, ForeignPointersChangeNothing) {
  auto& pool = FreshPool<AllocatorManager<96, kPage, kChunk, 1>>();
  int local = 0;
  EXPECT_FALSE(pool.Dispose(&local, 96));  // no page at all yet
  void* block = pool.Allocate(96);
  auto const before = pool.GetStats();
  void* other = SmallBlockAllocator::Allocate(96);  // the global 96-byte pool's block
  EXPECT_FALSE(pool.Dispose(other, 96));
  EXPECT_FALSE(pool.Dispose(static_cast<unsigned char*>(block) + kChunk, 96));
  auto const after = pool.GetStats();
  EXPECT_EQ(before.blocksInUse, after.blocksInUse);
  EXPECT_EQ(before.freeBlocks, after.freeBlocks);
  SmallBlockAllocator::Dispose(other, 96);
  EXPECT_TRUE(pool.Dispose(block, 96));
}

}  // namespace
}  // namespace utility
}  // namespace vireo
