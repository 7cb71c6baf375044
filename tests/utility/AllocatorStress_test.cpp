// Many threads allocating, writing, handing blocks to one another and freeing them, through
// the small-block allocator and through the fixed-size allocators. A block
// handed out twice, or a block given back to the wrong pool, shows as a broken pattern or as
// counts that do not return to zero.
#include "vireo/utility/SmallBlockAllocator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "vireo/utility/Allocator.h"
#include "vireo/utility/src/AllocatorTesting.h"
#include "vireo/utility/src/SmallBlockAllocatorTesting.h"

namespace vireo {
namespace utility {
namespace {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kOperationsPerThread = 150000;
#else
constexpr int kOperationsPerThread = 1000000;
#endif
constexpr int kThreads = 4;

struct Block {
  unsigned char* data;
  unsigned int size;
  unsigned char tag;
};

// Fills the whole block with a tag; checked before the block is freed.
void Stamp(Block const& b) { std::memset(b.data, b.tag, b.size); }
bool Intact(Block const& b) {
  for (unsigned int i = 0; i < b.size; ++i)
    if (b.data[i] != b.tag) return false;
  return true;
}

// A mailbox per thread: other threads drop blocks in, the owner frees them.
struct Mailbox {
  std::mutex mutex;
  std::vector<Block> blocks;
};

unsigned int RandomSize(std::mt19937& rng) {
  // Mostly small blocks, some medium, a few from the largest classes and the system heap.
  unsigned int const pick = rng() % 100;
  if (pick < 70) return rng() % 129;
  if (pick < 95) return 129 + rng() % 1024;
  if (pick < 99) return 1153 + rng() % 7040;
  return 8193 + rng() % 8192;
}

TEST(AllocatorStress, BlocksCrossThreadsIntact) {
  std::vector<unsigned int> classSizes;
  for (unsigned int n = 0; n <= 8192; ++n)
    if (n != 4144 && (classSizes.empty() || impl::ManagerForSize(n)->BlockSize() != classSizes.back()))
      classSizes.push_back(impl::ManagerForSize(n)->BlockSize());
  std::vector<long> inUseBefore;
  for (unsigned int size : classSizes)
    inUseBefore.push_back(impl::ManagerForSize(size)->GetStats().blocksInUse);

  Mailbox mailboxes[kThreads];
  std::atomic<int> broken{0};
  std::atomic<int> running{kThreads};

  auto worker = [&](int self) {
    std::mt19937 rng(1234 + self);
    std::deque<Block> live;
    auto freeBlock = [&](Block const& b) {
      if (!Intact(b)) broken.fetch_add(1);
      SmallBlockAllocator::Dispose(b.data, b.size);
    };
    for (int op = 0; op < kOperationsPerThread; ++op) {
      unsigned int const action = rng() % 8;
      if (action < 4 || live.empty()) {
        unsigned int const size = RandomSize(rng);
        Block b{static_cast<unsigned char*>(SmallBlockAllocator::Allocate(size)), size,
                static_cast<unsigned char>(rng())};
        if (!b.data) {
          broken.fetch_add(1);
          continue;
        }
        Stamp(b);
        live.push_back(b);
      } else if (action < 6) {
        freeBlock(live.front());
        live.pop_front();
      } else {
        // Hand the newest block to another thread, which frees it.
        Mailbox& box = mailboxes[(self + 1 + rng() % (kThreads - 1)) % kThreads];
        std::lock_guard<std::mutex> lock(box.mutex);
        box.blocks.push_back(live.back());
        live.pop_back();
      }
      if (op % 64 == 0) {
        std::vector<Block> mine;
        {
          std::lock_guard<std::mutex> lock(mailboxes[self].mutex);
          mine.swap(mailboxes[self].blocks);
        }
        for (Block const& b : mine) freeBlock(b);
      }
      if (live.size() > 4096) {
        freeBlock(live.front());
        live.pop_front();
      }
    }
    for (Block const& b : live) freeBlock(b);
    running.fetch_sub(1);
    // Keep emptying the mailbox until everybody has stopped sending.
    while (true) {
      bool const last = running.load() == 0;
      std::vector<Block> mine;
      {
        std::lock_guard<std::mutex> lock(mailboxes[self].mutex);
        mine.swap(mailboxes[self].blocks);
      }
      for (Block const& b : mine) freeBlock(b);
      if (last) break;
      std::this_thread::yield();
    }
  };

  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(worker, t);
  for (auto& t : threads) t.join();

  EXPECT_EQ(0, broken.load());
  for (std::size_t i = 0; i < classSizes.size(); ++i) {
    auto const stats = impl::ManagerForSize(classSizes[i])->GetStats();
    EXPECT_EQ(inUseBefore[i], stats.blocksInUse) << "class " << classSizes[i];
    EXPECT_GE(stats.freeBlocks, 0);
  }
}

// Two threads hammer one class: one allocates, the other frees, so pages fill and empty while
// both fast paths and the page changes race.
TEST(AllocatorStress, ProducerConsumerOnOneClass) {
  constexpr int kBlocks = kOperationsPerThread / 2;
  std::vector<std::atomic<void*>> slots(1024);
  for (auto& s : slots) s.store(nullptr);
  std::atomic<bool> done{false};
  std::atomic<int> broken{0};
  impl::PoolManager* pool = impl::ManagerForSize(144);  // gives back every page that empties
  long const before = pool->GetStats().blocksInUse;

  std::thread producer([&] {
    for (int i = 0; i < kBlocks; ++i) {
      auto* p = static_cast<unsigned int*>(SmallBlockAllocator::Allocate(144));
      p[0] = static_cast<unsigned int>(i);
      p[35] = ~static_cast<unsigned int>(i);
      auto& slot = slots[static_cast<std::size_t>(i) % slots.size()];
      void* expected = nullptr;
      while (!slot.compare_exchange_weak(expected, p, std::memory_order_release)) {
        expected = nullptr;
        std::this_thread::yield();
      }
    }
    done = true;
  });
  std::thread consumer([&] {
    int freed = 0;
    while (freed < kBlocks) {
      for (auto& slot : slots) {
        void* p = slot.exchange(nullptr, std::memory_order_acquire);
        if (!p) continue;
        auto* words = static_cast<unsigned int*>(p);
        if (words[35] != ~words[0]) broken.fetch_add(1);
        SmallBlockAllocator::Dispose(p, 144);
        ++freed;
      }
    }
  });
  producer.join();
  consumer.join();
  EXPECT_EQ(0, broken.load());
  EXPECT_EQ(before, pool->GetStats().blocksInUse);
}

// Threads free each other's blocks through the lock-free lists; every block handed out must
// be unique while it is held.
TEST(AllocatorStress, FixedSizeBlocksCrossThreads) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
  constexpr int kRounds = 20000;
#else
  constexpr int kRounds = 200000;
#endif
  std::atomic<void*> exchange[kThreads];
  for (auto& e : exchange) e.store(nullptr);
  std::atomic<int> broken{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRounds; ++i) {
        unsigned int const size = 16u << (i % 7);  // 16 .. 1024: room for three words
        auto* p = static_cast<std::uint32_t*>(Allocator::Allocate(size));
        p[0] = static_cast<std::uint32_t>(t * kRounds + i);
        p[1] = ~p[0];
        p[2] = size;
        // Swap with a neighbour's slot and free what was there (allocated elsewhere).
        void* old = exchange[(t + 1) % kThreads].exchange(p);
        if (old) {
          auto* words = static_cast<std::uint32_t*>(old);
          if (words[1] != ~words[0]) broken.fetch_add(1);
          Allocator::Dispose(old, words[2]);
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  for (auto& e : exchange)
    if (void* p = e.load()) Allocator::Dispose(p, static_cast<std::uint32_t*>(p)[2]);
  EXPECT_EQ(0, broken.load());
}

// Each thread keeps its own share of a pool's free count; the count must stay exact while
// threads change it, read it, and exit with their shares.
TEST(AllocatorStress, FixedPoolFreeCountAcrossThreadsThatExit) {
  constexpr unsigned int kSize = 80;
  constexpr int kBlocks = 3000;
  std::vector<void*> blocks(kBlocks);
  std::thread([&] {
    for (void*& block : blocks) block = Allocator::Allocate(kSize);
  }).join();
  long const held = impl::FixedPoolFreeCount(kSize);  // after the pages these blocks took

  // A thread frees half and stays alive while the count is read from here.
  std::mutex mutex;
  std::condition_variable changed;
  bool freed = false, done = false;
  std::thread freer([&] {
    for (int i = 0; i < kBlocks / 2; ++i) Allocator::Dispose(blocks[i], kSize);
    std::unique_lock<std::mutex> lock(mutex);
    freed = true;
    changed.notify_all();
    changed.wait(lock, [&] { return done; });
  });
  {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return freed; });
  }
  EXPECT_EQ(held + kBlocks / 2, impl::FixedPoolFreeCount(kSize));
  {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
  }
  changed.notify_all();
  freer.join();
  EXPECT_EQ(held + kBlocks / 2, impl::FixedPoolFreeCount(kSize));  // its share outlived it

  // Threads free the rest while this one reads the count.
  std::atomic<int> next{kBlocks / 2};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&] {
      for (int i; (i = next.fetch_add(1)) < kBlocks;) Allocator::Dispose(blocks[i], kSize);
    });
  while (next.load() < kBlocks) {
    long const now = impl::FixedPoolFreeCount(kSize);
    EXPECT_GE(now, held);
    EXPECT_LE(now, held + kBlocks);
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(held + kBlocks, impl::FixedPoolFreeCount(kSize));

  for (void*& block : blocks) block = Allocator::Allocate(kSize);
  EXPECT_EQ(held, impl::FixedPoolFreeCount(kSize));
  for (void* block : blocks) Allocator::Dispose(block, kSize);
}

}  // namespace
}  // namespace utility
}  // namespace vireo
