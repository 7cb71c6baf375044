// The calculator's rules followed step by step, for the tests: every call copies its text,
// splits it at the chosen operator and calls itself for both sides. Quadratic and recursive,
// so only for short texts; the library's results must equal these exactly.
#ifndef VIREO_TESTS_UTILITY_CALCULATORREFERENCE_H
#define VIREO_TESTS_UTILITY_CALCULATORREFERENCE_H

#include <cmath>

#include "vireo/utility/Numbers.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace testing {

inline double ReferenceCalculate(utility::UTF16String text) {
  using utility::UTF16String;
  // Normalise, then keep only the units an expression uses.
  UTF16String filtered;
  for (unsigned short unit : text) {
    if (unit == 0x3001) unit = u',';
    if (unit == 0x3002) unit = u'.';
    if (unit >= 0xFF01 && unit <= 0xFF1F) unit = static_cast<unsigned short>(unit - 0xFEE0);
    static char16_t const kKept[] = u"0123456789()+-*/.,^eE";
    for (char16_t const* k = kKept; *k; ++k)
      if (unit == *k) filtered.push_back(unit);
  }
  text = filtered;
  utility::Flags<unsigned short> const one(1);
  if (text.size() < 2) return utility::StringToNumber(text, one);

  // Outer parentheses, undone when what is left goes below depth zero.
  UTF16String stripped = text;
  while (stripped.size() > 1 && stripped.front() == u'(' && stripped.back() == u')')
    stripped = stripped.substr(1, stripped.size() - 2);
  int depth = 0;
  bool wrong = false;
  for (unsigned short unit : stripped) {
    depth += unit == u'(' ? 1 : unit == u')' ? -1 : 0;
    wrong = wrong || depth < 0;
  }
  if (!wrong) text = stripped;

  // The scan: positions are those of the units in the working copy.
  long const none = -1;
  long additive = none, exponent = none, multiply = none, divide = none, power = none;
  UTF16String copy;
  depth = 0;
  auto isOperator = [](unsigned short u) {
    return u == u'+' || u == u'-' || u == u'*' || u == u'/' || u == u'e' || u == u'E' || u == u'^';
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned short const unit = text[i];
    if (unit == u'(' || unit == u')') {
      depth += unit == u'(' ? 1 : -1;
    } else if (depth == 0 && (unit == u'+' || unit == u'-')) {
      additive = static_cast<long>(copy.size());
    } else if (depth == 0 && (unit == u'*' || unit == u'/' || unit == u'e' || unit == u'E' ||
                              unit == u'^')) {
      if (i == 0 || isOperator(text[i - 1])) continue;  // dropped
      long const at = static_cast<long>(copy.size());
      if (unit == u'*') multiply = at;
      if (unit == u'/') divide = at;
      if (unit == u'e' || unit == u'E') exponent = at;
      if (unit == u'^') power = at;
    }
    copy.push_back(unit);
  }

  long const split = exponent != none   ? exponent
                     : additive != none ? additive
                     : multiply != none ? multiply
                     : divide != none   ? divide
                                        : power;
  if (split == none) return utility::StringToNumber(copy, one);
  double const left = ReferenceCalculate(copy.substr(0, static_cast<std::size_t>(split)));
  double const right = ReferenceCalculate(copy.substr(static_cast<std::size_t>(split) + 1));
  switch (copy[static_cast<std::size_t>(split)]) {
    case u'+':
      return left + right;
    case u'-':
      return left - right;
    case u'*':
      return left * right;
    case u'/':
      return right == 0.0 ? left : left / right;
    case u'^':
      return std::pow(left, right);
    default:
      return left * std::pow(10.0, right);
  }
}

}  // namespace testing
}  // namespace vireo

#endif
