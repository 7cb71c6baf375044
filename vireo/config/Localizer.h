// The client's localizer: turns a message key literal ("$$$/path=Default text") into the
// display text of the user's language. The library never deletes the installed localizer.
#ifndef VIREO_CONFIG_LOCALIZER_H
#define VIREO_CONFIG_LOCALIZER_H

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace config {

class VIREO_API Localizer {
 public:
  Localizer();
  Localizer(Localizer const&) = delete;
  Localizer& operator=(Localizer const&) = delete;
  virtual ~Localizer();

  // Display text for the whole key literal, placeholders left in place. Called from any thread.
  virtual utility::UTF16String GetLocalizedString(char const* inKey) = 0;

  // Installs l (null uninstalls). Call before other threads use the library.
  static void Set(Localizer* l);
  // The installed localizer; throws std::logic_error when none is installed.
  static Localizer* Get();
  static bool Initialized();
};

// Display text for a key literal: the installed localizer's, or else the default text after
// the first "=" (UTF-8), for code that may run before a localizer is installed.
VIREO_API utility::UTF16String LocalizeOrDefault(char const* inKey);

}  // namespace config
}  // namespace vireo

#endif
