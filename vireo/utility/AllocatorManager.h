// Size-class pools of the small-block allocator. Each pool hands out equal blocks carved from
// pages it takes from the tier above (page 4144 bytes, chunk 66352, region 928976, each a
// 48-byte header followed by blocks). Allocation and freeing are lock-free while the current
// page has blocks; the pool's lock is taken only to change pages.
#ifndef VIREO_UTILITY_ALLOCATORMANAGER_H
#define VIREO_UTILITY_ALLOCATORMANAGER_H

#include <atomic>
#include <cstdint>

#include "vireo/Export.h"

namespace vireo {
namespace utility {

// A pool of blocks of one size. Pools are created once and never destroyed.
class VIREO_API AllocatorInterface {
 public:
  // A block of BlockSize() bytes; inSize must not exceed BlockSize().
  virtual void* Allocate(unsigned int inSize) = 0;
  // Takes a block back; true if it belonged to this pool (else nothing changes).
  virtual bool Dispose(void* inPtr, unsigned int inSize) = 0;
  virtual unsigned int BlockSize() const = 0;

 protected:
  AllocatorInterface() = default;
  ~AllocatorInterface() = default;
};

namespace impl {

// The pool itself, parameterised at run time; AllocatorManager names its parameters.
//
// Asking for or returning more than BlockSize() bytes is an input contract violation: the
// contract dialog (vireo::debug::BreakAfterContractDialog), then the fatal error
// "$$$/wren/utility/Error/Contract/InputContractViolation=..." (component 105, code 25)
// through vireo::config::ThrowError; the request is not served.
// When no page can be obtained, Allocate throws std::bad_alloc ("bad allocation") and the
// pool stays as it was.
class VIREO_API PoolManager : public AllocatorInterface {
 public:
  PoolManager(unsigned int blockSize, unsigned int firstPageSize, unsigned int nextPageSize,
              bool keepOnePage);
  PoolManager(PoolManager const&) = delete;
  PoolManager& operator=(PoolManager const&) = delete;

  void* Allocate(unsigned int inSize) override;
  bool Dispose(void* inPtr, unsigned int inSize) override;
  unsigned int BlockSize() const override { return blockSize_; }
  // The pool's parameters: first page size, the larger page size it moves to, and whether
  // it keeps one empty page.
  unsigned int FirstPageSize() const { return firstPageSize_; }
  unsigned int NextPageSize() const { return nextPageSize_; }
  bool KeepsOnePage() const { return keepOnePage_; }

  // A consistent picture of the pool, taken under its lock (for diagnostics and tests).
  struct Stats {
    unsigned int pages;          // pages, chunks or regions held
    unsigned int bytesTaken;     // their sizes summed
    long freeBlocks;             // free blocks over all pages
    long blocksInUse;            // blocks handed out and not returned
    unsigned int largestPage;    // size of the largest page held (0 without pages)
  };
  Stats GetStats() const;

  struct PageHeader;
  struct Cold;

 private:
  static constexpr unsigned kGuardShards = 8;
  struct alignas(64) GuardShard {
    std::atomic<std::uint32_t> readers;
  };

  bool AcquireList(GuardShard& shard);
  void ReleaseList(GuardShard& shard);
  GuardShard& MyShard();
  std::uint32_t ReadersInside() const;
  void WithdrawList();
  void PublishList();
  void* PopFromCurrentPage();
  bool GiveBack(void* inPtr, bool& outReleaseCandidate);
  PageHeader* FindPage(void const* inPtr) const;
  void* AllocateSlow();
  void* AddPageAndPop();
  void SortPages();
  void ReleaseEmptyPages();
  void ContractViolation(long line);

  // The list guard: readers count themselves in a shard of their own thread, so threads do
  // not fight over one cache line on every call; a writer raises `withdrawn_` and waits
  // until every shard is empty. The read-mostly fields share one cache line, no other
  // pool's; each shard has a line of its own.

  alignas(64) std::atomic<bool> withdrawn_;
  std::atomic<PageHeader*> current_;
  unsigned int const blockSize_;
  unsigned int const firstPageSize_;
  unsigned int const nextPageSize_;
  bool const keepOnePage_;
  Cold* const cold_;  // lock, page vector and set; touched only off the fast path
  GuardShard shards_[kGuardShards];
};

}  // namespace impl

// The pool of one size class: block size, size of the first page it takes, size of the
// larger page it moves to, and whether it keeps one empty page (1) or returns all (0).
template <unsigned int BlockSizeV, unsigned int FirstPageSizeV, unsigned int NextPageSizeV,
          int KeepOnePageV>
class AllocatorManager : public impl::PoolManager {
 public:
  AllocatorManager()
      : impl::PoolManager(BlockSizeV, FirstPageSizeV, NextPageSizeV, KeepOnePageV != 0) {}
};

}  // namespace utility
}  // namespace vireo

#endif
