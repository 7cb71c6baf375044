// The unit facets, the library's stream classes, redirection and the process-wide streams.
#include "vireo/utility/TextStreams.h"

#include <iostream>

#include "vireo/utility/StreamBuffers.h"
#include "vireo/utility/src/TextLocale.h"

namespace vireo {
namespace impl {
namespace {

// Classic classification for ASCII units; other units belong to no class.
template <class Unit>
inline bool UnitIs(std::ctype_base::mask inMask, Unit inUnit) {
  return inUnit < 0x80 && (std::ctype<char>::classic_table()[inUnit] & inMask) != 0;
}

template <class Unit>
inline std::ctype_base::mask UnitMask(Unit inUnit) {
  return inUnit < 0x80 ? std::ctype<char>::classic_table()[inUnit] : std::ctype_base::mask();
}

template <class Unit>
inline Unit UnitToUpper(Unit inUnit) {
  return (inUnit >= 'a' && inUnit <= 'z') ? static_cast<Unit>(inUnit - 0x20) : inUnit;
}

template <class Unit>
inline Unit UnitToLower(Unit inUnit) {
  return (inUnit >= 'A' && inUnit <= 'Z') ? static_cast<Unit>(inUnit + 0x20) : inUnit;
}

template <class Unit>
inline char UnitNarrow(Unit inUnit, char inDefault) {
  return inUnit <= 0xFF ? static_cast<char>(inUnit) : inDefault;
}

template <class Unit>
struct BoolNames {
  static Unit const kTrue[5];
  static Unit const kFalse[6];
};
template <class Unit>
Unit const BoolNames<Unit>::kTrue[5] = {'t', 'r', 'u', 'e', 0};
template <class Unit>
Unit const BoolNames<Unit>::kFalse[6] = {'f', 'a', 'l', 's', 'e', 0};

// The classic punctuation: "." and "," without grouping, "true" and "false".
template <class Unit>
void FillClassicPunctuation(std::__numpunct_cache<Unit>& ioCache) {
  ioCache._M_grouping = "";
  ioCache._M_grouping_size = 0;
  ioCache._M_use_grouping = false;
  ioCache._M_truename = BoolNames<Unit>::kTrue;
  ioCache._M_truename_size = 4;
  ioCache._M_falsename = BoolNames<Unit>::kFalse;
  ioCache._M_falsename_size = 5;
  ioCache._M_decimal_point = '.';
  ioCache._M_thousands_sep = ',';
  for (std::size_t i = 0; i < std::__num_base::_S_oend; ++i)
    ioCache._M_atoms_out[i] = static_cast<unsigned char>(std::__num_base::_S_atoms_out[i]);
  for (std::size_t i = 0; i < std::__num_base::_S_iend; ++i)
    ioCache._M_atoms_in[i] = static_cast<unsigned char>(std::__num_base::_S_atoms_in[i]);
}

}  // namespace
}  // namespace impl
}  // namespace vireo

namespace std {

#define VIREO_DEFINE_UNIT_FACETS(Unit)                                                         \
  template <> ctype<Unit>::~ctype() {}                                                         \
  template <> bool ctype<Unit>::do_is(mask m, char_type c) const {                             \
    return vireo::impl::UnitIs(m, c);                                                          \
  }                                                                                            \
  template <> const Unit* ctype<Unit>::do_is(const Unit* lo, const Unit* hi, mask* vec) const { \
    for (; lo < hi; ++lo, ++vec) *vec = vireo::impl::UnitMask(*lo);                            \
    return hi;                                                                                 \
  }                                                                                            \
  template <>                                                                                  \
  const Unit* ctype<Unit>::do_scan_is(mask m, const Unit* lo, const Unit* hi) const {          \
    while (lo < hi && !vireo::impl::UnitIs(m, *lo)) ++lo;                                      \
    return lo;                                                                                 \
  }                                                                                            \
  template <>                                                                                  \
  const Unit* ctype<Unit>::do_scan_not(mask m, const Unit* lo, const Unit* hi) const {         \
    while (lo < hi && vireo::impl::UnitIs(m, *lo)) ++lo;                                       \
    return lo;                                                                                 \
  }                                                                                            \
  template <> Unit ctype<Unit>::do_toupper(Unit c) const { return vireo::impl::UnitToUpper(c); } \
  template <> const Unit* ctype<Unit>::do_toupper(Unit* lo, const Unit* hi) const {            \
    for (; lo < hi; ++lo) *lo = vireo::impl::UnitToUpper(*lo);                                 \
    return hi;                                                                                 \
  }                                                                                            \
  template <> Unit ctype<Unit>::do_tolower(Unit c) const { return vireo::impl::UnitToLower(c); } \
  template <> const Unit* ctype<Unit>::do_tolower(Unit* lo, const Unit* hi) const {            \
    for (; lo < hi; ++lo) *lo = vireo::impl::UnitToLower(*lo);                                 \
    return hi;                                                                                 \
  }                                                                                            \
  template <> Unit ctype<Unit>::do_widen(char c) const { return static_cast<unsigned char>(c); } \
  template <> const char* ctype<Unit>::do_widen(const char* lo, const char* hi, Unit* to) const { \
    for (; lo < hi; ++lo, ++to) *to = static_cast<unsigned char>(*lo);                         \
    return hi;                                                                                 \
  }                                                                                            \
  template <> char ctype<Unit>::do_narrow(Unit c, char dflt) const {                           \
    return vireo::impl::UnitNarrow(c, dflt);                                                   \
  }                                                                                            \
  template <>                                                                                  \
  const Unit* ctype<Unit>::do_narrow(const Unit* lo, const Unit* hi, char dflt, char* to)      \
      const {                                                                                  \
    for (; lo < hi; ++lo, ++to) *to = vireo::impl::UnitNarrow(*lo, dflt);                      \
    return hi;                                                                                 \
  }                                                                                            \
  template <> numpunct<Unit>::~numpunct() { delete _M_data; }                                  \
  template <> void numpunct<Unit>::_M_initialize_numpunct(__c_locale) {                        \
    if (!_M_data) _M_data = new __numpunct_cache<Unit>;                                        \
    vireo::impl::FillClassicPunctuation(*_M_data);                                             \
  }                                                                                            \
  template class ctype<Unit>;                                                                  \
  template class numpunct<Unit>;                                                               \
  template class num_get<Unit>;                                                                \
  template class num_put<Unit>;                                                                \
  template class basic_ios<Unit>;                                                              \
  template class basic_istream<Unit>;                                                          \
  template class basic_ostream<Unit>;                                                          \
  template class basic_iostream<Unit>;
VIREO_DEFINE_UNIT_FACETS(unsigned short)
VIREO_DEFINE_UNIT_FACETS(unsigned char)
#undef VIREO_DEFINE_UNIT_FACETS

}  // namespace std

namespace vireo {

namespace impl {

std::locale WithUnitFacets(std::locale const& inBase, std::numpunct<unsigned short>* inPunct16,
                           std::numpunct<unsigned char>* inPunct8) {
  std::locale result(inBase, new std::ctype<unsigned short>);
  result = std::locale(result, new std::ctype<unsigned char>);
  result = std::locale(result, inPunct16);
  result = std::locale(result, inPunct8);
  result = std::locale(result, new std::num_get<unsigned short>);
  result = std::locale(result, new std::num_get<unsigned char>);
  result = std::locale(result, new std::num_put<unsigned short>);
  result = std::locale(result, new std::num_put<unsigned char>);
  return result;
}

}  // namespace impl

std::locale const& TextLocale() {
  static std::locale const locale = impl::WithUnitFacets(
      std::locale::classic(), new std::numpunct<unsigned short>, new std::numpunct<unsigned char>);
  return locale;
}

UTF16OutputStream::UTF16OutputStream() {}

UTF16OutputStream::UTF16OutputStream(UTF16StreamBuffer* inBuffer)
    : std::basic_ostream<unsigned short>(inBuffer) {
  imbue(TextLocale());
}

oUTF16StringStream::oUTF16StringStream() { imbue(TextLocale()); }

iUTF16StringStream::iUTF16StringStream(utility::UTF16String const& inText)
    : basic_istringstream(inText) {
  imbue(TextLocale());
}

iUTF16StringStream::iUTF16StringStream(unsigned short const* inText)
    : basic_istringstream(inText ? utility::UTF16String(inText) : utility::UTF16String()) {
  imbue(TextLocale());
}

oUTF8StringStream::oUTF8StringStream() { imbue(TextLocale()); }

iUTF8StringStream::iUTF8StringStream(utility::UTF8String const& inText)
    : basic_istringstream(inText) {
  imbue(TextLocale());
}

iUTF8StringStream::iUTF8StringStream(unsigned char const* inText)
    : basic_istringstream(inText ? utility::UTF8String(inText) : utility::UTF8String()) {
  imbue(TextLocale());
}

namespace utility {
namespace {

// basic_ios::init is protected; a using-declaration in a derived class names it publicly,
// and the pointer to member it yields applies to any stream.
template <class CharT>
struct InitAccess : std::basic_ios<CharT> {
  using std::basic_ios<CharT>::init;
};

template <class CharT>
std::basic_streambuf<CharT>* Reinitialise(std::basic_ios<CharT>& ioStream,
                                          std::basic_streambuf<CharT>* inBuffer) {
  std::basic_streambuf<CharT>* const previous = ioStream.rdbuf();
  void (std::basic_ios<CharT>::*init)(std::basic_streambuf<CharT>*) = &InitAccess<CharT>::init;
  (ioStream.*init)(inBuffer);
  return previous;
}

}  // namespace

std::basic_streambuf<char>* SetStreamBuffer(std::basic_ostream<char>& ioStream,
                                            std::basic_streambuf<char>* inBuffer) {
  return Reinitialise(ioStream, inBuffer);
}

UTF16StreamBuffer* SetStreamBuffer(UTF16OutputStream& ioStream, UTF16StreamBuffer* inBuffer) {
  UTF16StreamBuffer* const previous = Reinitialise(ioStream, inBuffer);
  ioStream.imbue(TextLocale());  // init went back to the global locale, which lacks the facets
  return previous;
}

namespace streams {
namespace {

typedef std::char_traits<unsigned short> Traits16;

// Early, so that the library's other static initialisers may already write to them.
__attribute__((init_priority(200))) debug::UTF16StdOutStreamBuffer<unsigned short, Traits16>
    gStdOutBuffer;
__attribute__((init_priority(200))) UTF16OutputStream gUTF16Out(&gStdOutBuffer);
__attribute__((init_priority(200))) debug::DebugStreamBuffer<unsigned short, Traits16>
    gDebugBuffer;
__attribute__((init_priority(200))) UTF16OutputStream gDebug(&gDebugBuffer);

}  // namespace

// References to objects of static storage: bound before any initialiser runs.
UTF16OutputStream& UTF16Out = gUTF16Out;
UTF16OutputStream& Debug = gDebug;
std::istream& In = std::cin;
std::ostream& Out = std::cout;
std::ostream& Log = std::clog;
std::ostream& Err = std::cerr;

}  // namespace streams
}  // namespace utility
}  // namespace vireo
