// Numbers to and from UTF16String. Integers are printed plainly in the C form; floating-point
// numbers with a fixed number of decimals, padding, grouping and sign, by default with the
// user's decimal and grouping separators. Parsing accepts the user's separators, full-width
// and ideographic forms and grouping separators, and never fails.
//
// The user's separators are read once per process, on first use, from the user's locale (the
// environment's, see vireo/platform/Locale.h); where it gives none the defaults "." (decimal)
// and "," (grouping) stay. All functions are re-entrant and thread-safe.
#ifndef VIREO_UTILITY_NUMBERS_H
#define VIREO_UTILITY_NUMBERS_H

#include "vireo/Export.h"
#include "vireo/utility/Flags.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace utility {

// Options of NumberToString(double, ...):
// keep "." and "," as printed instead of the user's separators;
inline constexpr Flags<unsigned short> kNumberNoLocalSeparators(0x0001);
// pad the integer part with spaces instead of "0";
inline constexpr Flags<unsigned short> kNumberPadWithSpaces(0x0002);
// drop trailing zeros of the fraction, and the point when nothing is left after it;
inline constexpr Flags<unsigned short> kNumberTrimZeros(0x0004);
// put "," between groups of three integer digits (pad characters count as digits);
inline constexpr Flags<unsigned short> kNumberGroupThousands(0x0008);
// prefix "+" to values that are not negative;
inline constexpr Flags<unsigned short> kNumberPlusSign(0x0010);
// prefix " " to values that are not negative (unless kNumberPlusSign).
inline constexpr Flags<unsigned short> kNumberSpaceSign(0x0020);
// Option of StringToNumber (the same bit as kNumberPadWithSpaces): no normalisation of
// full-width forms and user separators.
inline constexpr Flags<unsigned short> kNumberParseAsIs(0x0002);

// Decimal, "-" for negatives, no padding (C "%ld"). Never the user's separators.
VIREO_API UTF16String NumberToString(long inValue);
VIREO_API UTF16String NumberToString(long long inValue);
// The same for an int, so that an int argument is not ambiguous among the overloads.
inline UTF16String NumberToString(int inValue) { return NumberToString(static_cast<long>(inValue)); }

// Upper-case hexadecimal of the value taken as unsigned 32 bits, no prefix or leading zeros
// (C "%X"): 255 gives "FF", -1 gives "FFFFFFFF".
VIREO_API UTF16String NumberToHexString(long inValue);

// inValue with at least inMinIntegerDigits integer digits (padded in front with "0", or " "
// with kNumberPadWithSpaces) and inDecimals decimals (rounded as C's "%1.*lf" does; a negative
// count means 6, as in C). The sign follows the value, not the rounded digits: -0.001 with two
// decimals is "-0.00". With 0 decimals the magnitude is rounded half up ("2.5" gives "3").
// A text longer than 22 characters becomes C's exponent form ("%e") without padding, grouping
// or trimming; so does nothing from 1e22 up. Infinities and NaN are C's "inf" and "nan" (NaN
// never gets a "-"), with the sign prefix but no padding, grouping or trimming. Unless
// kNumberNoLocalSeparators, every "." and "," followed by a digit becomes the user's decimal
// or grouping separator.
VIREO_API UTF16String NumberToString(double inValue, int inMinIntegerDigits, int inDecimals,
                                     Flags<unsigned short> inFlags);
// Two decimals, no options: the user's separators.
VIREO_API UTF16String NumberToString(double inValue);

// The number at the start of the text, or 0.0 when there is none. Unless kNumberParseAsIs,
// ideographic comma and full stop become "," and ".", full-width "!".."?" (digits included)
// their ASCII forms, then the user's decimal separator "." and the user's grouping separator
// ",". Every "," is then removed, and the number read as C++ stream extraction of a double
// reads it with the classic conventions: leading white space skipped, an optional sign,
// digits with an optional "." and fraction, an optional exponent; what follows is ignored.
// Exactly as that extraction: "1e" or "1e+" (an exponent without digits) gives 0.0, and a
// value beyond the double range gives the largest double of its sign.
VIREO_API double StringToNumber(UTF16String const& inText, Flags<unsigned short> inFlags);

}  // namespace utility
}  // namespace vireo

#endif
