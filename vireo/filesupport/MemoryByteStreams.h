// Byte streams over memory: a fixed buffer, a deque, a std::string, and a counter that stores
// nothing. Each refers to its buffer or container, which must outlive it.
#ifndef VIREO_FILESUPPORT_MEMORYBYTESTREAMS_H
#define VIREO_FILESUPPORT_MEMORYBYTESTREAMS_H

#include <deque>
#include <string>

#include "vireo/Export.h"
#include "vireo/filesupport/ByteStream.h"

namespace vireo {
namespace filesupport {

// Reads inSize bytes at inData. Get and ReadBlock past the end throw eof_error; a block that
// does not fit is refused whole, and the position stays.
class VIREO_API IBufferByteStream : public IByteStream {
 public:
  IBufferByteStream(unsigned char const* inData, unsigned long long inSize);
  ~IBufferByteStream() override;

  unsigned char Get() override;
  void ReadBlock(unsigned char* outData, unsigned long inCount) override;
  // Any position is accepted; reading beyond the end throws.
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  unsigned long long Length() const override;

 private:
  unsigned char const* start_;
  unsigned long long size_;
  unsigned long long pos_;
};

// Writes into the inSize bytes at inBuffer. Put and WriteBlock past the end throw eof_error; a
// block that does not fit is refused whole. Count() is the high-water mark: the largest
// position reached by writing or positioning.
class VIREO_API OBufferByteStream : public OByteStream {
 public:
  OBufferByteStream(unsigned char* inBuffer, unsigned long long inSize);
  ~OBufferByteStream() override;

  void Put(unsigned char inByte) override;
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  // The buffer's size.
  virtual unsigned long long Length() const;

  unsigned long long Count() const { return count_; }

 private:
  unsigned char* start_;
  unsigned long long size_;
  unsigned long long pos_;
  unsigned long long count_;
};

// Stores nothing; measures what would be written. Count() is the high-water mark of the
// position.
class VIREO_API OCountingByteStream : public OByteStream {
 public:
  OCountingByteStream();
  ~OCountingByteStream() override;

  void Put(unsigned char inByte) override;
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;

  unsigned long long Count() const { return count_; }

 private:
  unsigned long long pos_;
  unsigned long long count_;
};

// Reads the elements of a deque. A position beyond its size throws eof_error.
class VIREO_API IDequeByteStream : public IByteStream {
 public:
  explicit IDequeByteStream(std::deque<unsigned char> const& inDeque);
  IDequeByteStream(std::deque<unsigned char>&&) = delete;
  ~IDequeByteStream() override;

  unsigned char Get() override;
  void ReadBlock(unsigned char* outData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  unsigned long long Length() const override;

 private:
  std::deque<unsigned char> const& deque_;
  std::size_t index_;
};

// Appends to a deque. Positioning is ignored: the position is always the deque's size.
class VIREO_API ODequeByteStream : public OByteStream {
 public:
  explicit ODequeByteStream(std::deque<unsigned char>& inDeque);
  ~ODequeByteStream() override;

  void Put(unsigned char inByte) override;
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;

 private:
  std::deque<unsigned char>& deque_;
};

// Reads the bytes of a string. A position beyond its size throws eof_error.
class VIREO_API IStringByteStream : public IByteStream {
 public:
  explicit IStringByteStream(std::string const& inString);
  IStringByteStream(std::string&&) = delete;
  ~IStringByteStream() override;

  unsigned char Get() override;
  void ReadBlock(unsigned char* outData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  unsigned long long Length() const override;

 private:
  std::string const& string_;
  std::size_t index_;
};

// Appends to a string. Positioning is ignored: the position is always the string's size.
class VIREO_API OStringByteStream : public OByteStream {
 public:
  explicit OStringByteStream(std::string& inString);
  ~OStringByteStream() override;

  void Put(unsigned char inByte) override;
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;

 private:
  std::string& string_;
};

}  // namespace filesupport
}  // namespace vireo

#endif
