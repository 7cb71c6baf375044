// A set of bits passed by value, such as the options of the number functions.
#ifndef VIREO_UTILITY_FLAGS_H
#define VIREO_UTILITY_FLAGS_H

namespace vireo {
namespace utility {

// A bit is set when its value is or-ed in. Built from a bit value (implicitly, so a named bit
// or a number can be passed where flags are expected) and combined with |.
template <class T>
class Flags {
 public:
  constexpr Flags() noexcept : bits_() {}
  constexpr Flags(T inBits) noexcept : bits_(inBits) {}

  constexpr T Value() const noexcept { return bits_; }
  // True when every bit of inBits is set (and inBits has at least one).
  constexpr bool IsSet(Flags inBits) const noexcept {
    return inBits.bits_ != T() && (bits_ & inBits.bits_) == inBits.bits_;
  }

  Flags& operator|=(Flags inBits) noexcept {
    bits_ = static_cast<T>(bits_ | inBits.bits_);
    return *this;
  }
  Flags& operator&=(Flags inBits) noexcept {
    bits_ = static_cast<T>(bits_ & inBits.bits_);
    return *this;
  }

  friend constexpr Flags operator|(Flags a, Flags b) noexcept {
    return Flags(static_cast<T>(a.bits_ | b.bits_));
  }
  friend constexpr Flags operator&(Flags a, Flags b) noexcept {
    return Flags(static_cast<T>(a.bits_ & b.bits_));
  }
  friend constexpr bool operator==(Flags a, Flags b) noexcept { return a.bits_ == b.bits_; }
  friend constexpr bool operator!=(Flags a, Flags b) noexcept { return a.bits_ != b.bits_; }

 private:
  T bits_;
};

}  // namespace utility
}  // namespace vireo

#endif
