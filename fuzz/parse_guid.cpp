// Guid parsing on any text: never a crash or a sanitizer report; a text in the 36-character
// form (checked here on its own) parses without an error and writes back as its lower-case
// self; any other text raises exactly one "MalformedGUID" error (code 28) and gives the nil
// identifier. The 8-bit, UTF-16 and stream paths agree.
//
// Input: the bytes are the text; for the UTF-16 path each byte is one unit.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "vireo/config/Errors.h"
#include "vireo/utility/Guid.h"

namespace {

class CountingErrorManager : public vireo::config::ErrorManager {
 public:
  void ReportError(vireo::config::ErrorLevel, char const*, unsigned long inComponent, long inCode,
                   bool, vireo::config::ReplacementValue const&,
                   vireo::config::ReplacementValue const&, vireo::config::ReplacementValue const&,
                   vireo::config::ReplacementValue const&) const override {
    ++count;
    if (inComponent != 105 || inCode != 28) {
      std::fprintf(stderr, "parse_guid: error %lu/%ld raised\n", inComponent, inCode);
      std::abort();
    }
  }
  mutable int count = 0;
};

void Check(bool ok, char const* what) {
  if (ok) return;
  std::fprintf(stderr, "parse_guid: %s\n", what);
  std::abort();
}

bool IsTextForm(std::string const& text) {
  if (text.size() != 36) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool const dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  static CountingErrorManager manager;
  vireo::config::ErrorManager::Set(&manager);
  std::string const text(reinterpret_cast<char const*>(data), size);
  bool const valid = IsTextForm(text);

  manager.count = 0;
  vireo::utility::Guid const parsed(text);
  Check(manager.count == (valid ? 0 : 1), "errors raised");
  if (valid) {
    std::string lower = text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    vireo::utility::UTF16String const back = parsed.AsString();
    Check(back == vireo::utility::UTF16String(lower.begin(), lower.end()), "written back");
  } else {
    Check(parsed == vireo::utility::Guid(), "not nil after a malformed text");
  }

  // The UTF-16 text is converted to UTF-8 up to its first NUL unit; units from 0x80 up become
  // several bytes, never part of the form.
  vireo::utility::UTF16String const wide(text.begin(), text.end());
  std::string const prefix = text.substr(0, text.find('\0'));
  manager.count = 0;
  vireo::utility::Guid const parsedWide(wide);
  Check(manager.count == (IsTextForm(prefix) ? 0 : 1), "errors raised on the UTF-16 path");
  manager.count = 0;
  Check(parsedWide == vireo::utility::Guid(prefix), "the UTF-16 path differs");

  // A stream reads the first word; a valid text is one word.
  std::istringstream stream(text);
  vireo::utility::Guid read = vireo::utility::Guid(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11);
  stream >> read;
  if (valid) Check(read == parsed && !stream.fail(), "the stream path differs");
  return 0;
}
