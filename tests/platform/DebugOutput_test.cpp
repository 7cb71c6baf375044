// Debugger output: the replaceable sink and the standard-error default.
#include "vireo/platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/FdRedirect.h"

namespace vireo {
namespace platform {
namespace {

struct Capture {
  std::string text;
  int calls = 0;
  void* lastContext = nullptr;
};

void CaptureSink(void* context, char const* text, std::size_t length) {
  auto* capture = static_cast<Capture*>(context);
  capture->text.append(text, length);
  ++capture->calls;
  capture->lastContext = context;
}

class DebugOutputTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDebugOutputSink(nullptr, nullptr); }
};

TEST_F(DebugOutputTest, InstalledSinkReceivesTheTextAndItsContext) {
  Capture capture;
  SetDebugOutputSink(CaptureSink, &capture);
  OutputDebugText("first line\n");
  OutputDebugText("abcdef", 3);  // only the given length
  std::string const withNul("x\0y", 3);
  OutputDebugText(withNul.data(), withNul.size());
  OutputDebugText(nullptr);
  OutputDebugText(nullptr, 5);
  EXPECT_EQ(3, capture.calls);
  EXPECT_EQ(std::string("first line\nabc") + withNul, capture.text);
  EXPECT_EQ(&capture, capture.lastContext);
}

TEST_F(DebugOutputTest, ReplacingTheSinkSwitchesEveryLaterWrite) {
  Capture first, second, third;
  SetDebugOutputSink(CaptureSink, &first);
  OutputDebugText("1");
  SetDebugOutputSink(CaptureSink, &second);
  OutputDebugText("2");
  SetDebugOutputSink(CaptureSink, &third);  // a third sink reuses the first one's place
  OutputDebugText("3");
  EXPECT_EQ("1", first.text);
  EXPECT_EQ("2", second.text);
  EXPECT_EQ("3", third.text);
}

TEST_F(DebugOutputTest, DefaultAndRestoredSinkWriteToStandardError) {
  Capture capture;
  testing::StderrCapture stderrText;
  OutputDebugText("default: ");
  SetDebugOutputSink(CaptureSink, &capture);
  OutputDebugText("to the sink");
  SetDebugOutputSink(nullptr, nullptr);
  OutputDebugText("restored\n");
  OutputDebugText("cut here", 3);
  EXPECT_EQ("default: restored\ncut", stderrText.Text());
  EXPECT_EQ("to the sink", capture.text);
}

}  // namespace
}  // namespace platform
}  // namespace vireo
