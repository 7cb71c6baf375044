// Assertion and contract dialogs, the debugger break and the address checks.
#include "vireo/debug/Debug.h"

#include <atomic>
#include <mutex>
#include <ostream>
#include <string>

#include <boost/thread/thread.hpp>

#include "vireo/config/ClientIdentity.h"
#include "vireo/config/Errors.h"
#include "vireo/config/Localizer.h"
#include "vireo/debug/DebugDatabase.h"
#include "vireo/debug/Trace.h"
#include "vireo/debug/src/ContractCheck.h"
#include "vireo/debug/src/TraceInternal.h"
#include "vireo/platform/Debugger.h"
#include "vireo/platform/Dialog.h"
#include "vireo/platform/Process.h"
#include "vireo/utility/StringUtils.h"
#include "vireo/utility/TextStreams.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace debug {
namespace {

// Plain process-wide switches, racy by design: a report may come from any thread.
std::atomic<bool> gContractDialogEnabled{true};
std::atomic<bool> gWriteToStdOut{false};
// Set by Disable Asserts and Kill Process; no assertion dialog is shown after that.
std::atomic<bool> gAssertsDisabled{false};

constexpr int kContinueButtonId = 14200;

constexpr char kAssertReportTitle[] = "Debug Assert failed!";

std::string ToUTF8(utility::UTF16String const& s) {
  utility::UTF8String const u = utility::UTF16to8(s);
  return std::string(u.begin(), u.end());
}

utility::UTF8String Bytes(std::string const& s) { return utility::UTF8String(s.begin(), s.end()); }

// The display text of a dialog key with "@0" filled by the client's name.
std::string DialogText(char const* key) {
  utility::UTF16String const empty;
  return ToUTF8(utility::ReplaceInString(config::LocalizeOrDefault(key), config::GetClientName(),
                                         empty, empty, empty, empty, empty, empty, empty, empty,
                                         empty));
}

// One trace line per text, when the category is on at volume 0.
void TraceReport(char const* category, std::string const& first, std::string const* second) {
  if (!TraceEnabled(Bytes(category), 0, false)) return;
  Trace(reinterpret_cast<char const*>(impl::TraceLine(category, 0, first.c_str()).c_str()));
  if (second)
    Trace(reinterpret_cast<char const*>(impl::TraceLine(category, 0, second->c_str()).c_str()));
}

enum class DialogRun { kAnswered, kNoThread, kPresenterFailed };

// Puts the request to the presenter on a thread of its own, so that a report can come from
// any thread, and waits for the answer. An exception must not leave that thread (it would end
// the process), so it comes back as kPresenterFailed.
DialogRun RunDialog(platform::DialogRequest const& request, platform::DialogAnswer& answer) {
  bool presenterFailed = false;
  try {
    boost::thread dialog([&] {
      try {
        answer = platform::GetDialogPresenter().Present(request);
      } catch (...) {
        presenterFailed = true;
      }
    });
    dialog.join();
  } catch (boost::thread_resource_error const&) {
    return DialogRun::kNoThread;
  }
  return presenterFailed ? DialogRun::kPresenterFailed : DialogRun::kAnswered;
}

platform::DialogButton Button(int id, char const* key, long result) {
  return platform::DialogButton{id, DialogText(key), result, false, nullptr};
}

long ShowAssertDialog(std::string const& title, std::string const& text) {
  if (gAssertsDisabled.load(std::memory_order_relaxed)) return kAssertIgnoreAlways;
  DebugTrace((title + "\n").c_str());
  DebugTrace(text.c_str());

  platform::DialogRequest request;
  request.title = DialogText("$$$/private/vireo/debug/DefaultAssertDialogTitle=@0 Debug Event");
  request.texts = {title, text};
  platform::DialogButton copy =
      Button(14205, "$$$/private/vireo/debug/DefaultAssertDialog/CopyButton=Copy", 0);
  copy.isDefault = true;
  copy.action = [title, text] { platform::SetClipboardText(title + "\n" + text); };
  request.buttons = {
      copy,
      Button(14200, "$$$/private/vireo/debug/DefaultAssertDialog/DebugButton=Debug", 0),
      Button(14201, "$$$/private/vireo/debug/DefaultAssertDialog/IgnoreOnceButton=Ignore Once", 3),
      Button(14202, "$$$/private/vireo/debug/DefaultAssertDialog/IgnoreAlwaysButton=Ignore Always",
             4),
      Button(14203,
             "$$$/private/vireo/debug/DefaultAssertDialog/DisableAssertsButton=Disable Asserts", 2),
      Button(14204, "$$$/private/vireo/debug/DefaultAssertDialog/KillProcessButton=Kill Process",
             1),
  };

  platform::DialogAnswer answer{platform::kDialogCannotShow, false};
  switch (RunDialog(request, answer)) {
    case DialogRun::kNoThread:
      platform::BreakIntoDebugger();
      return kAssertContinue;
    case DialogRun::kPresenterFailed:
      platform::BreakIntoDebugger();
      return kAssertFailure;
    case DialogRun::kAnswered:
      break;
  }
  switch (answer.result) {
    case 0:  // Debug
      return kAssertBreak;
    case 1:  // Kill Process
      gAssertsDisabled.store(true, std::memory_order_relaxed);
      platform::TerminateProcess(-1);
    case 2:  // Disable Asserts
      gAssertsDisabled.store(true, std::memory_order_relaxed);
      return kAssertIgnoreAlways;
    case 3:  // Ignore Once
      return kAssertContinue;
    case 4:  // Ignore Always
      return kAssertIgnoreAlways;
    case platform::kDialogCannotShow:
      platform::BreakIntoDebugger();
      return kAssertBreak;
    default:
      platform::BreakIntoDebugger();
      return kAssertFailure;
  }
}

}  // namespace

bool BreakAfterContractDialog(char const* expression, char const* file, long line) {
  (void)expression;  // the report names the place, not the expression
  if (!gContractDialogEnabled.load(std::memory_order_relaxed)) return false;
  try {
    std::string const report =
        "[" + std::string(file ? file : "") + "-" + std::to_string(line) + "]\r\n";
    TraceReport("Contract", report, nullptr);
    platform::DialogRequest request;
    request.title = DialogText("$$$/private/vireo/debug/ContractDialogTitle=@0 Debug Event");
    request.texts.push_back(
        DialogText("$$$/private/vireo/debug/ContractDialog/ErrorMessage=@0 has encountered an error."));
    request.texts.push_back(ToUTF8(utility::UTF8to16(
        reinterpret_cast<unsigned char const*>(report.data()), report.size())));
    request.buttons.push_back(platform::DialogButton{
        kContinueButtonId, DialogText("$$$/private/vireo/debug/ContractDialog/ContinueButton=Continue"),
        0, true, nullptr});

    platform::DialogAnswer answer{platform::kDialogCannotShow, false};
    switch (RunDialog(request, answer)) {
      case DialogRun::kNoThread:
      case DialogRun::kPresenterFailed:
        platform::BreakIntoDebugger();
        return false;
      case DialogRun::kAnswered:
        break;
    }
    // Continue with Ctrl held asks for the debugger.
    return answer.result == 0 && answer.ctrlHeld;
  } catch (...) {
    platform::BreakIntoDebugger();
    return false;
  }
}

bool BreakAfterAssertDialog(bool& ignoreAlways, char const* expression, char const* message,
                            char const* file, long line, char const* function) {
  std::string report;
  if (message && *message) report += std::string(message) + "\r\n\r\n";
  report += "Expression: " + std::string(expression ? expression : "") + "\r\n";
  report += "Process: " + platform::ProcessCommandLine() + "\r\n";
  report += "File: " + std::string(file ? file : "") + "\r\n";
  report += "Line: " + std::to_string(line) + "\r\n";
  report += "Function: " + std::string(function ? function : "") + "\r\n";
  long const answer = DisplayAssert(kAssertReportTitle, report.c_str());
  if (answer == 2 || answer == kAssertIgnoreAlways) ignoreAlways = true;
  return answer == kAssertBreak;
}

long DisplayAssert(char const* title, char const* text) {
  try {
    std::string const titleText = title ? title : "";
    std::string const reportText = text ? text : "";
    TraceReport("Assert", titleText, &reportText);

    bool enabled;
    {
      // The database has no lock of its own, and two threads may assert at once.
      static std::mutex databaseMutex;
      std::lock_guard<std::mutex> lock(databaseMutex);
      enabled = DebugDatabase::Instance().GetEntry(Bytes("assert.enabled"), Bytes("false")) ==
                Bytes("true");
    }
    if (gWriteToStdOut.load(std::memory_order_relaxed)) {
      std::ostream& out = utility::streams::Out;
      out << titleText << '\n' << reportText;
      if (reportText.empty() || reportText.back() != '\n') out << '\n';
      out.flush();
      return kAssertContinue;
    }
    if (!enabled) return kAssertContinue;
    return ShowAssertDialog(titleText, reportText);
  } catch (...) {
    platform::BreakIntoDebugger();
    return kAssertFailure;
  }
}

void SetAssertWriteToStdOut(bool writeToStdOut) {
  gWriteToStdOut.store(writeToStdOut, std::memory_order_relaxed);
}

void EnableContractDialog() { gContractDialogEnabled.store(true, std::memory_order_relaxed); }
void DisableContractDialog() { gContractDialogEnabled.store(false, std::memory_order_relaxed); }

void WREN_DebugBreak() { platform::BreakIntoDebugger(); }

bool IsValidAddress(void const* p, bool allowNull) { return p != nullptr || allowNull; }

bool IsValidAddressRange(void const* p, unsigned int, bool allowNull) {
  return IsValidAddress(p, allowNull);
}

bool IsValidAddressRange(void const* begin, void const* end, bool allowNull) {
  if (!begin && allowNull) return true;
  if (!(begin < end)) impl::ReportContractViolation("inBegin < inEnd", "vireo/debug/src/Debug.cpp", __LINE__);
  return begin != nullptr;
}

namespace impl {

void ReportContractViolation(char const* expression, char const* file, long line) {
  if (BreakAfterContractDialog(expression, file, line)) WREN_DebugBreak();
  config::ThrowError(config::kErrorLevelFatal,
                     "$$$/wren/utility/Error/Contract/InputContractViolation=An input contract "
                     "violation has occurred!",
                     105, 25, true, config::ReplacementValue(), config::ReplacementValue(),
                     config::ReplacementValue(), config::ReplacementValue());
}

}  // namespace impl
}  // namespace debug
}  // namespace vireo
