// The two settings files of the diagnostics, "Trace Database.txt" and "Debug Database.txt":
// their formats as pure functions over bytes, and where the files are read and written.
// Exported for the library's tests, not installed.
#ifndef VIREO_DEBUG_SRC_SETTINGSFILES_H
#define VIREO_DEBUG_SRC_SETTINGSFILES_H

#include "vireo/Export.h"
#include "vireo/proplist/PropList.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace debug {
namespace impl {

extern char const kTraceDatabaseFileName[];  // "Trace Database.txt"
extern char const kDebugDatabaseFileName[];  // "Debug Database.txt"

// Trace settings: "name TAB enabled TAB volume LF" per category. Each record becomes a
// sub-list {"Enabled": bool, "Volume": long} of `database`; enabled is true exactly when its
// field reads as the number 1. A record cut short by the end of the data is not taken.
VIREO_API void ParseTraceDatabase(utility::UTF8String const& bytes, proplist::PropList& database);
// One record per sub-list of `database`, in key order, each line ended by LF (the text-mode
// writer makes that CR LF on disk). A missing property writes its default (enabled, 5).
VIREO_API utility::UTF8String FormatTraceDatabase(proplist::PropList const& database);

// Debug variables: "name TAB value LF" per variable; a CR just before the LF is not part of
// the value. A record cut short by the end of the data is not taken.
VIREO_API void ParseDebugDatabase(utility::UTF8String const& bytes, proplist::PropList& database);
// One line per 8-bit string value of `database`, in key order, ended by LF.
VIREO_API utility::UTF8String FormatDebugDatabase(proplist::PropList const& database);

// The number at the start of the text as C's atol reads it (white space, a sign, digits;
// what follows is ignored), held to 32 bits; 0 when there is none.
VIREO_API long ParseSettingsNumber(utility::UTF8String const& text);

// Where the settings files live. The library reads and writes them in the preferences
// directory (Dir::PrefDir) and raises the file exceptions of the file layer; tests may put a
// store of their own in its place.
class VIREO_API SettingsStore {
 public:
  virtual ~SettingsStore();
  // The whole content of the named file; false when there is no such file.
  virtual bool Read(char const* fileName, utility::UTF8String& bytes) = 0;
  // Replaces the named file's content with `text`, written in text mode.
  virtual void Write(char const* fileName, utility::UTF8String const& text) = 0;
};

// Null restores the preferences directory. Install before any settings are used.
VIREO_API void SetSettingsStore(SettingsStore* store);
SettingsStore& GetSettingsStore();

}  // namespace impl
}  // namespace debug
}  // namespace vireo

#endif
