// The errors raised while reading property-list documents (component 104, level 1,
// deferrable, no replacement values).
#ifndef VIREO_PROPLIST_SRC_READERRORS_H
#define VIREO_PROPLIST_SRC_READERRORS_H

#include "vireo/config/Errors.h"

namespace vireo {
namespace proplist {
namespace impl {

inline void RaiseReadError(char const* inKey, long inCode) {
  config::ThrowError(config::kErrorLevelNonFatal, inKey, 104, inCode, true,
                     config::ReplacementValue(), config::ReplacementValue(),
                     config::ReplacementValue(), config::ReplacementValue());
}

inline void RaiseVersionGreaterThan() {
  RaiseReadError("$$$/wren/proplist/Error/PropListXMLHandler/VersionGreaterThan="
                 "Cannot read PropList data; version greater than expected.",
                 20);
}

}  // namespace impl
}  // namespace proplist
}  // namespace vireo

#endif
