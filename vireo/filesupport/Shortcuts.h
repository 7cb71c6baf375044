// Shortcut (".lnk") files: writing them, and following them to their targets. A shortcut
// names its target by an absolute local path and may carry a description.
#ifndef VIREO_FILESUPPORT_SHORTCUTS_H
#define VIREO_FILESUPPORT_SHORTCUTS_H

#include "vireo/Export.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {

class VIREO_API FileUtils {
 public:
  // Replaces the path of a shortcut file by its target's path (in stored form) and tells
  // whether the target is a directory. Returns 0, or a negative status, with both arguments
  // untouched, when the file is no readable shortcut or its target does not exist.
  static long ResolveIT(UTF16String& ioPath, bool& outIsDirectory);

  // Writes the shortcut file inLinkPath (replacing one that exists) pointing at inTarget
  // with the description. Returns 0, or a negative status: the system's error number in
  // the low 16 bits of 0x80070000 when the file cannot be written, 0x80070057 when the
  // target is not an absolute path or a text cannot be stored in a shortcut.
  static long CreateLink(UTF16String const& inTarget, UTF16String const& inLinkPath,
                         UTF16String const& inDescription);
};

// Writes inLink as a shortcut to inTarget, with no description. Failures are ignored.
VIREO_API void CreateShortCut(File const& inLink, Dir const& inTarget);
VIREO_API void CreateShortCut(File const& inLink, File const& inTarget);

// When inFile exists and its extension is ".lnk" (in any case), follows it: a directory
// target goes to outDir, a file target to outFile, and outIsDirectory says which. False,
// touching no output, when inFile is no existing shortcut or cannot be followed.
VIREO_API bool ResolveIfAlias(File const& inFile, File& outFile, Dir& outDir,
                              bool& outIsDirectory);

// Replaces ioFile by its target when it is a shortcut to a file.
VIREO_API void ResolveIfAliasFileOnly(File& ioFile);

}  // namespace filesupport
}  // namespace vireo

#endif
