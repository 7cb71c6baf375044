// Tolerant UTF-8 <-> UTF-16 conversions.
//
// Both directions decode into a small buffer that stays in the first-level cache and append
// it to the result in pieces, so the result is written once and no scratch buffer as large as
// the input is needed. Runs of ASCII are widened or narrowed 16 units at a time.
#include "vireo/utility/UTF16String.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vireo {
namespace utility {
namespace {

constexpr std::size_t kPiece = 2048;  // units (or bytes) decoded before each append

// Trailing bytes after a lead byte: 0x00..0xBF none, C0..DF 1, E0..EF 2, F0..F7 3, F8..FB 4,
// FC..FF 5. Continuation bytes count as leads of no trail; the lead check rejects them.
inline unsigned TrailingBytes(unsigned char b) {
  if (b < 0xC0) return 0;
  if (b < 0xE0) return 1;
  if (b < 0xF0) return 2;
  if (b < 0xF8) return 3;
  if (b < 0xFC) return 4;
  return 5;
}

constexpr std::uint32_t kOffsets[4] = {0, 0x3080, 0xE2080, 0x3C82080};

// Is the sequence of length n (2..4) at p legal? The caller has checked it lies in the input.
inline bool IsLegal(unsigned char const* p, unsigned n) {
  unsigned char const lead = p[0];
  if (n > 4) return false;
  switch (n) {
    case 4:
      if (p[3] < 0x80 || p[3] > 0xBF) return false;
      [[fallthrough]];
    case 3:
      if (p[2] < 0x80 || p[2] > 0xBF) return false;
      [[fallthrough]];
    case 2: {
      unsigned char const second = p[1];
      if (second > 0xBF) return false;
      switch (lead) {
        case 0xE0:
          if (second < 0xA0) return false;
          break;
        case 0xF0:
          if (second < 0x90) return false;
          break;
        case 0xF4:
          if (second > 0x8F || second < 0x80) return false;
          break;
        default:
          if (second < 0x80) return false;
      }
      break;
    }
    default:
      break;
  }
  return !(lead >= 0x80 && lead <= 0xC1) && lead <= 0xF4;
}

// Decodes from [p, end) into out (room for `room` units, room >= 2). Stops when out is nearly
// full, at the end of the input, or at an ill-formed sequence (then sets `stopped`).
// Returns the number of units written and advances p.
std::size_t DecodePiece(unsigned char const*& p, unsigned char const* end, unsigned short* out,
                        std::size_t room, bool& stopped) {
  unsigned short* o = out;
  unsigned short* const oEnd = out + room;
  while (p < end && oEnd - o >= 2) {
#if defined(__SSE2__)
    // Widen runs of ASCII sixteen bytes at a time.
    while (end - p >= 16 && oEnd - o >= 16) {
      __m128i const bytes = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p));
      if (_mm_movemask_epi8(bytes) != 0) break;
      __m128i const zero = _mm_setzero_si128();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(bytes, zero));
      p += 16;
      o += 16;
    }
    if (p >= end || oEnd - o < 2) break;
#endif
    unsigned char const lead = *p;
    if (lead < 0x80) {
      *o++ = lead;
      ++p;
      continue;
    }
    unsigned const trailing = TrailingBytes(lead);
    if (trailing >= static_cast<std::size_t>(end - p)) {  // reaches or passes the end
      stopped = true;
      break;
    }
    if (!IsLegal(p, trailing + 1)) {
      stopped = true;
      break;
    }
    std::uint32_t value = 0;
    for (unsigned k = 0; k <= trailing; ++k) value = (value << 6) + p[k];
    value -= kOffsets[trailing];
    p += trailing + 1;
    if (value <= 0xFFFF) {
      *o++ = static_cast<unsigned short>(value);
    } else if (value <= 0x10FFFF) {
      value -= 0x10000;
      *o++ = static_cast<unsigned short>(0xD800 + (value >> 10));
      *o++ = static_cast<unsigned short>(0xDC00 + (value & 0x3FF));
    } else {
      *o++ = 0xFFFD;  // unreachable with the legality rules above
    }
  }
  return static_cast<std::size_t>(o - out);
}

// Length up to the first NUL among the first `limit` units (limit 0: unbounded), and whether
// every unit before it is ASCII.
std::size_t ScanUTF16(unsigned short const* p, std::size_t limit, bool& allAscii) {
  bool const bounded = limit != 0;
  std::size_t i = 0;
  bool ascii = true;
#if defined(__SSE2__)
  __m128i const zero = _mm_setzero_si128();
  __m128i const highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
  if (bounded) {
    for (; i + 8 <= limit; i += 8) {
      __m128i const v = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i));
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(v, zero)) != 0) break;
      if (ascii && _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, highBits), zero)) != 0xFFFF)
        ascii = false;
    }
  }
#endif
  for (;; ++i) {
    if (bounded && i == limit) break;
    unsigned short const u = p[i];
    if (u == 0) break;
    if (u >= 0x80) ascii = false;
  }
  allAscii = ascii;
  return i;
}

// Narrows n ASCII units into the result.
void NarrowAscii(unsigned short const* p, std::size_t n, UTF8String& out) {
  out.reserve(n);
  unsigned char buffer[kPiece];
  while (n > 0) {
    std::size_t const take = n < kPiece ? n : kPiece;
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= take; i += 16) {
      __m128i const lo = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i));
      __m128i const hi = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i + 8));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < take; ++i) buffer[i] = static_cast<unsigned char>(p[i]);
    out.append(buffer, take);
    p += take;
    n -= take;
  }
}

// Encodes n units (no NUL among them) into the result, any content.
void EncodeGeneral(unsigned short const* p, std::size_t n, UTF8String& out) {
  out.reserve(n);  // one byte per unit; grows when a character needs more
  unsigned char buffer[kPiece + 8];
  std::size_t used = 0;
  for (std::size_t i = 0; i < n;) {
    if (used > kPiece - 4) {
      out.append(buffer, used);
      used = 0;
    }
    unsigned const u = p[i];
    if (u < 0x80) {
      buffer[used++] = static_cast<unsigned char>(u);
      ++i;
    } else if (u < 0x800) {
      buffer[used++] = static_cast<unsigned char>(0xC0 | (u >> 6));
      buffer[used++] = static_cast<unsigned char>(0x80 | (u & 0x3F));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
      std::uint32_t const cp = 0x10000 + ((u - 0xD800) << 10) + (p[i + 1] - 0xDC00u);
      buffer[used++] = static_cast<unsigned char>(0xF0 | (cp >> 18));
      buffer[used++] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      buffer[used++] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      buffer[used++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
      i += 2;
    } else {
      // Everything else, unpaired surrogates included, as three bytes of its own value.
      buffer[used++] = static_cast<unsigned char>(0xE0 | (u >> 12));
      buffer[used++] = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
      buffer[used++] = static_cast<unsigned char>(0x80 | (u & 0x3F));
      ++i;
    }
  }
  out.append(buffer, used);
}

UTF8String Convert16to8(unsigned short const* p, std::size_t count) {
  UTF8String out;
  if (!p) return out;
  if (count >= 1 && count <= 3) {
    std::size_t n = 0;
    while (n < count && p[n] != 0) ++n;
    EncodeGeneral(p, n, out);
    return out;
  }
  bool allAscii = false;
  std::size_t const n = ScanUTF16(p, count, allAscii);
  if (allAscii)
    NarrowAscii(p, n, out);
  else
    EncodeGeneral(p, n, out);
  return out;
}

}  // namespace

UTF8String UTF16to8(UTF16String const& s) {
  if (s.empty()) return UTF8String();
  return Convert16to8(s.data(), s.size());
}

UTF8String UTF16to8(unsigned short const* p) { return Convert16to8(p, 0); }

UTF16String UTF8to16(unsigned char const* p, std::size_t length) {
  UTF16String result;
  if (!p || length == 0) return result;
  // No sequence yields more units than it has bytes, so this one reservation suffices.
  result.reserve(length);
  unsigned char const* const end = p + length;
  unsigned short buffer[kPiece];
  bool stopped = false;
  while (p < end && !stopped) {
    std::size_t const units = DecodePiece(p, end, buffer, kPiece, stopped);
    result.append(buffer, units);
  }
  // Multi-byte text leaves much of the reservation unused; give it back when it is large.
  if (result.capacity() - result.size() > result.size() / 2 + 64) result.shrink_to_fit();
  return result;
}

UTF16String UTF8to16(UTF8String const& s) { return UTF8to16(s.data(), s.size()); }

UTF16String AsciiToUTF16(char const* p) {
  if (!p) return UTF16String();
  return UTF8to16(reinterpret_cast<unsigned char const*>(p), std::strlen(p));
}

UnicodeSurrogateT UnicodeSurrogate(unsigned short unit) {
  if (unit < 0xD800 || unit > 0xDFFF) return kNotSurrogate;
  return unit < 0xDC00 ? kHighSurrogate : kLowSurrogate;
}

}  // namespace utility
}  // namespace vireo
