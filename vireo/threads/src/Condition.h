// A condition variable used with the library's scoped lock (internal to the library).
#ifndef VIREO_THREADS_SRC_CONDITION_H
#define VIREO_THREADS_SRC_CONDITION_H

#include <string>

#include <boost/thread/condition_variable.hpp>

#include "vireo/threads/RecursiveMutex.h"

namespace vireo {
namespace threads {

class Condition {
 public:
  // A traced condition runs its waits and wakes through the error translation.
  explicit Condition(bool inTraced = false, std::string const& inName = std::string());
  Condition(Condition const&) = delete;
  Condition& operator=(Condition const&) = delete;
  virtual ~Condition();

  // Waits with inLock held; the wait releases it and takes it again. The mutex must be held
  // once only, or the wait cannot release it.
  void Wait(ScopedLock<RecursiveMutex, boost::recursive_mutex>& inLock);
  void NotifyAll();

 private:
  bool traced_;
  std::string name_;
  boost::condition_variable_any* condition_;
};

}  // namespace threads
}  // namespace vireo

#endif
