// Encoding and decoding of the reserved characters.
#include "vireo/xml/XMLUtils.h"

#include <cstring>

namespace vireo {
namespace xml {
namespace utils {

using utility::UTF16String;
using utility::UTF8String;

void EncodeReservedCharacters(UTF8String const& in, UTF8String& out) {
  unsigned char const* p = in.data();
  unsigned char const* const end = p + in.size();
  out.reserve(out.size() + in.size());
  while (p != end) {
    // Copy the run up to the next reserved character in one append.
    unsigned char const* run = p;
    while (p != end && *p != '"' && *p != '&' && *p != '\'' && *p != '<' && *p != '>') ++p;
    out.append(run, p);
    if (p == end) break;
    char const* entity;
    switch (*p++) {
      case '"': entity = "&quot;"; break;
      case '&': entity = "&amp;"; break;
      case '\'': entity = "&apos;"; break;
      case '<': entity = "&lt;"; break;
      default: entity = "&gt;"; break;
    }
    out.append(reinterpret_cast<unsigned char const*>(entity), std::strlen(entity));
  }
}

void EncodeReservedCharacters(UTF16String const& in, UTF16String& out) {
  UTF8String encoded;
  EncodeReservedCharacters(utility::UTF16to8(in), encoded);
  out = utility::UTF8to16(encoded);
}

namespace {

// Replaces every occurrence of `from` by `to`, searching on after each inserted text.
void ReplaceAll(UTF16String& s, UTF16String const& from, UTF16String const& to) {
  std::size_t at = s.find(from);
  if (at == UTF16String::npos) return;
  UTF16String result;
  result.reserve(s.size());
  std::size_t done = 0;
  while (at != UTF16String::npos) {
    result.append(s, done, at - done);
    result.append(to);
    done = at + from.size();
    at = s.find(from, done);
  }
  result.append(s, done, UTF16String::npos);
  s.swap(result);
}

}  // namespace

void DecodeReservedCharacters(UTF16String const& in, UTF16String& out) {
  out = in;
  if (in.find(static_cast<unsigned short>('&')) == UTF16String::npos) return;
  static char const* const kSteps[5][2] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"&apos;", "'"}, {"&quot;", "\""}};
  for (auto const& step : kSteps)
    ReplaceAll(out, utility::AsciiToUTF16(step[0]), utility::AsciiToUTF16(step[1]));
}

void DecodeReservedCharacters(UTF8String const& in, UTF8String& out) {
  UTF16String decoded;
  DecodeReservedCharacters(utility::UTF8to16(in), decoded);
  out = utility::UTF16to8(decoded);
}

}  // namespace utils
}  // namespace xml
}  // namespace vireo
