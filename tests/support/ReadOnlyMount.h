// Runs a check on a read-only file system without touching the machine's mounts: a child
// process takes a mount namespace of its own and mounts a read-only tmpfs there.
#ifndef VIREO_TESTS_SUPPORT_READONLYMOUNT_H
#define VIREO_TESTS_SUPPORT_READONLYMOUNT_H

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace vireo {
namespace testing {

int const kCannotMountReadOnly = 100;

// Mounts a read-only tmpfs on the existing directory `point` in a child and returns the exit
// status of `body()` run there (0..99), or kCannotMountReadOnly when this process may not
// mount (no privilege, no namespaces), or -1 when the child failed otherwise.
template <typename Body>
int RunOnReadOnlyMount(std::string const& point, Body body) {
  pid_t const child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", point.c_str(), "tmpfs", MS_RDONLY, nullptr) != 0)
      ::_exit(kCannotMountReadOnly);
    ::_exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace testing
}  // namespace vireo

#endif
