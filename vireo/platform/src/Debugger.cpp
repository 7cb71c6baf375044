// Debugger detection through /proc and the SIGTRAP break.
#include "vireo/platform/Debugger.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace vireo {
namespace platform {

bool IsDebuggerAttached() {
  int const fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[4096];
  ssize_t const n = ::read(fd, buffer, sizeof buffer - 1);
  ::close(fd);
  if (n <= 0) return false;
  buffer[n] = '\0';
  char const* line = std::strstr(buffer, "TracerPid:");
  if (!line) return false;
  return std::strtol(line + std::strlen("TracerPid:"), nullptr, 10) != 0;
}

void BreakIntoDebugger() {
  if (IsDebuggerAttached()) ::raise(SIGTRAP);
}

}  // namespace platform
}  // namespace vireo
