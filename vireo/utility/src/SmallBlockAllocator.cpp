// The small-block allocator: the front (size classes, routing, first-use start-up) and the
// size-class pools behind it.
//
// Atomic read-modify-writes on the fast paths, per call:
//   allocation: guard enter, free-list pop, guard leave                 = 3
//   free:       guard enter, free-list push, guard leave                = 3
// The guard's two sit on a cache line of the calling thread's own (a shard of the reader
// count), so only the free-list operation touches memory that other threads write.
// A page's free count and blocks in use are read off its free list's depth, which changes in
// the same compare-and-exchange as the list; the pool's free-block count is summed from the
// pages under the lock, where only the slow path needs it.
#include "vireo/utility/SmallBlockAllocator.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "vireo/config/Errors.h"
#include "vireo/debug/Debug.h"
#include "vireo/platform/AlignedHeap.h"
#include "vireo/platform/SList.h"
#include "vireo/threads/RecursiveMutex.h"
#include "vireo/threads/src/Condition.h"
#include "vireo/utility/AllocatorManager.h"
#include "vireo/utility/src/SmallBlockAllocatorTesting.h"

#define VIREO_LIKELY(x) __builtin_expect(!!(x), 1)
#define VIREO_UNLIKELY(x) __builtin_expect(!!(x), 0)

namespace vireo {
namespace utility {

// ---- bad allocation -------------------------------------------------------------

namespace {
class BadAllocation : public std::bad_alloc {
 public:
  char const* what() const noexcept override { return "bad allocation"; }
};
}  // namespace

void impl::ThrowBadAllocation() { throw BadAllocation(); }

// ---- tiers ----------------------------------------------------------------------

namespace {
constexpr unsigned int kPageHeaderSize = 48;
constexpr unsigned int kPageSize = 4096 + kPageHeaderSize;          // 4144
constexpr unsigned int kChunkSize = 16 * kPageSize + kPageHeaderSize;  // 66352
constexpr unsigned int kRegionSize = 14 * kChunkSize + kPageHeaderSize;  // 928976
constexpr unsigned int kLargestClass = 8192;
constexpr std::size_t kHeapAlignment = 16;
static_assert(kChunkSize == 66352 && kRegionSize == 928976, "tier sizes");

using Lock = threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex>;

// The report of a pool's contract check has always named this file and these lines.
constexpr char kContractFile[] = "..\\..\\utility\\src\\SmallBlockAllocator";
constexpr long kAllocateCheckLine = 448;
constexpr long kDisposeCheckLine = 454;

// Each thread counts itself into one shard of a pool's guard, chosen once per thread.
std::atomic<unsigned int> gNextShard{0};
__attribute__((tls_model("initial-exec"))) thread_local unsigned int tShard = ~0u;
}  // namespace

// A page (or chunk, or region): a 48-byte header, then the blocks.
struct impl::PoolManager::PageHeader {
  PageHeader* start;
  std::uint32_t pageSize;
  std::uint32_t blockSize;
  std::uint32_t blockCount;
  std::uint32_t reserved0;
  platform::SListHead freeList;  // its depth is the page's free count
  unsigned char reserved1[kPageHeaderSize - 32];

  unsigned char* Blocks() { return reinterpret_cast<unsigned char*>(this) + kPageHeaderSize; }
  bool Holds(void const* p) const {
    auto const* base = reinterpret_cast<unsigned char const*>(start);
    auto const* q = static_cast<unsigned char const*>(p);
    return base <= q && q < base + pageSize;
  }
  std::int32_t FreeCount() const { return static_cast<std::int32_t>(platform::QueryDepthSList(freeList)); }
  std::int32_t BlocksInUse() const { return static_cast<std::int32_t>(blockCount) - FreeCount(); }
};
static_assert(sizeof(impl::PoolManager::PageHeader) == kPageHeaderSize, "page header is 48 bytes");
static_assert(offsetof(impl::PoolManager::PageHeader, freeList) % 8 == 0, "list head on 8 bytes");

// What only the slow path touches. The vectors take their storage from the C runtime heap.
struct impl::PoolManager::Cold {
  threads::RecursiveMutex lock;
  threads::RecursiveMutex guardMutex;  // only lets a writer sleep until readers have left
  threads::Condition guardCondition;
  std::vector<PageHeader*> pages;    // the page vector
  std::vector<PageHeader*> pageSet;  // the same pages, ascending by address
  std::uint32_t bytesTaken = 0;
  std::int32_t freeBlocks = 0;  // derived under the lock when needed

  Cold() {
    pages.reserve(256);
    pageSet.reserve(256);
  }
};

// ---- pool: construction and the list guard ---------------------------------------

impl::PoolManager::PoolManager(unsigned int blockSize, unsigned int firstPageSize,
                               unsigned int nextPageSize, bool keepOnePage)
    : withdrawn_(false),
      current_(nullptr),
      blockSize_(blockSize),
      firstPageSize_(firstPageSize),
      nextPageSize_(nextPageSize),
      keepOnePage_(keepOnePage),
      cold_(new Cold) {
  for (GuardShard& shard : shards_) shard.readers.store(0, std::memory_order_relaxed);
}

inline impl::PoolManager::GuardShard& impl::PoolManager::MyShard() {
  unsigned int shard = tShard;
  if (VIREO_UNLIKELY(shard == ~0u))
    tShard = shard = gNextShard.fetch_add(1, std::memory_order_relaxed) % kGuardShards;
  return shards_[shard];
}

std::uint32_t impl::PoolManager::ReadersInside() const {
  std::uint32_t readers = 0;
  for (GuardShard const& shard : shards_) readers += shard.readers.load(std::memory_order_seq_cst);
  return readers;
}

// A reader counts itself in, then looks at the flag; a writer raises the flag, then counts
// the readers. Sequentially consistent on both sides, so that at least one of them sees the
// other: either the reader backs out, or the writer waits for it.
inline bool impl::PoolManager::AcquireList(GuardShard& shard) {
  shard.readers.fetch_add(1, std::memory_order_seq_cst);
  if (VIREO_LIKELY(!withdrawn_.load(std::memory_order_seq_cst))) return true;
  ReleaseList(shard);
  return false;
}

inline void impl::PoolManager::ReleaseList(GuardShard& shard) {
  shard.readers.fetch_sub(1, std::memory_order_seq_cst);
  if (VIREO_UNLIKELY(withdrawn_.load(std::memory_order_seq_cst))) {
    // A writer may be waiting for this reader to leave: wake it to count again.
    Lock lock(cold_->guardMutex, true);
    cold_->guardCondition.NotifyAll();
  }
}

// Under the pool lock: stop new readers and wait for those inside to leave.
void impl::PoolManager::WithdrawList() {
  withdrawn_.store(true, std::memory_order_seq_cst);
  if (ReadersInside() == 0) return;
  Lock lock(cold_->guardMutex, true);
  while (ReadersInside() != 0) cold_->guardCondition.Wait(lock);
}

void impl::PoolManager::PublishList() { withdrawn_.store(false, std::memory_order_release); }

namespace {
// Runs f when the scope ends, also by an exception: a writer always publishes the list again.
template <class F>
class OnScopeExit {
 public:
  explicit OnScopeExit(F f) : f_(f) {}
  OnScopeExit(OnScopeExit const&) = delete;
  OnScopeExit& operator=(OnScopeExit const&) = delete;
  ~OnScopeExit() { f_(); }

 private:
  F f_;
};
}  // namespace

// ---- pool: allocation ------------------------------------------------------------

inline void* impl::PoolManager::PopFromCurrentPage() {
  PageHeader* const page = current_.load(std::memory_order_relaxed);
  if (!page) return nullptr;
  return platform::InterlockedPopEntrySList(page->freeList, page->Blocks(), blockSize_);
}

void impl::PoolManager::ContractViolation(long line) {
  if (debug::BreakAfterContractDialog("inSize <= BlockSize()", kContractFile, line))
    debug::WREN_DebugBreak();
  config::ThrowError(config::kErrorLevelFatal,
                     "$$$/wren/utility/Error/Contract/InputContractViolation=An input contract "
                     "violation has occurred!",
                     105, 25, true, config::ReplacementValue(), config::ReplacementValue(),
                     config::ReplacementValue(), config::ReplacementValue());
}

void* impl::PoolManager::Allocate(unsigned int inSize) {
  if (VIREO_UNLIKELY(inSize > blockSize_)) {
    ContractViolation(kAllocateCheckLine);
    return nullptr;
  }
  // Without a current page there is nothing to pop: go straight to the lock.
  GuardShard& shard = MyShard();
  if (VIREO_LIKELY(current_.load(std::memory_order_relaxed) != nullptr) && AcquireList(shard)) {
    void* const block = PopFromCurrentPage();
    ReleaseList(shard);
    if (VIREO_LIKELY(block != nullptr)) return block;
  }
  return AllocateSlow();
}

// Pages by blocks in use, largest first: the last page is the emptiest.
void impl::PoolManager::SortPages() {
  auto& pages = cold_->pages;
  std::sort(pages.begin(), pages.end(), [](PageHeader const* a, PageHeader const* b) {
    return a->BlocksInUse() > b->BlocksInUse();
  });
}

void* impl::PoolManager::AllocateSlow() {
  Lock lock(cold_->lock, true);
  // Another thread may have changed pages while this one waited for the lock.
  GuardShard& shard = MyShard();
  if (current_.load(std::memory_order_relaxed) != nullptr && AcquireList(shard)) {
    void* const block = PopFromCurrentPage();
    ReleaseList(shard);
    if (block) return block;
  }
  WithdrawList();
  OnScopeExit republish([this] { PublishList(); });

  // With the list withdrawn no reader is inside, so the free counts are exact.
  std::int32_t freeBlocks = 0;
  for (PageHeader const* page : cold_->pages) freeBlocks += page->FreeCount();
  cold_->freeBlocks = freeBlocks;
  if (freeBlocks > 0) {
    SortPages();
    current_.store(cold_->pages.back(), std::memory_order_relaxed);
    if (void* const block = PopFromCurrentPage()) return block;
  }
  return AddPageAndPop();
}

void* impl::PoolManager::AddPageAndPop() {
  Cold& cold = *cold_;
  // Small pages first; the next tier once the pool holds as much as one page of it.
  std::uint32_t const taken = cold.bytesTaken;
  unsigned int size;
  if (taken < kChunkSize && firstPageSize_ == kPageSize)
    size = kPageSize;
  else if (taken < kRegionSize && firstPageSize_ <= kChunkSize)
    size = kChunkSize;
  else
    size = kRegionSize;

  // Room in both vectors before the page is taken, so that nothing can fail after it.
  cold.pages.reserve(cold.pages.size() + 1);
  cold.pageSet.reserve(cold.pageSet.size() + 1);

  void* const memory = SmallBlockAllocator::Allocate(size);
  if (!memory) ThrowBadAllocation();
  cold.bytesTaken += size;

  auto* const page = ::new (memory) PageHeader;
  page->start = page;
  page->pageSize = size;
  page->blockSize = blockSize_;
  page->blockCount = (size - kPageHeaderSize) / blockSize_;
  page->reserved0 = 0;
  platform::InitializeSListHead(page->freeList);
  // As if every block had been pushed in ascending order and the highest popped at once: the
  // page is not shared yet, so the caller's block needs no atomic pop.
  std::uint32_t const last = page->blockCount - 1;
  platform::FillSList(page->freeList, page->Blocks(), blockSize_, last);

  cold.pages.push_back(page);
  cold.pageSet.insert(std::upper_bound(cold.pageSet.begin(), cold.pageSet.end(), page), page);
  cold.freeBlocks += static_cast<std::int32_t>(last);
  current_.store(page, std::memory_order_relaxed);
  return page->Blocks() + std::size_t(last) * blockSize_;
}

// ---- pool: freeing ---------------------------------------------------------------

inline impl::PoolManager::PageHeader* impl::PoolManager::FindPage(void const* inPtr) const {
  PageHeader* const current = current_.load(std::memory_order_relaxed);
  if (current && current->Holds(inPtr)) return current;
  auto const& set = cold_->pageSet;
  if (set.empty()) return nullptr;
  // The page with the greatest start below inPtr (else the first page), if it holds inPtr.
  auto it = std::upper_bound(set.begin(), set.end(), inPtr,
                             [](void const* p, PageHeader const* page) {
                               return static_cast<void const*>(page) > p;
                             });
  PageHeader* const page = it == set.begin() ? *it : *(it - 1);
  return page->Holds(inPtr) ? page : nullptr;
}

inline bool impl::PoolManager::GiveBack(void* inPtr, bool& outReleaseCandidate) {
  PageHeader* const page = FindPage(inPtr);
  if (!page) return false;
  std::uint32_t const freeCount =
      platform::InterlockedPushEntrySList(page->freeList, page->Blocks(), blockSize_, inPtr);
  if (VIREO_UNLIKELY(freeCount == page->blockCount) &&
      cold_->pages.size() >= (keepOnePage_ ? 2u : 1u))
    outReleaseCandidate = true;
  return true;
}

bool impl::PoolManager::Dispose(void* inPtr, unsigned int inSize) {
  if (VIREO_UNLIKELY(inSize > blockSize_)) {
    ContractViolation(kDisposeCheckLine);
    return false;
  }
  bool candidate = false;
  bool mine;
  GuardShard& shard = MyShard();
  if (VIREO_LIKELY(AcquireList(shard))) {
    mine = GiveBack(inPtr, candidate);
    ReleaseList(shard);
  } else {
    // A writer is at work: wait for it on the lock, which keeps the pages still.
    Lock lock(cold_->lock, true);
    mine = GiveBack(inPtr, candidate);
  }
  if (VIREO_UNLIKELY(candidate)) ReleaseEmptyPages();
  return mine;
}

void impl::PoolManager::ReleaseEmptyPages() {
  Lock lock(cold_->lock, true);
  WithdrawList();
  OnScopeExit republish([this] { PublishList(); });
  Cold& cold = *cold_;
  auto& pages = cold.pages;
  if (pages.empty()) return;
  SortPages();
  current_.store(pages.back(), std::memory_order_relaxed);
  std::size_t const keep = keepOnePage_ ? 2 : 1;
  while (pages.size() >= keep) {
    PageHeader* const page = pages.back();
    if (page->BlocksInUse() != 0) break;
    pages.pop_back();
    cold.pageSet.erase(std::lower_bound(cold.pageSet.begin(), cold.pageSet.end(), page));
    cold.freeBlocks -= static_cast<std::int32_t>(page->blockCount);
    if (current_.load(std::memory_order_relaxed) == page)
      current_.store(nullptr, std::memory_order_relaxed);
    std::uint32_t const size = page->pageSize;
    cold.bytesTaken -= size;
    SmallBlockAllocator::Dispose(page, size);
  }
}

impl::PoolManager::Stats impl::PoolManager::GetStats() const {
  Lock lock(cold_->lock, true);
  Stats stats{};
  stats.pages = static_cast<unsigned int>(cold_->pages.size());
  stats.bytesTaken = cold_->bytesTaken;
  for (PageHeader const* page : cold_->pages) {
    stats.freeBlocks += page->FreeCount();
    stats.blocksInUse += page->BlocksInUse();
    stats.largestPage = std::max(stats.largestPage, page->pageSize);
  }
  return stats;
}

// ---- the front -------------------------------------------------------------------

namespace {

enum : std::uint32_t { kNotStarted = 0, kStarting = 1, kReady = 2 };

struct SizeClass {
  unsigned int blockSize;
  unsigned int firstPageSize;
  unsigned int nextPageSize;
  int keepOnePage;
};

constexpr std::size_t kClassCount = 71;

constexpr std::array<SizeClass, kClassCount> MakeClasses() {
  std::array<SizeClass, kClassCount> classes{};
  std::size_t n = 0;
  auto add = [&](unsigned int size) {
    SizeClass c{size, kPageSize, kChunkSize, 0};
    if (size <= 128 || size == 1024) c.keepOnePage = 1;
    if (size >= 1152) {
      c.firstPageSize = kChunkSize;
      c.nextPageSize = kRegionSize;
    }
    classes[n++] = c;
  };
  add(4);
  add(8);
  for (unsigned int s = 16; s <= 32; s += 8) add(s);
  for (unsigned int s = 48; s <= 256; s += 16) add(s);
  for (unsigned int s = 288; s <= 512; s += 32) add(s);
  for (unsigned int s = 640; s <= 4096; s += 128) add(s);
  for (unsigned int s = 4352; s <= kLargestClass; s += 256) add(s);
  return classes;
}

constexpr std::array<SizeClass, kClassCount> kClasses = MakeClasses();
static_assert(kClasses[kClassCount - 1].blockSize == kLargestClass, "71 classes up to 8192");

using PageManager = AllocatorManager<kPageSize, kChunkSize, kRegionSize, 1>;
using ChunkManager = AllocatorManager<kChunkSize, kRegionSize, kRegionSize, 1>;

// Storage for the pools: they are built in place at start-up and never destroyed, so the
// process's exit never runs their destructors while other threads may still allocate.
struct alignas(impl::PoolManager) PoolStorage {
  unsigned char bytes[sizeof(impl::PoolManager)];
};
PoolStorage gPoolStorage[kClassCount + 2];

std::atomic<std::uint32_t> gState{kNotStarted};
impl::PoolManager* gSizeClassTable[kLargestClass + 1];
impl::PoolManager* gPageManager;
impl::PoolManager* gChunkManager;
std::atomic<void (*)()> gStartupHook{nullptr};

template <std::size_t... I>
void BuildClassManagers(std::index_sequence<I...>) {
  unsigned int first = 0;
  auto install = [&first](impl::PoolManager* manager) {
    for (unsigned int n = first; n <= manager->BlockSize(); ++n) gSizeClassTable[n] = manager;
    first = manager->BlockSize() + 1;
  };
  (install(::new (&gPoolStorage[I])
               AllocatorManager<kClasses[I].blockSize, kClasses[I].firstPageSize,
                                kClasses[I].nextPageSize, kClasses[I].keepOnePage>()),
   ...);
}

void RunStartup() {
  if (auto hook = gStartupHook.load(std::memory_order_acquire)) hook();
  BuildClassManagers(std::make_index_sequence<kClassCount>());
  gPageManager = ::new (&gPoolStorage[kClassCount]) PageManager();
  gChunkManager = ::new (&gPoolStorage[kClassCount + 1]) ChunkManager();
  std::uint32_t expected = kStarting;
  gState.compare_exchange_strong(expected, kReady, std::memory_order_acq_rel);
}

// True when the allocator is ready (starting it if nobody has); false while another thread
// is starting it, in which case the caller takes the system heap for this one call.
__attribute__((noinline)) bool StartUp() {
  std::uint32_t state = gState.load(std::memory_order_acquire);
  if (state == kReady) return true;
  if (state == kNotStarted) {
    std::uint32_t expected = kNotStarted;
    if (gState.compare_exchange_strong(expected, kStarting, std::memory_order_acq_rel)) {
      RunStartup();
      return true;
    }
  }
  return gState.load(std::memory_order_acquire) == kReady;
}

inline bool Ready() {
  return VIREO_LIKELY(gState.load(std::memory_order_acquire) == kReady) || StartUp();
}

// The pool serving inSize, or null for sizes the system heap serves. After start-up only.
inline impl::PoolManager* Route(unsigned int inSize) {
  if (inSize <= kLargestClass) return inSize == kPageSize ? gPageManager : gSizeClassTable[inSize];
  return inSize == kChunkSize ? gChunkManager : nullptr;
}

}  // namespace

void* SmallBlockAllocator::Allocate(unsigned int inSize) {
  if (VIREO_UNLIKELY(!Ready())) return platform::AlignedAllocate(inSize, kHeapAlignment);
  if (impl::PoolManager* const manager = Route(inSize))
    return manager->impl::PoolManager::Allocate(inSize);
  return platform::AlignedAllocate(inSize, kHeapAlignment);
}

void SmallBlockAllocator::Dispose(void* inPtr, unsigned int inSize) {
  if (!inPtr) return;
  if (VIREO_UNLIKELY(!Ready())) {
    platform::AlignedFree(inPtr);
    return;
  }
  impl::PoolManager* const manager = Route(inSize);
  // Second chance: a block no pool owns came from the system heap (the start-up fallback).
  if (!manager || !manager->impl::PoolManager::Dispose(inPtr, inSize)) platform::AlignedFree(inPtr);
}

unsigned int SmallBlockAllocator::GetActualAllocationSize(unsigned int inSize) {
  if (VIREO_UNLIKELY(!Ready())) return inSize;
  if (inSize <= kLargestClass && inSize != kPageSize) return gSizeClassTable[inSize]->BlockSize();
  return inSize;
}

bool SmallBlockAllocator::Metrics::GetSnapshot(Snapshot&) { return false; }

// ---- introspection for tests -------------------------------------------------------

impl::PoolManager* impl::ManagerForSize(unsigned int inSize) {
  if (!Ready()) return nullptr;
  return Route(inSize);
}

void impl::SetStartupHook(void (*hook)()) { gStartupHook.store(hook, std::memory_order_release); }

bool impl::IsStarted() { return gState.load(std::memory_order_acquire) == kReady; }

}  // namespace utility
}  // namespace vireo
