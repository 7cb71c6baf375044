// The library's two string types and the tolerant conversions between them.
// UTF16String holds UTF-16 code units; UTF8String holds UTF-8 (or plain 8-bit) bytes.
// Both take their storage from the small-block allocator.
#ifndef VIREO_UTILITY_UTF16STRING_H
#define VIREO_UTILITY_UTF16STRING_H

#include <string>

#include "vireo/Export.h"
#include "vireo/utility/SmallBlockAllocator.h"

namespace vireo {
namespace utility {

typedef std::basic_string<unsigned short, std::char_traits<unsigned short>,
                          SmallBlockAllocator::STLAllocator<unsigned short> >
    UTF16String;
typedef std::basic_string<unsigned char, std::char_traits<unsigned char>,
                          SmallBlockAllocator::STLAllocator<unsigned char> >
    UTF8String;

enum UnicodeSurrogateT {
  kNotSurrogate = 0,
  kHighSurrogate = 1,  // leading, 0xD800..0xDBFF
  kLowSurrogate = 2    // trailing, 0xDC00..0xDFFF
};

// UTF-8 form of s, up to its first NUL unit. Unpaired surrogates are written as 3-byte
// sequences of their own value. Never fails.
VIREO_API UTF8String UTF16to8(UTF16String const& s);
// UTF-8 form of the NUL-terminated UTF-16 text at p (null gives an empty string).
VIREO_API UTF8String UTF16to8(unsigned short const* p);

// UTF-16 form of the UTF-8 bytes of s. Decoding stops silently at the first ill-formed or
// truncated sequence; the result holds what was decoded before it. Encoded surrogates
// (ED A0..BF xx) pass through as single units. Never fails.
VIREO_API UTF16String UTF8to16(UTF8String const& s);
// The same for `length` bytes at p (the library's own entry for literals and buffers).
VIREO_API UTF16String UTF8to16(unsigned char const* p, std::size_t length);

// UTF8to16 of the bytes of the NUL-terminated string p (null gives an empty string).
VIREO_API UTF16String AsciiToUTF16(char const* p);

VIREO_API UnicodeSurrogateT UnicodeSurrogate(unsigned short unit);

}  // namespace utility
}  // namespace vireo

#endif
