// How the threading library's failures become raised errors: the call wrapper itself, and the
// wrappers meeting a system that refuses to start threads.
#include "vireo/threads/src/CallWrapper.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>

#include <boost/thread/thread.hpp>

#include "tests/support/RecordingErrorManager.h"
#include "tests/threads/ThreadCreationRefusal.h"
#include "tests/threads/ThreadTestSupport.h"
#include "vireo/threads/Thread.h"

namespace vireo {
namespace threads {
namespace {

using testing::ExpectOnlyLockError;
using testing::ExpectOnlyResourceError;
using testing::RaisedError;
using testing::RecordingErrorManager;
using testing::RunWhereThreadsCannotStart;
using testing::ScopedErrorManager;
using testing::ThreadPeek;
using testing::ThrowingErrorManager;

// ---- the wrapper ----------------------------------------------------------------------------

TEST(CallWrapped, PassesResultsThroughWithoutRaising) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  EXPECT_EQ(17, impl::CallWrapped([] { return 17; }));
  bool ran = false;
  impl::CallWrapped([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(manager.errors.empty());
}

TEST(CallWrapped, ThreadResourceErrorIsRaisedAndADefaultReturned) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  int* const result = impl::CallWrapped([]() -> int* { throw boost::thread_resource_error(); });
  EXPECT_EQ(nullptr, result);
  ExpectOnlyResourceError(manager);
}

TEST(CallWrapped, LockErrorIsRaisedAndADefaultReturned) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  long const result = impl::CallWrapped([]() -> long { throw boost::lock_error(); });
  EXPECT_EQ(0, result);
  ExpectOnlyLockError(manager);
}

TEST(CallWrapped, OtherExceptionsPassUnchanged) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  EXPECT_THROW(impl::CallWrapped([] { throw std::runtime_error("other"); }), std::runtime_error);
  EXPECT_THROW(impl::CallWrapped([] { throw boost::thread_interrupted(); }),
               boost::thread_interrupted);
  // Siblings of the two translated errors are not translated.
  EXPECT_THROW(impl::CallWrapped([] { throw boost::condition_error(); }), boost::condition_error);
  EXPECT_TRUE(manager.errors.empty());
}

TEST(CallWrapped, ExceptionOfTheManagerReachesTheCaller) {
  ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  try {
    impl::CallWrapped([] { throw boost::lock_error(); });
    FAIL() << "the raised error did not leave the wrapper";
  } catch (RaisedError const& e) {
    EXPECT_STREQ(testing::kFailedToAcquireThreadLock, e.what());
    EXPECT_EQ(21, e.code);
  }
}

TEST(CallWrapped, WithoutManagerTheTranslationFailsLoudly) {
  EXPECT_THROW(impl::CallWrapped([] { throw boost::thread_resource_error(); }), std::logic_error);
}

// ---- the threading library's own refusals ---------------------------------------------------

TEST(ThreadResources, ThreadJoiningItselfRaisesNotEnoughThreadResources) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  std::atomic<Thread*> self{nullptr};
  Thread thread("self", [&] {
    Thread* handle;
    while (!(handle = self.load())) boost::this_thread::yield();
    handle->Join();  // Boost refuses with a resource error (it would deadlock)
  });
  self = &thread;
  thread.Join();
  ExpectOnlyResourceError(manager);
}

// ---- a system that cannot start threads ----------------------------------------------------

TEST(ThreadResources, ThreadThatCannotStartRaisesNotEnoughThreadResources) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  std::atomic<bool> ran{false};
  bool const refused = RunWhereThreadsCannotStart([&] {
    Thread thread("refused", [&] { ran = true; });
    EXPECT_EQ(nullptr, ThreadPeek::Of(thread));
    thread.Join();  // nothing to join
  });
  if (!refused) GTEST_SKIP() << "seccomp filters are not available here";
  EXPECT_FALSE(ran.load());
  ExpectOnlyResourceError(manager);
}

TEST(ThreadResources, GroupThatCannotStartAThreadGivesNoHandle) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  ThreadGroup group("G");
  bool const refused = RunWhereThreadsCannotStart([&] {
    EXPECT_EQ(nullptr, group.CreateThread([] {}));
    EXPECT_EQ(0, group.Size());
  });
  if (!refused) GTEST_SKIP() << "seccomp filters are not available here";
  ExpectOnlyResourceError(manager);
  // The refused thread was not counted.
  std::unique_ptr<Thread> first(group.CreateThread([] {}));
  ASSERT_TRUE(first);
  EXPECT_EQ("G created thread #1", first->GetName());
  group.JoinAll();
}

TEST(ThreadResources, ThrowingManagerStopsTheThreadConstruction) {
  ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  bool threw = false;
  bool const refused = RunWhereThreadsCannotStart([&] {
    try {
      Thread thread("refused", [] {});
    } catch (RaisedError const& e) {
      threw = e.code == 20;
    }
  });
  if (!refused) GTEST_SKIP() << "seccomp filters are not available here";
  EXPECT_TRUE(threw);
}

}  // namespace
}  // namespace threads
}  // namespace vireo
