// Round-trip laws of the UTF conversions, for any input.
//
// As UTF-16 (the input's bytes taken as native 16-bit units, an odd last byte ignored):
//   1. UTF8to16(UTF16to8(s)) is s up to its first NUL unit, and the pointer overload gives
//      the same bytes as the string overload;
//   2. the UTF-8 form has the exact length the encoding rules give (1, 2 or 3 bytes per unit,
//      4 per high+low pair), so a pair is never written as two 3-byte halves;
//   3. the UTF-8 form of any prefix that does not split a pair is a prefix of the whole one.
// As UTF-8 (the input's bytes, in a block of exactly their size):
//   4. decoding yields no more units than bytes and re-encoding its result decodes back to it
//      (up to a NUL unit);
//   5. decoding is monotone: the result for a prefix of the bytes is a prefix of the result;
//   6. up to the first encoded surrogate pair written as two halves (ED A0..AF xx ED B0..BF
//      xx, which decode to a high and a low unit that re-encode as one 4-byte sequence),
//      re-encoding gives back exactly the bytes decoded; and when the result holds no NUL
//      unit, what follows them cannot be decoded at all (decoding stopped there);
//   7. AsciiToUTF16 of the bytes up to the first zero byte equals UTF8to16 of them, and the
//      string overload equals the pointer overload.
// Both ways:
//   8. the results do not depend on whether the processor-specific (SSSE3) paths are allowed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "vireo/utility/UTF16String.h"
#include "vireo/utility/src/UTF16StringTesting.h"

using vireo::utility::AsciiToUTF16;
using vireo::utility::UTF16String;
using vireo::utility::UTF16to8;
using vireo::utility::UTF8String;
using vireo::utility::UTF8to16;

namespace {

#define CHECK(condition)                                                        \
  do {                                                                          \
    if (!(condition)) {                                                         \
      std::fprintf(stderr, "utf_roundtrip: law broken: %s (line %d)\n", #condition, __LINE__); \
      std::abort();                                                             \
    }                                                                           \
  } while (0)

bool IsHigh(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

template <class String>
bool StartsWith(String const& s, String const& prefix) {
  return prefix.size() <= s.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// Decodes exactly `length` bytes from a block of that size, so over-reads are caught.
UTF16String DecodeExact(std::uint8_t const* data, std::size_t length) {
  std::unique_ptr<unsigned char[]> copy(new unsigned char[length]);
  if (length) std::memcpy(copy.get(), data, length);
  return UTF8to16(copy.get(), length);
}

void CheckUTF16(std::uint8_t const* data, std::size_t size) {
  std::size_t const n = size / 2;
  UTF16String s(n, 0);
  if (n) std::memcpy(&s[0], data, n * 2);
  std::size_t const nul = std::min(s.find(static_cast<unsigned short>(0)), n);
  UTF16String const text = s.substr(0, nul);

  UTF8String const utf8 = UTF16to8(s);
  CHECK(UTF8to16(utf8) == text);                        // 1
  CHECK(UTF16to8(s.c_str()) == utf8);

  std::size_t expected = 0;                             // 2
  for (std::size_t i = 0; i < nul; ++i) {
    unsigned const u = text[i];
    if (IsHigh(u) && i + 1 < nul && IsLow(text[i + 1])) {
      expected += 4;
      ++i;
    } else {
      expected += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
    }
  }
  CHECK(utf8.size() == expected);

  std::size_t const cuts[] = {1, 2, 3, nul / 2, nul > 0 ? nul - 1 : 0};  // 3
  for (std::size_t cut : cuts) {
    if (cut == 0 || cut > nul) continue;
    if (IsHigh(text[cut - 1]) && cut < nul && IsLow(text[cut])) continue;
    CHECK(StartsWith(utf8, UTF16to8(text.substr(0, cut))));
  }
}

void CheckUTF8(std::uint8_t const* data, std::size_t size) {
  UTF16String const units = UTF8to16(data, size);
  CHECK(units.size() <= size);                          // 4
  UTF8String const again = UTF16to8(units);
  std::size_t const nul = std::min(units.find(static_cast<unsigned short>(0)), units.size());
  CHECK(UTF8to16(again) == units.substr(0, nul));

  std::size_t const cuts[] = {size / 2, size > 0 ? size - 1 : 0, size > 0 ? data[0] % size : 0};
  for (std::size_t cut : cuts) CHECK(StartsWith(units, DecodeExact(data, cut)));  // 5

  std::size_t clean = size;                             // 6
  for (std::size_t i = 0; i + 4 < size; ++i) {
    if (data[i] == 0xED && data[i + 1] >= 0xA0 && data[i + 1] <= 0xAF && data[i + 3] == 0xED &&
        data[i + 4] >= 0xB0 && data[i + 4] <= 0xBF) {
      clean = i;
      break;
    }
  }
  UTF16String const cleanUnits = clean == size ? units : DecodeExact(data, clean);
  UTF8String const cleanAgain = UTF16to8(cleanUnits);
  CHECK(cleanAgain.size() <= clean && std::memcmp(cleanAgain.data(), data, cleanAgain.size()) == 0);
  if (cleanUnits.find(static_cast<unsigned short>(0)) == UTF16String::npos &&
      cleanAgain.size() < clean) {
    CHECK(DecodeExact(data + cleanAgain.size(), clean - cleanAgain.size()).empty());
  }

  std::size_t const zero = std::find(data, data + size, 0) - data;  // 7
  std::unique_ptr<char[]> text(new char[zero + 1]);
  std::memcpy(text.get(), data, zero);
  text[zero] = 0;
  CHECK(AsciiToUTF16(text.get()) == DecodeExact(data, zero));
  CHECK(UTF8to16(UTF8String(data, data + size)) == units);
}

// 8: the same conversions with the SSSE3 paths forbidden.
void CheckPaths(std::uint8_t const* data, std::size_t size) {
  UTF16String units(size / 2, 0);
  if (size / 2) std::memcpy(&units[0], data, size / 2 * 2);
  UTF16String const decoded = UTF8to16(data, size);
  UTF8String const encoded = UTF16to8(units);
  vireo::utility::impl::SetShufflePathsEnabled(false);
  UTF16String const decodedPlain = UTF8to16(data, size);
  UTF8String const encodedPlain = UTF16to8(units);
  vireo::utility::impl::SetShufflePathsEnabled(true);
  CHECK(decoded == decodedPlain);
  CHECK(encoded == encodedPlain);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  CheckUTF16(data, size);
  CheckUTF8(data, size);
  CheckPaths(data, size);
  return 0;
}
