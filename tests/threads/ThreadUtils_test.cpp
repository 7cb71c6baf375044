// Call-once and thread ids.
#include "vireo/threads/ThreadUtils.h"

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <set>
#include <stdexcept>
#include <vector>

#include <boost/thread/thread.hpp>

#include "vireo/platform/Process.h"

namespace vireo {
namespace threads {
namespace {

// CallOnce takes a plain function, so the tests' state is global.
std::atomic<int> gRuns{0};
int gInitialized = 0;  // written by the once-function only; readers rely on CallOnce's ordering

void SlowInit() {
  gRuns.fetch_add(1);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  gInitialized = 42;
}
void CountRun() { gRuns.fetch_add(1); }
void FailingInit() {
  gRuns.fetch_add(1);
  throw std::runtime_error("init failed");
}

class CallOnceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gRuns = 0;
    gInitialized = 0;
  }
};

TEST_F(CallOnceTest, RacingCallersRunTheFunctionOnceAndAllSeeItsEffect) {
  long flag = 0;  // the documented once-initialiser
  EXPECT_EQ(kOnceInit, flag);
  constexpr int kCallers = 12;
  std::atomic<bool> start{false};
  std::atomic<int> sawInitialized{0};
  std::vector<boost::thread> callers;
  for (int i = 0; i < kCallers; ++i) {
    callers.emplace_back([&] {
      while (!start.load()) boost::this_thread::yield();
      CallOnce(SlowInit, flag);
      // Nobody returns before the function has finished.
      if (gInitialized == 42) sawInitialized.fetch_add(1);
    });
  }
  start = true;
  for (auto& c : callers) c.join();
  EXPECT_EQ(1, gRuns.load());
  EXPECT_EQ(kCallers, sawInitialized.load());

  CallOnce(SlowInit, flag);
  EXPECT_EQ(1, gRuns.load());
}

TEST_F(CallOnceTest, EachFlagRunsOnce) {
  long first = kOnceInit, second = kOnceInit;
  CallOnce(CountRun, first);
  CallOnce(CountRun, first);
  CallOnce(CountRun, second);
  CallOnce(CountRun, second);
  EXPECT_EQ(2, gRuns.load());
}

TEST_F(CallOnceTest, ThrowingFunctionLetsALaterCallTryAgain) {
  long flag = kOnceInit;
  EXPECT_THROW(CallOnce(FailingInit, flag), std::runtime_error);
  EXPECT_THROW(CallOnce(FailingInit, flag), std::runtime_error);
  EXPECT_EQ(2, gRuns.load());
  CallOnce(CountRun, flag);
  EXPECT_EQ(3, gRuns.load());
  CallOnce(CountRun, flag);
  CallOnce(FailingInit, flag);  // done: not run again, so nothing throws
  EXPECT_EQ(3, gRuns.load());
}

TEST(GetCurrentThreadID, IsTheSystemThreadIdOfEachThread) {
  unsigned long const mainId = GetCurrentThreadID();
  EXPECT_EQ(static_cast<unsigned long>(::syscall(SYS_gettid)), mainId);
  EXPECT_EQ(static_cast<unsigned long>(::getpid()), mainId);  // gtest runs on the main thread
  EXPECT_EQ(platform::CurrentThreadId(), mainId);

  constexpr int kThreads = 4;
  unsigned long ids[kThreads] = {};
  unsigned long systemIds[kThreads] = {};
  std::atomic<int> ready{0};
  std::vector<boost::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      ids[i] = GetCurrentThreadID();
      systemIds[i] = static_cast<unsigned long>(::syscall(SYS_gettid));
      // Stay alive until all have read their ids, so that no id is reused.
      ready.fetch_add(1);
      while (ready.load() < kThreads) boost::this_thread::yield();
    });
  }
  for (auto& t : threads) t.join();
  std::set<unsigned long> distinct{mainId};
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(systemIds[i], ids[i]);
    distinct.insert(ids[i]);
  }
  EXPECT_EQ(static_cast<std::size_t>(kThreads + 1), distinct.size());
}

}  // namespace
}  // namespace threads
}  // namespace vireo
