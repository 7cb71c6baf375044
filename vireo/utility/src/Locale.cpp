// The native and default locales, and the two readings of a displayed number.
#include "vireo/utility/Locale.h"

#include <sstream>
#include <string>

#include "vireo/utility/TextStreams.h"
#include "vireo/utility/src/TextLocale.h"

namespace vireo {
namespace Locale {
namespace {

// Number punctuation of the unit facets with given separators; "true" and "false" stay the
// classic ones.
template <class Unit>
class Punctuation : public std::numpunct<Unit> {
 public:
  Punctuation(Unit inDecimal, Unit inThousands, std::string inGrouping)
      : decimal_(inDecimal), thousands_(inThousands), grouping_(std::move(inGrouping)) {}

 protected:
  Unit do_decimal_point() const override { return decimal_; }
  Unit do_thousands_sep() const override { return thousands_; }
  std::string do_grouping() const override { return grouping_; }

 private:
  Unit decimal_;
  Unit thousands_;
  std::string grouping_;
};

// The separators of inBase that fit a unit of at most inLimit; the classic ones, without
// grouping, for those that do not.
template <class Unit>
Punctuation<Unit>* PunctuationOf(std::locale const& inBase, unsigned long inLimit) {
  std::numpunct<wchar_t> const& wide = std::use_facet<std::numpunct<wchar_t> >(inBase);
  unsigned long const decimal = static_cast<unsigned long>(wide.decimal_point());
  unsigned long const thousands = static_cast<unsigned long>(wide.thousands_sep());
  bool const decimalFits = decimal != 0 && decimal <= inLimit;
  bool const thousandsFit = thousands != 0 && thousands <= inLimit;
  return new Punctuation<Unit>(static_cast<Unit>(decimalFits ? decimal : u'.'),
                               static_cast<Unit>(thousandsFit ? thousands : u','),
                               thousandsFit ? wide.grouping() : std::string());
}

std::locale BuildNative() {
  std::locale base = std::locale::classic();
  try {
    base = std::locale("");
  } catch (...) {
    // An environment naming a locale this system does not have: the classic one.
  }
  try {
    return impl::WithUnitFacets(base, PunctuationOf<unsigned short>(base, 0xFFFF),
                                PunctuationOf<unsigned char>(base, 0x7F));
  } catch (...) {
    return TextLocale();
  }
}

typedef std::basic_stringstream<unsigned short, std::char_traits<unsigned short>,
                                utility::SmallBlockAllocator::STLAllocator<unsigned short> >
    UTF16StringStream;

}  // namespace

std::locale const& Native() {
  static std::locale const locale = BuildNative();
  return locale;
}

std::locale const& Default() {
  static std::locale const locale = TextLocale();
  return locale;
}

namespace {
// Built with the library's other static objects, so that no later first call pays for it.
__attribute__((used)) std::locale const& gNativeAtStart = Native();
}  // namespace

double GetValueFromDisplayString(utility::UTF16String const& inText) {
  if (inText.empty()) return 0.0;

  UTF16StringStream native;
  native.imbue(Native());
  native << inText;
  double a = 0.0;
  native >> a;  // whatever the extraction stored, even when it failed on grouping

  iUTF16StringStream classic(inText);
  double b = 0.0;
  if (!(classic >> b)) b = 0.0;

  if ((a > 0.0 && b > 0.0 && a > b) || (a < 0.0 && b < 0.0 && a < b)) return a;
  return b;
}

}  // namespace Locale
}  // namespace vireo
