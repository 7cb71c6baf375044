// Small text operations on UTF16String shared by the library and its clients. They keep no
// state; the in-place ones must not be given a string another thread uses.
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

// Replaces every occurrence of inFrom in ioText by inTo, left to right and without overlap;
// text inserted by a replacement is not searched again. An empty inFrom changes nothing.
VIREO_API void ReplaceAllStringInString(UTF16String& ioText, UTF16String const& inFrom,
                                        UTF16String const& inTo);

// Reduces ioText to its hexadecimal digits, upper-cased ("0x1f-Ab g" gives "01FAB").
VIREO_API void ValidateForHex(UTF16String& ioText);

enum LineEndingType {
  kLineEndingCRLF = 0,  // U+000D U+000A
  kLineEndingCR = 1,    // U+000D
  kLineEndingLF = 2     // U+000A
};

// The text of the ending; any other value gives the empty ending.
VIREO_API UTF16String GetLineEnding(LineEndingType inType);

// Makes every line ending of ioText (CR LF, a lone CR, a lone LF; LF CR is two endings) the
// ending of inType. Text between endings is kept. With the empty ending every ending is
// removed, except that a text made of nothing but endings stays as it is. Linear time.
VIREO_API void ConvertLineEndings(LineEndingType inType, UTF16String& ioText);

// Full-width "!" to "?" (U+FF01..U+FF1F, digits included) become their ASCII forms
// (U+0021..U+003F); other units, full-width letters among them, stay. True when a unit changed.
VIREO_API bool ToNumericCase(unsigned short& ioUnit);
VIREO_API bool ToNumericCase(UTF16String& ioText);

}  // namespace utility
}  // namespace vireo

#endif
