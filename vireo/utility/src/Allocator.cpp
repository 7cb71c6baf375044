// The fixed-size allocators: registry, pools, page source and the general allocator.
//
// Every singleton here is made on first use under a named lock with a check before and after
// it, and is never destroyed: objects that clients destroy while the process exits must still
// be able to free their blocks.
#include "vireo/utility/Allocator.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "vireo/debug/Trace.h"
#include "vireo/platform/AlignedHeap.h"
#include "vireo/platform/Process.h"
#include "vireo/platform/SList.h"
#include "vireo/threads/RecursiveMutex.h"
#include "vireo/utility/SmallBlockAllocator.h"
#include "vireo/utility/src/AllocatorTesting.h"

namespace vireo {
namespace utility {

Allocator::~Allocator() = default;

namespace {

using Lock = threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex>;

constexpr unsigned int kPageBytes = 4096;
constexpr unsigned int kPagesPerRun = 253;
constexpr std::size_t kRunBytes = std::size_t(kPageBytes) * kPagesPerRun;  // 1036288
constexpr unsigned int kLargestPooled = 1024;

std::atomic<bool> gEmergency{false};

constexpr std::size_t kPoolCount = 30;

constexpr std::array<unsigned int, kPoolCount> MakePoolSizes() {
  std::array<unsigned int, kPoolCount> sizes{};
  std::size_t n = 0;
  for (unsigned int s = 8; s <= 32; s += 8) sizes[n++] = s;
  for (unsigned int s = 48; s <= 256; s += 16) sizes[n++] = s;
  for (unsigned int s = 288; s <= 512; s += 32) sizes[n++] = s;
  for (unsigned int s = 640; s <= 1024; s += 128) sizes[n++] = s;
  return sizes;
}
constexpr std::array<unsigned int, kPoolCount> kPoolSizes = MakePoolSizes();
static_assert(kPoolSizes[kPoolCount - 1] == kLargestPooled, "30 pools up to 1024 bytes");

constexpr std::size_t PoolIndexOf(unsigned int inSize) {
  std::size_t i = 0;
  while (kPoolSizes[i] < inSize) ++i;
  return i;
}

// ---- the pools' free counts ---------------------------------------------------------------
//
// Each thread keeps its own share of every pool's free count and changes it with a plain load
// and store, so allocating and freeing carry no locked instruction besides the list's own; a
// reader adds up the shares of the live threads and what exited threads left behind. A
// thread's share can go below zero (it frees what others allocated); the sum is exact.

struct alignas(64) CountShares {
  std::atomic<std::int64_t> share[kPoolCount];
  CountShares* next;
};

std::mutex gSharesMutex;
CountShares* gShares = nullptr;                 // the live threads', under gSharesMutex
std::atomic<std::int64_t> gRetired[kPoolCount];  // exited threads' and late changes

__attribute__((tls_model("initial-exec"))) thread_local CountShares* tShares = nullptr;
__attribute__((tls_model("initial-exec"))) thread_local bool tSharesGone = false;

// Hands a thread's shares to gRetired when the thread exits.
struct SharesOwner {
  CountShares* shares = nullptr;
  ~SharesOwner() {
    tShares = nullptr;
    tSharesGone = true;
    if (!shares) return;
    std::lock_guard<std::mutex> lock(gSharesMutex);
    for (std::size_t i = 0; i < kPoolCount; ++i)
      gRetired[i].fetch_add(shares->share[i].load(std::memory_order_relaxed),
                            std::memory_order_relaxed);
    for (CountShares** at = &gShares; *at; at = &(*at)->next) {
      if (*at == shares) {
        *at = shares->next;
        break;
      }
    }
    std::free(shares);
  }
};
thread_local SharesOwner tSharesOwner;

// The calling thread's shares, made on its first change; null while the thread exits (or
// when no memory is left for them), which sends the change to gRetired.
__attribute__((noinline)) CountShares* MakeShares() {
  if (tSharesGone) return nullptr;
  // Straight from the C heap: the aligned heap's callers and refusals are the pools' own.
  void* memory = std::aligned_alloc(alignof(CountShares), sizeof(CountShares));
  if (!memory) return nullptr;
  CountShares* shares = ::new (memory) CountShares;
  for (auto& share : shares->share) share.store(0, std::memory_order_relaxed);
  {
    std::lock_guard<std::mutex> lock(gSharesMutex);
    shares->next = gShares;
    gShares = shares;
  }
  tSharesOwner.shares = shares;
  tShares = shares;
  return shares;
}

inline void ChangeFreeCount(std::size_t inPool, std::int64_t inBy) {
  CountShares* shares = tShares;
  if (__builtin_expect(!shares, 0) && !(shares = MakeShares())) {
    gRetired[inPool].fetch_add(inBy, std::memory_order_relaxed);
    return;
  }
  std::atomic<std::int64_t>& share = shares->share[inPool];
  share.store(share.load(std::memory_order_relaxed) + inBy, std::memory_order_relaxed);
}

long FreeCountOf(std::size_t inPool) {
  std::lock_guard<std::mutex> lock(gSharesMutex);
  std::int64_t sum = gRetired[inPool].load(std::memory_order_relaxed);
  for (CountShares const* shares = gShares; shares; shares = shares->next)
    sum += shares->share[inPool].load(std::memory_order_relaxed);
  return static_cast<long>(static_cast<std::int32_t>(sum));
}

// Allocators that can also hand out a free block they already hold, without the system.
class PrivateAllocator : public Allocator {
 public:
  virtual void* AllocateFromFreeLists(unsigned int inSize) = 0;
};

// The page source: 4096-byte pages, taken from the system in runs of 253.
class BlockAllocator {
 public:
  BlockAllocator() {
    platform::InitializeSListHead(pages_);
    count_.store(0, std::memory_order_relaxed);
  }

  // A page, or null when the system has none (not even a single page in emergency mode).
  void* GetPage() {
    if (void* page = platform::InterlockedPopEntrySList(pages_)) {
      count_.fetch_sub(1, std::memory_order_relaxed);
      return page;
    }
    for (;;) {
      auto* run = static_cast<unsigned char*>(platform::AlignedAllocate(kRunBytes, kPageBytes));
      if (run) {
        Keep(run);
        for (unsigned int i = 0; i + 1 < kPagesPerRun; ++i) {
          count_.fetch_add(1, std::memory_order_relaxed);
          platform::InterlockedPushEntrySList(pages_, run + std::size_t(i) * kPageBytes);
        }
        return run + std::size_t(kPagesPerRun - 1) * kPageBytes;
      }
      // As operator new does: a new-handler may free memory (and return) or give up (throw).
      std::new_handler handler = std::get_new_handler();
      if (!handler) break;
      handler();
    }
    if (gEmergency.load(std::memory_order_relaxed)) {
      void* page = platform::AlignedAllocate(kPageBytes, sizeof(void*));
      if (page) Keep(page);
      return page;
    }
    return nullptr;
  }

  long FreeCount() const { return count_.load(std::memory_order_relaxed); }

 private:
  // The lists name blocks by packed addresses, which leak checkers cannot follow: every run
  // taken from the system is also kept here, in plain sight. Rare (once per run).
  void Keep(void* run) {
    std::lock_guard<std::mutex> lock(runsMutex_);
    runs_.push_back(run);
  }

  platform::PointerSListHead pages_;
  std::atomic<std::int32_t> count_;
  std::mutex runsMutex_;
  std::vector<void*> runs_;
};

BlockAllocator& PageSource() {
  static std::atomic<BlockAllocator*> source{nullptr};
  if (BlockAllocator* s = source.load(std::memory_order_acquire)) return *s;
  static threads::RecursiveMutex mutex("vireo/wrenallocator/creationmutex");
  Lock lock("vireo/wrenallocator/GetBlockAllocator/lock", mutex, true);
  BlockAllocator* s = source.load(std::memory_order_relaxed);
  if (!s) {
    s = new BlockAllocator;
    source.store(s, std::memory_order_release);
  }
  return *s;
}

// Asks the allocators above `self`, from size inSize upwards, for a block they already hold.
void* BorrowFromLarger(Allocator const* self, unsigned int inSize) {
  Allocator* next = Allocator::GetAllocator(inSize);
  while (next == self) next = Allocator::GetAllocator(++inSize);
  if (!next) return nullptr;
  return static_cast<PrivateAllocator*>(next)->AllocateFromFreeLists(inSize);
}

template <unsigned int N>
class FixedSizeNonBlockingAllocator : public PrivateAllocator {
  static_assert(N % 8 == 0 && N >= 8 && N <= kLargestPooled, "pooled sizes");

 public:
  FixedSizeNonBlockingAllocator() { platform::InitializeSListHead(free_); }

  void* AllocateBlock(unsigned int) override {
    if (void* block = Pop()) return block;
    if (auto* page = static_cast<unsigned char*>(PageSource().GetPage())) {
      // The page's last whole block goes out; the others wait on the list, lowest first in.
      constexpr unsigned int kBlocks = kPageBytes / N;
      for (unsigned int i = 0; i + 1 < kBlocks; ++i) Push(page + std::size_t(i) * N);
      return page + std::size_t(kBlocks - 1) * N;
    }
    if (gEmergency.load(std::memory_order_relaxed))
      if (void* block = BorrowFromLarger(this, N + 1)) return block;
    impl::ThrowBadAllocation();
  }

  void DisposeBlock(void* inPtr) override {
    if (inPtr) Push(inPtr);
  }

  void* AllocateFromFreeLists(unsigned int inSize) override {
    if (void* block = Pop()) return block;
    return BorrowFromLarger(this, inSize + 1);
  }

  long FreeCount() const { return FreeCountOf(kIndex); }

 private:
  static constexpr std::size_t kIndex = PoolIndexOf(N);
  static_assert(kPoolSizes[kIndex] == N, "a pool of the table");

  void* Pop() {
    void* block = platform::InterlockedPopEntrySList(free_);
    if (block) ChangeFreeCount(kIndex, -1);
    return block;
  }
  void Push(void* block) {
    ChangeFreeCount(kIndex, 1);
    platform::InterlockedPushEntrySList(free_, block);
  }

  // The list head has a line that no other pool uses.
  alignas(64) platform::PointerSListHead free_;
  char padding_[64 - sizeof(platform::PointerSListHead)];
};

class DynamicAllocator : public PrivateAllocator {
 public:
  void* AllocateBlock(unsigned int inSize) override {
    for (;;) {
      if (void* block = std::malloc(inSize ? inSize : 1)) return block;
      std::new_handler handler = std::get_new_handler();
      if (!handler) impl::ThrowBadAllocation();
      handler();
    }
  }
  void DisposeBlock(void* inPtr) override { std::free(inPtr); }
  void* AllocateFromFreeLists(unsigned int) override { return nullptr; }
};

// ---- the 30 pools -----------------------------------------------------------------

template <unsigned int N>
FixedSizeNonBlockingAllocator<N>& Pool() {
  static std::atomic<FixedSizeNonBlockingAllocator<N>*> pool{nullptr};
  if (auto* p = pool.load(std::memory_order_acquire)) return *p;
  static threads::RecursiveMutex mutex("vireo/wrenallocator/getfixedsizeallocatormutex");
  Lock lock("vireo/wrenallocator/GetFixedSizeAllocator/lock", mutex, true);
  auto* p = pool.load(std::memory_order_relaxed);
  if (!p) {
    p = new FixedSizeNonBlockingAllocator<N>;
    pool.store(p, std::memory_order_release);
  }
  return *p;
}

struct PoolEntry {
  PrivateAllocator* allocator;
  long (*freeCount)();
};

template <std::size_t I>
PoolEntry MakeEntry() {
  return {&Pool<kPoolSizes[I]>(), [] { return Pool<kPoolSizes[I]>().FreeCount(); }};
}

template <std::size_t... I>
std::array<PoolEntry, kPoolCount> MakeAllPools(std::index_sequence<I...>) {
  return {MakeEntry<I>()...};
}

// ---- the registry -------------------------------------------------------------------

struct Registry {
  Allocator* table[kLargestPooled + 1];
  std::array<PoolEntry, kPoolCount> pools;
  DynamicAllocator* dynamic;
};

std::atomic<Registry*> gRegistry{nullptr};

Registry& GetRegistry() {
  if (Registry* r = gRegistry.load(std::memory_order_acquire)) return *r;
  static threads::RecursiveMutex mutex("vireo/wrenallocator/findallocatormutex");
  Lock lock("vireo/wrenallocator/FindAllocator/lock", mutex, true);
  Registry* r = gRegistry.load(std::memory_order_relaxed);
  if (!r) {
    r = new Registry;
    r->pools = MakeAllPools(std::make_index_sequence<kPoolCount>());
    std::size_t pool = 0;
    for (unsigned int size = 0; size <= kLargestPooled; ++size) {
      if (size > kPoolSizes[pool]) ++pool;
      r->table[size] = r->pools[pool].allocator;
    }
    r->dynamic = new DynamicAllocator;
    gRegistry.store(r, std::memory_order_release);
  }
  return *r;
}

}  // namespace

Allocator* Allocator::GetAllocator(unsigned int inSize) {
  Registry& registry = GetRegistry();
  if (inSize <= kLargestPooled) return registry.table[inSize];
  return registry.dynamic;
}

void* Allocator::Allocate(unsigned int inSize) {
  void* block = GetAllocator(inSize)->AllocateBlock(inSize);
  if (!block) impl::ThrowBadAllocation();
  return block;
}

void Allocator::Dispose(void* inPtr, unsigned int inSize) {
  if (inPtr) GetAllocator(inSize)->DisposeBlock(inPtr);
}

void SetEmergencyMemoryMode(bool inOn) { gEmergency.store(inOn, std::memory_order_relaxed); }
bool GetEmergencyMemoryMode() { return gEmergency.load(std::memory_order_relaxed); }

void TraceAllocatorStatistics() {
  // Asked once: the answer holds for the life of the process.
  static bool const enabled = debug::TraceEnabled(
      UTF8String(reinterpret_cast<unsigned char const*>("WREN.Allocator")), 1, false);
  if (!enabled) return;
  // The stream needs no heap memory, so the report works however short of memory we are.
  debug::SafeTraceStream stream;
  stream << "<" << platform::CurrentThreadId() << "> <WREN.Allocator> <1> "
         << "Allocator is not being monitored. Statistics are not available\n";
}

// ---- introspection for tests ------------------------------------------------------------

long impl::FixedPoolFreeCount(unsigned int inSize) {
  if (inSize > kLargestPooled) return 0;
  return GetRegistry().pools[PoolIndexOf(inSize)].freeCount();
}

unsigned int impl::FixedPoolBlockSize(unsigned int inSize) {
  return inSize > kLargestPooled ? 0 : kPoolSizes[PoolIndexOf(inSize)];
}

long impl::PageSourceFreeCount() { return PageSource().FreeCount(); }

}  // namespace utility
}  // namespace vireo
