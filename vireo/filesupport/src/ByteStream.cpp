// The stream base classes and the big-endian binary format.
#include "vireo/filesupport/ByteStream.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace vireo {
namespace filesupport {

namespace {

std::atomic<int> gNextIndex(0);

template <typename Slots>
typename Slots::reference Slot(Slots& slots, int index, char const* what) {
  if (index < 0) throw std::out_of_range(what);
  if (static_cast<std::size_t>(index) >= slots.size()) slots.resize(index + 1u);
  return slots[index];
}

template <typename U>
void PutUnsigned(OByteStream& s, U v, int bytes) {
  unsigned char out[8];
  for (int i = bytes - 1; i >= 0; --i) {
    out[i] = static_cast<unsigned char>(v);
    v = static_cast<U>(v >> 8);
  }
  s.WriteBlock(out, static_cast<unsigned long>(bytes));
}

template <typename U>
U GetUnsigned(IByteStream& s, int bytes) {
  unsigned char in[8];
  s.ReadBlock(in, static_cast<unsigned long>(bytes));
  U v = 0;
  for (int i = 0; i < bytes; ++i) v = static_cast<U>((v << 8) | in[i]);
  return v;
}

// A fixed format: the client's global locale must not put a decimal comma into the data.
template <typename F>
void PutFloating(OByteStream& s, F v) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text.precision(36);
  text << v;
  s << text.str();
}

template <typename F>
F GetFloating(IByteStream& s) {
  std::string text;
  s >> text;
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  F v = 0;
  in >> v;
  if (in && (in >> std::ws).eof()) return v;
  // The formatter writes infinities and NaN as words that the extractor does not take.
  bool negative = !text.empty() && text[0] == '-';
  std::string word = text.substr(negative ? 1 : 0);
  if (word == "inf") {
    return negative ? -std::numeric_limits<F>::infinity() : std::numeric_limits<F>::infinity();
  }
  if (word == "nan") {
    return negative ? -std::numeric_limits<F>::quiet_NaN() : std::numeric_limits<F>::quiet_NaN();
  }
  throw byte_stream_exception();
}

}  // namespace

ByteStream_base::ByteStream_base() {}

ByteStream_base::~ByteStream_base() {
  for (auto it = callbacks_.rbegin(); it != callbacks_.rend(); ++it) {
    it->first(erase_event, *this, it->second);
  }
}

int ByteStream_base::xalloc() { return gNextIndex.fetch_add(1, std::memory_order_relaxed); }

long& ByteStream_base::iword(int inIndex) {
  return Slot(iwords_, inIndex, "ByteStream_base::iword: negative index");
}

void*& ByteStream_base::pword(int inIndex) {
  return Slot(pwords_, inIndex, "ByteStream_base::pword: negative index");
}

void ByteStream_base::register_callback(event_callback inCallback, int inIndex) {
  callbacks_.emplace_back(inCallback, inIndex);
}

IByteStream::~IByteStream() {}

void IByteStream::ReadBlock(unsigned char* outData, unsigned long inCount) {
  for (unsigned long i = 0; i < inCount; ++i) outData[i] = Get();
}

unsigned long long IByteStream::Length() const { return 0; }

OByteStream::~OByteStream() {}

void OByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  for (unsigned long i = 0; i < inCount; ++i) Put(inData[i]);
}

OByteStream& operator<<(OByteStream& s, bool const& v) {
  s.Put(v ? 1 : 0);
  return s;
}
OByteStream& operator<<(OByteStream& s, char const& v) {
  s.Put(static_cast<unsigned char>(v));
  return s;
}
OByteStream& operator<<(OByteStream& s, signed char const& v) {
  s.Put(static_cast<unsigned char>(v));
  return s;
}
OByteStream& operator<<(OByteStream& s, unsigned char const& v) {
  s.Put(v);
  return s;
}
OByteStream& operator<<(OByteStream& s, short const& v) {
  PutUnsigned(s, static_cast<std::uint16_t>(v), 2);
  return s;
}
OByteStream& operator<<(OByteStream& s, unsigned short const& v) {
  PutUnsigned(s, static_cast<std::uint16_t>(v), 2);
  return s;
}
OByteStream& operator<<(OByteStream& s, long const& v) {
  PutUnsigned(s, static_cast<std::uint32_t>(v), 4);
  return s;
}
OByteStream& operator<<(OByteStream& s, unsigned long const& v) {
  PutUnsigned(s, static_cast<std::uint32_t>(v), 4);
  return s;
}
OByteStream& operator<<(OByteStream& s, long long const& v) {
  PutUnsigned(s, static_cast<std::uint64_t>(v), 8);
  return s;
}
OByteStream& operator<<(OByteStream& s, unsigned long long const& v) {
  PutUnsigned(s, static_cast<std::uint64_t>(v), 8);
  return s;
}
OByteStream& operator<<(OByteStream& s, std::string const& v) {
  PutUnsigned(s, static_cast<std::uint16_t>(v.size()), 2);
  s.WriteBlock(reinterpret_cast<unsigned char const*>(v.data()),
               static_cast<unsigned long>(v.size()));
  return s;
}
OByteStream& operator<<(OByteStream& s, utility::UTF16String const& v) {
  PutUnsigned(s, static_cast<std::uint16_t>(v.size()), 2);
  // Big-endian units, a block at a time.
  unsigned char chunk[512];
  std::size_t done = 0;
  while (done < v.size()) {
    std::size_t n = std::min<std::size_t>(v.size() - done, sizeof chunk / 2);
    for (std::size_t i = 0; i < n; ++i) {
      chunk[2 * i] = static_cast<unsigned char>(v[done + i] >> 8);
      chunk[2 * i + 1] = static_cast<unsigned char>(v[done + i]);
    }
    s.WriteBlock(chunk, static_cast<unsigned long>(2 * n));
    done += n;
  }
  return s;
}
OByteStream& operator<<(OByteStream& s, float const& v) {
  PutFloating(s, static_cast<double>(v));
  return s;
}
OByteStream& operator<<(OByteStream& s, double const& v) {
  PutFloating(s, v);
  return s;
}
OByteStream& operator<<(OByteStream& s, long double const& v) {
  PutFloating(s, v);
  return s;
}

IByteStream& operator>>(IByteStream& s, bool& v) {
  v = s.Get() != 0;
  return s;
}
IByteStream& operator>>(IByteStream& s, char& v) {
  v = static_cast<char>(s.Get());
  return s;
}
IByteStream& operator>>(IByteStream& s, signed char& v) {
  v = static_cast<signed char>(s.Get());
  return s;
}
IByteStream& operator>>(IByteStream& s, unsigned char& v) {
  v = s.Get();
  return s;
}
IByteStream& operator>>(IByteStream& s, short& v) {
  v = static_cast<short>(GetUnsigned<std::uint16_t>(s, 2));
  return s;
}
IByteStream& operator>>(IByteStream& s, unsigned short& v) {
  v = GetUnsigned<std::uint16_t>(s, 2);
  return s;
}
IByteStream& operator>>(IByteStream& s, long& v) {
  v = static_cast<std::int32_t>(GetUnsigned<std::uint32_t>(s, 4));
  return s;
}
IByteStream& operator>>(IByteStream& s, unsigned long& v) {
  v = GetUnsigned<std::uint32_t>(s, 4);
  return s;
}
IByteStream& operator>>(IByteStream& s, long long& v) {
  v = static_cast<long long>(GetUnsigned<std::uint64_t>(s, 8));
  return s;
}
IByteStream& operator>>(IByteStream& s, unsigned long long& v) {
  v = GetUnsigned<std::uint64_t>(s, 8);
  return s;
}
IByteStream& operator>>(IByteStream& s, std::string& v) {
  v.clear();
  std::size_t n = GetUnsigned<std::uint16_t>(s, 2);
  v.resize(n);
  if (n != 0) s.ReadBlock(reinterpret_cast<unsigned char*>(&v[0]), static_cast<unsigned long>(n));
  return s;
}
IByteStream& operator>>(IByteStream& s, utility::UTF16String& v) {
  v.clear();
  std::size_t n = GetUnsigned<std::uint16_t>(s, 2);
  v.reserve(n);
  unsigned char chunk[512];
  while (v.size() < n) {
    std::size_t m = std::min<std::size_t>(n - v.size(), sizeof chunk / 2);
    s.ReadBlock(chunk, static_cast<unsigned long>(2 * m));
    for (std::size_t i = 0; i < m; ++i) {
      v.push_back(static_cast<unsigned short>((chunk[2 * i] << 8) | chunk[2 * i + 1]));
    }
  }
  return s;
}
IByteStream& operator>>(IByteStream& s, float& v) {
  v = static_cast<float>(GetFloating<double>(s));
  return s;
}
IByteStream& operator>>(IByteStream& s, double& v) {
  v = GetFloating<double>(s);
  return s;
}
IByteStream& operator>>(IByteStream& s, long double& v) {
  v = GetFloating<long double>(s);
  return s;
}

OByteStream& operator<<(OByteStream& s, IByteStream& inSource) {
  unsigned long long remaining = inSource.Length();
  if (remaining == 0) {
    try {
      for (;;) s.Put(inSource.Get());
    } catch (eof_error const&) {
    }
    return s;
  }
  unsigned char chunk[16384];
  while (remaining > 0) {
    unsigned long n =
        static_cast<unsigned long>(std::min<unsigned long long>(remaining, sizeof chunk));
    inSource.ReadBlock(chunk, n);
    s.WriteBlock(chunk, n);
    remaining -= n;
  }
  return s;
}

}  // namespace filesupport
}  // namespace vireo
