// Number formatting and parsing: the layout rules, the open cases, and a million random values
// each against C formatting and stream extraction. Results that depend on the user's
// separators are checked under real locales by numbers_locale_test; here the texts either keep
// "." and "," or take the separators the platform reports.
#include "vireo/utility/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "tests/utility/NumberReference.h"
#include "vireo/platform/Locale.h"

namespace vireo {
namespace utility {
namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
int const kRandomValues = 200000;  // instrumented code is several times slower
#else
int const kRandomValues = 1000000;
#endif

UTF16String W(char const* text) {
  return UTF8to16(reinterpret_cast<unsigned char const*>(text), std::strlen(text));
}

std::string N(UTF16String const& s) {
  UTF8String const bytes = UTF16to8(s);
  return std::string(bytes.begin(), bytes.end());
}

// Formatting with "." and "," kept.
std::string F(double v, int minDigits, int decimals, Flags<unsigned short> flags = Flags<unsigned short>()) {
  return N(NumberToString(v, minDigits, decimals, flags | kNumberNoLocalSeparators));
}

double P(char const* text) { return StringToNumber(W(text), kNumberParseAsIs); }

bool SameDouble(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

testing::ReferenceSeparators PlatformSeparators() {
  testing::ReferenceSeparators user;
  platform::NumberSeparators found;
  if (platform::GetUserNumberSeparators(found)) {
    UTF16String const decimal = W(found.decimal), grouping = W(found.grouping);
    if (!decimal.empty()) user.decimal = decimal[0];
    if (!grouping.empty()) user.grouping = grouping[0];
  }
  return user;
}

TEST(NumberToString, Integers) {
  EXPECT_EQ(W("0"), NumberToString(0L));
  EXPECT_EQ(W("-42"), NumberToString(-42L));
  EXPECT_EQ(W("1234567"), NumberToString(1234567));  // never grouped or localised
  EXPECT_EQ(W("-9223372036854775808"), NumberToString(std::numeric_limits<long long>::min()));
  EXPECT_EQ(W("9223372036854775807"), NumberToString(std::numeric_limits<long long>::max()));
  EXPECT_EQ(W("FF"), NumberToHexString(255));
  EXPECT_EQ(W("FFFFFFFF"), NumberToHexString(-1));
  EXPECT_EQ(W("0"), NumberToHexString(0));
  EXPECT_EQ(W("ABCDEF"), NumberToHexString(0xABCDEF));
  EXPECT_EQ(W("80000000"), NumberToHexString(std::numeric_limits<int>::min()));
  EXPECT_EQ(W("1"), NumberToHexString(0x100000001L));  // the low 32 bits
}

TEST(NumberToString, DecimalsAndRounding) {
  EXPECT_EQ("3.14", F(3.14159, 1, 2));
  EXPECT_EQ("-0.50", F(-0.5, 1, 2));
  EXPECT_EQ("-0.00", F(-0.001, 1, 2));  // the sign follows the value
  EXPECT_EQ("-0.00", F(-0.0, 1, 2));    // not below 0.0, so printed as C prints it
  EXPECT_EQ("3", F(2.5, 1, 0));         // half up with no decimals
  EXPECT_EQ("-3", F(-2.5, 1, 0));
  EXPECT_EQ("1", F(0.49999999999999994, 1, 0));  // magnitude + 0.5 is already 1.0
  EXPECT_EQ("0.12", F(0.125, 1, 2));    // C rounds the exact binary value, ties to even
  EXPECT_EQ("0.13", F(0.126, 1, 2));
  EXPECT_EQ("1.000000", F(1.0, 1, -1));  // a negative count is C's default of six
  EXPECT_EQ("2147483647", F(2147483647.4, 1, 0));
}

TEST(NumberToString, PaddingGroupingSignAndTrimming) {
  EXPECT_EQ("0005", F(5.0, 4, 0));
  EXPECT_EQ("   5", F(5.0, 4, 0, kNumberPadWithSpaces));
  EXPECT_EQ("0,005", F(5.0, 4, 0, kNumberGroupThousands));
  EXPECT_EQ(" ,  5", F(5.0, 4, 0, kNumberGroupThousands | kNumberPadWithSpaces));
  EXPECT_EQ("1,234,567.89", F(1234567.891, 1, 2, kNumberGroupThousands));
  EXPECT_EQ("123,456", F(123456.0, 1, 0, kNumberGroupThousands));
  EXPECT_EQ("999", F(999.0, 1, 0, kNumberGroupThousands));
  EXPECT_EQ("-1,000.0", F(-999.96, 1, 1, kNumberGroupThousands));
  EXPECT_EQ("1.5", F(1.5, 1, 4, kNumberTrimZeros));
  EXPECT_EQ("2", F(2.0, 1, 3, kNumberTrimZeros));
  EXPECT_EQ("100", F(100.0, 1, 0, kNumberTrimZeros));  // no point: integer zeros stay
  EXPECT_EQ("+1.00", F(1.0, 1, 2, kNumberPlusSign));
  EXPECT_EQ(" 1.00", F(1.0, 1, 2, kNumberSpaceSign));
  EXPECT_EQ("+1.00", F(1.0, 1, 2, kNumberPlusSign | kNumberSpaceSign));
  EXPECT_EQ("-1.00", F(-1.0, 1, 2, kNumberPlusSign));
  EXPECT_EQ("+0,012.50", F(12.5, 4, 2, kNumberPlusSign | kNumberGroupThousands));
  EXPECT_EQ("0.5", F(0.5, 0, 1));
  EXPECT_EQ(std::string(200, '0') + "7", F(7.0, 201, 0));  // long padding leaves the buffer
}

TEST(NumberToString, ExponentFormBeyond22Characters) {
  EXPECT_EQ("1.000000e+30", F(1e30, 1, 2));
  EXPECT_EQ("-1.000000e+30", F(-1e30, 1, 2, kNumberGroupThousands | kNumberTrimZeros));
  EXPECT_EQ("1234567890123456768.00", F(1234567890123456789.0, 1, 2));  // 22 characters
  EXPECT_EQ("1.234568e+19", F(12345678901234567890.0, 1, 2));           // 23
  EXPECT_EQ("1.500000e+00", F(1.5, 1, 21));
  EXPECT_EQ("1.50000000000000000000", F(1.5, 1, 20));
  EXPECT_EQ("1.000000e-30", F(1e-30, 1, 30));
  EXPECT_EQ("1.000000e+300", F(1e300, 1, 0));
}

// The open cases, as decided: 0 decimals beyond 32 bits print the rounded magnitude's digits;
// infinities and NaN print C's words, with a sign prefix and nothing else.
TEST(NumberToString, LargeRoundedValuesInfinityAndNaN) {
  EXPECT_EQ("2147483648", F(2147483647.5, 1, 0));
  EXPECT_EQ("-4294967296", F(-4294967295.7, 1, 0));
  EXPECT_EQ("12,345,678,901", F(12345678901.2, 1, 0, kNumberGroupThousands));
  EXPECT_EQ("9999999999999997902848", F(std::nextafter(1e22, 0.0), 1, 0));  // 22 digits
  EXPECT_EQ("1.000000e+22", F(1e22, 1, 0));
  double const inf = std::numeric_limits<double>::infinity();
  double const nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ("inf", F(inf, 5, 2, kNumberGroupThousands | kNumberTrimZeros));
  EXPECT_EQ("-inf", F(-inf, 1, 0));
  EXPECT_EQ("+inf", F(inf, 1, 2, kNumberPlusSign));
  EXPECT_EQ("nan", F(nan, 1, 2));
  EXPECT_EQ("nan", F(-nan, 1, 0));
  EXPECT_EQ(" nan", F(nan, 3, 2, kNumberSpaceSign));
}

TEST(StringToNumber, ReadsTheLeadingNumber) {
  EXPECT_EQ(42.0, P("  42xyz"));
  EXPECT_EQ(0.0, P("abc"));
  EXPECT_EQ(0.0, P(""));
  EXPECT_EQ(-12.5, P("\t\n-12.5"));
  EXPECT_EQ(0.5, P(".5"));
  EXPECT_EQ(1.0, P("1."));
  EXPECT_EQ(1.5, P("+1.5.7"));
  EXPECT_EQ(1500.0, P("1.5e3"));
  EXPECT_EQ(1500.0, P("1.5E+3x"));
  EXPECT_EQ(0.015, P("1.5e-2"));
  EXPECT_EQ(12.0, P("0012"));
  EXPECT_EQ(1234567.0, P("1,234,567"));  // commas go, also as is
  EXPECT_EQ(1234.5, P("1,234.5"));
  EXPECT_TRUE(SameDouble(-0.0, P("-0")));
}

TEST(StringToNumber, WhatStreamExtractionRefuses) {
  EXPECT_EQ(0.0, P("1e"));   // an exponent without digits fails the whole number
  EXPECT_EQ(0.0, P("1e+"));
  EXPECT_EQ(0.0, P("2.5E-x"));
  EXPECT_EQ(0.0, P("."));
  EXPECT_EQ(0.0, P("-"));
  EXPECT_EQ(0.0, P("e5"));
  EXPECT_EQ(0.0, P("inf"));
  EXPECT_EQ(0.0, P("nan"));
  EXPECT_EQ(0.0, P("0x1A"));  // reads "0", then stops
  EXPECT_EQ(0.0, P("+-1"));
  EXPECT_EQ(std::numeric_limits<double>::max(), P("1e999"));
  EXPECT_EQ(-std::numeric_limits<double>::max(), P("-123456789e400"));
  EXPECT_TRUE(SameDouble(0.0, P("1e-999")));
  EXPECT_TRUE(SameDouble(-0.0, P("-0.0001e-330")));
  EXPECT_EQ(4.9406564584124654e-324, P("4.9e-324"));
}

TEST(StringToNumber, FullWidthAndIdeographicForms) {
  unsigned short const digits[] = {0xFF11, 0xFF12, 0xFF13, 0};  // full-width 1 2 3
  EXPECT_EQ(123.0, StringToNumber(UTF16String(digits), Flags<unsigned short>()));
  EXPECT_EQ(0.0, StringToNumber(UTF16String(digits), kNumberParseAsIs));
  // Ideographic comma and full stop, full-width minus and point, then the same "1,234.5" in
  // ASCII, give the same number wherever "." and "," are the user's separators.
  UTF16String const ideographic = {0xFF0D, u'1', 0x3001, u'2', u'3', u'4', 0x3002, u'5'};
  UTF16String const fullWidth = {0xFF0D, u'1', 0xFF0C, u'2', u'3', u'4', 0xFF0E, u'5'};
  EXPECT_EQ(StringToNumber(W("-1,234.5"), Flags<unsigned short>()),
            StringToNumber(ideographic, Flags<unsigned short>()));
  EXPECT_EQ(StringToNumber(W("-1,234.5"), Flags<unsigned short>()),
            StringToNumber(fullWidth, Flags<unsigned short>()));
  // A NUL unit ends the text; other units stop the number.
  EXPECT_EQ(12.0, StringToNumber(UTF16String{u'1', u'2', 0, u'3'}, kNumberParseAsIs));
  EXPECT_EQ(7.0, StringToNumber(UTF16String{u'7', 0x0660}, kNumberParseAsIs));
}

TEST(StringToNumber, LongInputs) {
  std::string digits(100000, '9');
  EXPECT_EQ(std::numeric_limits<double>::max(), P(digits.c_str()));
  std::string small = "0." + std::string(5000, '0') + "1";
  EXPECT_TRUE(SameDouble(0.0, P(small.c_str())));
  std::string exact = "1" + std::string(400, '0') + "e-400";
  EXPECT_EQ(1.0, P(exact.c_str()));
}

// ---- a million random values each against the reference ---------------------------------

double RandomDouble(std::mt19937_64& random) {
  switch (random() % 8) {
    case 0: {  // any bit pattern: subnormals, huge values, infinities, NaNs
      std::uint64_t bits = random();
      double v;
      std::memcpy(&v, &bits, sizeof v);
      return v;
    }
    case 1:  // ties of the binary value: n / 8
      return static_cast<double>(static_cast<std::int64_t>(random() % 200001) - 100000) / 8.0;
    case 2:  // around the 32-bit limit
      return std::ldexp(static_cast<double>(random() % 4096), 20) + (random() % 1000) / 1000.0;
    default: {
      double const mantissa = static_cast<double>(random() >> 11) / 9007199254740992.0;
      int const exponent = static_cast<int>(random() % 61) - 30;
      double const v = mantissa * std::pow(10.0, exponent);
      return random() % 2 ? -v : v;
    }
  }
}

TEST(NumberToString, MatchesCFormattingOnRandomValues) {
  testing::ReferenceSeparators const user = PlatformSeparators();
  std::mt19937_64 random(20240611);
  int mismatches = 0;
  for (int i = 0; i < kRandomValues; ++i) {
    double const v = RandomDouble(random);
    int const minDigits = static_cast<int>(random() % 14);
    int decimals = static_cast<int>(random() % 8);
    if (random() % 16 == 0) decimals = static_cast<int>(random() % 26) - 2;
    unsigned const flags = static_cast<unsigned>(random() % 64);
    UTF16String const got = NumberToString(v, minDigits, decimals, Flags<unsigned short>(static_cast<unsigned short>(flags)));
    UTF16String const want = testing::ReferenceNumberToString(v, minDigits, decimals, flags, user);
    if (got != want && ++mismatches <= 10)
      ADD_FAILURE() << std::hexfloat << v << " " << minDigits << " " << decimals << " " << flags
                    << ": " << N(got) << " instead of " << N(want);
  }
  EXPECT_EQ(0, mismatches);
  // The one-argument form is two decimals with the user's separators.
  for (double v : {3.14159, -0.5, 1234567.891, 1e30})
    EXPECT_EQ(testing::ReferenceNumberToString(v, 1, 2, 0, user), NumberToString(v));
}

UTF16String RandomNumberText(std::mt19937_64& random) {
  static unsigned short const alphabet[] = {
      u'0', u'1', u'2', u'5', u'7', u'9', u'0', u'3', u'8', u'.', u'.', u',', u'e', u'E',
      u'+', u'-', u' ', u'\t', u'x', u'a', 0xFF10, 0xFF19, 0xFF0E, 0xFF0C, 0x3001, 0x3002,
      0xFF0D, 0x00A0, 0x0660, 0};
  UTF16String text;
  if (random() % 4 == 0) {  // a formatted number, maybe cut
    double const v = RandomDouble(random);
    text = NumberToString(v, static_cast<int>(random() % 5), static_cast<int>(random() % 9),
                          Flags<unsigned short>(static_cast<unsigned short>(random() % 64)));
    text.resize(random() % (text.size() + 1));
    return text;
  }
  std::size_t const length = random() % 24;
  for (std::size_t i = 0; i < length; ++i) {
    std::size_t const k = random() % (sizeof alphabet / sizeof alphabet[0]);
    // Mostly digits, and a NUL only rarely.
    text.push_back(alphabet[k == 29 && random() % 8 ? 0 : k]);
  }
  return text;
}

TEST(StringToNumber, MatchesStreamExtractionOnRandomTexts) {
  testing::ReferenceSeparators const user = PlatformSeparators();
  std::mt19937_64 random(77031);
  int mismatches = 0;
  for (int i = 0; i < kRandomValues; ++i) {
    UTF16String const text = RandomNumberText(random);
    unsigned const flags = random() % 2 ? 0x0002 : 0;
    double const got = StringToNumber(text, Flags<unsigned short>(static_cast<unsigned short>(flags)));
    double const want = testing::ReferenceStringToNumber(text, flags, user);
    if (!SameDouble(got, want) && ++mismatches <= 10)
      ADD_FAILURE() << "'" << N(text) << "' (" << flags << "): " << got << " instead of " << want;
  }
  EXPECT_EQ(0, mismatches);
}

TEST(NumberRoundTrip, FormattedValuesParseBack) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 10000; ++i) {
    double const v = static_cast<double>(static_cast<std::int64_t>(random() % 2000000001) - 1000000000) / 1000.0;
    for (auto flags : {Flags<unsigned short>(), kNumberGroupThousands, kNumberPlusSign | kNumberGroupThousands})
      EXPECT_EQ(v, StringToNumber(NumberToString(v, 1, 3, flags), Flags<unsigned short>())) << v;
  }
}

TEST(Flags, BitsCombineAndTest) {
  Flags<unsigned short> flags(0x0001);
  EXPECT_TRUE(flags.IsSet(kNumberNoLocalSeparators));
  EXPECT_FALSE(flags.IsSet(kNumberTrimZeros));
  flags |= kNumberTrimZeros;
  EXPECT_EQ(0x0005, flags.Value());
  EXPECT_TRUE(flags.IsSet(kNumberTrimZeros | kNumberNoLocalSeparators));
  EXPECT_FALSE(flags.IsSet(kNumberTrimZeros | kNumberPlusSign));
  EXPECT_FALSE(flags.IsSet(Flags<unsigned short>()));
  EXPECT_EQ(kNumberParseAsIs, kNumberPadWithSpaces);
  EXPECT_EQ(Flags<unsigned short>(0x0030), kNumberPlusSign | kNumberSpaceSign);
  EXPECT_EQ(kNumberPlusSign, (kNumberPlusSign | kNumberSpaceSign) & Flags<unsigned short>(0x0010));
}

}  // namespace
}  // namespace utility
}  // namespace vireo
