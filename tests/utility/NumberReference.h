// Reference versions of NumberToString(double, ...) and StringToNumber for the tests, written
// step by step over the C library's snprintf and a C++ narrow string stream, the way the
// rules describe them: the library's results must equal these exactly.
#ifndef VIREO_TESTS_UTILITY_NUMBERREFERENCE_H
#define VIREO_TESTS_UTILITY_NUMBERREFERENCE_H

#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace testing {

struct ReferenceSeparators {
  unsigned short decimal = u'.';
  unsigned short grouping = u',';
};

// A double printed with a precision: at most 309 integer digits, the point and the decimals.
inline std::string CFormat(char const* format, int precision, double value) {
  std::vector<char> buffer(320 + static_cast<std::size_t>(precision > 0 ? precision : 6));
  int const length = std::snprintf(buffer.data(), buffer.size(), format, precision, value);
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

inline utility::UTF16String ReferenceNumberToString(double v, int minIntegerDigits, int decimals,
                                                    unsigned flags, ReferenceSeparators user) {
  bool const negative = v < 0.0;
  double const magnitude = negative ? -v : v;
  std::string text;
  bool layout = true;  // steps 4, 5 and 7
  char buffer[64];
  if (std::isnan(v)) {
    text = "nan";  // never "-nan"
    layout = false;
  } else if (std::isinf(magnitude)) {
    text = "inf";
    layout = false;
  } else if (decimals == 0) {
    double const rounded = std::floor(magnitude + 0.5);
    if (rounded < 2147483647.5) {
      std::snprintf(buffer, sizeof buffer, "%li", static_cast<long>(static_cast<int>(rounded)));
      text = buffer;
    } else {
      text = CFormat("%.*f", 0, rounded);
    }
  } else {
    text = CFormat("%1.*lf", decimals, magnitude);
  }
  if (layout && text.size() > 22) {
    std::snprintf(buffer, sizeof buffer, "%e", magnitude);
    text = buffer;
    layout = false;
  }
  if (layout) {
    std::size_t p = text.find('.');
    if (p == std::string::npos) p = text.size();
    if (static_cast<long>(p) < minIntegerDigits)
      text.insert(0, static_cast<std::size_t>(minIntegerDigits) - p, flags & 0x0002 ? ' ' : '0');
    if (flags & 0x0008) {
      p = text.find('.');
      if (p == std::string::npos) p = text.size();
      std::size_t const g = (p - 1) / 3;
      std::size_t const f = p % 3 ? p % 3 : 3;
      if (g > 0) {
        std::string grouped = text.substr(0, f);
        for (std::size_t k = 0; k < g; ++k) grouped += "," + text.substr(f + 3 * k, 3);
        text = grouped + text.substr(p);
      }
    }
  }
  if (negative)
    text.insert(0, "-");
  else if (flags & 0x0010)
    text.insert(0, "+");
  else if (flags & 0x0020)
    text.insert(0, " ");
  if (layout && (flags & 0x0004) && text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  utility::UTF16String result = utility::UTF8to16(
      reinterpret_cast<unsigned char const*>(text.data()), text.size());
  if (!(flags & 0x0001))
    for (std::size_t i = 0; i + 1 < result.size(); ++i) {
      bool const digit = result[i + 1] >= u'0' && result[i + 1] <= u'9';
      if (result[i] == u'.' && digit)
        result[i] = user.decimal;
      else if (result[i] == u',' && digit)
        result[i] = user.grouping;
    }
  return result;
}

inline double ReferenceStringToNumber(utility::UTF16String text, unsigned flags,
                                      ReferenceSeparators user) {
  if (!(flags & 0x0002))
    for (unsigned short& unit : text) {
      if (unit == 0x3001) unit = u',';
      if (unit == 0x3002) unit = u'.';
      if (unit >= 0xFF01 && unit <= 0xFF1F) unit = static_cast<unsigned short>(unit - 0xFEE0);
      if (unit == user.decimal)
        unit = u'.';
      else if (unit == user.grouping)
        unit = u',';
    }
  utility::UTF16String withoutCommas;
  for (unsigned short unit : text)
    if (unit != u',') withoutCommas.push_back(unit);
  utility::UTF8String const bytes = utility::UTF16to8(withoutCommas);
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  in.imbue(std::locale::classic());
  double value = 0.0;
  in >> value;
  return value;
}

}  // namespace testing
}  // namespace vireo

#endif
