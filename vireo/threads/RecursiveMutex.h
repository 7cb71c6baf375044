// The library's lock pair: a recursive mutex and the scoped lock that holds it.
// Failures of the threading library become raised errors through vireo::config::ThrowError:
// "$$$/wren/threads/Error/NotEnoughThreadResources=..." (component 106, code 20) when the
// system lacks resources, "$$$/wren/threads/Error/FailedToAcquireThreadLock=..." (106, 21)
// when a lock cannot be taken or released.
#ifndef VIREO_THREADS_RECURSIVEMUTEX_H
#define VIREO_THREADS_RECURSIVEMUTEX_H

#include <string>

#include <boost/thread/recursive_mutex.hpp>

#include "vireo/Export.h"

namespace vireo {
namespace threads {

template <class MutexT, class BoostMutexT>
class ScopedLock;

// A recursive mutex: the thread that holds it may lock it again; each lock needs its unlock.
// Copying transfers the underlying mutex and leaves the source empty (usable only to be
// destroyed or assigned to). Not synchronised itself: do not copy one that is in use.
class VIREO_API RecursiveMutex {
 public:
  RecursiveMutex();
  explicit RecursiveMutex(std::string const& inName);  // the name is a label only
  RecursiveMutex(RecursiveMutex& ioOther);
  RecursiveMutex& operator=(RecursiveMutex& ioOther);
  virtual ~RecursiveMutex();

 protected:
  boost::recursive_mutex* GetMutex();

 private:
  friend class ScopedLock<RecursiveMutex, boost::recursive_mutex>;
  boost::recursive_mutex* mutex_;
};

// Holds a RecursiveMutex from construction (when asked to lock) until destruction, also when
// an exception passes.
template <>
class VIREO_API ScopedLock<RecursiveMutex, boost::recursive_mutex> {
 public:
  ScopedLock(std::string const& inName, RecursiveMutex& inMutex, bool inLock);
  ScopedLock(RecursiveMutex& inMutex, bool inLock);
  ScopedLock(ScopedLock const&) = delete;
  ScopedLock& operator=(ScopedLock const&) = delete;
  virtual ~ScopedLock();

  void Lock();
  void Unlock();
  bool IsLocked() const { return record_.locked; }
  std::string const& GetName() const { return name_; }
  bool IsNamed() const { return named_; }

  // What a condition waits with: the mutex and whether this lock holds it.
  struct LockRecord {
    boost::recursive_mutex* mutex;
    bool locked;
    void lock();
    void unlock();
  };
  LockRecord& GetRecord() { return record_; }

 private:
  bool named_;
  std::string name_;
  // Held in place rather than on the heap: the allocator's pools lock on their slow path and
  // must not pay for a heap block each time.
  LockRecord record_;
};

}  // namespace threads
}  // namespace vireo

#endif
