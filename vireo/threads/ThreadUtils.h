// Call-once and the current thread's id.
#ifndef VIREO_THREADS_THREADUTILS_H
#define VIREO_THREADS_THREADUTILS_H

#include "vireo/Export.h"

namespace vireo {
namespace threads {

// The value a once-flag must hold before its first CallOnce.
constexpr long kOnceInit = 0;

// Runs inFunction exactly once among all callers sharing ioFlag (which starts at kOnceInit);
// callers arriving meanwhile wait until it has finished. If inFunction throws, the flag is
// reset, the exception passes to that caller, and a later call tries again.
VIREO_API void CallOnce(void (*inFunction)(), long& ioFlag);

// The operating system's id of the calling thread.
VIREO_API unsigned long GetCurrentThreadID();

}  // namespace threads
}  // namespace vireo

#endif
