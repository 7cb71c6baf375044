// The interlocked list over a run of equal slots: order, depth, filling, and many threads
// pushing and popping the slots of one page.
#include "vireo/platform/SList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace vireo {
namespace platform {
namespace {

// A page of `count` slots of `stride` bytes with an empty list over it.
struct Page {
  Page(std::uint32_t count, std::uint32_t stride) : stride(stride), bytes(count * stride) {
    InitializeSListHead(head);
  }
  unsigned char* Slot(std::uint32_t index) { return bytes.data() + index * stride; }
  std::uint32_t IndexOf(void* slot) {
    return static_cast<std::uint32_t>((static_cast<unsigned char*>(slot) - bytes.data()) / stride);
  }
  std::uint32_t Push(std::uint32_t index) {
    return InterlockedPushEntrySList(head, bytes.data(), stride, Slot(index));
  }
  void* Pop() { return InterlockedPopEntrySList(head, bytes.data(), stride); }

  std::uint32_t stride;
  std::vector<unsigned char> bytes;
  SListHead head;
};

TEST(SList, NewListIsEmpty) {
  Page page(4, 8);
  EXPECT_EQ(0u, QueryDepthSList(page.head));
  EXPECT_EQ(nullptr, page.Pop());
}

TEST(SList, PopsInReverseOrderOfPushesAndCountsDepth) {
  Page page(8, 8);
  std::uint32_t const order[] = {3, 0, 7, 5};
  std::uint32_t depth = 0;
  for (std::uint32_t index : order) {
    EXPECT_EQ(++depth, page.Push(index));
    EXPECT_EQ(depth, QueryDepthSList(page.head));
  }
  for (int i = 3; i >= 0; --i) {
    EXPECT_EQ(page.Slot(order[i]), page.Pop());
    EXPECT_EQ(static_cast<std::uint32_t>(i), QueryDepthSList(page.head));
  }
  EXPECT_EQ(nullptr, page.Pop());
  EXPECT_EQ(0u, QueryDepthSList(page.head));
}

TEST(SList, PoppedSlotMayBeOverwrittenWhollyAndPushedAgain) {
  Page page(3, 4);  // the smallest slots: the link fills the whole slot
  page.Push(0);
  page.Push(1);
  page.Push(2);
  void* top = page.Pop();
  std::memset(top, 0xAB, 4);
  EXPECT_EQ(page.Slot(1), page.Pop());
  std::memset(page.Slot(1), 0xCD, 4);
  EXPECT_EQ(2u, page.Push(1));  // slot 0 is still listed
  EXPECT_EQ(3u, page.Push(2));
  EXPECT_EQ(page.Slot(2), page.Pop());
  EXPECT_EQ(page.Slot(1), page.Pop());
  EXPECT_EQ(page.Slot(0), page.Pop());
  EXPECT_EQ(nullptr, page.Pop());
}

TEST(SList, RepushingTheSameSlotChangesTheHead) {
  // A pop that read the head before must not succeed afterwards (ABA).
  Page page(2, 8);
  page.Push(0);
  page.Push(1);
  std::uint64_t const before = page.head.word.load();
  page.Pop();
  page.Push(1);
  EXPECT_NE(before, page.head.word.load());
  EXPECT_EQ(2u, QueryDepthSList(page.head));
}

TEST(SList, FillListsEverySlotHighestAddressFirst) {
  Page page(5, 12);
  FillSList(page.head, page.bytes.data(), page.stride, 5);
  EXPECT_EQ(5u, QueryDepthSList(page.head));
  for (int index = 4; index >= 0; --index) EXPECT_EQ(page.Slot(index), page.Pop());
  EXPECT_EQ(nullptr, page.Pop());

  FillSList(page.head, page.bytes.data(), page.stride, 0);
  EXPECT_EQ(0u, QueryDepthSList(page.head));
  EXPECT_EQ(nullptr, page.Pop());
}

TEST(SList, FillReachesTheLargestList) {
  Page page(kSListMaxEntries, 4);
  FillSList(page.head, page.bytes.data(), page.stride, kSListMaxEntries);
  EXPECT_EQ(kSListMaxEntries, QueryDepthSList(page.head));
  EXPECT_EQ(page.Slot(kSListMaxEntries - 1), page.Pop());
  EXPECT_EQ(page.Slot(kSListMaxEntries - 2), page.Pop());
  EXPECT_EQ(kSListMaxEntries - 2, QueryDepthSList(page.head));
  EXPECT_EQ(kSListMaxEntries - 1, page.Push(kSListMaxEntries - 2));
}

TEST(SList, ManyThreadsNeverLoseOrShareASlot) {
  constexpr std::uint32_t kSlots = 256;
  constexpr std::uint32_t kStride = 16;
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  Page page(kSlots, kStride);
  FillSList(page.head, page.bytes.data(), kStride, kSlots);

  std::atomic<int> shared{0};  // a slot held by two threads at once
  std::atomic<int> emptyPops{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      unsigned char const mark = static_cast<unsigned char>(0x10 + t);
      unsigned char* held[3];
      for (int round = 0; round < kRounds; ++round) {
        int const want = 1 + round % 3;
        int got = 0;
        for (; got < want; ++got) {
          held[got] = static_cast<unsigned char*>(page.Pop());
          if (!held[got]) {
            emptyPops.fetch_add(1);
            break;
          }
          std::memset(held[got], mark, kStride);  // the link included
        }
        std::this_thread::yield();
        for (int i = 0; i < got; ++i) {
          for (std::uint32_t b = 0; b < kStride; ++b)
            if (held[i][b] != mark) {
              shared.fetch_add(1);
              break;
            }
          InterlockedPushEntrySList(page.head, page.bytes.data(), kStride, held[i]);
        }
      }
    });
  }
  for (auto& t : threads) t.join();

  EXPECT_EQ(0, shared.load());
  EXPECT_EQ(0, emptyPops.load());  // 12 held at most, 256 listed
  EXPECT_EQ(kSlots, QueryDepthSList(page.head));
  std::set<std::uint32_t> seen;
  while (void* slot = page.Pop()) {
    std::uint32_t const index = page.IndexOf(slot);
    EXPECT_LT(index, kSlots);
    EXPECT_TRUE(seen.insert(index).second) << "slot " << index << " listed twice";
    if (seen.size() > kSlots) break;
  }
  EXPECT_EQ(kSlots, seen.size());
}

}  // namespace
}  // namespace platform
}  // namespace vireo
