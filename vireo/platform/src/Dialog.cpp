// The terminal dialog presenter and the presenter slot.
#include "vireo/platform/Dialog.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <mutex>

#include "vireo/platform/DebugOutput.h"

namespace vireo {
namespace platform {
namespace {

std::atomic<DialogPresenter*> gPresenter{nullptr};
// Two dialogs from two threads take turns on the one terminal.
std::mutex gTerminalMutex;

void Print(std::string const& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
}

bool ReadLine(std::string& line) {
  line.clear();
  for (;;) {
    int const c = std::fgetc(stdin);
    if (c == EOF) return !line.empty();
    if (c == '\n') return true;
    line.push_back(static_cast<char>(c));
  }
}

std::string Trim(std::string const& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool StartsWithNoCase(std::string const& label, std::string const& prefix) {
  if (prefix.empty() || prefix.size() > label.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(label[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

// Index of the button the answer names, or -1.
int FindButton(DialogRequest const& request, std::string const& answer) {
  auto const& buttons = request.buttons;
  if (answer.empty()) {
    for (std::size_t i = 0; i < buttons.size(); ++i)
      if (buttons[i].isDefault) return static_cast<int>(i);
    return buttons.size() == 1 ? 0 : -1;
  }
  bool numeric = true;
  for (char c : answer) numeric = numeric && std::isdigit(static_cast<unsigned char>(c));
  if (numeric) {
    unsigned long const n = std::strtoul(answer.c_str(), nullptr, 10);
    return (n >= 1 && n <= buttons.size()) ? static_cast<int>(n - 1) : -1;
  }
  int found = -1;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (StartsWithNoCase(buttons[i].label, answer)) {
      if (found >= 0) return -1;  // ambiguous
      found = static_cast<int>(i);
    }
  }
  return found;
}

}  // namespace

DialogPresenter::~DialogPresenter() = default;

DialogAnswer TerminalDialogPresenter::Present(DialogRequest const& request) {
  if (request.buttons.empty() || !::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO))
    return {kDialogCannotShow, false};
  std::lock_guard<std::mutex> lock(gTerminalMutex);
  std::string text = "\n=== " + request.title + " ===\n";
  for (auto const& t : request.texts) text += t + "\n";
  for (std::size_t i = 0; i < request.buttons.size(); ++i) {
    text += "  [" + std::to_string(i + 1) + "] " + request.buttons[i].label;
    if (request.buttons[i].isDefault) text += " (default)";
    text += "\n";
  }
  Print(text);
  // End of input is sticky in stdio: without this, one Ctrl-D would answer every later
  // dialog of the process before the user could type.
  std::clearerr(stdin);
  for (;;) {
    Print("Choose a button (number or name; add ^ to hold Ctrl): ");
    std::fflush(stderr);
    std::string line;
    if (!ReadLine(line)) return {kDialogCannotShow, false};
    line = Trim(line);
    bool ctrl = false;
    if (!line.empty() && line.back() == '^') {
      ctrl = true;
      line = Trim(line.substr(0, line.size() - 1));
    }
    int const index = FindButton(request, line);
    if (index < 0) continue;
    DialogButton const& button = request.buttons[static_cast<std::size_t>(index)];
    if (button.action) {
      button.action();
      continue;
    }
    return {button.result, ctrl};
  }
}

void SetDialogPresenter(DialogPresenter* presenter) {
  gPresenter.store(presenter, std::memory_order_release);
}

DialogPresenter& GetDialogPresenter() {
  static TerminalDialogPresenter terminal;
  DialogPresenter* presenter = gPresenter.load(std::memory_order_acquire);
  return presenter ? *presenter : terminal;
}

void SetClipboardText(std::string const& text) {
  std::string framed = "\n----- copied text -----\n" + text + "\n----- end of copied text -----\n";
  std::fwrite(framed.data(), 1, framed.size(), stderr);
  std::fflush(stderr);
}

}  // namespace platform
}  // namespace vireo
