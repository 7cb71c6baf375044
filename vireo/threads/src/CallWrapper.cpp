// The two threading errors the library raises.
#include "vireo/threads/src/CallWrapper.h"

#include "vireo/config/Errors.h"

namespace vireo {
namespace threads {
namespace impl {

void RaiseNotEnoughThreadResources() {
  config::ThrowError(config::kErrorLevelNonFatal,
                     "$$$/wren/threads/Error/NotEnoughThreadResources=Not enough thread resources.",
                     106, 20, true, config::ReplacementValue(), config::ReplacementValue(),
                     config::ReplacementValue(), config::ReplacementValue());
}

void RaiseFailedToAcquireThreadLock() {
  config::ThrowError(config::kErrorLevelNonFatal,
                     "$$$/wren/threads/Error/FailedToAcquireThreadLock=Failure to acquire thread lock.",
                     106, 21, true, config::ReplacementValue(), config::ReplacementValue(),
                     config::ReplacementValue(), config::ReplacementValue());
}

}  // namespace impl
}  // namespace threads
}  // namespace vireo
