// The SAX reader: events, namespaces, entities, refused expansion, limits, files and pipes.
#include "vireo/platform/Sax.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestEnvironment.h"

namespace vireo {
namespace platform {
namespace {

// Records every event as a line of text; can be told to stop at the n-th event.
class Recorder : public SaxContentSink {
 public:
  bool StartDocument() override { return Add("begin"); }
  bool EndDocument() override { return Add("end"); }
  bool StartElement(char const* name, std::size_t length, SaxAttribute const* attributes,
                    std::size_t count) override {
    std::string line = "<" + std::string(name, length);
    for (std::size_t i = 0; i < count; ++i)
      line += " " + std::string(attributes[i].name, attributes[i].nameLength) + "=" +
              std::string(attributes[i].value, attributes[i].valueLength);
    return Add(line + ">");
  }
  bool EndElement(char const* name, std::size_t length) override {
    return Add("</" + std::string(name, length) + ">");
  }
  bool Characters(char const* text, std::size_t length) override {
    ++textCalls;
    EXPECT_GT(length, 0u);
    // Adjacent runs are one text to the reader's users.
    if (!events.empty() && events.back().compare(0, 5, "text:") == 0) {
      events.back().append(text, length);
      return ++count != stopAt;
    }
    return Add("text:" + std::string(text, length));
  }

  std::vector<std::string> events;
  int textCalls = 0;
  int stopAt = -1;

 private:
  bool Add(std::string const& line) {
    events.push_back(line);
    return ++count != stopAt;
  }
  int count = 0;
};

SaxResult Parse(std::string const& document, Recorder& recorder, SaxLimits limits = SaxLimits()) {
  return SaxParseBuffer(document.data(), document.size(), recorder, limits);
}

using Events = std::vector<std::string>;

TEST(SaxTest, ReportsLocalNamesAndLeavesNamespaceDeclarationsOut) {
  Recorder r;
  SaxResult const result = Parse(
      "<?xml version='1.0'?>\n"
      "<p:root xmlns:p='urn:a' xmlns='urn:b' xmlns:q='urn:q' q:size='16' type=\"signed\">"
      "<child/><q:leaf q:x='1'>t</q:leaf></p:root>",
      r);
  EXPECT_EQ(kSaxOk, result.status);
  EXPECT_EQ((Events{"begin", "<root size=16 type=signed>", "<child>", "</child>", "<leaf x=1>",
                    "text:t", "</leaf>", "</root>", "end"}),
            r.events);
}

TEST(SaxTest, ReplacesEntitiesAndJoinsTextBetweenTags) {
  Recorder r;
  SaxResult const result = Parse(
      "<!DOCTYPE d [<!ENTITY who 'world &amp; more'>]>"
      "<d a='&lt;&#65;&quot;'>x &amp; y&#x20AC;&who;<![CDATA[<raw&>]]><!-- c -->z\n</d>",
      r);
  EXPECT_EQ(kSaxOk, result.status);
  EXPECT_EQ((Events{"begin", "<d a=<A\">", "text:x & y\xE2\x82\xACworld & more<raw&>z\n", "</d>",
                    "end"}),
            r.events);
  EXPECT_EQ(1, r.textCalls);
}

TEST(SaxTest, FailureDeliversWhatCameBeforeAndNoEnd) {
  struct Case {
    char const* document;
    Events expected;
  } const cases[] = {
      {"<a><b>text", {"begin", "<a>", "<b>", "text:text"}},  // truncated
      {"<a><b></a>", {"begin", "<a>", "<b>"}},              // wrong nesting
      {"<a>&undefined;</a>", {"begin", "<a>"}},
      {"<a></a><b/>", {"begin", "<a>", "</a>"}},            // two roots
      {"<p:a/>", {"begin"}},                                // unbound prefix
      {"", {"begin"}},
      {"<a x='1' x='2'/>", {"begin"}},
  };
  for (Case const& c : cases) {
    Recorder r;
    EXPECT_EQ(kSaxMalformed, Parse(c.document, r).status) << c.document;
    EXPECT_EQ(c.expected, r.events) << c.document;
  }
}

TEST(SaxTest, ReportsWhereParsingStopped) {
  Recorder r;
  SaxResult const result = Parse("<a>\n<b>\n</c>", r);
  EXPECT_EQ(kSaxMalformed, result.status);
  EXPECT_EQ(3u, result.line);
  EXPECT_EQ(2u, result.column);
}

TEST(SaxTest, RefusesEntityExpansionBombs) {
  std::string document = "<!DOCTYPE lolz [<!ENTITY lol0 'lollollollollollollollollollol'>";
  for (int i = 1; i <= 9; ++i)
    document += "<!ENTITY lol" + std::to_string(i) + " '" + [&] {
      std::string refs;
      for (int k = 0; k < 10; ++k) refs += "&lol" + std::to_string(i - 1) + ";";
      return refs;
    }() + "'>";
  document += "]><lolz>&lol9;</lolz>";
  Recorder r;
  auto const start = std::chrono::steady_clock::now();
  SaxResult const result = Parse(document, r);
  EXPECT_EQ(kSaxAmplification, result.status);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_NE("end", r.events.back());
  std::size_t delivered = 0;
  for (auto const& e : r.events) delivered += e.size();
  EXPECT_LT(delivered, std::size_t(64) << 20);
}

TEST(SaxTest, NeverLoadsExternalEntities) {
  testing::TemporaryDirectory dir;
  std::string const secret = dir.Path() + "/secret.txt";
  std::ofstream(secret) << "SECRET";
  std::string const dtd = dir.Path() + "/ext.dtd";
  std::ofstream(dtd) << "<!ENTITY inner 'FROMDTD'>";
  Recorder r;
  SaxResult const result = Parse("<!DOCTYPE d SYSTEM 'file://" + dtd +
                                     "' [<!ENTITY ext SYSTEM 'file://" + secret +
                                     "'>]><d>[&ext;]</d>",
                                 r);
  EXPECT_EQ(kSaxOk, result.status);
  for (auto const& e : r.events) {
    EXPECT_EQ(std::string::npos, e.find("SECRET")) << e;
    EXPECT_EQ(std::string::npos, e.find("FROMDTD")) << e;
  }
  EXPECT_EQ("text:[]", r.events[2]);
}

TEST(SaxTest, TextLongerThanTheLimitFails) {
  SaxLimits limits;
  limits.maxTextRun = 1000;
  Recorder ok;
  EXPECT_EQ(kSaxOk, Parse("<a>" + std::string(1000, 'x') + "</a>", ok, limits).status);
  Recorder tooLong;
  // Split by a comment and an entity, still one run of text.
  std::string const text = std::string(600, 'x') + "<!---->&amp;" + std::string(400, 'y');
  EXPECT_EQ(kSaxTextTooLong, Parse("<a>" + text + "</a>", tooLong, limits).status);
  EXPECT_EQ((Events{"begin", "<a>"}), tooLong.events);
  Recorder separate;  // runs between tags are counted apart
  EXPECT_EQ(kSaxOk,
            Parse("<a>" + std::string(900, 'x') + "<b/>" + std::string(900, 'y') + "</a>", separate,
                  limits)
                .status);
}

TEST(SaxTest, AFalseAnswerStopsEverything) {
  for (int stopAt = 1; stopAt <= 5; ++stopAt) {
    Recorder r;
    r.stopAt = stopAt;
    EXPECT_EQ(kSaxStopped, Parse("<a><b/>text<c/></a>", r).status) << stopAt;
    EXPECT_EQ(std::size_t(stopAt), r.events.size()) << stopAt;
  }
}

TEST(SaxTest, DetectsUTF16WithAByteOrderMark) {
  std::u16string const text = u"\uFEFF<a v='\u00E9'>\u20AC</a>";
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  Recorder r;
  EXPECT_EQ(kSaxOk, Parse(bytes, r).status);
  EXPECT_EQ((Events{"begin", "<a v=\xC3\xA9>", "text:\xE2\x82\xAC", "</a>", "end"}), r.events);
}

TEST(SaxTest, DeepNestingNeedsNoStack) {
  int const depth = 100000;
  std::string document;
  for (int i = 0; i < depth; ++i) document += "<n>";
  for (int i = 0; i < depth; ++i) document += "</n>";
  Recorder r;
  EXPECT_EQ(kSaxOk, Parse(document, r).status);
  EXPECT_EQ(std::size_t(2 * depth + 2), r.events.size());
}

TEST(SaxTest, ParsesFilesLikeBuffers) {
  testing::TemporaryDirectory dir;
  std::string const path = dir.Path() + "/doc.xml";
  std::string document = "<list>";
  for (int i = 0; i < 50000; ++i) document += "<item n='" + std::to_string(i) + "'>v</item>\n";
  document += "</list>";
  std::ofstream(path) << document;
  Recorder fromFile, fromBuffer;
  EXPECT_EQ(kSaxOk, SaxParseFile(path.c_str(), fromFile).status);
  EXPECT_EQ(kSaxOk, Parse(document, fromBuffer).status);
  EXPECT_EQ(fromBuffer.events, fromFile.events);

  Recorder missing;
  EXPECT_EQ(kSaxCannotRead, SaxParseFile((dir.Path() + "/none.xml").c_str(), missing).status);
  EXPECT_TRUE(missing.events.empty());
  Recorder directory;
  EXPECT_EQ(kSaxCannotRead, SaxParseFile(dir.Path().c_str(), directory).status);
  EXPECT_EQ((Events{"begin"}), directory.events);
}

TEST(SaxTest, ReadsWholeDocumentsOfRegularFilesOnly) {
  testing::TemporaryDirectory dir;
  std::string const path = dir.Path() + "/doc.xml";
  std::string const content = "<a>" + std::string(100000, 'x') + "</a>";
  std::ofstream(path) << content;
  std::string out = "stale";
  EXPECT_TRUE(SaxReadDocument(path.c_str(), content.size(), out));
  EXPECT_EQ(content, out);
  EXPECT_FALSE(SaxReadDocument(path.c_str(), content.size() - 1, out));  // too large
  EXPECT_FALSE(SaxReadDocument(dir.Path().c_str(), 1 << 20, out));
  EXPECT_FALSE(SaxReadDocument((dir.Path() + "/none").c_str(), 1 << 20, out));
  std::string const fifo = dir.Path() + "/pipe";
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  EXPECT_FALSE(SaxReadDocument(fifo.c_str(), 1 << 20, out));  // refused without waiting
}

// A writer that never stops: the reader must give up at the limit, not hold it all.
TEST(SaxTest, EndlessTextFromAPipeIsRefusedAtTheLimit) {
  testing::TemporaryDirectory dir;
  std::string const fifo = dir.Path() + "/stream";
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  std::signal(SIGPIPE, SIG_IGN);
  std::thread writer([&] {
    std::FILE* f = std::fopen(fifo.c_str(), "w");
    if (!f) return;
    std::fputs("<a>", f);
    std::string const block(1 << 16, 'x');
    // Up to 1 GiB; stops as soon as the reader closes its end.
    for (int i = 0; i < (1 << 14); ++i)
      if (std::fwrite(block.data(), 1, block.size(), f) != block.size()) break;
    std::fclose(f);
  });
  SaxLimits limits;
  limits.maxTextRun = 4 << 20;
  Recorder r;
  SaxResult const result = SaxParseFile(fifo.c_str(), r, limits);
  writer.join();
  EXPECT_EQ(kSaxTextTooLong, result.status);
  EXPECT_EQ((Events{"begin", "<a>"}), r.events);
}

}  // namespace
}  // namespace platform
}  // namespace vireo
