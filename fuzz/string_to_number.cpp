// StringToNumber on any text: never a crash or a sanitizer report, never an infinity or NaN,
// and always the value a classic narrow string stream extracts from the same text after the
// same normalisation (tests/utility/NumberReference.h).
//
// Input: the first byte chooses the flags (bit 0: as is); each further byte is one unit, ASCII
// as it is and bytes from 0x80 up mapped onto the units the parser treats specially (full-width
// and ideographic forms, other non-ASCII units, NUL).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/utility/NumberReference.h"
#include "vireo/platform/Locale.h"
#include "vireo/utility/Numbers.h"

namespace {

unsigned short const kSpecial[] = {0xFF10, 0xFF11, 0xFF19, 0xFF0B, 0xFF0D, 0xFF0C, 0xFF0E,
                                   0xFF45, 0xFF25, 0x3001, 0x3002, 0x00A0, 0x0660, 0x2212,
                                   0xD800, 0x0000, 0xFF01, 0xFF1F, 0xFF20, 0x3000};

vireo::testing::ReferenceSeparators UserSeparators() {
  vireo::testing::ReferenceSeparators user;
  vireo::platform::NumberSeparators found;
  if (vireo::platform::GetUserNumberSeparators(found)) {
    vireo::utility::UTF16String const d = vireo::utility::UTF8to16(
        reinterpret_cast<unsigned char const*>(found.decimal), std::strlen(found.decimal));
    vireo::utility::UTF16String const g = vireo::utility::UTF8to16(
        reinterpret_cast<unsigned char const*>(found.grouping), std::strlen(found.grouping));
    if (!d.empty()) user.decimal = d[0];
    if (!g.empty()) user.grouping = g[0];
  }
  return user;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  if (size == 0) return 0;
  static vireo::testing::ReferenceSeparators const user = UserSeparators();
  unsigned const flags = (data[0] & 1) ? 0x0002 : 0;
  vireo::utility::UTF16String text;
  for (std::size_t i = 1; i < size; ++i)
    text.push_back(data[i] < 0x80 ? data[i]
                                  : kSpecial[(data[i] - 0x80) % (sizeof kSpecial / sizeof kSpecial[0])]);
  double const got = vireo::utility::StringToNumber(
      text, vireo::utility::Flags<unsigned short>(static_cast<unsigned short>(flags)));
  double const want = vireo::testing::ReferenceStringToNumber(text, flags, user);
  if (!std::isfinite(got) || std::memcmp(&got, &want, sizeof got) != 0) {
    std::fprintf(stderr, "string_to_number: %.17g instead of %.17g\n", got, want);
    std::abort();
  }
  return 0;
}
