// Client identity values. Each is made on first use rather than at load time, so that loading
// the library allocates nothing; none is ever destroyed, so references stay valid until exit.
#include "vireo/config/ClientIdentity.h"

#include <string>

namespace vireo {
namespace config {
namespace {

// Function-local statics: made on first use under the language's thread-safe initialisation.
utility::UTF16String& ClientName() {
  static auto* value = new utility::UTF16String(utility::AsciiToUTF16("No Client Name"));
  return *value;
}
utility::UTF16String& ClientVersion() {
  static auto* value = new utility::UTF16String(utility::AsciiToUTF16("No Client Version"));
  return *value;
}
utility::UTF16String& ClientInternalVersion() {
  static auto* value =
      new utility::UTF16String(utility::AsciiToUTF16("No Client Internal Version"));
  return *value;
}
utility::UTF16String& ClientBuildNumber() {
  static auto* value =
      new utility::UTF16String(utility::AsciiToUTF16("No Client Internal Version"));
  return *value;
}
utility::UTF16String& CompanyName() {
  static auto* value = new utility::UTF16String(utility::AsciiToUTF16("No Company Name"));
  return *value;
}

}  // namespace

utility::UTF16String const& GetClientName() { return ClientName(); }
void SetClientName(utility::UTF16String const& inName) { ClientName() = inName; }
utility::UTF16String const& GetClientVersion() { return ClientVersion(); }
void SetClientVersion(utility::UTF16String const& inVersion) { ClientVersion() = inVersion; }
utility::UTF16String const& GetClientInternalVersion() { return ClientInternalVersion(); }
void SetClientInternalVersion(utility::UTF16String const& inVersion) {
  ClientInternalVersion() = inVersion;
}
utility::UTF16String const& GetClientBuildNumber() { return ClientBuildNumber(); }
void SetClientBuildNumber(utility::UTF16String const& inBuildNumber) {
  ClientBuildNumber() = inBuildNumber;
}
utility::UTF16String const& GetCompanyName() { return CompanyName(); }
void SetCompanyName(utility::UTF16String const& inName) { CompanyName() = inName; }

utility::UTF16String GetVersionString() {
  std::string const version = std::string("2.0.0") + "." + "Gadwall";
  return utility::AsciiToUTF16(version.c_str());
}

}  // namespace config
}  // namespace vireo
