// Chunked output of UTF-16 units to the debugger output and to standard output.
#include "vireo/utility/StreamBuffers.h"

#include <cstdio>

#include "vireo/debug/Trace.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace debug {

template <class CharT, class Traits>
UTF16StreamBufferImpl<CharT, Traits>::UTF16StreamBufferImpl() {
  this->setp(buffer_, buffer_ + kBufferUnits);
}

template <class CharT, class Traits>
UTF16StreamBufferImpl<CharT, Traits>::~UTF16StreamBufferImpl() {}

template <class CharT, class Traits>
typename UTF16StreamBufferImpl<CharT, Traits>::int_type
UTF16StreamBufferImpl<CharT, Traits>::overflow(int_type inUnit) {
  Flush();
  if (Traits::eq_int_type(inUnit, Traits::eof())) return Traits::not_eof(inUnit);
  *this->pptr() = Traits::to_char_type(inUnit);
  this->pbump(1);
  return inUnit;
}

template <class CharT, class Traits>
int UTF16StreamBufferImpl<CharT, Traits>::sync() {
  Flush();
  return 0;
}

template <class CharT, class Traits>
void UTF16StreamBufferImpl<CharT, Traits>::Flush() {
  if (this->pptr() == this->pbase()) return;
  chunk_.assign(this->pbase(), this->pptr());
  this->setp(buffer_, buffer_ + kBufferUnits);
  OutputString(chunk_.c_str());
}

template <class CharT, class Traits>
DebugStreamBuffer<CharT, Traits>::~DebugStreamBuffer() {
  try {
    this->Flush();
  } catch (...) {
    // Out of memory while converting the last chunk: it is lost, the process goes on.
  }
}

template <class CharT, class Traits>
void DebugStreamBuffer<CharT, Traits>::OutputString(CharT const* inChunk) {
  utility::UTF8String const bytes = utility::UTF16to8(inChunk);
  DebugTrace(reinterpret_cast<char const*>(bytes.c_str()));
}

template <class CharT, class Traits>
UTF16StdOutStreamBuffer<CharT, Traits>::~UTF16StdOutStreamBuffer() {
  try {
    this->Flush();
  } catch (...) {
  }
}

template <class CharT, class Traits>
void UTF16StdOutStreamBuffer<CharT, Traits>::OutputString(CharT const* inChunk) {
  utility::UTF8String const bytes = utility::UTF16to8(inChunk);
  std::puts(reinterpret_cast<char const*>(bytes.c_str()));
}

template class UTF16StreamBufferImpl<unsigned short, std::char_traits<unsigned short> >;
template class DebugStreamBuffer<unsigned short, std::char_traits<unsigned short> >;
template class UTF16StdOutStreamBuffer<unsigned short, std::char_traits<unsigned short> >;

}  // namespace debug
}  // namespace vireo
