// Barrier over boost::barrier.
#include "vireo/threads/Barrier.h"

#include <stdexcept>

#include <boost/thread/barrier.hpp>

#include "vireo/threads/src/CallWrapper.h"

namespace vireo {
namespace threads {

Barrier::Barrier(std::string const& inName, unsigned int inCount)
    : name_(inName), barrier_(nullptr) {
  // Boost reports a zero count with its own exception type; callers expect this one.
  if (inCount == 0) throw std::invalid_argument("count cannot be zero.");
  barrier_ = impl::CallWrapped([inCount] { return new boost::barrier(inCount); });
}

Barrier::Barrier(Barrier& ioOther) : name_(ioOther.name_), barrier_(ioOther.barrier_) {
  ioOther.barrier_ = nullptr;
}

Barrier& Barrier::operator=(Barrier& ioOther) {
  if (this != &ioOther) {
    if (barrier_ != ioOther.barrier_) delete barrier_;
    name_ = ioOther.name_;
    barrier_ = ioOther.barrier_;
    ioOther.barrier_ = nullptr;
  }
  return *this;
}

Barrier::~Barrier() { delete barrier_; }

bool Barrier::Wait() {
  return impl::CallWrapped([this] {
    if (!barrier_) throw boost::lock_error();
    return barrier_->wait();
  });
}

}  // namespace threads
}  // namespace vireo
