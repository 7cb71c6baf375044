// Facts about the running process and thread.
#ifndef VIREO_PLATFORM_PROCESS_H
#define VIREO_PLATFORM_PROCESS_H

#include <string>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// The operating system's id of the calling thread (gettid). Never fails.
VIREO_API unsigned long CurrentThreadId();

// The process's command line (/proc/self/cmdline): the arguments joined by single spaces, an
// argument that is empty or holds white space or a quote put in double quotes (with inner
// quotes and backslashes escaped). Empty when it cannot be read.
VIREO_API std::string ProcessCommandLine();

// Ends the process at once with `exitCode`, running no exit handlers and no destructors.
[[noreturn]] VIREO_API void TerminateProcess(int exitCode);

}  // namespace platform
}  // namespace vireo

#endif
