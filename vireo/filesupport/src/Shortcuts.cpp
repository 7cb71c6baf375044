// Shortcut files written through the Shell Link codec, and followed for File and Dir.
#include "vireo/filesupport/Shortcuts.h"

#include <cstdint>

#include "vireo/filesupport/FileHelper.h"
#include "vireo/filesupport/src/Listing.h"
#include "vireo/filesupport/src/ShellLink.h"
#include "vireo/platform/Files.h"

namespace vireo {
namespace filesupport {
namespace {

long Status(std::uint32_t code) { return static_cast<long>(static_cast<std::int32_t>(code)); }
long FromError(int error) { return Status(0x80070000u | (static_cast<std::uint32_t>(error) & 0xFFFFu)); }
long const kInvalidArgument = Status(0x80070057u);

// Rooted ("\home\ann") or on a drive ("C:", "C:\Media"); a network path counts as rooted.
bool IsAbsolute(UTF16String const& path) {
  if (!path.empty() && path[0] == '\\') return true;
  return path.size() >= 2 && path[1] == ':' && (path.size() == 2 || path[2] == '\\');
}

// The header's snapshot of the target; a target that cannot be examined leaves it zero.
void DescribeTarget(FileHelper const& target, impl::ShellLinkData& link) {
  UTF16String const native = target.FullNativePath();
  unsigned long attributes = 0;
  if (platform::QueryAttributes(native.data(), native.size(), attributes) != 0) return;
  link.fileAttributes = static_cast<std::uint32_t>(attributes);
  unsigned long long created = 0, written = 0;
  if (impl::ReadTimes(native, created, written) == 0) {
    link.creationTime = created;
    link.writeTime = link.accessTime = written;
  }
  if (!(attributes & platform::kAttributeDirectory))
    link.fileSize = static_cast<std::uint32_t>(File(target).Size(kFileSizeData));
}

}  // namespace

long FileUtils::ResolveIT(UTF16String& ioPath, bool& outIsDirectory) {
  return impl::ResolveShortcut(ioPath, outIsDirectory);
}

long FileUtils::CreateLink(UTF16String const& inTarget, UTF16String const& inLinkPath,
                           UTF16String const& inDescription) {
  FileHelper const target(inTarget);
  if (!IsAbsolute(target.Path())) return kInvalidArgument;
  impl::ShellLinkData link;
  link.targetPath = target.Path();
  link.description = inDescription;
  DescribeTarget(target, link);
  utility::UTF8String bytes;
  if (impl::WriteShellLink(link, bytes) != impl::ShellLinkStatus::kOk) return kInvalidArgument;

  UTF16String const native = FileHelper(inLinkPath).FullNativePath();
  platform::FileHandle file = nullptr;
  int error = platform::OpenFile(native.data(), native.size(), platform::kAccessWrite, 0,
                                 platform::kCreateAlways, 0, file);
  if (error != 0) return FromError(error);
  unsigned long written = 0;
  error = platform::WriteFile(file, bytes.data(), static_cast<unsigned long>(bytes.size()), written);
  int const closed = platform::CloseFile(file);
  if (error == 0) error = closed;
  if (error != 0) {
    // A partial link would only fail later, when someone follows it.
    platform::RemoveFile(native.data(), native.size());
    return FromError(error);
  }
  return 0;
}

void CreateShortCut(File const& inLink, Dir const& inTarget) {
  FileUtils::CreateLink(inTarget.FullPath(), inLink.FullPath(), UTF16String());
}

void CreateShortCut(File const& inLink, File const& inTarget) {
  FileUtils::CreateLink(inTarget.FullPath(), inLink.FullPath(), UTF16String());
}

bool ResolveIfAlias(File const& inFile, File& outFile, Dir& outDir, bool& outIsDirectory) {
  static UTF16String const kExtension = utility::AsciiToUTF16(".lnk");
  if (inFile.GetExtension(true) != kExtension || !inFile.Exists()) return false;
  UTF16String path = inFile.FullPath();
  bool isDirectory = false;
  if (FileUtils::ResolveIT(path, isDirectory) < 0) return false;
  if (isDirectory)
    outDir = Dir(path);
  else
    outFile = File(path);
  outIsDirectory = isDirectory;
  return true;
}

void ResolveIfAliasFileOnly(File& ioFile) {
  File target;
  Dir directory;
  bool isDirectory = false;
  if (ResolveIfAlias(ioFile, target, directory, isDirectory) && !isDirectory) ioFile = target;
}

File::File(Dir const& inDir, UTF16String const& inName, bool inResolveShortcut) : File(inDir, inName) {
  if (inResolveShortcut) ResolveIfAliasFileOnly(*this);
}

Dir::Dir(Dir const& inParent, UTF16String const& inName, bool inResolveShortcut)
    : Dir(inParent, inName) {
  if (!inResolveShortcut) return;
  File target;
  Dir directory;
  bool isDirectory = false;
  if (ResolveIfAlias(File(inParent, inName), target, directory, isDirectory) && isDirectory)
    *this = directory;
}

}  // namespace filesupport
}  // namespace vireo
