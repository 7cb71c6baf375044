// The binary format: exact bytes of each type, reading back, floating values, the stream copy
// and the per-stream storage of the base class.
#include "vireo/filesupport/ByteStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <locale>
#include <string>
#include <vector>

#include "vireo/filesupport/MemoryByteStreams.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Written(std::function<void(OByteStream&)> const& write) {
  std::string out;
  OStringByteStream s(out);
  write(s);
  return Bytes(out.begin(), out.end());
}

struct Golden {
  char const* name;
  std::function<void(OByteStream&)> write;
  Bytes bytes;
  // Reads the value back from the bytes and says whether it is the one written.
  std::function<bool(IByteStream&)> readsBack;
};

template <typename T>
Golden Case(char const* name, T value, Bytes bytes, T expected) {
  return Golden{name, [value](OByteStream& s) { s << value; }, bytes,
                [expected](IByteStream& s) {
                  T v{};
                  s >> v;
                  return v == expected;
                }};
}

template <typename T>
Golden Case(char const* name, T value, Bytes bytes) {
  return Case(name, value, bytes, value);
}

TEST(ByteStreamFormat, EachTypeWritesItsBigEndianBytesAndReadsBack) {
  utility::UTF16String he;
  he.push_back('h');
  he.push_back(0xE9);
  he.push_back(0xD83D);
  std::vector<Golden> cases = {
      Case("bool true", true, {0x01}),
      Case("bool false", false, {0x00}),
      Case("char", 'A', {0x41}),
      Case("signed char", static_cast<signed char>(-1), {0xFF}),
      Case("unsigned char", static_cast<unsigned char>(0x80), {0x80}),
      // Big-endian: the most significant byte comes first.
      Case("short -2", static_cast<short>(-2), {0xFF, 0xFE}),
      Case("short", static_cast<short>(0x1234), {0x12, 0x34}),
      Case("unsigned short", static_cast<unsigned short>(0xBEEF), {0xBE, 0xEF}),
      Case("unsigned long", 0x01020304ul, {0x01, 0x02, 0x03, 0x04}),
      Case("unsigned long max 32", 0xFFFFFFFFul, {0xFF, 0xFF, 0xFF, 0xFF}),
      Case("long -2", -2l, {0xFF, 0xFF, 0xFF, 0xFE}),
      Case("long min 32", -2147483647l - 1, {0x80, 0x00, 0x00, 0x00}),
      // Four bytes whatever the width of long: the high bits are dropped.
      Case("long beyond 32 bits", 0x123456789l, {0x23, 0x45, 0x67, 0x89}, 0x23456789l),
      Case("unsigned long beyond 32 bits", 0x1FFFFFFFEul, {0xFF, 0xFF, 0xFF, 0xFE}, 0xFFFFFFFEul),
      Case("long long", -2ll, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}),
      Case("unsigned long long", 0x0102030405060708ull,
           {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}),
      Case("string", std::string("abc"), {0x00, 0x03, 0x61, 0x62, 0x63}),
      Case("empty string", std::string(), {0x00, 0x00}),
      Case("string with NUL", std::string("a\0b", 3), {0x00, 0x03, 0x61, 0x00, 0x62}),
      Case("UTF-16", he, {0x00, 0x03, 0x00, 0x68, 0x00, 0xE9, 0xD8, 0x3D}),
      Case("double 0.1", 0.1,
           [] {
             std::string text = "0.100000000000000005551115123125782702";
             Bytes b = {0x00, static_cast<unsigned char>(text.size())};
             b.insert(b.end(), text.begin(), text.end());
             return b;
           }()),
  };
  for (Golden const& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.bytes, Written(c.write));
    IBufferByteStream in(c.bytes.data(), c.bytes.size());
    EXPECT_TRUE(c.readsBack(in));
    EXPECT_EQ(c.bytes.size(), in.CurPos());
  }
}

TEST(ByteStreamFormat, ReadingIsLenientWhereTheFormatAllows) {
  Bytes bytes = {0x02, 0x80, 0x00, 0x00, 0x01};
  IBufferByteStream in(bytes.data(), bytes.size());
  bool b = false;
  long l = 0;
  in >> b >> l;
  EXPECT_TRUE(b);  // any non-zero byte
  EXPECT_EQ(-2147483647l, l);
}

TEST(ByteStreamFormat, ReadingAStringReplacesItsContent) {
  Bytes bytes = {0x00, 0x01, 'x', 0x00, 0x01, 0x00, 'y'};
  IBufferByteStream in(bytes.data(), bytes.size());
  std::string s = "previous";
  utility::UTF16String u(5, 'q');
  in >> s >> u;
  EXPECT_EQ("x", s);
  ASSERT_EQ(1u, u.size());
  EXPECT_EQ('y', u[0]);
}

TEST(ByteStreamFormat, LongStringsCarryTheirLengthModulo65536) {
  std::string big(70000, 'z');
  Bytes out = Written([&](OByteStream& s) { s << big; });
  ASSERT_EQ(2u + 70000u, out.size());
  EXPECT_EQ(70000 % 65536, out[0] * 256 + out[1]);
  utility::UTF16String units(65536 + 3, 'u');
  Bytes out16 = Written([&](OByteStream& s) { s << units; });
  ASSERT_EQ(2u + 2 * units.size(), out16.size());
  EXPECT_EQ(3, out16[0] * 256 + out16[1]);
}

TEST(ByteStreamFormat, FloatingValuesReadBackExactly) {
  std::vector<double> doubles = {0.1,
                                 -0.0,
                                 1.0 / 3,
                                 6.02214076e23,
                                 std::numeric_limits<double>::max(),
                                 std::numeric_limits<double>::min(),
                                 std::numeric_limits<double>::denorm_min(),
                                 std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity()};
  for (double d : doubles) {
    std::string out;
    OStringByteStream o(out);
    o << d << static_cast<float>(d) << static_cast<long double>(d) / 3;
    IStringByteStream i(out);
    double rd = 0;
    float rf = 0;
    long double rl = 0;
    i >> rd >> rf >> rl;
    EXPECT_EQ(d, rd) << d;
    EXPECT_EQ(std::signbit(d), std::signbit(rd)) << d;
    EXPECT_EQ(static_cast<float>(d), rf) << d;
    // The long double keeps its extra bits: it is not rounded through double.
    EXPECT_EQ(static_cast<long double>(d) / 3, rl) << d;
    EXPECT_EQ(out.size(), i.CurPos());
  }
  std::string out;
  OStringByteStream o(out);
  o << std::numeric_limits<double>::quiet_NaN();
  IStringByteStream i(out);
  double nan = 0;
  i >> nan;
  EXPECT_TRUE(std::isnan(nan));
}

// A locale whose decimal point is a comma, as a client's global locale may be.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(ByteStreamFormat, FloatingTextIgnoresTheGlobalLocale) {
  std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  std::string out;
  OStringByteStream o(out);
  o << 2.5;
  IStringByteStream i(out);
  double d = 0;
  i >> d;
  std::locale::global(previous);
  EXPECT_EQ(std::string("\x00\x03" "2.5", 5), out);
  EXPECT_EQ(2.5, d);
}

TEST(ByteStreamFormat, NonNumericFloatingTextIsRefused) {
  for (std::string text : {"", "abc", "1.5x", "--1"}) {
    std::string out;
    OStringByteStream o(out);
    o << text;
    IStringByteStream i(out);
    double d = 0;
    EXPECT_THROW(i >> d, byte_stream_exception) << text;
  }
}

TEST(ByteStreamFormat, ReadingPastTheEndThrowsEof) {
  Bytes three = {0x00, 0x05, 'a'};
  std::vector<std::function<void(IByteStream&)>> reads = {
      [](IByteStream& s) { long v; s >> v >> v; },
      [](IByteStream& s) { std::string v; s >> v; },
      [](IByteStream& s) { utility::UTF16String v; s >> v; },
      [](IByteStream& s) { double v; s >> v; },
  };
  for (auto const& read : reads) {
    IBufferByteStream in(three.data(), three.size());
    EXPECT_THROW(read(in), eof_error);
  }
}

// A source without a known length that ends with the given exception.
struct EndingSource : IByteStream {
  std::string data;
  std::size_t at = 0;
  bool failHard = false;
  unsigned char Get() override {
    if (at < data.size()) return static_cast<unsigned char>(data[at++]);
    if (failHard) throw io_error();
    throw eof_error();
  }
  void CurPos(unsigned long long p) override { at = p; }
  unsigned long long CurPos() const override { return at; }
};

TEST(ByteStreamCopy, CopiesTheSourceWhetherItsLengthIsKnownOrNot) {
  std::string data;
  for (int i = 0; i < 40000; ++i) data.push_back(static_cast<char>(i * 7));
  {
    IStringByteStream in(data);
    std::string copy;
    OStringByteStream out(copy);
    out << in;
    EXPECT_EQ(data, copy);
    EXPECT_EQ(data.size(), in.CurPos());
  }
  {
    EndingSource in;
    in.data = data;
    std::string copy;
    OStringByteStream out(copy);
    out << in;
    EXPECT_EQ(data, copy);
  }
  {
    // A failure is not an end: it reaches the caller after what was read.
    EndingSource in;
    in.data = "xyz";
    in.failHard = true;
    std::string copy;
    OStringByteStream out(copy);
    EXPECT_THROW(out << in, io_error);
    EXPECT_EQ("xyz", copy);
  }
}

std::vector<std::string> gEvents;

void Record(ByteStream_base::event e, ByteStream_base& s, int index) {
  gEvents.push_back(std::to_string(e) + ":" + std::to_string(index) + ":" +
                    std::to_string(s.iword(index)));
}

TEST(ByteStreamBase, SlotsStartAtZeroGrowAndStayPerStream) {
  int a = ByteStream_base::xalloc();
  int b = ByteStream_base::xalloc();
  EXPECT_EQ(a + 1, b);
  OCountingByteStream one, two;
  EXPECT_EQ(0, one.iword(b + 40));
  EXPECT_EQ(nullptr, one.pword(b + 40));
  one.iword(a) = 7;
  one.pword(b) = &two;
  one.iword(b + 100) = -3;  // growing keeps what was stored
  EXPECT_EQ(7, one.iword(a));
  EXPECT_EQ(&two, one.pword(b));
  EXPECT_EQ(-3, one.iword(b + 100));
  EXPECT_EQ(0, two.iword(a));
  EXPECT_EQ(nullptr, two.pword(b));
  EXPECT_THROW(one.iword(-1), std::out_of_range);
  EXPECT_THROW(one.pword(-1), std::out_of_range);
}

TEST(ByteStreamBase, DestructionCallsEveryCallbackWithEventZero) {
  gEvents.clear();
  {
    OCountingByteStream s;
    s.iword(1) = 11;
    s.iword(2) = 22;
    s.register_callback(Record, 1);
    s.register_callback(Record, 2);
    EXPECT_TRUE(gEvents.empty());
  }
  EXPECT_EQ((std::vector<std::string>{"0:2:22", "0:1:11"}), gEvents);
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
