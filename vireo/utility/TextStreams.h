// Standard streams over the library's string types: an output stream of UTF-16 units, string
// streams over UTF16String and UTF8String, and the process-wide streams the console and the
// diagnostics write to.
//
// The standard library classifies and converts characters through locale facets, and the C++
// runtime ships them only for char and wchar_t. The library supplies the character
// classification (ctype) and number punctuation (numpunct) facets for 16-bit and 8-bit unsigned
// units and instantiates the number parsing and formatting facets for them, so that numbers,
// booleans and white-space skipping work on these streams as on narrow ones. Classification
// follows the classic "C" rules for ASCII units; other units belong to no class. Widening and
// narrowing keep the value of units up to 0xFF, others narrow to the default given.
//
// The library's streams are imbued with TextLocale(): the classic locale plus those facets.
// A locale imbued by a caller must hold them too (vireo::Locale::Native() and Default() do).
#ifndef VIREO_UTILITY_TEXTSTREAMS_H
#define VIREO_UTILITY_TEXTSTREAMS_H

#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
#include <streambuf>

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

#ifndef __GLIBCXX__
#error "the unit facets below complete libstdc++'s generic ctype and numpunct templates"
#endif

// The members libstdc++ declares for any character type but defines only for char and wchar_t.
namespace std {
#define VIREO_DECLARE_UNIT_FACETS(Unit)                                                         \
  template <> VIREO_API ctype<Unit>::~ctype();                                                  \
  template <> VIREO_API bool ctype<Unit>::do_is(mask, char_type) const;                         \
  template <> VIREO_API const Unit* ctype<Unit>::do_is(const Unit*, const Unit*, mask*) const;  \
  template <> VIREO_API const Unit* ctype<Unit>::do_scan_is(mask, const Unit*, const Unit*)     \
      const;                                                                                    \
  template <> VIREO_API const Unit* ctype<Unit>::do_scan_not(mask, const Unit*, const Unit*)    \
      const;                                                                                    \
  template <> VIREO_API Unit ctype<Unit>::do_toupper(Unit) const;                               \
  template <> VIREO_API const Unit* ctype<Unit>::do_toupper(Unit*, const Unit*) const;          \
  template <> VIREO_API Unit ctype<Unit>::do_tolower(Unit) const;                               \
  template <> VIREO_API const Unit* ctype<Unit>::do_tolower(Unit*, const Unit*) const;          \
  template <> VIREO_API Unit ctype<Unit>::do_widen(char) const;                                 \
  template <> VIREO_API const char* ctype<Unit>::do_widen(const char*, const char*, Unit*)      \
      const;                                                                                    \
  template <> VIREO_API char ctype<Unit>::do_narrow(Unit, char) const;                          \
  template <> VIREO_API const Unit* ctype<Unit>::do_narrow(const Unit*, const Unit*, char,      \
                                                           char*) const;                        \
  template <> VIREO_API numpunct<Unit>::~numpunct();                                            \
  template <> VIREO_API void numpunct<Unit>::_M_initialize_numpunct(__c_locale);                \
  extern template class ctype<Unit>;                                                            \
  extern template class numpunct<Unit>;                                                         \
  extern template class num_get<Unit>;                                                          \
  extern template class num_put<Unit>;                                                          \
  extern template class basic_ios<Unit>;                                                        \
  extern template class basic_istream<Unit>;                                                    \
  extern template class basic_ostream<Unit>;                                                    \
  extern template class basic_iostream<Unit>;
VIREO_DECLARE_UNIT_FACETS(unsigned short)
VIREO_DECLARE_UNIT_FACETS(unsigned char)
#undef VIREO_DECLARE_UNIT_FACETS

// A char or char16_t inserted into a stream of 16-bit units is one character, as on a narrow
// stream. (The generic char overload widens the char and inserts the result, an unsigned
// short, which the stream's own operator<< prints as a number; a char16_t would be promoted
// to int.) An unsigned short stays a number.
inline basic_ostream<unsigned short>& operator<<(basic_ostream<unsigned short>& ioStream,
                                                 char16_t inUnit) {
  unsigned short const unit = inUnit;
  return __ostream_insert(ioStream, &unit, 1);
}
inline basic_ostream<unsigned short>& operator<<(basic_ostream<unsigned short>& ioStream,
                                                 char inChar) {
  unsigned short const unit = ioStream.widen(inChar);
  return __ostream_insert(ioStream, &unit, 1);
}
// NUL-terminated UTF-16 text.
inline basic_ostream<unsigned short>& operator<<(basic_ostream<unsigned short>& ioStream,
                                                 char16_t const* inText) {
  if (!inText) {
    ioStream.setstate(ios_base::badbit);
    return ioStream;
  }
  streamsize length = 0;
  while (inText[length]) ++length;
  return __ostream_insert(ioStream, reinterpret_cast<unsigned short const*>(inText), length);
}
}  // namespace std

namespace vireo {

typedef std::basic_streambuf<unsigned short> UTF16StreamBuffer;
typedef std::basic_stringbuf<unsigned short, std::char_traits<unsigned short>,
                             utility::SmallBlockAllocator::STLAllocator<unsigned short> >
    UTF16StringBuffer;
typedef std::basic_stringbuf<unsigned char, std::char_traits<unsigned char>,
                             utility::SmallBlockAllocator::STLAllocator<unsigned char> >
    UTF8StringBuffer;

// The classic locale with the 16-bit and 8-bit unit facets: what the library's streams use.
VIREO_API std::locale const& TextLocale();

// An output stream of UTF-16 units over any buffer of 16-bit units (not owned).
class VIREO_API UTF16OutputStream : public std::basic_ostream<unsigned short> {
 public:
  // A stream without a buffer (bad until given one), for process-wide streams that receive
  // theirs through SetStreamBuffer before any use.
  UTF16OutputStream();
  explicit UTF16OutputStream(UTF16StreamBuffer* inBuffer);
};

// Output string stream over a UTF16String; the text comes back with str().
class VIREO_API oUTF16StringStream
    : public std::basic_ostringstream<unsigned short, std::char_traits<unsigned short>,
                                      utility::SmallBlockAllocator::STLAllocator<unsigned short> > {
 public:
  oUTF16StringStream();
};

// Input string stream over a copy of the text.
class VIREO_API iUTF16StringStream
    : public std::basic_istringstream<unsigned short, std::char_traits<unsigned short>,
                                      utility::SmallBlockAllocator::STLAllocator<unsigned short> > {
 public:
  explicit iUTF16StringStream(utility::UTF16String const& inText);
  explicit iUTF16StringStream(unsigned short const* inText);  // NUL-terminated
};

class VIREO_API oUTF8StringStream
    : public std::basic_ostringstream<unsigned char, std::char_traits<unsigned char>,
                                      utility::SmallBlockAllocator::STLAllocator<unsigned char> > {
 public:
  oUTF8StringStream();
};

class VIREO_API iUTF8StringStream
    : public std::basic_istringstream<unsigned char, std::char_traits<unsigned char>,
                                      utility::SmallBlockAllocator::STLAllocator<unsigned char> > {
 public:
  explicit iUTF8StringStream(utility::UTF8String const& inText);
  explicit iUTF8StringStream(unsigned char const* inText);  // NUL-terminated
};

namespace utility {

// Redirect a stream to inBuffer and return the buffer it wrote to before, neither flushed nor
// destroyed (keep it to restore it later with a second call). The stream is re-initialised
// in place: state, formatting flags, width, precision, fill and tie are back to their
// defaults, and so is its locale (the global one for a narrow stream, TextLocale() for a
// UTF-16 one).
VIREO_API std::basic_streambuf<char>* SetStreamBuffer(std::basic_ostream<char>& ioStream,
                                                      std::basic_streambuf<char>* inBuffer);
VIREO_API UTF16StreamBuffer* SetStreamBuffer(UTF16OutputStream& ioStream,
                                             UTF16StreamBuffer* inBuffer);

// The process-wide streams, usable from static initialisation on. They have no lock: writers
// on several threads serialise their use.
namespace streams {
VIREO_API extern UTF16OutputStream& UTF16Out;  // standard output, one line per chunk
VIREO_API extern UTF16OutputStream& Debug;     // the debugger output
VIREO_API extern std::istream& In;             // the standard narrow streams
VIREO_API extern std::ostream& Out;
VIREO_API extern std::ostream& Log;
VIREO_API extern std::ostream& Err;
}  // namespace streams

}  // namespace utility
}  // namespace vireo

#endif
