// The answers that switch assertions off for the rest of the process: Kill Process (which
// ends it) and Disable Asserts.
#include <gtest/gtest.h>

#include "tests/debug/DialogTesting.h"
#include "tests/debug/MemorySettingsStore.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/debug/Debug.h"
#include "vireo/debug/DebugDatabase.h"

namespace vireo {
namespace debug {
namespace {

testing::IsolatedEnvironment gEnvironment;

class AssertShutOffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    impl::SetSettingsStore(&settings);
    InstallMasterTraceHandler(&traced);
    platform::SetDialogPresenter(&presenter);
    DebugDatabase::Instance().SetEntry(testing::ToU8("assert.enabled"), testing::ToU8("true"));
  }
  void TearDown() override {
    platform::SetDialogPresenter(nullptr);
    RemoveMasterTraceHandler();
    impl::SetSettingsStore(nullptr);
  }
  testing::MemorySettingsStore settings;
  testing::TracedLines traced;
  testing::RecordingPresenter presenter;
};

TEST_F(AssertShutOffTest, KillProcessEndsTheProcessAtOnce) {
  presenter.answer = {1, false};
  EXPECT_EXIT(
      {
        bool ignoreAlways = false;
        BreakAfterAssertDialog(ignoreAlways, "x", "", "f.cpp", 1, "f");
        std::exit(0);  // not reached
      },
      ::testing::ExitedWithCode(255), "");
}

TEST_F(AssertShutOffTest, DisableAssertsSuppressesEveryLaterDialog) {
  presenter.answer = {2, false};
  bool ignoreAlways = false;
  EXPECT_FALSE(BreakAfterAssertDialog(ignoreAlways, "x", "", "f.cpp", 1, "f"));
  EXPECT_TRUE(ignoreAlways);
  EXPECT_EQ(presenter.requests.size(), 1u);

  presenter.answer = {0, false};
  bool otherSite = false;
  EXPECT_FALSE(BreakAfterAssertDialog(otherSite, "y", "", "g.cpp", 2, "g"));
  EXPECT_TRUE(otherSite);
  EXPECT_EQ(DisplayAssert("t", "x"), kAssertIgnoreAlways);
  EXPECT_EQ(presenter.requests.size(), 1u) << "no dialog after Disable Asserts";
  EXPECT_EQ(traced.lines.size(), 6u) << "the reports are still traced";
}

}  // namespace
}  // namespace debug
}  // namespace vireo
