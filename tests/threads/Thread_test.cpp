// Thread handles, thread groups, sleeping and yielding.
#include "vireo/threads/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

#include <boost/thread/thread.hpp>
#include <boost/thread/xtime.hpp>

#include "tests/support/RecordingErrorManager.h"
#include "tests/threads/ThreadTestSupport.h"

namespace vireo {
namespace threads {
namespace {

using testing::RecordingErrorManager;
using testing::ScopedErrorManager;
using testing::ThreadPeek;
using testing::ThrowingErrorManager;

// Threads that run until the test opens the gate, so that a group's size can be observed.
class Gate {
 public:
  void Wait() const {
    while (!open_.load(std::memory_order_acquire)) boost::this_thread::yield();
  }
  void Open() { open_.store(true, std::memory_order_release); }

 private:
  std::atomic<bool> open_{false};
};

// ---- Thread ---------------------------------------------------------------------------------

TEST(Thread, RunsItsFunctionAndJoins) {
  std::atomic<int> runs{0};
  Thread thread("worker", [&] { runs.fetch_add(1); });
  EXPECT_EQ("worker", thread.GetName());
  thread.Join();
  EXPECT_EQ(1, runs.load());
  thread.Join();  // a second join has nothing left to wait for
}

TEST(Thread, HandleWithoutFunctionHasNothingToJoin) {
  Thread idle("idle");
  EXPECT_EQ("idle", idle.GetName());
  ASSERT_NE(nullptr, ThreadPeek::Of(idle));
  EXPECT_FALSE(ThreadPeek::Of(idle)->joinable());
  idle.Join();
}

TEST(Thread, CopyConstructionTransfersTheThread) {
  Gate gate;
  Thread source("source", [&] { gate.Wait(); });
  boost::thread* const raw = ThreadPeek::Of(source);
  Thread target(source);
  EXPECT_EQ(nullptr, ThreadPeek::Of(source));
  EXPECT_EQ(raw, ThreadPeek::Of(target));
  EXPECT_EQ("source", target.GetName());
  source.Join();  // an emptied handle joins nothing
  gate.Open();
  target.Join();
  EXPECT_FALSE(raw->joinable());
}

TEST(Thread, AssignmentTransfersAndSelfAssignmentKeeps) {
  Thread first("first", [] {});
  Thread second("second", [] {});
  first.Join();
  boost::thread* const raw = ThreadPeek::Of(second);
  first = second;  // first's finished thread object is deleted
  EXPECT_EQ(nullptr, ThreadPeek::Of(second));
  EXPECT_EQ(raw, ThreadPeek::Of(first));
  EXPECT_EQ("second", first.GetName());

  Thread& alias = first;
  first = alias;
  EXPECT_EQ(raw, ThreadPeek::Of(first));
  first.Join();
}

// ---- ThreadGroup --------------------------------------------------------------------------

TEST(ThreadGroup, CreatedThreadsAreNumberedAndJoinedTogether) {
  Gate gate;
  std::atomic<int> finished{0};
  ThreadGroup group("G");
  std::unique_ptr<Thread> first(group.CreateThread([&] {
    gate.Wait();
    finished.fetch_add(1);
  }));
  std::unique_ptr<Thread> second(group.CreateThread([&] {
    gate.Wait();
    finished.fetch_add(1);
  }));
  ASSERT_TRUE(first && second);
  EXPECT_EQ("G created thread #1", first->GetName());
  EXPECT_EQ("G created thread #2", second->GetName());
  EXPECT_EQ(2, group.Size());
  EXPECT_EQ(0, finished.load());
  gate.Open();
  group.JoinAll();
  EXPECT_EQ(2, finished.load());
  EXPECT_EQ(2, group.Size());  // joined threads stay members
  // The handles are deleted before the group; they leave the threads to it.
}

TEST(ThreadGroup, EachGroupCountsItsOwnThreads) {
  ThreadGroup named("Render");
  ThreadGroup unnamed("");
  std::unique_ptr<Thread> a(named.CreateThread([] {}));
  std::unique_ptr<Thread> b(unnamed.CreateThread([] {}));
  std::unique_ptr<Thread> c(named.CreateThread([] {}));
  EXPECT_EQ("Render created thread #1", a->GetName());
  EXPECT_EQ(" created thread #1", b->GetName());
  EXPECT_EQ("Render created thread #2", c->GetName());
  named.JoinAll();
  unnamed.JoinAll();
}

TEST(ThreadGroup, AddedThreadIsJoinedByTheGroupAndCanBeTakenBack) {
  Gate gate;
  std::atomic<bool> done{false};
  ThreadGroup group("pool");
  Thread thread("own", [&] {
    gate.Wait();
    done = true;
  });
  group.AddThread(&thread);
  EXPECT_EQ(1, group.Size());
  gate.Open();
  group.JoinAll();
  EXPECT_TRUE(done.load());
  group.RemoveThread(&thread);
  EXPECT_EQ(0, group.Size());
  // The handle owns its thread again and deletes it; the group does not.
}

TEST(ThreadGroup, GroupDeletesAnAddedThreadAndTheHandleDoesNot) {
  std::unique_ptr<Thread> handle;
  {
    ThreadGroup group("pool");
    handle.reset(new Thread("own", [] {}));
    group.AddThread(handle.get());
    group.JoinAll();
  }
  // The group deleted the thread object; a second delete would be caught by the sanitizers.
  handle.reset();
}

TEST(ThreadGroup, AddIgnoresHandlesWithoutThread) {
  ThreadGroup group("pool");
  group.AddThread(nullptr);
  Thread source("source", [] {});
  Thread target(source);
  group.AddThread(&source);
  EXPECT_EQ(0, group.Size());
  target.Join();
}

TEST(ThreadGroup, AThreadJoinsAGroupOnlyOnce) {
  ThreadGroup group("pool");
  Thread thread("own", [] {});
  group.AddThread(&thread);
  group.AddThread(&thread);  // already there: listed (and later deleted) once only
  EXPECT_EQ(1, group.Size());
  group.JoinAll();
}

TEST(ThreadGroup, ThreadOfAnotherGroupIsNeitherAddedNorTaken) {
  ThreadGroup owner("owner");
  ThreadGroup other("other");
  std::unique_ptr<Thread> created(owner.CreateThread([] {}));
  other.AddThread(created.get());
  EXPECT_EQ(0, other.Size());
  other.RemoveThread(created.get());  // not other's to give back
  created.reset();                    // so the handle still leaves the thread to its owner
  EXPECT_EQ(1, owner.Size());
  owner.JoinAll();
}

TEST(ThreadGroup, CopyOfAGroupedHandleStillLeavesTheThreadToTheGroup) {
  ThreadGroup group("pool");
  std::unique_ptr<Thread> created(group.CreateThread([] {}));
  {
    Thread copy(*created);
    EXPECT_EQ("pool created thread #1", copy.GetName());
    copy.Join();
  }
  EXPECT_EQ(1, group.Size());
  group.JoinAll();
}

TEST(ThreadGroup, CopyAndAssignmentTransferTheGroupAndItsCounter) {
  std::unique_ptr<ThreadGroup> target;
  {
    ThreadGroup source("A");
    delete source.CreateThread([] {});
    target.reset(new ThreadGroup(source));
  }  // the emptied source is gone; the group lives on in the target
  EXPECT_EQ("A", target->GetName());
  EXPECT_EQ(1, target->Size());
  std::unique_ptr<Thread> next(target->CreateThread([] {}));
  EXPECT_EQ("A created thread #2", next->GetName());

  ThreadGroup assigned("B");
  delete assigned.CreateThread([] {});
  assigned.JoinAll();
  assigned = *target;  // B's own group (and its thread object) is deleted
  EXPECT_EQ("A", assigned.GetName());
  EXPECT_EQ(2, assigned.Size());
  ThreadGroup& alias = assigned;
  assigned = alias;
  EXPECT_EQ(2, assigned.Size());
  std::unique_ptr<Thread> third(assigned.CreateThread([] {}));
  EXPECT_EQ("A created thread #3", third->GetName());
  assigned.JoinAll();
}

// ---- sleeping and yielding -----------------------------------------------------------------

boost::xtime NowPlusMilliseconds(long ms) {
  boost::xtime t;
  boost::xtime_get(&t, boost::TIME_UTC_);
  t.nsec += ms * 1000000L;
  t.sec += t.nsec / 1000000000L;
  t.nsec %= 1000000000L;
  return t;
}

TEST(ThreadSleep, SleepsUntilTheGivenTime) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  auto const start = std::chrono::steady_clock::now();
  Thread::Sleep(NowPlusMilliseconds(150));
  auto const slept = std::chrono::steady_clock::now() - start;
  EXPECT_GE(slept, std::chrono::milliseconds(140));  // the wall clock may tick coarsely
  EXPECT_LT(slept, std::chrono::seconds(3));
  EXPECT_TRUE(manager.errors.empty());
}

TEST(ThreadSleep, TimeInThePastReturnsAtOnce) {
  auto const start = std::chrono::steady_clock::now();
  Thread::Sleep(NowPlusMilliseconds(-5000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(ThreadSleep, YieldTimeRaisesNothing) {
  ThrowingErrorManager manager;  // any raised error would throw out of the test
  ScopedErrorManager scope(&manager);
  std::atomic<bool> other{false};
  Thread thread("other", [&] { other = true; });
  while (!other.load()) Thread::YieldTime();
  thread.Join();
  EXPECT_TRUE(manager.errors.empty());
}

}  // namespace
}  // namespace threads
}  // namespace vireo
