// The native and default locales and the two readings of a displayed number, under real user
// locales. CTest runs this program with LC_ALL set to de_DE.UTF-8 ("," decimal, "." grouping),
// en_US.UTF-8 ("." and ","), C, and a name no system has (the native locale is then the
// classic one); the native locale is built once per process.
#include "vireo/utility/Locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <string>

#include "vireo/utility/TextStreams.h"

namespace vireo {
namespace {

using utility::UTF16String;

UTF16String W(std::string const& text) {
  return utility::UTF8to16(reinterpret_cast<unsigned char const*>(text.data()), text.size());
}

std::string N(UTF16String const& s) {
  utility::UTF8String const bytes = utility::UTF16to8(s);
  return std::string(bytes.begin(), bytes.end());
}

enum Kind { kGerman, kAmerican, kClassic };

Kind UserKind() {
  char const* const name = std::getenv("LC_ALL");
  if (name && std::strncmp(name, "de_DE", 5) == 0) return kGerman;
  if (name && std::strncmp(name, "en_US", 5) == 0) return kAmerican;
  return kClassic;  // C, unset, or a name no system has
}

TEST(NativeLocale, UnitFacetsTakeTheUserSeparators) {
  std::numpunct<unsigned short> const& p16 = std::use_facet<std::numpunct<unsigned short> >(Locale::Native());
  std::numpunct<unsigned char> const& p8 = std::use_facet<std::numpunct<unsigned char> >(Locale::Native());
  std::numpunct<char> const& narrow = std::use_facet<std::numpunct<char> >(Locale::Native());
  unsigned short const decimal = UserKind() == kGerman ? u',' : u'.';
  EXPECT_EQ(decimal, p16.decimal_point());
  EXPECT_EQ(decimal, p8.decimal_point());
  EXPECT_EQ(static_cast<char>(decimal), narrow.decimal_point());
  if (UserKind() == kClassic) {
    EXPECT_EQ("", p16.grouping());
  } else {
    EXPECT_EQ(UserKind() == kGerman ? u'.' : u',', p16.thousands_sep());
    EXPECT_EQ(UserKind() == kGerman ? '.' : ',', p8.thousands_sep());
    EXPECT_EQ(narrow.grouping(), p16.grouping());
    EXPECT_EQ(narrow.grouping(), p8.grouping());
    EXPECT_FALSE(p16.grouping().empty());
  }
  std::basic_string<unsigned short> const truename = p16.truename();
  EXPECT_EQ(W("true"), UTF16String(truename.begin(), truename.end()));
}

std::string Expected(char const* german, char const* american, char const* classic) {
  return UserKind() == kGerman ? german : UserKind() == kAmerican ? american : classic;
}

TEST(NativeLocale, ImbuedIntoEveryKindOfStream) {
  oUTF16StringStream out16;
  ASSERT_NO_THROW(out16.imbue(Locale::Native()));
  out16 << std::fixed << std::setprecision(1) << 1234567.5 << ' ' << -42 << ' ' << true;
  EXPECT_EQ(Expected("1.234.567,5 -42 1", "1,234,567.5 -42 1", "1234567.5 -42 1"),
            N(out16.str()));

  oUTF8StringStream out8;
  ASSERT_NO_THROW(out8.imbue(Locale::Native()));
  out8 << std::fixed << std::setprecision(2) << 1234.5;
  utility::UTF8String const text8 = out8.str();
  EXPECT_EQ(Expected("1.234,50", "1,234.50", "1234.50"), std::string(text8.begin(), text8.end()));

  std::ostringstream narrow;
  narrow.imbue(Locale::Native());
  narrow << std::fixed << std::setprecision(1) << 1234.5;
  EXPECT_EQ(Expected("1.234,5", "1,234.5", "1234.5"), narrow.str());

  // What the native locale writes, it reads back.
  iUTF16StringStream in(out16.str());
  in.imbue(Locale::Native());
  double value = 0.0;
  long integer = 0;
  in >> value >> integer;
  EXPECT_EQ(1234567.5, value);
  EXPECT_EQ(-42, integer);

  UTF16OutputStream redirected(out16.rdbuf());
  EXPECT_NO_THROW(redirected.imbue(Locale::Native()));
}

TEST(DefaultLocale, IsTheClassicOneWithTheUnitFacets) {
  EXPECT_EQ(&Locale::Default(), &Locale::Default());
  oUTF16StringStream out;
  out.imbue(Locale::Default());
  out << std::fixed << std::setprecision(1) << 1234567.5;
  EXPECT_EQ("1234567.5", N(out.str()));
  iUTF16StringStream in(W("1,5"));
  in.imbue(Locale::Default());
  double value = 0.0;
  in >> value;
  EXPECT_EQ(1.0, value);
  EXPECT_EQ('.', std::use_facet<std::numpunct<char> >(Locale::Default()).decimal_point());
}

TEST(DisplayString, TheReadingFurtherFromZeroWins) {
  struct Case {
    char const* text;
    double german, american, classic;
  } const cases[] = {
      {"", 0, 0, 0},
      {"abc", 0, 0, 0},
      {"12", 12, 12, 12},
      {"1,5", 1.5, 15, 1},             // en: "," groups (badly), and A keeps what it read
      {"1.234,5", 1234.5, 1.234, 1.234},
      {"1,234.5", 1.234, 1234.5, 1},
      {"-1,5", -1.5, -15, -1},
      {"-1,234.5", -1.234, -1234.5, -1},
      {"2.5", 25, 2.5, 2.5},           // de: "." groups (badly)
      {"0,5", 0, 0, 0},                // B is 0, so B stands, even where A is 0.5
      {"  7,25kg", 7.25, 725, 7},
      {"1e3", 1000, 1000, 1000},
  };
  for (Case const& c : cases) {
    double const expected = UserKind() == kGerman     ? c.german
                            : UserKind() == kAmerican ? c.american
                                                      : c.classic;
    EXPECT_EQ(expected, Locale::GetValueFromDisplayString(W(c.text))) << c.text;
  }
}

}  // namespace
}  // namespace vireo
