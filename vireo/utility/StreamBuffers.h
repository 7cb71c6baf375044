// Buffered output of UTF-16 units in chunks: the buffers behind the process-wide streams
// utility::streams::Debug (the debugger output) and utility::streams::UTF16Out (standard
// output).
#ifndef VIREO_UTILITY_STREAMBUFFERS_H
#define VIREO_UTILITY_STREAMBUFFERS_H

#include <streambuf>
#include <string>

#include "vireo/Export.h"

namespace vireo {
namespace debug {

// An output buffer of 255 units. When it is full, flushed (sync) or destroyed, the buffered
// units go to OutputString as one NUL-terminated chunk; an empty buffer calls nothing. So
// OutputString receives chunks of at most 255 units, cut where the buffer filled or where
// the stream was flushed. Not locked.
template <class CharT, class Traits>
class VIREO_API UTF16StreamBufferImpl : public std::basic_streambuf<CharT, Traits> {
 public:
  typedef typename Traits::int_type int_type;
  static int const kBufferUnits = 255;

  UTF16StreamBufferImpl();
  // Derived classes flush in their own destructor: OutputString is theirs.
  ~UTF16StreamBufferImpl() override;

 protected:
  int_type overflow(int_type inUnit) override;
  int sync() override;
  // Receives one chunk, NUL-terminated.
  virtual void OutputString(CharT const* inChunk) = 0;
  // Hands what is buffered to OutputString once (nothing when empty) and empties the buffer.
  void Flush();

 private:
  CharT buffer_[kBufferUnits];
  std::basic_string<CharT, Traits> chunk_;
};

// Sends each chunk, as UTF-8, to the debugger output (DebugTrace).
template <class CharT, class Traits>
class VIREO_API DebugStreamBuffer : public UTF16StreamBufferImpl<CharT, Traits> {
 public:
  ~DebugStreamBuffer() override;

 protected:
  void OutputString(CharT const* inChunk) override;
};

// Writes each chunk, as UTF-8, to standard output followed by a line feed (as puts does).
template <class CharT, class Traits>
class VIREO_API UTF16StdOutStreamBuffer : public UTF16StreamBufferImpl<CharT, Traits> {
 public:
  ~UTF16StdOutStreamBuffer() override;

 protected:
  void OutputString(CharT const* inChunk) override;
};

// The library instantiates them for UTF-16 units only.
extern template class UTF16StreamBufferImpl<unsigned short, std::char_traits<unsigned short> >;
extern template class DebugStreamBuffer<unsigned short, std::char_traits<unsigned short> >;
extern template class UTF16StdOutStreamBuffer<unsigned short, std::char_traits<unsigned short> >;

}  // namespace debug
}  // namespace vireo

#endif
