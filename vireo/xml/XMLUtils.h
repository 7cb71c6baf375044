// XML's five reserved characters, encoded as entity references and decoded back.
#ifndef VIREO_XML_XMLUTILS_H
#define VIREO_XML_XMLUTILS_H

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace xml {
namespace utils {

// Appends `in` to `out` with " & ' < > written as &quot; &amp; &apos; &lt; &gt; in one
// left-to-right pass; every other byte is copied.
VIREO_API void EncodeReservedCharacters(utility::UTF8String const& in, utility::UTF8String& out);
// `out` becomes the encoded form of `in` (through UTF-8, so `in` ends at a NUL unit).
VIREO_API void EncodeReservedCharacters(utility::UTF16String const& in, utility::UTF16String& out);

// `out` becomes `in` with &lt; &gt; &amp; &apos; &quot; replaced, in that order, each a
// replace-all over the previous step's result (so "&amp;lt;" gives "&lt;"). Numeric
// character references stay as they are.
VIREO_API void DecodeReservedCharacters(utility::UTF16String const& in, utility::UTF16String& out);
// The same through UTF-16: `in` is decoded from UTF-8 as far as it is well-formed.
VIREO_API void DecodeReservedCharacters(utility::UTF8String const& in, utility::UTF8String& out);

}  // namespace utils
}  // namespace xml
}  // namespace vireo

#endif
