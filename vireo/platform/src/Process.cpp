// Thread id and process termination.
#include "vireo/platform/Process.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace vireo {
namespace platform {

unsigned long CurrentThreadId() {
  // Not cached: a cached id would be wrong in the child after fork().
  return static_cast<unsigned long>(::syscall(SYS_gettid));
}

std::string ProcessCommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string const raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string line;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    std::string const arg = raw.substr(start, end - start);
    if (!line.empty()) line += ' ';
    if (!arg.empty() && arg.find_first_of(" \t\n\"") == std::string::npos) {
      line += arg;
    } else {
      line += '"';
      for (char c : arg) {
        if (c == '"' || c == '\\') line += '\\';
        line += c;
      }
      line += '"';
    }
    start = end + 1;
  }
  return line;
}

void TerminateProcess(int exitCode) { ::_exit(exitCode); }

}  // namespace platform
}  // namespace vireo
