// Dialog presenter: how the library puts a modal question to the user (the assertion and
// contract dialogs). The presenter is replaceable; the default asks on the terminal when
// standard input and standard error are both terminals, and otherwise answers that no
// dialog can be shown.
#ifndef VIREO_PLATFORM_DIALOG_H
#define VIREO_PLATFORM_DIALOG_H

#include <functional>
#include <string>
#include <vector>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

struct DialogButton {
  int id;             // control id, as the library's dialogs number their buttons
  std::string label;  // UTF-8
  long result;        // what pressing the button answers (ignored when `action` is set)
  bool isDefault;     // pressed by an empty answer
  // When set, pressing the button runs this and leaves the dialog open (e.g. Copy).
  std::function<void()> action;
};

struct DialogRequest {
  std::string title;                 // UTF-8
  std::vector<std::string> texts;    // static texts, top to bottom, UTF-8
  std::vector<DialogButton> buttons;
};

struct DialogAnswer {
  long result;    // the pressed button's result, or kDialogCannotShow
  bool ctrlHeld;  // the Ctrl key was held while the button was pressed
};

constexpr long kDialogCannotShow = -1;

// Shows dialogs. Present blocks the calling thread until the user answers.
class VIREO_API DialogPresenter {
 public:
  virtual ~DialogPresenter();
  virtual DialogAnswer Present(DialogRequest const& request) = 0;
};

// Installs a presenter (not owned; null restores the terminal presenter). Install before
// other threads show dialogs.
VIREO_API void SetDialogPresenter(DialogPresenter* presenter);
VIREO_API DialogPresenter& GetDialogPresenter();

// The default presenter. On a terminal it prints the title, the texts and the buttons
// numbered from 1 to standard error, and reads a line from standard input:
//   - a button's number, or the start of its label (case-insensitive), presses it;
//   - an empty line presses the default button;
//   - a trailing "^" (as in "1^") presses the button with Ctrl held.
// Without a terminal, or at end of input, it answers kDialogCannotShow.
class VIREO_API TerminalDialogPresenter : public DialogPresenter {
 public:
  DialogAnswer Present(DialogRequest const& request) override;
};

// Puts Unicode text (UTF-8) where the user can paste it from. Without a graphical clipboard
// the text goes to standard error, framed so that it can be cut from the terminal.
VIREO_API void SetClipboardText(std::string const& text);

}  // namespace platform
}  // namespace vireo

#endif
