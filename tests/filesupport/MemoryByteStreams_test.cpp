// Streams over memory and standard streams: ends, positions, counts, and a record of every
// binary type carried through each of them.
#include "vireo/filesupport/MemoryByteStreams.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/filesupport/StreamRecord.h"
#include "vireo/filesupport/StdByteStream.h"

namespace vireo {
namespace filesupport {
namespace {

using testing::ExpectRecord;
using testing::WriteRecord;

TEST(BufferByteStream, ReadsToItsEndAndNoFurther) {
  unsigned char data[] = {1, 2, 3, 4, 5};
  IBufferByteStream in(data, sizeof data);
  EXPECT_EQ(5u, in.Length());
  unsigned char block[4];
  in.ReadBlock(block, 4);
  EXPECT_EQ(4, block[3]);
  // A block that does not fit is refused whole.
  EXPECT_THROW(in.ReadBlock(block, 2), eof_error);
  EXPECT_EQ(4u, in.CurPos());
  EXPECT_EQ(5, in.Get());
  EXPECT_THROW(in.Get(), eof_error);
  in.CurPos(1000);  // accepted; reading there is not
  EXPECT_THROW(in.Get(), eof_error);
  in.CurPos(1);
  EXPECT_EQ(2, in.Get());
}

TEST(BufferByteStream, WritesToItsEndAndKeepsTheHighWaterCount) {
  unsigned char buffer[6] = {};
  OBufferByteStream out(buffer, sizeof buffer);
  EXPECT_EQ(6u, out.Length());
  out.Put(9);
  out.CurPos(4);
  EXPECT_EQ(4u, out.Count());  // positioning counts too
  unsigned char two[] = {7, 8};
  out.WriteBlock(two, 2);
  EXPECT_THROW(out.Put(1), eof_error);
  EXPECT_THROW(out.WriteBlock(two, 1), eof_error);
  out.CurPos(1);
  out.WriteBlock(two, 2);
  EXPECT_EQ(3u, out.CurPos());
  EXPECT_EQ(6u, out.Count());
  EXPECT_EQ((std::vector<unsigned char>{9, 7, 8, 0, 7, 8}),
            std::vector<unsigned char>(buffer, buffer + 6));
  OBufferByteStream tight(buffer, 3);
  unsigned char four[4] = {};
  EXPECT_THROW(tight.WriteBlock(four, 4), eof_error);
  EXPECT_EQ(0u, tight.CurPos());
  EXPECT_EQ(9, buffer[0]);  // nothing of a refused block is written
}

TEST(CountingByteStream, CountsTheHighestPositionWritten) {
  OCountingByteStream c;
  for (int i = 0; i < 5; ++i) c.Put(0);
  c.CurPos(2);
  c.Put(0);
  EXPECT_EQ(3u, c.CurPos());
  EXPECT_EQ(5u, c.Count());
  unsigned char block[10] = {};
  c.WriteBlock(block, 10);
  EXPECT_EQ(13u, c.CurPos());
  EXPECT_EQ(13u, c.Count());
  c.CurPos(100);  // a position alone writes nothing
  EXPECT_EQ(13u, c.Count());
}

TEST(ContainerByteStreams, OutputAppendsWhateverThePosition) {
  std::deque<unsigned char> d;
  std::string s;
  ODequeByteStream od(d);
  OStringByteStream os(s);
  for (OByteStream* o : std::vector<OByteStream*>{&od, &os}) {
    o->Put('a');
    o->CurPos(0);
    unsigned char bc[] = {'b', 'c'};
    o->WriteBlock(bc, 2);
    EXPECT_EQ(3u, o->CurPos());
  }
  EXPECT_EQ("abc", s);
  EXPECT_EQ("abc", std::string(d.begin(), d.end()));
}

TEST(ContainerByteStreams, InputStopsAtTheEndAndRefusesPositionsBeyondIt) {
  std::deque<unsigned char> d = {'x', 'y', 'z'};
  std::string s = "xyz";
  IDequeByteStream id(d);
  IStringByteStream is(s);
  for (IByteStream* i : std::vector<IByteStream*>{&id, &is}) {
    EXPECT_EQ(3u, i->Length());
    i->CurPos(1);
    unsigned char yz[2];
    i->ReadBlock(yz, 2);
    EXPECT_EQ('z', yz[1]);
    EXPECT_THROW(i->Get(), eof_error);
    i->CurPos(1);
    EXPECT_THROW(i->ReadBlock(yz, 3), eof_error);
    EXPECT_EQ(1u, i->CurPos());
    i->CurPos(3);  // the end itself is a position
    EXPECT_THROW(i->CurPos(4), eof_error);
    EXPECT_EQ(3u, i->CurPos());
  }
  // The streams see the container as it is now.
  d.push_back('!');
  s.push_back('!');
  EXPECT_EQ('!', id.Get());
  EXPECT_EQ('!', is.Get());
}

TEST(StdByteStream, EndIsReportedAndTheStreamCanBeReadAgain) {
  std::istringstream text("hi");
  IStdByteStream in(text);
  EXPECT_EQ(2u, in.Length());
  EXPECT_EQ('h', in.Get());
  EXPECT_EQ(2u, in.Length());
  EXPECT_EQ(1u, in.CurPos());  // Length leaves the position where it was
  EXPECT_EQ('i', in.Get());
  EXPECT_THROW(in.Get(), eof_error);
  EXPECT_EQ(2u, in.Length());  // also after the end was met
  in.CurPos(0);
  unsigned char both[2];
  in.ReadBlock(both, 2);
  EXPECT_EQ('i', both[1]);
  in.CurPos(1);
  EXPECT_THROW(in.ReadBlock(both, 2), eof_error);
}

// A stream that cannot seek, like a pipe.
struct PipeBuffer : std::streambuf {
  explicit PipeBuffer(std::string& s) { setg(&s[0], &s[0], &s[0] + s.size()); }
};

TEST(StdByteStream, AStreamThatCannotSeekHasNoLengthAndCopiesToItsEnd) {
  std::string data(1000, 'p');
  PipeBuffer pipe(data);
  std::istream stream(&pipe);
  IStdByteStream in(stream);
  EXPECT_EQ(0u, in.Length());
  EXPECT_THROW(in.CurPos(), io_error);
  EXPECT_THROW(in.CurPos(0), io_error);  // and the stream reads on
  std::string copy;
  OStringByteStream out(copy);
  out << in;  // ends at the stream's end
  EXPECT_EQ(data, copy);
}

TEST(StdByteStream, FailuresOfTheStreamAreIoErrors) {
  std::ostringstream sink;
  sink.setstate(std::ios::badbit);
  OStdByteStream out(sink);
  EXPECT_THROW(out.Put(1), io_error);
  unsigned char b[1] = {};
  EXPECT_THROW(out.WriteBlock(b, 1), io_error);
  std::istringstream source("abc");
  source.setstate(std::ios::badbit);
  IStdByteStream in(source);
  EXPECT_THROW(in.Get(), io_error);
  EXPECT_EQ(0u, in.Length());  // cannot seek: no known length
}

// A medium that a record is written to and then read from.
struct Medium {
  char const* name;
  bool positionable;  // honours CurPos on output
  std::function<std::unique_ptr<OByteStream>()> makeOutput;
  std::function<std::unique_ptr<IByteStream>()> makeInput;
};

TEST(ByteStreamRoundTrip, EveryTypeThroughEveryMemoryStream) {
  unsigned char buffer[4096];
  std::deque<unsigned char> deque;
  std::string string;
  std::stringstream std;
  std::vector<Medium> media = {
      {"buffer", true, [&] { return std::make_unique<OBufferByteStream>(buffer, sizeof buffer); },
       [&] { return std::make_unique<IBufferByteStream>(buffer, sizeof buffer); }},
      {"deque", false, [&] { return std::make_unique<ODequeByteStream>(deque); },
       [&] { return std::make_unique<IDequeByteStream>(deque); }},
      {"string", false, [&] { return std::make_unique<OStringByteStream>(string); },
       [&] { return std::make_unique<IStringByteStream>(string); }},
      {"std", true, [&] { return std::make_unique<OStdByteStream>(std); },
       [&] { return std::make_unique<IStdByteStream>(std); }},
  };
  for (Medium const& m : media) {
    SCOPED_TRACE(m.name);
    unsigned long long end = 0;
    {
      std::unique_ptr<OByteStream> out = m.makeOutput();
      end = WriteRecord(*out, m.positionable);
    }
    std::unique_ptr<IByteStream> in = m.makeInput();
    ExpectRecord(*in);
    EXPECT_EQ(end, in->CurPos());
  }
  // Written in order or patched through positions, the bytes are the same, so any of these
  // inputs reads what any of the outputs wrote.
  EXPECT_EQ(string, std::string(deque.begin(), deque.end()));
  EXPECT_EQ(string, std.str());
  EXPECT_EQ(string, std::string(buffer, buffer + string.size()));
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
