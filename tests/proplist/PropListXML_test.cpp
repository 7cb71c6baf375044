// The property-list XML format: the exact document, every value form, the reader's rules,
// raised errors, round trips and hostile documents.
#include "vireo/proplist/PropListXML.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <thread>

#include "tests/proplist/PropListTesting.h"
#include "tests/support/RecordingErrorManager.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/filesupport/File.h"
#include "vireo/filesupport/FileExceptions.h"
#include "vireo/proplist/PropListXMLHandler.h"
#include "vireo/xml/MSXMLParseHandler.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace vireo {
namespace proplist {
namespace {

using testing::K;
using testing::S;
using testing::W;
using utility::UTF16String;
using utility::UTF8String;

std::string Write(PropList const& list) {
  UTF8String out = K("stale");
  utils::WritePropList(out, list);
  return S(out);
}

// Reads `document` into `list` with a recording error manager; answers the codes raised.
std::vector<long> Read(std::string const& document, PropList& list) {
  testing::RecordingErrorManager manager;
  testing::ScopedErrorManager scope(&manager);
  utils::ReadPropList(K(document), list);
  std::vector<long> codes;
  for (auto const& e : manager.errors) {
    EXPECT_EQ(config::kErrorLevelNonFatal, e.level);
    EXPECT_EQ(104u, e.component);
    EXPECT_TRUE(e.deferrable);
    codes.push_back(e.code);
  }
  return codes;
}

std::string Document(std::string const& pairs, std::string const& version = "4") {
  return "<?xml version='1.0'?>\n<prop.map version='" + version + "'>\n<prop.list>\n" + pairs +
         "</prop.list>\n</prop.map>\n";
}

TEST(PropListXMLTest, EmptyListDocument) {
  PropList list;
  EXPECT_EQ("<?xml version='1.0'?>\n<prop.map version='4'>\n<prop.list>\n</prop.list>\n"
            "</prop.map>\n",
            Write(list));
}

TEST(PropListXMLTest, OneValueOfEachTypeGivesTheGoldenDocument) {
  PropList list;
  list.SetValue(K("01 ustring"), W("caf\xC3\xA9 <&>"));
  list.SetValue(K("02 string"), K("it's \"q\""));
  list.SetValue(K("03 bool"), true);
  list.SetValue(K("04 u16"), static_cast<unsigned short>(65535));
  list.SetValue(K("05 u32"), 4294967295ul);
  list.SetValue(K("06 s32"), -2147483647l - 1);
  list.SetValue(K("07 s64"), -9223372036854775807ll - 1);
  list.SetValue(K("08 u64"), 18446744073709551615ull);
  list.SetValue(K("09 float"), 0.1f);
  list.SetValue(K("10 double"), 1234567.891);
  PropList* nested = list.NewSubList(K("11 list"));
  nested->SetValue(K("inner"), false);
  nested->NewSubList(K("empty"));
  list.SetValue(K("12 ustrings"), std::list<UTF16String>{W("a"), W("")});
  list.SetValue(K("13 strings"), std::list<UTF8String>{K("x>y")});
  list.SetValue(K("14 bools"), std::list<bool>{true, false});
  list.SetValue(K("15 u16s"), std::list<unsigned short>{0, 7});
  list.SetValue(K("16 u32s"), std::list<unsigned long>{1});
  list.SetValue(K("17 s32s"), std::list<long>{-1});
  list.SetValue(K("18 s64s"), std::list<long long>{-5});
  list.SetValue(K("19 u64s"), std::list<unsigned long long>{5});
  list.SetValue(K("20 floats"), std::list<float>());
  list.SetValue(K("21 doubles"), std::list<double>{0.5, 1e-7, 1e21, -100000});

  char const* const golden =
      "<?xml version='1.0'?>\n"
      "<prop.map version='4'>\n"
      "<prop.list>\n"
      "<prop.pair>\n<key>01 ustring</key>\n<ustring>caf\xC3\xA9 &lt;&amp;&gt;</ustring>\n</prop.pair>\n"
      "<prop.pair>\n<key>02 string</key>\n<string>it&apos;s &quot;q&quot;</string>\n</prop.pair>\n"
      "<prop.pair>\n<key>03 bool</key>\n<true/>\n</prop.pair>\n"
      "<prop.pair>\n<key>04 u16</key>\n<int type='unsigned' size='16'>65535</int>\n</prop.pair>\n"
      "<prop.pair>\n<key>05 u32</key>\n<int type='unsigned' size='32'>4294967295</int>\n</prop.pair>\n"
      "<prop.pair>\n<key>06 s32</key>\n<int type='signed' size='32'>-2147483648</int>\n</prop.pair>\n"
      "<prop.pair>\n<key>07 s64</key>\n<int type='signed' size='64'>-9223372036854775808</int>\n</prop.pair>\n"
      "<prop.pair>\n<key>08 u64</key>\n<int type='unsigned' size='64'>18446744073709551615</int>\n</prop.pair>\n"
      "<prop.pair>\n<key>09 float</key>\n<float>0.1</float>\n</prop.pair>\n"
      "<prop.pair>\n<key>10 double</key>\n<double>1.23457e+06</double>\n</prop.pair>\n"
      "<prop.pair>\n<key>11 list</key>\n<prop.list>\n"
      "<prop.pair>\n<key>empty</key>\n<prop.list>\n</prop.list>\n</prop.pair>\n"
      "<prop.pair>\n<key>inner</key>\n<false/>\n</prop.pair>\n"
      "</prop.list>\n</prop.pair>\n"
      "<prop.pair>\n<key>12 ustrings</key>\n<array>\n<array.type><ustring/></array.type>\n"
      "<ustring>a</ustring>\n<ustring></ustring>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>13 strings</key>\n<array>\n<array.type><string/></array.type>\n"
      "<string>x&gt;y</string>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>14 bools</key>\n<array>\n<array.type><bool/></array.type>\n"
      "<true/>\n<false/>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>15 u16s</key>\n<array>\n<array.type><int type='unsigned' size='16'/></array.type>\n"
      "<int type='unsigned' size='16'>0</int>\n<int type='unsigned' size='16'>7</int>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>16 u32s</key>\n<array>\n<array.type><int type='unsigned' size='32'/></array.type>\n"
      "<int type='unsigned' size='32'>1</int>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>17 s32s</key>\n<array>\n<array.type><int type='signed' size='32'/></array.type>\n"
      "<int type='signed' size='32'>-1</int>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>18 s64s</key>\n<array>\n<array.type><int type='signed' size='64'/></array.type>\n"
      "<int type='signed' size='64'>-5</int>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>19 u64s</key>\n<array>\n<array.type><int type='unsigned' size='64'/></array.type>\n"
      "<int type='unsigned' size='64'>5</int>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>20 floats</key>\n<array>\n<array.type><float/></array.type>\n</array>\n</prop.pair>\n"
      "<prop.pair>\n<key>21 doubles</key>\n<array>\n<array.type><double/></array.type>\n"
      "<double>0.5</double>\n<double>1e-07</double>\n<double>1e+21</double>\n<double>-100000</double>\n"
      "</array>\n</prop.pair>\n"
      "</prop.list>\n"
      "</prop.map>\n";
  EXPECT_EQ(golden, Write(list));

  // And it reads back as the same list, floating values to six digits.
  PropList back;
  EXPECT_TRUE(Read(golden, back).empty());
  std::string why;
  EXPECT_TRUE(testing::SameList(list, back, true, why)) << why;
  double d = 0;
  ASSERT_TRUE(back.GetValue(K("10 double"), d));
  EXPECT_EQ(1234570.0, d);
  EXPECT_EQ(Write(list), Write(back));
}

TEST(PropListXMLTest, ReservedCharactersInKeysAndValues) {
  PropList list;
  list.SetValue(K("a<b&c"), K("\"'<>&"));
  std::string const text = Write(list);
  EXPECT_NE(std::string::npos, text.find("<key>a&lt;b&amp;c</key>\n"));
  PropList back;
  Read(text, back);
  UTF8String value;
  ASSERT_TRUE(back.GetValue(K("a<b&c"), value));
  EXPECT_EQ(K("\"'<>&"), value);
}

TEST(PropListXMLTest, EmptyValuesStayPresent) {
  PropList list;
  list.SetValue(K("s"), K(""));
  list.SetValue(K("f"), std::list<float>());
  list.NewSubList(K("n"))->NewSubList(K("m"));
  EXPECT_NE(std::string::npos, Write(list).find("<string></string>\n"));
  PropList back;
  Read(Write(list), back);
  UTF8String s = K("x");
  EXPECT_TRUE(back.GetValue(K("s"), s));
  EXPECT_TRUE(s.empty());
  EXPECT_EQ(kPropTypeFloatArray, back.GetPropertyType(K("f")));
  ASSERT_NE(nullptr, back.GetSubList(K("n")));
  ASSERT_NE(nullptr, back.GetSubList(K("n"))->GetSubList(K("m")));
  EXPECT_TRUE(back.GetSubList(K("n"))->GetSubList(K("m"))->IsEmpty());
}

TEST(PropListXMLTest, VersionRule) {
  PropList newer;
  EXPECT_EQ(std::vector<long>{20}, Read(Document("", "5"), newer));
  EXPECT_EQ(5, newer.GetVersion());
  PropList older;
  older.SetValue(K("kept"), true);
  EXPECT_TRUE(Read(Document("<prop.pair>\n<key>k</key>\n<true/>\n</prop.pair>\n", "3"), older).empty());
  EXPECT_EQ(3, older.GetVersion());
  EXPECT_EQ(kPropTypeBool, older.GetPropertyType(K("kept")));  // not cleared
  EXPECT_EQ(kPropTypeBool, older.GetPropertyType(K("k")));
  PropList unversioned;
  unversioned.SetVersion(2);
  Read("<prop.map><prop.list/></prop.map>", unversioned);
  EXPECT_EQ(2, unversioned.GetVersion());

  // A manager that throws ends the load at the raise.
  testing::ThrowingErrorManager thrower;
  testing::ScopedErrorManager scope(&thrower);
  PropList thrown;
  EXPECT_THROW(utils::ReadPropList(K(Document("<prop.pair>\n<key>k</key>\n<true/>\n</prop.pair>\n", "9")), thrown),
               testing::RaisedError);
  EXPECT_EQ(1u, thrower.errors.size());
  EXPECT_TRUE(thrown.IsEmpty());
}

TEST(PropListXMLTest, ReaderReadsNumbersLikeAStream) {
  PropList list;
  Read(Document(
           "<prop.pair><key>a</key><int type='signed' size='32'>  42xyz</int></prop.pair>"
           "<prop.pair><key>b</key><int type='unsigned' size='16'>70000</int></prop.pair>"
           "<prop.pair><key>c</key><int type='signed' size='64'>99999999999999999999</int></prop.pair>"
           "<prop.pair><key>d</key><double>\n-1.5e3 and more</double></prop.pair>"
           "<prop.pair><key>e</key><float>junk</float></prop.pair>"
           "<prop.pair><key>f</key><int type='unsigned' size='64'>-1</int></prop.pair>"
           "<prop.pair><key>g</key><double>.25</double></prop.pair>"),
       list);
  long a = 0;
  unsigned short b = 0;
  long long c = 0;
  double d = 0, g = 0;
  float e = 1;
  unsigned long long f = 0;
  EXPECT_TRUE(list.GetValue(K("a"), a));
  EXPECT_EQ(42, a);
  EXPECT_TRUE(list.GetValue(K("b"), b));
  EXPECT_EQ(static_cast<unsigned short>(70000), b);  // read as 32 bits, kept as 16
  EXPECT_TRUE(list.GetValue(K("c"), c));
  EXPECT_EQ(std::numeric_limits<long long>::max(), c);
  EXPECT_TRUE(list.GetValue(K("d"), d));
  EXPECT_EQ(-1500.0, d);
  EXPECT_TRUE(list.GetValue(K("e"), e));
  EXPECT_EQ(0.0f, e);
  EXPECT_TRUE(list.GetValue(K("f"), f));
  EXPECT_EQ(std::numeric_limits<unsigned long long>::max(), f);
  EXPECT_TRUE(list.GetValue(K("g"), g));
  EXPECT_EQ(0.25, g);
}

TEST(PropListXMLTest, ReaderToleratesWhatItDoesNotKnow) {
  PropList list;
  std::vector<long> const codes = Read(
      Document("<prop.pair><key>k1</key><unknown>x</unknown><string>s</string></prop.pair>"
               "<prop.pair><key>k2</key><int>7</int></prop.pair>"            // keeps the string code
               "<prop.pair><key>k3</key><array><array.type><mystery/></array.type>"
               "<string>a</string></array></prop.pair>"                     // unknown type: not stored
               "<prop.pair><key>k4</key><array><array.type><bool/></array.type>"
               "<true/><false/><true/></array></prop.pair>"
               "<prop.pair><key>k<x/>5</key><double>1</double></prop.pair>"
               "</prop.list><prop.list><prop.pair><key>k6</key><true/></prop.pair>"),
      list);
  EXPECT_TRUE(codes.empty());
  UTF8String s;
  EXPECT_TRUE(list.GetValue(K("k1"), s));
  EXPECT_EQ(K("s"), s);
  EXPECT_TRUE(list.GetValue(K("k2"), s));
  EXPECT_EQ(K("7"), s);
  EXPECT_EQ(kPropTypeNone, list.GetPropertyType(K("k3")));
  std::list<bool> flags;
  EXPECT_TRUE(list.GetValue(K("k4"), flags));
  EXPECT_EQ((std::list<bool>{true, false, true}), flags);
  EXPECT_EQ(kPropTypeDouble, list.GetPropertyType(K("k5")));
  EXPECT_EQ(kPropTypeBool, list.GetPropertyType(K("k6")));  // a second top-level list fills the root
}

TEST(PropListXMLTest, DamagedDocumentsRaiseTheParseErrorAndKeepWhatWasRead) {
  std::string const whole = Document(
      "<prop.pair>\n<key>first</key>\n<true/>\n</prop.pair>\n"
      "<prop.pair>\n<key>second</key>\n<double>2</double>\n</prop.pair>\n");
  std::size_t const cut = whole.find("<prop.pair>\n<key>second");
  for (std::size_t length : {std::size_t(0), std::size_t(10), cut, cut + 20, whole.size() - 3}) {
    PropList list;
    EXPECT_EQ(std::vector<long>{22}, Read(whole.substr(0, length), list)) << length;
    EXPECT_EQ(length >= cut ? kPropTypeBool : kPropTypeNone, list.GetPropertyType(K("first")));
  }
  char const* const broken[] = {
      "<prop.map><prop.list></prop.map></prop.list>",
      "<prop.map version='4'><prop.list><prop.pair><key>a</prop.pair></key></prop.list></prop.map>",
      "<prop.map>&bogus;</prop.map>",
      "\x01garbage",
  };
  for (char const* document : broken) {
    PropList list;
    EXPECT_EQ(std::vector<long>{22}, Read(document, list)) << document;
  }
}

// Events no well-formed document gives (a tolerant parser might): ends without starts,
// values outside any list.
TEST(PropListXMLTest, HandlerSurvivesEventsOutOfOrder) {
  PropList list;
  PropListXMLHandler handler(list);
  xml::AttributeMap none;
  auto start = [&](char const* name) { handler.StartElement(W(name), none); };
  auto end = [&](char const* name) { handler.EndElement(W(name)); };
  end("prop.list");
  start("key");
  handler.Characters(W("loose"));
  end("key");
  start("true");
  end("true");
  end("array");
  end("prop.list");
  EXPECT_TRUE(list.IsEmpty());
  start("prop.list");
  start("key");
  handler.Characters(W("a"));
  end("key");
  start("array");
  start("int");  // an array of ints without type or size: never stored
  handler.Characters(W("1"));
  end("int");
  end("array");
  end("prop.list");
  end("prop.list");
  EXPECT_TRUE(list.IsEmpty());
}

TEST(PropListXMLTest, DeepNestingLoadsAndSaves) {
  int const depth = 100000;
  std::string document = "<prop.map version='4'>\n";
  for (int i = 0; i < depth; ++i) document += "<prop.list>\n<prop.pair>\n<key>n</key>\n";
  document += "<prop.list>\n</prop.list>\n";
  for (int i = 0; i < depth; ++i) document += "</prop.pair>\n</prop.list>\n";
  document += "</prop.map>\n";
  PropList list;
  EXPECT_TRUE(Read(document, list).empty());
  PropList const* level = &list;
  int found = 0;
  while ((level = level->GetSubList(K("n")))) ++found;
  EXPECT_EQ(depth, found);
  EXPECT_EQ("<?xml version='1.0'?>\n" + document, Write(list));
}

class FileTest : public ::testing::Test {
 protected:
  testing::TemporaryDirectory dir_;
};

TEST_F(FileTest, SavesInTextModeAndLoadsBack) {
  PropList list;
  list.SetValue(K("k"), W("v"));
  list.NewSubList(K("sub"))->SetValue(K("n"), 7.5);
  std::string const path = dir_.Path() + "/list.xml";
  testing::RecordingErrorManager manager;
  testing::ScopedErrorManager scope(&manager);
  utils::SavePropList(utility::UTF8to16(K(path)), list);
  std::ifstream in(path, std::ios::binary);
  std::string const onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string expected = Write(list), crlf;
  for (char c : expected) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(crlf, onDisk);
  PropList back;
  utils::LoadPropList(utility::UTF8to16(K(path)), back);
  EXPECT_TRUE(manager.errors.empty());
  std::string why;
  EXPECT_TRUE(testing::SameList(list, back, false, why)) << why;
  utils::LoadPropList(utility::UTF8to16(K(dir_.Path() + "/missing.xml")), back);
  ASSERT_EQ(1u, manager.errors.size());
  EXPECT_EQ(22, manager.errors[0].code);
  EXPECT_EQ("$$$/wren/proplist/Error/PropListUtils/ParsingPropertiesList=Error parsing properties list.",
            manager.errors[0].key);
}

TEST_F(FileTest, SavesIntoAFileReplacingItsContent) {
  PropList list;
  list.SetValue(K("k"), W("v"));
  std::string const path = dir_.Path() + "/list.xml";
  std::ofstream(path) << std::string(100000, 'x');  // longer than the document
  filesupport::File file(utility::UTF8to16(K(path)));
  utils::SavePropList(file, list);
  std::ifstream in(path, std::ios::binary);
  std::string const onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(Write(list), onDisk);

  filesupport::File nowhere(utility::UTF8to16(K(dir_.Path() + "/missing/list.xml")));
  EXPECT_THROW(utils::SavePropList(nowhere, list), filesupport::create_exception);
}

// A gigabyte of text in one value, streamed through a pipe: refused with the parse error
// as soon as the reader's limit is passed, with nothing of it kept.
TEST_F(FileTest, GigabyteTextValueIsRefused) {
  std::string const fifo = dir_.Path() + "/stream.xml";
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  std::signal(SIGPIPE, SIG_IGN);
  std::thread writer([&] {
    std::FILE* f = std::fopen(fifo.c_str(), "w");
    if (!f) return;
    std::fputs("<prop.map version='4'><prop.list><prop.pair><key>big</key><string>", f);
    std::string const block(1 << 20, 'x');
    for (int i = 0; i < 1024; ++i)
      if (std::fwrite(block.data(), 1, block.size(), f) != block.size()) break;
    std::fputs("</string></prop.pair></prop.list></prop.map>", f);
    std::fclose(f);
  });
  testing::RecordingErrorManager manager;
  testing::ScopedErrorManager scope(&manager);
  PropList list;
  utils::LoadPropList(utility::UTF8to16(K(fifo)), list);
  writer.join();
  ASSERT_EQ(1u, manager.errors.size());
  EXPECT_EQ(22, manager.errors[0].code);
  EXPECT_TRUE(list.IsEmpty());
}

// Random lists of every type nested five deep read back equal (floating values to six
// significant digits), and writing what was read gives the same document again.
TEST(PropListXMLTest, RandomListsRoundTrip) {
  testing::RandomLists random(20240611);
  for (int round = 0; round < 100; ++round) {
    PropList list;
    random.Fill(list, 5, 12);
    std::string const text = Write(list);
    PropList back;
    ASSERT_TRUE(Read(text, back).empty()) << text;
    std::string why;
    ASSERT_TRUE(testing::SameList(list, back, true, why)) << why << "\n" << text;
    ASSERT_EQ(text, Write(back));
  }
}

// The general path: the supplied parser driving a reader, as ReadPropList does for
// documents of any form. Answers whether the document parsed.
bool ReadGeneral(std::string const& document, PropList& list) {
  testing::RecordingErrorManager manager;  // the version error, checked by the caller
  testing::ScopedErrorManager scope(&manager);
  PropListXMLHandler* const reader = new PropListXMLHandler(list);
  std::auto_ptr<xml::AbstractParseHandler> handler(reader);
  xml::MSXMLParseHandler parser(handler);
  return parser.ParseBuffer(K(document)) == xml::kXMLParseSuccess && !reader->TextLimitExceeded();
}

// ReadPropList reads documents of the writer's own form by itself; whatever it reads that
// way, and whatever it leaves to the general path, ends as the general path would end it.
TEST(PropListXMLTest, EveryDocumentReadsAsTheGeneralPathReadsIt) {
  PropList sample;
  sample.SetValue(K("k&<>'\"]]"), W("v \xC3\xA9\xF0\x9F\x98\x80"));
  sample.SetValue(K("n"), std::list<double>{1.5, -2});
  sample.NewSubList(K("s"))->SetValue(K("b"), std::list<bool>{true, false});
  sample.SetValue(K("i"), 7l);
  std::string const canonical = Write(sample);
  auto replaced = [&](std::string const& from, std::string const& to) {
    std::string text = canonical;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  std::string crlf;  // as a file written in text mode holds it
  for (char c : canonical) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::string const documents[] = {
      canonical,
      crlf,
      replaced("<key>i</key>\n", "<key>i</key>\r"),
      replaced("<key>i</key>", "<key>a\r\r\nb\rc</key>"),
      replaced("version='4'", "version='5'"),
      replaced("version='4'", "version='70000'"),
      replaced("<key>i</key>", "<key>&#105;</key>"),           // character reference
      replaced("<key>i</key>", "<key>]]></key>"),              // not allowed in text
      replaced("<key>i</key>", "<key>\xED\xA0\x80</key>"),  // an encoded surrogate
      replaced("<key>i</key>", "<key>\xEF\xBF\xBE</key>"),  // U+FFFE
      replaced("<key>i</key>", "<key>\xC3</key>"),            // cut sequence
      replaced("<key>i</key>", "<key>\x01</key>"),
      replaced("<key>i</key>", "<key>&bogus;</key>"),
      replaced("<double>1.5</double>", "<float>1.5</float>"),  // element of another type
      replaced("<int type='signed' size='32'>7</int>", "<int type='signed' size='32'> 7x</int>"),
      replaced("<int type='signed' size='32'>7</int>", "<int size='32' type='signed'>7</int>"),
      replaced("</prop.map>\n", "</prop.map>"),
      replaced("</prop.map>\n", "</prop.map>\n<!-- after -->"),
      canonical.substr(0, canonical.size() / 2),
  };
  for (std::string const& document : documents) {
    PropList fast, general;
    fast.SetValue(K("before"), true);
    general.SetValue(K("before"), true);
    std::vector<long> codes = Read(document, fast);
    bool const parsed = ReadGeneral(document, general);
    std::vector<long> expected;
    if (general.GetVersion() > 4) expected.push_back(20);
    if (!parsed) expected.push_back(22);
    EXPECT_EQ(expected, codes) << document;
    EXPECT_EQ(Write(general), Write(fast)) << document;
  }
}

}  // namespace
}  // namespace proplist
}  // namespace vireo
