// Checks that need a process of their own: on a read-only file system without touching the
// machine's mounts (a child takes a mount namespace of its own and mounts a read-only tmpfs),
// and as a user that permission bits bind, when the tests run as root.
#ifndef VIREO_TESTS_SUPPORT_READONLYMOUNT_H
#define VIREO_TESTS_SUPPORT_READONLYMOUNT_H

#include <grp.h>
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

int const kCannotDropPrivileges = 101;

// Runs `body()` in a child whose current directory is `directory`, as the user and group
// nobody (65534) when this process is root, and returns its exit status (0..99);
// kCannotDropPrivileges when that fails, -1 when the child failed otherwise. Relative paths
// from `directory` then work whatever the permissions of its ancestors.
template <typename Body>
int RunWherePermissionsBind(std::string const& directory, Body body) {
  pid_t const child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::chdir(directory.c_str()) != 0) ::_exit(kCannotDropPrivileges);
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(kCannotDropPrivileges);
    ::_exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace testing
}  // namespace vireo

#endif
