// The shortcut reader on any bytes.
//
// Laws, for any input:
//   1. a link that reads names a non-empty target, and its texts hold no NUL unit;
//   2. what was read can be written, and reads back to the same fields;
//   3. the written link cut anywhere before its closing terminal block fails as truncated.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "vireo/filesupport/src/ShellLink.h"

namespace {

#define CHECK(condition)                                                                  \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "shell_link: law broken: %s (line %d)\n", #condition, __LINE__); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

using namespace vireo::filesupport::impl;

bool HasNul(vireo::utility::UTF16String const& text) {
  return text.find(static_cast<unsigned short>(0)) != vireo::utility::UTF16String::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  ShellLinkData link;
  if (ReadShellLink(data, size, link) != ShellLinkStatus::kOk) return 0;
  CHECK(!link.targetPath.empty() && !HasNul(link.targetPath) && !HasNul(link.description));

  vireo::utility::UTF8String bytes;
  CHECK(WriteShellLink(link, bytes) == ShellLinkStatus::kOk);
  ShellLinkData back;
  CHECK(ReadShellLink(bytes.data(), bytes.size(), back) == ShellLinkStatus::kOk);
  CHECK(back.targetPath == link.targetPath && back.description == link.description);
  CHECK(back.fileAttributes == link.fileAttributes && back.creationTime == link.creationTime &&
        back.accessTime == link.accessTime && back.writeTime == link.writeTime &&
        back.fileSize == link.fileSize);

  std::size_t const readPart = bytes.size() - 4;
  for (std::size_t cut : {std::size_t{0}, std::size_t{0x4C}, readPart / 2, readPart - 1}) {
    CHECK(ReadShellLink(bytes.data(), cut, back) == ShellLinkStatus::kTruncated);
  }
  return 0;
}
