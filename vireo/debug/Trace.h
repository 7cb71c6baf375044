// The trace system's way to the debugger output. For now it holds DebugTrace alone, which the
// library's debug stream writes to; trace categories, volumes and handlers join it here.
#ifndef VIREO_DEBUG_TRACE_H
#define VIREO_DEBUG_TRACE_H

#include "vireo/Export.h"

namespace vireo {
namespace debug {

// Sends the NUL-terminated UTF-8 text straight to the debugger output, bypassing any trace
// handler and filter. Null sends nothing. Never throws.
VIREO_API void DebugTrace(char const* inMessage);

}  // namespace debug
}  // namespace vireo

#endif
