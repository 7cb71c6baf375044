// Introspection of the small-block allocator for the library's tests and diagnostics.
// Exported, but not installed: clients have no use for it.
#ifndef VIREO_UTILITY_SRC_SMALLBLOCKALLOCATORTESTING_H
#define VIREO_UTILITY_SRC_SMALLBLOCKALLOCATORTESTING_H

#include "vireo/Export.h"
#include "vireo/utility/AllocatorManager.h"

namespace vireo {
namespace utility {
namespace impl {

// The pool that serves inSize (4144: the page manager, 66352: the chunk manager), or null
// for sizes served by the system heap. Starts the allocator if needed.
VIREO_API PoolManager* ManagerForSize(unsigned int inSize);

// Runs hook on the thread that performs start-up, after it has claimed the start-up and
// before the pools exist. For tests of the first-use race; install before the first use.
VIREO_API void SetStartupHook(void (*hook)());

// True once start-up has completed.
VIREO_API bool IsStarted();

}  // namespace impl
}  // namespace utility
}  // namespace vireo

#endif
