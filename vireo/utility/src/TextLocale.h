// Building locales that the library's 16-bit and 8-bit unit streams can use.
#ifndef VIREO_UTILITY_SRC_TEXTLOCALE_H
#define VIREO_UTILITY_SRC_TEXTLOCALE_H

#include <locale>

#include "vireo/utility/TextStreams.h"

namespace vireo {
namespace impl {

// inBase plus the classification, number parsing and formatting facets of both unit types,
// with the given punctuation facets (the new locale owns them).
std::locale WithUnitFacets(std::locale const& inBase, std::numpunct<unsigned short>* inPunct16,
                           std::numpunct<unsigned char>* inPunct8);

}  // namespace impl
}  // namespace vireo

#endif
