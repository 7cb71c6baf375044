// The clock services the diagnostics need: a millisecond tick count for time stamps and the
// local date and time as text for log headers.
#ifndef VIREO_PLATFORM_TIME_H
#define VIREO_PLATFORM_TIME_H

#include <cstdint>
#include <string>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// Milliseconds of the monotonic clock, cut to 32 bits: it wraps after about 49.7 days, so
// differences are taken in unsigned 32-bit arithmetic. Never fails; thread-safe.
VIREO_API std::uint32_t TickCount();

// The current local date and time in the C library's "%c" form for the process's C locale
// (for example "Sun Dec  6 06:19:30 2026"). Empty if the time cannot be read. Thread-safe.
VIREO_API std::string LocalDateTimeText();

}  // namespace platform
}  // namespace vireo

#endif
