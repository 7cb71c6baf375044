// Path values: the normal form, the native form and the queries on a stored path.
#include "vireo/filesupport/FileHelper.h"

#include <cwctype>
#include <vector>

#include "vireo/filesupport/Dir.h"
#include "vireo/platform/Locale.h"

namespace vireo {
namespace filesupport {

namespace {

unsigned short const kBackslash = '\\';
unsigned short const kLongPrefix[] = {'\\', '\\', '?', '\\'};
unsigned short const kLongUncPrefix[] = {'\\', '\\', '?', '\\', 'U', 'N', 'C', '\\'};

bool StartsWith(UTF16String const& path, unsigned short const* prefix, std::size_t length) {
  return path.size() >= length && path.compare(0, length, prefix, length) == 0;
}

bool IsSeparator(unsigned short unit) { return unit == '\\' || unit == '/'; }

// Slashes become backslashes; a long prefix goes ("\\?\UNC\srv" is "\\srv" again).
void Normalize(UTF16String& path) {
  if (path.empty()) return;
  for (unsigned short& unit : path)
    if (unit == '/') unit = kBackslash;
  if (StartsWith(path, kLongUncPrefix, 8))
    path.erase(2, 6);
  else if (StartsWith(path, kLongPrefix, 4))
    path.erase(0, 4);
}

void RemoveTrailingBackslash(UTF16String& path) {
  if (!path.empty() && path.back() == kBackslash) path.pop_back();
}

// "\\server\share" and longer: two backslashes and a further one.
UTF16String NativeForm(UTF16String const& path) {
  bool const unc = path.size() >= 3 && path[0] == kBackslash && path[1] == kBackslash &&
                   path.find(kBackslash, 2) != UTF16String::npos;
  UTF16String native;
  if (unc) {
    native.reserve(path.size() + 6);
    native.assign(kLongUncPrefix, 8);
    native.append(path, 2, UTF16String::npos);
  } else {
    native.reserve(path.size() + 4);
    native.assign(kLongPrefix, 4);
    native.append(path);
  }
  return native;
}

std::size_t LastSeparator(UTF16String const& path) {
  for (std::size_t i = path.size(); i > 0; --i)
    if (IsSeparator(path[i - 1])) return i - 1;
  return UTF16String::npos;
}

// Start of the name: just after the last separator.
std::size_t NameStart(UTF16String const& path) {
  std::size_t const separator = LastSeparator(path);
  return separator == UTF16String::npos ? 0 : separator + 1;
}

// The last dot of the name, or npos when the name has none.
std::size_t ExtensionStart(UTF16String const& path) {
  std::size_t const dot = path.rfind('.');
  return dot != UTF16String::npos && dot >= NameStart(path) ? dot : UTF16String::npos;
}

UTF16String ParentText(UTF16String const& path) {
  std::size_t const separator = LastSeparator(path);
  return separator == UTF16String::npos ? UTF16String() : path.substr(0, separator);
}

std::size_t UpToNul(UTF16String const& text) {
  std::size_t const nul = text.find(static_cast<unsigned short>(0));
  return nul == UTF16String::npos ? text.size() : nul;
}

std::string MultiByte(UTF16String const& path) {
  std::size_t const length = UpToNul(path);
  std::size_t const size = platform::UTF16ToMultiByte(path.data(), length, nullptr, 0);
  if (size == 0) return std::string();
  std::string out(size, '\0');
  out.resize(platform::UTF16ToMultiByte(path.data(), length, &out[0], size));
  return out;
}

}  // namespace

// ---- FileHelper -------------------------------------------------------------------------

FileHelper::FileHelper() {}

FileHelper::FileHelper(UTF16String const& inPath) : path_(inPath) { Normalize(path_); }

FileHelper::FileHelper(std::string const& inPath) {
  std::size_t const units = platform::MultiByteToUTF16(inPath.data(), inPath.size(), nullptr, 0);
  if (units < 1) return;
  std::vector<unsigned short> buffer(units);
  std::size_t const converted =
      platform::MultiByteToUTF16(inPath.data(), inPath.size(), buffer.data(), units);
  path_.assign(buffer.data(), converted);
  Normalize(path_);
}

FileHelper::FileHelper(Dir const& inDir, UTF16String const& inName) {
  UTF16String const& directory = inDir.Helper().Path();
  path_.reserve(directory.size() + 1 + inName.size());
  path_.append(directory).append(1, kBackslash).append(inName);
  Normalize(path_);
}

UTF16String FileHelper::FullNativePath() const { return NativeForm(path_); }

UTF16String FileHelper::Name() const { return path_.substr(NameStart(path_)); }

UTF16String FileHelper::Title() const {
  std::size_t const start = NameStart(path_);
  std::size_t const dot = ExtensionStart(path_);
  return path_.substr(start, dot == UTF16String::npos ? UTF16String::npos : dot - start);
}

UTF16String FileHelper::Extension(bool inLowerCase) const {
  std::size_t const dot = ExtensionStart(path_);
  if (dot == UTF16String::npos) return UTF16String();
  UTF16String extension = path_.substr(dot);
  if (inLowerCase)
    for (unsigned short& unit : extension)
      unit = static_cast<unsigned short>(std::towlower(static_cast<std::wint_t>(unit)));
  return extension;
}

DirHelper FileHelper::ParentPath() const { return DirHelper(ParentText(path_)); }

std::string FileHelper::MultiBytePath() const { return MultiByte(path_); }

// ---- DirHelper ----------------------------------------------------------------------------

DirHelper::DirHelper() {}

DirHelper::DirHelper(UTF16String const& inPath) : path_(inPath) {
  RemoveTrailingBackslash(path_);
  Normalize(path_);
}

DirHelper::DirHelper(Dir const& inParent, UTF16String const& inName) {
  UTF16String const& parent = inParent.Helper().Path();
  path_.reserve(parent.size() + 1 + inName.size());
  path_.append(parent);
  if (path_.empty() || path_.back() != kBackslash) path_.append(1, kBackslash);
  path_.append(inName);
  RemoveTrailingBackslash(path_);
  Normalize(path_);
}

UTF16String DirHelper::FullNativePath() const { return NativeForm(path_); }

UTF16String DirHelper::Name() const { return path_.substr(NameStart(path_)); }

DirHelper DirHelper::ParentPath() const { return DirHelper(ParentText(path_)); }

bool DirHelper::IsTopLevel() const { return LastSeparator(path_) == UTF16String::npos; }

std::string DirHelper::MultiBytePath() const { return MultiByte(path_); }

int CompareFileNames(UTF16String const& inA, UTF16String const& inB) {
  return platform::CompareFileNameText(inA.data(), UpToNul(inA), inB.data(), UpToNul(inB));
}

}  // namespace filesupport
}  // namespace vireo
