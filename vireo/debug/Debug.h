// Contract checks of the library's own functions: a failed input check shows the contract
// dialog (one Continue button) and is then raised as the fatal error
// "$$$/wren/utility/Error/Contract/InputContractViolation=..." (component 105, code 25).
#ifndef VIREO_DEBUG_DEBUG_H
#define VIREO_DEBUG_DEBUG_H

#include "vireo/Export.h"

namespace vireo {
namespace debug {

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
