// What the library's own tracing shares: the form of a traced line, and a reset for tests.
#ifndef VIREO_DEBUG_SRC_TRACEINTERNAL_H
#define VIREO_DEBUG_SRC_TRACEINTERNAL_H

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace debug {
namespace impl {

// "<thread id> <category> <volume> " followed by the text and a line feed, unless the text
// already ends with one.
VIREO_API utility::UTF8String TraceLine(char const* category, long volume, char const* text);

// For tests: frees the settings without writing them and forgets the master setting, so that
// the next use starts as the process's first did.
VIREO_API void ResetTraceManagerForTesting();

}  // namespace impl
}  // namespace debug
}  // namespace vireo

#endif
