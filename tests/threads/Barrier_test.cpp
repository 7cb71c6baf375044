// Barriers: counting, release of all waiters, one "last" answer per round, transfer.
#include "vireo/threads/Barrier.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <stdexcept>
#include <vector>

#include <boost/thread/thread.hpp>

#include "tests/support/RecordingErrorManager.h"
#include "tests/threads/ThreadTestSupport.h"

namespace vireo {
namespace threads {
namespace {

using testing::ExpectOnlyLockError;
using testing::RecordingErrorManager;
using testing::ScopedErrorManager;

TEST(Barrier, ZeroCountIsRejected) {
  try {
    Barrier barrier("none", 0);
    FAIL() << "a barrier for no thread was made";
  } catch (std::invalid_argument const& e) {
    EXPECT_STREQ("count cannot be zero.", e.what());
  }
}

TEST(Barrier, BarrierOfOneNeverBlocks) {
  Barrier barrier("single", 1);
  EXPECT_EQ("single", barrier.GetName());
  EXPECT_TRUE(barrier.Wait());
  EXPECT_TRUE(barrier.Wait());
}

TEST(Barrier, ThreeThreadsPassTogetherAndOneIsLastInEachRound) {
  constexpr int kThreads = 3;
  constexpr int kRounds = 4;
  Barrier barrier("three", kThreads);
  std::atomic<int> arrived{0};
  std::atomic<int> passedEarly{0};  // passed before everyone of its round had arrived
  std::atomic<int> lastAnswers[kRounds] = {};
  std::atomic<int> passed{0};

  auto participant = [&] {
    for (int round = 0; round < kRounds; ++round) {
      arrived.fetch_add(1);
      bool const last = barrier.Wait();
      if (arrived.load() < (round + 1) * kThreads) passedEarly.fetch_add(1);
      if (last) lastAnswers[round].fetch_add(1);
      passed.fetch_add(1);
      // Nobody starts the next round before all have left this one's check.
      while (passed.load() < (round + 1) * kThreads) boost::this_thread::yield();
    }
  };

  boost::thread first(participant), second(participant);
  // Two of three have arrived: both must still be held.
  while (arrived.load() < 2) boost::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(0, passed.load());
  boost::thread third(participant);
  first.join();
  second.join();
  third.join();

  EXPECT_EQ(0, passedEarly.load());
  EXPECT_EQ(kRounds * kThreads, passed.load());
  for (int round = 0; round < kRounds; ++round) EXPECT_EQ(1, lastAnswers[round].load()) << round;
}

TEST(Barrier, CopyTransfersTheBarrier) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  Barrier source("source", 1);
  Barrier copy(source);
  EXPECT_EQ("source", copy.GetName());
  EXPECT_TRUE(copy.Wait());
  // The emptied source reports instead of waiting on nothing.
  EXPECT_FALSE(source.Wait());
  ExpectOnlyLockError(manager);
}

TEST(Barrier, AssignmentTransfersAndSelfAssignmentKeeps) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  Barrier single("single", 1);
  Barrier target("pair", 2);
  target = single;  // target's own barrier for two is deleted
  EXPECT_EQ("single", target.GetName());
  EXPECT_FALSE(single.Wait());
  ASSERT_EQ(1u, manager.errors.size()) << "the barrier was not taken from the source";
  EXPECT_TRUE(target.Wait());  // the barrier for one

  Barrier& alias = target;
  target = alias;
  EXPECT_TRUE(target.Wait());
  EXPECT_EQ(1u, manager.errors.size());
}

}  // namespace
}  // namespace threads
}  // namespace vireo
