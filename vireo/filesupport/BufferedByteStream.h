// Buffered streams over another stream, for file streams above all: reads through a window of
// the source, writes gathered into one block per dirty range. Each owns its buffer and refers
// to its source or target, which must outlive it and must support positioning.
#ifndef VIREO_FILESUPPORT_BUFFEREDBYTESTREAM_H
#define VIREO_FILESUPPORT_BUFFEREDBYTESTREAM_H

#include <memory>

#include "vireo/Export.h"
#include "vireo/filesupport/ByteStream.h"

namespace vireo {
namespace filesupport {

// Reads inSource through a window of inBufferSize bytes. The source's Length() is taken once,
// at construction; the stream starts at the source's position. Windows start at multiples of
// inAlignment (at least 1, below the buffer size, else std::invalid_argument), one unit
// earlier when there is room, so that reading backwards stays cheap; bytes already held are
// moved, not read again. Blocks larger than the buffer minus the alignment are read directly.
class VIREO_API IBufferedByteStream : public IByteStream {
 public:
  IBufferedByteStream(IByteStream& inSource, unsigned long inBufferSize,
                      unsigned long inAlignment);
  ~IBufferedByteStream() override;

  // eof_error at or past the length; a block that does not fit is refused whole.
  unsigned char Get() override;
  void ReadBlock(unsigned char* outData, unsigned long inCount) override;
  // Any position up to the length (the end itself included), else eof_error.
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  unsigned long long Length() const override;

 protected:
  // Makes the window hold the inCount bytes at inPosition (which lie within the length and
  // fit the buffer with one alignment unit to spare).
  virtual void FillBuffer(unsigned long long inPosition, unsigned long inCount);

 private:
  // Get when the window does not hold the position; apart, so that Get stays small.
  [[gnu::noinline]] unsigned char GetRefilling();
  void ReadSource(unsigned long long inPosition, unsigned char* outData,
                  unsigned long long inCount);

  IByteStream& source_;
  std::unique_ptr<unsigned char[]> buffer_;
  unsigned long size_;
  unsigned long alignment_;
  unsigned long long length_;
  unsigned long long position_;
  unsigned long long windowStart_;
  unsigned long long windowLength_;
};

// Gathers writes to inTarget in a buffer of inBufferSize bytes (at least 1, else
// std::invalid_argument) and writes each dirty range with one positioned WriteBlock. Moving
// the position inside the dirty range (or to its end) costs nothing; elsewhere it flushes
// first. Blocks larger than the buffer go straight to the target. The stream starts at the
// target's position. The third argument is kept for symmetry with the input stream and has
// no effect.
class VIREO_API OBufferedByteStream : public OByteStream {
 public:
  OBufferedByteStream(OByteStream& inTarget, unsigned long inBufferSize,
                      unsigned long inAlignment);
  // Flushes; a failure there is swallowed, as a destructor cannot report it: call Flush()
  // first to see it.
  ~OBufferedByteStream() override;

  void Put(unsigned char inByte) override;
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  // Writes the dirty range to the target; the range stays dirty if that fails.
  virtual void Flush();

  unsigned long Alignment() const { return alignment_; }

 private:
  // Put when a new dirty range starts (after a flush); apart, so that Put stays small.
  [[gnu::noinline]] void PutStartingRange(unsigned char inByte);

  OByteStream& target_;
  std::unique_ptr<unsigned char[]> buffer_;
  unsigned long size_;
  unsigned long alignment_;
  unsigned long long position_;
  unsigned long long dirtyStart_;
  unsigned long long dirtyLength_;
};

}  // namespace filesupport
}  // namespace vireo

#endif
