// The user's locale through a locale object of its own (newlocale), so that nothing depends on
// or changes the process's current locale (setlocale).
#include "vireo/platform/Locale.h"

#include <langinfo.h>
#include <locale.h>
#include <unicode/ucnv.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

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

namespace {

UCollator* FileNameCollator() {
  static UCollator* collator = nullptr;
  static std::once_flag once;
  std::call_once(once, [] {
    // ICU's POSIX locale orders all capitals before all small letters, at primary strength.
    char const* name = ::uloc_getDefault();
    if (!name || std::strncmp(name, "en_US_POSIX", 11) == 0) name = "";
    UErrorCode status = U_ZERO_ERROR;
    UCollator* made = ::ucol_open(name, &status);
    if (U_FAILURE(status)) {
      if (made) ::ucol_close(made);
      return;
    }
    ::ucol_setStrength(made, UCOL_SECONDARY);
    collator = made;
  });
  return collator;
}

// The user's character set, read once: it stands for a code page, which does not change
// while a process runs.
std::string const& CharacterSet() {
  static std::string const name = [] {
    char buffer[64];
    GetUserCharacterSet(buffer, sizeof buffer);
    return std::string(buffer);
  }();
  return name;
}

// One conversion with a fresh converter (ICU caches the tables, opening is cheap).
class Converter {
 public:
  Converter() : converter_(nullptr) {
    UErrorCode status = U_ZERO_ERROR;
    converter_ = ::ucnv_open(CharacterSet().c_str(), &status);
    if (U_FAILURE(status)) converter_ = nullptr;
  }
  ~Converter() {
    if (converter_) ::ucnv_close(converter_);
  }
  Converter(Converter const&) = delete;
  Converter& operator=(Converter const&) = delete;
  UConverter* Get() const { return converter_; }

 private:
  UConverter* converter_;
};

}  // namespace

int CompareFileNameText(unsigned short const* a, std::size_t aLength, unsigned short const* b,
                        std::size_t bLength) {
  UCollator const* collator = FileNameCollator();
  if (!collator) return -2;
  switch (::ucol_strcoll(collator, reinterpret_cast<UChar const*>(a), static_cast<int32_t>(aLength),
                         reinterpret_cast<UChar const*>(b), static_cast<int32_t>(bLength))) {
    case UCOL_LESS: return -1;
    case UCOL_EQUAL: return 0;
    default: return 1;
  }
}

namespace {

int32_t Capacity(std::size_t size) { return static_cast<int32_t>(std::min<std::size_t>(size, 0x7FFFFFFF)); }

// Runs one ICU conversion of `length` input units; `measuring` when no output buffer is given.
template <typename Conversion>
std::size_t Convert(std::size_t length, bool measuring, Conversion conversion) {
  if (length == 0 || length > 0x7FFFFFFF) return 0;
  Converter converter;
  if (!converter.Get()) return 0;
  UErrorCode status = U_ZERO_ERROR;
  int32_t const count = conversion(converter.Get(), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) return measuring ? static_cast<std::size_t>(count) : 0;
  if (U_FAILURE(status)) return 0;
  return static_cast<std::size_t>(count);
}

}  // namespace

std::size_t MultiByteToUTF16(char const* text, std::size_t length, unsigned short* out,
                             std::size_t outSize) {
  return Convert(length, out == nullptr, [&](UConverter* converter, UErrorCode* status) {
    return ::ucnv_toUChars(converter, reinterpret_cast<UChar*>(out), out ? Capacity(outSize) : 0,
                           text, static_cast<int32_t>(length), status);
  });
}

std::size_t UTF16ToMultiByte(unsigned short const* text, std::size_t length, char* out,
                             std::size_t outSize) {
  return Convert(length, out == nullptr, [&](UConverter* converter, UErrorCode* status) {
    return ::ucnv_fromUChars(converter, out, out ? Capacity(outSize) : 0,
                             reinterpret_cast<UChar const*>(text), static_cast<int32_t>(length),
                             status);
  });
}

}  // namespace platform
}  // namespace vireo
