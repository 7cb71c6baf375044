// The allocator's first use, raced by two threads. Runs in a process of its own: nothing may
// have allocated through the library before the test begins.
#include "vireo/utility/SmallBlockAllocator.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "vireo/platform/Testing.h"
#include "vireo/utility/src/SmallBlockAllocatorTesting.h"

namespace vireo {
namespace utility {
namespace {

std::mutex gMutex;
std::condition_variable gChanged;
bool gStartupInProgress = false;
bool gOtherThreadDone = false;

// Runs on the thread that won the start-up: hold it there until the other thread has been
// served while start-up is in progress.
void HoldStartup() {
  std::unique_lock<std::mutex> lock(gMutex);
  gStartupInProgress = true;
  gChanged.notify_all();
  gChanged.wait(lock, [] { return gOtherThreadDone; });
}

TEST(AllocatorStartup, LoserOfTheRaceIsServedByTheSystemHeap) {
  ASSERT_FALSE(impl::IsStarted()) << "something allocated before the test";
  impl::SetStartupHook(&HoldStartup);

  void* winnerBlock = nullptr;
  std::thread winner([&] { winnerBlock = SmallBlockAllocator::Allocate(16); });

  void* loserBlock = nullptr;
  unsigned int actualDuringStartup = 0;
  platform::testing::AlignedHeapCounts heapBefore{}, heapAfterLoser{};
  std::thread loser([&] {
    std::unique_lock<std::mutex> lock(gMutex);
    gChanged.wait(lock, [] { return gStartupInProgress; });
    heapBefore = platform::testing::GetAlignedHeapCounts();
    loserBlock = SmallBlockAllocator::Allocate(16);
    actualDuringStartup = SmallBlockAllocator::GetActualAllocationSize(5);
    heapAfterLoser = platform::testing::GetAlignedHeapCounts();
    gOtherThreadDone = true;
    gChanged.notify_all();
  });
  loser.join();
  winner.join();

  ASSERT_TRUE(impl::IsStarted());
  ASSERT_NE(nullptr, winnerBlock);
  ASSERT_NE(nullptr, loserBlock);
  // The loser did not wait: one system-heap allocation, and sizes are not rounded meanwhile.
  EXPECT_EQ(heapBefore.allocations + 1, heapAfterLoser.allocations);
  EXPECT_EQ(5u, actualDuringStartup);
  EXPECT_EQ(8u, SmallBlockAllocator::GetActualAllocationSize(5));

  // The winner's block belongs to the 16-byte pool.
  impl::PoolManager* pool = impl::ManagerForSize(16);
  EXPECT_EQ(1, pool->GetStats().blocksInUse);

  // The loser's block, freed after start-up, is no pool's: it goes back to the system heap.
  auto const beforeFree = platform::testing::GetAlignedHeapCounts();
  SmallBlockAllocator::Dispose(loserBlock, 16);
  EXPECT_EQ(beforeFree.frees + 1, platform::testing::GetAlignedHeapCounts().frees);
  EXPECT_EQ(1, pool->GetStats().blocksInUse);

  SmallBlockAllocator::Dispose(winnerBlock, 16);
  EXPECT_EQ(0, pool->GetStats().blocksInUse);
  EXPECT_EQ(beforeFree.frees + 1, platform::testing::GetAlignedHeapCounts().frees);
}

}  // namespace
}  // namespace utility
}  // namespace vireo
