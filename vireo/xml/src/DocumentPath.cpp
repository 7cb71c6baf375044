// Document paths and "file:" URLs as POSIX paths.
#include "vireo/xml/src/DocumentPath.h"

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
  UTF8String const bytes = utility::UTF16to8(inPath);
  std::string path(bytes.begin(), bytes.end());
  if (path.size() >= 5 && (path.compare(0, 5, "file:") == 0 || path.compare(0, 5, "FILE:") == 0)) {
    path.erase(0, 5);
    if (path.compare(0, 2, "//") == 0) {
      std::size_t const slash = path.find('/', 2);
      std::string const host = path.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
      if (!host.empty() && host != "localhost") return false;
      path.erase(0, slash == std::string::npos ? path.size() : slash);
    }
    std::string decoded;
    for (std::size_t i = 0; i < path.size(); ++i) {
      int hi, lo;
      if (path[i] == '%' && i + 2 < path.size() && (hi = HexValue(path[i + 1])) >= 0 && (lo = HexValue(path[i + 2])) >= 0) {
        decoded += static_cast<char>(hi * 16 + lo);
        i += 2;
      } else {
        decoded += path[i];
      }
    }
    path.swap(decoded);
    if (path.size() >= 3 && path[0] == '/' && IsDrive(path, 1)) path.erase(0, 1);  // file:///Z:/a
  }
  if (path.compare(0, 4, "\\\\?\\") == 0) path.erase(0, 4);  // the native long form
  if (path.compare(0, 2, "\\\\") == 0 || path.compare(0, 2, "//") == 0) return false;  // UNC
  if (IsDrive(path, 0)) {
    if (path[0] != 'Z' && path[0] != 'z') return false;
    path.erase(0, 2);
    if (path.empty()) path = "/";
  }
  for (char& c : path)
    if (c == '\\') c = '/';
  out.swap(path);
  return !out.empty();
}

}  // namespace impl
}  // namespace xml
}  // namespace vireo
