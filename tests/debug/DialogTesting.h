// Test doubles of the diagnostics' tests: a dialog presenter that records what it is asked,
// a localizer whose texts are recognisable, and a trace handler that keeps the lines.
#ifndef VIREO_TESTS_DEBUG_DIALOGTESTING_H
#define VIREO_TESTS_DEBUG_DIALOGTESTING_H

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "vireo/config/Localizer.h"
#include "vireo/debug/Trace.h"
#include "vireo/platform/Dialog.h"
#include "vireo/threads/ThreadUtils.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace testing {

inline utility::UTF16String U16(char const* text) { return utility::AsciiToUTF16(text); }

// Records what it is asked and answers as told.
class RecordingPresenter : public platform::DialogPresenter {
 public:
  platform::DialogAnswer Present(platform::DialogRequest const& request) override {
    requests.push_back(request);
    threadIds.push_back(threads::GetCurrentThreadID());
    if (onPresent) onPresent();
    if (throws) throw std::runtime_error("no display");
    return answer;
  }
  platform::DialogAnswer answer{0, false};
  bool throws = false;
  std::function<void()> onPresent;
  std::vector<platform::DialogRequest> requests;
  std::vector<unsigned long> threadIds;
};

// Wraps the default text of each key it is asked for, so localized text is recognisable.
class BracketLocalizer : public config::Localizer {
 public:
  utility::UTF16String GetLocalizedString(char const* key) override {
    keys.push_back(key);
    std::string const text = key;
    return U16(("<<" + text.substr(text.find('=') + 1) + ">>").c_str());
  }
  std::vector<std::string> keys;
};

// Keeps each traced line.
class TracedLines : public debug::TraceHandler {
 public:
  void Write(utility::UTF8String const& message) override {
    lines.emplace_back(message.begin(), message.end());
  }
  std::vector<std::string> lines;
};

}  // namespace testing
}  // namespace vireo

#endif
