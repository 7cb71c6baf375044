// Encoding and decoding of XML's reserved characters.
#include "vireo/xml/XMLUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace vireo {
namespace xml {
namespace {

using utility::UTF16String;
using utility::UTF8String;

UTF8String Bytes(std::string const& s) { return UTF8String(s.begin(), s.end()); }
UTF16String Text(std::string const& s) { return utility::UTF8to16(Bytes(s)); }

TEST(XMLUtilsTest, EncodesTheFiveCharactersInOnePass) {
  UTF8String out = Bytes("kept:");
  utils::EncodeReservedCharacters(Bytes("\"a<b\" &"), out);
  EXPECT_EQ(Bytes("kept:&quot;a&lt;b&quot; &amp;"), out);  // appended

  UTF16String wide = Text("old");
  utils::EncodeReservedCharacters(Text("\"a<b\" &"), wide);
  EXPECT_EQ(24u, wide.size());
  EXPECT_EQ(Text("&quot;a&lt;b&quot; &amp;"), wide);  // replaced

  out.clear();
  utils::EncodeReservedCharacters(Bytes("'>&amp;\xC3\xA9\x01"), out);
  EXPECT_EQ(Bytes("&apos;&gt;&amp;amp;\xC3\xA9\x01"), out);
}

TEST(XMLUtilsTest, DecodesStepByStepInAFixedOrder) {
  struct Case {
    char const* in;
    char const* out;
  } const cases[] = {
      {"&amp;lt;", "&lt;"},  // the ampersand step runs after the less-than step
      {"&#65;", "&#65;"},
      {"&lt;&gt;&amp;&apos;&quot;", "<>&'\""},
      {"&amp;quot;", "\""},  // and the quote step after the ampersand step
      {"&lt", "&lt"},
      {"plain", "plain"},
      {"", ""},
  };
  for (Case const& c : cases) {
    UTF16String out = Text("stale");
    utils::DecodeReservedCharacters(Text(c.in), out);
    EXPECT_EQ(Text(c.out), out) << c.in;
    UTF8String bytes = Bytes("stale");
    utils::DecodeReservedCharacters(Bytes(c.in), bytes);
    EXPECT_EQ(Bytes(c.out), bytes) << c.in;
  }
}

TEST(XMLUtilsTest, DecodingInvertsEncoding) {
  std::string const samples[] = {"a<b&c", "\"q\" 'a' <>", "&amp;&lt;", "x\xE2\x82\xAC&y"};
  for (std::string const& s : samples) {
    UTF8String encoded, decoded;
    utils::EncodeReservedCharacters(Bytes(s), encoded);
    utils::DecodeReservedCharacters(encoded, decoded);
    EXPECT_EQ(Bytes(s), decoded) << s;
  }
}

}  // namespace
}  // namespace xml
}  // namespace vireo
