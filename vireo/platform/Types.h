// Plain geometry and identifier records with the field layout clients of the library expect.
#ifndef VIREO_PLATFORM_TYPES_H
#define VIREO_PLATFORM_TYPES_H

#include <cstdint>

namespace vireo {
namespace platform {

// A point in device units; fields are 32-bit as the record's users store them.
struct POINT {
  std::int32_t x;
  std::int32_t y;
};

// A rectangle given by its edges; right and bottom lie outside.
struct RECT {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
};

// A 16-byte GUID: three numbers and eight bytes, in this order.
struct _GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};

static_assert(sizeof(_GUID) == 16, "a GUID is 16 bytes");

}  // namespace platform
}  // namespace vireo

#endif
