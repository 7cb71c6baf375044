// A switch of the UTF conversions for the library's tests, so that the paths for processors
// without SSSE3 are tested on processors that have it. Exported, but not installed.
#ifndef VIREO_UTILITY_SRC_UTF16STRINGTESTING_H
#define VIREO_UTILITY_SRC_UTF16STRINGTESTING_H

#include "vireo/Export.h"

namespace vireo {
namespace utility {
namespace impl {

// Allows (the default) or forbids the conversion paths that need SSSE3; they are taken only
// where the processor has it. Returns the previous setting. Results never depend on it.
// Not thread-safe: set it while no conversion runs.
VIREO_API bool SetShufflePathsEnabled(bool enabled);

}  // namespace impl
}  // namespace utility
}  // namespace vireo

#endif
