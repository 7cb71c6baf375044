// Document paths and "file:" URLs as POSIX paths.
#include "vireo/xml/src/DocumentPath.h"

#include <algorithm>

#include "vireo/platform/Files.h"

namespace vireo {
namespace xml {
namespace impl {

using utility::UTF16String;
using utility::UTF8String;

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDrive(std::string const& p, std::size_t at) {
  char const c = p.size() > at ? p[at] : 0;
  return ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && p.size() > at + 1 &&
         p[at + 1] == ':' && (p.size() == at + 2 || p[at + 2] == '/' || p[at + 2] == '\\');
}

}  // namespace

bool DocumentPathToPosix(UTF16String const& inPath, std::string& out) {
  static unsigned short const kScheme[] = {'f', 'i', 'l', 'e', ':'};
  bool const isURL =
      inPath.size() >= 5 && std::equal(kScheme, kScheme + 5, inPath.begin(), [](unsigned short a, unsigned short b) {
        return a == (b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
      });
  if (!isURL) return platform::NativeToPosixPath(inPath.data(), inPath.size(), out) == 0;

  UTF8String const bytes = utility::UTF16to8(inPath);
  std::string path(bytes.begin() + 5, bytes.end());
  if (path.compare(0, 2, "//") == 0) {
    std::size_t const slash = path.find('/', 2);
    std::string const host = path.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
    if (!host.empty() && host != "localhost") return false;
    path.erase(0, slash == std::string::npos ? path.size() : slash);
  }
  std::string decoded;
  for (std::size_t i = 0; i < path.size(); ++i) {
    int hi, lo;
    if (path[i] == '%' && i + 2 < path.size() && (hi = HexValue(path[i + 1])) >= 0 &&
        (lo = HexValue(path[i + 2])) >= 0) {
      decoded += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      decoded += path[i];
    }
  }
  if (decoded.size() >= 3 && decoded[0] == '/' && IsDrive(decoded, 1)) decoded.erase(0, 1);  // file:///Z:/a
  UTF16String const native =
      utility::UTF8to16(reinterpret_cast<unsigned char const*>(decoded.data()), decoded.size());
  // A decoded NUL or broken UTF-8 shortens the text; such a URL names nothing.
  if (native.empty() || utility::UTF16to8(native).size() != decoded.size()) return false;
  return platform::NativeToPosixPath(native.data(), native.size(), out) == 0;
}

}  // namespace impl
}  // namespace xml
}  // namespace vireo
