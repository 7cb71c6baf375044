// Shortcut files followed to their targets, for listings that resolve shortcuts.
#include "vireo/filesupport/src/Listing.h"

#include "vireo/filesupport/FileHelper.h"
#include "vireo/filesupport/src/ShellLink.h"
#include "vireo/platform/Files.h"

namespace vireo {
namespace filesupport {
namespace impl {

using utility::UTF8String;

namespace {

long const kResolveFailed = -1;
// A link is a few hundred bytes; anything this large is not one.
unsigned long const kLargestLink = 1 << 20;

bool ReadWhole(UTF16String const& native, UTF8String& bytes) {
  platform::FileHandle handle = nullptr;
  if (platform::OpenFile(native.data(), native.size(), platform::kAccessRead,
                         platform::kShareRead, platform::kOpenExisting, 0, handle) != 0)
    return false;
  unsigned long long size = 0;
  bool ok = platform::FileLength(handle, size) == 0 && size > 0 && size <= kLargestLink;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    unsigned long read = 0;
    ok = platform::ReadFile(handle, &bytes[0], static_cast<unsigned long>(size), read) == 0 &&
         read == size;
  }
  platform::CloseFile(handle);
  return ok;
}

}  // namespace

long ResolveShortcut(UTF16String& ioPath, bool& outIsDirectory) {
  UTF8String bytes;
  if (!ReadWhole(FileHelper(ioPath).FullNativePath(), bytes)) return kResolveFailed;
  ShellLinkData link;
  if (ReadShellLink(bytes.data(), bytes.size(), link) != ShellLinkStatus::kOk) return kResolveFailed;
  FileHelper const target(link.targetPath);
  UTF16String const native = target.FullNativePath();
  unsigned long attributes = 0;
  if (target.Path().empty() ||
      platform::QueryAttributes(native.data(), native.size(), attributes) != 0)
    return kResolveFailed;
  ioPath = target.Path();
  outIsDirectory = (attributes & platform::kAttributeDirectory) != 0;
  return 0;
}

}  // namespace impl
}  // namespace filesupport
}  // namespace vireo
