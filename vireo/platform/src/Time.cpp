// Tick count from CLOCK_MONOTONIC, local time through localtime_r and strftime.
#include "vireo/platform/Time.h"

#include <time.h>

namespace vireo {
namespace platform {

std::uint32_t TickCount() {
  timespec now;
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
  std::uint64_t const ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

std::string LocalDateTimeText() {
  time_t const now = time(nullptr);
  tm local;
  if (now == static_cast<time_t>(-1) || !localtime_r(&now, &local)) return std::string();
  char buffer[128];
  std::size_t const length = strftime(buffer, sizeof buffer, "%c", &local);
  return std::string(buffer, length);
}

}  // namespace platform
}  // namespace vireo
