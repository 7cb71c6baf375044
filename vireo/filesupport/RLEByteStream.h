// Run-length coded streams in the PackBits scheme. A packet is a header byte h, read as
// signed: 0..127 is followed by h + 1 literal bytes; -127..-1 by one byte to repeat 1 - h
// times (2 to 128); -128 is a no-op that readers skip. Neither stream can be positioned:
// both CurPos calls throw byte_stream_exception.
#ifndef VIREO_FILESUPPORT_RLEBYTESTREAM_H
#define VIREO_FILESUPPORT_RLEBYTESTREAM_H

#include "vireo/Export.h"
#include "vireo/filesupport/ByteStream.h"

namespace vireo {
namespace filesupport {

// Decodes any PackBits input read from inSource (which must outlive it). The source's
// eof_error passes through, also in the middle of a packet.
class VIREO_API IRLEByteStream : public IByteStream {
 public:
  explicit IRLEByteStream(IByteStream& inSource);
  ~IRLEByteStream() override;

  unsigned char Get() override;
  void ReadBlock(unsigned char* outData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;

 private:
  void NextPacket();

  IByteStream& source_;
  unsigned literal_;  // literal bytes left in the current packet
  unsigned repeat_;   // repeats left in the current packet
  unsigned char repeatByte_;
};

// Encodes onto inTarget (which must outlive it). Runs of two or more equal bytes that start a
// packet become run packets; inside a literal, three equal bytes end it and start a run. A
// packet holds at most 128 bytes. The last packet is written only by Flush(): the destructor
// does not flush, so a writer that does not call it loses the pending bytes.
class VIREO_API ORLEByteStream : public OByteStream {
 public:
  explicit ORLEByteStream(OByteStream& inTarget);
  ~ORLEByteStream() override;

  void Put(unsigned char inByte) override;
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  // Writes the pending packet, if any.
  virtual void Flush();

 protected:
  // Writes the pending bytes as one packet and empties them.
  virtual void WritePacket();

 private:
  void Encode(unsigned char const* inData, unsigned long inCount);

  OByteStream& target_;
  bool run_;
  unsigned pending_;
  // The header's place, then up to 128 pending bytes: a packet leaves in one block.
  unsigned char packet_[1 + 128];
};

}  // namespace filesupport
}  // namespace vireo

#endif
