// Calculate on any text: never a crash or a sanitizer report, the same value when the same
// text is evaluated again (NaN counts as equal to NaN), the same value once the units the
// calculator ignores are removed by hand, and, for texts short enough for the step-by-step
// reference (tests/utility/CalculatorReference.h), exactly the reference's value.
//
// Input: each byte is one unit, ASCII as it is and bytes from 0x80 up mapped onto the units
// the calculator treats specially (full-width digits and operators, ideographic separators)
// or drops (other non-ASCII units, NUL, a lone surrogate).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/utility/CalculatorReference.h"
#include "vireo/utility/Calculator.h"

namespace {

unsigned short const kSpecial[] = {0xFF10, 0xFF11, 0xFF19, 0xFF0B, 0xFF0D, 0xFF0A, 0xFF0F,
                                   0xFF08, 0xFF09, 0xFF0C, 0xFF0E, 0xFF3E, 0xFF45, 0x3001,
                                   0x3002, 0x00A0, 0x2212, 0xD800, 0x0000, 0xFF01, 0xFF1F,
                                   0xFF20};

// The texts the reference copies at every split stay cheap below this length.
std::size_t const kReferenceLength = 64;

bool Same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

void Check(bool ok, char const* what, double got, double want) {
  if (ok) return;
  std::fprintf(stderr, "calculate: %s: %.17g instead of %.17g\n", what, got, want);
  std::abort();
}

// What the calculator keeps of a unit, or 0 for a unit it drops.
unsigned short Kept(unsigned short unit) {
  if (unit == 0x3001) unit = u',';
  if (unit == 0x3002) unit = u'.';
  if (unit >= 0xFF01 && unit <= 0xFF1F) unit = static_cast<unsigned short>(unit - 0xFEE0);
  if (unit < 0x80 && unit != 0 && std::strchr("0123456789()+-*/.,^eE", static_cast<char>(unit)))
    return unit;
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  vireo::utility::UTF16String text, kept;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    unsigned short const unit =
        data[i] < 0x80 ? data[i] : kSpecial[(data[i] - 0x80) % (sizeof kSpecial / sizeof kSpecial[0])];
    text.push_back(unit);
    if (unsigned short const k = Kept(unit)) kept.push_back(k);
  }
  double const first = vireo::utility::Calculate(text);
  double const again = vireo::utility::Calculate(text);
  Check(Same(first, again), "evaluated again", again, first);
  double const filtered = vireo::utility::Calculate(kept);
  Check(Same(first, filtered), "without the ignored units", filtered, first);
  if (kept.size() <= kReferenceLength) {
    double const want = vireo::testing::ReferenceCalculate(text);
    Check(Same(first, want), "against the reference", first, want);
  }
  return 0;
}
