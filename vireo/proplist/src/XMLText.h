// Appending the fixed texts of the property-list XML format.
#ifndef VIREO_PROPLIST_SRC_XMLTEXT_H
#define VIREO_PROPLIST_SRC_XMLTEXT_H

#include <cstddef>

#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace proplist {
namespace impl {

template <std::size_t N>
inline void Put(utility::UTF8String& out, char const (&text)[N]) {
  out.append(reinterpret_cast<unsigned char const*>(text), N - 1);
}

}  // namespace impl
}  // namespace proplist
}  // namespace vireo

#endif
