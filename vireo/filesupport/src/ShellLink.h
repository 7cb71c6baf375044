// Shortcut (".lnk") files in the Shell Link binary format: a writer for links that name their
// target by a local path, and a reader that takes the local path and description of any link.
// Pure byte work; reading and writing the files themselves is the caller's business.
#ifndef VIREO_FILESUPPORT_SRC_SHELLLINK_H
#define VIREO_FILESUPPORT_SRC_SHELLLINK_H

#include <cstddef>
#include <cstdint>

#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {
namespace impl {

// What a link says about its target. The header fields are a snapshot taken when the link
// was written; a reader must not trust them to describe the target now.
struct ShellLinkData {
  utility::UTF16String targetPath;   // local base path followed by the common path suffix
  utility::UTF16String description;  // empty when the link carries none
  std::uint32_t fileAttributes = 0;  // 0x10 marks a directory
  std::uint64_t creationTime = 0;    // 100 ns units since 1601-01-01 UTC
  std::uint64_t accessTime = 0;
  std::uint64_t writeTime = 0;
  std::uint32_t fileSize = 0;        // low 32 bits of the target's size
};

enum class ShellLinkStatus {
  kOk,
  kTruncated,     // the bytes end inside a structure
  kNotALink,      // wrong header size or class id
  kCorrupt,       // a size or offset points outside its structure, a string is unterminated
  kNoLocalPath,   // no link information, or it names no local path (network-only, ignored)
  kUnwritable     // a path or description the format cannot hold (NUL unit, too long)
};

constexpr std::uint32_t kShellLinkDirectoryAttribute = 0x10;

// Parses `size` bytes at `data`. On kOk, `out` holds the link's fields; otherwise it is left
// unspecified. Never reads outside the given bytes.
ShellLinkStatus ReadShellLink(unsigned char const* data, std::size_t size, ShellLinkData& out);

// The bytes of a link to `link.targetPath` (stored as the local base path, in both the 8-bit
// and the UTF-16 form) with its description, times, size and attributes in the header.
// Fails with kUnwritable when the path is empty or either text holds a NUL unit or does not
// fit its 16-bit or 32-bit length field.
ShellLinkStatus WriteShellLink(ShellLinkData const& link, utility::UTF8String& bytes);

}  // namespace impl
}  // namespace filesupport
}  // namespace vireo

#endif
