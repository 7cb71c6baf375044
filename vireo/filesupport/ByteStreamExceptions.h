// What the byte streams throw. The classes carry no data; catch eof_error for the end of a
// stream, io_error for a failure of the medium, byte_stream_exception for any of them.
#ifndef VIREO_FILESUPPORT_BYTESTREAMEXCEPTIONS_H
#define VIREO_FILESUPPORT_BYTESTREAMEXCEPTIONS_H

#include <exception>

#include "vireo/Export.h"

namespace vireo {
namespace filesupport {

class VIREO_API byte_stream_exception : public std::exception {
 public:
  ~byte_stream_exception() override;
  char const* what() const noexcept override;
};

// Reading past the end of a stream, writing past the end of a fixed buffer, or positioning a
// buffered input stream beyond its length.
class VIREO_API eof_error : public byte_stream_exception {
 public:
  ~eof_error() override;
  char const* what() const noexcept override;
};

// A read, write, seek or size query that the medium failed.
class VIREO_API io_error : public byte_stream_exception {
 public:
  ~io_error() override;
  char const* what() const noexcept override;
};

}  // namespace filesupport
}  // namespace vireo

#endif
