// The one place where the threading library's exceptions become the library's raised errors.
#ifndef VIREO_THREADS_SRC_CALLWRAPPER_H
#define VIREO_THREADS_SRC_CALLWRAPPER_H

#include <boost/thread/exceptions.hpp>

namespace vireo {
namespace threads {
namespace impl {

// Raise the matching error through ThrowError; they return when the error manager does.
void RaiseNotEnoughThreadResources();
void RaiseFailedToAcquireThreadLock();

// Runs `operation` and returns its result; boost::thread_resource_error and boost::lock_error
// are raised as errors instead, after which a default value is returned. Other exceptions pass.
template <class Operation>
auto CallWrapped(Operation&& operation) -> decltype(operation()) {
  try {
    return operation();
  } catch (boost::thread_resource_error const&) {
    RaiseNotEnoughThreadResources();
  } catch (boost::lock_error const&) {
    RaiseFailedToAcquireThreadLock();
  }
  return decltype(operation())();
}

}  // namespace impl
}  // namespace threads
}  // namespace vireo

#endif
