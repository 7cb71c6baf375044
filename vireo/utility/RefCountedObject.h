// Base of objects shared through boost::intrusive_ptr with an atomic reference count.
#ifndef VIREO_UTILITY_REFCOUNTEDOBJECT_H
#define VIREO_UTILITY_REFCOUNTEDOBJECT_H

#include <atomic>

#include "vireo/Export.h"

namespace vireo {
namespace utility {

class VIREO_API RefCountedObject {
 public:
  RefCountedObject() : refCount_(0) {}
  // A copy is a new object: it starts with no references of its own.
  RefCountedObject(RefCountedObject const&) : refCount_(0) {}
  RefCountedObject& operator=(RefCountedObject const&) { return *this; }
  virtual ~RefCountedObject();

  long GetRefCount() const { return refCount_.load(std::memory_order_relaxed); }

  friend void intrusive_ptr_add_ref(RefCountedObject const* p) {
    p->refCount_.fetch_add(1, std::memory_order_relaxed);
  }
  friend void intrusive_ptr_release(RefCountedObject const* p) {
    if (p->refCount_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete p;
  }

 private:
  mutable std::atomic<long> refCount_;
};

}  // namespace utility
}  // namespace vireo

#endif
