// Tolerant UTF-8 <-> UTF-16 conversions.
//
// Both directions convert into a small buffer that stays in the first-level cache and append
// it to a result reserved once, so the result is written once and no scratch buffer as large
// as the input is needed. Runs of ASCII are widened or narrowed sixteen units at a time with
// SSE2 (part of x86-64). Multi-byte characters are checked and converted a word at a time;
// runs of characters of one kind (three-byte, surrogate pairs, below U+0800) go through
// vector blocks, those that need byte shuffles only where the processor has SSSE3.
#include "vireo/utility/UTF16String.h"

#include <cstdint>
#include <cstring>

#include "vireo/utility/src/UTF16StringTesting.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// SSSE3 (byte shuffles) is not part of baseline x86-64: its paths are chosen at run time.
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__)) && \
    (defined(__GNUC__) || defined(__clang__))
#define VIREO_UTF_SSSE3 1
#include <array>
#include <tmmintrin.h>
#endif

namespace vireo {
namespace utility {
namespace {

// Input consumed per buffer before it is appended to the result: bytes for UTF-8 input,
// units for UTF-16 input.
constexpr std::size_t kPiece = 2048;
// Room past a piece's nominal end: a vector step that starts inside the piece may take up to
// fifteen units or bytes beyond it and store up to 32 bytes past its last output.
constexpr std::size_t kSlack = 64;

inline unsigned CountTrailingZeros(unsigned mask) { return static_cast<unsigned>(__builtin_ctz(mask)); }

// ---- UTF-8 to UTF-16 ------------------------------------------------------------------------
//
// Decoding stops at the first ill-formed sequence or at one cut by the end of the input. The
// rules per lead byte: C2..DF take one continuation byte; E0..EF two, after E0 the first one
// at least A0 (ED is not restricted, so encoded surrogates pass through as single units);
// F0..F4 three, after F0 the first at least 90, after F4 at most 8F. Continuation bytes as
// leads, C0, C1 and F5..FF (the five- and six-byte forms included) stop decoding.

inline bool IsContinuation(unsigned b) { return (b & 0xC0) == 0x80; }

// Decodes the multi-byte sequence at p, of which at least four bytes are readable (or as
// many as its lead announces). Returns false, consuming nothing, when it is not legal.
inline bool DecodeSequence(unsigned char const*& p, unsigned short*& o) {
  unsigned const lead = p[0];
  unsigned const c1 = p[1];
  if (lead < 0xE0) {
    if (lead < 0xC2 || !IsContinuation(c1)) return false;
    *o++ = static_cast<unsigned short>(((lead & 0x1F) << 6) | (c1 & 0x3F));
    p += 2;
    return true;
  }
  unsigned const c2 = p[2];
  if (lead < 0xF0) {
    if (!IsContinuation(c1) || !IsContinuation(c2) || (lead == 0xE0 && c1 < 0xA0)) return false;
    *o++ = static_cast<unsigned short>(((lead & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (c2 & 0x3F));
    p += 3;
    return true;
  }
  unsigned const c3 = p[3];
  if (lead > 0xF4 || !IsContinuation(c1) || !IsContinuation(c2) || !IsContinuation(c3) ||
      (lead == 0xF0 && c1 < 0x90) || (lead == 0xF4 && c1 > 0x8F))
    return false;
  std::uint32_t const cp = (((lead & 0x07) << 18) | ((c1 & 0x3F) << 12) | ((c2 & 0x3F) << 6) |
                            (c3 & 0x3F)) - 0x10000;
  o[0] = static_cast<unsigned short>(0xD800 + (cp >> 10));
  o[1] = static_cast<unsigned short>(0xDC00 + (cp & 0x3FF));
  o += 2;
  p += 4;
  return true;
}

// Bytes a lead announces, itself included; 0 for a byte that cannot lead.
inline std::ptrdiff_t SequenceLength(unsigned lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC2) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead <= 0xF4) return 4;
  return 0;
}

// The four bytes at p as one little-endian word (a single load on common targets).
inline std::uint32_t LoadWord(unsigned char const* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::uint32_t w;
  std::memcpy(&w, p, 4);
  return w;
#else
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
#endif
}

// Cleared by the tests (impl::SetShufflePathsEnabled) to check the paths without SSSE3.
bool gShufflesAllowed = true;

// Whether the SSSE3 paths are taken: decided once from the processor (static initialisers of
// the library convert text, so this must not depend on initialisation order).
inline bool UseShuffles() {
#if defined(VIREO_UTF_SSSE3)
  static bool const available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
  }();
  return available && gShufflesAllowed;
#else
  return false;
#endif
}

#if defined(VIREO_UTF_SSSE3)
// Decodes five three-byte characters (15 bytes) at a time while they follow each other, up to
// `stop`; at least 16 bytes must be readable at each step. Returns the new output position
// and advances p.
__attribute__((target("ssse3"))) unsigned short* DecodeThreeByteRunSsse3(unsigned char const*& p,
                                                                        unsigned char const* stop,
                                                                        unsigned char const* end,
                                                                        unsigned short* o) {
  __m128i const leadPattern = _mm_set1_epi8(static_cast<char>(0xE0));
  __m128i const highNibble = _mm_set1_epi8(static_cast<char>(0xF0));
  __m128i const belowLead = _mm_set1_epi8(static_cast<char>(0xC0));
  // Lane k: c2 | c1 << 8 of character k, and its lead in the low byte.
  __m128i const trailing = _mm_setr_epi8(2, 1, 5, 4, 8, 7, 11, 10, 14, 13, -1, -1, -1, -1, -1, -1);
  __m128i const leads = _mm_setr_epi8(0, -1, 3, -1, 6, -1, 9, -1, 12, -1, -1, -1, -1, -1, -1, -1);
  unsigned char const* q = p;
  while (q < stop && end - q >= 16) {
    __m128i const bytes = _mm_loadu_si128(reinterpret_cast<__m128i const*>(q));
    unsigned const lead = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(bytes, highNibble), leadPattern)));
    // Continuation bytes 80..BF are the signed bytes below (signed) C0.
    unsigned const continuation = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bytes, belowLead)));
    // Leads at 0, 3, 6, 9, 12, continuations between; no E0 lead (its overlong rule is left
    // to the scalar path).
    if ((lead & 0x7FFF) != 0x1249 || (continuation & 0x7FFF) != 0x6DB6 ||
        (_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, leadPattern)) & 0x1249) != 0)
      break;
    __m128i const t = _mm_shuffle_epi8(bytes, trailing);
    __m128i const l = _mm_shuffle_epi8(bytes, leads);
    __m128i const units = _mm_or_si128(
        _mm_or_si128(_mm_slli_epi16(l, 12), _mm_srli_epi16(_mm_and_si128(t, _mm_set1_epi16(0x3F00)), 2)),
        _mm_and_si128(t, _mm_set1_epi16(0x3F)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), units);
    o += 5;
    q += 15;
  }
  p = q;
  return o;
}

// Byte shuffles indexed by a set of eight 16-bit lanes (bit k: lane k), with the number of
// bytes each keeps: either the lanes of the set, whole, moved to the front in order
// (kLaneShuffles), or the low byte of every lane and the high byte of the lanes of the set
// (kShortShuffles). Unused bytes of a shuffle are zero.
struct ShuffleTable {
  std::array<std::array<unsigned char, 16>, 256> shuffle;
  std::array<unsigned char, 256> kept;
};
constexpr ShuffleTable MakeShuffleTable(bool wholeLanes) {
  ShuffleTable t{};
  for (unsigned m = 0; m < 256; ++m) {
    unsigned k = 0;
    for (unsigned lane = 0; lane < 8; ++lane) {
      bool const inSet = (m & (1u << lane)) != 0;
      if (inSet || !wholeLanes) t.shuffle[m][k++] = static_cast<unsigned char>(2 * lane);
      if (inSet) t.shuffle[m][k++] = static_cast<unsigned char>(2 * lane + 1);
    }
    t.kept[m] = static_cast<unsigned char>(k);
    while (k < 16) t.shuffle[m][k++] = 0x80;
  }
  return t;
}
constexpr ShuffleTable kLaneShuffles = MakeShuffleTable(true);
constexpr ShuffleTable kShortShuffles = MakeShuffleTable(false);

// Decodes sixteen bytes at a time while they hold only ASCII and two-byte characters (a lead
// in the last byte is left for the next step), up to `stop`; at least 17 bytes must be
// readable at each step. Returns the new output position and advances p.
__attribute__((target("ssse3"))) unsigned short* DecodeShortRunSsse3(unsigned char const*& p,
                                                                    unsigned char const* stop,
                                                                    unsigned char const* end,
                                                                    unsigned short* o) {
  __m128i const zero = _mm_setzero_si128();
  __m128i const leadBits = _mm_set1_epi8(static_cast<char>(0xE0));
  __m128i const lead2 = _mm_set1_epi8(static_cast<char>(0xC0));
  __m128i const overlongBits = _mm_set1_epi8(static_cast<char>(0xFE));
  __m128i const belowLead = _mm_set1_epi8(static_cast<char>(0xC0));
  unsigned char const* q = p;
  while (q < stop && end - q >= 17) {
    __m128i const bytes = _mm_loadu_si128(reinterpret_cast<__m128i const*>(q));
    __m128i const next = _mm_loadu_si128(reinterpret_cast<__m128i const*>(q + 1));
    unsigned const ascii = ~static_cast<unsigned>(_mm_movemask_epi8(bytes)) & 0xFFFF;
    __m128i const leadLanes = _mm_cmpeq_epi8(_mm_and_si128(bytes, leadBits), lead2);
    unsigned const lead = static_cast<unsigned>(_mm_movemask_epi8(leadLanes));
    unsigned const continuation =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bytes, belowLead)));
    unsigned const overlong =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(bytes, overlongBits), lead2)));
    // Every byte ASCII, a lead C2..DF or the continuation right after one (a lead in the last
    // byte has its continuation beyond the block; it is left for the next step).
    if (((ascii | lead | continuation) & 0xFFFF) != 0xFFFF || overlong != 0 ||
        continuation != ((lead << 1) & 0xFFFF))
      break;
    unsigned const length = (lead & 0x8000) ? 15 : 16;
    unsigned const within = (1u << length) - 1;
    unsigned const starts = (ascii | lead) & within;
    __m128i const six = _mm_set1_epi16(0x3F);
    __m128i const five = _mm_set1_epi16(0x1F);
    // Low eight bytes.
    __m128i first = _mm_unpacklo_epi8(bytes, zero);
    __m128i second = _mm_unpacklo_epi8(next, zero);
    __m128i isLead = _mm_unpacklo_epi8(leadLanes, leadLanes);
    __m128i two = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(first, five), 6), _mm_and_si128(second, six));
    __m128i units = _mm_or_si128(_mm_and_si128(isLead, two), _mm_andnot_si128(isLead, first));
    unsigned m = starts & 0xFF;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                     _mm_shuffle_epi8(units, _mm_loadu_si128(reinterpret_cast<__m128i const*>(
                                                 kLaneShuffles.shuffle[m].data()))));
    o += kLaneShuffles.kept[m] / 2;
    // High eight bytes.
    first = _mm_unpackhi_epi8(bytes, zero);
    second = _mm_unpackhi_epi8(next, zero);
    isLead = _mm_unpackhi_epi8(leadLanes, leadLanes);
    two = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(first, five), 6), _mm_and_si128(second, six));
    units = _mm_or_si128(_mm_and_si128(isLead, two), _mm_andnot_si128(isLead, first));
    m = starts >> 8;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                     _mm_shuffle_epi8(units, _mm_loadu_si128(reinterpret_cast<__m128i const*>(
                                                 kLaneShuffles.shuffle[m].data()))));
    o += kLaneShuffles.kept[m] / 2;
    q += length;
  }
  p = q;
  return o;
}

#endif

// Decodes the characters that start in [p, pieceEnd) into out; a character may run on to
// `end`. out has room for (pieceEnd - p) + kSlack units. Sets `stopped` at an ill-formed or
// cut sequence. Returns the units written and advances p.
std::size_t DecodePiece(unsigned char const*& p, unsigned char const* pieceEnd,
                        unsigned char const* end, unsigned short* out, bool shuffles,
                        bool& stopped) {
  (void)shuffles;
  unsigned short* o = out;
  // While 19 bytes remain, a block of 16 can be loaded and any sequence after it read as one
  // word, lead byte in the low bits.
  while (p < pieceEnd && end - p >= 19) {
    if (*p < 0x80) {
#if defined(__SSE2__)
      __m128i const bytes = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p));
      __m128i const zero = _mm_setzero_si128();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(bytes, zero));
      unsigned const mask = static_cast<unsigned>(_mm_movemask_epi8(bytes));
      if (mask == 0) {
        p += 16;
        o += 16;
        continue;
      }
      // A short run: stepping byte by byte lets the processor run ahead on predicted
      // branches instead of waiting for the mask.
      do {
        ++p;
        ++o;
      } while (*p < 0x80);
#else
      *o++ = *p++;
      continue;
#endif
    }
    std::uint32_t const w = LoadWord(p);
    if ((w & 0xC0E0) == 0x80C0) {  // 110xxxxx 10xxxxxx
      if ((w & 0x1E) == 0) break;  // C0, C1: overlong
      *o++ = static_cast<unsigned short>(((w & 0x1F) << 6) | ((w >> 8) & 0x3F));
      p += 2;
#if defined(VIREO_UTF_SSSE3)
      // Text with two-byte characters mostly stays below U+0800: sixteen bytes at a time.
      if (shuffles) o = DecodeShortRunSsse3(p, pieceEnd, end, o);
#endif
    } else if ((w & 0xC0C0F0) == 0x8080E0) {  // 1110xxxx 10xxxxxx 10xxxxxx
      if ((w & 0x200F) == 0) break;             // E0 80..9F: overlong
      *o++ = static_cast<unsigned short>(((w & 0x0F) << 12) | ((w >> 2) & 0xFC0) | ((w >> 16) & 0x3F));
      p += 3;
#if defined(VIREO_UTF_SSSE3)
      // Text of three-byte characters tends to stay so: five at a time while it does.
      if (shuffles && *p >= 0xE0) o = DecodeThreeByteRunSsse3(p, pieceEnd, end, o);
#endif
    } else if ((w & 0xC0C0C0F8) == 0x808080F0) {  // 11110xxx and three continuations
      std::uint32_t const cp = (((w & 0x07) << 18) | ((w & 0x3F00) << 4) | ((w >> 10) & 0xFC0) |
                                ((w >> 24) & 0x3F)) - 0x10000;
      if (cp >= 0x100000) break;  // overlong, or above U+10FFFF
      o[0] = static_cast<unsigned short>(0xD800 + (cp >> 10));
      o[1] = static_cast<unsigned short>(0xDC00 + (cp & 0x3FF));
      o += 2;
      p += 4;
    } else {
      break;
    }
  }
  // Near the end of the input (or at an ill-formed sequence, which stops here again): byte by
  // byte, checking that each sequence lies inside the input.
  while (p < pieceEnd) {
    unsigned const lead = *p;
    if (lead < 0x80) {
      *o++ = static_cast<unsigned short>(lead);
      ++p;
      continue;
    }
    std::ptrdiff_t const length = SequenceLength(lead);
    if (length == 0 || length > end - p || !DecodeSequence(p, o)) {
      stopped = true;
      break;
    }
  }
  return static_cast<std::size_t>(o - out);
}

// ---- UTF-16 to UTF-8 ------------------------------------------------------------------------

inline bool IsHigh(unsigned u) { return (u & 0xFC00) == 0xD800; }
inline bool IsLow(unsigned u) { return (u & 0xFC00) == 0xDC00; }

// UTF-8 bytes of one unit, counting a high surrogate that starts a pair as 1 (the pair as 4).
inline std::size_t EncodedBytes(unsigned short const* p, std::size_t i, std::size_t n) {
  unsigned const u = p[i];
  if (u < 0x80) return 1;
  if (u < 0x800) return 2;
  if (IsHigh(u) && i + 1 < n && IsLow(p[i + 1])) return 1;
  return 3;
}

// Writes the four bytes of w, lowest first, with one store.
inline void StoreWord(unsigned char* o, std::uint32_t w) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::memcpy(o, &w, 4);
#else
  o[0] = static_cast<unsigned char>(w);
  o[1] = static_cast<unsigned char>(w >> 8);
  o[2] = static_cast<unsigned char>(w >> 16);
  o[3] = static_cast<unsigned char>(w >> 24);
#endif
}

// Narrows the leading ASCII units of [p, p + n) into out and returns how many there were: the
// index of the first unit that is NUL or 0x80 and above, or n.
std::size_t NarrowAsciiPrefix(unsigned short const* p, std::size_t n, UTF8String& out) {
  unsigned char buffer[kPiece + kSlack];
  std::size_t i = 0;
  for (;;) {
    std::size_t const pieceEnd = n - i > kPiece ? i + kPiece : n;
    unsigned char* o = buffer;
    bool done = false;
#if defined(__SSE2__)
    // Adding 0x7F80 with unsigned saturation sets bit 15 exactly for units of 0x80 and up.
    __m128i const bias = _mm_set1_epi16(0x7F80);
    __m128i const zero = _mm_setzero_si128();
    for (; i + 16 <= pieceEnd; i += 16) {
      __m128i const lo = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i));
      __m128i const hi = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i + 8));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(lo, hi));
      __m128i const wide = _mm_packs_epi16(_mm_adds_epu16(lo, bias), _mm_adds_epu16(hi, bias));
      __m128i const nul = _mm_packs_epi16(_mm_cmpeq_epi16(lo, zero), _mm_cmpeq_epi16(hi, zero));
      unsigned const mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(wide, nul)));
      if (mask != 0) {
        unsigned const ascii = CountTrailingZeros(mask);
        o += ascii;
        i += ascii;
        done = true;
        break;
      }
      o += 16;
    }
#endif
    for (; !done && i < pieceEnd; ++i) {
      unsigned const u = p[i];
      if (u == 0 || u >= 0x80) {
        done = true;
        break;
      }
      *o++ = static_cast<unsigned char>(u);
    }
    out.append(buffer, static_cast<std::size_t>(o - buffer));
    if (done || i == n) return i;
  }
}

// Length up to the first NUL among the first `limit` units, and the exact number of UTF-8
// bytes those units need.
std::size_t ScanUTF16(unsigned short const* p, std::size_t limit, std::size_t& bytes) {
  std::size_t i = 0;
  std::size_t saved = 0;  // bytes below three per unit, over the units the vector loop saw
#if defined(__SSE2__)
  // Per unit: one byte less below 0x800, one less again below 0x80, two less for a high
  // surrogate with a low one after it. Sixteen units a step; blocks with a NUL or a
  // surrogate are rare and take a second look. The pair test reads one unit beyond the
  // block, so a block needs one more unit.
  __m128i const zero = _mm_setzero_si128();
  __m128i const mask80 = _mm_set1_epi16(static_cast<short>(0xFF80));
  __m128i const mask800 = _mm_set1_epi16(static_cast<short>(0xF800));
  __m128i const maskSurrogate = _mm_set1_epi16(static_cast<short>(0xFC00));
  __m128i const surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
  __m128i const low = _mm_set1_epi16(static_cast<short>(0xDC00));
  __m128i const ones = _mm_set1_epi16(1);
  bool nul = false;
  while (!nul && i + 17 <= limit) {
    // Sixteen-bit lanes lose at most 4 per step (two halves): fold them before 4096 steps.
    std::size_t const stop = limit - i > 16 * 4096 ? i + 16 * 4096 : limit;
    __m128i lanesLo = zero;
    __m128i lanesHi = zero;
    for (; i + 17 <= stop; i += 16) {
      __m128i const lo = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i));
      __m128i const hi = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i + 8));
      __m128i const topLo = _mm_and_si128(lo, mask800);
      __m128i const topHi = _mm_and_si128(hi, mask800);
      __m128i const rare =
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(lo, zero), _mm_cmpeq_epi16(hi, zero)),
                       _mm_or_si128(_mm_cmpeq_epi16(topLo, surrogate), _mm_cmpeq_epi16(topHi, surrogate)));
      if (_mm_movemask_epi8(rare) != 0) {
        if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(lo, zero), _mm_cmpeq_epi16(hi, zero))) != 0) {
          nul = true;
          break;
        }
        __m128i const nextLo = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i + 1));
        __m128i const nextHi = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i + 9));
        __m128i const pairLo =
            _mm_and_si128(_mm_cmpeq_epi16(_mm_and_si128(lo, maskSurrogate), surrogate),
                          _mm_cmpeq_epi16(_mm_and_si128(nextLo, maskSurrogate), low));
        __m128i const pairHi =
            _mm_and_si128(_mm_cmpeq_epi16(_mm_and_si128(hi, maskSurrogate), surrogate),
                          _mm_cmpeq_epi16(_mm_and_si128(nextHi, maskSurrogate), low));
        lanesLo = _mm_add_epi16(lanesLo, _mm_add_epi16(pairLo, pairLo));
        lanesHi = _mm_add_epi16(lanesHi, _mm_add_epi16(pairHi, pairHi));
      }
      // Comparisons give -1 per true lane.
      lanesLo = _mm_add_epi16(lanesLo, _mm_add_epi16(_mm_cmpeq_epi16(_mm_and_si128(lo, mask80), zero),
                                                     _mm_cmpeq_epi16(topLo, zero)));
      lanesHi = _mm_add_epi16(lanesHi, _mm_add_epi16(_mm_cmpeq_epi16(_mm_and_si128(hi, mask80), zero),
                                                     _mm_cmpeq_epi16(topHi, zero)));
    }
    std::int32_t parts[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(parts),
                     _mm_add_epi32(_mm_madd_epi16(lanesLo, ones), _mm_madd_epi16(lanesHi, ones)));
    saved += static_cast<std::size_t>(-(static_cast<std::int64_t>(parts[0]) + parts[1] +
                                        parts[2] + parts[3]));
  }
#endif
  std::size_t const vectorEnd = i;
  while (i < limit && p[i] != 0) ++i;
  std::size_t const n = i;
  std::size_t total = 3 * vectorEnd - saved;
  for (std::size_t k = vectorEnd; k < n; ++k) total += EncodedBytes(p, k, n);
  bytes = total;
  return n;
}

#if defined(__SSE2__)
// Eight units of 0x800 and above, none a surrogate: 24 bytes at o (and one more, overwritten
// later).
inline void EncodeThreeByteBlock(__m128i v, unsigned char* o) {
  __m128i const six = _mm_set1_epi16(0x3F);
  __m128i const trail = _mm_set1_epi16(0x80);
  __m128i const b0 = _mm_or_si128(_mm_srli_epi16(v, 12), _mm_set1_epi16(0xE0));
  __m128i const b1 = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 6), six), trail);
  __m128i const b2 = _mm_or_si128(_mm_and_si128(v, six), trail);
  __m128i const b01 = _mm_or_si128(b0, _mm_slli_epi16(b1, 8));
  // The three bytes of each unit in a 32-bit lane, stored one lane at a time.
  __m128i words = _mm_unpacklo_epi16(b01, b2);
  for (unsigned k = 0; k < 4; ++k) {
    StoreWord(o + 3 * k, static_cast<std::uint32_t>(_mm_cvtsi128_si32(words)));
    words = _mm_srli_si128(words, 4);
  }
  words = _mm_unpackhi_epi16(b01, b2);
  for (unsigned k = 4; k < 8; ++k) {
    StoreWord(o + 3 * k, static_cast<std::uint32_t>(_mm_cvtsi128_si32(words)));
    words = _mm_srli_si128(words, 4);
  }
}

// Four surrogate pairs, each high surrogate in the low half of a 32-bit lane: 16 bytes at o.
inline void EncodePairBlock(__m128i v, unsigned char* o) {
  __m128i const bits = _mm_set1_epi32(0x3FF);
  __m128i const six = _mm_set1_epi32(0x3F);
  __m128i const cp = _mm_add_epi32(_mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, bits), 10),
                                                _mm_and_si128(_mm_srli_epi32(v, 16), bits)),
                                   _mm_set1_epi32(0x10000));
  __m128i const bytes = _mm_or_si128(
      _mm_or_si128(_mm_srli_epi32(cp, 18), _mm_slli_epi32(_mm_and_si128(_mm_srli_epi32(cp, 12), six), 8)),
      _mm_or_si128(_mm_slli_epi32(_mm_and_si128(_mm_srli_epi32(cp, 6), six), 16),
                   _mm_slli_epi32(_mm_and_si128(cp, six), 24)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                   _mm_or_si128(bytes, _mm_set1_epi32(static_cast<int>(0x808080F0u))));
}
#endif

// Encodes the character at p[i] (a pair when p[i] is a high surrogate with a low one before
// n) with one word store, of which the bytes beyond its length are overwritten later.
inline void EncodeCharacter(unsigned short const* p, std::size_t& i, std::size_t n, unsigned char*& o) {
  unsigned const u = p[i];
  if (u < 0x80) {
    *o++ = static_cast<unsigned char>(u);
    ++i;
  } else if (u < 0x800) {
    StoreWord(o, 0x80C0 | (u >> 6) | ((u & 0x3F) << 8));
    o += 2;
    ++i;
  } else if (IsHigh(u) && i + 1 < n && IsLow(p[i + 1])) {
    std::uint32_t const cp = 0x10000 + ((u - 0xD800) << 10) + (p[i + 1] - 0xDC00u);
    StoreWord(o, 0x808080F0 | (cp >> 18) | ((cp >> 4) & 0x3F00) | ((cp << 10) & 0x3F0000) |
                     ((cp & 0x3F) << 24));
    o += 4;
    i += 2;
  } else {  // also an unpaired surrogate: three bytes of its own value
    StoreWord(o, 0x8080E0 | (u >> 12) | ((u << 2) & 0x3F00) | ((u & 0x3F) << 16));
    o += 3;
    ++i;
  }
}

#if defined(VIREO_UTF_SSSE3)
// Encodes sixteen units at a time while they are all below 0x800, up to `stop` (at most 15
// more units beyond it may be taken). Returns the new output position and advances i.
__attribute__((target("ssse3"))) unsigned char* EncodeShortRunSsse3(unsigned short const* p,
                                                                    std::size_t& i, std::size_t stop,
                                                                    std::size_t n, unsigned char* o) {
  __m128i const zero = _mm_setzero_si128();
  __m128i const mask80 = _mm_set1_epi16(static_cast<short>(0xFF80));
  __m128i const mask800 = _mm_set1_epi16(static_cast<short>(0xF800));
  __m128i const six = _mm_set1_epi16(0x3F);
  __m128i const lead2 = _mm_set1_epi16(static_cast<short>(0x80C0));
  std::size_t k = i;
  while (k < stop && n - k >= 16) {
    __m128i const lo = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + k));
    __m128i const hi = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + k + 8));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(lo, hi), mask800), zero)) != 0xFFFF)
      break;
    __m128i const asciiLo = _mm_cmpeq_epi16(_mm_and_si128(lo, mask80), zero);
    __m128i const asciiHi = _mm_cmpeq_epi16(_mm_and_si128(hi, mask80), zero);
    unsigned const two = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(asciiLo, asciiHi))) & 0xFFFF;
    __m128i const encodedLo =
        _mm_or_si128(_mm_or_si128(_mm_srli_epi16(lo, 6), _mm_slli_epi16(_mm_and_si128(lo, six), 8)), lead2);
    __m128i const encodedHi =
        _mm_or_si128(_mm_or_si128(_mm_srli_epi16(hi, 6), _mm_slli_epi16(_mm_and_si128(hi, six), 8)), lead2);
    __m128i const wordsLo = _mm_or_si128(_mm_and_si128(asciiLo, lo), _mm_andnot_si128(asciiLo, encodedLo));
    __m128i const wordsHi = _mm_or_si128(_mm_and_si128(asciiHi, hi), _mm_andnot_si128(asciiHi, encodedHi));
    unsigned const twoLo = two & 0xFF;
    unsigned const twoHi = two >> 8;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                     _mm_shuffle_epi8(wordsLo, _mm_loadu_si128(reinterpret_cast<__m128i const*>(
                                                   kShortShuffles.shuffle[twoLo].data()))));
    o += kShortShuffles.kept[twoLo];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                     _mm_shuffle_epi8(wordsHi, _mm_loadu_si128(reinterpret_cast<__m128i const*>(
                                                   kShortShuffles.shuffle[twoHi].data()))));
    o += kShortShuffles.kept[twoHi];
    k += 16;
  }
  i = k;
  return o;
}

// Encodes eight units at a time while they are all three-byte characters (0x800 and above,
// no surrogate), up to `stop` (at most seven more units beyond it may be taken). Returns the
// new output position and advances i.
__attribute__((target("ssse3"))) unsigned char* EncodeThreeByteRunSsse3(unsigned short const* p,
                                                                        std::size_t& i,
                                                                        std::size_t stop, std::size_t n,
                                                                        unsigned char* o) {
  __m128i const zero = _mm_setzero_si128();
  __m128i const mask800 = _mm_set1_epi16(static_cast<short>(0xF800));
  __m128i const surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
  __m128i const six = _mm_set1_epi16(0x3F);
  __m128i const trail = _mm_set1_epi16(0x80);
  // Drops the fourth byte of each 32-bit lane: twelve bytes, then zeros.
  __m128i const pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  std::size_t k = i;
  while (k < stop && n - k >= 8) {
    __m128i const v = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + k));
    __m128i const top = _mm_and_si128(v, mask800);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(top, zero), _mm_cmpeq_epi16(top, surrogate))) != 0)
      break;
    __m128i const b0 = _mm_or_si128(_mm_srli_epi16(v, 12), _mm_set1_epi16(0xE0));
    __m128i const b1 = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 6), six), trail);
    __m128i const b2 = _mm_or_si128(_mm_and_si128(v, six), trail);
    __m128i const b01 = _mm_or_si128(b0, _mm_slli_epi16(b1, 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(_mm_unpacklo_epi16(b01, b2), pack));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 12),
                     _mm_shuffle_epi8(_mm_unpackhi_epi16(b01, b2), pack));
    o += 24;
    k += 8;
  }
  i = k;
  return o;
}
#endif

// Encodes n units (no NUL among them), any content, into the result.
void EncodeGeneral(unsigned short const* p, std::size_t n, UTF8String& out) {
  unsigned char buffer[3 * kPiece + kSlack];
  bool const shuffles = UseShuffles();
  (void)shuffles;
#if defined(__SSE2__)
  __m128i const bias = _mm_set1_epi16(0x7F80);
  __m128i const zero = _mm_setzero_si128();
  __m128i const mask800 = _mm_set1_epi16(static_cast<short>(0xF800));
  __m128i const maskSurrogate = _mm_set1_epi16(static_cast<short>(0xFC00));
  __m128i const high = _mm_set1_epi16(static_cast<short>(0xD800));
  __m128i const low = _mm_set1_epi16(static_cast<short>(0xDC00));
#endif
  std::size_t i = 0;
  while (i < n) {
    std::size_t const pieceEnd = n - i > kPiece ? i + kPiece : n;
    unsigned char* o = buffer;
    while (i < pieceEnd) {
      unsigned const u = p[i];
      if (u < 0x80) {
#if defined(__SSE2__)
        if (n - i >= 16) {
          __m128i const lo = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i));
          __m128i const hi = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i + 8));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(lo, hi));
          unsigned const mask = static_cast<unsigned>(_mm_movemask_epi8(
              _mm_packs_epi16(_mm_adds_epu16(lo, bias), _mm_adds_epu16(hi, bias))));
          if (mask == 0) {
            i += 16;
            o += 16;
            continue;
          }
          // A short run: step over it on predicted branches rather than wait for the mask.
          do {
            ++i;
            ++o;
          } while (p[i] < 0x80);
          continue;
        }
#endif
        *o++ = static_cast<unsigned char>(u);
        ++i;
        continue;
      }
      if (u < 0x800) {
#if defined(VIREO_UTF_SSSE3)
        if (shuffles) {
          // Text with two-byte characters mostly stays below 0x800: eight units at a time.
          std::size_t const before = i;
          o = EncodeShortRunSsse3(p, i, pieceEnd, n, o);
          if (i != before) continue;
        }
#endif
        StoreWord(o, 0x80C0 | (u >> 6) | ((u & 0x3F) << 8));
        o += 2;
        ++i;
        continue;
      }
#if defined(__SSE2__)
      // Text of three-byte characters, or of characters beyond the BMP, tends to stay so:
      // eight units at a time while it does.
      if (n - i >= 8) {
        __m128i const v = _mm_loadu_si128(reinterpret_cast<__m128i const*>(p + i));
        __m128i const top = _mm_and_si128(v, mask800);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(top, zero), _mm_cmpeq_epi16(top, high))) == 0) {
#if defined(VIREO_UTF_SSSE3)
          if (shuffles) {
            o = EncodeThreeByteRunSsse3(p, i, pieceEnd, n, o);
            continue;
          }
#endif
          EncodeThreeByteBlock(v, o);
          o += 24;
          i += 8;
          continue;
        }
        __m128i const kind = _mm_and_si128(v, maskSurrogate);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(kind, high)) == 0x3333 &&
            _mm_movemask_epi8(_mm_cmpeq_epi16(kind, low)) == 0xCCCC) {
          EncodePairBlock(v, o);
          o += 16;
          i += 8;
          continue;
        }
      }
#endif
      EncodeCharacter(p, i, n, o);
    }
    out.append(buffer, static_cast<std::size_t>(o - buffer));
  }
}

UTF8String Convert16to8(unsigned short const* p, std::size_t count) {
  if (!p) return UTF8String();
  if (count >= 1 && count <= 3) {
    // Too short for the scan to pay. Room for three 3-byte characters and a word store.
    unsigned char buffer[12];
    unsigned char* o = buffer;
    std::size_t n = 0;
    while (n < count && p[n] != 0) ++n;
    for (std::size_t i = 0; i < n;) EncodeCharacter(p, i, n, o);
    return UTF8String(buffer, static_cast<std::size_t>(o - buffer));
  }
  if (count == 0) {
    while (p[count] != 0) ++count;
    if (count == 0) return UTF8String();
  }
  // Text is mostly ASCII, and all-ASCII text is narrowed in one pass into a result of its
  // exact size. At the first other unit the rest is counted, and the ASCII part moves once
  // into a result of the exact final size (growing the first one could double it).
  UTF8String out;
  out.reserve(count);
  std::size_t const ascii = NarrowAsciiPrefix(p, count, out);
  if (ascii == count || p[ascii] == 0) return out;
  std::size_t bytes = 0;
  std::size_t const n = ascii + ScanUTF16(p + ascii, count - ascii, bytes);
  UTF8String result;
  result.reserve(ascii + bytes);
  result.append(out);
  EncodeGeneral(p + ascii, n - ascii, result);
  return result;
}

}  // namespace

bool impl::SetShufflePathsEnabled(bool enabled) {
  bool const previous = gShufflesAllowed;
  gShufflesAllowed = enabled;
  return previous;
}

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
  unsigned short buffer[kPiece + kSlack];
  bool const shuffles = UseShuffles();
  bool stopped = false;
  while (p < end && !stopped) {
    unsigned char const* const pieceEnd =
        end - p > static_cast<std::ptrdiff_t>(kPiece) ? p + kPiece : end;
    std::size_t const units = DecodePiece(p, pieceEnd, end, buffer, shuffles, stopped);
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
