// Simple file utilities on plain path strings: create, delete, test, list and write text
// files, split and join paths, find a free file name. They report failure by their result
// or not at all; none of them raises an error.
//
// Paths use "\" as the separator. Functions that touch the file system put the long-path
// marker "\\?\" in front of the path they are given (always, so the path must be absolute
// and must not carry the marker already); that lets paths past the classic length limit work.
#ifndef VIREO_UTILITY_FILEUTILS_H
#define VIREO_UTILITY_FILEUTILS_H

#include <vector>

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace utility {
namespace FileUtils {

// Creates the file, or truncates an existing one to length 0, and closes it at once.
// A failure is silent.
VIREO_API void CreateNewFile(UTF16String const& inPath);

// Deletes the file; true when it was deleted.
VIREO_API bool RemoveFile(UTF16String const& inPath);

// True when the path names anything that exists, a directory too.
VIREO_API bool FileExists(UTF16String const& inPath);

// The part of inPath before its last "\" or "/" (the whole path when it has none), without
// a trailing "\". False, with outParent untouched, when that part is empty ("\b.txt").
VIREO_API bool GetParentPath(UTF16String const& inPath, UTF16String& outParent);

// inDirectory, a "\" unless inDirectory is empty or already ends in one, then inName.
VIREO_API void BuildPathSpec(UTF16String const& inDirectory, UTF16String const& inName,
                             UTF16String& outResult);

// Replaces the file's content with inText in text mode: every line feed is written as a
// carriage return and a line feed. A file that cannot be written gets nothing.
VIREO_API void SimpleWriteStringToFile(UTF16String const& inPath, UTF8String const& inText);

// Appends inText in text mode, creating the file when it is missing.
VIREO_API void SimpleAppendStringToFile(UTF16String const& inPath, UTF8String const& inText);

// The first of inDirectory + "\" + inBase + n + inExtension, for n = 1, 2, 3, ..., that
// names nothing existing. inExtension is used as it is (with its dot).
VIREO_API UTF16String UniqueFileName(UTF16String const& inDirectory, UTF16String const& inBase,
                                     UTF16String const& inExtension);

// Appends inDirectory + "\" + name for each file listed in the directory, leaving out
// directories, "." and "..", and hidden entries (names that begin with "."). Entries already
// in ioFiles stay. A directory that cannot be listed adds nothing; the order is the order in
// which the system lists the entries.
VIREO_API void ContainedFiles(UTF16String const& inDirectory, std::vector<UTF16String>& ioFiles);

}  // namespace FileUtils
}  // namespace utility
}  // namespace vireo

#endif
