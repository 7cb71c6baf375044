// Tracing from several threads while another changes volumes: nothing blocks for good, no
// setting is lost, and each message leaves in one piece.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/debug/MemorySettingsStore.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/config/ClientIdentity.h"
#include "vireo/console/ConsoleLogFile.h"
#include "vireo/debug/Trace.h"
#include "vireo/debug/src/SettingsFiles.h"
#include "vireo/debug/src/TraceInternal.h"
#include "vireo/platform/DebugOutput.h"

namespace vireo {
namespace debug {
namespace {

// The preferences directory and the log live under a temporary home for the whole run.
testing::IsolatedEnvironment gEnvironment;

using testing::MemorySettingsStore;
using testing::ToStd;
using testing::ToU8;

std::mutex gOutputMutex;
std::vector<std::string> gPieces;

void RecordPiece(void*, char const* text, std::size_t length) {
  std::lock_guard<std::mutex> lock(gOutputMutex);
  gPieces.emplace_back(text, length);
}

constexpr int kTracers = 4;
constexpr int kCategoriesPerTracer = 8;
constexpr int kVolumeChanges = 150;

std::string TracerCategory(int tracer, int index) {
  return "T" + std::to_string(tracer) + "." + std::to_string(index);
}
std::string ChangedCategory(int index) { return "V" + std::to_string(index); }

TEST(TraceThreads, TracersAndAVolumeChangerShareTheSettings) {
  MemorySettingsStore store;
  impl::SetSettingsStore(&store);
  platform::SetDebugOutputSink(&RecordPiece, nullptr);
  // An empty log file switches the console log on: the default handler writes there too.
  config::SetCompanyName(utility::AsciiToUTF16("Quillon"));
  config::SetClientName(utility::AsciiToUTF16("Tern"));
  config::SetClientInternalVersion(utility::AsciiToUTF16("2.1"));
  std::filesystem::path const prefDir =
      std::filesystem::path(gEnvironment.ConfigHome()) / "Quillon" / "Tern" / "2.1";
  std::filesystem::create_directories(prefDir);
  std::ofstream(prefDir / "Tern Log.txt").close();

  std::atomic<bool> changerDone{false};
  std::vector<std::thread> threads;
  std::vector<int> passed(kTracers, 0);
  for (int t = 0; t < kTracers; ++t) {
    threads.emplace_back([t, &passed, &changerDone] {
      // Each category is queried until one query gets past the guard and the lock; queries
      // that meet another thread inside the filter answer false and are tried again.
      for (int c = 0; c < kCategoriesPerTracer; ++c) {
        utility::UTF8String const category = ToU8(TracerCategory(t, c));
        for (int tries = 0;; ++tries) {
          if (TraceEnabled(category, 1, false)) {
            ++passed[t];
            std::string const text = "message " + std::to_string(c) + " of tracer " +
                                     std::to_string(t) + std::string(40 * (c + 1), '.');
            Trace(reinterpret_cast<char const*>(
                impl::TraceLine(ToStd(category).c_str(), 1, text.c_str()).c_str()));
            break;
          }
          ASSERT_LT(tries, 10000000) << "a query never got through";
          std::this_thread::yield();
        }
      }
      // Keep querying while the changer runs, to contend with it.
      while (!changerDone.load()) TraceEnabled(ToU8(TracerCategory(t, 0)), 1, false);
    });
  }
  threads.emplace_back([&changerDone] {
    for (int i = 0; i < kVolumeChanges; ++i) {
      SetTraceVolume(ToU8(ChangedCategory(i)), i);
      if (i % 10 == 0) SetMasterTraceVolume(10 + i % 3);
    }
    SetMasterTraceVolume(10);
    changerDone.store(true);
  });
  for (auto& thread : threads) thread.join();

  for (int t = 0; t < kTracers; ++t) EXPECT_EQ(passed[t], kCategoriesPerTracer);

  // Every setting is in memory and in the last file written.
  proplist::PropList written;
  impl::ParseTraceDatabase(ToU8(store.File("Trace Database.txt")), written);
  std::set<std::string> expected{"Master"};
  for (int t = 0; t < kTracers; ++t)
    for (int c = 0; c < kCategoriesPerTracer; ++c) expected.insert(TracerCategory(t, c));
  for (int i = 0; i < kVolumeChanges; ++i) expected.insert(ChangedCategory(i));
  std::list<utility::UTF8String> names;
  GetTraceCategories(names);
  std::set<std::string> inMemory;
  for (auto const& n : names) inMemory.insert(ToStd(n));
  EXPECT_EQ(inMemory, expected);
  std::list<utility::UTF8String> fileNames;
  written.GetPropertyNames(fileNames);
  std::set<std::string> inFile;
  for (auto const& n : fileNames) inFile.insert(ToStd(n));
  EXPECT_EQ(inFile, expected);
  for (int i = 0; i < kVolumeChanges; ++i) {
    long volume = -1;
    proplist::PropList const* entry = written.GetSubList(ToU8(ChangedCategory(i)));
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->GetValue(ToU8("Volume"), volume));
    EXPECT_EQ(volume, i);
  }

  // Each traced message reached the debugger output whole, as one piece.
  std::set<std::string> seen;
  for (auto const& piece : gPieces) {
    std::size_t const close = piece.find('>');
    ASSERT_TRUE(piece.size() > 8 && piece[0] == '<' && close != std::string::npos) << piece;
    std::string const threadId = piece.substr(1, close - 1);
    ASSERT_EQ(threadId.find_first_not_of("0123456789"), std::string::npos) << piece;
    int const t = piece[close + 4] - '0', c = piece[close + 6] - '0';
    ASSERT_TRUE(t >= 0 && t < kTracers && c >= 0 && c < kCategoriesPerTracer) << piece;
    std::string const expected = "<" + threadId + "> <" + TracerCategory(t, c) +
                                 "> <1> message " + std::to_string(c) + " of tracer " +
                                 std::to_string(t) + std::string(40 * (c + 1), '.') + "\n";
    EXPECT_EQ(piece, expected);
    seen.insert(TracerCategory(t, c));
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kTracers * kCategoriesPerTracer));

  // The log holds each message whole after its tick stamp, never split by another write.
  console::ConsoleLogFile::Terminate();
  std::ifstream in(prefDir / "Tern Log.txt", std::ios::binary);
  std::string const log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t stamps = 0;
  for (std::size_t at = log.find("Ticks = "); at != std::string::npos;
       at = log.find("Ticks = ", at + 1))
    ++stamps;
  EXPECT_EQ(stamps, gPieces.size());
  for (auto const& piece : gPieces) EXPECT_NE(log.find("      " + piece), std::string::npos) << piece;

  platform::SetDebugOutputSink(nullptr, nullptr);
  ShutdownTraceManager();
  impl::SetSettingsStore(nullptr);
}

}  // namespace
}  // namespace debug
}  // namespace vireo
