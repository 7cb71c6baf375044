// The lock pair (recursive mutex and scoped lock) and the condition that waits with it.
#include "vireo/threads/RecursiveMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include <boost/thread/thread.hpp>

#include "tests/support/RecordingErrorManager.h"
#include "tests/threads/ThreadTestSupport.h"
#include "vireo/threads/src/Condition.h"

namespace vireo {
namespace threads {
namespace {

using testing::ExpectOnlyLockError;
using testing::HeldElsewhere;
using testing::MutexPeek;
using testing::RaisedError;
using testing::RecordingErrorManager;
using testing::ScopedErrorManager;
using testing::ThrowingErrorManager;
using Lock = ScopedLock<RecursiveMutex, boost::recursive_mutex>;

// ---- locking ----------------------------------------------------------------------------

TEST(ScopedLock, NestedLocksOfOneThreadEachReleaseTheirLevel) {
  RecursiveMutex m("nested");
  {
    Lock outer("outer", m, true);
    EXPECT_TRUE(outer.IsLocked());
    EXPECT_TRUE(HeldElsewhere(m));
    {
      Lock inner(m, true);  // the same thread takes it again without waiting
      EXPECT_TRUE(inner.IsLocked());
    }
    EXPECT_TRUE(HeldElsewhere(m));  // the outer level is still held
  }
  EXPECT_FALSE(HeldElsewhere(m));
}

TEST(ScopedLock, ReleasesWhenAnExceptionPasses) {
  RecursiveMutex m;
  try {
    Lock a("a", m, true);
    Lock b(m, true);
    throw std::runtime_error("leave the scope");
  } catch (std::runtime_error const&) {
  }
  EXPECT_FALSE(HeldElsewhere(m));
}

TEST(ScopedLock, LockAndUnlockOnDemandTakeOneLevelEach) {
  RecursiveMutex m;
  Lock lock(m, false);
  EXPECT_FALSE(lock.IsLocked());
  EXPECT_FALSE(HeldElsewhere(m));

  lock.Lock();
  lock.Lock();  // already held through this lock: no second level
  EXPECT_TRUE(lock.IsLocked());
  EXPECT_TRUE(HeldElsewhere(m));
  lock.Unlock();
  EXPECT_FALSE(lock.IsLocked());
  EXPECT_FALSE(HeldElsewhere(m));
  lock.Unlock();  // not held: nothing to release
  EXPECT_FALSE(HeldElsewhere(m));

  lock.Lock();  // held again at destruction: released then
}

TEST(ScopedLock, KeepsItsName) {
  RecursiveMutex m;
  Lock named("pool guard", m, false);
  Lock unnamed(m, false);
  EXPECT_EQ("pool guard", named.GetName());
  EXPECT_TRUE(named.IsNamed());
  EXPECT_TRUE(unnamed.GetName().empty());
  EXPECT_FALSE(unnamed.IsNamed());
  // An empty name given explicitly still makes a named lock.
  Lock emptyNamed("", m, false);
  EXPECT_TRUE(emptyNamed.IsNamed());
}

TEST(ScopedLock, ExcludesOtherThreads) {
  RecursiveMutex m("counter");
  long counter = 0;  // plain on purpose: only the lock protects it
  std::vector<boost::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        Lock outer(m, true);
        Lock inner("inner", m, true);
        long const seen = counter;
        boost::this_thread::yield();
        counter = seen + 1;
      }
    });
  }
  for (auto& w : workers) w.join();
  EXPECT_EQ(8000, counter);
}

// ---- ownership transfer --------------------------------------------------------------------

TEST(RecursiveMutex, CopyConstructionTransfersTheMutex) {
  RecursiveMutex source("source");
  boost::recursive_mutex* const raw = MutexPeek::Of(source);
  ASSERT_NE(nullptr, raw);
  RecursiveMutex target(source);
  EXPECT_EQ(nullptr, MutexPeek::Of(source));
  EXPECT_EQ(raw, MutexPeek::Of(target));
  Lock lock(target, true);
  EXPECT_TRUE(lock.IsLocked());
}

TEST(RecursiveMutex, AssignmentTransfersAndSelfAssignmentKeeps) {
  RecursiveMutex source;
  RecursiveMutex target;
  boost::recursive_mutex* const raw = MutexPeek::Of(source);
  target = source;  // target's own mutex is deleted (the leak checker would see it otherwise)
  EXPECT_EQ(nullptr, MutexPeek::Of(source));
  EXPECT_EQ(raw, MutexPeek::Of(target));

  RecursiveMutex& alias = target;
  target = alias;
  EXPECT_EQ(raw, MutexPeek::Of(target));

  source = target;  // an emptied wrapper can be assigned to again
  EXPECT_EQ(raw, MutexPeek::Of(source));
  EXPECT_EQ(nullptr, MutexPeek::Of(target));
}

TEST(RecursiveMutex, LockingATransferredMutexRaisesLockError) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  RecursiveMutex source;
  RecursiveMutex target(source);
  {
    Lock lock(source, true);
    EXPECT_FALSE(lock.IsLocked());
    ExpectOnlyLockError(manager);
  }
  EXPECT_FALSE(HeldElsewhere(target));
  {
    Lock named("named", source, false);
    named.Lock();
    EXPECT_FALSE(named.IsLocked());
  }
  EXPECT_EQ(2u, manager.errors.size());
}

TEST(RecursiveMutex, ThrowingManagerStopsTheLockConstruction) {
  ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  RecursiveMutex source;
  RecursiveMutex target(source);
  EXPECT_THROW(Lock("named", source, true), RaisedError);
  EXPECT_THROW(Lock(source, true), RaisedError);
  EXPECT_EQ(2u, manager.errors.size());
}

// ---- condition --------------------------------------------------------------------------

class ConditionTest : public ::testing::TestWithParam<bool> {};

TEST_P(ConditionTest, WaitReleasesTheLockAndTakesItBack) {
  RecursiveMutex m;
  Condition condition(GetParam(), "ready");
  bool waiting = false, ready = false, heldAfterWait = false;  // guarded by m
  boost::thread waiter([&] {
    Lock lock(m, true);
    waiting = true;
    while (!ready) condition.Wait(lock);
    heldAfterWait = lock.IsLocked() && HeldElsewhere(m);
  });
  // Taking the lock while the waiter is inside Wait proves the wait released it.
  for (;;) {
    Lock lock(m, true);
    if (waiting) {
      ready = true;
      condition.NotifyAll();
      break;
    }
  }
  waiter.join();
  EXPECT_TRUE(heldAfterWait);
  EXPECT_FALSE(HeldElsewhere(m));
}

TEST_P(ConditionTest, NotifyAllWakesEveryWaiter) {
  RecursiveMutex m;
  Condition condition(GetParam());
  int waiting = 0, woken = 0;  // guarded by m
  bool go = false;
  std::vector<boost::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] {
      Lock lock(m, true);
      ++waiting;
      while (!go) condition.Wait(lock);
      ++woken;
    });
  }
  for (;;) {
    Lock lock(m, true);
    if (waiting == 3) {
      go = true;
      condition.NotifyAll();
      break;
    }
  }
  for (auto& w : waiters) w.join();
  EXPECT_EQ(3, woken);
}

INSTANTIATE_TEST_SUITE_P(TracedAndUntraced, ConditionTest, ::testing::Bool());

}  // namespace
}  // namespace threads
}  // namespace vireo
