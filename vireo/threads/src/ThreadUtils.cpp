// CallOnce on a plain long flag, and the current thread's id.
#include "vireo/threads/ThreadUtils.h"

#include <boost/thread/thread.hpp>

#include "vireo/platform/Process.h"
#include "vireo/threads/src/CallWrapper.h"

namespace vireo {
namespace threads {
namespace {
constexpr long kOnceRunning = 1;
constexpr long kOnceDone = 2;
}  // namespace

void CallOnce(void (*inFunction)(), long& ioFlag) {
  if (__atomic_load_n(&ioFlag, __ATOMIC_ACQUIRE) == kOnceDone) return;
  impl::CallWrapped([&] {
    for (;;) {
      long expected = kOnceInit;
      if (__atomic_compare_exchange_n(&ioFlag, &expected, kOnceRunning, false, __ATOMIC_ACQ_REL,
                                      __ATOMIC_ACQUIRE)) {
        try {
          inFunction();
        } catch (...) {
          __atomic_store_n(&ioFlag, kOnceInit, __ATOMIC_RELEASE);
          throw;
        }
        __atomic_store_n(&ioFlag, kOnceDone, __ATOMIC_RELEASE);
        return;
      }
      if (expected == kOnceDone) return;
      // Another caller is running the function: wait for it to finish (or fail).
      boost::this_thread::yield();
    }
  });
}

unsigned long GetCurrentThreadID() { return platform::CurrentThreadId(); }

}  // namespace threads
}  // namespace vireo
