// The process-wide small-block allocator behind the library's strings: 71 size classes up to
// 8192 bytes served by lock-free pools, larger requests by the system's aligned heap.
// Blocks carry no header: the caller states the size both when allocating and when freeing.
#ifndef VIREO_UTILITY_SMALLBLOCKALLOCATOR_H
#define VIREO_UTILITY_SMALLBLOCKALLOCATOR_H

#include <cstddef>
#include <new>
#include <type_traits>

#include "vireo/Export.h"

namespace vireo {
namespace utility {

namespace impl {
// Throws std::bad_alloc whose what() reads "bad allocation".
[[noreturn]] VIREO_API void ThrowBadAllocation();
}  // namespace impl

class VIREO_API SmallBlockAllocator {
 public:
  SmallBlockAllocator() = delete;

  // A block of at least inSize bytes. Sizes 0..8192 come from the size classes (0 gets a
  // 4-byte block); larger sizes from the aligned heap, where a refusal yields null.
  // Throws std::bad_alloc ("bad allocation") when a pool cannot obtain a page.
  static void* Allocate(unsigned int inSize);

  // Frees a block. inSize must be the allocation's size or one of the same size class (above
  // 8192: any size above 8192 except 66352 and 928976). Null is allowed and does nothing.
  static void Dispose(void* inPtr, unsigned int inSize);

  // Usable size of the block Allocate(inSize) returns: the class size up to 8192, inSize above.
  static unsigned int GetActualAllocationSize(unsigned int inSize);

  class VIREO_API Metrics {
   public:
    // Allocation statistics; not collected by this library.
    struct Snapshot {
      unsigned long long allocations;
      unsigned long long disposals;
      unsigned long long bytesInUse;
    };
    // Always false, leaving outSnapshot unchanged.
    static bool GetSnapshot(Snapshot& outSnapshot);
  };

  // Stateless standard-library allocator over the small-block allocator; any instance frees
  // what another allocated.
  template <class T>
  class STLAllocator {
   public:
    typedef T value_type;
    typedef T* pointer;
    typedef T const* const_pointer;
    typedef T& reference;
    typedef T const& const_reference;
    typedef std::size_t size_type;
    typedef std::ptrdiff_t difference_type;
    typedef std::true_type propagate_on_container_move_assignment;
    typedef std::true_type is_always_equal;

    template <class U>
    struct rebind {
      typedef STLAllocator<U> other;
    };

    STLAllocator() noexcept {}
    template <class U>
    STLAllocator(STLAllocator<U> const&) noexcept {}

    pointer address(reference r) const noexcept { return &r; }
    const_pointer address(const_reference r) const noexcept { return &r; }

    // Requests are limited to 32 bits of bytes by max_size(). A null answer from the system
    // heap (above 8192 bytes) becomes std::bad_alloc: containers cannot take a null block.
    pointer allocate(size_type n, void const* = nullptr) {
      void* p = SmallBlockAllocator::Allocate(static_cast<unsigned int>(n * sizeof(T)));
      if (!p) impl::ThrowBadAllocation();
      return static_cast<pointer>(p);
    }
    void deallocate(pointer p, size_type n) noexcept {
      SmallBlockAllocator::Dispose(p, static_cast<unsigned int>(n * sizeof(T)));
    }
    size_type max_size() const noexcept { return 0xFFFFFFFFu / sizeof(T); }

    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
      ::new (static_cast<void*>(p)) U(static_cast<Args&&>(args)...);
    }
    template <class U>
    void destroy(U* p) {
      p->~U();
    }
  };
};

template <class T, class U>
inline bool operator==(SmallBlockAllocator::STLAllocator<T> const&,
                       SmallBlockAllocator::STLAllocator<U> const&) noexcept {
  return true;
}
template <class T, class U>
inline bool operator!=(SmallBlockAllocator::STLAllocator<T> const&,
                       SmallBlockAllocator::STLAllocator<U> const&) noexcept {
  return false;
}

}  // namespace utility
}  // namespace vireo

#endif
