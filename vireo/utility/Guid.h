// Guid: a 128-bit globally unique identifier in the 16-byte GUID layout, with creation,
// ordering and the 36-character text form ("8-4-4-4-12" hexadecimal digits, lower case, no
// braces).
//
// Failures are raised through config::ThrowError (non-fatal, component 105, deferrable):
// creation 27 "CouldntCreateGUID", a malformed text 28 "MalformedGUID", text conversion 29
// "StringToGUIDFailed". When the error manager returns, creation yields what the generator
// made, a malformed text gives the nil identifier and a failed conversion the empty text.
#ifndef VIREO_UTILITY_GUID_H
#define VIREO_UTILITY_GUID_H

#include <istream>
#include <ostream>
#include <string>

#include "vireo/Export.h"
#include "vireo/platform/Types.h"
#include "vireo/utility/TextStreams.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace utility {

// A plain value: the fields Data1, Data2, Data3 and Data4 of the GUID it derives from, in that
// order, and nothing else.
class VIREO_API Guid : public platform::_GUID {
 public:
  // The nil identifier: all 16 bytes zero.
  Guid();
  Guid(platform::_GUID const& inGuid);
  // Data1 takes the low 32 bits of inData1; Data4 the eight bytes in order.
  Guid(unsigned long inData1, unsigned short inData2, unsigned short inData3, unsigned char inB0,
       unsigned char inB1, unsigned char inB2, unsigned char inB3, unsigned char inB4,
       unsigned char inB5, unsigned char inB6, unsigned char inB7);
  // Parse exactly the text form (hexadecimal digits in either case); anything else, a null
  // pointer included, raises "MalformedGUID".
  explicit Guid(char const* inText);
  explicit Guid(std::string const& inText);
  explicit Guid(UTF16String const& inText);  // through UTF16to8, so a NUL unit ends it

  // A new identifier from the platform's generator; a generator that fails, or only warns
  // (an identifier unique to this machine), raises "CouldntCreateGUID".
  static Guid CreateUnique();

  UTF16String AsString() const;
  platform::_GUID const& GetGUID() const { return *this; }
};

static_assert(sizeof(Guid) == 16, "a Guid is the 16 bytes of a GUID");

VIREO_API bool operator==(Guid const& inLeft, Guid const& inRight);
inline bool operator!=(Guid const& inLeft, Guid const& inRight) { return !(inLeft == inRight); }
// Data1, Data2, Data3 as unsigned numbers, then bytes 0-3 and 4-7 of Data4 each read as a
// little-endian signed 32-bit word: a word with its top bit set sorts first.
VIREO_API bool operator<(Guid const& inLeft, Guid const& inRight);
inline bool operator>(Guid const& inLeft, Guid const& inRight) { return inRight < inLeft; }

// The text form.
VIREO_API std::ostream& operator<<(std::ostream& ioStream, Guid const& inGuid);
VIREO_API oUTF16StringStream& operator<<(oUTF16StringStream& ioStream, Guid const& inGuid);
// Any stream of 16-bit units, so that a Guid can follow other output in one expression.
VIREO_API std::basic_ostream<unsigned short>& operator<<(
    std::basic_ostream<unsigned short>& ioStream, Guid const& inGuid);

// One white-space-delimited word, parsed. A malformed word raises "MalformedGUID"; when the
// error manager returns, the Guid is nil and the stream's failbit is set. When no word can be
// read the Guid is left alone.
VIREO_API std::istream& operator>>(std::istream& ioStream, Guid& outGuid);
VIREO_API iUTF16StringStream& operator>>(iUTF16StringStream& ioStream, Guid& outGuid);
VIREO_API std::basic_istream<unsigned short>& operator>>(
    std::basic_istream<unsigned short>& ioStream, Guid& outGuid);

}  // namespace utility
}  // namespace vireo

#endif
