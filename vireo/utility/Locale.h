// Two process-wide standard locales for stream formatting, and a tolerant reading of a number
// shown to or typed by the user.
//
// Both locales hold the 16-bit and 8-bit unit facets of vireo/utility/TextStreams.h, so they
// can be imbued into the library's streams as well as into narrow ones.
#ifndef VIREO_UTILITY_LOCALE_H
#define VIREO_UTILITY_LOCALE_H

#include <locale>

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace Locale {

// The user's locale, as the environment names it (the empty name: LC_ALL, LC_NUMERIC, LANG),
// all categories; the classic locale when the environment names one that cannot be built.
// The unit facets take its decimal and thousands separators and its grouping (a separator
// that is not one 16-bit unit, or for 8-bit units not ASCII, leaves the classic one and no
// grouping). Built during static initialisation, or by an earlier first call.
VIREO_API std::locale const& Native();

// The classic "C" locale with the unit facets. Built on first use.
VIREO_API std::locale const& Default();

// The number in the text, read twice: A with the native locale's separators (through a
// UTF-16 string stream imbued with Native()), B with the classic ones (0.0 when none can be
// read). A wins when both are above zero and A is greater, or both below zero and A is
// smaller; otherwise B stands. So a reading that stopped early at a separator it did not
// understand loses: under a locale with "," as its decimal separator "1,5" gives 1.5 and
// "1.234,5" 1234.5, and "1,234.5" gives 1234.5 under one with ".". But "0,5" gives 0.0
// everywhere (B is 0.0, not above zero). An empty text gives 0.0.
VIREO_API double GetValueFromDisplayString(utility::UTF16String const& inText);

}  // namespace Locale
}  // namespace vireo

#endif
