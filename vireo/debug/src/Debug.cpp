// Contract dialog, debugger break and address checks.
#include "vireo/debug/Debug.h"

#include <atomic>
#include <string>

#include <boost/thread/thread.hpp>

#include "vireo/config/ClientIdentity.h"
#include "vireo/config/Errors.h"
#include "vireo/config/Localizer.h"
#include "vireo/debug/src/ContractCheck.h"
#include "vireo/platform/Debugger.h"
#include "vireo/platform/Dialog.h"
#include "vireo/utility/StringUtils.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace debug {
namespace {

// Plain process-wide switch, read without a lock as a racy flag may be.
std::atomic<bool> gContractDialogEnabled{true};

constexpr int kContinueButtonId = 14200;

std::string ToUTF8(utility::UTF16String const& s) {
  utility::UTF8String const u = utility::UTF16to8(s);
  return std::string(u.begin(), u.end());
}

// The display text of a dialog key with "@0" filled by the client's name.
std::string DialogText(char const* key) {
  utility::UTF16String const empty;
  return ToUTF8(utility::ReplaceInString(config::LocalizeOrDefault(key), config::GetClientName(),
                                         empty, empty, empty, empty, empty, empty, empty, empty,
                                         empty));
}

}  // namespace

bool BreakAfterContractDialog(char const* expression, char const* file, long line) {
  (void)expression;  // the report names the place, not the expression
  if (!gContractDialogEnabled.load(std::memory_order_relaxed)) return false;
  try {
    std::string const report =
        "[" + std::string(file ? file : "") + "-" + std::to_string(line) + "]\r\n";
    platform::DialogRequest request;
    request.title = DialogText("$$$/private/vireo/debug/ContractDialogTitle=@0 Debug Event");
    request.texts.push_back(
        DialogText("$$$/private/vireo/debug/ContractDialog/ErrorMessage=@0 has encountered an error."));
    request.texts.push_back(ToUTF8(utility::UTF8to16(
        reinterpret_cast<unsigned char const*>(report.data()), report.size())));
    request.buttons.push_back(platform::DialogButton{
        kContinueButtonId, DialogText("$$$/private/vireo/debug/ContractDialog/ContinueButton=Continue"),
        0, true, nullptr});

    // The dialog runs on a thread of its own, so that a report can come from any thread.
    // An exception must not leave that thread (it would end the process), so it comes back
    // as a flag and is handled like one from this thread.
    platform::DialogAnswer answer{platform::kDialogCannotShow, false};
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
      platform::BreakIntoDebugger();
      return false;
    }
    if (presenterFailed) {
      platform::BreakIntoDebugger();
      return false;
    }
    // Continue with Ctrl held asks for the debugger.
    return answer.result == 0 && answer.ctrlHeld;
  } catch (...) {
    platform::BreakIntoDebugger();
    return false;
  }
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
