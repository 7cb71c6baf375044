// A pass-through output stream that keeps the CRC-32 of everything written through it.
#ifndef VIREO_FILESUPPORT_CRCBYTESTREAM_H
#define VIREO_FILESUPPORT_CRCBYTESTREAM_H

#include <cstdint>

#include "vireo/Export.h"
#include "vireo/filesupport/ByteStream.h"

namespace vireo {
namespace filesupport {

// The CRC-32 of IEEE 802.3 (the one of zlib and PNG) over the bytes in the order they are
// written, whatever positions are set on the target in between. Every byte also goes to the
// target, which must outlive this stream; positions are the target's.
class VIREO_API OCRCByteStream : public OByteStream {
 public:
  explicit OCRCByteStream(OByteStream& inTarget);
  ~OCRCByteStream() override;

  void Put(unsigned char inByte) override;
  // Blocks go through a vectorised engine: prefer them for large amounts.
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;

  // The CRC of the bytes so far (0 for none).
  std::uint32_t Value() const { return ~register_; }

 private:
  OByteStream& target_;
  std::uint32_t register_;
};

}  // namespace filesupport
}  // namespace vireo

#endif
