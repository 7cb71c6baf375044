// UTF-8 <-> UTF-16 conversions: exact encodings, where tolerant decoding stops, and
// agreement with small reference coders on random text that reaches the vectorised paths.
#include "vireo/utility/UTF16String.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "vireo/utility/src/UTF16StringTesting.h"

namespace vireo {
namespace utility {
namespace {

UTF16String U16(std::initializer_list<unsigned short> units) {
  return UTF16String(units.begin(), units.end());
}
UTF8String U8(std::initializer_list<unsigned char> bytes) {
  return UTF8String(bytes.begin(), bytes.end());
}
UTF8String U8(char const* text) {
  return UTF8String(reinterpret_cast<unsigned char const*>(text),
                    std::char_traits<char>::length(text));
}
UTF16String U16(char const* ascii) {
  UTF16String s;
  for (; *ascii; ++ascii) s.push_back(static_cast<unsigned char>(*ascii));
  return s;
}

// Hex dumps make failures readable and compare exactly.
template <class String>
std::string Hex(String const& s) {
  std::string out;
  char buffer[8];
  for (auto unit : s) {
    std::snprintf(buffer, sizeof buffer, sizeof(unit) == 1 ? "%02X " : "%04X ",
                  static_cast<unsigned>(unit));
    out += buffer;
  }
  return out;
}

// ---- reference coders, written straight from the conversion rules ------------------------

UTF8String ReferenceEncode(UTF16String const& s) {
  UTF8String out;
  for (std::size_t i = 0; i < s.size() && s[i] != 0; ++i) {
    std::uint32_t u = s[i];
    if (u < 0x80) {
      out.push_back(static_cast<unsigned char>(u));
    } else if (u < 0x800) {
      out.push_back(static_cast<unsigned char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<unsigned char>(0x80 | (u & 0x3F)));
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
               s[i + 1] <= 0xDFFF) {
      std::uint32_t const cp = 0x10000 + ((u - 0xD800) << 10) + (s[i + 1] - 0xDC00u);
      out.push_back(static_cast<unsigned char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<unsigned char>(0x80 | (cp & 0x3F)));
      ++i;
    } else {
      out.push_back(static_cast<unsigned char>(0xE0 | (u >> 12)));
      out.push_back(static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<unsigned char>(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

// Decodes until the end or the first truncated or illegal sequence; *consumed tells where.
UTF16String ReferenceDecode(UTF8String const& b, std::size_t* consumed = nullptr) {
  static std::uint32_t const offsets[4] = {0, 0x3080, 0xE2080, 0x3C82080};
  UTF16String out;
  std::size_t i = 0;
  while (i < b.size()) {
    unsigned const lead = b[i];
    unsigned const trailing = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2
                              : lead < 0xF8 ? 3 : lead < 0xFC ? 4 : 5;
    if (i + trailing >= b.size()) break;
    unsigned const n = trailing + 1;
    if (n > 4) break;
    if (n >= 3 && (b[i + 2] < 0x80 || b[i + 2] > 0xBF)) break;
    if (n == 4 && (b[i + 3] < 0x80 || b[i + 3] > 0xBF)) break;
    if (n >= 2) {
      unsigned const second = b[i + 1];
      if (second > 0xBF) break;
      if (lead == 0xE0 && second < 0xA0) break;
      if (lead == 0xF0 && second < 0x90) break;
      if (lead == 0xF4 && second > 0x8F) break;
      if (second < 0x80) break;
    }
    if ((lead >= 0x80 && lead <= 0xC1) || lead > 0xF4) break;
    std::uint32_t cp = 0;
    for (unsigned k = 0; k < n; ++k) cp = (cp << 6) + b[i + k];
    cp -= offsets[n - 1];
    if (cp <= 0xFFFF) {
      out.push_back(static_cast<unsigned short>(cp));
    } else {
      out.push_back(static_cast<unsigned short>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<unsigned short>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
    i += n;
  }
  if (consumed) *consumed = i;
  return out;
}

// Decodes through the pointer overload from a buffer whose bytes after the input are
// continuation bytes: a decoder that reads past the end would complete a cut sequence.
UTF16String DecodeGuarded(UTF8String const& b) {
  std::vector<unsigned char> buffer(b.begin(), b.end());
  buffer.insert(buffer.end(), 4, 0x80);
  return UTF8to16(buffer.data(), b.size());
}

// The reference decoder itself must stop where the rules say, or the oracle tests prove nothing.
TEST(UTFReferenceCoders, AgreeWithHandCheckedCases) {
  std::size_t consumed = 99;
  EXPECT_EQ(Hex(U16({0x61, 0xE9})), Hex(ReferenceDecode(U8({0x61, 0xC3, 0xA9, 0xC3}), &consumed)));
  EXPECT_EQ(3u, consumed);
  EXPECT_EQ("", Hex(ReferenceDecode(U8({0xE0, 0x80, 0x80}), &consumed)));
  EXPECT_EQ(0u, consumed);
  EXPECT_EQ("F0 9F 98 80 ", Hex(ReferenceEncode(U16({0xD83D, 0xDE00}))));
}

// ---- exact encodings -----------------------------------------------------------------------

TEST(UTF16to8, EncodesEachSequenceLength) {
  EXPECT_EQ("41 ", Hex(UTF16to8(U16({0x41}))));
  EXPECT_EQ("7F ", Hex(UTF16to8(U16({0x7F}))));
  EXPECT_EQ("C2 80 ", Hex(UTF16to8(U16({0x80}))));
  EXPECT_EQ("C3 A9 ", Hex(UTF16to8(U16({0x00E9}))));
  EXPECT_EQ("DF BF ", Hex(UTF16to8(U16({0x07FF}))));
  EXPECT_EQ("E0 A0 80 ", Hex(UTF16to8(U16({0x0800}))));
  EXPECT_EQ("E2 82 AC ", Hex(UTF16to8(U16({0x20AC}))));
  EXPECT_EQ("EF BF BF ", Hex(UTF16to8(U16({0xFFFF}))));
  EXPECT_EQ("F0 9F 98 80 ", Hex(UTF16to8(U16({0xD83D, 0xDE00}))));
  EXPECT_EQ("F0 90 80 80 ", Hex(UTF16to8(U16({0xD800, 0xDC00}))));
  EXPECT_EQ("F4 8F BF BF ", Hex(UTF16to8(U16({0xDBFF, 0xDFFF}))));
}

TEST(UTF16to8, WritesUnpairedSurrogatesAsThreeBytesOfTheirOwnValue) {
  EXPECT_EQ("ED A0 80 ", Hex(UTF16to8(U16({0xD800}))));
  EXPECT_EQ("ED BF BF ", Hex(UTF16to8(U16({0xDFFF}))));
  // Reversed order is no pair.
  EXPECT_EQ("ED B0 80 ED A0 80 ", Hex(UTF16to8(U16({0xDC00, 0xD800}))));
  // A high surrogate followed by a non-surrogate, and one at the very end.
  EXPECT_EQ("ED A0 BD 41 ED A0 BD ", Hex(UTF16to8(U16({0xD83D, 0x41, 0xD83D}))));
  // Two highs then a low: only the second high pairs.
  EXPECT_EQ("ED A0 BD F0 9F 98 80 ", Hex(UTF16to8(U16({0xD83D, 0xD83D, 0xDE00}))));
}

TEST(UTF16to8, StopsAtTheFirstNulInBothOverloads) {
  EXPECT_EQ("", Hex(UTF16to8(UTF16String())));
  unsigned short const loneNul[] = {0};
  EXPECT_EQ("", Hex(UTF16to8(loneNul)));
  EXPECT_EQ("", Hex(UTF16to8(static_cast<unsigned short const*>(nullptr))));
  EXPECT_EQ("61 ", Hex(UTF16to8(U16({'a', 0, 'b', 'c', 'd'}))));
  // Non-ASCII after the NUL must not change the result or its path.
  EXPECT_EQ("61 62 ", Hex(UTF16to8(U16({'a', 'b', 0, 0xE9, 0xD800}))));
  EXPECT_EQ("C3 A9 ", Hex(UTF16to8(U16({0xE9, 0, 0xE9, 0xE9, 0xE9}))));
  unsigned short const text[] = {'x', 0x20AC, 0xD83D, 0xDE00, 0, 'y'};
  EXPECT_EQ("78 E2 82 AC F0 9F 98 80 ", Hex(UTF16to8(text)));
}

// Strings of one to three units are encoded without the length scan; they must agree with
// longer ones and still stop at a NUL.
TEST(UTF16to8, ShortStringsTakeTheSameRules) {
  EXPECT_EQ("C3 A9 ", Hex(UTF16to8(U16({0xE9}))));
  EXPECT_EQ("61 62 ", Hex(UTF16to8(U16({'a', 'b'}))));
  EXPECT_EQ("F0 9F 98 80 ", Hex(UTF16to8(U16({0xD83D, 0xDE00}))));
  EXPECT_EQ("F0 9F 98 80 41 ", Hex(UTF16to8(U16({0xD83D, 0xDE00, 0x41}))));
  EXPECT_EQ("ED B0 80 ED A0 80 ", Hex(UTF16to8(U16({0xDC00, 0xD800}))));
  EXPECT_EQ("ED A0 BD ", Hex(UTF16to8(U16({0xD83D, 0, 0xDE00}))));
  EXPECT_EQ("", Hex(UTF16to8(U16({0}))));
  EXPECT_EQ("61 ", Hex(UTF16to8(U16({'a', 0}))));
  EXPECT_EQ("61 62 63 ", Hex(UTF16to8(U16({'a', 'b', 'c'}))));
  // The pair must not be joined with a unit beyond the string's end.
  UTF16String padded = U16({0x41, 0xD83D, 0xDE00});
  padded.resize(2);
  EXPECT_EQ("41 ED A0 BD ", Hex(UTF16to8(padded)));
}

TEST(UTF16to8, NeverWritesAByteOrderMark) {
  EXPECT_EQ("41 ", Hex(UTF16to8(U16({0x41}))));
  EXPECT_EQ("EF BB BF 41 ", Hex(UTF16to8(U16({0xFEFF, 0x41}))));  // only an explicit one
}

// ---- decoding and where it stops -----------------------------------------------------------

TEST(UTF8to16, DecodesEachSequenceLength) {
  EXPECT_EQ("", Hex(UTF8to16(UTF8String())));
  EXPECT_EQ("0041 00E9 20AC ", Hex(UTF8to16(U8({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}))));
  EXPECT_EQ("D83D DE00 ", Hex(UTF8to16(U8({0xF0, 0x9F, 0x98, 0x80}))));
  EXPECT_EQ("DBFF DFFF ", Hex(UTF8to16(U8({0xF4, 0x8F, 0xBF, 0xBF}))));
  EXPECT_EQ("D800 DC00 ", Hex(UTF8to16(U8({0xF0, 0x90, 0x80, 0x80}))));
  EXPECT_EQ("0080 07FF 0800 FFFF ",
            Hex(UTF8to16(U8({0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}))));
  // NUL bytes are ordinary characters here.
  EXPECT_EQ("0061 0000 0062 ", Hex(UTF8to16(U8({'a', 0, 'b'}))));
}

TEST(UTF8to16, PassesEncodedSurrogatesThroughAsSingleUnits) {
  EXPECT_EQ("D800 ", Hex(UTF8to16(U8({0xED, 0xA0, 0x80}))));
  EXPECT_EQ("DFFF ", Hex(UTF8to16(U8({0xED, 0xBF, 0xBF}))));
  // Two encoded halves give the two units, which then read as a pair.
  EXPECT_EQ("D83D DE00 ", Hex(UTF8to16(U8({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}))));
  for (unsigned short unit : {0xD800, 0xDBFF, 0xDC00, 0xDFFF}) {
    EXPECT_EQ(Hex(U16({unit})), Hex(UTF8to16(UTF16to8(U16({unit})))));
  }
}

TEST(UTF8to16, TruncatedTailGivesNothing) {
  EXPECT_EQ("0061 0062 0063 ", Hex(UTF8to16(U8({'a', 'b', 'c', 0xC3}))));
  EXPECT_EQ("0061 ", Hex(UTF8to16(U8({'a', 0xE2, 0x82}))));
  EXPECT_EQ("0061 ", Hex(UTF8to16(U8({'a', 0xF0, 0x9F, 0x98}))));
  EXPECT_EQ("", Hex(UTF8to16(U8({0xE2}))));
  // A five- or six-byte lead near the end is truncation before it is illegal: same result.
  EXPECT_EQ("0061 ", Hex(UTF8to16(U8({'a', 0xF8, 0x88, 0x80}))));
}

TEST(UTF8to16, StopsAtTheFirstIllegalSequence) {
  EXPECT_EQ("0061 0062 ", Hex(UTF8to16(U8({'a', 'b', 0x80, 'c', 'd'}))));  // stray continuation
  EXPECT_EQ("", Hex(UTF8to16(U8({0xC0, 0x80}))));                          // overlong NUL
  EXPECT_EQ("", Hex(UTF8to16(U8({0xC1, 0xBF}))));
  EXPECT_EQ("", Hex(UTF8to16(U8({0xE0, 0x80, 0x80}))));                    // overlong 3-byte
  EXPECT_EQ("", Hex(UTF8to16(U8({0xE0, 0x9F, 0xBF}))));
  EXPECT_EQ("", Hex(UTF8to16(U8({0xF0, 0x8F, 0xBF, 0xBF}))));              // overlong 4-byte
  EXPECT_EQ("", Hex(UTF8to16(U8({0xF4, 0x90, 0x80, 0x80}))));              // above U+10FFFF
  EXPECT_EQ("", Hex(UTF8to16(U8({0xF5, 0x80, 0x80, 0x80}))));
  EXPECT_EQ("", Hex(UTF8to16(U8({0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}))));
  EXPECT_EQ("", Hex(UTF8to16(U8({0xF8, 0x88, 0x80, 0x80, 0x80, 0x80}))));  // 5-byte form
  EXPECT_EQ("0041 ", Hex(UTF8to16(U8({0x41, 0xC3, 0x41, 0x41}))));  // missing continuation
  EXPECT_EQ("0041 ", Hex(UTF8to16(U8({0x41, 0xC3, 0xC3, 0xA9}))));  // second byte above BF
  EXPECT_EQ("0041 ", Hex(UTF8to16(U8({0x41, 0xE2, 0x82, 0x41, 0x41}))));
  EXPECT_EQ("0041 ", Hex(UTF8to16(U8({0x41, 0xF0, 0x9F, 0x98, 0xC0, 0x41}))));
  // Legal boundary values on either side of each rule.
  EXPECT_EQ("0080 ", Hex(UTF8to16(U8({0xC2, 0x80}))));
  EXPECT_EQ("0800 ", Hex(UTF8to16(U8({0xE0, 0xA0, 0x80}))));
  EXPECT_EQ("D800 DC00 ", Hex(UTF8to16(U8({0xF0, 0x90, 0x80, 0x80}))));
  EXPECT_EQ("DBC0 DC00 ", Hex(UTF8to16(U8({0xF4, 0x80, 0x80, 0x80}))));
  EXPECT_EQ("", Hex(UTF8to16(U8({0xF4, 0x7F, 0x80, 0x80}))));
}

TEST(UTF8to16, KeepsAByteOrderMark) {
  EXPECT_EQ("FEFF 0041 ", Hex(UTF8to16(U8({0xEF, 0xBB, 0xBF, 0x41}))));
}

TEST(UTF8to16, PointerOverloadReadsExactlyTheGivenBytes) {
  unsigned char const bytes[] = {'a', 0xC3, 0xA9, 'b', 0xC3, 0xA9};
  EXPECT_EQ("0061 00E9 0062 ", Hex(UTF8to16(bytes, 4)));
  EXPECT_EQ("0061 ", Hex(UTF8to16(bytes, 2)));  // cut inside the sequence
  EXPECT_EQ("", Hex(UTF8to16(bytes, 0)));
  EXPECT_EQ("", Hex(UTF8to16(nullptr, 0)));
}

TEST(AsciiToUTF16, ReadsHighBytesAsUTF8) {
  EXPECT_EQ(Hex(U16("plain text")), Hex(AsciiToUTF16("plain text")));
  EXPECT_EQ("", Hex(AsciiToUTF16("")));
  EXPECT_EQ("", Hex(AsciiToUTF16(nullptr)));
  EXPECT_EQ("0063 0061 0066 ", Hex(AsciiToUTF16("caf\xE9")));  // E9 leads a cut sequence
  EXPECT_EQ("0063 0061 0066 00E9 ", Hex(AsciiToUTF16("caf\xC3\xA9")));
  EXPECT_EQ("0061 ", Hex(AsciiToUTF16("a\x80z")));
}

TEST(UnicodeSurrogate, ClassifiesTheRangeBoundaries) {
  EXPECT_EQ(kNotSurrogate, UnicodeSurrogate(0x0000));
  EXPECT_EQ(kNotSurrogate, UnicodeSurrogate(0xD7FF));
  EXPECT_EQ(kHighSurrogate, UnicodeSurrogate(0xD800));
  EXPECT_EQ(kHighSurrogate, UnicodeSurrogate(0xDBFF));
  EXPECT_EQ(kLowSurrogate, UnicodeSurrogate(0xDC00));
  EXPECT_EQ(kLowSurrogate, UnicodeSurrogate(0xDFFF));
  EXPECT_EQ(kNotSurrogate, UnicodeSurrogate(0xE000));
  EXPECT_EQ(kNotSurrogate, UnicodeSurrogate(0xFFFF));
  EXPECT_EQ(1, static_cast<int>(kHighSurrogate));
  EXPECT_EQ(2, static_cast<int>(kLowSurrogate));
}

// ---- vectorised ASCII runs and piece boundaries --------------------------------------------
//
// These run twice: with the processor-specific (SSSE3) paths allowed, and with them forbidden,
// so that both sets of paths are checked on a processor that has SSSE3.

class UTFPaths : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { previous_ = impl::SetShufflePathsEnabled(GetParam()); }
  void TearDown() override { impl::SetShufflePathsEnabled(previous_); }

 private:
  bool previous_ = true;
};

INSTANTIATE_TEST_SUITE_P(Shuffles, UTFPaths, ::testing::Values(true, false),
                         [](::testing::TestParamInfo<bool> const& info) {
                           return info.param ? "Allowed" : "Forbidden";
                         });

// Interesting non-ASCII tails: complete sequences of every length, an encoded surrogate, and
// sequences that stop decoding (illegal, truncated by the end).
std::vector<UTF8String> const& Tails() {
  static std::vector<UTF8String> const tails = {
      U8({0xC3, 0xA9}),        U8({0xE2, 0x82, 0xAC}), U8({0xF0, 0x9F, 0x98, 0x80}),
      U8({0xED, 0xA0, 0x80}),  U8({0x80}),             U8({0xC0, 0x80}),
      U8({0xE0, 0x80, 0x80}),  U8({0xF4, 0x90, 0x80, 0x80}), U8({0xC3}),
      U8({0xF0, 0x9F, 0x98}),  U8({0xFF})};
  return tails;
}

TEST_P(UTFPaths, UTF8to16AsciiRunFollowedByAnyTailAtEveryOffset) {
  for (std::size_t run = 0; run <= 40; ++run) {
    for (UTF8String const& tail : Tails()) {
      for (char const* after : {"", "z", "0123456789abcdefghijklmnopq"}) {
        UTF8String input;
        for (std::size_t i = 0; i < run; ++i) input.push_back(static_cast<unsigned char>('A' + i % 26));
        input += tail;
        input += U8(after);
        ASSERT_EQ(Hex(ReferenceDecode(input)), Hex(UTF8to16(input)))
            << "run " << run << " input " << Hex(input);
        ASSERT_EQ(Hex(ReferenceDecode(input)), Hex(DecodeGuarded(input)))
            << "run " << run << " input " << Hex(input);
      }
    }
  }
}

TEST_P(UTFPaths, UTF16to8AsciiRunFollowedByNonAsciiAtEveryOffset) {
  std::vector<UTF16String> const tails = {U16({0xE9}),         U16({0x20AC}), U16({0xD83D, 0xDE00}),
                                          U16({0xD800}),       U16({0xDC00}), U16({0}),
                                          U16({0xD83D, 0, 0xDE00}), U16({0x80})};
  for (std::size_t run = 0; run <= 40; ++run) {
    for (UTF16String const& tail : tails) {
      for (char const* after : {"", "z", "0123456789abcdefghijklmnopq"}) {
        UTF16String input;
        for (std::size_t i = 0; i < run; ++i) input.push_back(static_cast<unsigned short>('a' + i % 26));
        input += tail;
        input += U16(after);
        ASSERT_EQ(Hex(ReferenceEncode(input)), Hex(UTF16to8(input)))
            << "run " << run << " input " << Hex(input);
        UTF16String terminated = input;  // c_str() gives the NUL the pointer overload needs
        ASSERT_EQ(Hex(ReferenceEncode(input)), Hex(UTF16to8(terminated.c_str())));
      }
    }
  }
}

// Conversions work through a fixed-size buffer; a multi-byte character must survive being
// split across its edges, at every alignment around the first few edges.
TEST_P(UTFPaths, MultiByteCharactersAcrossBufferEdges) {
  for (UTF8String const& tail : Tails()) {
    for (std::size_t run = 2030; run <= 2060; ++run) {
      for (std::size_t copies : {1, 700, 1500}) {
        UTF8String input(run, 'x');
        std::size_t consumed = 0;
        ReferenceDecode(tail, &consumed);
        bool const complete = consumed == tail.size();
        // Complete sequences repeat across the edges; one that stops decoding appears once.
        for (std::size_t i = 0; i < (complete ? copies : 1); ++i) input += tail;
        input += U8("end");
        UTF16String const decoded = UTF8to16(input);
        ASSERT_EQ(Hex(ReferenceDecode(input)), Hex(decoded)) << "run " << run;
        ASSERT_EQ(Hex(ReferenceEncode(decoded)), Hex(UTF16to8(decoded))) << "run " << run;
      }
    }
  }
  // Every sequence length straddling a multiple of 2048 bytes and of 2048 units.
  for (std::size_t length = 1; length <= 4; ++length) {
    UTF8String const character = length == 1   ? U8("q")
                                 : length == 2 ? U8({0xC3, 0xA9})
                                 : length == 3 ? U8({0xE2, 0x82, 0xAC})
                                               : U8({0xF0, 0x9F, 0x98, 0x80});
    for (std::size_t lead = 0; lead < 8; ++lead) {
      UTF8String input(lead, 'a');
      while (input.size() < 3 * 2048 + 7) input += character;
      UTF16String const decoded = UTF8to16(input);
      ASSERT_EQ(Hex(ReferenceDecode(input)), Hex(decoded)) << length << "/" << lead;
      ASSERT_EQ(Hex(input), Hex(UTF16to8(decoded)));
    }
  }
}

// Text of one kind (accented Latin, three-byte, four-byte characters) with one foreign or
// faulty piece at every position: the block paths must leave off exactly there.
TEST_P(UTFPaths, UTF8to16UniformTextWithAFaultAtEveryPosition) {
  std::vector<UTF8String> const texts = {
      U8("a\xC3\xA9t\xC3\xA9 \xC3\xBC\xC3\x9F\xC3\xA0 d\xC3\xA9j\xC3\xA0 vu, \xC3\xA7"),
      U8("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82"),
      U8("\xF0\x9F\x98\x80\xF0\x9F\x8E\x89\xF4\x8F\xBF\xBF\xF0\x90\x80\x80")};
  std::vector<UTF8String> const faults = {
      U8({0xDE, 0xD8}), U8({0x80}), U8({0xC0, 0x80}), U8({0xC1, 0xBF}), U8({0xE2, 0x82}),
      U8({0xE0, 0x9F, 0xBF}), U8({0xF4, 0x90, 0x80, 0x80}), U8({0xFF}), U8("x"), U8({0xC3, 0xA9}),
      U8({0xED, 0xA0, 0x80}), U8({0xF0, 0x9F, 0x98})};
  for (UTF8String const& text : texts) {
    UTF8String base;
    while (base.size() < 80) base += text;
    for (UTF8String const& fault : faults) {
      for (std::size_t at = 0; at <= base.size(); ++at) {
        UTF8String input = base;
        input.insert(at, fault);
        ASSERT_EQ(Hex(ReferenceDecode(input)), Hex(UTF8to16(input))) << Hex(input);
        ASSERT_EQ(Hex(ReferenceDecode(input)), Hex(DecodeGuarded(input))) << Hex(input);
      }
    }
  }
}

TEST_P(UTFPaths, UTF16to8UniformTextWithAForeignUnitAtEveryPosition) {
  std::vector<UTF16String> const texts = {U16({'a', 0xE9, 't', 0xE9, ' ', 0xFC, 0xDF, 0x7FF, 0x80}),
                                          U16({0x65E5, 0x672C, 0x8A9E, 0x3067, 0xFFFF, 0x800}),
                                          U16({0xD83D, 0xDE00, 0xD83C, 0xDF89, 0xDBFF, 0xDFFF})};
  std::vector<UTF16String> const foreign = {U16({0}),      U16({'x'}),    U16({0xE9}),
                                            U16({0x20AC}), U16({0xD800}), U16({0xDC00}),
                                            U16({0xDC00, 0xD800}), U16({0xD83D, 0xDE00})};
  for (UTF16String const& text : texts) {
    UTF16String base;
    while (base.size() < 40) base += text;
    for (UTF16String const& unit : foreign) {
      for (std::size_t at = 0; at <= base.size(); ++at) {
        UTF16String input = base;
        input.insert(at, unit);
        ASSERT_EQ(Hex(ReferenceEncode(input)), Hex(UTF16to8(input))) << Hex(input);
      }
    }
  }
}

// Results are sized once: UTF16to8's to exactly its bytes; UTF8to16's reservation of one unit
// per input byte is given back when much of it stays unused.
TEST_P(UTFPaths, ResultsKeepNoLargeUnusedReserve) {
  std::vector<UTF8String> const samples = {
      U8("plain ASCII text "), U8("d\xC3\xA9j\xC3\xA0 vu, \xC3\xA7" "a "),
      U8("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"), U8("\xF0\x9F\x98\x80\xF0\x9F\x8E\x89 "),
      U8({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80, 'x'})};
  for (UTF8String const& sample : samples) {
    for (std::size_t copies : {1, 40, 400}) {
      UTF8String input;
      for (std::size_t i = 0; i < copies; ++i) input += sample;
      input.insert(0, UTF8String(copies % 7, 'a'));  // the first non-ASCII unit moves too
      UTF16String const decoded = UTF8to16(input);
      EXPECT_LE(decoded.capacity(), decoded.size() + decoded.size() / 2 + 64) << Hex(sample);
      UTF8String const encoded = UTF16to8(decoded);
      ASSERT_EQ(Hex(ReferenceEncode(decoded)), Hex(encoded));
      if (encoded.size() > 64) {  // short strings live in the string object itself
        EXPECT_EQ(encoded.size(), encoded.capacity()) << Hex(sample) << " x" << copies;
      }
    }
  }
}

// ---- random agreement with the reference coders --------------------------------------------

// Text in runs of one kind of character, as real text comes, so that the block paths for
// each kind are entered and left at every position.
UTF16String RandomUTF16(std::mt19937& rng, std::size_t length, bool allowNul) {
  UTF16String s;
  std::uniform_int_distribution<int> kind(0, 99);
  auto draw = [&](unsigned lo, unsigned hi) {
    return static_cast<unsigned short>(std::uniform_int_distribution<unsigned>(lo, hi)(rng));
  };
  while (s.size() < length) {
    int const k = kind(rng);
    std::size_t const run = std::uniform_int_distribution<std::size_t>(1, 40)(rng);
    for (std::size_t i = 0; i < run; ++i) {
      if (k < 30) {
        s.push_back(draw(1, 0x7F));
      } else if (k < 45) {
        s.push_back(draw(0x80, 0x7FF));
      } else if (k < 55) {
        s.push_back(draw(1, 0x7FF));  // accented Latin: ASCII and two-byte mixed
      } else if (k < 68) {
        s.push_back(draw(0x800, 0xFFFF));  // surrogates among them, paired or not by chance
      } else if (k < 80) {
        s.push_back(draw(0xD800, 0xDBFF));
        s.push_back(draw(0xDC00, 0xDFFF));
      } else if (k < 85) {
        s.push_back(draw(0xD800, 0xDBFF));  // unpaired, or paired by chance with what follows
      } else if (k < 90) {
        s.push_back(draw(0xDC00, 0xDFFF));
      } else if (k < 98) {
        s.push_back(draw(0x7E, 0x801));  // around the length boundaries
      } else if (allowNul && i == 0) {
        s.push_back(0);
      }
    }
  }
  s.resize(length);
  return s;
}

TEST_P(UTFPaths, UTF16to8AgreesWithReferenceOnRandomText) {
  std::mt19937 rng(20240611);
  std::size_t converted = 0;
  for (int round = 0; round < 3000; ++round) {
    std::size_t const length = round < 1000 ? round % 12
                               : std::uniform_int_distribution<std::size_t>(0, round < 2900 ? 300 : 7000)(rng);
    UTF16String const s = RandomUTF16(rng, length, round % 3 == 0);
    UTF8String const expected = ReferenceEncode(s);
    UTF8String const actual = UTF16to8(s);
    ASSERT_EQ(Hex(expected), Hex(actual)) << "round " << round << " input " << Hex(s);
    ASSERT_EQ(Hex(expected), Hex(UTF16to8(s.c_str()))) << "round " << round;
    converted += actual.size();
  }
  EXPECT_GT(converted, 100000u);  // the generator really produced text
}

// Byte strings: runs of well-formed sequences of one length, with faults of every kind mixed
// in so that decoding stops at all sorts of places.
UTF8String RandomUTF8(std::mt19937& rng, std::size_t length) {
  UTF8String b;
  std::uniform_int_distribution<int> kind(0, 999);
  auto draw = [&](unsigned lo, unsigned hi) {
    return static_cast<unsigned char>(std::uniform_int_distribution<unsigned>(lo, hi)(rng));
  };
  while (b.size() < length) {
    int const k = kind(rng);
    std::size_t const run = std::uniform_int_distribution<std::size_t>(1, 24)(rng);
    for (std::size_t i = 0; i < run; ++i) {
      if (k < 250) {
        b.push_back(draw(0, 0x7F));
      } else if (k < 420) {
        b.push_back(draw(0xC2, 0xDF));
        b.push_back(draw(0x80, 0xBF));
      } else if (k < 500) {  // accented Latin
        if (rng() % 4 == 0) {
          b.push_back(draw(0xC2, 0xDF));
          b.push_back(draw(0x80, 0xBF));
        } else {
          b.push_back(draw(0x20, 0x7E));
        }
      } else if (k < 700) {
        unsigned char const lead = draw(0xE0, 0xEF);
        b.push_back(lead);
        b.push_back(draw(lead == 0xE0 ? 0xA0 : 0x80, 0xBF));  // 0xED: encoded surrogates too
        b.push_back(draw(0x80, 0xBF));
      } else if (k < 880) {
        unsigned char const lead = draw(0xF0, 0xF4);
        b.push_back(lead);
        b.push_back(draw(lead == 0xF0 ? 0x90 : 0x80, lead == 0xF4 ? 0x8F : 0xBF));
        b.push_back(draw(0x80, 0xBF));
        b.push_back(draw(0x80, 0xBF));
      } else if (k < 990) {
        b.push_back(draw(0x20, 0x7E));
      } else if (i == 0) {
        b.push_back(draw(0x80, 0xFF));  // any fault: stray byte, bad lead, cut sequence
        if (k % 2) b.push_back(draw(0x00, 0xFF));
      }
    }
  }
  b.resize(length);  // may cut the last sequence
  return b;
}

TEST_P(UTFPaths, UTF8to16AgreesWithReferenceOnRandomBytes) {
  std::mt19937 rng(1999);
  std::size_t stoppedEarly = 0, decodedUnits = 0;
  for (int round = 0; round < 4000; ++round) {
    std::size_t const length = round < 1000 ? round % 10
                               : std::uniform_int_distribution<std::size_t>(0, round < 3900 ? 400 : 9000)(rng);
    UTF8String b = RandomUTF8(rng, length);
    if (round % 4 == 1 && !b.empty()) {  // one fault anywhere
      b[std::uniform_int_distribution<std::size_t>(0, b.size() - 1)(rng)] =
          static_cast<unsigned char>(rng());
    }
    std::size_t consumed = 0;
    UTF16String const expected = ReferenceDecode(b, &consumed);
    // The decoder's stopping point shows in the result: compare with the bytes it consumed.
    ASSERT_EQ(Hex(expected), Hex(UTF8to16(b))) << "round " << round << " input " << Hex(b);
    ASSERT_EQ(Hex(expected), Hex(DecodeGuarded(b))) << "round " << round;
    ASSERT_EQ(Hex(expected), Hex(UTF8to16(b.data(), consumed)));
    if (consumed < b.size()) {
      ++stoppedEarly;
      // Whatever remains starts with a sequence that cannot be decoded on its own either.
      ASSERT_EQ("", Hex(UTF8to16(b.substr(consumed)))) << "round " << round;
    }
    decodedUnits += expected.size();
  }
  EXPECT_GT(stoppedEarly, 400u);
  EXPECT_GT(decodedUnits, 200000u);
}

TEST_P(UTFPaths, RandomTextSurvivesARoundTrip) {
  std::mt19937 rng(7);
  for (int round = 0; round < 500; ++round) {
    UTF16String s = RandomUTF16(rng, std::uniform_int_distribution<std::size_t>(0, 3000)(rng), false);
    ASSERT_EQ(Hex(s), Hex(UTF8to16(UTF16to8(s)))) << "round " << round;
  }
}

}  // namespace
}  // namespace utility
}  // namespace vireo
