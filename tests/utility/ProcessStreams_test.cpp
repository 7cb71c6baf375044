// The process-wide streams: Debug in chunks to the debugger output, UTF16Out in lines to
// standard output, the narrow streams, and redirection with restore.
#include "vireo/utility/TextStreams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/platform/FdRedirect.h"
#include "vireo/platform/DebugOutput.h"
#include "vireo/utility/StreamBuffers.h"

namespace vireo {
namespace utility {
namespace {

std::vector<std::string> gChunks;

void Record(void*, char const* text, std::size_t length) { gChunks.emplace_back(text, length); }

class ProcessStreams : public ::testing::Test {
 protected:
  void SetUp() override {
    gChunks.clear();
    platform::SetDebugOutputSink(Record, nullptr);
  }
  void TearDown() override { platform::SetDebugOutputSink(nullptr, nullptr); }
};

TEST_F(ProcessStreams, DebugDeliversFullChunksThenTheRestOnFlush) {
  for (int i = 0; i < 255; ++i) streams::Debug << 'a';
  EXPECT_TRUE(gChunks.empty());
  streams::Debug << 'b';  // the 256th unit
  ASSERT_EQ(1u, gChunks.size());
  EXPECT_EQ(std::string(255, 'a'), gChunks[0]);
  for (int i = 0; i < 44; ++i) streams::Debug << 'c';
  streams::Debug.flush();
  ASSERT_EQ(2u, gChunks.size());
  EXPECT_EQ("b" + std::string(44, 'c'), gChunks[1]);
  streams::Debug.flush();
  EXPECT_EQ(2u, gChunks.size());  // empty flush calls nothing
}

TEST_F(ProcessStreams, DebugConvertsChunksToUTF8) {
  streams::Debug << "x=" << 1.5;
  streams::Debug.put(0x20AC);
  streams::Debug << std::endl;
  ASSERT_EQ(1u, gChunks.size());
  EXPECT_EQ("x=1.5\xE2\x82\xAC\n", gChunks[0]);
}

TEST_F(ProcessStreams, UTF16OutWritesEachChunkAsALine) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(nullptr, file);
  {
    testing::FdRedirect redirect(1, ::fileno(file));
    streams::UTF16Out << "first" << std::flush;
    streams::UTF16Out.put(0x00E9);
    streams::UTF16Out << 42 << std::flush;
    std::fflush(stdout);
  }
  std::rewind(file);
  char text[64] = {};
  std::size_t const n = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  EXPECT_EQ("first\n\xC3\xA9" "42\n", std::string(text, n));
}

TEST_F(ProcessStreams, NarrowStreamsAreTheStandardOnes) {
  EXPECT_EQ(&std::cin, &streams::In);
  EXPECT_EQ(&std::cout, &streams::Out);
  EXPECT_EQ(&std::clog, &streams::Log);
  EXPECT_EQ(&std::cerr, &streams::Err);
}

TEST_F(ProcessStreams, RedirectionAndRestore) {
  std::stringbuf captured;
  std::streambuf* const previous = SetStreamBuffer(streams::Out, &captured);
  EXPECT_EQ(std::cout.rdbuf(), &captured);
  streams::Out << "to the string " << 7;
  EXPECT_EQ(&captured, SetStreamBuffer(streams::Out, previous));
  EXPECT_EQ(previous, std::cout.rdbuf());
  EXPECT_EQ("to the string 7", captured.str());

  std::vector<UTF16String> chunks;
  struct Recording : debug::UTF16StreamBufferImpl<unsigned short, std::char_traits<unsigned short>> {
    std::vector<UTF16String>* chunks;
    ~Recording() override { Flush(); }
    void OutputString(unsigned short const* inChunk) override { chunks->emplace_back(inChunk); }
  } recording;
  recording.chunks = &chunks;
  UTF16StreamBuffer* const debugBuffer = SetStreamBuffer(streams::Debug, &recording);
  streams::Debug << "elsewhere" << std::flush;
  EXPECT_EQ(&recording, SetStreamBuffer(streams::Debug, debugBuffer));
  streams::Debug << "back" << std::flush;
  ASSERT_EQ(1u, chunks.size());
  EXPECT_EQ(UTF8to16(UTF8String(reinterpret_cast<unsigned char const*>("elsewhere"))), chunks[0]);
  ASSERT_EQ(1u, gChunks.size());
  EXPECT_EQ("back", gChunks[0]);
}

}  // namespace
}  // namespace utility
}  // namespace vireo
