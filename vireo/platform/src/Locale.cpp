// The user's locale through a locale object of its own (newlocale), so that nothing depends on
// or changes the process's current locale (setlocale).
#include "vireo/platform/Locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace vireo {
namespace platform {
namespace {

// Copies at most size - 1 bytes of text, never cutting a UTF-8 sequence.
void CopyText(char const* text, char* out, std::size_t size) {
  if (size == 0) return;
  std::size_t length = text ? std::strlen(text) : 0;
  if (length >= size) {
    length = size - 1;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  if (length) std::memcpy(out, text, length);
  out[length] = '\0';
}

class UserLocale {
 public:
  UserLocale() : locale_(::newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0))) {}
  ~UserLocale() {
    if (locale_) ::freelocale(locale_);
  }
  UserLocale(UserLocale const&) = delete;
  UserLocale& operator=(UserLocale const&) = delete;

  bool Valid() const { return locale_ != static_cast<locale_t>(0); }
  char const* Info(nl_item item) const { return ::nl_langinfo_l(item, locale_); }

 private:
  locale_t locale_;
};

}  // namespace

bool GetUserNumberSeparators(NumberSeparators& outSeparators) {
  outSeparators.decimal[0] = outSeparators.grouping[0] = '\0';
  UserLocale const locale;
  if (!locale.Valid()) return false;
  CopyText(locale.Info(RADIXCHAR), outSeparators.decimal, sizeof outSeparators.decimal);
  CopyText(locale.Info(THOUSEP), outSeparators.grouping, sizeof outSeparators.grouping);
  return true;
}

bool GetUserCharacterSet(char* inBuffer, std::size_t inSize) {
  UserLocale const locale;
  CopyText(locale.Valid() ? locale.Info(CODESET) : "ANSI_X3.4-1968", inBuffer, inSize);
  return locale.Valid();
}

}  // namespace platform
}  // namespace vireo
