// TraceAllocatorStatistics asks the trace settings once per process and reports through the
// allocation-free trace stream. Built twice: with "WREN.Allocator" enabled at volume 1 in the
// settings, and disabled (VIREO_STATISTICS_DISABLED).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/debug/MemorySettingsStore.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/debug/Trace.h"
#include "vireo/platform/DebugOutput.h"
#include "vireo/platform/Process.h"
#include "vireo/utility/Allocator.h"

namespace vireo {
namespace utility {
namespace {

// The preferences directory and the log live under a temporary home for the whole run.
testing::IsolatedEnvironment gEnvironment;

std::vector<std::string> gPieces;
void RecordPiece(void*, char const* text, std::size_t length) { gPieces.emplace_back(text, length); }

#ifdef VIREO_STATISTICS_DISABLED
constexpr char kSettings[] = "WREN.Allocator\t1\t0\r\n";
constexpr bool kEnabled = false;
#else
constexpr char kSettings[] = "WREN.Allocator\t1\t1\r\n";
constexpr bool kEnabled = true;
#endif

TEST(TraceAllocatorStatistics, DecidesOnceAndReportsWithoutTheHandler) {
  testing::MemorySettingsStore store;
  testing::ScopedSettingsStore installed(&store);
  store.files["Trace Database.txt"] = kSettings;
  platform::SetDebugOutputSink(&RecordPiece, nullptr);

  std::string const line = "<" + std::to_string(platform::CurrentThreadId()) +
                           "> <WREN.Allocator> <1> Allocator is not being monitored. "
                           "Statistics are not available\n";
  TraceAllocatorStatistics();
  EXPECT_EQ(gPieces, kEnabled ? std::vector<std::string>{line} : std::vector<std::string>{});

  // Turning the category the other way does not change the process's decision.
  debug::SetTraceVolume(testing::ToU8("WREN.Allocator"), kEnabled ? 0 : 1);
  ASSERT_EQ(debug::TraceEnabled(testing::ToU8("WREN.Allocator"), 1, false), !kEnabled);
  gPieces.clear();
  TraceAllocatorStatistics();
  EXPECT_EQ(gPieces, kEnabled ? std::vector<std::string>{line} : std::vector<std::string>{});

  platform::SetDebugOutputSink(nullptr, nullptr);
  debug::ShutdownTraceManager();
}

}  // namespace
}  // namespace utility
}  // namespace vireo
