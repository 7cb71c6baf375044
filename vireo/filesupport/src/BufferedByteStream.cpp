// Buffered input through a window, buffered output through a dirty range.
#include "vireo/filesupport/BufferedByteStream.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vireo {
namespace filesupport {

IBufferedByteStream::IBufferedByteStream(IByteStream& inSource, unsigned long inBufferSize,
                                         unsigned long inAlignment)
    : source_(inSource),
      size_(inBufferSize),
      alignment_(inAlignment),
      length_(0),
      position_(0),
      windowStart_(0),
      windowLength_(0) {
  if (inAlignment < 1 || inAlignment >= inBufferSize) {
    throw std::invalid_argument("IBufferedByteStream: the alignment must be 1 or more and "
                                "below the buffer size");
  }
  buffer_.reset(new unsigned char[inBufferSize]);
  length_ = source_.Length();
  position_ = source_.CurPos();
}

IBufferedByteStream::~IBufferedByteStream() {}

unsigned char IBufferedByteStream::Get() {
  // One comparison on the common path: below the window the offset wraps around, and the
  // window never reaches past the length.
  unsigned long long offset = position_ - windowStart_;
  if (offset >= windowLength_) return GetRefilling();
  ++position_;
  return buffer_[offset];
}

unsigned char IBufferedByteStream::GetRefilling() {
  if (position_ >= length_) throw eof_error();
  FillBuffer(position_, 1);
  return buffer_[position_++ - windowStart_];
}

void IBufferedByteStream::ReadBlock(unsigned char* outData, unsigned long inCount) {
  if (position_ > length_ || inCount > length_ - position_) throw eof_error();
  if (inCount == 0) return;
  if (inCount > size_ - alignment_) {
    ReadSource(position_, outData, inCount);
  } else {
    if (position_ < windowStart_ || position_ - windowStart_ + inCount > windowLength_) {
      FillBuffer(position_, inCount);
    }
    std::memcpy(outData, buffer_.get() + (position_ - windowStart_), inCount);
  }
  position_ += inCount;
}

void IBufferedByteStream::CurPos(unsigned long long inPosition) {
  if (inPosition > length_) throw eof_error();
  position_ = inPosition;
}

unsigned long long IBufferedByteStream::CurPos() const { return position_; }

unsigned long long IBufferedByteStream::Length() const { return length_; }

void IBufferedByteStream::ReadSource(unsigned long long inPosition, unsigned char* outData,
                                     unsigned long long inCount) {
  source_.CurPos(inPosition);
  source_.ReadBlock(outData, static_cast<unsigned long>(inCount));
}

void IBufferedByteStream::FillBuffer(unsigned long long inPosition, unsigned long inCount) {
  unsigned long long start = inPosition - inPosition % alignment_;
  // One unit before the position too, when it fits: a reader going backwards then finds the
  // bytes just before the window's start already there.
  if (start > alignment_ && inPosition + inCount - (start - alignment_) <= size_) {
    start -= alignment_;
  }
  unsigned long long length = std::min<unsigned long long>(size_, length_ - start);
  unsigned long long end = start + length;
  unsigned long long keptFirst = std::max(windowStart_, start);
  unsigned long long keptEnd = std::min(windowStart_ + windowLength_, end);
  unsigned char* buffer = buffer_.get();
  bool keep = windowLength_ > 0 && keptFirst < keptEnd;
  // Empty until refilled, so that a failed read leaves no stale window.
  unsigned long long oldStart = windowStart_;
  windowLength_ = 0;
  if (keep) {
    std::memmove(buffer + (keptFirst - start), buffer + (keptFirst - oldStart),
                 keptEnd - keptFirst);
    if (start < keptFirst) ReadSource(start, buffer, keptFirst - start);
    if (keptEnd < end) ReadSource(keptEnd, buffer + (keptEnd - start), end - keptEnd);
  } else {
    ReadSource(start, buffer, length);
  }
  windowStart_ = start;
  windowLength_ = length;
}

OBufferedByteStream::OBufferedByteStream(OByteStream& inTarget, unsigned long inBufferSize,
                                         unsigned long inAlignment)
    : target_(inTarget),
      size_(inBufferSize),
      alignment_(inAlignment),
      position_(0),
      dirtyStart_(0),
      dirtyLength_(0) {
  if (inBufferSize < 1) throw std::invalid_argument("OBufferedByteStream: empty buffer");
  buffer_.reset(new unsigned char[inBufferSize]);
  position_ = target_.CurPos();
}

OBufferedByteStream::~OBufferedByteStream() {
  try {
    Flush();
  } catch (...) {
  }
}

void OBufferedByteStream::Put(unsigned char inByte) {
  unsigned long long offset = position_ - dirtyStart_;
  if (dirtyLength_ == 0 || offset >= size_) return PutStartingRange(inByte);
  ++position_;
  if (offset >= dirtyLength_) dirtyLength_ = offset + 1;
  // Stored last: a byte store may alias the members, which would have to be read again.
  buffer_[offset] = inByte;
}

void OBufferedByteStream::PutStartingRange(unsigned char inByte) {
  if (dirtyLength_ > 0) Flush();
  dirtyStart_ = position_;
  ++position_;
  dirtyLength_ = 1;
  buffer_[0] = inByte;
}

void OBufferedByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  if (inCount == 0) return;
  if (dirtyLength_ > 0 && position_ - dirtyStart_ + inCount > size_) Flush();
  if (inCount > size_) {
    target_.CurPos(position_);
    target_.WriteBlock(inData, inCount);
  } else {
    if (dirtyLength_ == 0) dirtyStart_ = position_;
    std::memcpy(buffer_.get() + (position_ - dirtyStart_), inData, inCount);
    dirtyLength_ = std::max(dirtyLength_, position_ + inCount - dirtyStart_);
  }
  position_ += inCount;
}

void OBufferedByteStream::CurPos(unsigned long long inPosition) {
  if (dirtyLength_ > 0 &&
      (inPosition < dirtyStart_ || inPosition - dirtyStart_ > dirtyLength_)) {
    Flush();
  }
  position_ = inPosition;
}

unsigned long long OBufferedByteStream::CurPos() const { return position_; }

void OBufferedByteStream::Flush() {
  if (dirtyLength_ == 0) return;
  target_.CurPos(dirtyStart_);
  target_.WriteBlock(buffer_.get(), static_cast<unsigned long>(dirtyLength_));
  dirtyLength_ = 0;
}

}  // namespace filesupport
}  // namespace vireo
