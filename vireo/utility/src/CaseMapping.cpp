// Case mapping over the generated table. The compact two-level table compiled into the library
// is spread once, on first use, into one flat array of 16-bit deltas per form, so that a unit
// costs one load. The widest path the processor offers maps many units at once:
//   - SSE2: eight ASCII units by comparison, other units one by one;
//   - AVX2: sixteen units, ASCII by comparison, others through two gathers of the deltas;
//   - AVX-512 (BW): thirty-two units whose non-ASCII units share one 256-unit block (text in
//     one script): the block's 256 deltas sit in eight registers and are selected by word
//     permutes; other vectors go one by one.
#include "vireo/utility/CaseMapping.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "vireo/utility/src/CaseMappingTesting.h"
#include "vireo/utility/src/CaseTable.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// AVX2 and AVX-512 are not baseline x86-64: those paths are chosen at run time.
#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VIREO_CASE_WIDE 1
#include <immintrin.h>
#endif

namespace vireo {
namespace utility {
namespace {

// Per form, the delta to add to each unit (modulo 2^16). A unit whose mapped value would fall
// among the surrogates (which no mapping produces) expands instead: the value minus 0xD800
// numbers its expansion, whose length (bits 16-17) and pool offset (bits 0-15) are listed.
// Two spare entries let a 32-bit gather read the delta of 0xFFFF.
struct FlatTables {
  alignas(64) std::uint16_t delta[3][0x10000 + 32];
  std::uint32_t expansion[3][256];
};

// Zero until filled: the untouched pages of the arrays stay shared zero pages of the process.
FlatTables gFlat;

bool Fill() {
  for (int form = 0; form < 3; ++form) {
    impl::CaseBlock const* const blocks = impl::kCaseEntries[form];
    unsigned expansions = 0;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
      if (impl::kCaseBlockOf[unit >> 8] == 0) {
        unit |= 0xFF;  // a block without keys
        continue;
      }
      std::uint32_t const entry = impl::CaseEntry(blocks, static_cast<unsigned short>(unit));
      if (entry <= 0xFFFF) {
        gFlat.delta[form][unit] = static_cast<std::uint16_t>(entry);
      } else {
        gFlat.expansion[form][expansions] = entry;
        gFlat.delta[form][unit] = static_cast<std::uint16_t>(0xD800 + expansions - unit);
        ++expansions;
      }
    }
  }
  return true;
}

// A function-local static: the first call from any thread fills the tables once, the others
// wait for it, and every later call sees them filled.
FlatTables const& Tables() {
  static bool const filled = Fill();
  (void)filled;
  return gFlat;
}

enum Path { kScalarPath = 0, kSse2Path = 1, kAvx2Path = 2, kAvx512Path = 3 };

// Lowered by the tests (impl::SetCaseMappingPathLimit) to check the narrower paths.
int gPathLimit = kAvx512Path;

// The widest path of the processor: decided once (the library's static initialisers may map
// case, so this must not depend on initialisation order).
int WidestPath() {
#if defined(VIREO_CASE_WIDE)
  static int const widest = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512f"))
      return static_cast<int>(kAvx512Path);
    return static_cast<int>(__builtin_cpu_supports("avx2") ? kAvx2Path : kSse2Path);
  }();
  return widest < gPathLimit ? widest : gPathLimit;
#elif defined(__SSE2__)
  return gPathLimit < kSse2Path ? gPathLimit : static_cast<int>(kSse2Path);
#else
  return kScalarPath;
#endif
}

// The first pass maps unit for unit into a result as long as the source; a unit that expands
// gets a placeholder and its position is noted. A second pass, only when there are such
// units, makes room for the expansions from the end backwards.
typedef std::vector<std::uint32_t> Expanding;

inline bool Expands(std::uint16_t delta, unsigned short mapped) {
  return static_cast<unsigned short>(mapped - 0xD800) < 0x800 && delta != 0;
}

inline void MapScalar(std::uint16_t const* delta, unsigned short const* in, std::size_t i,
                      std::size_t n, unsigned short* out, Expanding& expanding) {
  for (; i < n; ++i) {
    unsigned short const unit = in[i];
    unsigned short const mapped = static_cast<unsigned short>(unit + delta[unit]);
    out[i] = mapped;
    if (Expands(delta[unit], mapped)) expanding.push_back(static_cast<std::uint32_t>(i));
  }
}

#if defined(__SSE2__)
// ASCII letters of eight units: 'A'..'Z' gain 0x20 (lower, fold) or 'a'..'z' lose it (upper).
inline __m128i MapAscii(__m128i v, int form) {
  __m128i const first = _mm_set1_epi16(form == impl::kCaseUpper ? 'a' - 1 : 'A' - 1);
  __m128i const last = _mm_set1_epi16(form == impl::kCaseUpper ? 'z' + 1 : 'Z' + 1);
  __m128i const letter = _mm_and_si128(_mm_cmpgt_epi16(v, first), _mm_cmplt_epi16(v, last));
  __m128i const change = _mm_and_si128(letter, _mm_set1_epi16(0x20));
  return form == impl::kCaseUpper ? _mm_sub_epi16(v, change) : _mm_add_epi16(v, change);
}

void MapSse2(std::uint16_t const* delta, int form, unsigned short const* in, std::size_t n,
             unsigned short* out, Expanding& expanding) {
  std::size_t i = 0;
  __m128i const high = _mm_set1_epi16(static_cast<short>(0xFF80));
  for (; i + 8 <= n; i += 8) {
    __m128i const v = _mm_loadu_si128(reinterpret_cast<__m128i const*>(in + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) == 0xFFFF)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), MapAscii(v, form));
    else
      MapScalar(delta, in, i, i + 8, out, expanding);
  }
  MapScalar(delta, in, i, n, out, expanding);
}
#endif

#if defined(VIREO_CASE_WIDE)
__attribute__((target("avx2"))) void MapAvx2(std::uint16_t const* delta, int form,
                                               unsigned short const* in, std::size_t n,
                                               unsigned short* out, Expanding& expanding) {
  std::size_t i = 0;
  int const* const base = reinterpret_cast<int const*>(delta);
  __m256i const high = _mm256_set1_epi16(static_cast<short>(0xFF80));
  __m256i const low16 = _mm256_set1_epi32(0xFFFF);
  __m256i const surrogate = _mm256_set1_epi16(static_cast<short>(0xD800));
  __m256i const surrogateMask = _mm256_set1_epi16(static_cast<short>(0xF800));
  for (; i + 16 <= n; i += 16) {
    __m256i const v = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(in + i));
    if (_mm256_testz_si256(v, high)) {
      __m128i const lo = MapAscii(_mm256_castsi256_si128(v), form);
      __m128i const hi = MapAscii(_mm256_extracti128_si256(v, 1), form);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                          _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1));
      continue;
    }
    // Deltas of the sixteen units: two gathers of eight 32-bit words at byte offset 2 * unit,
    // whose low halves are the deltas.
    __m256i const unitsLo = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(v));
    __m256i const unitsHi = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(v, 1));
    __m256i const deltaLo = _mm256_and_si256(_mm256_i32gather_epi32(base, unitsLo, 2), low16);
    __m256i const deltaHi = _mm256_and_si256(_mm256_i32gather_epi32(base, unitsHi, 2), low16);
    __m256i const deltas = _mm256_permute4x64_epi64(_mm256_packus_epi32(deltaLo, deltaHi), 0xD8);
    __m256i const mapped = _mm256_add_epi16(v, deltas);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), mapped);
    __m256i const inSurrogates =
        _mm256_cmpeq_epi16(_mm256_and_si256(mapped, surrogateMask), surrogate);
    __m256i const expands =
        _mm256_andnot_si256(_mm256_cmpeq_epi16(deltas, _mm256_setzero_si256()), inSurrogates);
    unsigned lanes = static_cast<unsigned>(_mm256_movemask_epi8(expands));
    for (; lanes != 0; lanes &= lanes - 1, lanes &= lanes - 1)  // two mask bits per unit
      expanding.push_back(static_cast<std::uint32_t>(i + __builtin_ctz(lanes) / 2));
  }
  MapScalar(delta, in, i, n, out, expanding);
}

// The deltas of one 256-unit block, loaded into eight registers of 32 words.
struct BlockDeltas {
  __m512i part[8];
};

__attribute__((target("avx512f,avx512bw"))) inline void LoadBlock(std::uint16_t const* delta,
                                                                   unsigned block,
                                                                   BlockDeltas& b) {
  for (int k = 0; k < 8; ++k) b.part[k] = _mm512_load_si512(delta + block * 256 + k * 32);
}

// Writes the mapping of one unit at out; returns how many units (1 to 3).
inline std::size_t MapOne(FlatTables const& tables, int form, unsigned short unit,
                          unsigned short* out) {
  std::uint16_t const delta = tables.delta[form][unit];
  unsigned short const mapped = static_cast<unsigned short>(unit + delta);
  if (!Expands(delta, mapped)) {
    *out = mapped;
    return 1;
  }
  std::uint32_t const entry = tables.expansion[form][mapped - 0xD800];
  std::memcpy(out, impl::kCaseExpansions + (entry & 0xFFFF), (entry >> 16) * sizeof(unsigned short));
  return entry >> 16;
}

// Expansions are written where they occur, the rest of their vector moved behind them with a
// masked store; so the result is written once, in order. Returns the length of the result.
__attribute__((target("avx512f,avx512bw"))) std::size_t MapAvx512(FlatTables const& tables,
                                                                  int form,
                                                                  unsigned short const* in,
                                                                  std::size_t n,
                                                                  UTF16String& result) {
  std::uint16_t const* const delta = tables.delta[form];
  std::size_t capacity = result.size();
  unsigned short* out = &result[0];
  std::size_t used = 0;
  bool const upper = form == impl::kCaseUpper;
  __m512i const first = _mm512_set1_epi16(upper ? 'a' : 'A');
  __m512i const last = _mm512_set1_epi16(upper ? 'z' : 'Z');
  __m512i const ascii = _mm512_set1_epi16(0x80);
  __m512i const bit6 = _mm512_set1_epi16(0x40);
  __m512i const bit7 = _mm512_set1_epi16(0x80);
  __m512i const surrogate = _mm512_set1_epi16(static_cast<short>(0xD800));
  __m512i const surrogateMask = _mm512_set1_epi16(static_cast<short>(0xF800));
  __m512i const caseBit = _mm512_set1_epi16(0x20);
  unsigned current = 0;  // the block whose deltas are loaded
  BlockDeltas b;
  LoadBlock(delta, current, b);
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    if (used + 3 * 32 > capacity) {  // each unit may take three
      capacity += capacity / 2 + 3 * 32;
      result.resize(capacity);
      out = &result[0];
    }
    __m512i const v = _mm512_loadu_si512(in + i);
    __mmask32 const isAscii = _mm512_cmplt_epu16_mask(v, ascii);
    // ASCII letters by comparison, whatever block is loaded.
    __mmask32 const letter = _mm512_cmpge_epu16_mask(v, first) & _mm512_cmple_epu16_mask(v, last);
    __m512i const asciiMapped = upper ? _mm512_mask_sub_epi16(v, letter, v, caseBit)
                                      : _mm512_mask_add_epi16(v, letter, v, caseBit);
    if (isAscii == 0xFFFFFFFFu) {
      _mm512_storeu_si512(out + used, asciiMapped);
      used += 32;
      continue;
    }
    __m512i const blocks = _mm512_srli_epi16(v, 8);
    __mmask32 inBlock =
        _mm512_cmpeq_epi16_mask(blocks, _mm512_set1_epi16(static_cast<short>(current)));
    if ((~isAscii & ~inBlock) != 0) {
      // A unit of another block: load that block when every non-ASCII unit belongs to it.
      unsigned const other = in[i + __builtin_ctz(~isAscii & ~inBlock)] >> 8;
      inBlock = _mm512_cmpeq_epi16_mask(blocks, _mm512_set1_epi16(static_cast<short>(other)));
      if ((~isAscii & ~inBlock) != 0) {
        for (std::size_t k = i; k < i + 32; ++k) used += MapOne(tables, form, in[k], out + used);
        continue;
      }
      current = other;
      LoadBlock(delta, current, b);
    }
    // The deltas of the block by the low byte: four permutes of 64 words (they read the low
    // six bits of each unit), picked by bits 6 and 7.
    __m512i const d01 = _mm512_permutex2var_epi16(b.part[0], v, b.part[1]);
    __m512i const d23 = _mm512_permutex2var_epi16(b.part[2], v, b.part[3]);
    __m512i const d45 = _mm512_permutex2var_epi16(b.part[4], v, b.part[5]);
    __m512i const d67 = _mm512_permutex2var_epi16(b.part[6], v, b.part[7]);
    __mmask32 const has6 = _mm512_test_epi16_mask(v, bit6);
    __mmask32 const has7 = _mm512_test_epi16_mask(v, bit7);
    __m512i const d0123 = _mm512_mask_blend_epi16(has6, d01, d23);
    __m512i const d4567 = _mm512_mask_blend_epi16(has6, d45, d67);
    __m512i deltas = _mm512_mask_blend_epi16(has7, d0123, d4567);
    // ASCII units outside the loaded block take their comparison result (delta 0 or 0x20).
    deltas = _mm512_mask_blend_epi16(inBlock, _mm512_sub_epi16(asciiMapped, v), deltas);
    __m512i const mapped = _mm512_add_epi16(v, deltas);
    _mm512_storeu_si512(out + used, mapped);
    __mmask32 expands =
        _mm512_cmpeq_epi16_mask(_mm512_and_si512(mapped, surrogateMask), surrogate) &
        _mm512_test_epi16_mask(deltas, deltas);
    std::size_t extra = 0;
    for (; expands != 0; expands &= expands - 1) {
      unsigned const lane = static_cast<unsigned>(__builtin_ctz(expands));
      std::size_t const length = MapOne(tables, form, in[i + lane], out + used + extra + lane);
      extra += length - 1;
      __mmask32 const after = lane == 31 ? 0 : ~((2u << lane) - 1);
      _mm512_mask_storeu_epi16(out + used + extra, after, mapped);
    }
    used += 32 + extra;
  }
  for (; i < n; ++i) {
    if (used + 3 > capacity) {
      capacity += capacity / 2 + 3;
      result.resize(capacity);
      out = &result[0];
    }
    used += MapOne(tables, form, in[i], out + used);
  }
  return used;
}
#endif

// Replaces each noted placeholder by its expansion, moving what follows it to the right.
void Expand(FlatTables const& tables, int form, unsigned short const* in,
            Expanding const& expanding, UTF16String& result) {
  std::size_t const n = result.size();
  std::size_t shift = 0;
  for (std::uint32_t position : expanding) {
    unsigned short const mapped = static_cast<unsigned short>(in[position] + tables.delta[form][in[position]]);
    shift += (tables.expansion[form][mapped - 0xD800] >> 16) - 1;
  }
  result.resize(n + shift);
  unsigned short* const out = &result[0];
  std::size_t end = n;
  for (std::size_t k = expanding.size(); k-- > 0;) {
    std::size_t const position = expanding[k];
    unsigned short const mapped = static_cast<unsigned short>(in[position] + tables.delta[form][in[position]]);
    std::uint32_t const entry = tables.expansion[form][mapped - 0xD800];
    std::size_t const length = entry >> 16;
    std::memmove(out + position + 1 + shift, out + position + 1,
                 (end - position - 1) * sizeof(unsigned short));
    shift -= length - 1;
    std::memcpy(out + position + shift, impl::kCaseExpansions + (entry & 0xFFFF),
                length * sizeof(unsigned short));
    end = position;
  }
}

UTF16String MapCase(UTF16String const& inText, impl::CaseForm inForm) {
  std::size_t const n = inText.size();
  UTF16String result;
  if (n == 0) return result;
  FlatTables const& tables = Tables();
  unsigned short const* const in = inText.data();
  int path = WidestPath();
#if defined(VIREO_CASE_WIDE)
  if (path == kAvx512Path) {
    if (n >= 64) {
      // Room for an expansion every 32 units or so before the result must grow.
      result.resize(n + n / 32 + 3 * 32);
      result.resize(MapAvx512(tables, inForm, in, n, result));
      return result;
    }
    path = kSse2Path;  // too short for the wide vectors
  }
#endif
  std::uint16_t const* const delta = tables.delta[inForm];
  // Room for an expansion every 32 units or so, so that making room for them rarely moves the
  // whole result to a larger block.
  result.reserve(n + n / 32 + 4);
  result.resize(n);
  unsigned short* const out = &result[0];
  Expanding expanding;
  switch (path) {
#if defined(VIREO_CASE_WIDE)
    case kAvx2Path:
      MapAvx2(delta, inForm, in, n, out, expanding);
      break;
#endif
#if defined(__SSE2__)
    case kSse2Path:
      MapSse2(delta, inForm, in, n, out, expanding);
      break;
#endif
    default:
      MapScalar(delta, in, 0, n, out, expanding);
  }
  if (!expanding.empty()) Expand(tables, inForm, in, expanding, result);
  return result;
}

}  // namespace

namespace impl {
int SetCaseMappingPathLimit(int limit) {
  int const previous = gPathLimit;
  gPathLimit = limit;
  return previous;
}
}  // namespace impl

UTF16String LowerCase(UTF16String const& inText) { return MapCase(inText, impl::kCaseLower); }
UTF16String UpperCase(UTF16String const& inText) { return MapCase(inText, impl::kCaseUpper); }
UTF16String FoldCase(UTF16String const& inText) { return MapCase(inText, impl::kCaseFold); }

void ToLowerCase(UTF16String& ioText) { ioText = LowerCase(ioText); }
void ToUpperCase(UTF16String& ioText) { ioText = UpperCase(ioText); }
void ToFoldCase(UTF16String& ioText) { ioText = FoldCase(ioText); }

}  // namespace utility
}  // namespace vireo
