// UUIDs through libuuid. libuuid keeps the sixteen bytes in text order (big-endian fields); the
// GUID layout keeps its first three fields as native numbers.
#include "vireo/platform/Uuid.h"

#include <uuid/uuid.h>

#include <atomic>
#include <cstring>

#include "vireo/platform/Testing.h"

namespace vireo {
namespace platform {
namespace {

std::atomic<testing::UuidGenerator> gGenerator{nullptr};
std::atomic<bool> gToStringFails{false};

void FromBytes(uuid_t const bytes, _GUID& out) {
  out.Data1 = static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
              static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
  out.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
  out.Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
  std::memcpy(out.Data4, bytes + 8, 8);
}

void ToBytes(_GUID const& in, uuid_t bytes) {
  bytes[0] = static_cast<unsigned char>(in.Data1 >> 24);
  bytes[1] = static_cast<unsigned char>(in.Data1 >> 16);
  bytes[2] = static_cast<unsigned char>(in.Data1 >> 8);
  bytes[3] = static_cast<unsigned char>(in.Data1);
  bytes[4] = static_cast<unsigned char>(in.Data2 >> 8);
  bytes[5] = static_cast<unsigned char>(in.Data2);
  bytes[6] = static_cast<unsigned char>(in.Data3 >> 8);
  bytes[7] = static_cast<unsigned char>(in.Data3);
  std::memcpy(bytes + 8, in.Data4, 8);
}

}  // namespace

UuidStatus CreateUuid(_GUID& outUuid) {
  if (testing::UuidGenerator const generator = gGenerator.load()) return generator(outUuid);
  uuid_t bytes;
  uuid_generate(bytes);
  FromBytes(bytes, outUuid);
  if (uuid_is_null(bytes)) return kUuidFailed;
  // libuuid falls back to a time-based identifier (version 1) when it has no random source.
  return uuid_type(bytes) == UUID_TYPE_DCE_RANDOM ? kUuidOk : kUuidLocalOnly;
}

bool UuidFromString(char const* inText, std::size_t inLength, _GUID& outUuid) {
  if (!inText || inLength != kUuidTextLength) return false;
  char text[kUuidTextLength + 1];
  std::memcpy(text, inText, kUuidTextLength);
  text[kUuidTextLength] = '\0';
  // uuid_parse stops at a NUL, and some versions take leading text it should refuse: the
  // form is checked here whole.
  for (std::size_t i = 0; i < kUuidTextLength; ++i) {
    char const c = text[i];
    bool const dash = i == 8 || i == 13 || i == 18 || i == 23;
    bool const hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (dash ? c != '-' : !hex) return false;
  }
  uuid_t bytes;
  if (uuid_parse(text, bytes) != 0) return false;
  FromBytes(bytes, outUuid);
  return true;
}

bool UuidToString(_GUID const& inUuid, char (&outText)[kUuidTextLength + 1]) {
  outText[0] = '\0';
  if (gToStringFails.load()) return false;
  uuid_t bytes;
  ToBytes(inUuid, bytes);
  uuid_unparse_lower(bytes, outText);
  return true;
}

namespace testing {

void SetUuidGenerator(UuidGenerator inGenerator) { gGenerator.store(inGenerator); }

void SetUuidToStringFailure(bool inFail) { gToStringFails.store(inFail); }

}  // namespace testing
}  // namespace platform
}  // namespace vireo
