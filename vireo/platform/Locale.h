// The user's locale: the number separators and the character set of the environment's locale
// (LC_ALL, LC_NUMERIC, LANG and friends), as newlocale(LC_ALL_MASK, "", 0) builds it; the
// order of file names and the conversions to and from the character set.
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

// Orders two UTF-16 texts as file names are ordered for the user: case, width (full- and
// half-width forms) and kana type (hiragana, katakana) are ignored, accents are not. Uses an
// ICU collator of the user's locale at secondary strength (the root order when the locale is
// C or POSIX, whose order would tell cases apart). Returns -1, 0 or 1; -2 when no collator
// can be made. Thread-safe.
VIREO_API int CompareFileNameText(unsigned short const* a, std::size_t aLength,
                                  unsigned short const* b, std::size_t bLength);

// `length` bytes of text in the user's character set as UTF-16 into `out` (room for
// `outSize` units, no NUL added); bytes that do not convert become U+FFFD. With a null `out`
// the units needed are returned and nothing is written. Returns the units written, 0 for
// empty input, on failure, or when `outSize` is too small. Thread-safe.
VIREO_API std::size_t MultiByteToUTF16(char const* text, std::size_t length, unsigned short* out,
                                       std::size_t outSize);

// `length` UTF-16 units as text in the user's character set, the same way round; units that
// do not convert become the character set's substitute.
VIREO_API std::size_t UTF16ToMultiByte(unsigned short const* text, std::size_t length, char* out,
                                       std::size_t outSize);

}  // namespace platform
}  // namespace vireo

#endif
