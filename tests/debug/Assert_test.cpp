// Assertions: the report, the "assert.enabled" switch, standard output, the dialog with its
// buttons and the mapping of its answers, the trace lines. The flags that cannot be undone
// (Disable Asserts, Kill Process) are tested in AssertShutOff_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/debug/DialogTesting.h"
#include "tests/debug/MemorySettingsStore.h"
#include "tests/platform/FdRedirect.h"
#include "tests/support/TestEnvironment.h"
#include "tests/threads/ThreadCreationRefusal.h"
#include "vireo/config/ClientIdentity.h"
#include "vireo/debug/Debug.h"
#include "vireo/debug/DebugDatabase.h"
#include "vireo/debug/src/TraceInternal.h"
#include "vireo/platform/Process.h"
#include "vireo/utility/TextStreams.h"

namespace vireo {
namespace debug {
namespace {

using testing::BracketLocalizer;
using testing::RecordingPresenter;
using testing::ToStd;
using testing::ToU8;
using testing::TracedLines;
using testing::U16;

testing::IsolatedEnvironment gEnvironment;

std::string Report(std::string const& message, char const* expression, char const* file,
                   long line, char const* function) {
  std::string text;
  if (!message.empty()) text += message + "\r\n\r\n";
  return text + "Expression: " + expression + "\r\nProcess: " + platform::ProcessCommandLine() +
         "\r\nFile: " + file + "\r\nLine: " + std::to_string(line) + "\r\nFunction: " + function +
         "\r\n";
}

class AssertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::SetClientName(U16("Tern Editor"));
    impl::SetSettingsStore(&settings);
    impl::ResetTraceManagerForTesting();
    InstallMasterTraceHandler(&traced);
    platform::SetDialogPresenter(&presenter);
    DebugDatabase::Instance().Clear();
  }
  void TearDown() override {
    platform::SetDialogPresenter(nullptr);
    RemoveMasterTraceHandler();
    impl::ResetTraceManagerForTesting();
    impl::SetSettingsStore(nullptr);
    config::Localizer::Set(nullptr);
  }
  void EnableAsserts() { DebugDatabase::Instance().SetEntry(ToU8("assert.enabled"), ToU8("true")); }

  // Asserts at a fixed place; answers what the caller would get.
  bool Assert(bool& ignoreAlways, char const* message = "") {
    return BreakAfterAssertDialog(ignoreAlways, "count > 0", message, "src/Pool.cpp", 88,
                                  "Pool::Take");
  }

  testing::MemorySettingsStore settings;
  TracedLines traced;
  RecordingPresenter presenter;
};

TEST_F(AssertTest, MissingSwitchShowsNoDialogAndStoresFalse) {
  bool ignoreAlways = false;
  EXPECT_FALSE(Assert(ignoreAlways));
  EXPECT_FALSE(ignoreAlways);
  EXPECT_TRUE(presenter.requests.empty());
  EXPECT_EQ(ToStd(DebugDatabase::Instance().GetEntry(ToU8("assert.enabled"), ToU8("?"))), "false");
  EXPECT_EQ(std::count(settings.writes.begin(), settings.writes.end(), "Debug Database.txt"), 0)
      << "stored in memory only";
}

TEST_F(AssertTest, OnlyTheWordTrueEnablesTheDialog) {
  struct Case {
    char const* value;
    bool shown;
  };
  Case const cases[] = {{"true", true}, {"false", false}, {"1", false}, {"TRUE", false}, {"", false}};
  for (auto const& c : cases) {
    presenter.requests.clear();
    presenter.answer = {3, false};
    DebugDatabase::Instance().SetEntry(ToU8("assert.enabled"), ToU8(c.value));
    EXPECT_EQ(DisplayAssert("title", "text"), kAssertContinue) << c.value;
    EXPECT_EQ(presenter.requests.size(), c.shown ? 1u : 0u) << c.value;
  }
}

TEST_F(AssertTest, ReportHoldsMessageAndPlace) {
  EnableAsserts();
  presenter.answer = {3, false};
  for (std::string const message : {"", "The pool ran dry"}) {
    presenter.requests.clear();
    bool ignoreAlways = false;
    Assert(ignoreAlways, message.c_str());
    ASSERT_EQ(presenter.requests.size(), 1u);
    auto const& texts = presenter.requests[0].texts;
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Debug Assert failed!");
    EXPECT_EQ(texts[1], Report(message, "count > 0", "src/Pool.cpp", 88, "Pool::Take"));
  }
  EXPECT_NE(platform::ProcessCommandLine().find("assert_test"), std::string::npos);
}

TEST_F(AssertTest, AnswersMapToBreakAndIgnore) {
  EnableAsserts();
  struct Case {
    long dialogResult;
    bool presenterThrows;
    long displayAnswer;
    bool breaks;
    bool ignoreAlways;
  };
  Case const cases[] = {
      {0, false, kAssertBreak, true, false},                     // Debug
      {3, false, kAssertContinue, false, false},                 // Ignore Once
      {4, false, kAssertIgnoreAlways, false, true},              // Ignore Always
      {platform::kDialogCannotShow, false, kAssertBreak, true, false},
      {7, false, kAssertFailure, false, false},                  // no such button
      {0, true, kAssertFailure, false, false},                   // the presenter failed
  };
  for (auto const& c : cases) {
    presenter.answer = {c.dialogResult, false};
    presenter.throws = c.presenterThrows;
    EXPECT_EQ(DisplayAssert("t", "x"), c.displayAnswer) << c.dialogResult;
    bool ignoreAlways = false;
    EXPECT_EQ(Assert(ignoreAlways), c.breaks) << c.dialogResult;
    EXPECT_EQ(ignoreAlways, c.ignoreAlways) << c.dialogResult;
  }
}

TEST_F(AssertTest, DialogOffersSixButtonsOnItsOwnThread) {
  EnableAsserts();
  presenter.answer = {3, false};
  DisplayAssert("Debug Assert failed!", "the text");
  ASSERT_EQ(presenter.requests.size(), 1u);
  auto const& request = presenter.requests[0];
  EXPECT_EQ(request.title, "Tern Editor Debug Event");
  struct Expected {
    int id;
    char const* label;
    long result;
    bool isDefault;
    bool acts;
  };
  Expected const expected[] = {
      {14205, "Copy", 0, true, true},           {14200, "Debug", 0, false, false},
      {14201, "Ignore Once", 3, false, false},  {14202, "Ignore Always", 4, false, false},
      {14203, "Disable Asserts", 2, false, false}, {14204, "Kill Process", 1, false, false},
  };
  ASSERT_EQ(request.buttons.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    auto const& b = request.buttons[i];
    EXPECT_EQ(b.id, expected[i].id);
    EXPECT_EQ(b.label, expected[i].label);
    EXPECT_EQ(b.isDefault, expected[i].isDefault) << b.label;
    EXPECT_EQ(static_cast<bool>(b.action), expected[i].acts) << b.label;
    if (!expected[i].acts) {
      EXPECT_EQ(b.result, expected[i].result) << b.label;
    }
  }
  ASSERT_EQ(presenter.threadIds.size(), 1u);
  EXPECT_NE(presenter.threadIds[0], threads::GetCurrentThreadID());
}

TEST_F(AssertTest, TextsComeFromTheLocalizerWithTheClientName) {
  EnableAsserts();
  BracketLocalizer localizer;
  config::Localizer::Set(&localizer);
  config::SetClientName(U16("Heron"));
  presenter.answer = {3, false};
  DisplayAssert("t", "x");
  ASSERT_EQ(presenter.requests.size(), 1u);
  EXPECT_EQ(presenter.requests[0].title, "<<Heron Debug Event>>");
  EXPECT_EQ(presenter.requests[0].buttons[5].label, "<<Kill Process>>");
  EXPECT_NE(std::find(localizer.keys.begin(), localizer.keys.end(),
                      std::string("$$$/private/vireo/debug/DefaultAssertDialog/IgnoreAlwaysButton="
                                  "Ignore Always")),
            localizer.keys.end());
}

TEST_F(AssertTest, CopyPutsTitleAndTextOnTheClipboardAndKeepsTheDialogOpen) {
  EnableAsserts();
  presenter.answer = {3, false};
  presenter.onPresent = [this] { presenter.requests.back().buttons[0].action(); };
  testing::StderrCapture capture;
  EXPECT_EQ(DisplayAssert("Debug Assert failed!", "Expression: x\r\n"), kAssertContinue);
  EXPECT_NE(capture.Text().find("Debug Assert failed!\nExpression: x\r\n"), std::string::npos);
}

TEST_F(AssertTest, StandardOutputReplacesTheDialog) {
  std::stringbuf out;
  auto* const saved = utility::SetStreamBuffer(utility::streams::Out, &out);
  SetAssertWriteToStdOut(true);
  bool ignoreAlways = false;
  EXPECT_FALSE(Assert(ignoreAlways));  // "assert.enabled" is missing, hence "false"
  EnableAsserts();
  EXPECT_EQ(DisplayAssert("T", "no line end"), kAssertContinue);
  SetAssertWriteToStdOut(false);
  utility::SetStreamBuffer(utility::streams::Out, saved);
  EXPECT_TRUE(presenter.requests.empty());
  EXPECT_EQ(out.str(), "Debug Assert failed!\n" +
                           Report("", "count > 0", "src/Pool.cpp", 88, "Pool::Take") +
                           "T\nno line end\n");
}

TEST_F(AssertTest, ReportIsTracedUnderAssert) {
  struct Case {
    char const* settings;
    bool traced;
  };
  Case const cases[] = {{"", true}, {"Assert\t1\t0\r\n", true}, {"Assert\t0\t5\r\n", false}};
  for (auto const& c : cases) {
    impl::ResetTraceManagerForTesting();
    settings.files["Trace Database.txt"] = c.settings;
    traced.lines.clear();
    DisplayAssert("Debug Assert failed!", "Expression: x\r\nLine: 3\r\n");
    std::string const prefix = "<" + std::to_string(threads::GetCurrentThreadID()) + "> <Assert> <0> ";
    std::vector<std::string> const expected = {prefix + "Debug Assert failed!\n",
                                               prefix + "Expression: x\r\nLine: 3\r\n"};
    EXPECT_EQ(traced.lines, c.traced ? expected : std::vector<std::string>{}) << c.settings;
  }
}

TEST_F(AssertTest, DialogThreadThatCannotStartContinues) {
  EnableAsserts();
  long answer = -2;
  bool const refused =
      testing::RunWhereThreadsCannotStart([&] { answer = DisplayAssert("t", "x"); });
  if (!refused) GTEST_SKIP() << "seccomp filters are not available here";
  EXPECT_EQ(answer, kAssertContinue);
  EXPECT_TRUE(presenter.requests.empty());
}

}  // namespace
}  // namespace debug
}  // namespace vireo
