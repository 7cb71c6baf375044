// Placeholder filling.
#include "vireo/utility/StringUtils.h"

namespace vireo {
namespace utility {

UTF16String ReplaceInString(UTF16String const& text, UTF16String const& r0, UTF16String const& r1,
                            UTF16String const& r2, UTF16String const& r3, UTF16String const& r4,
                            UTF16String const& r5, UTF16String const& r6, UTF16String const& r7,
                            UTF16String const& r8, UTF16String const& r9) {
  UTF16String const* const replacements[10] = {&r0, &r1, &r2, &r3, &r4, &r5, &r6, &r7, &r8, &r9};
  UTF16String result;
  result.reserve(text.size());
  std::size_t const n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned short const unit = text[i];
    if (unit != u'@' || i + 1 == n) {
      result.push_back(unit);
      continue;
    }
    unsigned short const next = text[i + 1];
    if (next == u'@') {
      result.push_back(u'@');
      ++i;
    } else if (next >= u'0' && next <= u'9') {
      result.append(*replacements[next - u'0']);
      ++i;
    } else {
      result.push_back(unit);  // the next unit is copied on its own turn
    }
  }
  return result;
}

}  // namespace utility
}  // namespace vireo
