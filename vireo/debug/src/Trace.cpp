// The trace system's direct path to the debugger output.
#include "vireo/debug/Trace.h"

#include "vireo/platform/DebugOutput.h"

namespace vireo {
namespace debug {

void DebugTrace(char const* inMessage) { platform::OutputDebugText(inMessage); }

}  // namespace debug
}  // namespace vireo
