// Facts about the running process and thread.
#ifndef VIREO_PLATFORM_PROCESS_H
#define VIREO_PLATFORM_PROCESS_H

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// The operating system's id of the calling thread (gettid). Never fails.
VIREO_API unsigned long CurrentThreadId();

// Ends the process at once with `exitCode`, running no exit handlers and no destructors.
[[noreturn]] VIREO_API void TerminateProcess(int exitCode);

}  // namespace platform
}  // namespace vireo

#endif
