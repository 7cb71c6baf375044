// Placeholder filling, replacing, hexadecimal reduction, line endings, full-width forms.
#include "vireo/utility/StringUtils.h"

#include "vireo/utility/CaseMapping.h"

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

void ReplaceAllStringInString(UTF16String& ioText, UTF16String const& inFrom,
                              UTF16String const& inTo) {
  if (inFrom.empty()) return;  // would match everywhere and never end
  std::size_t found = ioText.find(inFrom);
  if (found == UTF16String::npos) return;
  // One new string instead of shifting the tail at every match: linear in the text. Searching
  // the source after each match equals searching the result after the inserted text.
  UTF16String result;
  result.reserve(ioText.size());
  std::size_t from = 0;
  do {
    result.append(ioText, from, found - from);
    result.append(inTo);
    from = found + inFrom.size();
    found = ioText.find(inFrom, from);
  } while (found != UTF16String::npos);
  result.append(ioText, from, UTF16String::npos);
  ioText.swap(result);
}

void ValidateForHex(UTF16String& ioText) {
  UTF16String const upper = UpperCase(ioText);
  UTF16String digits;
  digits.reserve(upper.size());
  for (unsigned short unit : upper)
    if ((unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'F')) digits.push_back(unit);
  ioText.swap(digits);
}

UTF16String GetLineEnding(LineEndingType inType) {
  switch (inType) {
    case kLineEndingCRLF: return UTF16String{u'\r', u'\n'};
    case kLineEndingCR: return UTF16String(1, u'\r');
    case kLineEndingLF: return UTF16String(1, u'\n');
  }
  return UTF16String();
}

namespace {

// Length of the line ending at p (0 when none): CR LF is one ending of two units.
inline std::size_t EndingAt(unsigned short const* p, unsigned short const* end) {
  if (*p == u'\n') return 1;
  if (*p != u'\r') return 0;
  return (p + 1 < end && p[1] == u'\n') ? 2 : 1;
}

inline bool SameEnding(unsigned short const* p, std::size_t length, UTF16String const& target) {
  return length == target.size() && (length == 1 ? p[0] == target[0]
                                                 : p[0] == target[0] && p[1] == target[1]);
}

}  // namespace

void ConvertLineEndings(LineEndingType inType, UTF16String& ioText) {
  UTF16String const target = GetLineEnding(inType);
  unsigned short const* const begin = ioText.data();
  unsigned short const* const end = begin + ioText.size();
  // Find the first ending that differs; until there is one the text stays untouched.
  unsigned short const* p = begin;
  std::size_t length = 0;
  for (; p < end; ++p) {
    length = EndingAt(p, end);
    if (length == 0) continue;
    if (!SameEnding(p, length, target)) break;
    p += length - 1;
  }
  if (p >= end) return;

  UTF16String result;
  result.reserve(ioText.size() + ioText.size() / 8);
  unsigned short const* copied = begin;
  while (p < end) {
    length = EndingAt(p, end);
    if (length != 0 && !SameEnding(p, length, target)) {
      result.append(copied, p);
      result.append(target);
      copied = p + length;
    }
    p += length ? length : 1;
  }
  result.append(copied, end);
  if (!result.empty()) ioText.swap(result);
}

bool ToNumericCase(unsigned short& ioUnit) {
  if (ioUnit < 0xFF01 || ioUnit > 0xFF1F) return false;
  ioUnit = static_cast<unsigned short>(ioUnit - 0xFEE0);
  return true;
}

bool ToNumericCase(UTF16String& ioText) {
  bool changed = false;
  for (unsigned short& unit : ioText) changed |= ToNumericCase(unit);
  return changed;
}

}  // namespace utility
}  // namespace vireo
