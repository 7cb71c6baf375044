// Placeholder filling in message texts.
#include "vireo/utility/StringUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace vireo {
namespace utility {
namespace {

UTF16String W(char const* ascii) {
  UTF16String s;
  for (; *ascii; ++ascii) s.push_back(static_cast<unsigned char>(*ascii));
  return s;
}

std::string Narrow(UTF16String const& s) {
  std::string out;
  for (unsigned short unit : s) out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  return out;
}

// Fills text with r0..r9 taken from a list; missing ones are empty.
std::string Fill(char const* text, std::initializer_list<char const*> values) {
  UTF16String r[10];
  std::size_t i = 0;
  for (char const* value : values) r[i++] = W(value);
  return Narrow(ReplaceInString(W(text), r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9]));
}

TEST(ReplaceInString, FillsNumberedPlaceholders) {
  EXPECT_EQ("Could not rename the file 'a.txt' to 'b.txt'.",
            Fill("Could not rename the file '@0' to '@1'.", {"a.txt", "b.txt"}));
  EXPECT_EQ("9876543210",
            Fill("@9@8@7@6@5@4@3@2@1@0", {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_EQ("x-x", Fill("@0-@0", {"x"}));
  EXPECT_EQ("ab", Fill("a@5b", {"unused"}));  // an empty replacement disappears
}

TEST(ReplaceInString, AtSignsThatAreNoPlaceholder) {
  EXPECT_EQ("@0", Fill("@@0", {"r0"}));           // two at signs give one; r0 unused
  EXPECT_EQ("@r0", Fill("@@@0", {"r0"}));
  EXPECT_EQ("a@", Fill("a@", {"r0"}));             // last unit
  EXPECT_EQ("@", Fill("@", {}));
  EXPECT_EQ("mail@x.org", Fill("mail@x.org", {"r0"}));  // followed by a letter
  EXPECT_EQ("@-r0", Fill("@-@0", {"r0"}));
  // An at sign before another at sign's placeholder: the pair wins, the digit stays.
  EXPECT_EQ("@1", Fill("@@1", {"", "one"}));
  EXPECT_EQ("", Fill("", {"r0"}));
}

TEST(ReplaceInString, ReplacementsAreNotExpandedAgain) {
  EXPECT_EQ("@1 and @@", Fill("@0 and @1", {"@1", "@@"}));
}

TEST(ReplaceInString, KeepsNonAsciiUnitsAndInsertsReplacementsWhole) {
  UTF16String const text = {0x00E9, u'@', u'0', 0xD83D, 0xDE00, u'@'};
  UTF16String const r0 = {0x20AC, 0};  // an embedded NUL is inserted as it is
  UTF16String const empty;
  UTF16String const expected = {0x00E9, 0x20AC, 0, 0xD83D, 0xDE00, u'@'};
  EXPECT_EQ(expected,
            ReplaceInString(text, r0, empty, empty, empty, empty, empty, empty, empty, empty, empty));
}

}  // namespace
}  // namespace utility
}  // namespace vireo
