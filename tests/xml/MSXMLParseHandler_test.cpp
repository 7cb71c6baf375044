// The supplied parser: events in UTF-16 with local names, failures, handler exceptions,
// and the path forms ParseDocument accepts.
#include "vireo/xml/MSXMLParseHandler.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/TestEnvironment.h"
#include "vireo/platform/Files.h"
#include "tests/xml/RecordingHandler.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace vireo {
namespace xml {
namespace {

using Events = std::vector<std::string>;
using utility::UTF16String;
using utility::UTF8String;

UTF8String Bytes(std::string const& s) { return UTF8String(s.begin(), s.end()); }
UTF16String Text(std::string const& s) { return utility::UTF8to16(Bytes(s)); }

class ParserTest : public ::testing::Test {
 protected:
  MSXMLParseHandler& MakeParser() {
    std::auto_ptr<AbstractParseHandler> handler(recorder_ = new testing::RecordingHandler(events));
    parser_.reset(new MSXMLParseHandler(handler));
    EXPECT_EQ(nullptr, handler.get());  // taken over
    return *parser_;
  }
  XMLParseStatus Parse(std::string const& document) {
    return MakeParser().ParseBuffer(Bytes(document));
  }

  Events events;
  testing::RecordingHandler* recorder_ = nullptr;
  std::unique_ptr<MSXMLParseHandler> parser_;
};

TEST_F(ParserTest, DeliversLocalNamesAttributesAndReplacedText) {
  EXPECT_EQ(kXMLParseSuccess,
            Parse("<?xml version='1.0'?>\n<m:prop.map xmlns:m='urn:m' m:version='4' b='x&amp;y'>"
                  "<key>caf\xC3\xA9 &lt;&#x1F600;&gt;</key><m:true/></m:prop.map>"));
  EXPECT_EQ((Events{"begin", "<prop.map b=x&y version=4>", "<key>",
                    "text:caf\xC3\xA9 <\xF0\x9F\x98\x80>", "</key>", "<true>", "</true>",
                    "</prop.map>", "end"}),
            events);
}

TEST_F(ParserTest, FailureGivesTenAfterTheEventsBeforeIt) {
  EXPECT_EQ(kXMLParseFailure, Parse("<a><b>half"));
  EXPECT_EQ((Events{"begin", "<a>", "<b>", "text:half"}), events);
  events.clear();
  EXPECT_EQ(kXMLParseFailure, Parse("<a><b></a></b>"));
  EXPECT_EQ((Events{"begin", "<a>", "<b>"}), events);
}

TEST_F(ParserTest, HandlerExceptionLeavesThroughTheParseAndStopsEvents) {
  MSXMLParseHandler& parser = MakeParser();
  recorder_->throwAt = "b";
  EXPECT_THROW(parser.ParseBuffer(Bytes("<a><b/><c/></a>")), std::runtime_error);
  EXPECT_EQ((Events{"begin", "<a>", "<b>"}), events);
  // The parser is usable again.
  recorder_->throwAt.clear();
  events.clear();
  EXPECT_EQ(kXMLParseSuccess, parser.ParseBuffer(Bytes("<z/>")));
  EXPECT_EQ((Events{"begin", "<z>", "</z>", "end"}), events);
}

class DocumentTest : public ParserTest {
 protected:
  void SetUp() override {
    path_ = dir_.Path() + "/my doc.xml";
    std::ofstream(path_) << "<d>file</d>";
  }
  Events Expected() const { return Events{"begin", "<d>", "text:file", "</d>", "end"}; }
  XMLParseStatus ParseDocument(std::string const& path) {
    events.clear();
    return MakeParser().ParseDocument(Text(path));
  }

  testing::TemporaryDirectory dir_;
  std::string path_;
};

TEST_F(DocumentTest, AcceptsEveryPathForm) {
  std::string stored = path_;
  for (char& c : stored)
    if (c == '/') c = '\\';
  std::string url = "file://" + path_;
  url.replace(url.find(' '), 1, "%20");
  std::string const forms[] = {path_, stored, "Z:" + stored, "\\\\?\\" + stored, url,
                               "file://localhost" + path_.substr(0, path_.find(' ')) + "%20doc.xml",
                               "file:///Z:" + path_.substr(0, path_.find(' ')) + "%20doc.xml"};
  for (std::string const& form : forms) {
    EXPECT_EQ(kXMLParseSuccess, ParseDocument(form)) << form;
    EXPECT_EQ(Expected(), events) << form;
  }
}

TEST_F(DocumentTest, DrivesFollowThePlatformDriveTable) {
  ASSERT_EQ(0, platform::MapDrive('Q', dir_.Path().c_str()));
  XMLParseStatus const mapped = ParseDocument("Q:\\my doc.xml");
  Events const seen = events;
  XMLParseStatus const viaURL = ParseDocument("file:///Q:/my%20doc.xml");
  ASSERT_EQ(0, platform::MapDrive('Q', nullptr));
  EXPECT_EQ(kXMLParseSuccess, mapped);
  EXPECT_EQ(Expected(), seen);
  EXPECT_EQ(kXMLParseSuccess, viaURL);
  EXPECT_EQ(kXMLParseFailure, ParseDocument("Q:\\my doc.xml"));
}

TEST_F(DocumentTest, RelativePathsStartAtTheCurrentDirectory) {
  char saved[4096];
  ASSERT_NE(nullptr, ::getcwd(saved, sizeof saved));
  ASSERT_EQ(0, ::chdir(dir_.Path().c_str()));
  XMLParseStatus const status = ParseDocument("my doc.xml");
  ASSERT_EQ(0, ::chdir(saved));
  EXPECT_EQ(kXMLParseSuccess, status);
  EXPECT_EQ(Expected(), events);
}

TEST_F(DocumentTest, WhatCannotBeReadFailsWithoutEvents) {
  std::string const failing[] = {dir_.Path() + "/missing.xml", "file://elsewhere" + path_,
                                 "\\\\server\\share\\a.xml", "C:\\a.xml", ""};
  for (std::string const& path : failing) {
    EXPECT_EQ(kXMLParseFailure, ParseDocument(path)) << path;
    EXPECT_TRUE(events.empty()) << path;
  }
}

}  // namespace
}  // namespace xml
}  // namespace vireo
