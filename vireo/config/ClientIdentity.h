// Who the client is (set once at start-up, read by the library's dialogs, log file and
// preferences), and the library's own version.
#ifndef VIREO_CONFIG_CLIENTIDENTITY_H
#define VIREO_CONFIG_CLIENTIDENTITY_H

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace config {

// Each getter returns the process-wide value itself: the reference stays valid until the
// process ends and shows later changes. Before its setter is called a value holds its default
// ("No Client Name", "No Client Version", "No Client Internal Version" for the internal
// version and the build number, "No Company Name"). Setters copy any text, empty included.
// Not synchronised: set the values before other threads read them.
VIREO_API utility::UTF16String const& GetClientName();
VIREO_API void SetClientName(utility::UTF16String const& inName);
VIREO_API utility::UTF16String const& GetClientVersion();
VIREO_API void SetClientVersion(utility::UTF16String const& inVersion);
VIREO_API utility::UTF16String const& GetClientInternalVersion();
VIREO_API void SetClientInternalVersion(utility::UTF16String const& inVersion);
VIREO_API utility::UTF16String const& GetClientBuildNumber();
VIREO_API void SetClientBuildNumber(utility::UTF16String const& inBuildNumber);
VIREO_API utility::UTF16String const& GetCompanyName();
VIREO_API void SetCompanyName(utility::UTF16String const& inName);

// The library's version: "2.0.0.Gadwall".
VIREO_API utility::UTF16String GetVersionString();

}  // namespace config
}  // namespace vireo

#endif
