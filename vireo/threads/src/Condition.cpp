// Condition over boost::condition_variable_any, waiting with the library's scoped lock.
#include "vireo/threads/src/Condition.h"

#include "vireo/threads/src/CallWrapper.h"

namespace vireo {
namespace threads {

Condition::Condition(bool inTraced, std::string const& inName)
    : traced_(inTraced),
      name_(inName),
      condition_(impl::CallWrapped([] { return new boost::condition_variable_any; })) {}

Condition::~Condition() { delete condition_; }

void Condition::Wait(ScopedLock<RecursiveMutex, boost::recursive_mutex>& inLock) {
  auto& record = inLock.GetRecord();
  if (traced_)
    impl::CallWrapped([&] { condition_->wait(record); });
  else
    condition_->wait(record);
}

void Condition::NotifyAll() {
  if (traced_)
    impl::CallWrapped([&] { condition_->notify_all(); });
  else
    condition_->notify_all();
}

}  // namespace threads
}  // namespace vireo
