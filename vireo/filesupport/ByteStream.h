// Binary byte streams: the common base with its per-stream storage and callbacks, the input
// and output interfaces every stream implements, and the big-endian operators that write and
// read the basic types on any stream.
//
// Streams refer to, and do not own, what they read from or write to; that must outlive them.
#ifndef VIREO_FILESUPPORT_BYTESTREAM_H
#define VIREO_FILESUPPORT_BYTESTREAM_H

#include <string>
#include <utility>
#include <vector>

#include "vireo/Export.h"
#include "vireo/filesupport/ByteStreamExceptions.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {

// Per-stream storage for whoever layers state on a stream (like std::ios_base): slots of
// `long` and of `void*` addressed by indexes from xalloc(), and callbacks told when the stream
// goes away.
class VIREO_API ByteStream_base {
 public:
  // Only erase_event (0) is sent, from the destructor.
  enum event { erase_event = 0 };
  typedef void (*event_callback)(event, ByteStream_base&, int);

  ByteStream_base();
  // Calls every registered callback with erase_event, the latest registered first. Callbacks
  // must not throw.
  virtual ~ByteStream_base();
  ByteStream_base(ByteStream_base const&) = delete;
  ByteStream_base& operator=(ByteStream_base const&) = delete;

  // The next free index, process-wide, counting from 0. Lock-free.
  static int xalloc();
  // The slot of that index, zero until written; the storage grows as needed, so a reference
  // stays valid only until the next call with a larger index. Throws std::out_of_range for a
  // negative index.
  long& iword(int inIndex);
  void*& pword(int inIndex);
  void register_callback(event_callback inCallback, int inIndex);

 private:
  std::vector<long> iwords_;
  std::vector<void*> pwords_;
  std::vector<std::pair<event_callback, int> > callbacks_;
};

// A source of bytes with a 64-bit position.
class VIREO_API IByteStream : public ByteStream_base {
 public:
  ~IByteStream() override;
  // The byte at the position, which moves by one. Throws eof_error at the end (for the streams
  // that know one).
  virtual unsigned char Get() = 0;
  // inCount bytes into outData; by default that many Get calls.
  virtual void ReadBlock(unsigned char* outData, unsigned long inCount);
  virtual void CurPos(unsigned long long inPosition) = 0;
  virtual unsigned long long CurPos() const = 0;
  // The number of bytes of the source; 0 when no length is known.
  virtual unsigned long long Length() const;
};

// A sink of bytes with a 64-bit position.
class VIREO_API OByteStream : public ByteStream_base {
 public:
  ~OByteStream() override;
  virtual void Put(unsigned char inByte) = 0;
  // inCount bytes from inData; by default one Put per byte.
  virtual void WriteBlock(unsigned char const* inData, unsigned long inCount);
  virtual void CurPos(unsigned long long inPosition) = 0;
  virtual unsigned long long CurPos() const = 0;
};

// The binary format: integers big-endian, most significant byte first. `long` and
// `unsigned long` travel as 4 bytes whatever their width here: writing keeps the low 32 bits,
// reading sign-extends a `long` and zero-extends an `unsigned long`. Strings carry a 2-byte
// length (the length modulo 65536, so longer strings do not read back); reading clears the
// string first. Floating values travel as their text with 36 significant digits, a `float`
// widened to `double`, so every value reads back exactly (infinities and NaN included).
VIREO_API OByteStream& operator<<(OByteStream& s, bool const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, char const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, signed char const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, unsigned char const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, short const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, unsigned short const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, long const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, unsigned long const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, long long const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, unsigned long long const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, std::string const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, utility::UTF16String const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, float const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, double const& v);
VIREO_API OByteStream& operator<<(OByteStream& s, long double const& v);

// Reading a floating value whose text is not a number throws byte_stream_exception.
VIREO_API IByteStream& operator>>(IByteStream& s, bool& v);
VIREO_API IByteStream& operator>>(IByteStream& s, char& v);
VIREO_API IByteStream& operator>>(IByteStream& s, signed char& v);
VIREO_API IByteStream& operator>>(IByteStream& s, unsigned char& v);
VIREO_API IByteStream& operator>>(IByteStream& s, short& v);
VIREO_API IByteStream& operator>>(IByteStream& s, unsigned short& v);
VIREO_API IByteStream& operator>>(IByteStream& s, long& v);
VIREO_API IByteStream& operator>>(IByteStream& s, unsigned long& v);
VIREO_API IByteStream& operator>>(IByteStream& s, long long& v);
VIREO_API IByteStream& operator>>(IByteStream& s, unsigned long long& v);
VIREO_API IByteStream& operator>>(IByteStream& s, std::string& v);
VIREO_API IByteStream& operator>>(IByteStream& s, utility::UTF16String& v);
VIREO_API IByteStream& operator>>(IByteStream& s, float& v);
VIREO_API IByteStream& operator>>(IByteStream& s, double& v);
VIREO_API IByteStream& operator>>(IByteStream& s, long double& v);

// Copies inSource into s from the source's position. A source that knows its Length() gives
// exactly that many bytes; one that does not is copied until it reports eof_error, which ends
// the copy quietly (any other failure propagates).
VIREO_API OByteStream& operator<<(OByteStream& s, IByteStream& inSource);

}  // namespace filesupport
}  // namespace vireo

#endif
