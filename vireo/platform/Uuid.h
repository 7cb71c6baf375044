// UUIDs: creation and the 36-character text form, laid out as the 16-byte _GUID (Data1..Data3
// as numbers, Data4 as the last eight bytes of the text form in order).
#ifndef VIREO_PLATFORM_UUID_H
#define VIREO_PLATFORM_UUID_H

#include <cstddef>

#include "vireo/Export.h"
#include "vireo/platform/Types.h"

namespace vireo {
namespace platform {

enum UuidStatus {
  kUuidOk = 0,
  // An identifier was made but is only unique on this machine (no good source of randomness
  // or node address); outUuid holds it.
  kUuidLocalOnly = 1,
  // No identifier could be made; outUuid is the nil identifier.
  kUuidFailed = 2
};

// A new random identifier. Thread-safe.
VIREO_API UuidStatus CreateUuid(_GUID& outUuid);

// Characters of the text form: 8, 4, 4, 4 and 12 hexadecimal digits separated by "-".
constexpr std::size_t kUuidTextLength = 36;

// Reads exactly the text form (hexadecimal digits in either case, no braces, no white space,
// no NUL inside) from inLength bytes. False, with outUuid untouched, for anything else.
VIREO_API bool UuidFromString(char const* inText, std::size_t inLength, _GUID& outUuid);

// Writes the text form in lower case and a NUL into outText. False when no text could be
// made (outText is then empty).
VIREO_API bool UuidToString(_GUID const& inUuid, char (&outText)[kUuidTextLength + 1]);

}  // namespace platform
}  // namespace vireo

#endif
