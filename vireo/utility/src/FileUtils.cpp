// Simple file utilities over the platform's file services.
#include "vireo/utility/FileUtils.h"

#include "vireo/platform/Files.h"
#include "vireo/utility/Numbers.h"

namespace vireo {
namespace utility {
namespace FileUtils {
namespace {

UTF16String const& LongPathMarker() {
  static UTF16String const marker = AsciiToUTF16("\\\\?\\");
  return marker;
}

UTF16String Native(UTF16String const& path) { return LongPathMarker() + path; }

// Text mode: each line feed goes out as carriage return and line feed. Converted through a
// small buffer, so a large text is not copied whole.
void WriteText(platform::FileHandle file, UTF8String const& text) {
  unsigned char buffer[8192];
  std::size_t used = 0;
  auto flush = [&] {
    unsigned long written = 0;
    platform::WriteFile(file, buffer, static_cast<unsigned long>(used), written);
    used = 0;
  };
  for (unsigned char byte : text) {
    if (used + 2 > sizeof buffer) flush();
    if (byte == '\n') buffer[used++] = '\r';
    buffer[used++] = byte;
  }
  if (used) flush();
}

void WriteToFile(UTF16String const& path, platform::FileDisposition disposition,
                 UTF8String const& text) {
  UTF16String const native = Native(path);
  platform::FileHandle file = nullptr;
  if (platform::OpenFile(native.data(), native.size(), platform::kAccessWrite,
                         platform::kShareRead | platform::kShareWrite, disposition, 0, file) != 0)
    return;
  unsigned long long end = 0;
  if (platform::SeekFile(file, 0, platform::kSeekEnd, end) == 0) WriteText(file, text);
  platform::CloseFile(file);
}

}  // namespace

void CreateNewFile(UTF16String const& inPath) {
  UTF16String const native = Native(inPath);
  platform::FileHandle file = nullptr;
  if (platform::OpenFile(native.data(), native.size(), platform::kAccessWrite, 0,
                         platform::kCreateAlways, platform::kOpenInheritable, file) == 0)
    platform::CloseFile(file);
}

bool RemoveFile(UTF16String const& inPath) {
  UTF16String const native = Native(inPath);
  return platform::RemoveFile(native.data(), native.size()) == 0;
}

bool FileExists(UTF16String const& inPath) {
  UTF16String const native = Native(inPath);
  unsigned long attributes = 0;
  return platform::QueryAttributes(native.data(), native.size(), attributes) == 0;
}

bool GetParentPath(UTF16String const& inPath, UTF16String& outParent) {
  static unsigned short const kSeparators[] = {'\\', '/'};
  std::size_t const separator = inPath.find_last_of(kSeparators, UTF16String::npos, 2);
  UTF16String parent = separator == UTF16String::npos ? inPath : inPath.substr(0, separator);
  if (parent.empty()) return false;
  if (parent.back() == '\\') parent.pop_back();
  outParent.swap(parent);
  return true;
}

void BuildPathSpec(UTF16String const& inDirectory, UTF16String const& inName,
                   UTF16String& outResult) {
  UTF16String result = inDirectory;
  if (!result.empty() && result.back() != '\\') result.push_back('\\');
  result += inName;
  outResult.swap(result);
}

void SimpleWriteStringToFile(UTF16String const& inPath, UTF8String const& inText) {
  if (FileExists(inPath)) RemoveFile(inPath);
  CreateNewFile(inPath);
  WriteToFile(inPath, platform::kCreateAlways, inText);
}

void SimpleAppendStringToFile(UTF16String const& inPath, UTF8String const& inText) {
  if (!FileExists(inPath)) CreateNewFile(inPath);
  WriteToFile(inPath, platform::kOpenAlways, inText);
}

UTF16String UniqueFileName(UTF16String const& inDirectory, UTF16String const& inBase,
                           UTF16String const& inExtension) {
  UTF16String const stem = inDirectory + static_cast<unsigned short>('\\') + inBase;
  for (long long n = 1;; ++n) {
    UTF16String candidate = stem + NumberToString(n) + inExtension;
    if (!FileExists(candidate)) return candidate;
  }
}

void ContainedFiles(UTF16String const& inDirectory, std::vector<UTF16String>& ioFiles) {
  UTF16String const pattern = Native(inDirectory) + AsciiToUTF16("\\*.*");
  platform::SearchEntry entry;
  platform::SearchHandle search = nullptr;
  if (platform::StartSearch(pattern.data(), pattern.size(), entry, search) != 0) return;
  unsigned long const skipped =
      platform::kAttributeHidden | platform::kAttributeSystem | platform::kAttributeDirectory;
  do {
    if (entry.attributes & skipped) continue;
    UTF16String path = inDirectory;
    path.push_back('\\');
    path.append(entry.name, entry.nameLength);
    ioFiles.push_back(path);
  } while (platform::NextSearchEntry(search, entry) == 0);
  platform::EndSearch(search);
}

}  // namespace FileUtils
}  // namespace utility
}  // namespace vireo
