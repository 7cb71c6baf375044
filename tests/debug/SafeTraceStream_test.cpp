// The allocation-free trace stream: pieces of at most 511 units, text and numbers.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "vireo/debug/Trace.h"
#include "vireo/platform/DebugOutput.h"

namespace vireo {
namespace debug {
namespace {

// Collects each piece sent to the debugger output.
class DebugOutputRecorder {
 public:
  DebugOutputRecorder() { platform::SetDebugOutputSink(&Sink, this); }
  ~DebugOutputRecorder() { platform::SetDebugOutputSink(nullptr, nullptr); }
  std::vector<std::string> pieces;

 private:
  static void Sink(void* context, char const* text, std::size_t length) {
    static_cast<DebugOutputRecorder*>(context)->pieces.emplace_back(text, length);
  }
};

TEST(SafeTraceStream, SendsPiecesOf511Units) {
  struct Case {
    std::size_t length;
    std::vector<std::size_t> pieces;
  };
  Case const cases[] = {
      {0, {}},
      {1, {1}},
      {510, {510}},
      {511, {511}},
      {512, {511, 1}},
      {600, {511, 89}},
      {1022, {511, 511}},
      {1023, {511, 511, 1}},
  };
  for (auto const& c : cases) {
    DebugOutputRecorder recorder;
    std::string text;
    for (std::size_t i = 0; i < c.length; ++i) text += static_cast<char>('a' + i % 26);
    {
      SafeTraceStream stream;
      stream << text.c_str();
    }
    std::vector<std::size_t> sizes;
    std::string joined;
    for (auto const& p : recorder.pieces) {
      sizes.push_back(p.size());
      joined += p;
    }
    EXPECT_EQ(sizes, c.pieces) << c.length;
    EXPECT_EQ(joined, text) << c.length;
  }
}

TEST(SafeTraceStream, PiecesFollowAppendsAcrossCalls) {
  DebugOutputRecorder recorder;
  {
    SafeTraceStream stream;
    std::string const chunk(100, 'x');
    for (int i = 0; i < 6; ++i) stream << chunk.c_str();
    EXPECT_EQ(recorder.pieces.size(), 1u) << "the first piece leaves when the 512th unit comes";
  }
  ASSERT_EQ(recorder.pieces.size(), 2u);
  EXPECT_EQ(recorder.pieces[0], std::string(511, 'x'));
  EXPECT_EQ(recorder.pieces[1], std::string(89, 'x'));
}

TEST(SafeTraceStream, FormatsNumbersInDecimal) {
  DebugOutputRecorder recorder;
  {
    SafeTraceStream stream;
    stream << 0 << " " << -17 << " " << INT_MIN << " " << 42L << " " << LONG_MIN << " " << 7u
           << " " << ULONG_MAX << " " << LLONG_MIN << " " << ULLONG_MAX;
  }
  ASSERT_EQ(recorder.pieces.size(), 1u);
  EXPECT_EQ(recorder.pieces[0],
            "0 -17 -2147483648 42 -9223372036854775808 7 18446744073709551615 "
            "-9223372036854775808 18446744073709551615");
}

TEST(SafeTraceStream, SendsUTF16AsUTF8) {
  struct Case {
    std::vector<unsigned short> units;
    std::string utf8;
  };
  std::vector<Case> const cases = {
      {{'a', 0xE9}, "a\xC3\xA9"},
      {{0x20AC}, "\xE2\x82\xAC"},
      {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
      {{0xD83D, 'x'}, "\xEF\xBF\xBDx"},  // a lone half becomes U+FFFD
      {{0xDE00}, "\xEF\xBF\xBD"},
  };
  for (auto const& c : cases) {
    DebugOutputRecorder recorder;
    std::vector<unsigned short> text = c.units;
    text.push_back(0);
    {
      SafeTraceStream stream;
      stream << text.data();
    }
    ASSERT_EQ(recorder.pieces.size(), 1u);
    EXPECT_EQ(recorder.pieces[0], c.utf8);
  }
}

TEST(SafeTraceStream, BytesAboveAsciiAreLatin1AndNullAppendsNothing) {
  DebugOutputRecorder recorder;
  {
    SafeTraceStream stream;
    stream << static_cast<char const*>(nullptr) << "\xE9!"
           << static_cast<unsigned short const*>(nullptr);
  }
  ASSERT_EQ(recorder.pieces.size(), 1u);
  EXPECT_EQ(recorder.pieces[0], "\xC3\xA9!");
}

}  // namespace
}  // namespace debug
}  // namespace vireo
