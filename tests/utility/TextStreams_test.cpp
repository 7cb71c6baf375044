// Streams over the library's strings: numbers, booleans and words through the unit facets,
// redirection of a stream, and the chunking of the buffered UTF-16 output.
#include "vireo/utility/TextStreams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "vireo/utility/StreamBuffers.h"

namespace vireo {
namespace {

using utility::UTF16String;
using utility::UTF8String;

UTF16String W(char const* ascii) {
  UTF16String s;
  for (; *ascii; ++ascii) s.push_back(static_cast<unsigned char>(*ascii));
  return s;
}

UTF8String B(char const* text) { return UTF8String(reinterpret_cast<unsigned char const*>(text)); }

// Writes v through both string streams, checks the text against the narrow stream's, and
// reads it back.
template <class T>
void RoundTrip(T v) {
  std::ostringstream narrow;
  narrow << std::setprecision(std::numeric_limits<T>::max_digits10) << v;
  oUTF16StringStream out16;
  out16 << std::setprecision(std::numeric_limits<T>::max_digits10) << v;
  oUTF8StringStream out8;
  out8 << std::setprecision(std::numeric_limits<T>::max_digits10) << v;
  EXPECT_EQ(W(narrow.str().c_str()), out16.str()) << narrow.str();
  EXPECT_EQ(B(narrow.str().c_str()), out8.str()) << narrow.str();

  T back16 = T(), back8 = T();
  iUTF16StringStream in16(out16.str());
  iUTF8StringStream in8(out8.str());
  EXPECT_TRUE(in16 >> back16) << narrow.str();
  EXPECT_TRUE(in8 >> back8) << narrow.str();
  EXPECT_EQ(v, back16) << narrow.str();
  EXPECT_EQ(v, back8) << narrow.str();
}

template <class T>
void RoundTripLimits() {
  RoundTrip<T>(std::numeric_limits<T>::min());
  RoundTrip<T>(std::numeric_limits<T>::max());
  RoundTrip<T>(std::numeric_limits<T>::lowest());
  RoundTrip<T>(T(0));
  RoundTrip<T>(T(42));
}

TEST(TextStreams, EveryArithmeticTypeRoundTrips) {
  RoundTripLimits<short>();
  RoundTripLimits<unsigned short>();  // a number on the UTF-16 stream, not a unit
  RoundTripLimits<int>();
  RoundTripLimits<unsigned int>();
  RoundTripLimits<long>();
  RoundTripLimits<unsigned long>();
  RoundTripLimits<long long>();
  RoundTripLimits<unsigned long long>();
  RoundTripLimits<float>();
  RoundTripLimits<double>();
  RoundTripLimits<long double>();
  RoundTrip(-1.5e-300);
  RoundTrip(0.1f);
  RoundTrip(std::numeric_limits<double>::denorm_min());
  RoundTrip(-7);
}

TEST(TextStreams, ReadsWhiteSpaceSeparatedNumbers) {
  iUTF16StringStream in(W("12 34"));
  int a = 0, b = 0;
  in >> a >> b;
  EXPECT_EQ(12, a);
  EXPECT_EQ(34, b);

  iUTF16StringStream mixed(W(" \t\n-5\r\f\v2.25e1 0x1F"));
  long n = 0;
  double d = 0;
  mixed >> n >> d;
  EXPECT_EQ(-5, n);
  EXPECT_EQ(22.5, d);
  int hex = 0;
  EXPECT_TRUE(mixed >> std::hex >> hex);
  EXPECT_EQ(0x1F, hex);

  // A non-ASCII space is no white space in the classic rules: extraction fails there.
  unsigned short const nbsp[] = {0x00A0, u'7', 0};
  iUTF16StringStream other(nbsp);
  int seven = -1;
  EXPECT_FALSE(other >> seven);
  EXPECT_EQ(0, seven);
}

TEST(TextStreams, WritesNumbersInTheClassicForm) {
  oUTF8StringStream half;
  half << 0.5;
  EXPECT_EQ(B("0.5"), half.str());

  oUTF16StringStream out;
  out << 1234567 << ' ' << std::hex << std::uppercase << 255 << std::dec << ' ' << std::fixed
      << std::setprecision(3) << 2.0 << ' ' << std::setw(6) << std::setfill<unsigned short>(u'*') << -12 << ' '
      << std::showpos << 5 << std::noshowpos << ' ' << std::scientific << 1e-10;
  EXPECT_EQ(W("1234567 FF 2.000 ***-12 +5 1.000E-10"), out.str());
}

TEST(TextStreams, BooleansAsNumbersAndAsNames) {
  oUTF16StringStream out;
  out << true << false << ' ' << std::boolalpha << true << ' ' << false;
  EXPECT_EQ(W("10 true false"), out.str());

  iUTF16StringStream in(W("1 0 true false maybe"));
  bool a = false, b = true, c = false, d = true, e = true;
  in >> a >> b >> std::boolalpha >> c >> d;
  EXPECT_TRUE(a);
  EXPECT_FALSE(b);
  EXPECT_TRUE(c);
  EXPECT_FALSE(d);
  EXPECT_FALSE(in >> e);
  EXPECT_FALSE(e);

  iUTF8StringStream in8(B("false"));
  bool f = true;
  EXPECT_TRUE(in8 >> std::boolalpha >> f);
  EXPECT_FALSE(f);
}

TEST(TextStreams, TextAndWords) {
  oUTF16StringStream out;
  out << "narrow " << W("wide") << ' ' << 'x' << u'\u20AC' << u" \u00E9t\u00E9 ";
  out << static_cast<unsigned short>(65);  // a number, as on any stream
  out << std::setw(3) << 'y' << std::setw(3) << u'z';
  UTF16String const euro = {0x20AC, u' ', 0xE9, u't', 0xE9, u' '};
  EXPECT_EQ(W("narrow wide x") + euro + W("65  y  z"), out.str());
  out << static_cast<char16_t const*>(nullptr);
  EXPECT_TRUE(out.bad());

  unsigned short const text[] = {u'a', 0x00E9, u' ', u' ', 0x4E2D, u'b', 0};
  iUTF16StringStream in(text);
  UTF16String first, second;
  in >> first >> second;
  EXPECT_EQ((UTF16String{u'a', 0x00E9}), first);
  EXPECT_EQ((UTF16String{0x4E2D, u'b'}), second);

  // 8-bit units are characters on the UTF-8 streams, bytes kept as they are.
  oUTF8StringStream out8;
  out8 << static_cast<unsigned char>(0xC3) << static_cast<unsigned char>(0xA9) << "x" << 7;
  EXPECT_EQ(B("\xC3\xA9x7"), out8.str());
}

TEST(TextStreams, FailedExtractionGivesZeroAndFailBit) {
  iUTF16StringStream in(W("abc"));
  double d = 3;
  EXPECT_FALSE(in >> d);
  EXPECT_EQ(0.0, d);
  iUTF8StringStream big(B("1e999"));
  EXPECT_FALSE(big >> d);
  EXPECT_EQ(std::numeric_limits<double>::max(), d);
  iUTF16StringStream empty(static_cast<unsigned short const*>(nullptr));
  int n = 1;
  EXPECT_FALSE(empty >> n);
  iUTF8StringStream empty8(static_cast<unsigned char const*>(nullptr));
  EXPECT_FALSE(empty8 >> n);
}

TEST(TextStreams, CallerMayImbueAnotherLocaleWithTheFacets) {
  struct Comma : std::numpunct<unsigned short> {
    unsigned short do_decimal_point() const override { return u','; }
  };
  oUTF16StringStream out;
  out.imbue(std::locale(TextLocale(), new Comma));
  out << 1.5;
  EXPECT_EQ(W("1,5"), out.str());
}

TEST(SetStreamBuffer, RedirectsResetsAndRestoresANarrowStream) {
  std::stringbuf first, second;
  std::ostream stream(&first);
  stream << std::hex << std::setfill('#') << std::setw(4) << 255;
  stream.setstate(std::ios::failbit);
  EXPECT_EQ(&first, utility::SetStreamBuffer(stream, &second));
  EXPECT_TRUE(stream.good());
  EXPECT_EQ(' ', stream.fill());
  EXPECT_EQ(std::ios::skipws | std::ios::dec, stream.flags());
  EXPECT_EQ(6, stream.precision());
  stream << 255;
  EXPECT_EQ(&second, utility::SetStreamBuffer(stream, &first));
  stream << "!";
  EXPECT_EQ("##ff!", first.str());
  EXPECT_EQ("255", second.str());
}

// Records every chunk it is given.
class RecordingBuffer
    : public debug::UTF16StreamBufferImpl<unsigned short, std::char_traits<unsigned short>> {
 public:
  ~RecordingBuffer() override { Flush(); }
  std::vector<UTF16String>* chunks = nullptr;

 protected:
  void OutputString(unsigned short const* inChunk) override { chunks->push_back(UTF16String(inChunk)); }
};

TEST(SetStreamBuffer, RedirectsAUTF16StreamAndKeepsItsFacets) {
  std::vector<UTF16String> a, b;
  RecordingBuffer first, second;
  first.chunks = &a;
  second.chunks = &b;
  UTF16OutputStream stream(&first);
  stream << std::hex << 255 << std::flush;
  EXPECT_EQ(&first, utility::SetStreamBuffer(stream, &second));
  stream << 255 << ' ' << 1.5 << std::flush;  // decimal again, numbers still work
  EXPECT_EQ(&second, utility::SetStreamBuffer(stream, &first));
  ASSERT_EQ(1u, a.size());
  EXPECT_EQ(W("ff"), a[0]);
  ASSERT_EQ(1u, b.size());
  EXPECT_EQ(W("255 1.5"), b[0]);

  UTF16OutputStream unready;  // no buffer: bad until it gets one
  EXPECT_TRUE(unready.bad());
  EXPECT_EQ(nullptr, utility::SetStreamBuffer(unready, &second));
  unready << 7 << std::flush;
  EXPECT_TRUE(unready.good());
  EXPECT_EQ(W("7"), b.back());
}

TEST(UTF16StreamBuffer, DeliversChunksOfAtMost255Units) {
  std::vector<UTF16String> chunks;
  RecordingBuffer buffer;
  buffer.chunks = &chunks;
  UTF16OutputStream stream(&buffer);
  for (int i = 0; i < 255; ++i) stream.put(static_cast<unsigned short>(u'a' + i % 26));
  EXPECT_TRUE(chunks.empty());  // full, but nothing more arrived yet
  for (int i = 0; i < 45; ++i) stream.put(u'z');
  ASSERT_EQ(1u, chunks.size());  // the 256th unit pushed the first 255 out
  EXPECT_EQ(255u, chunks[0].size());
  EXPECT_EQ(u'a', chunks[0][0]);
  EXPECT_EQ(u'u', chunks[0][254]);
  stream.flush();
  ASSERT_EQ(2u, chunks.size());
  EXPECT_EQ(UTF16String(45, u'z'), chunks[1]);
  stream.flush();  // empty: nothing is called
  EXPECT_EQ(2u, chunks.size());
  stream << "tail";  // handed over when the buffer is destroyed
  EXPECT_EQ(2u, chunks.size());
}

TEST(UTF16StreamBuffer, DestructionFlushesWhatIsLeft) {
  std::vector<UTF16String> chunks;
  {
    RecordingBuffer buffer;
    buffer.chunks = &chunks;
    UTF16OutputStream stream(&buffer);
    stream << "tail";
  }
  ASSERT_EQ(1u, chunks.size());
  EXPECT_EQ(W("tail"), chunks[0]);
}

}  // namespace
}  // namespace vireo
