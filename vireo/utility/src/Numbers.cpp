// Number formatting and parsing. The texts and values are exactly those of C's "%1.*lf", "%e"
// and of stream extraction (strtod underneath), without the C library's locale lookups:
// - formatting rounds the exact binary value with 128-bit integers when the scaled value fits
//   64 bits (ties to even, as C does in the default rounding mode), and otherwise asks
//   std::to_chars, which is exact as well;
// - parsing reads what the stream's number reader would read; when its digits form an integer
//   up to 2^53 and its exponent is within the exact powers of ten, the value is one correctly
//   rounded multiplication or division; otherwise the collected text goes to std::from_chars.
#include "vireo/utility/Numbers.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "vireo/platform/Locale.h"

namespace vireo {
namespace utility {
namespace {

// ---- the user's separators ----------------------------------------------------------------

// Decimal separator in the low 16 bits, grouping separator in the high ones; 0 until read.
// Two threads reading it at once store the same value.
std::atomic<std::uint32_t> gSeparators{0};

unsigned short FirstUnit(char const* utf8, unsigned short fallback) {
  UTF16String const text =
      UTF8to16(reinterpret_cast<unsigned char const*>(utf8), std::strlen(utf8));
  return text.empty() || text[0] == 0 ? fallback : text[0];
}

struct Separators {
  unsigned short decimal;
  unsigned short grouping;
};

Separators UserSeparators() {
  std::uint32_t packed = gSeparators.load(std::memory_order_relaxed);
  if (packed == 0) {
    platform::NumberSeparators found;
    platform::GetUserNumberSeparators(found);  // on failure both are empty: the defaults stay
    packed = FirstUnit(found.decimal, u'.') |
             (static_cast<std::uint32_t>(FirstUnit(found.grouping, u',')) << 16);
    gSeparators.store(packed, std::memory_order_relaxed);
  }
  return Separators{static_cast<unsigned short>(packed & 0xFFFF),
                    static_cast<unsigned short>(packed >> 16)};
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::uint64_t const kPowersOfTen[20] = {1ULL,
                                        10ULL,
                                        100ULL,
                                        1000ULL,
                                        10000ULL,
                                        100000ULL,
                                        1000000ULL,
                                        10000000ULL,
                                        100000000ULL,
                                        1000000000ULL,
                                        10000000000ULL,
                                        100000000000ULL,
                                        1000000000000ULL,
                                        10000000000000ULL,
                                        100000000000000ULL,
                                        1000000000000000ULL,
                                        10000000000000000ULL,
                                        100000000000000000ULL,
                                        1000000000000000000ULL,
                                        10000000000000000000ULL};

UTF16String Widen(char const* text, std::size_t length) {
  UTF16String result(length, 0);
  for (std::size_t i = 0; i < length; ++i) result[i] = static_cast<unsigned char>(text[i]);
  return result;
}

// ---- formatting ---------------------------------------------------------------------------

// "%1.*lf" of a finite non-negative value with 1 to 17 decimals into out, when the value
// scaled by 10^decimals rounds to less than 10^19; returns the length, or 0 when it does not.
std::size_t FixedFast(double magnitude, int decimals, char* out) {
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  int const biased = static_cast<int>(bits >> 52);
  std::uint64_t mantissa = bits & ((1ULL << 52) - 1);
  int shift;  // magnitude = mantissa / 2^shift
  if (biased == 0) {
    shift = 1074;
  } else {
    mantissa |= 1ULL << 52;
    shift = 1075 - biased;
  }
  if (shift < 0) return 0;  // 2^53 and up: left to to_chars
  unsigned __int128 const scaled =
      static_cast<unsigned __int128>(mantissa) * kPowersOfTen[decimals];  // below 2^110
  std::uint64_t quotient;
  if (shift >= 120) {
    quotient = 0;  // scaled < 2^110 is below half a unit
  } else {
    unsigned __int128 const whole = scaled >> shift;
    if (whole >= kPowersOfTen[19]) return 0;
    quotient = static_cast<std::uint64_t>(whole);
    if (shift > 0) {
      unsigned __int128 const rest = scaled - (whole << shift);
      unsigned __int128 const half = static_cast<unsigned __int128>(1) << (shift - 1);
      if (rest > half || (rest == half && (quotient & 1))) ++quotient;
    }
  }
  char digits[24];
  std::size_t count = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, quotient).ptr - digits);
  // At least one integer digit: 5 with two decimals is "0.05".
  std::size_t const places = static_cast<std::size_t>(decimals);
  std::size_t const total = count > places ? count : places + 1;
  std::size_t const zeros = total - count;
  std::size_t n = 0;
  for (std::size_t k = 0; k < total; ++k) {
    if (k == total - places) out[n++] = '.';
    out[n++] = k < zeros ? '0' : digits[k - zeros];
  }
  return n;
}

}  // namespace

UTF16String NumberToString(long inValue) {
  char text[24];
  char* const end = std::to_chars(text, text + sizeof text, inValue).ptr;
  return Widen(text, static_cast<std::size_t>(end - text));
}

UTF16String NumberToString(long long inValue) {
  char text[24];
  char* const end = std::to_chars(text, text + sizeof text, inValue).ptr;
  return Widen(text, static_cast<std::size_t>(end - text));
}

UTF16String NumberToHexString(long inValue) {
  char text[12];
  char* const end =
      std::to_chars(text, text + sizeof text, static_cast<std::uint32_t>(inValue), 16).ptr;
  for (char* p = text; p < end; ++p)
    if (*p >= 'a') *p = static_cast<char>(*p - 'a' + 'A');
  return Widen(text, static_cast<std::size_t>(end - text));
}

UTF16String NumberToString(double inValue, int inMinIntegerDigits, int inDecimals,
                           Flags<unsigned short> inFlags) {
  bool const negative = inValue < 0.0;
  double const magnitude = negative ? -inValue : inValue;

  // The digits, as C prints the magnitude: "%li" of the rounded value for 0 decimals, else
  // "%1.*lf"; the exponent form "%e" when that would be longer than 22 characters.
  char digits[64];
  std::size_t length = 0;
  bool exponent = false, special = false;
  if (std::isnan(inValue)) {
    std::memcpy(digits, "nan", length = 3);
    special = true;
  } else if (std::isinf(magnitude)) {
    std::memcpy(digits, "inf", length = 3);
    special = true;
  } else if (inDecimals == 0) {
    double const rounded = std::floor(magnitude + 0.5);
    if (rounded < 2147483648.0) {
      length = static_cast<std::size_t>(
          std::to_chars(digits, digits + sizeof digits, static_cast<long>(rounded)).ptr - digits);
    } else if (rounded < 1e22) {
      // Beyond 32 bits: the digits of the rounded value itself (C's "%.0f" of it).
      length = static_cast<std::size_t>(
          std::to_chars(digits, digits + sizeof digits, rounded, std::chars_format::fixed, 0)
              .ptr -
          digits);
    } else {
      exponent = true;
    }
  } else {
    int const precision = inDecimals < 0 ? 6 : inDecimals;  // C ignores a negative precision
    // At least one integer digit, the point and the decimals: 21 decimals or 23 integer digits
    // are more than 22 characters whatever the rounding.
    if (precision >= 21 || magnitude >= 1e22) {
      exponent = true;
    } else {
      if (precision <= 17) length = FixedFast(magnitude, precision, digits);
      if (length == 0)
        length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, magnitude,
                                                        std::chars_format::fixed, precision)
                                              .ptr -
                                          digits);
    }
  }
  if (!special && !exponent && length > 22) exponent = true;
  if (exponent)
    length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, magnitude,
                                                    std::chars_format::scientific, 6)
                                          .ptr -
                                      digits);

  char const sign = negative                              ? '-'
                    : inFlags.IsSet(kNumberPlusSign)      ? '+'
                    : inFlags.IsSet(kNumberSpaceSign)     ? ' '
                                                          : '\0';
  Separators const user =
      inFlags.IsSet(kNumberNoLocalSeparators) ? Separators{u'.', u','} : UserSeparators();

  // The layout: sign, integer part (padded, grouped), then the point and fraction (trimmed);
  // the exponent form and the words for infinity and NaN take no padding, grouping or trimming.
  char const* const point = static_cast<char const*>(std::memchr(digits, '.', length));
  std::size_t const integer = point ? static_cast<std::size_t>(point - digits) : length;
  std::size_t pad = 0, lead = integer, end = length;
  char padding = '0';
  if (!special && !exponent) {
    if (inMinIntegerDigits > 0 && integer < static_cast<std::size_t>(inMinIntegerDigits))
      pad = static_cast<std::size_t>(inMinIntegerDigits) - integer;
    if (inFlags.IsSet(kNumberPadWithSpaces)) padding = ' ';
    std::size_t const width = pad + integer;  // pad characters group like digits
    lead = inFlags.IsSet(kNumberGroupThousands) && width > 3 ? (width % 3 ? width % 3 : 3) : width;
    if (point && inFlags.IsSet(kNumberTrimZeros)) {
      while (digits[end - 1] == '0') --end;
      if (digits[end - 1] == '.') --end;
    }
  }
  std::size_t const width = pad + integer;
  std::size_t const groups = lead < width ? (width - lead) / 3 : 0;
  UTF16String result((sign ? 1 : 0) + width + groups + (end - integer), 0);
  unsigned short* out = &result[0];
  if (sign) *out++ = static_cast<unsigned char>(sign);
  for (std::size_t k = 0; k < width; ++k) {
    char const c = k < pad ? padding : digits[k - pad];
    // A separator becomes the user's only where a digit follows it.
    if (k >= lead && (k - lead) % 3 == 0) *out++ = IsDigit(c) ? user.grouping : u',';
    *out++ = static_cast<unsigned char>(c);
  }
  for (std::size_t k = integer; k < end; ++k) {
    char const c = digits[k];
    *out++ = c == '.' && k + 1 < end && IsDigit(digits[k + 1]) ? user.decimal
                                                                : static_cast<unsigned char>(c);
  }
  return result;
}

UTF16String NumberToString(double inValue) {
  return NumberToString(inValue, 1, 2, Flags<unsigned short>());
}

// ---- parsing ------------------------------------------------------------------------------

namespace {

// The units of the text as the number reader sees them: normalised unless as is, without
// commas, and ending at a NUL unit (where the 8-bit copy the rules read would end).
class UnitReader {
 public:
  UnitReader(UTF16String const& text, bool asIs)
      : p_(text.data()), end_(text.data() + text.size()), wideFrom_(asIs ? 0x10000 : 0x3001) {
    if (!asIs) separators_ = UserSeparators();
    rawDigits_ = static_cast<unsigned>(separators_.decimal - u'0') > 9u &&
                 static_cast<unsigned>(separators_.grouping - u'0') > 9u;
  }

  // Takes the ASCII digits that follow straight from the text (normalising leaves them as they
  // are), appending them to ioMantissa; returns how many. The mantissa wraps beyond 19 digits,
  // which the caller counts.
  int TakeDigits(std::uint64_t& ioMantissa) {
    if (!rawDigits_) return 0;
    unsigned short const* p = p_;
    for (; p < end_; ++p) {
      unsigned const digit = static_cast<unsigned>(*p - u'0');
      if (digit > 9) break;
      ioMantissa = ioMantissa * 10 + digit;
    }
    int const count = static_cast<int>(p - p_);
    p_ = p;
    return count;
  }

  // The next unit, or -1 at the end. As is, the separators are "." and "," themselves and
  // no unit is wide enough to be normalised.
  int Next() {
    while (p_ < end_) {
      unsigned unit = *p_++;
      if (unit >= wideFrom_) unit = Wide(unit);
      if (unit == separators_.decimal)
        unit = u'.';
      else if (unit == separators_.grouping)
        unit = u',';
      if (unit == u',') continue;
      if (unit == 0) break;
      return static_cast<int>(unit);
    }
    p_ = end_;
    return -1;
  }

 private:
  static unsigned Wide(unsigned unit) {
    if (unit == 0x3001) return u',';
    if (unit == 0x3002) return u'.';
    if (unit >= 0xFF01 && unit <= 0xFF1F) return unit - 0xFEE0;
    return unit;
  }

  unsigned short const* p_;
  unsigned short const* end_;
  unsigned wideFrom_;
  Separators separators_ = {u'.', u','};
  bool rawDigits_;
};

// The characters the number reader collected: on the stack unless the number is long.
class Collected {
 public:
  void Push(char c) {
    if (length_ < sizeof local_)
      local_[length_] = c;
    else
      Spill(c);
    ++length_;
  }
  char const* Data() const { return length_ <= sizeof local_ ? local_ : heap_.data(); }
  std::size_t Length() const { return length_; }

 private:
  void Spill(char c) {
    if (heap_.empty()) heap_.assign(local_, sizeof local_);
    heap_.push_back(c);
  }
  char local_[64];
  std::size_t length_ = 0;
  std::string heap_;
};

// The decimal exponent of the leading non-zero digit of a number text the reader collected
// ("120" gives 2, "0.05e3" gives 1), the exponent saturated; 0 when every digit is zero.
long LeadingExponent(char const* p, char const* end) {
  if (p < end && *p == '-') ++p;
  long integerDigits = 0, index = 0, firstNonZero = -1;
  bool point = false;
  for (; p < end && *p != 'e'; ++p) {
    if (*p == '.') {
      point = true;
      continue;
    }
    if (!point) ++integerDigits;
    if (firstNonZero < 0 && *p != '0') firstNonZero = index;
    ++index;
  }
  if (firstNonZero < 0) return 0;
  long exponent = 0;
  if (p < end) {
    bool const minus = p + 1 < end && p[1] == '-';
    for (char const* q = p + 1; q < end; ++q)
      if (IsDigit(*q) && exponent < 100000000) exponent = exponent * 10 + (*q - '0');
    if (minus) exponent = -exponent;
  }
  return integerDigits - firstNonZero - 1 + exponent;
}

double const kExactPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool IsDigitUnit(int c) { return c >= '0' && c <= '9'; }

// The common case in one pass, without collecting the text: a number whose significant digits
// form an integer up to 2^53 and whose decimal exponent is within the exact powers of ten is
// one correctly rounded multiplication or division, which is what strtod returns for it.
// False when the text needs the general conversion.
bool ParseSimple(UTF16String const& text, bool asIs, double& outValue) {
  UnitReader reader(text, asIs);
  int c = reader.Next();
  while (c == ' ' || (c >= '\t' && c <= '\r')) c = reader.Next();
  bool const minus = c == '-';
  if (c == '+' || c == '-') c = reader.Next();
  std::uint64_t mantissa = 0;
  int digits = 0, exponent = 0;
  bool any = false;
  while (c == '0') {
    any = true;
    c = reader.Next();
  }
  // Digits of the fraction count towards the 19 even while the mantissa is still zero: a
  // text with more falls back to the general conversion, which is merely slower.
  for (; IsDigitUnit(c); c = reader.Next()) {
    any = true;
    mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
    digits += 1 + reader.TakeDigits(mantissa);
  }
  if (c == '.') {
    for (c = reader.Next(); IsDigitUnit(c); c = reader.Next()) {
      any = true;
      mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
      int const taken = 1 + reader.TakeDigits(mantissa);
      digits += taken;
      exponent -= taken;
    }
  }
  if (digits > 19) return false;
  if (!any) {  // no digits: nothing to convert
    outValue = 0.0;
    return true;
  }
  if (c == 'e' || c == 'E') {
    c = reader.Next();
    bool const negative = c == '-';
    if (c == '+' || c == '-') c = reader.Next();
    if (!IsDigitUnit(c)) {  // an exponent without digits fails the whole number
      outValue = 0.0;
      return true;
    }
    int e = 0;
    for (; IsDigitUnit(c); c = reader.Next())
      if (e < 100000) e = e * 10 + (c - '0');
    exponent += negative ? -e : e;
  }
  double value = static_cast<double>(mantissa);
  if (mantissa != 0) {
    if (mantissa > (1ULL << 53) || exponent < -22 || exponent > 22) return false;
    value = exponent < 0 ? value / kExactPowersOfTen[-exponent] : value * kExactPowersOfTen[exponent];
  }
  outValue = minus ? -value : value;
  return true;
}

}  // namespace

double StringToNumber(UTF16String const& inText, Flags<unsigned short> inFlags) {
  bool const asIs = inFlags.IsSet(kNumberParseAsIs);
  double value = 0.0;
  if (ParseSimple(inText, asIs, value)) return value;

  // The general case: the text the stream's number reader collects, converted by from_chars.
  UnitReader reader(inText, asIs);
  int c = reader.Next();
  while (c == ' ' || (c >= '\t' && c <= '\r')) c = reader.Next();

  // What the stream's number reader collects: a sign, the digits (leading zeros as one),
  // one point, and an exponent letter with its sign once digits were seen.
  Collected text;
  if (c == '+' || c == '-') {
    if (c == '-') text.Push('-');  // neither strtod nor the conversion below needs a "+"
    c = reader.Next();
  }
  bool mantissa = false, point = false, scientific = false;
  while (c == '0') {
    if (!mantissa) text.Push('0');
    mantissa = true;
    c = reader.Next();
  }
  while (c != -1) {
    if (c >= '0' && c <= '9') {
      text.Push(static_cast<char>(c));
      mantissa = true;
    } else if (c == '.' && !point && !scientific) {
      text.Push('.');
      point = true;
    } else if ((c == 'e' || c == 'E') && !scientific && mantissa) {
      text.Push('e');
      scientific = true;
      c = reader.Next();
      if (c == '+' || c == '-')
        text.Push(static_cast<char>(c));
      else
        continue;
    } else {
      break;
    }
    c = reader.Next();
  }

  // Converted whole or not at all, as the stream requires of strtod.
  char const* const begin = text.Data();
  char const* const end = begin + text.Length();
  std::from_chars_result const result = std::from_chars(begin, end, value);
  if (result.ptr != end || begin == end) return 0.0;
  if (result.ec == std::errc()) return value;
  if (result.ec != std::errc::result_out_of_range) return 0.0;
  // Beyond the range: strtod gives an infinity, which the stream turns into the largest
  // double; or, below the smallest subnormal, a zero.
  bool const minus = *begin == '-';
  if (LeadingExponent(begin, end) > 0)
    return minus ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
  return minus ? -0.0 : 0.0;
}

}  // namespace utility
}  // namespace vireo
