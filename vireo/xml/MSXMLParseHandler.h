// The supplied parser: forwards the events of the platform's SAX reader to a handler.
#ifndef VIREO_XML_MSXMLPARSEHANDLER_H
#define VIREO_XML_MSXMLPARSEHANDLER_H

#include <exception>

#include "vireo/Export.h"
#include "vireo/platform/Sax.h"
#include "vireo/xml/XMLParser.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace vireo {
namespace xml {

// Parses with the platform's SAX reader (namespaces processed, entities replaced, external
// entities never loaded) and hands each event to the owned handler with UTF-16 names and
// text. Any failure gives kXMLParseFailure, after the events that came before it. The
// parser may be used for several parses, one at a time.
class VIREO_API MSXMLParseHandler : public AbstractDocParser, public platform::SaxContentSink {
 public:
  explicit MSXMLParseHandler(std::auto_ptr<AbstractParseHandler>& ioHandler);
  ~MSXMLParseHandler() override;

  // Accepts a POSIX path ("/home/ann/a.xml"), the stored form ("\home\ann\a.xml"), a path
  // on a drive ("Z:\home\ann\a.xml", Z: being the root), a relative path, or a "file:" URL
  // ("file:///home/ann/a%20b.xml").
  XMLParseStatus ParseDocument(utility::UTF16String const& inPath) override;
  XMLParseStatus ParseBuffer(utility::UTF8String const& inBytes) override;

 private:
  bool StartDocument() override;
  bool EndDocument() override;
  bool StartElement(char const* inName, std::size_t inNameLength,
                    platform::SaxAttribute const* inAttributes, std::size_t inCount) override;
  bool EndElement(char const* inName, std::size_t inNameLength) override;
  bool Characters(char const* inText, std::size_t inLength) override;

  XMLParseStatus Finish(platform::SaxResult const& inResult);

  // A handler's exception, carried past the reader and rethrown when the parse returns.
  std::exception_ptr failure_;
  // Reused from event to event, so most events allocate nothing.
  utility::UTF16String name_;
  utility::UTF16String text_;
  AttributeMap attributes_;
};

// Makes MSXMLParseHandler parsers.
class VIREO_API MSXMLParserFactory : public DocParserFactory {
 public:
  std::auto_ptr<AbstractDocParser> GetParser(
      std::auto_ptr<AbstractParseHandler>& ioHandler) override;
};

}  // namespace xml
}  // namespace vireo

#pragma GCC diagnostic pop

#endif
