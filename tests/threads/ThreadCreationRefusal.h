// Runs test code on a helper thread that the kernel forbids to start threads: a seccomp filter
// makes clone and clone3 fail with EAGAIN, which is what thread creation meets when the
// system is out of thread resources. The filter binds the helper thread only, so the rest of
// the test process keeps working.
#ifndef VIREO_TESTS_THREADS_THREADCREATIONREFUSAL_H
#define VIREO_TESTS_THREADS_THREADCREATIONREFUSAL_H

#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

#include <cerrno>
#include <cstddef>
#include <thread>

namespace vireo {
namespace testing {

// Installs the filter on the calling thread; false when the system does not allow it.
inline bool RefuseThreadCreationOnThisThread() {
#if defined(__x86_64__)
  constexpr unsigned kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
  constexpr unsigned kArch = AUDIT_ARCH_AARCH64;
#else
  return false;
#endif
#ifndef __NR_clone3
  constexpr int kClone3 = -1;
#else
  constexpr int kClone3 = __NR_clone3;
#endif
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone, 2, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(kClone3), 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EAGAIN & SECCOMP_RET_DATA)),
  };
  sock_fprog program = {static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
  return ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// Runs `body` on a helper thread that cannot start threads and waits for it. Answers false
// (without running `body`) when the filter cannot be installed.
template <class Body>
bool RunWhereThreadsCannotStart(Body&& body) {
  bool installed = false;
  std::thread helper([&] {
    installed = RefuseThreadCreationOnThisThread();
    if (installed) body();
  });
  helper.join();
  return installed;
}

}  // namespace testing
}  // namespace vireo

#endif
