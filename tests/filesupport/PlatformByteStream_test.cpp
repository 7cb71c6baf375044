// File streams: every binary type through the buffered streams on a file, opening and end
// failures, positions beyond 4 GiB, random operations against a model.
#include "vireo/filesupport/PlatformByteStream.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "tests/filesupport/BufferedModel.h"
#include "tests/filesupport/StreamRecord.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/filesupport/BufferedByteStream.h"
#include "vireo/filesupport/FileExceptions.h"

namespace vireo {
namespace filesupport {
namespace {

class PlatformByteStreamTest : public ::testing::Test {
 protected:
  File At(std::string const& name) const {
    return File(utility::AsciiToUTF16((directory_.Path() + "/" + name).c_str()));
  }
  File Created(std::string const& name) const {
    File f = At(name);
    f.Create();
    return f;
  }
  std::string Contents(std::string const& name) const {
    std::ifstream in(directory_.Path() + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  vireo::testing::TemporaryDirectory directory_;
};

TEST_F(PlatformByteStreamTest, RecordRoundTripsDirectlyAndThroughBuffers) {
  for (unsigned long bufferSize : {0ul, 7ul, 32768ul}) {
    SCOPED_TRACE(bufferSize);
    File file = Created("record" + std::to_string(bufferSize));
    unsigned long long end = 0;
    {
      OPlatformByteStream out(file);
      if (bufferSize == 0) {
        end = testing::WriteRecord(out, true);
      } else {
        OBufferedByteStream buffered(out, bufferSize, 1);
        end = testing::WriteRecord(buffered, true);
      }
      EXPECT_EQ(end, out.Length());
    }
    IPlatformByteStream in(file);
    EXPECT_EQ(end, in.Length());
    if (bufferSize == 0) {
      testing::ExpectRecord(in);
      EXPECT_EQ(end, in.CurPos());
    } else {
      IBufferedByteStream buffered(in, bufferSize, bufferSize / 2);
      testing::ExpectRecord(buffered);
      EXPECT_EQ(end, buffered.CurPos());
    }
  }
}

TEST_F(PlatformByteStreamTest, EndOfFile) {
  File file = Created("abc");
  {
    OPlatformByteStream out(file);
    unsigned char abc[] = {'a', 'b', 'c'};
    out.WriteBlock(abc, 3);
  }
  IPlatformByteStream in(file);
  unsigned char block[4];
  EXPECT_THROW(in.ReadBlock(block, 4), eof_error);  // fewer bytes than asked
  in.CurPos(2);
  EXPECT_EQ('c', in.Get());
  EXPECT_THROW(in.Get(), eof_error);
  in.CurPos(100);
  EXPECT_THROW(in.Get(), eof_error);
}

TEST_F(PlatformByteStreamTest, WritingReplacesInPlaceAndLeavesGapsOfZeros) {
  File file = At("gap");
  {
    std::ofstream seed(directory_.Path() + "/gap", std::ios::binary);
    seed << "0123456789";
  }
  {
    OPlatformByteStream out(file);
    EXPECT_EQ(10u, out.Length());
    out.CurPos(2);
    out.Put('x');
    out.CurPos(12);
    out.Put('y');
    EXPECT_EQ(13u, out.CurPos());
  }
  EXPECT_EQ(std::string("01x3456789\0\0y", 13), Contents("gap"));
}

TEST_F(PlatformByteStreamTest, OpeningFailures) {
  // Missing file or folder: the file is named in the exception.
  for (std::string name : {"missing", "no-folder/missing"}) {
    File file = At(name);
    try {
      IPlatformByteStream in(file);
      ADD_FAILURE() << name;
    } catch (file_not_found_exception const& e) {
      EXPECT_TRUE(e.GetFile().FullPath() == file.FullPath()) << name;
    }
    EXPECT_THROW(OPlatformByteStream out(file), file_not_found_exception) << name;
  }
  // A folder is not a file.
  File folder(utility::AsciiToUTF16(directory_.Path().c_str()));
  EXPECT_THROW(IPlatformByteStream in(folder), io_error);
  // Readers share with readers only; a writer shares with no one.
  File file = Created("shared");
  {
    IPlatformByteStream first(file);
    IPlatformByteStream second(file);
    EXPECT_THROW(OPlatformByteStream writer(file), io_error);
  }
  OPlatformByteStream writer(file);
  EXPECT_THROW(IPlatformByteStream reader(file), io_error);
  EXPECT_THROW(OPlatformByteStream other(file), io_error);
}

TEST_F(PlatformByteStreamTest, PositionsAndLengthsBeyondFourGigabytes) {
  unsigned long long const far = (5ull << 30) + 3;
  File file = Created("large");
  {
    OPlatformByteStream out(file);
    OBufferedByteStream buffered(out, 32768, 1);
    buffered.CurPos(far);  // the gap stays sparse
    buffered << std::string("xyz");
    buffered.Flush();
    EXPECT_EQ(far + 5, out.Length());
    EXPECT_EQ(far + 5, buffered.CurPos());
  }
  IPlatformByteStream in(file);
  EXPECT_EQ(far + 5, in.Length());
  in.CurPos(far + 2);
  EXPECT_EQ('x', in.Get());
  EXPECT_EQ(far + 3, in.CurPos());
  IBufferedByteStream buffered(in, 4096, 512);
  EXPECT_EQ(far + 5, buffered.Length());
  buffered.CurPos(far);
  std::string text;
  buffered >> text;
  EXPECT_EQ("xyz", text);
  buffered.CurPos(4ull << 30);
  EXPECT_EQ(0, buffered.Get());
  buffered.CurPos(far + 5);
  EXPECT_THROW(buffered.Get(), eof_error);
}

TEST_F(PlatformByteStreamTest, RandomOperationsMatchTheModel) {
  std::mt19937 rng(2026);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    File file = Created("model" + std::to_string(round));
    testing::Model model;
    {
      OPlatformByteStream out(file);
      testing::WriteRandomly(out, 1 + rng() % 300, rng, model);
    }
    std::string contents = Contents("model" + std::to_string(round));
    ASSERT_EQ(std::string(model.bytes.begin(), model.bytes.begin() + model.end), contents);
    IPlatformByteStream in(file);
    testing::ReadRandomly(in, rng, model);
  }
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
