// Thread id and process termination.
#include "vireo/platform/Process.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace vireo {
namespace platform {

unsigned long CurrentThreadId() {
  // Not cached: a cached id would be wrong in the child after fork().
  return static_cast<unsigned long>(::syscall(SYS_gettid));
}

void TerminateProcess(int exitCode) { ::_exit(exitCode); }

}  // namespace platform
}  // namespace vireo
