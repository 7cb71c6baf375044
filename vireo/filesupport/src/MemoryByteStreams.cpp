// Byte streams over memory.
#include "vireo/filesupport/MemoryByteStreams.h"

#include <algorithm>
#include <cstring>

namespace vireo {
namespace filesupport {

namespace {

// True when inCount bytes starting at inPos lie within inSize, without overflow.
bool Fits(unsigned long long inPos, unsigned long long inCount, unsigned long long inSize) {
  return inPos <= inSize && inCount <= inSize - inPos;
}

// Reading a container (deque or string) through an index.
template <typename Container>
unsigned char GetAt(Container const& c, std::size_t& index) {
  if (index >= c.size()) throw eof_error();
  return static_cast<unsigned char>(c[index++]);
}

template <typename Container>
void ReadAt(Container const& c, std::size_t& index, unsigned char* outData, unsigned long inCount) {
  if (!Fits(index, inCount, c.size())) throw eof_error();
  auto first = c.begin() + static_cast<std::ptrdiff_t>(index);
  std::copy(first, first + static_cast<std::ptrdiff_t>(inCount), outData);
  index += inCount;
}

template <typename Container>
void MoveTo(Container const& c, std::size_t& index, unsigned long long inPosition) {
  if (inPosition > c.size()) throw eof_error();
  index = static_cast<std::size_t>(inPosition);
}

}  // namespace

IBufferByteStream::IBufferByteStream(unsigned char const* inData, unsigned long long inSize)
    : start_(inData), size_(inSize), pos_(0) {}

IBufferByteStream::~IBufferByteStream() {}

unsigned char IBufferByteStream::Get() {
  if (pos_ >= size_) throw eof_error();
  return start_[pos_++];
}

void IBufferByteStream::ReadBlock(unsigned char* outData, unsigned long inCount) {
  if (!Fits(pos_, inCount, size_)) throw eof_error();
  if (inCount != 0) std::memcpy(outData, start_ + pos_, inCount);
  pos_ += inCount;
}

void IBufferByteStream::CurPos(unsigned long long inPosition) { pos_ = inPosition; }

unsigned long long IBufferByteStream::CurPos() const { return pos_; }

unsigned long long IBufferByteStream::Length() const { return size_; }

OBufferByteStream::OBufferByteStream(unsigned char* inBuffer, unsigned long long inSize)
    : start_(inBuffer), size_(inSize), pos_(0), count_(0) {}

OBufferByteStream::~OBufferByteStream() {}

void OBufferByteStream::Put(unsigned char inByte) {
  if (pos_ >= size_) throw eof_error();
  start_[pos_++] = inByte;
  count_ = std::max(count_, pos_);
}

void OBufferByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  if (!Fits(pos_, inCount, size_)) throw eof_error();
  if (inCount != 0) std::memcpy(start_ + pos_, inData, inCount);
  pos_ += inCount;
  count_ = std::max(count_, pos_);
}

void OBufferByteStream::CurPos(unsigned long long inPosition) {
  pos_ = inPosition;
  count_ = std::max(count_, pos_);
}

unsigned long long OBufferByteStream::CurPos() const { return pos_; }

unsigned long long OBufferByteStream::Length() const { return size_; }

OCountingByteStream::OCountingByteStream() : pos_(0), count_(0) {}

OCountingByteStream::~OCountingByteStream() {}

void OCountingByteStream::Put(unsigned char) {
  ++pos_;
  count_ = std::max(count_, pos_);
}

void OCountingByteStream::WriteBlock(unsigned char const*, unsigned long inCount) {
  pos_ += inCount;
  count_ = std::max(count_, pos_);
}

void OCountingByteStream::CurPos(unsigned long long inPosition) { pos_ = inPosition; }

unsigned long long OCountingByteStream::CurPos() const { return pos_; }

IDequeByteStream::IDequeByteStream(std::deque<unsigned char> const& inDeque)
    : deque_(inDeque), index_(0) {}

IDequeByteStream::~IDequeByteStream() {}

unsigned char IDequeByteStream::Get() { return GetAt(deque_, index_); }

void IDequeByteStream::ReadBlock(unsigned char* outData, unsigned long inCount) {
  ReadAt(deque_, index_, outData, inCount);
}

void IDequeByteStream::CurPos(unsigned long long inPosition) {
  MoveTo(deque_, index_, inPosition);
}

unsigned long long IDequeByteStream::CurPos() const { return index_; }

unsigned long long IDequeByteStream::Length() const { return deque_.size(); }

ODequeByteStream::ODequeByteStream(std::deque<unsigned char>& inDeque) : deque_(inDeque) {}

ODequeByteStream::~ODequeByteStream() {}

void ODequeByteStream::Put(unsigned char inByte) { deque_.push_back(inByte); }

void ODequeByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  deque_.insert(deque_.end(), inData, inData + inCount);
}

void ODequeByteStream::CurPos(unsigned long long) {}

unsigned long long ODequeByteStream::CurPos() const { return deque_.size(); }

IStringByteStream::IStringByteStream(std::string const& inString)
    : string_(inString), index_(0) {}

IStringByteStream::~IStringByteStream() {}

unsigned char IStringByteStream::Get() { return GetAt(string_, index_); }

void IStringByteStream::ReadBlock(unsigned char* outData, unsigned long inCount) {
  ReadAt(string_, index_, outData, inCount);
}

void IStringByteStream::CurPos(unsigned long long inPosition) {
  MoveTo(string_, index_, inPosition);
}

unsigned long long IStringByteStream::CurPos() const { return index_; }

unsigned long long IStringByteStream::Length() const { return string_.size(); }

OStringByteStream::OStringByteStream(std::string& inString) : string_(inString) {}

OStringByteStream::~OStringByteStream() {}

void OStringByteStream::Put(unsigned char inByte) {
  string_.push_back(static_cast<char>(inByte));
}

void OStringByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  string_.append(reinterpret_cast<char const*>(inData), inCount);
}

void OStringByteStream::CurPos(unsigned long long) {}

unsigned long long OStringByteStream::CurPos() const { return string_.size(); }

}  // namespace filesupport
}  // namespace vireo
