// The failure path shared by the library's contract checks.
#ifndef VIREO_DEBUG_SRC_CONTRACTCHECK_H
#define VIREO_DEBUG_SRC_CONTRACTCHECK_H

namespace vireo {
namespace debug {
namespace impl {

// The contract dialog for `expression` at file:line, the debugger break when asked for, then
// the input contract violation raised through ThrowError. Returns when the error manager does.
void ReportContractViolation(char const* expression, char const* file, long line);

}  // namespace impl
}  // namespace debug
}  // namespace vireo

#endif
