// Number texts of the property-list XML format. Written like the library's output string
// stream in its default state (plain decimal integers; floating values as "%g" with six
// significant digits), read like its input string stream (leading white space skipped,
// reading stops at the first character that cannot continue the number). Both ignore the
// process's C locale, as the streams' classic locale does.
#ifndef VIREO_PROPLIST_SRC_NUMBERS_H
#define VIREO_PROPLIST_SRC_NUMBERS_H

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace proplist {
namespace impl {

template <class T>
void AppendNumber(utility::UTF8String& out, T value) {
  char buffer[40];
  std::to_chars_result r;
  if constexpr (std::is_floating_point<T>::value) {
    r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                      std::chars_format::general, 6);
  } else {
    r = std::to_chars(buffer, buffer + sizeof buffer, value);
  }
  out.append(reinterpret_cast<unsigned char const*>(buffer),
             static_cast<std::size_t>(r.ptr - buffer));
}

inline bool IsStreamSpace(unsigned u) {
  return u == ' ' || (u >= '\t' && u <= '\r');
}

// The longest prefix of [p, end) (after white space) that stream extraction of T would
// take, copied as ASCII into `buffer` (at most `capacity` bytes); its length, 0 for none.
// Units other than ASCII never belong to a number, so UTF-16 text is read directly.
template <class T, class Unit>
std::size_t ScanNumber(Unit const* p, Unit const* end, char* buffer, std::size_t capacity) {
  while (p != end && IsStreamSpace(*p)) ++p;
  std::size_t n = 0;
  auto take = [&](unsigned u) {
    if (n < capacity) buffer[n] = static_cast<char>(u);
    ++n;
    ++p;
  };
  auto digits = [&] {
    std::size_t count = 0;
    while (p != end && *p >= '0' && *p <= '9') {
      take(*p);
      ++count;
    }
    return count;
  };
  if (p != end && (*p == '+' || *p == '-')) take(*p);
  std::size_t mantissa = digits();
  if constexpr (std::is_floating_point<T>::value) {
    if (p != end && *p == '.') {
      take('.');
      mantissa += digits();
    }
    if (mantissa > 0 && p != end && (*p == 'e' || *p == 'E')) {
      take(*p);
      if (p != end && (*p == '+' || *p == '-')) take(*p);
      digits();
    }
  }
  return mantissa == 0 ? 0 : n;
}

// The value of the number text at the start of [p, end) (after white space), as stream
// extraction gives it: 0 when there is none; the nearest limit when it does not fit; a
// negative text read into an unsigned type wraps, as the streams' C conversions do.
template <class T, class Unit>
T ParseNumber(Unit const* p, Unit const* end) {
  char buffer[512];
  std::size_t const length = ScanNumber<T>(p, end, buffer, sizeof buffer);
  if (length == 0) return T();
  if constexpr (std::is_floating_point<T>::value) {
    if (length > sizeof buffer) return T();  // absurdly long; treated as unreadable
    char const* first = buffer;
    char const* const last = buffer + length;
    bool const negative = *first == '-';
    if (*first == '+' || *first == '-') ++first;
    T value = T();
    // A trailing exponent mark without digits ("1e", "2e+") is not part of the number.
    char const* stop = last;
    while (stop != first && (stop[-1] == 'e' || stop[-1] == 'E' || stop[-1] == '+' || stop[-1] == '-'))
      --stop;
    std::from_chars_result const r = std::from_chars(first, stop, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
      // Too large or too small in magnitude: the largest finite value, or zero.
      bool large = false;
      for (char const* q = first; q != stop && *q != 'e' && *q != 'E'; ++q)
        if (*q >= '1' && *q <= '9') large = true;
      char const* e = first;
      while (e != stop && *e != 'e' && *e != 'E') ++e;
      if (e != stop && e + 1 != stop && e[1] == '-') large = false;
      value = large ? std::numeric_limits<T>::max() : T();
    }
    return negative ? -value : value;
  } else {
    char const* first = buffer;
    char const* const last = buffer + (length < sizeof buffer ? length : sizeof buffer);
    bool const negative = *first == '-';
    if (*first == '+' || *first == '-') ++first;
    typedef typename std::make_unsigned<T>::type U;
    U magnitude = 0;
    bool overflow = length > sizeof buffer;
    for (char const* q = first; q != last && !overflow; ++q) {
      U const digit = static_cast<U>(*q - '0');
      if (magnitude > (std::numeric_limits<U>::max() - digit) / 10)
        overflow = true;
      else
        magnitude = static_cast<U>(magnitude * 10 + digit);
    }
    if constexpr (std::is_signed<T>::value) {
      U const limit = negative ? U(std::numeric_limits<T>::max()) + 1 : U(std::numeric_limits<T>::max());
      if (overflow || magnitude > limit)
        return negative ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
      return negative ? static_cast<T>(U(0) - magnitude) : static_cast<T>(magnitude);
    } else {
      if (overflow) return std::numeric_limits<T>::max();
      return negative ? static_cast<T>(U(0) - magnitude) : magnitude;
    }
  }
}

template <class T>
T ParseNumber(utility::UTF16String const& text) {
  return ParseNumber<T>(text.data(), text.data() + text.size());
}

}  // namespace impl
}  // namespace proplist
}  // namespace vireo

#endif
