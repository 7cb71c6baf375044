// Checksums computed by a tuned engine (libdeflate, with carry-less multiplication where the
// processor has it).
#ifndef VIREO_PLATFORM_CHECKSUM_H
#define VIREO_PLATFORM_CHECKSUM_H

#include <cstddef>
#include <cstdint>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// The CRC-32 of IEEE 802.3 (reflected polynomial 0xEDB88320, as zlib and PNG use it) of the
// `size` bytes at `data`, continuing from `crc`, the finished CRC of the bytes before them
// (0 for none). The same convention as zlib's crc32. Thread-safe; never fails.
VIREO_API std::uint32_t Crc32(std::uint32_t crc, void const* data, std::size_t size);

}  // namespace platform
}  // namespace vireo

#endif
