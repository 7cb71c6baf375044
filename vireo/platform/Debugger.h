// The debugger break: a breakpoint trap that stops only a process a debugger is attached to.
#ifndef VIREO_PLATFORM_DEBUGGER_H
#define VIREO_PLATFORM_DEBUGGER_H

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// True while a tracer (debugger) is attached to this process (TracerPid in /proc/self/status).
VIREO_API bool IsDebuggerAttached();

// Raises SIGTRAP when a debugger is attached; otherwise does nothing, so that a break
// requested in an undebugged process never kills it. Thread-safe.
VIREO_API void BreakIntoDebugger();

}  // namespace platform
}  // namespace vireo

#endif
