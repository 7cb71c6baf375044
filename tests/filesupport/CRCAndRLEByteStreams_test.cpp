// CRC-32 against zlib, and PackBits: the exact packets of the encoder, any input for the
// decoder, round trips.
#include "vireo/filesupport/CRCByteStream.h"
#include "vireo/filesupport/RLEByteStream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "vireo/filesupport/MemoryByteStreams.h"

namespace vireo {
namespace filesupport {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Random(std::mt19937& rng, std::size_t n) {
  Bytes b(n);
  for (auto& x : b) x = static_cast<unsigned char>(rng());
  return b;
}

TEST(CRCByteStream, KnownValues) {
  struct {
    std::string text;
    std::uint32_t crc;
  } const cases[] = {{"", 0}, {"abc", 0x352441C2u}, {"123456789", 0xCBF43926u}};
  for (auto const& c : cases) {
    OCountingByteStream sink;
    OCRCByteStream bytewise(sink);
    for (char ch : c.text) bytewise.Put(static_cast<unsigned char>(ch));
    EXPECT_EQ(c.crc, bytewise.Value()) << c.text;
    OCRCByteStream blockwise(sink);
    blockwise.WriteBlock(reinterpret_cast<unsigned char const*>(c.text.data()), c.text.size());
    EXPECT_EQ(c.crc, blockwise.Value()) << c.text;
  }
}

TEST(CRCByteStream, MatchesZlibForAnyMixOfBytesBlocksAndPositions) {
  std::mt19937 rng(20261206);
  for (std::size_t size : {1u, 3u, 15u, 16u, 17u, 63u, 64u, 255u, 1000u, 4096u, 100003u}) {
    Bytes data = Random(rng, size);
    unsigned char target[100003 + 16];
    OBufferByteStream out(target, sizeof target);
    OCRCByteStream crc(out);
    std::size_t at = 0;
    while (at < data.size()) {
      std::size_t n = std::min<std::size_t>(rng() % 300, data.size() - at);
      if (n == 0) {
        crc.Put(data[at]);
        n = 1;
      } else {
        crc.WriteBlock(&data[at], n);
      }
      at += n;
      // Positions belong to the target and do not enter the CRC.
      crc.CurPos(crc.CurPos());
    }
    uLong reference = crc32(0L, data.data(), static_cast<uInt>(data.size()));
    EXPECT_EQ(reference, crc.Value()) << size;
    EXPECT_EQ(size, out.Count());
    EXPECT_EQ(data, Bytes(target, target + size));
  }
}

TEST(CRCByteStream, PositionsGoToTheTarget) {
  unsigned char target[8] = {};
  OBufferByteStream out(target, sizeof target);
  OCRCByteStream crc(out);
  crc.CurPos(5);
  EXPECT_EQ(5u, out.CurPos());
  crc.Put('a');
  crc.CurPos(0);
  unsigned char bc[] = {'b', 'c'};
  crc.WriteBlock(bc, 2);
  EXPECT_EQ(2u, crc.CurPos());
  EXPECT_EQ(0x352441C2u, crc.Value());
  EXPECT_EQ('a', target[5]);
  EXPECT_EQ('c', target[1]);
}

Bytes Encode(Bytes const& in, bool blocks = false) {
  std::string out;
  OStringByteStream sink(out);
  ORLEByteStream rle(sink);
  if (blocks) {
    rle.WriteBlock(in.data(), in.size());
  } else {
    for (unsigned char b : in) rle.Put(b);
  }
  rle.Flush();
  return Bytes(out.begin(), out.end());
}

Bytes Decode(Bytes const& packets, std::size_t size) {
  IBufferByteStream source(packets.data(), packets.size());
  IRLEByteStream rle(source);
  Bytes out(size);
  for (std::size_t i = 0; i < size / 2; ++i) out[i] = rle.Get();
  rle.ReadBlock(out.data() + size / 2, size - size / 2);
  EXPECT_THROW(rle.Get(), eof_error);
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (Bytes const& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(RLEByteStream, EncoderWritesTheseExactPackets) {
  Bytes distinct128, distinct129;
  for (int i = 0; i < 129; ++i) (i < 128 ? distinct128 : distinct129).push_back(i);
  distinct129 = Concat({distinct128, distinct129});
  struct {
    char const* name;
    Bytes in, out;
  } const cases[] = {
      {"empty", {}, {}},
      {"one", {0x42}, {0x00, 0x42}},
      {"run of four", {0xAA, 0xAA, 0xAA, 0xAA}, {0xFD, 0xAA}},
      {"run of two", {0xAA, 0xAA}, {0xFF, 0xAA}},
      {"literal", {0x01, 0x02, 0x03}, {0x02, 0x01, 0x02, 0x03}},
      {"run then single", {0xAA, 0xAA, 0xBB}, {0xFF, 0xAA, 0x00, 0xBB}},
      // Two equal bytes inside a literal stay in it; a third ends it.
      {"pair in literal", {0x01, 0x02, 0x02}, {0x02, 0x01, 0x02, 0x02}},
      {"literal then run", {0x01, 0x02, 0x02, 0x02}, {0x00, 0x01, 0xFE, 0x02}},
      {"literal run literal", {0x01, 0x02, 0x03, 0x03, 0x03, 0x03, 0x04, 0x05},
       {0x01, 0x01, 0x02, 0xFD, 0x03, 0x01, 0x04, 0x05}},
      {"128 equal", Bytes(128, 0x07), {0x81, 0x07}},
      {"129 equal", Bytes(129, 0x07), {0x81, 0x07, 0x00, 0x07}},
      {"300 equal", Bytes(300, 0x07), {0x81, 0x07, 0x81, 0x07, 0xD5, 0x07}},
      {"128 distinct", distinct128, Concat({{0x7F}, distinct128})},
      {"129 distinct", distinct129, Concat({{0x7F}, distinct128, {0x00, 0x80}})},
  };
  for (auto const& c : cases) {
    EXPECT_EQ(c.out, Encode(c.in)) << c.name;
    EXPECT_EQ(c.out, Encode(c.in, true)) << c.name;
  }
}

TEST(RLEByteStream, WithoutFlushThePendingPacketIsLost) {
  std::string out;
  OStringByteStream sink(out);
  {
    ORLEByteStream rle(sink);
    Bytes run(131, 0x55);
    rle.WriteBlock(run.data(), run.size());
  }
  EXPECT_EQ(std::string("\x81\x55", 2), out);  // the 3 bytes after the first packet are gone
}

TEST(RLEByteStream, RoundTripsRandomDataAndRunsOfEveryLength) {
  std::mt19937 rng(7);
  for (int length = 1; length <= 300; ++length) {
    // A run of that length between literals, and the same run alone.
    Bytes run(length, static_cast<unsigned char>(length));
    Bytes mixed = Concat({Random(rng, rng() % 5), run, Random(rng, rng() % 5)});
    for (Bytes const& in : {run, mixed}) {
      Bytes packets = Encode(in);
      ASSERT_EQ(in, Decode(packets, in.size())) << length;
      EXPECT_LE(packets.size(), in.size() + (in.size() + 127) / 128) << length;
    }
  }
  for (int round = 0; round < 50; ++round) {
    // Few distinct values give runs of every kind and short repeats inside literals.
    Bytes in(rng() % 5000);
    for (auto& b : in) b = static_cast<unsigned char>(rng() % (round % 2 ? 3 : 256));
    EXPECT_EQ(in, Decode(Encode(in), in.size())) << round;
  }
}

TEST(RLEByteStream, DecoderTakesAnyPackBits) {
  // A run of two written by another encoder, no-ops anywhere, a literal of one.
  Bytes packets = {0x80, 0xFF, 0x11, 0x80, 0x80, 0x00, 0x22, 0x81, 0x33, 0x80};
  Bytes expected = Concat({{0x11, 0x11, 0x22}, Bytes(128, 0x33)});
  EXPECT_EQ(expected, Decode(packets, expected.size()));
  // The source's end passes through, also inside a packet.
  for (Bytes cut : {Bytes{0x03, 0x01}, Bytes{0xFE}, Bytes{0x80}}) {
    IBufferByteStream source(cut.data(), cut.size());
    IRLEByteStream rle(source);
    unsigned char four[4];
    EXPECT_THROW(rle.ReadBlock(four, 4), eof_error);
  }
}

TEST(RLEByteStream, PositionsAreRefused) {
  Bytes none;
  IBufferByteStream source(none.data(), 0);
  IRLEByteStream in(source);
  OCountingByteStream sink;
  ORLEByteStream out(sink);
  EXPECT_THROW(in.CurPos(0), byte_stream_exception);
  EXPECT_THROW(in.CurPos(), byte_stream_exception);
  EXPECT_THROW(out.CurPos(0), byte_stream_exception);
  EXPECT_THROW(out.CurPos(), byte_stream_exception);
  EXPECT_EQ(0u, in.Length());
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
