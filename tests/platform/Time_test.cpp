// The tick count and the local date and time text. Sets TZ, so it runs in a process of its own.
#include "vireo/platform/Time.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace vireo {
namespace platform {
namespace {

std::uint64_t MonotonicMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1000000u;
}

TEST(TickCount, FollowsTheMonotonicClockInMillisecondsCutTo32Bits) {
  std::uint64_t const before = MonotonicMs();
  std::uint32_t const ticks = TickCount();
  std::uint64_t const after = MonotonicMs();
  // Unsigned 32-bit differences survive the wrap.
  EXPECT_LE(static_cast<std::uint32_t>(ticks - static_cast<std::uint32_t>(before)),
            static_cast<std::uint32_t>(after - before));

  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  std::uint32_t const elapsed = TickCount() - ticks;
  EXPECT_GE(elapsed, 60u);
  EXPECT_LT(elapsed, 10000u);
}

TEST(LocalDateTime, IsTheCFormOfTheLocalTime) {
  // Three and a half hours east of UTC, so that a text made from UTC, or with the wrong
  // fields, shows.
  setenv("TZ", "ABC-3:30", 1);
  tzset();
  time_t const before = time(nullptr);
  std::string const text = LocalDateTimeText();
  time_t const after = time(nullptr);

  bool matched = false;
  for (time_t t = before; t <= after && !matched; ++t) {
    time_t shifted = t + 3 * 3600 + 30 * 60;
    tm utc;
    gmtime_r(&shifted, &utc);
    char expected[128];
    strftime(expected, sizeof expected, "%a %b %e %H:%M:%S %Y", &utc);
    matched = text == expected;
  }
  EXPECT_TRUE(matched) << "got '" << text << "'";
}

}  // namespace
}  // namespace platform
}  // namespace vireo
