// Fixed-size allocators for clients' own objects: a registry that maps a size to an allocator,
// 30 lock-free pools of 8 to 1024 bytes whose pages come from a shared page source, a general
// allocator above 1024 bytes, and an emergency mode in which pools may borrow from one
// another. Unlike the small-block allocator, these pools never give memory back: a freed
// block waits on its pool's free list until it is used again.
#ifndef VIREO_UTILITY_ALLOCATOR_H
#define VIREO_UTILITY_ALLOCATOR_H

#include "vireo/Export.h"

namespace vireo {
namespace utility {

class VIREO_API Allocator {
 public:
  virtual ~Allocator();
  virtual void* AllocateBlock(unsigned int inSize) = 0;
  virtual void DisposeBlock(void* inPtr) = 0;

  // The allocator for inSize: the pool of the smallest block size >= inSize up to 1024
  // (0..8 → 8, 9..16 → 16, ..., 897..1024 → 1024), the general allocator above. Never null.
  static Allocator* GetAllocator(unsigned int inSize);
  // A block of at least inSize bytes; throws std::bad_alloc ("bad allocation") when none can
  // be had. Thread-safe and lock-free for pooled sizes.
  static void* Allocate(unsigned int inSize);
  // Frees a block; inSize must map to the allocator that served it. Null does nothing.
  static void Dispose(void* inPtr, unsigned int inSize);

 protected:
  Allocator() = default;
  Allocator(Allocator const&) = delete;
  Allocator& operator=(Allocator const&) = delete;
};

// Owns one heap object and deletes it when destroyed or when given another.
template <class T>
class ScopedPtr {
 public:
  explicit ScopedPtr(T* inObject = nullptr) : object_(inObject) {}
  ScopedPtr(ScopedPtr const&) = delete;
  ScopedPtr& operator=(ScopedPtr const&) = delete;
  virtual ~ScopedPtr() { delete object_; }

  void Reset(T* inObject = nullptr) {
    if (inObject != object_) {
      delete object_;
      object_ = inObject;
    }
  }
  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }

 private:
  T* object_;
};

// Emergency mode: when the system refuses memory, the page source tries a single page and the
// pools borrow free blocks of larger pools. Off at start; may be switched at any time.
VIREO_API void SetEmergencyMemoryMode(bool inOn);
VIREO_API bool GetEmergencyMemoryMode();

// Reports through the trace system (category "WREN.Allocator", volume 1) that no statistics
// are collected. Whether the category is enabled is asked once per process.
VIREO_API void TraceAllocatorStatistics();

}  // namespace utility
}  // namespace vireo

#endif
