// Checksums through libdeflate.
#include "vireo/platform/Checksum.h"

#include <libdeflate.h>

namespace vireo {
namespace platform {

std::uint32_t Crc32(std::uint32_t crc, void const* data, std::size_t size) {
  return libdeflate_crc32(crc, data, size);
}

}  // namespace platform
}  // namespace vireo
