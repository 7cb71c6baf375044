// Contract checks: the address checks, the contract dialog and the error that follows.
#include "vireo/debug/Debug.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/debug/DialogTesting.h"
#include "tests/debug/MemorySettingsStore.h"
#include "tests/support/RecordingErrorManager.h"
#include "tests/threads/ThreadCreationRefusal.h"
#include "vireo/config/ClientIdentity.h"
#include "vireo/config/Localizer.h"
#include "vireo/debug/Trace.h"
#include "vireo/debug/src/TraceInternal.h"
#include "vireo/platform/Dialog.h"
#include "vireo/threads/ThreadUtils.h"

namespace vireo {
namespace debug {
namespace {

using testing::RaisedError;
using testing::RecordedError;
using testing::RecordingErrorManager;
using testing::ScopedErrorManager;
using testing::ThrowingErrorManager;
using testing::BracketLocalizer;
using testing::RecordingPresenter;
using testing::TracedLines;
using testing::U16;

constexpr char kViolationKey[] =
    "$$$/wren/utility/Error/Contract/InputContractViolation=An input contract violation has "
    "occurred!";

// "[<path>Debug.cpp-<line>]\r\n": the report of a check inside the library's Debug.cpp.
bool IsReportOfDebugCpp(std::string const& text) {
  std::string const file = "Debug.cpp-";
  std::size_t const at = text.find(file);
  if (text.empty() || text[0] != '[' || at == std::string::npos) return false;
  std::size_t const digits = at + file.size();
  std::size_t const end = text.find_first_not_of("0123456789", digits);
  return end != digits && end != std::string::npos && text.substr(end) == "]\r\n";
}

// Each test starts with a known client name, a recording manager and presenter, the dialog
// switched on and no localizer; all of it is put back afterwards.
class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedName_ = config::GetClientName();
    config::SetClientName(U16("Tern Editor"));
    platform::SetDialogPresenter(&presenter);
    EnableContractDialog();
    // Trace settings in memory and traced lines recorded: nothing reaches the user's files.
    impl::SetSettingsStore(&settings);
    impl::ResetTraceManagerForTesting();
    InstallMasterTraceHandler(&traced);
  }
  void TearDown() override {
    RemoveMasterTraceHandler();
    impl::ResetTraceManagerForTesting();
    impl::SetSettingsStore(nullptr);
    EnableContractDialog();
    platform::SetDialogPresenter(nullptr);
    config::Localizer::Set(nullptr);
    config::SetClientName(savedName_);
  }

  void ExpectOneViolation() {
    ASSERT_EQ(1u, manager.errors.size());
    RecordedError const& e = manager.errors[0];
    EXPECT_EQ(config::kErrorLevelFatal, e.level);
    EXPECT_EQ(kViolationKey, e.key);
    EXPECT_EQ(105u, e.component);
    EXPECT_EQ(25, e.code);
    EXPECT_TRUE(e.deferrable);
    for (auto const& v : e.values) EXPECT_EQ(config::kNone, v.kind);
  }

  RecordingErrorManager manager;
  ScopedErrorManager scope{&manager};
  RecordingPresenter presenter;
  testing::MemorySettingsStore settings;
  TracedLines traced;

 private:
  utility::UTF16String savedName_;
};

// Points standard input at /dev/null for the scope: no terminal to ask on.
class NoTerminalInput {
 public:
  NoTerminalInput() : saved_(::dup(STDIN_FILENO)) {
    int const null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    ::close(null);
  }
  ~NoTerminalInput() {
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
  }

 private:
  int saved_;
};

// ---- address checks -------------------------------------------------------------------------

TEST_F(ContractTest, AddressChecksAnswerFromNullAndAllowNull) {
  int object = 0;
  EXPECT_TRUE(IsValidAddress(&object, false));
  EXPECT_TRUE(IsValidAddress(&object, true));
  EXPECT_FALSE(IsValidAddress(nullptr, false));
  EXPECT_TRUE(IsValidAddress(nullptr, true));

  // The size is not examined.
  for (unsigned int size : {0u, 1u, 0xFFFFFFFFu}) {
    EXPECT_TRUE(IsValidAddressRange(&object, size, false));
    EXPECT_TRUE(IsValidAddressRange(&object, size, true));
    EXPECT_FALSE(IsValidAddressRange(nullptr, size, false));
    EXPECT_TRUE(IsValidAddressRange(nullptr, size, true));
  }
  EXPECT_TRUE(manager.errors.empty());
  EXPECT_TRUE(presenter.requests.empty());
}

TEST_F(ContractTest, OrderedRangesPassWithoutReport) {
  char buffer[8] = {};
  EXPECT_TRUE(IsValidAddressRange(buffer, buffer + 1, false));
  EXPECT_TRUE(IsValidAddressRange(buffer, buffer + 8, true));
  // A null begin with allowNull is accepted without looking at the end.
  EXPECT_TRUE(IsValidAddressRange(nullptr, nullptr, true));
  EXPECT_TRUE(IsValidAddressRange(nullptr, buffer, true));
  // A null begin below its end is ordered, but not valid.
  EXPECT_FALSE(IsValidAddressRange(nullptr, buffer, false));
  EXPECT_TRUE(manager.errors.empty());
  EXPECT_TRUE(presenter.requests.empty());
}

TEST_F(ContractTest, EmptyOrReversedRangeIsAViolation) {
  DisableContractDialog();
  char buffer[8] = {};
  struct Case {
    void const* begin;
    void const* end;
    bool allowNull;
    bool answer;
  } const cases[] = {
      {buffer, buffer, false, true},
      {buffer, buffer, true, true},
      {buffer + 4, buffer, false, true},
      {nullptr, nullptr, false, false},
  };
  for (Case const& c : cases) {
    manager.errors.clear();
    EXPECT_EQ(c.answer, IsValidAddressRange(c.begin, c.end, c.allowNull));
    ExpectOneViolation();
  }
  EXPECT_TRUE(presenter.requests.empty());  // the dialog was switched off
}

TEST_F(ContractTest, ViolationThrowsWhenTheManagerThrows) {
  DisableContractDialog();
  ThrowingErrorManager throwing;
  ScopedErrorManager throwingScope(&throwing);
  char c = 0;
  try {
    IsValidAddressRange(&c, &c, false);
    FAIL() << "the violation was not raised";
  } catch (RaisedError const& e) {
    EXPECT_STREQ(kViolationKey, e.what());
    EXPECT_EQ(105u, e.component);
    EXPECT_EQ(25, e.code);
  }
}

TEST_F(ContractTest, ViolationShowsTheDialogBeforeRaising) {
  std::size_t errorsWhenShown = 99;
  presenter.onPresent = [&] { errorsWhenShown = manager.errors.size(); };
  char c = 0;
  EXPECT_TRUE(IsValidAddressRange(&c, &c, false));
  ASSERT_EQ(1u, presenter.requests.size());
  EXPECT_EQ(0u, errorsWhenShown);
  ExpectOneViolation();
  // The report names the place of the check.
  ASSERT_EQ(2u, presenter.requests[0].texts.size());
  EXPECT_TRUE(IsReportOfDebugCpp(presenter.requests[0].texts[1])) << presenter.requests[0].texts[1];

  // Asking for the debugger breaks (harmless without one) and still raises.
  presenter.answer = {0, true};
  manager.errors.clear();
  EXPECT_TRUE(IsValidAddressRange(&c, &c, false));
  ExpectOneViolation();
}

TEST_F(ContractTest, ViolationWithoutTerminalStillRaises) {
  platform::SetDialogPresenter(nullptr);  // the terminal presenter
  NoTerminalInput noTerminal;
  char c = 0;
  EXPECT_TRUE(IsValidAddressRange(&c, &c, false));
  ExpectOneViolation();
}

// ---- the contract dialog -------------------------------------------------------------------

TEST_F(ContractTest, SwitchedOffDialogIsNotShown) {
  DisableContractDialog();
  presenter.answer = {0, true};
  EXPECT_FALSE(BreakAfterContractDialog("p != 0", "File.cpp", 10));
  EXPECT_TRUE(presenter.requests.empty());
  EnableContractDialog();
  EXPECT_TRUE(BreakAfterContractDialog("p != 0", "File.cpp", 10));
  EXPECT_EQ(1u, presenter.requests.size());
  EXPECT_TRUE(manager.errors.empty());  // the dialog alone raises nothing
}

TEST_F(ContractTest, DialogShowsTheClientAndThePlaceOnItsOwnThread) {
  BreakAfterContractDialog("inSize > 0", "vireo/utility/src/Pool.cpp", 1234);
  ASSERT_EQ(1u, presenter.requests.size());
  platform::DialogRequest const& r = presenter.requests[0];
  EXPECT_EQ("Tern Editor Debug Event", r.title);
  ASSERT_EQ(2u, r.texts.size());
  EXPECT_EQ("Tern Editor has encountered an error.", r.texts[0]);
  EXPECT_EQ("[vireo/utility/src/Pool.cpp-1234]\r\n", r.texts[1]);  // no expression in it
  ASSERT_EQ(1u, r.buttons.size());
  EXPECT_EQ(14200, r.buttons[0].id);
  EXPECT_EQ("Continue", r.buttons[0].label);
  EXPECT_FALSE(r.buttons[0].action);
  ASSERT_EQ(1u, presenter.threadIds.size());
  EXPECT_NE(threads::GetCurrentThreadID(), presenter.threadIds[0]);
}

TEST_F(ContractTest, DialogFollowsTheClientName) {
  config::SetClientName(U16("Heron"));
  BreakAfterContractDialog("x", "f.cpp", 1);
  ASSERT_EQ(1u, presenter.requests.size());
  EXPECT_EQ("Heron Debug Event", presenter.requests[0].title);
  EXPECT_EQ("Heron has encountered an error.", presenter.requests[0].texts[0]);
}

TEST_F(ContractTest, DialogTextsComeFromTheLocalizer) {
  BracketLocalizer localizer;
  config::Localizer::Set(&localizer);
  BreakAfterContractDialog("x", "f.cpp", 7);
  ASSERT_EQ(1u, presenter.requests.size());
  platform::DialogRequest const& r = presenter.requests[0];
  EXPECT_EQ("<<Tern Editor Debug Event>>", r.title);
  EXPECT_EQ("<<Tern Editor has encountered an error.>>", r.texts[0]);
  EXPECT_EQ("<<Continue>>", r.buttons[0].label);
  EXPECT_EQ("[f.cpp-7]\r\n", r.texts[1]);  // the report is not localized
  std::vector<std::string> const expectedKeys = {
      "$$$/private/vireo/debug/ContractDialogTitle=@0 Debug Event",
      "$$$/private/vireo/debug/ContractDialog/ErrorMessage=@0 has encountered an error.",
      "$$$/private/vireo/debug/ContractDialog/ContinueButton=Continue"};
  EXPECT_EQ(expectedKeys, localizer.keys);
}

TEST_F(ContractTest, OnlyContinueWithCtrlAsksForTheDebugger) {
  struct Case {
    platform::DialogAnswer answer;
    bool breaks;
  } const cases[] = {
      {{0, true}, true},
      {{0, false}, false},
      {{platform::kDialogCannotShow, false}, false},
      {{platform::kDialogCannotShow, true}, false},
  };
  for (Case const& c : cases) {
    presenter.answer = c.answer;
    EXPECT_EQ(c.breaks, BreakAfterContractDialog("x", "f.cpp", 1))
        << c.answer.result << " ctrl " << c.answer.ctrlHeld;
  }
}

TEST_F(ContractTest, FailingPresenterMeansNoBreak) {
  presenter.throws = true;
  bool answer = true;
  EXPECT_NO_THROW(answer = BreakAfterContractDialog("x", "f.cpp", 1));
  EXPECT_FALSE(answer);
  EXPECT_EQ(1u, presenter.requests.size());
}

TEST_F(ContractTest, DialogThreadThatCannotStartMeansNoBreak) {
  presenter.answer = {0, true};
  bool answer = true;
  bool const refused = testing::RunWhereThreadsCannotStart(
      [&] { answer = BreakAfterContractDialog("x", "f.cpp", 1); });
  if (!refused) GTEST_SKIP() << "seccomp filters are not available here";
  EXPECT_FALSE(answer);
  EXPECT_TRUE(presenter.requests.empty());
}

TEST_F(ContractTest, TerminalWithoutTerminalMeansNoBreak) {
  platform::SetDialogPresenter(nullptr);
  NoTerminalInput noTerminal;
  EXPECT_FALSE(BreakAfterContractDialog("x", "f.cpp", 1));
}

TEST_F(ContractTest, DebugBreakWithoutDebuggerReturns) {
  WREN_DebugBreak();
  WREN_DebugBreak();
  EXPECT_TRUE(manager.errors.empty());
}

// ---- trace line ----------------------------------------------------------------------------

TEST_F(ContractTest, ViolationIsTracedWhenTheCategoryIsOn) {
  struct Case {
    char const* settings;
    bool traced;
  };
  Case const cases[] = {
      {"", true},                         // "Contract" is created enabled with volume 5
      {"Contract\t1\t0\r\n", true},  // volume 0 passes a ceiling of 0
      {"Contract\t0\t5\r\n", false},
      {"Master\t0\t10\r\n", false},
  };
  for (auto const& c : cases) {
    impl::ResetTraceManagerForTesting();
    settings.files["Trace Database.txt"] = c.settings;
    traced.lines.clear();
    EXPECT_FALSE(BreakAfterContractDialog("a < b", "src/Thing.cpp", 42));
    std::vector<std::string> const expected = {
        "<" + std::to_string(threads::GetCurrentThreadID()) +
        "> <Contract> <0> [src/Thing.cpp-42]\r\n"};
    EXPECT_EQ(traced.lines, c.traced ? expected : std::vector<std::string>{}) << c.settings;
  }
  DisableContractDialog();
  traced.lines.clear();
  BreakAfterContractDialog("a < b", "src/Thing.cpp", 42);
  EXPECT_TRUE(traced.lines.empty()) << "a switched-off dialog traces nothing either";
}

}  // namespace
}  // namespace debug
}  // namespace vireo
