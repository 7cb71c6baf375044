// Byte streams over standard streams, which must outlive them.
#ifndef VIREO_FILESUPPORT_STDBYTESTREAM_H
#define VIREO_FILESUPPORT_STDBYTESTREAM_H

#include <istream>
#include <ostream>

#include "vireo/Export.h"
#include "vireo/filesupport/ByteStream.h"

namespace vireo {
namespace filesupport {

// Reads a std::istream. Get and ReadBlock at its end throw eof_error, like every other stream
// with an end (so a copy of this stream ends), and io_error when the stream has gone bad.
// Setting a position clears the end-of-file state first, so a stream read to its end can be
// read again.
class VIREO_API IStdByteStream : public IByteStream {
 public:
  explicit IStdByteStream(std::istream& inStream);
  ~IStdByteStream() override;

  unsigned char Get() override;
  void ReadBlock(unsigned char* outData, unsigned long inCount) override;
  // Absolute seekg; io_error when the stream refuses it, which then stays where it was.
  void CurPos(unsigned long long inPosition) override;
  // tellg; io_error when the stream cannot tell (a pipe, say).
  unsigned long long CurPos() const override;
  // Seeks to the end and back; 0 (no known length) when the stream cannot seek.
  unsigned long long Length() const override;

 private:
  [[noreturn]] void Failed();

  std::istream& stream_;
};

// Writes a std::ostream; io_error when it fails.
class VIREO_API OStdByteStream : public OByteStream {
 public:
  explicit OStdByteStream(std::ostream& inStream);
  ~OStdByteStream() override;

  void Put(unsigned char inByte) override;
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  // seekp; io_error when the stream refuses it, which then stays where it was.
  void CurPos(unsigned long long inPosition) override;
  // tellp; io_error when the stream cannot tell.
  unsigned long long CurPos() const override;

 private:
  std::ostream& stream_;
};

}  // namespace filesupport
}  // namespace vireo

#endif
