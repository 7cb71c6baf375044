// What the byte streams throw. Out-of-line destructors anchor the type information in the
// library, so a client catches the same classes the library throws.
#include "vireo/filesupport/ByteStreamExceptions.h"

namespace vireo {
namespace filesupport {

byte_stream_exception::~byte_stream_exception() {}
char const* byte_stream_exception::what() const noexcept { return "byte stream exception"; }

eof_error::~eof_error() {}
char const* eof_error::what() const noexcept { return "end of byte stream"; }

io_error::~io_error() {}
char const* io_error::what() const noexcept { return "byte stream input/output error"; }

}  // namespace filesupport
}  // namespace vireo
