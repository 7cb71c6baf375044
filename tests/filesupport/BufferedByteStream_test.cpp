// Buffered streams: where windows are placed and what is read again, the dirty range, and
// random sequences of seeks, reads and writes against a plain model.
#include "vireo/filesupport/BufferedByteStream.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "tests/filesupport/BufferedModel.h"
#include "vireo/filesupport/MemoryByteStreams.h"

namespace vireo {
namespace filesupport {
namespace {

using Bytes = std::vector<unsigned char>;
using Reads = std::vector<std::pair<unsigned long long, unsigned long>>;

Bytes Pattern(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(i * 13 + i / 256);
  return b;
}

// A buffer source that records each block read from it: (position, count).
struct RecordingSource : IBufferByteStream {
  Reads reads;
  unsigned long long bytesRead = 0;
  explicit RecordingSource(Bytes const& b) : IBufferByteStream(b.data(), b.size()) {}
  void ReadBlock(unsigned char* out, unsigned long n) override {
    reads.emplace_back(CurPos(), n);
    bytesRead += n;
    IBufferByteStream::ReadBlock(out, n);
  }
};

TEST(BufferedInput, WindowsStartAlignedOneUnitEarlyAndKeepWhatTheyHold) {
  Bytes data = Pattern(100);
  struct Step {
    unsigned long long position;
    unsigned long count;
    Reads expected;  // what the source is asked for
  } const steps[] = {
      {50, 1, {{44, 16}}},             // 48 aligned, one unit early, 16 bytes
      {61, 1, {{60, 12}}},             // window 56..72: 56..60 moved, 60..72 read
      {57, 2, {}},                     // held
      {30, 1, {{24, 16}}},             // nothing to keep
      {22, 4, {{16, 8}}},              // window 16..32: 24..32 moved, 16..24 read
      {3, 1, {{0, 16}}},               // start 0: no room before it
      {5, 12, {{16, 4}}},              // window 4..20: the start is not above one unit
      {97, 3, {{92, 8}}},              // the last window is cut at the length
      {0, 13, {{0, 13}}},              // 13 > 16 - 4: read directly
  };
  RecordingSource source(data);
  IBufferedByteStream in(source, 16, 4);
  for (Step const& s : steps) {
    source.reads.clear();
    in.CurPos(s.position);
    Bytes got(s.count);
    if (s.count == 1) {
      got[0] = in.Get();
    } else {
      in.ReadBlock(got.data(), s.count);
    }
    EXPECT_EQ(Bytes(data.begin() + s.position, data.begin() + s.position + s.count), got)
        << s.position;
    EXPECT_EQ(s.expected, source.reads) << s.position;
    EXPECT_EQ(s.position + s.count, in.CurPos());
  }
}

TEST(BufferedInput, ScanningEitherWayReadsEachByteOnce) {
  Bytes data = Pattern(10000);
  for (bool backwards : {false, true}) {
    RecordingSource source(data);
    IBufferedByteStream in(source, 512, 64);
    for (std::size_t i = 0; i < data.size(); ++i) {
      std::size_t at = backwards ? data.size() - 1 - i : i;
      in.CurPos(at);
      ASSERT_EQ(data[at], in.Get()) << at;
    }
    EXPECT_EQ(data.size(), source.bytesRead) << backwards;
  }
}

TEST(BufferedInput, EndAndArguments) {
  Bytes data = Pattern(10);
  IBufferByteStream source(data.data(), data.size());
  source.CurPos(4);
  IBufferedByteStream in(source, 8, 2);
  EXPECT_EQ(4u, in.CurPos());  // starts where the source is
  EXPECT_EQ(10u, in.Length());
  in.CurPos(10);
  EXPECT_THROW(in.Get(), eof_error);
  EXPECT_THROW(in.CurPos(11), eof_error);
  in.CurPos(7);
  unsigned char four[4];
  EXPECT_THROW(in.ReadBlock(four, 4), eof_error);
  EXPECT_EQ(7u, in.CurPos());
  EXPECT_THROW(IBufferedByteStream(source, 8, 0), std::invalid_argument);
  EXPECT_THROW(IBufferedByteStream(source, 8, 8), std::invalid_argument);
  std::string none;
  OStringByteStream target(none);
  EXPECT_THROW(OBufferedByteStream(target, 0, 1), std::invalid_argument);
}

// A buffer target that records each block written to it.
struct RecordingTarget : OBufferByteStream {
  Reads writes;
  RecordingTarget(unsigned char* b, std::size_t n) : OBufferByteStream(b, n) {}
  void WriteBlock(unsigned char const* data, unsigned long n) override {
    writes.emplace_back(CurPos(), n);
    OBufferByteStream::WriteBlock(data, n);
  }
};

TEST(BufferedOutput, DirtyRangesLeaveAsSingleBlocks) {
  unsigned char file[64] = {};
  RecordingTarget target(file, sizeof file);
  {
    OBufferedByteStream out(target, 8, 1);
    Bytes five = Pattern(5);
    out.WriteBlock(five.data(), 5);
    out.CurPos(2);  // inside the range: nothing written yet
    out.Put(0xEE);
    out.CurPos(5);  // its end
    out.Put(0xEF);
    EXPECT_TRUE(target.writes.empty());
    out.CurPos(20);  // elsewhere: the range leaves first
    EXPECT_EQ((Reads{{0, 6}}), target.writes);
    Bytes three = Pattern(3);
    out.WriteBlock(three.data(), 3);
    out.WriteBlock(five.data(), 5);  // fills the buffer exactly
    EXPECT_EQ((Reads{{0, 6}}), target.writes);
    out.Put(2);  // would pass the buffer's end
    EXPECT_EQ((Reads{{0, 6}, {20, 8}}), target.writes);
    Bytes big = Pattern(9);
    out.WriteBlock(big.data(), 9);  // larger than the buffer: straight through
    EXPECT_EQ((Reads{{0, 6}, {20, 8}, {28, 1}, {29, 9}}), target.writes);
    EXPECT_EQ(38u, out.CurPos());
    out.Put(1);
  }
  EXPECT_EQ((Reads{{0, 6}, {20, 8}, {28, 1}, {29, 9}, {38, 1}}), target.writes);
  EXPECT_EQ(0xEE, file[2]);
  EXPECT_EQ(0xEF, file[5]);
}

TEST(BufferedOutput, AFailedFlushKeepsTheBytes) {
  unsigned char file[4] = {};
  OBufferByteStream target(file, sizeof file);
  OBufferedByteStream out(target, 16, 1);
  Bytes six = Pattern(6);
  out.WriteBlock(six.data(), 6);
  EXPECT_THROW(out.Flush(), eof_error);
  out.CurPos(0);
  EXPECT_THROW(out.Flush(), eof_error);  // still dirty
}

// Random seeks, reads and writes through both buffered streams over a memory file.
TEST(BufferedStreams, RandomOperationsMatchTheModel) {
  std::mt19937 rng(1206);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    testing::Model model;
    Bytes file(model.bytes.size());
    OBufferByteStream target(file.data(), file.size());
    testing::WriteRandomly(target, 1 + rng() % 300, rng, model);
    ASSERT_EQ(model.bytes, file);
    IBufferByteStream source(file.data(), model.end);
    testing::ReadRandomly(source, rng, model);
  }
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
