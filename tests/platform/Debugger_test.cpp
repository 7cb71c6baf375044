// Debugger detection and break, thread ids and process termination.
#include "vireo/platform/Debugger.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

#include "vireo/platform/Process.h"

namespace vireo {
namespace platform {
namespace {

TEST(Debugger, NoDebuggerUnderTheTestRunner) {
  EXPECT_FALSE(IsDebuggerAttached());
  // Without a debugger the break must not stop or kill the process.
  BreakIntoDebugger();
  BreakIntoDebugger();
}

// A child process that its parent traces: the child must see the tracer, and its break must
// stop it with SIGTRAP for the tracer to handle.
TEST(Debugger, TracedProcessSeesItsDebuggerAndBreaks) {
  int report[2];
  ASSERT_EQ(0, ::pipe(report));
  pid_t const child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(report[0]);
    char answer = 'n';  // ptrace not allowed here
    if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0) answer = IsDebuggerAttached() ? 'y' : 'f';
    ::write(report[1], &answer, 1);
    ::close(report[1]);
    if (answer == 'y') BreakIntoDebugger();
    ::_exit(0);
  }
  ::close(report[1]);
  char answer = 0;
  ASSERT_EQ(1, ::read(report[0], &answer, 1));
  ::close(report[0]);
  int status = 0;
  if (answer == 'n') {
    ::waitpid(child, &status, 0);
    GTEST_SKIP() << "this system does not allow tracing";
  }
  EXPECT_EQ('y', answer) << "the traced child did not see its tracer";
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  if (answer == 'y') {
    ASSERT_TRUE(WIFSTOPPED(status)) << status;
    EXPECT_EQ(SIGTRAP, WSTOPSIG(status));
    // Continue without delivering the trap, as a debugger would after the break.
    ASSERT_EQ(0, ::ptrace(PTRACE_CONT, child, nullptr, nullptr));
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
  }
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(0, WEXITSTATUS(status));
}

TEST(Process, CurrentThreadIdIsTheKernelThreadId) {
  EXPECT_EQ(static_cast<unsigned long>(::getpid()), CurrentThreadId());
  constexpr int kThreads = 3;
  std::vector<unsigned long> ids(kThreads), kernelIds(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] {
      ids[i] = CurrentThreadId();
      kernelIds[i] = static_cast<unsigned long>(::syscall(SYS_gettid));
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(kernelIds, ids);
  // Threads that ran at the same time never share an id; these may have, so only the main
  // thread's id is known to differ from all of them.
  for (unsigned long id : ids) EXPECT_NE(CurrentThreadId(), id);
}

TEST(Process, IdInAForkedChildIsTheChildsOwn) {
  int report[2];
  ASSERT_EQ(0, ::pipe(report));
  unsigned long const parentId = CurrentThreadId();
  pid_t const child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    unsigned long const id = CurrentThreadId();
    ::write(report[1], &id, sizeof id);
    ::_exit(0);
  }
  unsigned long childId = 0;
  ASSERT_EQ(static_cast<ssize_t>(sizeof childId), ::read(report[0], &childId, sizeof childId));
  ::close(report[0]);
  ::close(report[1]);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(static_cast<unsigned long>(child), childId);
  EXPECT_NE(parentId, childId);
}

void SayGoodbye() { std::fputs("exit handler ran\n", stderr); }

TEST(ProcessDeathTest, TerminateEndsAtOnceWithTheCodeAndNoExitHandlers) {
  EXPECT_EXIT(
      {
        std::atexit(SayGoodbye);
        std::fputs("before\n", stderr);
        TerminateProcess(3);
      },
      ::testing::ExitedWithCode(3), ::testing::Not(::testing::HasSubstr("exit handler ran")));
  // The same handler does run on an ordinary exit, so the check above can fail.
  EXPECT_EXIT(
      {
        std::atexit(SayGoodbye);
        std::exit(3);
      },
      ::testing::ExitedWithCode(3), ::testing::HasSubstr("exit handler ran"));
}

}  // namespace
}  // namespace platform
}  // namespace vireo
