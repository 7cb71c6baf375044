// The supplied parser over the platform's SAX reader.
#include "vireo/xml/MSXMLParseHandler.h"

#include <string>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace vireo {
namespace xml {

using utility::UTF16String;
using utility::UTF8String;

namespace {

// UTF-16 form of UTF-8 text into `out`, reusing its storage; names and most text are ASCII.
void Widen(char const* text, std::size_t length, UTF16String& out) {
  out.resize(length);
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char const byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      out = utility::UTF8to16(reinterpret_cast<unsigned char const*>(text), length);
      return;
    }
    out[i] = byte;
  }
}

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

// The POSIX path of a document path or "file:" URL; false when it names nothing local.
// Drive paths follow the platform's default drive table, in which Z: is the root.
bool ToPosixPath(UTF16String const& inPath, std::string& out) {
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

}  // namespace

MSXMLParseHandler::MSXMLParseHandler(std::auto_ptr<AbstractParseHandler>& ioHandler)
    : AbstractDocParser(ioHandler) {}

MSXMLParseHandler::~MSXMLParseHandler() = default;

XMLParseStatus MSXMLParseHandler::ParseDocument(UTF16String const& inPath) {
  std::string path;
  if (!ToPosixPath(inPath, path)) return kXMLParseFailure;
  return Finish(platform::SaxParseFile(path.c_str(), *this));
}

XMLParseStatus MSXMLParseHandler::ParseBuffer(UTF8String const& inBytes) {
  return Finish(platform::SaxParseBuffer(inBytes.data(), inBytes.size(), *this));
}

XMLParseStatus MSXMLParseHandler::Finish(platform::SaxResult const& inResult) {
  if (failure_) {
    std::exception_ptr failure;
    failure.swap(failure_);
    std::rethrow_exception(failure);
  }
  return inResult.status == platform::kSaxOk ? kXMLParseSuccess : kXMLParseFailure;
}

// Each callback stops the reader when the handler throws; Finish rethrows.
#define VIREO_XML_FORWARD(call)              \
  try {                                      \
    call;                                    \
    return true;                             \
  } catch (...) {                            \
    failure_ = std::current_exception();     \
    return false;                            \
  }

bool MSXMLParseHandler::StartDocument() { VIREO_XML_FORWARD(Handler().StartDocument()) }

bool MSXMLParseHandler::EndDocument() { VIREO_XML_FORWARD(Handler().EndDocument()) }

bool MSXMLParseHandler::StartElement(char const* inName, std::size_t inNameLength,
                                     platform::SaxAttribute const* inAttributes,
                                     std::size_t inCount) {
  VIREO_XML_FORWARD({
    attributes_.clear();
    for (std::size_t i = 0; i < inCount; ++i) {
      platform::SaxAttribute const& a = inAttributes[i];
      Widen(a.name, a.nameLength, name_);
      Widen(a.value, a.valueLength, text_);
      attributes_[name_] = text_;
    }
    Widen(inName, inNameLength, name_);
    Handler().StartElement(name_, attributes_);
  })
}

bool MSXMLParseHandler::EndElement(char const* inName, std::size_t inNameLength) {
  VIREO_XML_FORWARD({
    Widen(inName, inNameLength, name_);
    Handler().EndElement(name_);
  })
}

bool MSXMLParseHandler::Characters(char const* inText, std::size_t inLength) {
  VIREO_XML_FORWARD({
    Widen(inText, inLength, text_);
    Handler().Characters(text_);
  })
}

#undef VIREO_XML_FORWARD

std::auto_ptr<AbstractDocParser> MSXMLParserFactory::GetParser(
    std::auto_ptr<AbstractParseHandler>& ioHandler) {
  return std::auto_ptr<AbstractDocParser>(new MSXMLParseHandler(ioHandler));
}

}  // namespace xml
}  // namespace vireo
