// The supplied parser over the platform's SAX reader.
#include "vireo/xml/MSXMLParseHandler.h"

#include <string>

#include "vireo/xml/src/DocumentPath.h"

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

}  // namespace

MSXMLParseHandler::MSXMLParseHandler(std::auto_ptr<AbstractParseHandler>& ioHandler)
    : AbstractDocParser(ioHandler) {}

MSXMLParseHandler::~MSXMLParseHandler() = default;

XMLParseStatus MSXMLParseHandler::ParseDocument(UTF16String const& inPath) {
  std::string path;
  if (!impl::DocumentPathToPosix(inPath, path)) return kXMLParseFailure;
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
