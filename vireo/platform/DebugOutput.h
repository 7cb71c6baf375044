// Debugger output: where the library's trace and diagnostic text goes. The sink is
// replaceable; the default writes the text unchanged to standard error.
#ifndef VIREO_PLATFORM_DEBUGOUTPUT_H
#define VIREO_PLATFORM_DEBUGOUTPUT_H

#include <cstddef>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// Receives UTF-8 text, `length` bytes (not NUL-terminated). Must be callable from any thread.
using DebugOutputSink = void (*)(void* context, char const* text, std::size_t length);

// Installs a sink with its context; a null sink restores the default (standard error).
// Install before other threads write debugger output.
VIREO_API void SetDebugOutputSink(DebugOutputSink sink, void* context);

// Sends the NUL-terminated UTF-8 text to the debugger output. Never throws.
VIREO_API void OutputDebugText(char const* text);
VIREO_API void OutputDebugText(char const* text, std::size_t length);

}  // namespace platform
}  // namespace vireo

#endif
