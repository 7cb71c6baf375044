// CRC-32: single bytes through a table, blocks through the platform's engine.
#include "vireo/filesupport/CRCByteStream.h"

#include <array>

#include "vireo/platform/Checksum.h"

namespace vireo {
namespace filesupport {

namespace {

// The reflected polynomial from the exponents of x^32 + x^26 + x^23 + ... + x + 1.
constexpr std::uint32_t Polynomial() {
  constexpr int kExponents[] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};
  std::uint32_t p = 0;
  for (int e : kExponents) p |= 1u << (31 - e);
  return p;
}

constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? Polynomial() ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();
static_assert(Polynomial() == 0xEDB88320u, "IEEE 802.3 polynomial");

}  // namespace

OCRCByteStream::OCRCByteStream(OByteStream& inTarget)
    : target_(inTarget), register_(0xFFFFFFFFu) {}

OCRCByteStream::~OCRCByteStream() {}

void OCRCByteStream::Put(unsigned char inByte) {
  register_ = (register_ >> 8) ^ kTable[(register_ ^ inByte) & 0xFF];
  target_.Put(inByte);
}

void OCRCByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  // The engine takes and gives finished values: the register is their complement.
  register_ = ~platform::Crc32(~register_, inData, inCount);
  target_.WriteBlock(inData, inCount);
}

void OCRCByteStream::CurPos(unsigned long long inPosition) { target_.CurPos(inPosition); }

unsigned long long OCRCByteStream::CurPos() const { return target_.CurPos(); }

}  // namespace filesupport
}  // namespace vireo
