// What the library's own tracing shares: the form of a traced line, and the way from the
// default handler into the console log.
#ifndef VIREO_DEBUG_SRC_TRACEINTERNAL_H
#define VIREO_DEBUG_SRC_TRACEINTERNAL_H

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace debug {
namespace impl {

// "<thread id> <category> <volume> " followed by the text and a line feed.
VIREO_API utility::UTF8String TraceLine(char const* category, long volume, char const* text);

// Where the default handler sends each message after the debugger output; null sends it
// nowhere else. Install before other threads trace.
using TraceLogWriter = void (*)(utility::UTF8String const& message);
VIREO_API void SetTraceLogWriter(TraceLogWriter writer);

// For tests: frees the settings without writing them and forgets the master setting, so that
// the next use starts as the process's first did.
VIREO_API void ResetTraceManagerForTesting();

}  // namespace impl
}  // namespace debug
}  // namespace vireo

#endif
