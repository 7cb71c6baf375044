// Small text operations on UTF16String shared by the library and its clients.
#ifndef VIREO_UTILITY_STRINGUTILS_H
#define VIREO_UTILITY_STRINGUTILS_H

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace utility {

// Fills the "@0".."@9" placeholders of text with r0..r9, left to right in one pass: "@@"
// gives one "@", an "@" before anything else (or at the end) stays, and replacements are
// inserted as they are, never expanded again.
VIREO_API UTF16String ReplaceInString(UTF16String const& text, UTF16String const& r0,
                                      UTF16String const& r1, UTF16String const& r2,
                                      UTF16String const& r3, UTF16String const& r4,
                                      UTF16String const& r5, UTF16String const& r6,
                                      UTF16String const& r7, UTF16String const& r8,
                                      UTF16String const& r9);

}  // namespace utility
}  // namespace vireo

#endif
