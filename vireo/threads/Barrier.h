// A barrier for a fixed number of threads.
#ifndef VIREO_THREADS_BARRIER_H
#define VIREO_THREADS_BARRIER_H

#include <string>

#include "vireo/Export.h"

namespace boost {
class barrier;
}

namespace vireo {
namespace threads {

// Copying transfers the underlying barrier and leaves the source empty.
class VIREO_API Barrier {
 public:
  // Throws std::invalid_argument ("count cannot be zero.") for a count of 0.
  Barrier(std::string const& inName, unsigned int inCount);
  Barrier(Barrier& ioOther);
  Barrier& operator=(Barrier& ioOther);
  virtual ~Barrier();

  // Blocks until inCount threads have called Wait; true in exactly one of them (the last to
  // arrive). The barrier then starts over.
  bool Wait();

  std::string const& GetName() const { return name_; }

 private:
  std::string name_;
  boost::barrier* barrier_;
};

}  // namespace threads
}  // namespace vireo

#endif
