// Calculate: the value of a short arithmetic expression typed by a user, for example into a
// numeric field. It never fails: whatever the text, it gives a double.
//
// The text is read tolerantly: full-width and ideographic forms count as their ASCII ones,
// and every unit other than the digits, "(", ")", "+", "-", "*", "/", ".", ",", "^", "e" and
// "E" is dropped (so " 1 2" is 12). Numbers take the user's decimal separator or "."; ","
// and the user's grouping separator are group marks (see StringToNumber).
//
// The operators bind, from the weakest: the exponent letter "e"/"E" (a e b is a times 10 to
// the b), then "+" and "-", then "*", then "/", then "^"; each kind groups from the left, so
// 1+2e2 is (1+2)e2 = 300, 2^3^2 is 64 and 8/4/2 is 1. Parentheses group. A "-" or "+" with
// nothing before it takes 0 as its left operand (-5 is 0-5), and so does one after another
// operator: 2*-3 is (2*0)-3 = -3. A "*", "/", "^" or exponent letter that stands first or
// follows another operator is ignored (2**3 is 2*3). Division by zero gives the dividend.
// Outer parentheses around the whole of an expression are removed only when what is left
// keeps its parentheses in order ((1)+(2) is 3); a text with no operator is read as a number.
//
// Time and memory are linear in the length of the text, and the evaluation does not recurse
// on the machine stack, so any input, however long or deeply nested, is safe.
#ifndef VIREO_UTILITY_CALCULATOR_H
#define VIREO_UTILITY_CALCULATOR_H

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace utility {

VIREO_API double Calculate(UTF16String inExpression);

}  // namespace utility
}  // namespace vireo

#endif
