// RecursiveMutex and its scoped lock.
#include "vireo/threads/RecursiveMutex.h"

#include "vireo/threads/src/CallWrapper.h"

namespace vireo {
namespace threads {

RecursiveMutex::RecursiveMutex()
    : mutex_(impl::CallWrapped([] { return new boost::recursive_mutex; })) {}

RecursiveMutex::RecursiveMutex(std::string const&)
    : mutex_(impl::CallWrapped([] { return new boost::recursive_mutex; })) {}

RecursiveMutex::RecursiveMutex(RecursiveMutex& ioOther) : mutex_(ioOther.mutex_) {
  ioOther.mutex_ = nullptr;
}

RecursiveMutex& RecursiveMutex::operator=(RecursiveMutex& ioOther) {
  if (this != &ioOther) {
    if (mutex_ != ioOther.mutex_) delete mutex_;
    mutex_ = ioOther.mutex_;
    ioOther.mutex_ = nullptr;
  }
  return *this;
}

RecursiveMutex::~RecursiveMutex() { delete mutex_; }

boost::recursive_mutex* RecursiveMutex::GetMutex() { return mutex_; }

void ScopedLock<RecursiveMutex, boost::recursive_mutex>::LockRecord::lock() {
  mutex->lock();
  locked = true;
}

void ScopedLock<RecursiveMutex, boost::recursive_mutex>::LockRecord::unlock() {
  locked = false;
  mutex->unlock();
}

ScopedLock<RecursiveMutex, boost::recursive_mutex>::ScopedLock(std::string const& inName,
                                                              RecursiveMutex& inMutex,
                                                              bool inLock)
    : named_(true), name_(inName), record_{inMutex.GetMutex(), false} {
  if (inLock) Lock();
}

ScopedLock<RecursiveMutex, boost::recursive_mutex>::ScopedLock(RecursiveMutex& inMutex,
                                                              bool inLock)
    : named_(false), record_{inMutex.GetMutex(), false} {
  if (inLock) Lock();
}

ScopedLock<RecursiveMutex, boost::recursive_mutex>::~ScopedLock() {
  if (record_.locked) record_.unlock();
}

void ScopedLock<RecursiveMutex, boost::recursive_mutex>::Lock() {
  if (record_.locked) return;
  impl::CallWrapped([this] {
    // A mutex given away to another wrapper cannot be locked through this one.
    if (!record_.mutex) throw boost::lock_error();
    record_.lock();
  });
}

void ScopedLock<RecursiveMutex, boost::recursive_mutex>::Unlock() {
  if (!record_.locked) return;
  impl::CallWrapped([this] { record_.unlock(); });
}

}  // namespace threads
}  // namespace vireo
