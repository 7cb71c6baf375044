// Relative paths between files, with "/" between components.
#include "vireo/filesupport/RelativePaths.h"

#include <algorithm>
#include <vector>

#include "vireo/filesupport/Dir.h"

namespace vireo {
namespace filesupport {

bool IsNormalizedRelativePath(UTF16String const& inPath) {
  if (inPath.empty() || inPath[0] == '/' || inPath[0] == '\\') return false;
  return inPath.size() == 1 || inPath[1] != ':';
}

File MakeFileFromPath(UTF16String const& inPath, File const& inBase) {
  if (!IsNormalizedRelativePath(inPath)) return File(inPath);
  static UTF16String const kHere = utility::AsciiToUTF16(".");
  static UTF16String const kUp = utility::AsciiToUTF16("..");
  Dir directory = inBase.Parent();
  for (std::size_t at = 0; at < inPath.size();) {
    std::size_t const slash = inPath.find('/', at);
    if (slash == UTF16String::npos) return File(directory, inPath.substr(at));
    UTF16String const component = inPath.substr(at, slash - at);
    at = slash + 1;
    if (component == kUp)
      directory = directory.Parent();
    else if (component != kHere)
      directory = Dir(directory, component);
  }
  return File();  // the path ended in "/": it names a directory, not a file
}

UTF16String MakeNormalizedRelativePath(File const& inTarget, File const& inBase) {
  Dir const targetDir = inTarget.Parent();
  Dir directory = inBase.Parent();
  if (targetDir == directory) return inTarget.GetName();

  // The target's directory and its ancestors, nearest first, up to a top-level directory.
  std::vector<Dir> ancestors;
  for (Dir ancestor = targetDir;; ancestor = ancestor.Parent()) {
    ancestors.push_back(ancestor);
    if (ancestor.IsTopLevelDir()) break;
  }
  UTF16String result;
  static UTF16String const kUp = utility::AsciiToUTF16("../");
  std::vector<Dir>::const_iterator common;
  while ((common = std::find(ancestors.begin(), ancestors.end(), directory)) == ancestors.end()) {
    result += kUp;
    if (directory.IsTopLevelDir()) return UTF16String();
    directory = directory.Parent();
  }
  for (auto down = std::make_reverse_iterator(common); down != ancestors.rend(); ++down) {
    result += down->GetName();
    result.push_back('/');
  }
  return result + inTarget.GetName();
}

}  // namespace filesupport
}  // namespace vireo
