// Placeholder filling, replacing, hexadecimal reduction, line endings and full-width forms.
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

UTF16String Replaced(char const* text, char const* from, char const* to) {
  UTF16String s = W(text);
  ReplaceAllStringInString(s, W(from), W(to));
  return s;
}

TEST(ReplaceAllStringInString, ReplacesLeftToRightWithoutSearchingInsertedText) {
  EXPECT_EQ(W("aaaaaa"), Replaced("aaa", "a", "aa"));
  EXPECT_EQ(W("1234567"), Replaced("1,234,567", ",", ""));
  EXPECT_EQ(W("xa"), Replaced("aaa", "aa", "x"));  // no overlap: the second match starts after
  EXPECT_EQ(W("<b><b>"), Replaced("bb", "b", "<b>"));
  EXPECT_EQ(W("abc"), Replaced("abc", "abcd", "x"));
  EXPECT_EQ(W("X"), Replaced("abc", "abc", "X"));
  EXPECT_EQ(W(""), Replaced("", "a", "b"));
}

TEST(ReplaceAllStringInString, EmptyFromLeavesTheTextUnchanged) {
  EXPECT_EQ(W("abc"), Replaced("abc", "", "x"));
  EXPECT_EQ(W(""), Replaced("", "", "x"));
}

TEST(ValidateForHex, KeepsUpperCaseHexadecimalDigitsOnly) {
  UTF16String s = W("0x1f-Ab g");
  ValidateForHex(s);
  EXPECT_EQ(W("01FAB"), s);
  s = W("deadBEEF 42 xyz");
  ValidateForHex(s);
  EXPECT_EQ(W("DEADBEEF42"), s);
  // Full-width letters upper-case but are no hexadecimal digits; U+FB00 ("ff") upper-cases to
  // "FF" first, which are.
  s = UTF16String{0xFF41, u'1', 0xFB00};
  ValidateForHex(s);
  EXPECT_EQ(W("1FF"), s);
  s = W("-+ ");
  ValidateForHex(s);
  EXPECT_EQ(UTF16String(), s);
}

TEST(LineEndings, GetLineEndingTexts) {
  EXPECT_EQ(W("\r\n"), GetLineEnding(kLineEndingCRLF));
  EXPECT_EQ(W("\r"), GetLineEnding(kLineEndingCR));
  EXPECT_EQ(W("\n"), GetLineEnding(kLineEndingLF));
  EXPECT_EQ(UTF16String(), GetLineEnding(static_cast<LineEndingType>(3)));
  EXPECT_EQ(UTF16String(), GetLineEnding(static_cast<LineEndingType>(-1)));
}

UTF16String Converted(LineEndingType type, char const* text) {
  UTF16String s = W(text);
  ConvertLineEndings(type, s);
  return s;
}

TEST(LineEndings, ConvertsEveryKindOfEnding) {
  EXPECT_EQ(W("a\nb\nc"), Converted(kLineEndingLF, "a\r\nb\rc"));
  EXPECT_EQ(W("a\r\nb\r\nc\r\n"), Converted(kLineEndingCRLF, "a\nb\rc\r\n"));
  EXPECT_EQ(W("\r\n\r\n"), Converted(kLineEndingCRLF, "\n\r"));  // LF CR is two endings
  EXPECT_EQ(W("a\r\rb\r"), Converted(kLineEndingCR, "a\r\n\nb\r"));
  EXPECT_EQ(W("x\n\ny"), Converted(kLineEndingLF, "x\r\r\ny"));  // CR, then CR LF
  EXPECT_EQ(W("no endings"), Converted(kLineEndingCRLF, "no endings"));
  EXPECT_EQ(W(""), Converted(kLineEndingLF, ""));
}

TEST(LineEndings, TextWhoseEndingsAllMatchStaysUntouched) {
  UTF16String s = W("a\r\nb\r\n");
  UTF16String::const_pointer const before = s.data();
  ConvertLineEndings(kLineEndingCRLF, s);
  EXPECT_EQ(W("a\r\nb\r\n"), s);
  EXPECT_EQ(before, s.data());  // not rebuilt
}

TEST(LineEndings, EmptyTargetRemovesEndingsUnlessNothingElseIsLeft) {
  LineEndingType const none = static_cast<LineEndingType>(7);
  EXPECT_EQ(W("abc"), Converted(none, "a\r\nb\nc\r"));
  EXPECT_EQ(W("\r\n\n\r"), Converted(none, "\r\n\n\r"));  // all endings: unchanged
  EXPECT_EQ(W("x"), Converted(none, "\nx"));
}

TEST(ToNumericCase, FullWidthPunctuationAndDigitsBecomeAscii) {
  unsigned short unit = 0xFF11;
  EXPECT_TRUE(ToNumericCase(unit));
  EXPECT_EQ(u'1', unit);
  unit = 0xFF21;  // full-width A stays
  EXPECT_FALSE(ToNumericCase(unit));
  EXPECT_EQ(0xFF21, unit);
  for (unsigned short u : {0xFF00, 0xFF20, 0xFF5E, 0x3002}) {
    unit = u;
    EXPECT_FALSE(ToNumericCase(unit)) << std::hex << u;
    EXPECT_EQ(u, unit);
  }
  unit = 0xFF01;
  EXPECT_TRUE(ToNumericCase(unit));
  EXPECT_EQ(u'!', unit);
  unit = 0xFF1F;
  EXPECT_TRUE(ToNumericCase(unit));
  EXPECT_EQ(u'?', unit);

  UTF16String s = {0xFF11, 0xFF0E, 0xFF15, u'x', 0xFF41};
  EXPECT_TRUE(ToNumericCase(s));
  EXPECT_EQ((UTF16String{u'1', u'.', u'5', u'x', 0xFF41}), s);
  EXPECT_FALSE(ToNumericCase(s));
  UTF16String empty;
  EXPECT_FALSE(ToNumericCase(empty));
}

}  // namespace
}  // namespace utility
}  // namespace vireo
