// The calculator: binding order, the operators it drops, division by zero, parentheses,
// tolerant input, long and deeply nested input, and random texts against the step-by-step
// reference. Texts here use "." and no group marks, which every user locale reads alike;
// the user's separators are checked under real locales by numbers_locale_test.
#include "vireo/utility/Calculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "tests/utility/CalculatorReference.h"

namespace vireo {
namespace utility {
namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
int const kRandomTexts = 30000;  // instrumented code is several times slower
#else
int const kRandomTexts = 100000;
#endif

UTF16String W(std::string const& text) {
  return UTF8to16(reinterpret_cast<unsigned char const*>(text.data()), text.size());
}

double C(std::string const& text) { return Calculate(W(text)); }

bool SameValue(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

struct Case {
  char const* text;
  double value;
};

void ExpectAll(Case const* begin, Case const* end) {
  for (Case const* c = begin; c != end; ++c) {
    EXPECT_EQ(c->value, C(c->text)) << c->text;
    EXPECT_TRUE(SameValue(testing::ReferenceCalculate(W(c->text)), C(c->text))) << c->text;
  }
}

TEST(Calculate, BindingFromTheExponentLetterToPower) {
  Case const cases[] = {
      {"1+2*3", 7},       {"(1+2)*3", 9},      {"10-4-3", 3},     {"8/4/2", 1},
      {"2^3^2", 64},      {"1+2e2", 300},      {"2e2+1", 2000},  // 2 times 10^(2+1)
      {"1e5e2", 1e7},     {"2E3", 2000},       {"1e-3", 0.001},   {"1.5e1*2", 150},
      {"8/2^2", 2},       {"2*3^2", 18},       {"2^2*3", 12},     {"1+2*3^2/3", 7},
      {"8-2*3", 2},       {"1-2+3", 2},        {"12/3*2", 8},     {"2*3/4*5", 7.5},
      {"0.5*4", 2},       {"-5", -5},          {"+5", 5},         {"-2^2", -4},
      {"(2)^(1+1)", 4},   {"2^0.5", std::pow(2.0, 0.5)},
  };
  ExpectAll(cases, cases + sizeof cases / sizeof cases[0]);
}

TEST(Calculate, OperatorsAfterOperatorsAndDivisionByZero) {
  Case const cases[] = {
      {"2*-3", -3},   // (2*0)-3
      {"2^-1", 0},    // (2^0)-1
      {"2**3", 6},    {"2*/3", 6},     {"*5", 5},      {"^2", 2},      {"e3", 3},
      {"2^^3", 8},    {"2+*3", 5},     {"5**2+1", 11}, {"2*e3", 6},    {"--5", -5},
      {"1--1", 0},    {"1+", 1},       {"1e", 1},      {"-", 0},       {"+-", 0},
      {"7/0", 7},     {"7/(1-1)", 7},  {"0/0", 0},     {"7/-0", 7},    {"-7/0", -7},
      {"1/4", 0.25},
  };
  ExpectAll(cases, cases + sizeof cases / sizeof cases[0]);
}

TEST(Calculate, Parentheses) {
  Case const cases[] = {
      {"((4))", 4},        {"(1)+(2)", 3},     {"((1+2))*((3))", 9}, {"(-(2))", -2},
      {"((1)+(2))", 0},    // both pairs go, "1)+(2" is out of order: read whole, as a number
      {"(1+2", 0},         // never closed: nothing outside it
      {"2(3)", 2},         // no operator: the number at the start
      {"(2)3", 0},         {"1)+2", 1},        {"1)+(2", 1},         {"((2)", 0},
      {"(2)*(3)+(4)", 10}, {"(((1)))e(1)", 10},
  };
  ExpectAll(cases, cases + sizeof cases / sizeof cases[0]);
}

TEST(Calculate, TolerantInput) {
  Case const cases[] = {
      {"", 0},      {"abc", 0},      {" 1 2", 12},    {"1 + 2 apples", 3},  {"x", 0},
      {"..", 0},    {"1.2.3", 1.2},  {"5", 5},        {"=2*3", 6},          {"\t4\n/2", 2},
  };
  ExpectAll(cases, cases + sizeof cases / sizeof cases[0]);
  // Full-width digits and operators, ideographic full stop.
  EXPECT_EQ(3, Calculate(UTF16String{0xFF11, 0xFF0B, 0xFF12}));
  EXPECT_EQ(1.5 * 4, Calculate(UTF16String{0xFF11, 0x3002, 0xFF15, 0xFF0A, 0xFF14}));
  EXPECT_EQ(4, Calculate(UTF16String{0xFF08, 0xFF11, 0xFF0B, 0xFF11, 0xFF09, 0xFF0A, 0xFF12}));
  // Units the filter drops, NUL and surrogates among them.
  EXPECT_EQ(12, Calculate(UTF16String{u'1', 0, 0xD800, u'2'}));
}

// Long and deeply nested texts: exact values, no stack exhaustion, linear time.
TEST(Calculate, LongAndDeeplyNestedInput) {
  std::size_t const n = 100000;
  std::string nested = std::string(n / 2, '(') + "1+2" + std::string(n / 2, ')');
  EXPECT_EQ(3, C(nested));

  // Each pair holds an operator: one level per pair.
  std::string chain;
  for (std::size_t i = 0; i < n / 2; ++i) chain += '(';
  chain += "0";
  for (std::size_t i = 0; i < n / 2; ++i) chain += "+1)";
  EXPECT_EQ(static_cast<double>(n / 2), C(chain));
  std::string right;  // (1+(1+(1+...)))
  for (std::size_t i = 0; i < n / 2; ++i) right += "(1+";
  right += "0" + std::string(n / 2, ')');
  EXPECT_EQ(static_cast<double>(n / 2), C(right));

  // A mebibyte of digits and operators.
  std::string sum;
  while (sum.size() < (1u << 20)) sum += "1+";
  sum += "1";
  EXPECT_EQ(static_cast<double>(sum.size() / 2 + 1), C(sum));
  std::string product;
  while (product.size() < (1u << 20)) product += "2*0.5/1^1-0+";
  EXPECT_EQ(static_cast<double>(product.size() / 12), C(product + "0"));
  std::string digits(1u << 20, '9');
  EXPECT_EQ(std::numeric_limits<double>::max(), C(digits));
  std::string operators(1u << 20, '*');
  EXPECT_EQ(0, C(operators));
  std::string open(1u << 20, '(');
  EXPECT_EQ(0, C(open));
  std::string closing(1u << 20, ')');
  EXPECT_EQ(0, C(closing + "+1"));
}

// Random texts from the units that matter, evaluated both ways.
TEST(Calculate, MatchesTheStepByStepRulesOnRandomTexts) {
  static char const kAlphabet[] = "0123456789()+-*/^eE.,  x";
  std::mt19937_64 random(4711);
  for (int round = 0; round < kRandomTexts; ++round) {
    std::string text;
    std::size_t const length = random() % 20;
    for (std::size_t i = 0; i < length; ++i) {
      // Digits twice as likely, so that numbers form.
      std::size_t const k = random() % (sizeof kAlphabet - 1 + 10);
      text += k < sizeof kAlphabet - 1 ? kAlphabet[k] : static_cast<char>('0' + (k - sizeof kAlphabet + 1));
    }
    double const got = C(text);
    double const want = testing::ReferenceCalculate(W(text));
    ASSERT_TRUE(SameValue(want, got)) << text << ": " << got << " instead of " << want;
  }
}

}  // namespace
}  // namespace utility
}  // namespace vireo
