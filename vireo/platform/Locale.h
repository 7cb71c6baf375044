// The user's locale: the number separators and the character set of the environment's locale
// (LC_ALL, LC_NUMERIC, LANG and friends), as newlocale(LC_ALL_MASK, "", 0) builds it.
#ifndef VIREO_PLATFORM_LOCALE_H
#define VIREO_PLATFORM_LOCALE_H

#include <cstddef>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// UTF-8 texts, NUL-terminated, at most 7 bytes each (longer ones are cut at a character).
struct NumberSeparators {
  char decimal[8];   // "." in the C locale, "," in de_DE
  char grouping[8];  // empty in the C locale, "." in de_DE
};

// Reads the decimal and thousands separators of the user's locale. False when that locale
// cannot be built (an unknown name in the environment); both texts are then empty. A text the
// locale leaves empty stays empty, and the caller keeps its default for it. Thread-safe;
// reads the locale anew on every call.
VIREO_API bool GetUserNumberSeparators(NumberSeparators& outSeparators);

// The character set of the user's locale ("UTF-8" on any current system), which stands for
// the "ANSI code page"; written NUL-terminated into inBuffer (cut to fit). False, with
// "ANSI_X3.4-1968" (the C locale's ASCII), when the locale cannot be built. Thread-safe.
VIREO_API bool GetUserCharacterSet(char* inBuffer, std::size_t inSize);

}  // namespace platform
}  // namespace vireo

#endif
