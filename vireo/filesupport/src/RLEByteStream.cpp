// PackBits coding.
#include "vireo/filesupport/RLEByteStream.h"

#include <algorithm>
#include <cstring>

namespace vireo {
namespace filesupport {

namespace {
constexpr unsigned kMaxPacket = 128;
}

IRLEByteStream::IRLEByteStream(IByteStream& inSource)
    : source_(inSource), literal_(0), repeat_(0), repeatByte_(0) {}

IRLEByteStream::~IRLEByteStream() {}

void IRLEByteStream::NextPacket() {
  for (;;) {
    signed char h = static_cast<signed char>(source_.Get());
    if (h == -128) continue;
    if (h >= 0) {
      literal_ = static_cast<unsigned>(h) + 1;
    } else {
      repeatByte_ = source_.Get();
      repeat_ = static_cast<unsigned>(1 - h);
    }
    return;
  }
}

unsigned char IRLEByteStream::Get() {
  if (literal_ == 0 && repeat_ == 0) NextPacket();
  if (literal_ > 0) {
    unsigned char b = source_.Get();
    --literal_;
    return b;
  }
  --repeat_;
  return repeatByte_;
}

void IRLEByteStream::ReadBlock(unsigned char* outData, unsigned long inCount) {
  while (inCount > 0) {
    if (literal_ == 0 && repeat_ == 0) NextPacket();
    unsigned long n;
    if (literal_ > 0) {
      n = std::min<unsigned long>(literal_, inCount);
      source_.ReadBlock(outData, n);
      literal_ -= static_cast<unsigned>(n);
    } else {
      n = std::min<unsigned long>(repeat_, inCount);
      std::memset(outData, repeatByte_, n);
      repeat_ -= static_cast<unsigned>(n);
    }
    outData += n;
    inCount -= n;
  }
}

void IRLEByteStream::CurPos(unsigned long long) { throw byte_stream_exception(); }

unsigned long long IRLEByteStream::CurPos() const { throw byte_stream_exception(); }

ORLEByteStream::ORLEByteStream(OByteStream& inTarget)
    : target_(inTarget), run_(false), pending_(0), packet_() {}

ORLEByteStream::~ORLEByteStream() {}

void ORLEByteStream::Encode(unsigned char const* inData, unsigned long inCount) {
  // The state lives in locals while bytes go by: a byte store into the packet may alias the
  // members, which would otherwise be read again for every byte.
  unsigned char* bytes = packet_ + 1;
  unsigned n = pending_;
  bool run = run_;
  auto write = [&](unsigned count) {
    pending_ = count;
    run_ = run;
    WritePacket();
  };
  for (unsigned long i = 0; i < inCount; ++i) {
    unsigned char b = inData[i];
    if (n == 0) {
      bytes[0] = b;
      n = 1;
      run = true;
    } else if (run) {
      if (b == bytes[0]) {
        ++n;
      } else if (n == 1) {
        run = false;
        bytes[n++] = b;
      } else {
        write(n);
        bytes[0] = b;
        n = 1;
      }
    } else if (n >= 3 && b == bytes[n - 1] && b == bytes[n - 2]) {
      // Three equal bytes code shorter as a run: the literal ends before the first two.
      write(n - 2);
      bytes[0] = b;
      n = 3;
      run = true;
    } else {
      bytes[n++] = b;
    }
    if (n == kMaxPacket) {
      write(n);
      n = 0;
    }
  }
  pending_ = n;
  run_ = run;
}

void ORLEByteStream::Put(unsigned char inByte) { Encode(&inByte, 1); }

void ORLEByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  Encode(inData, inCount);
}

void ORLEByteStream::CurPos(unsigned long long) { throw byte_stream_exception(); }

unsigned long long ORLEByteStream::CurPos() const { throw byte_stream_exception(); }

void ORLEByteStream::Flush() {
  if (pending_ > 0) WritePacket();
}

void ORLEByteStream::WritePacket() {
  unsigned n = pending_;
  pending_ = 0;
  if (run_ && n > 1) {
    packet_[0] = static_cast<unsigned char>(1 - static_cast<int>(n));
    target_.WriteBlock(packet_, 2);
  } else {
    packet_[0] = static_cast<unsigned char>(n - 1);
    target_.WriteBlock(packet_, n + 1);
  }
}

}  // namespace filesupport
}  // namespace vireo
