// Upper-casing, lower-casing and case folding of UTF-16 text, independent of the platform's
// locale: a fixed table of Unicode 3.0 mappings applied unit by unit, without context (a
// sigma maps the same everywhere; no Turkish or Lithuanian rules). A unit may map to several
// units ("ß" upper-cases to "SS"); units without a mapping, surrogates among them, are copied.
// The table is compiled into the library; all functions are re-entrant and thread-safe.
#ifndef VIREO_UTILITY_CASEMAPPING_H
#define VIREO_UTILITY_CASEMAPPING_H

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace utility {

VIREO_API UTF16String LowerCase(UTF16String const& inText);
VIREO_API UTF16String UpperCase(UTF16String const& inText);
// Full case folding, for caseless comparison: "Straße" and "STRASSE" fold alike.
VIREO_API UTF16String FoldCase(UTF16String const& inText);

// In place: the argument receives the matching copy above.
VIREO_API void ToLowerCase(UTF16String& ioText);
VIREO_API void ToUpperCase(UTF16String& ioText);
VIREO_API void ToFoldCase(UTF16String& ioText);

}  // namespace utility
}  // namespace vireo

#endif
