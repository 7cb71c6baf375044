// Byte streams over standard streams.
#include "vireo/filesupport/StdByteStream.h"

#include <string>

namespace vireo {
namespace filesupport {

IStdByteStream::IStdByteStream(std::istream& inStream) : stream_(inStream) {}

IStdByteStream::~IStdByteStream() {}

void IStdByteStream::Failed() {
  if (stream_.bad()) throw io_error();
  throw eof_error();
}

unsigned char IStdByteStream::Get() {
  std::istream::int_type c = stream_.get();
  if (std::istream::traits_type::eq_int_type(c, std::istream::traits_type::eof())) Failed();
  return static_cast<unsigned char>(c);
}

void IStdByteStream::ReadBlock(unsigned char* outData, unsigned long inCount) {
  std::streamsize wanted = static_cast<std::streamsize>(inCount);
  stream_.read(reinterpret_cast<char*>(outData), wanted);
  if (stream_.gcount() != wanted) Failed();
}

void IStdByteStream::CurPos(unsigned long long inPosition) {
  std::ios::iostate state = stream_.rdstate();
  stream_.clear(state & ~(std::ios::eofbit | std::ios::failbit));
  if (!stream_.seekg(static_cast<std::streamoff>(inPosition), std::ios::beg)) {
    // Reported by the exception: the stream stays readable where it was.
    stream_.clear(state);
    throw io_error();
  }
}

unsigned long long IStdByteStream::CurPos() const {
  std::streampos pos = stream_.tellg();
  if (pos == std::streampos(-1)) throw io_error();
  return static_cast<unsigned long long>(static_cast<std::streamoff>(pos));
}

unsigned long long IStdByteStream::Length() const {
  // Meeting the end sets the fail flag, which would make tellg fail: measure without it and
  // leave the flags as they were.
  std::ios::iostate state = stream_.rdstate();
  if (state & std::ios::badbit) return 0;
  stream_.clear();
  std::streampos here = stream_.tellg();
  std::streampos end = std::streampos(-1);
  if (here != std::streampos(-1)) {
    end = stream_.seekg(0, std::ios::end).tellg();
    stream_.clear();
    stream_.seekg(here);
  }
  stream_.clear(state);
  if (end == std::streampos(-1)) return 0;
  return static_cast<unsigned long long>(static_cast<std::streamoff>(end));
}

OStdByteStream::OStdByteStream(std::ostream& inStream) : stream_(inStream) {}

OStdByteStream::~OStdByteStream() {}

void OStdByteStream::Put(unsigned char inByte) {
  if (!stream_.put(static_cast<char>(inByte))) throw io_error();
}

void OStdByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  std::streamsize count = static_cast<std::streamsize>(inCount);
  if (!stream_.write(reinterpret_cast<char const*>(inData), count)) throw io_error();
}

void OStdByteStream::CurPos(unsigned long long inPosition) {
  std::ios::iostate state = stream_.rdstate();
  if (!stream_.seekp(static_cast<std::streamoff>(inPosition), std::ios::beg)) {
    stream_.clear(state);
    throw io_error();
  }
}

unsigned long long OStdByteStream::CurPos() const {
  std::streampos pos = stream_.tellp();
  if (pos == std::streampos(-1)) throw io_error();
  return static_cast<unsigned long long>(static_cast<std::streamoff>(pos));
}

}  // namespace filesupport
}  // namespace vireo
