// Numbers under a real user locale. CTest runs this program three times, with LC_ALL set to
// de_DE.UTF-8 ("," decimal, "." grouping), en_US.UTF-8 ("." and ",") and C ("." and no
// grouping, so the default "," stays); the expectations follow LC_ALL.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "vireo/platform/Locale.h"
#include "vireo/utility/Calculator.h"
#include "vireo/utility/Numbers.h"

namespace vireo {
namespace utility {
namespace {

UTF16String W(char const* text) {
  return UTF8to16(reinterpret_cast<unsigned char const*>(text), std::strlen(text));
}

std::string N(UTF16String const& s) {
  UTF8String const bytes = UTF16to8(s);
  return std::string(bytes.begin(), bytes.end());
}

bool German() {
  char const* const name = std::getenv("LC_ALL");
  return name && std::strncmp(name, "de_DE", 5) == 0;
}

bool Classic() {
  char const* const name = std::getenv("LC_ALL");
  return !name || std::strcmp(name, "C") == 0;
}

double Parse(char const* text) { return StringToNumber(W(text), Flags<unsigned short>()); }

TEST(UserLocale, PlatformReportsTheSeparators) {
  platform::NumberSeparators separators;
  ASSERT_TRUE(platform::GetUserNumberSeparators(separators)) << std::getenv("LC_ALL");
  if (German()) {
    EXPECT_STREQ(",", separators.decimal);
    EXPECT_STREQ(".", separators.grouping);
  } else if (Classic()) {
    EXPECT_STREQ(".", separators.decimal);
    EXPECT_STREQ("", separators.grouping);  // the default "," stays
  } else {
    EXPECT_STREQ(".", separators.decimal);
    EXPECT_STREQ(",", separators.grouping);
  }
  char charset[32];
  EXPECT_TRUE(platform::GetUserCharacterSet(charset, sizeof charset));
  EXPECT_STREQ(Classic() ? "ANSI_X3.4-1968" : "UTF-8", charset);
}

TEST(UserLocale, FormattingTakesTheUserSeparators) {
  Flags<unsigned short> const group = kNumberGroupThousands;
  if (German()) {
    EXPECT_EQ("1.234,5", N(NumberToString(1234.5, 1, 1, group)));
    EXPECT_EQ("3,14", N(NumberToString(3.14159)));
    EXPECT_EQ("-1.234.567,89", N(NumberToString(-1234567.891, 1, 2, group)));
    EXPECT_EQ("1,000000e+30", N(NumberToString(1e30, 1, 2, group)));
  } else {
    EXPECT_EQ("1,234.5", N(NumberToString(1234.5, 1, 1, group)));
    EXPECT_EQ("3.14", N(NumberToString(3.14159)));
    EXPECT_EQ("-1,234,567.89", N(NumberToString(-1234567.891, 1, 2, group)));
    EXPECT_EQ("1.000000e+30", N(NumberToString(1e30, 1, 2, group)));
  }
  // Kept as printed, whatever the locale; and a separator before no digit stays too.
  EXPECT_EQ("1,234.5", N(NumberToString(1234.5, 1, 1, group | kNumberNoLocalSeparators)));
  EXPECT_EQ(" ,  5", N(NumberToString(5.0, 4, 0, group | kNumberPadWithSpaces)));
  EXPECT_EQ("42", N(NumberToString(42L)));
  EXPECT_EQ("1234567", N(NumberToString(1234567LL)));
}

TEST(UserLocale, ParsingTakesTheUserSeparators) {
  if (German()) {
    EXPECT_EQ(1234.5, Parse("1.234,5"));
    EXPECT_EQ(1.5, Parse("1,5"));
    EXPECT_EQ(1.2345, Parse("1,234.5"));  // "," is the point here, "." a group mark
  } else {
    EXPECT_EQ(1234.5, Parse("1,234.5"));
    EXPECT_EQ(2.5, Parse("2.5"));
    EXPECT_EQ(15.0, Parse("1,5"));
  }
  // As is: only "." is a point, and commas still go.
  EXPECT_EQ(1234.5, StringToNumber(W("1,234.5"), kNumberParseAsIs));
  EXPECT_EQ(1.2345, StringToNumber(W("1.234,5"), kNumberParseAsIs));
  // Full-width digits and the ideographic full stop, which is "." before the user's mapping.
  UTF16String const ideographic = {0xFF11, 0xFF12, 0x3002, 0xFF15};
  EXPECT_EQ(German() ? 125.0 : 12.5, StringToNumber(ideographic, Flags<unsigned short>()));
}

TEST(UserLocale, FormattedNumbersReadBack) {
  for (double v : {0.0, -0.25, 1234.5, -9876543.21, 1e-5})
    for (auto flags : {Flags<unsigned short>(), kNumberGroupThousands | kNumberPlusSign})
      EXPECT_DOUBLE_EQ(v, StringToNumber(NumberToString(v, 1, 6, flags), Flags<unsigned short>()))
          << N(NumberToString(v, 1, 6, flags));
}

TEST(UserLocale, CalculatorNumbersTakeTheUserSeparators) {
  if (German()) {
    EXPECT_EQ(3.0, Calculate(W("1,5*2")));
    EXPECT_EQ(1001.0, Calculate(W("1.000+1")));
    EXPECT_EQ(-0.25, Calculate(W("0,5-0,75")));
  } else {
    EXPECT_EQ(3.0, Calculate(W("1.5*2")));
    EXPECT_EQ(1001.0, Calculate(W("1,000+1")));
    EXPECT_EQ(-0.25, Calculate(W("0.5-0.75")));
  }
}

}  // namespace
}  // namespace utility
}  // namespace vireo
