// Path values of files and directories. A path is stored in normal form: backslashes only,
// no long-path prefix ("\\?\", "\\?\UNC\"); the native form handed to the system always
// carries one. A drive root is stored as "C:", and a path without any separator is a
// top-level directory.
#ifndef VIREO_FILESUPPORT_FILEHELPER_H
#define VIREO_FILESUPPORT_FILEHELPER_H

#include <string>

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {

using utility::UTF16String;

class Dir;
class DirHelper;

// The path of a file.
class VIREO_API FileHelper {
 public:
  FileHelper();
  // Normalised: "/" becomes "\", a long-path prefix is removed.
  explicit FileHelper(UTF16String const& inPath);
  // A path in the system's multi-byte character set; an empty or unconvertible text gives an
  // empty path.
  explicit FileHelper(std::string const& inPath);
  // The directory's path, "\", the name; normalised.
  FileHelper(Dir const& inDir, UTF16String const& inName);

  UTF16String const& Path() const { return path_; }
  // The path with the long-path prefix, as the system takes it.
  UTF16String FullNativePath() const;

  // Everything after the last separator; the part of it before the last dot; that dot and
  // what follows (empty when the name has no dot), lower-cased on request.
  UTF16String Name() const;
  UTF16String Title() const;
  UTF16String Extension(bool inLowerCase) const;
  // The directory the path lies in (empty for a path without separators).
  DirHelper ParentPath() const;
  // The path in the system's multi-byte character set.
  std::string MultiBytePath() const;

 private:
  UTF16String path_;
};

// The path of a directory: as a file's, less one trailing backslash ("C:\" is stored as
// "C:").
class VIREO_API DirHelper {
 public:
  DirHelper();
  // One trailing backslash is removed, then the path is normalised (so "C:/Media/" keeps the
  // backslash its last slash becomes).
  explicit DirHelper(UTF16String const& inPath);
  // The parent's path, a backslash unless it ends in one, the name; then as above.
  DirHelper(Dir const& inParent, UTF16String const& inName);

  UTF16String const& Path() const { return path_; }
  UTF16String FullNativePath() const;

  UTF16String Name() const;
  DirHelper ParentPath() const;
  // True when the path holds no separator at all.
  bool IsTopLevel() const;
  std::string MultiBytePath() const;

 private:
  UTF16String path_;
};

// Orders two names or paths (each up to its first NUL) as the user's locale orders file
// names, ignoring case, width and kana type: -1, 0 or 1; -2 when no comparison can be made.
VIREO_API int CompareFileNames(UTF16String const& inA, UTF16String const& inB);

}  // namespace filesupport
}  // namespace vireo

#endif
