// The well-known folders of the user and of the machine, and the temporary path, found by
// the XDG conventions. Paths come back in the library's stored form: "/home/ann/.config" is
// given as "\home\ann\.config".
#ifndef VIREO_PLATFORM_SPECIALFOLDERS_H
#define VIREO_PLATFORM_SPECIALFOLDERS_H

#include "vireo/Export.h"
#include "vireo/platform/Files.h"

namespace vireo {
namespace platform {

enum SpecialFolder {
  kFolderUserAppData,         // $XDG_CONFIG_HOME, else ~/.config
  kFolderDocuments,           // XDG_DOCUMENTS_DIR of user-dirs.dirs, else ~/Documents
  kFolderProgramFiles,        // /opt
  kFolderCommonProgramFiles   // /usr/local/share
};

// The folder's path, without a trailing separator. Environment values that are empty or
// not absolute are ignored, as the XDG rules say; the home directory is $HOME, else the
// user's entry in the password database. With inCreate a missing folder is made, missing
// parents included (mode 0700: these are the user's private folders). False, with outPath
// untouched, when the folder cannot be determined, cannot be created, exists as something
// other than a directory (only checked with inCreate), or its path cannot be stored (it holds
// a backslash or bytes that are not UTF-8). Thread-safe as long as no thread changes the
// environment meanwhile.
VIREO_API bool GetSpecialFolderPath(SpecialFolder inFolder, bool inCreate,
                                    PathUnits& outPath);

// The directory for temporary files: $TMPDIR when it is absolute, else /tmp, with one
// trailing backslash as callers of a temporary-path query expect ("\tmp\"). False, with
// outPath untouched, when the path cannot be stored.
VIREO_API bool GetTemporaryPath(PathUnits& outPath);

}  // namespace platform
}  // namespace vireo

#endif
