// Assertions and contract checks.
//
// An assertion is a developer check. When one fails, its report is traced (category "Assert")
// and, where the debug database says "assert.enabled" = "true", a dialog lets the developer
// break into the debugger, ignore the assertion once or for good, switch assertions off, copy
// the report or kill the process. A client's assertion macro follows this pattern:
//   static bool ignoreAlways = false;
//   if (!(condition) && !ignoreAlways &&
//       BreakAfterAssertDialog(ignoreAlways, "condition", "message", __FILE__, __LINE__, __func__))
//     WREN_DebugBreak();
//
// A contract check guards the library's own inputs: a failed check shows the contract dialog
// (one Continue button) and is then raised as the fatal error
// "$$$/wren/utility/Error/Contract/InputContractViolation=..." (component 105, code 25).
//
// Both dialogs are put to the user by the platform's dialog presenter (vireo/platform/Dialog.h)
// on a thread of their own while the reporting thread waits.
#ifndef VIREO_DEBUG_DEBUG_H
#define VIREO_DEBUG_DEBUG_H

#include "vireo/Export.h"

namespace vireo {
namespace debug {

// Answers of DisplayAssert.
enum : long {
  kAssertBreak = 0,          // break into the debugger
  kAssertProcessEnded = 1,   // (the process is ended before this could be answered)
  kAssertContinue = 3,       // continue
  kAssertIgnoreAlways = 4,   // continue, and ignore this assertion from now on
  kAssertFailure = -1        // the dialog failed; the debugger was asked to break
};

// Reports a failed assertion: builds the report (the message and an empty line when there is
// a message, then "Expression: ", "Process: ", "File: ", "Line: " and "Function: " lines, each
// ended by CR LF) and shows it with the title "Debug Assert failed!". Sets ignoreAlways when
// the answer is to ignore from now on; true when the caller should break into the debugger.
VIREO_API bool BreakAfterAssertDialog(bool& ignoreAlways, char const* expression,
                                      char const* message, char const* file, long line,
                                      char const* function);

// Traces the title and text (category "Assert", volume 0), then writes them to standard output
// when asked to (answer kAssertContinue), or shows the assertion dialog when "assert.enabled" in
// the debug database reads "true" (a missing entry is stored as "false"). Kill Process ends the
// process with exit code -1; Disable Asserts answers kAssertIgnoreAlways and suppresses every
// later dialog of the process. Never throws.
VIREO_API long DisplayAssert(char const* title, char const* text);

// When true, assertion reports go to standard output instead of a dialog, whatever the debug
// database says.
VIREO_API void SetAssertWriteToStdOut(bool writeToStdOut);

// Shows the contract dialog for a failed check at file:line (unless switched off), on a
// thread of its own while the caller waits. Answers true when the caller should break into
// the debugger: the user held Ctrl while pressing Continue. Never throws.
VIREO_API bool BreakAfterContractDialog(char const* expression, char const* file, long line);

// Switch the contract dialog on (the default) or off, for the whole process.
VIREO_API void EnableContractDialog();
VIREO_API void DisableContractDialog();

// Breaks into an attached debugger; does nothing when no debugger is attached.
VIREO_API void WREN_DebugBreak();

// True when p is not null, or when it is null and allowNull is true.
VIREO_API bool IsValidAddress(void const* p, bool allowNull);
// The same test on p; size is not examined.
VIREO_API bool IsValidAddressRange(void const* p, unsigned int size, bool allowNull);
// True for a null begin when allowNull. Otherwise begin < end is a contract check (dialog,
// then the raised error), and the answer is whether begin is not null.
VIREO_API bool IsValidAddressRange(void const* begin, void const* end, bool allowNull);

}  // namespace debug
}  // namespace vireo

#endif
