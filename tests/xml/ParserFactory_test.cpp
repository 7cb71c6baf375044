// The process-wide parser factory slot (a process of its own: the slot is global).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/xml/RecordingHandler.h"
#include "vireo/xml/MSXMLParseHandler.h"
#include "vireo/xml/XMLParser.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace vireo {
namespace xml {
namespace {

class CountingFactory : public MSXMLParserFactory {
 public:
  explicit CountingFactory(int& destroyed) : destroyed_(destroyed) {}
  ~CountingFactory() override { ++destroyed_; }
  std::auto_ptr<AbstractDocParser> GetParser(std::auto_ptr<AbstractParseHandler>& h) override {
    ++made;
    return MSXMLParserFactory::GetParser(h);
  }
  int made = 0;

 private:
  int& destroyed_;
};

TEST(ParserFactoryTest, SlotLifecycle) {
  std::vector<std::string> events;
  bool handlerDestroyed = false;
  std::auto_ptr<AbstractParseHandler> handler(
      new testing::RecordingHandler(events, &handlerDestroyed));
  AbstractParseHandler* const raw = handler.get();

  // Empty slot: no parser, and the handler stays with the caller.
  EXPECT_EQ(nullptr, GetParser(handler).get());
  EXPECT_EQ(raw, handler.get());

  int firstDestroyed = 0, secondDestroyed = 0;
  auto* first = new CountingFactory(firstDestroyed);
  std::auto_ptr<DocParserFactory> install(first);
  SetParserFactory(install);
  EXPECT_EQ(nullptr, install.get());

  {
    std::auto_ptr<AbstractDocParser> parser = GetParser(handler);
    ASSERT_NE(nullptr, parser.get());
    EXPECT_EQ(nullptr, handler.get());
    EXPECT_EQ(1, first->made);
    utility::UTF8String const doc = utility::UTF16to8(utility::AsciiToUTF16("<a/>"));
    EXPECT_EQ(kXMLParseSuccess, parser->ParseBuffer(doc));
    EXPECT_EQ((std::vector<std::string>{"begin", "<a>", "</a>", "end"}), events);
    EXPECT_FALSE(handlerDestroyed);
  }
  EXPECT_TRUE(handlerDestroyed);  // owned by the parser

  // Installing the installed factory again keeps it.
  install.reset(first);
  SetParserFactory(install);
  EXPECT_EQ(0, firstDestroyed);

  // A second factory replaces and destroys the first.
  install.reset(new CountingFactory(secondDestroyed));
  SetParserFactory(install);
  EXPECT_EQ(1, firstDestroyed);
  EXPECT_EQ(0, secondDestroyed);

  // An empty one empties the slot.
  install.reset();
  SetParserFactory(install);
  EXPECT_EQ(1, secondDestroyed);
  std::auto_ptr<AbstractParseHandler> another(new testing::RecordingHandler(events));
  EXPECT_EQ(nullptr, GetParser(another).get());
  EXPECT_NE(nullptr, another.get());
}

}  // namespace
}  // namespace xml
}  // namespace vireo
