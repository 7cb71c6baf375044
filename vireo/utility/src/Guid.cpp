// Guid over the platform's UUID services; failures raised with their fallbacks.
#include "vireo/utility/Guid.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "vireo/config/Errors.h"
#include "vireo/platform/Uuid.h"

namespace vireo {
namespace utility {
namespace {

constexpr unsigned long kUtilityComponent = 105;

void Raise(char const* inKey, long inCode) {
  config::ThrowError(config::kErrorLevelNonFatal, inKey, kUtilityComponent, inCode, true,
                     config::ReplacementValue(), config::ReplacementValue(),
                     config::ReplacementValue(), config::ReplacementValue());
}

// False, after raising the error, when the text is not the text form; outGuid is then nil.
bool Parse(char const* inText, std::size_t inLength, platform::_GUID& outGuid) {
  if (platform::UuidFromString(inText, inLength, outGuid)) return true;
  Raise("$$$/wren/utility/Error/MalformedGUID=Malformed Guid string.", 28);
  outGuid = platform::_GUID();
  return false;
}

bool Parse(std::string const& inText, platform::_GUID& outGuid) {
  return Parse(inText.data(), inText.size(), outGuid);
}

bool Parse(UTF16String const& inText, platform::_GUID& outGuid) {
  UTF8String const bytes = UTF16to8(inText);
  return Parse(reinterpret_cast<char const*>(bytes.data()), bytes.size(), outGuid);
}

template <class Text>
platform::_GUID Parsed(Text const& inText) {
  platform::_GUID result;
  Parse(inText, result);
  return result;
}

std::int32_t SignedWord(std::uint8_t const* inBytes) {
  std::uint32_t const word = static_cast<std::uint32_t>(inBytes[0]) |
                             static_cast<std::uint32_t>(inBytes[1]) << 8 |
                             static_cast<std::uint32_t>(inBytes[2]) << 16 |
                             static_cast<std::uint32_t>(inBytes[3]) << 24;
  return static_cast<std::int32_t>(word);
}

template <class Stream, class Word>
Stream& ReadGuid(Stream& ioStream, Guid& outGuid) {
  Word word;
  if (!(ioStream >> word)) return ioStream;
  platform::_GUID parsed;
  if (!Parse(word, parsed)) ioStream.setstate(std::ios_base::failbit);
  outGuid = parsed;
  return ioStream;
}

}  // namespace

Guid::Guid() : platform::_GUID() {}

Guid::Guid(platform::_GUID const& inGuid) : platform::_GUID(inGuid) {}

Guid::Guid(unsigned long inData1, unsigned short inData2, unsigned short inData3,
           unsigned char inB0, unsigned char inB1, unsigned char inB2, unsigned char inB3,
           unsigned char inB4, unsigned char inB5, unsigned char inB6, unsigned char inB7)
    : platform::_GUID{static_cast<std::uint32_t>(inData1),
                      inData2,
                      inData3,
                      {inB0, inB1, inB2, inB3, inB4, inB5, inB6, inB7}} {}

Guid::Guid(char const* inText)
    : platform::_GUID(Parsed(std::string(inText ? inText : ""))) {}

Guid::Guid(std::string const& inText) : platform::_GUID(Parsed(inText)) {}

Guid::Guid(UTF16String const& inText) : platform::_GUID(Parsed(inText)) {}

Guid Guid::CreateUnique() {
  platform::_GUID made = {};
  if (platform::CreateUuid(made) != platform::kUuidOk)
    Raise("$$$/wren/utility/Error/CouldntCreateGUID=Couldn't create Guid.", 27);
  return Guid(made);
}

UTF16String Guid::AsString() const {
  char text[platform::kUuidTextLength + 1];
  if (!platform::UuidToString(*this, text)) {
    Raise("$$$/wren/utility/Error/StringToGUIDFailed=String to GUID failed.", 29);
    return UTF16String();
  }
  return UTF16String(text, text + platform::kUuidTextLength);
}

bool operator==(Guid const& inLeft, Guid const& inRight) {
  return std::memcmp(&inLeft.GetGUID(), &inRight.GetGUID(), sizeof(platform::_GUID)) == 0;
}

bool operator<(Guid const& inLeft, Guid const& inRight) {
  if (inLeft.Data1 != inRight.Data1) return inLeft.Data1 < inRight.Data1;
  if (inLeft.Data2 != inRight.Data2) return inLeft.Data2 < inRight.Data2;
  if (inLeft.Data3 != inRight.Data3) return inLeft.Data3 < inRight.Data3;
  std::int32_t const left0 = SignedWord(inLeft.Data4), right0 = SignedWord(inRight.Data4);
  if (left0 != right0) return left0 < right0;
  return SignedWord(inLeft.Data4 + 4) < SignedWord(inRight.Data4 + 4);
}

std::ostream& operator<<(std::ostream& ioStream, Guid const& inGuid) {
  UTF8String const text = UTF16to8(inGuid.AsString());
  // Formatted output, so a field width pads the text as it would a string.
  return ioStream << std::string_view(reinterpret_cast<char const*>(text.data()), text.size());
}

std::basic_ostream<unsigned short>& operator<<(std::basic_ostream<unsigned short>& ioStream,
                                               Guid const& inGuid) {
  UTF16String const text = inGuid.AsString();
  return ioStream << std::basic_string_view<unsigned short>(text.data(), text.size());
}

oUTF16StringStream& operator<<(oUTF16StringStream& ioStream, Guid const& inGuid) {
  static_cast<std::basic_ostream<unsigned short>&>(ioStream) << inGuid;
  return ioStream;
}

std::istream& operator>>(std::istream& ioStream, Guid& outGuid) {
  return ReadGuid<std::istream, std::string>(ioStream, outGuid);
}

std::basic_istream<unsigned short>& operator>>(std::basic_istream<unsigned short>& ioStream,
                                               Guid& outGuid) {
  return ReadGuid<std::basic_istream<unsigned short>, UTF16String>(ioStream, outGuid);
}

iUTF16StringStream& operator>>(iUTF16StringStream& ioStream, Guid& outGuid) {
  static_cast<std::basic_istream<unsigned short>&>(ioStream) >> outGuid;
  return ioStream;
}

}  // namespace utility
}  // namespace vireo
