// The application's own directories (executable, resources, plug-ins), each with an
// override a client can set. Dir's static members give the other well-known directories.
//
// Each function returns its override when one is set, else computes its default and keeps
// it, so a default is computed once. No lock guards these values: set overrides and make the
// first calls before other threads start.
#ifndef VIREO_FILESUPPORT_SPECIALDIRS_H
#define VIREO_FILESUPPORT_SPECIALDIRS_H

#include "vireo/Export.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"

namespace vireo {
namespace filesupport {
namespace commondirs {

// The running program's file.
VIREO_API File MainExecutableFile();
// Dir::AppDir().
VIREO_API Dir ExecutableDir();
VIREO_API Dir ResourcesDir();
// "Plug-ins" and "Required" in Dir::AppDir().
VIREO_API Dir PluginsDir();
VIREO_API Dir RequiredPluginsDir();
// "Quillon\Common\Plug-ins" in the machine's program files; an empty path when that folder
// cannot be found (and then looked up again on the next call).
VIREO_API Dir AllUserPluginsDir();
// AllUserPluginsDir().
VIREO_API Dir UserPluginsDir();

VIREO_API void SetMainExecutableOverride(File const& inFile);
VIREO_API void SetExecutableDirOverride(Dir const& inDir);
VIREO_API void SetResourcesDirOverride(Dir const& inDir);
VIREO_API void SetPluginsDirOverride(Dir const& inDir);
VIREO_API void SetRequiredPluginsDirOverride(Dir const& inDir);
// Make inDir the application directory; defaults derived from it and not yet computed
// follow it, those already computed keep their value.
VIREO_API void SetAppDirOverride(Dir const& inDir);
VIREO_API void SetPackageDirOverride(Dir const& inDir);

}  // namespace commondirs
}  // namespace filesupport
}  // namespace vireo

#endif
