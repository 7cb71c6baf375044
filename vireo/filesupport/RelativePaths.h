// Relative paths with forward slashes, as documents store references to files near them:
// "../media/clip.avi" from the document's own directory.
#ifndef VIREO_FILESUPPORT_RELATIVEPATHS_H
#define VIREO_FILESUPPORT_RELATIVEPATHS_H

#include "vireo/Export.h"
#include "vireo/filesupport/File.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {

// False for an empty path, one that starts with "/" or "\", and one whose second unit is a
// colon ("C:..."); true otherwise.
VIREO_API bool IsNormalizedRelativePath(UTF16String const& inPath);

// The file that inPath names from the directory of inBase: components are separated by "/"
// only, "." is skipped, ".." goes up. A path that is not relative gives File(inPath); one
// that ends in "/" gives a File with an empty path.
VIREO_API File MakeFileFromPath(UTF16String const& inPath, File const& inBase);

// The relative path from the directory of inBase to inTarget, with "/" between components:
// the bare name when both lie in the same directory, "../" for each level up. Empty when the
// two share no directory (other drives). Directories compare exactly, case included.
VIREO_API UTF16String MakeNormalizedRelativePath(File const& inTarget, File const& inBase);

}  // namespace filesupport
}  // namespace vireo

#endif
