// The trace manager over a settings store in memory: the filter, volumes, the master setting,
// the file written after each change, shutdown, the query guard and the handlers.
#include <gtest/gtest.h>

#include <list>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/debug/MemorySettingsStore.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/debug/Trace.h"
#include "vireo/debug/src/TraceInternal.h"
#include "vireo/platform/DebugOutput.h"
#include "vireo/platform/Process.h"

namespace vireo {
namespace debug {
namespace {

// The preferences directory and the log live under a temporary home for the whole run.
testing::IsolatedEnvironment gEnvironment;

using testing::MemorySettingsStore;
using testing::ToStd;
using testing::ToU8;

constexpr char kFile[] = "Trace Database.txt";

class TraceManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    impl::SetSettingsStore(&store_);
    impl::ResetTraceManagerForTesting();
  }
  void TearDown() override {
    impl::ResetTraceManagerForTesting();
    impl::SetSettingsStore(nullptr);
  }
  std::string File() { return store_.File(kFile); }

  MemorySettingsStore store_;
};

TEST_F(TraceManagerTest, NewCategoryIsCreatedWithDefaultsAndWritten) {
  EXPECT_TRUE(TraceEnabled(ToU8("X"), 5, false));
  EXPECT_EQ(File(), "Master\t1\t10\nX\t1\t5\n");
  EXPECT_FALSE(TraceEnabled(ToU8("X"), 6, false));
  EXPECT_EQ(GetTraceVolume(ToU8("X")), 5);
}

TEST_F(TraceManagerTest, MessagePassesOnlyUnderBothCeilings) {
  store_.files[kFile] = "Loud\t1\t20\r\nQuiet\t1\t2\r\nOff\t0\t20\r\nTwo\t2\t20\r\nWord\ttrue\t20\r\n";
  struct Case {
    char const* category;
    long volume;
    bool passes;
  };
  Case const cases[] = {
      {"Loud", 10, true},   // equal to the master volume
      {"Loud", 11, false},  // above the master even though the category allows 20
      {"Loud", -5, true},   {"Quiet", 2, true},  {"Quiet", 3, false},
      {"Off", 0, false},    {"Two", 1, false},   {"Word", 1, false},
      {"New", 5, true},     {"New", 6, false},
  };
  for (auto const& c : cases)
    EXPECT_EQ(TraceEnabled(ToU8(c.category), c.volume, true), c.passes)
        << c.category << " at " << c.volume;
}

TEST_F(TraceManagerTest, DisabledMasterSilencesEverything) {
  store_.files[kFile] = "Master\t0\t10\r\nX\t1\t5\r\n";
  EXPECT_FALSE(TraceEnabled(ToU8("X"), 1, false));
  EXPECT_FALSE(TraceEnabled(ToU8("Y"), 0, false));
  EXPECT_EQ(store_.writes.size(), 0u) << "nothing changed, nothing written";
}

TEST_F(TraceManagerTest, MasterVolumeChangesKeepItsEnabledFlag) {
  store_.files[kFile] = "Master\t0\t10\r\n";
  SetMasterTraceVolume(3);
  EXPECT_EQ(GetMasterTraceVolume(), 3);
  EXPECT_EQ(File(), "Master\t0\t3\n");

  impl::ResetTraceManagerForTesting();
  store_.files[kFile] = "";
  SetMasterTraceVolume(3);
  EXPECT_EQ(File(), "Master\t1\t3\n");
  EXPECT_TRUE(TraceEnabled(ToU8("X"), 3, false));
  EXPECT_FALSE(TraceEnabled(ToU8("X"), 4, false)) << "the category allows 5, the master 3";
}

TEST_F(TraceManagerTest, SetTraceVolumeKeepsEnabledFlagAndWrites) {
  store_.files[kFile] = "Off\t0\t5\r\n";
  SetTraceVolume(ToU8("Off"), 9);
  SetTraceVolume(ToU8("Fresh"), 1);
  EXPECT_EQ(File(), "Fresh\t1\t1\nOff\t0\t9\n");
  EXPECT_EQ(GetTraceVolume(ToU8("Off")), 9);
  EXPECT_FALSE(TraceEnabled(ToU8("Off"), 1, false));
  EXPECT_TRUE(TraceEnabled(ToU8("Fresh"), 1, false));
}

TEST_F(TraceManagerTest, GetTraceVolumeCreatesTheCategory) {
  EXPECT_EQ(GetTraceVolume(ToU8("Y")), 5);
  EXPECT_EQ(File(), "Y\t1\t5\n");
}

TEST_F(TraceManagerTest, CategoriesIncludeMaster) {
  TraceEnabled(ToU8("X"), 1, false);
  std::list<utility::UTF8String> names{ToU8("left over")};
  GetTraceCategories(names);
  std::vector<std::string> got;
  for (auto const& n : names) got.push_back(ToStd(n));
  EXPECT_EQ(got, (std::vector<std::string>{"Master", "X"}));
}

TEST_F(TraceManagerTest, ShutdownWritesOnceMoreAndLaterUseReadsAgain) {
  store_.files[kFile] = "A\t1\t3\r\n";
  EXPECT_EQ(GetTraceVolume(ToU8("A")), 3);
  EXPECT_EQ(store_.reads[kFile], 1);
  std::size_t const writes = store_.writes.size();
  ShutdownTraceManager();
  EXPECT_EQ(store_.writes.size(), writes + 1);
  EXPECT_EQ(File(), "A\t1\t3\n");

  store_.files[kFile] = "A\t1\t7\n";  // edited between uses
  EXPECT_EQ(GetTraceVolume(ToU8("A")), 7);
  EXPECT_EQ(store_.reads[kFile], 2);
  ShutdownTraceManager();
  ShutdownTraceManager();  // nothing left to write
  EXPECT_EQ(store_.writes.size(), writes + 2);
}

TEST_F(TraceManagerTest, MasterCacheOutlivesShutdown) {
  SetMasterTraceVolume(4);
  ShutdownTraceManager();
  store_.files[kFile] = "Master\t1\t9\n";
  EXPECT_EQ(GetMasterTraceVolume(), 4);
}

TEST_F(TraceManagerTest, QueryDuringSaveAnswersFalseWithoutWaiting) {
  std::vector<bool> nested;
  store_.onWrite = [&] { nested.push_back(TraceEnabled(ToU8("Inner"), 1, false)); };
  EXPECT_TRUE(TraceEnabled(ToU8("Outer"), 1, false));
  ASSERT_FALSE(nested.empty());
  for (bool answer : nested) EXPECT_FALSE(answer);
  store_.onWrite = nullptr;
  EXPECT_TRUE(TraceEnabled(ToU8("Inner"), 1, false)) << "the guard is clear again";
}

TEST_F(TraceManagerTest, ReadErrorsPropagateAndTheNextUseTriesAgain) {
  store_.files[kFile] = "A\t1\t3\n";
  store_.failReads = true;
  EXPECT_THROW(TraceEnabled(ToU8("A"), 1, false), std::runtime_error);
  EXPECT_THROW(GetTraceVolume(ToU8("A")), std::runtime_error);
  store_.failReads = false;
  EXPECT_EQ(GetTraceVolume(ToU8("A")), 3);
  EXPECT_TRUE(TraceEnabled(ToU8("A"), 3, false)) << "the guard was released by the failure";
}

TEST_F(TraceManagerTest, WriteErrorsPropagateAndTheChangeStaysInMemory) {
  EXPECT_TRUE(TraceEnabled(ToU8("A"), 1, false));
  store_.failWrites = true;
  EXPECT_THROW(SetTraceVolume(ToU8("A"), 8), std::runtime_error);
  EXPECT_THROW(ShutdownTraceManager(), std::runtime_error);
  store_.failWrites = false;
  // The failed shutdown still freed the settings; the file holds the last good write.
  EXPECT_EQ(GetTraceVolume(ToU8("A")), 5);
}

// Handlers ------------------------------------------------------------------------------

class RecordingHandler : public TraceHandler {
 public:
  void Write(utility::UTF8String const& message) override { messages.push_back(ToStd(message)); }
  std::vector<std::string> messages;
};

std::vector<std::string> gDebugOutput;

void RecordDebugOutput(void*, char const* text, std::size_t length) {
  gDebugOutput.emplace_back(text, length);
}

TEST(TraceHandlers, InstalledHandlerReceivesMessagesAndRemovalFallsBack) {
  platform::SetDebugOutputSink(&RecordDebugOutput, nullptr);
  RecordingHandler handler;

  InstallMasterTraceHandler(&handler);
  EXPECT_EQ(GetMasterTraceHandler(), &handler);
  Trace("one\n");
  Trace(nullptr);
  EXPECT_EQ(handler.messages, std::vector<std::string>{"one\n"});
  EXPECT_TRUE(gDebugOutput.empty());

  RemoveMasterTraceHandler();
  Trace("two\n");
  EXPECT_EQ(gDebugOutput, std::vector<std::string>{"two\n"});
  TraceHandler* const fallback = GetMasterTraceHandler();
  EXPECT_NE(fallback, &handler);
  EXPECT_EQ(GetMasterTraceHandler(), fallback);

  InstallMasterTraceHandler(&handler);
  DebugTrace("direct");
  EXPECT_EQ(gDebugOutput.back(), "direct");
  EXPECT_EQ(handler.messages.size(), 1u) << "DebugTrace bypasses the handler";
  RemoveMasterTraceHandler();

  platform::SetDebugOutputSink(nullptr, nullptr);
}

TEST(TraceLine, HasThreadCategoryVolumeAndText) {
  std::string const expected =
      "<" + std::to_string(platform::CurrentThreadId()) + "> <Assert> <0> title\n";
  EXPECT_EQ(ToStd(impl::TraceLine("Assert", 0, "title")), expected);
}

}  // namespace
}  // namespace debug
}  // namespace vireo
