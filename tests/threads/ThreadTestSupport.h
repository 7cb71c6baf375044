// Helpers of the thread tests: a look at the Boost object a wrapper owns, and the two errors
// the wrappers raise.
#ifndef VIREO_TESTS_THREADS_THREADTESTSUPPORT_H
#define VIREO_TESTS_THREADS_THREADTESTSUPPORT_H

#include <gtest/gtest.h>

#include <boost/thread/thread.hpp>

#include "tests/support/RecordingErrorManager.h"
#include "vireo/threads/RecursiveMutex.h"
#include "vireo/threads/Thread.h"

namespace vireo {
namespace testing {

constexpr char kNotEnoughThreadResources[] =
    "$$$/wren/threads/Error/NotEnoughThreadResources=Not enough thread resources.";
constexpr char kFailedToAcquireThreadLock[] =
    "$$$/wren/threads/Error/FailedToAcquireThreadLock=Failure to acquire thread lock.";

// The owned Boost objects, through the wrappers' protected accessors.
struct MutexPeek : threads::RecursiveMutex {
  static boost::recursive_mutex* Of(threads::RecursiveMutex& m) {
    return (m.*&MutexPeek::GetMutex)();
  }
};
struct ThreadPeek : threads::Thread {
  static boost::thread* Of(threads::Thread& t) { return (t.*&ThreadPeek::GetThread)(); }
};

// Whether another thread would have to wait for `m` right now.
inline bool HeldElsewhere(threads::RecursiveMutex& m) {
  bool took = false;
  boost::thread probe([&] {
    boost::recursive_mutex* raw = MutexPeek::Of(m);
    took = raw->try_lock();
    if (took) raw->unlock();
  });
  probe.join();
  return !took;
}

// One of the two thread errors: level 1, component 106, deferrable, four empty values.
inline void ExpectThreadError(RecordedError const& e, char const* key, long code) {
  EXPECT_EQ(config::kErrorLevelNonFatal, e.level);
  EXPECT_EQ(key, e.key);
  EXPECT_EQ(106u, e.component);
  EXPECT_EQ(code, e.code);
  EXPECT_TRUE(e.deferrable);
  for (auto const& v : e.values) EXPECT_EQ(config::kNone, v.kind);
}

inline void ExpectOnlyLockError(RecordingErrorManager const& manager) {
  ASSERT_EQ(1u, manager.errors.size());
  ExpectThreadError(manager.errors[0], kFailedToAcquireThreadLock, 21);
}

inline void ExpectOnlyResourceError(RecordingErrorManager const& manager) {
  ASSERT_EQ(1u, manager.errors.size());
  ExpectThreadError(manager.errors[0], kNotEnoughThreadResources, 20);
}

}  // namespace testing
}  // namespace vireo

#endif
