// The allocator front: size classes, routing, alignment, the system-heap sizes, and the
// standard-library adaptor.
#include "vireo/utility/SmallBlockAllocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/RecordingErrorManager.h"
#include "vireo/debug/Debug.h"
#include "vireo/platform/AlignedHeap.h"
#include "vireo/platform/Testing.h"
#include "vireo/utility/UTF16String.h"
#include "vireo/utility/src/SmallBlockAllocatorTesting.h"

namespace vireo {
namespace utility {
namespace {

// The class sizes, built from the ranges and steps rather than from the library's table.
std::vector<unsigned int> ClassSizes() {
  std::vector<unsigned int> sizes = {4, 8};
  struct Range {
    unsigned int first, last, step;
  };
  for (Range r : {Range{16, 32, 8}, Range{48, 256, 16}, Range{288, 512, 32}, Range{640, 4096, 128},
                  Range{4352, 8192, 256}})
    for (unsigned int s = r.first; s <= r.last; s += r.step) sizes.push_back(s);
  return sizes;
}

unsigned int ExpectedClass(unsigned int n) {
  for (unsigned int size : ClassSizes())
    if (size >= n) return size;
  return n;
}

TEST(SmallBlockAllocator, HasSeventyOneClasses) { EXPECT_EQ(71u, ClassSizes().size()); }

TEST(SmallBlockAllocator, ActualSizeIsTheSmallestClassThatFits) {
  EXPECT_EQ(4u, SmallBlockAllocator::GetActualAllocationSize(0));
  EXPECT_EQ(8u, SmallBlockAllocator::GetActualAllocationSize(5));
  EXPECT_EQ(48u, SmallBlockAllocator::GetActualAllocationSize(33));
  EXPECT_EQ(288u, SmallBlockAllocator::GetActualAllocationSize(257));
  EXPECT_EQ(640u, SmallBlockAllocator::GetActualAllocationSize(513));
  EXPECT_EQ(4352u, SmallBlockAllocator::GetActualAllocationSize(4097));
  EXPECT_EQ(8192u, SmallBlockAllocator::GetActualAllocationSize(8192));
  EXPECT_EQ(8193u, SmallBlockAllocator::GetActualAllocationSize(8193));
  EXPECT_EQ(4144u, SmallBlockAllocator::GetActualAllocationSize(4144));
  EXPECT_EQ(66352u, SmallBlockAllocator::GetActualAllocationSize(66352));
  EXPECT_EQ(1000000u, SmallBlockAllocator::GetActualAllocationSize(1000000));
  for (unsigned int n = 0; n <= 8192; ++n) {
    if (n == 4144) continue;
    ASSERT_EQ(ExpectedClass(n), SmallBlockAllocator::GetActualAllocationSize(n)) << "size " << n;
  }
}

TEST(SmallBlockAllocator, EveryRequestSizeRoutesToItsClassPool) {
  for (unsigned int n = 0; n <= 8192; ++n) {
    impl::PoolManager* manager = impl::ManagerForSize(n);
    ASSERT_NE(nullptr, manager) << n;
    unsigned int const expected = n == 4144 ? 4144 : ExpectedClass(n);
    ASSERT_EQ(expected, manager->BlockSize()) << "size " << n;
  }
  EXPECT_EQ(66352u, impl::ManagerForSize(66352)->BlockSize());
  EXPECT_EQ(nullptr, impl::ManagerForSize(8193));
  EXPECT_EQ(nullptr, impl::ManagerForSize(928976));
  EXPECT_EQ(nullptr, impl::ManagerForSize(66353));
}

// Blocks lie 48 bytes plus a multiple of the class size past a 16-byte boundary.
TEST(SmallBlockAllocator, BlocksAreAlignedByTheirClass) {
  for (unsigned int size : ClassSizes()) {
    std::uintptr_t const alignment = size % 16 == 0 ? 16 : size % 8 == 0 ? 8 : 4;
    std::vector<void*> blocks;
    for (int i = 0; i < 20; ++i) {
      void* p = SmallBlockAllocator::Allocate(size);
      ASSERT_NE(nullptr, p);
      EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(p) % alignment) << "class " << size;
      std::memset(p, 0xA5, size);  // the whole class size is usable
      blocks.push_back(p);
    }
    for (void* p : blocks) SmallBlockAllocator::Dispose(p, size);
  }
}

TEST(SmallBlockAllocator, PageSizedRequestGoesToThePageManager) {
  impl::PoolManager* pages = impl::ManagerForSize(4144);
  long const before = pages->GetStats().blocksInUse;
  void* p = SmallBlockAllocator::Allocate(4144);
  EXPECT_EQ(before + 1, pages->GetStats().blocksInUse);
  SmallBlockAllocator::Dispose(p, 4144);
  EXPECT_EQ(before, pages->GetStats().blocksInUse);
}

TEST(SmallBlockAllocator, LargeRequestsUseTheSystemHeap) {
  for (unsigned int size : {8193u, 9000u, 66351u, 66353u, 928976u, 2000000u}) {
    auto const before = platform::testing::GetAlignedHeapCounts();
    void* p = SmallBlockAllocator::Allocate(size);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(p) % 16);
    std::memset(p, 1, size);
    auto const allocated = platform::testing::GetAlignedHeapCounts();
    EXPECT_EQ(before.allocations + 1, allocated.allocations) << size;
    SmallBlockAllocator::Dispose(p, size);
    EXPECT_EQ(allocated.frees + 1, platform::testing::GetAlignedHeapCounts().frees) << size;
  }
}

TEST(SmallBlockAllocator, BlockFreedWithAnotherSizeOfItsClassReturnsToThatPool) {
  impl::PoolManager* pool = impl::ManagerForSize(16);
  long const before = pool->GetStats().blocksInUse;
  auto const heapBefore = platform::testing::GetAlignedHeapCounts();
  void* p = SmallBlockAllocator::Allocate(10);
  EXPECT_EQ(before + 1, pool->GetStats().blocksInUse);
  SmallBlockAllocator::Dispose(p, 16);
  EXPECT_EQ(before, pool->GetStats().blocksInUse);
  EXPECT_EQ(heapBefore.frees, platform::testing::GetAlignedHeapCounts().frees);
}

TEST(SmallBlockAllocator, DisposingNullDoesNothing) {
  auto const heapBefore = platform::testing::GetAlignedHeapCounts();
  for (unsigned int n : {0u, 4u, 16u, 4144u, 8192u, 8193u, 66352u, 928976u, 0xFFFFFFFFu})
    SmallBlockAllocator::Dispose(nullptr, n);
  EXPECT_EQ(heapBefore.frees, platform::testing::GetAlignedHeapCounts().frees);
}

TEST(SmallBlockAllocator, MetricsAreNotCollected) {
  SmallBlockAllocator::Metrics::Snapshot snapshot{7, 8, 9};
  EXPECT_FALSE(SmallBlockAllocator::Metrics::GetSnapshot(snapshot));
  EXPECT_EQ(7u, snapshot.allocations);
  EXPECT_EQ(8u, snapshot.disposals);
  EXPECT_EQ(9u, snapshot.bytesInUse);
}

TEST(STLAllocator, LimitsAndEquality) {
  SmallBlockAllocator::STLAllocator<unsigned short> units;
  SmallBlockAllocator::STLAllocator<unsigned char> bytes;
  EXPECT_EQ(0x7FFFFFFFu, units.max_size());
  EXPECT_EQ(0xFFFFFFFFu, bytes.max_size());
  EXPECT_TRUE(units == bytes);
  EXPECT_FALSE(units != SmallBlockAllocator::STLAllocator<unsigned short>());
}

TEST(STLAllocator, AnyInstanceFreesWhatAnotherAllocated) {
  impl::PoolManager* pool = impl::ManagerForSize(24);
  long const before = pool->GetStats().blocksInUse;
  SmallBlockAllocator::STLAllocator<unsigned short> a;
  unsigned short* p = a.allocate(12);  // 24 bytes
  EXPECT_EQ(before + 1, pool->GetStats().blocksInUse);
  SmallBlockAllocator::STLAllocator<unsigned short>::rebind<unsigned char>::other b;
  SmallBlockAllocator::STLAllocator<unsigned short>(b).deallocate(p, 12);
  EXPECT_EQ(before, pool->GetStats().blocksInUse);
}

TEST(STLAllocator, StringsReturnEveryBlockTheyTake) {
  std::vector<impl::PoolManager*> pools;
  std::vector<long> before;
  for (unsigned int size : ClassSizes()) {
    pools.push_back(impl::ManagerForSize(size));
    before.push_back(pools.back()->GetStats().blocksInUse);
  }
  {
    UTF16String text;
    for (int i = 0; i < 3000; ++i) text.push_back(static_cast<unsigned short>(u'a' + i % 26));
    UTF8String copy(text.begin(), text.end());
    UTF16String other = text.substr(10, 300);
    other.append(text);
    EXPECT_EQ(3300u, other.size());
  }
  for (std::size_t i = 0; i < pools.size(); ++i)
    EXPECT_EQ(before[i], pools[i]->GetStats().blocksInUse) << "class " << pools[i]->BlockSize();
}

// A pool asked for more than its block size: the contract dialog, then the fatal error.
class PoolContract : public ::testing::Test {
 protected:
  void SetUp() override { debug::DisableContractDialog(); }
  void TearDown() override { debug::EnableContractDialog(); }
  testing::RecordingErrorManager errors_;
  testing::ScopedErrorManager installed_{&errors_};
};

TEST_F(PoolContract, OversizedRequestIsAContractViolation) {
  impl::PoolManager* four = impl::ManagerForSize(4);
  long const before = four->GetStats().blocksInUse;
  EXPECT_EQ(nullptr, four->Allocate(5));
  int block = 0;
  EXPECT_FALSE(four->Dispose(&block, 5));
  EXPECT_EQ(before, four->GetStats().blocksInUse);
  ASSERT_EQ(2u, errors_.errors.size());
  for (auto const& e : errors_.errors) {
    EXPECT_EQ(config::kErrorLevelFatal, e.level);
    EXPECT_EQ(
        "$$$/wren/utility/Error/Contract/InputContractViolation=An input contract violation has "
        "occurred!",
        e.key);
    EXPECT_EQ(105u, e.component);
    EXPECT_EQ(25, e.code);
    EXPECT_TRUE(e.deferrable);
    for (auto const& v : e.values) EXPECT_EQ(config::kNone, v.kind);
  }
}

TEST_F(PoolContract, ThrowingManagerStopsTheRequest) {
  testing::ThrowingErrorManager throwing;
  testing::ScopedErrorManager installed(&throwing);
  EXPECT_THROW(impl::ManagerForSize(8)->Allocate(9), testing::RaisedError);
  ASSERT_EQ(1u, throwing.errors.size());
  EXPECT_EQ(25, throwing.errors[0].code);
}

TEST(SmallBlockAllocator, ForeignPointerIsNotAPoolsBlock) {
  impl::PoolManager* pool = impl::ManagerForSize(64);
  void* own = SmallBlockAllocator::Allocate(64);  // the pool has at least one page
  auto const before = pool->GetStats();
  alignas(16) unsigned char foreign[64];
  EXPECT_FALSE(pool->Dispose(foreign, 64));
  void* heap = platform::AlignedAllocate(64, 16);
  EXPECT_FALSE(pool->Dispose(heap, 64));
  platform::AlignedFree(heap);
  auto const after = pool->GetStats();
  EXPECT_EQ(before.blocksInUse, after.blocksInUse);
  EXPECT_EQ(before.freeBlocks, after.freeBlocks);
  EXPECT_EQ(before.pages, after.pages);
  SmallBlockAllocator::Dispose(own, 64);
}

}  // namespace
}  // namespace utility
}  // namespace vireo
