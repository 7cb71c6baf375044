// The SAX-style XML framework: handlers receive a document's events, parsers read a file or
// a buffer and drive one handler, and a process-wide factory slot makes the parsers. The
// library installs no factory; a client installs one (MSXMLParserFactory is supplied).
#ifndef VIREO_XML_XMLPARSER_H
#define VIREO_XML_XMLPARSER_H

#include <map>
#include <memory>

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

// std::auto_ptr is the ownership type of these interfaces; libstdc++ keeps it in C++17.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace vireo {
namespace xml {

// 0 for success; 10 when no parser could be made or the document failed to parse.
enum XMLParseStatus {
  kXMLParseSuccess = 0,
  kXMLParseFailure = 10
};

// Attribute local name to attribute value.
typedef std::map<utility::UTF16String, utility::UTF16String> AttributeMap;

// Receives the events of one document. Every event does nothing unless overridden.
// Names are local names (no namespace prefix); text has its entity references replaced and
// may arrive in several Characters calls. After a failure no further event arrives.
class VIREO_API AbstractParseHandler {
 public:
  virtual ~AbstractParseHandler();
  virtual void StartDocument();
  virtual void StartElement(utility::UTF16String const& inName, AttributeMap const& inAttributes);
  virtual void EndElement(utility::UTF16String const& inName);
  virtual void Characters(utility::UTF16String const& inText);
  virtual void EndDocument();
};

// Reads a document and drives the handler it owns. An exception thrown by the handler
// ends the parse and leaves the parser through the Parse call.
class VIREO_API AbstractDocParser {
 public:
  // Takes the handler over; `ioHandler` is left empty.
  explicit AbstractDocParser(std::auto_ptr<AbstractParseHandler>& ioHandler);
  AbstractDocParser(AbstractDocParser const&) = delete;
  AbstractDocParser& operator=(AbstractDocParser const&) = delete;
  virtual ~AbstractDocParser();

  // A file path (POSIX, or the library's stored form) or a "file:" URL.
  virtual XMLParseStatus ParseDocument(utility::UTF16String const& inPath) = 0;
  // The bytes of a document, in whatever encoding they declare.
  virtual XMLParseStatus ParseBuffer(utility::UTF8String const& inBytes) = 0;

 protected:
  AbstractParseHandler& Handler() { return *handler_; }

 private:
  std::auto_ptr<AbstractParseHandler> handler_;
};

// Makes parsers. Clients implement it to put their own XML reader behind the framework.
class VIREO_API DocParserFactory {
 public:
  virtual ~DocParserFactory();
  // A new parser owning the handler taken from `ioHandler`.
  virtual std::auto_ptr<AbstractDocParser> GetParser(
      std::auto_ptr<AbstractParseHandler>& ioHandler) = 0;
};

// Installs the process-wide factory, taking it out of `ioFactory`; a different factory that
// was installed before is destroyed. Install before other threads ask for parsers.
VIREO_API void SetParserFactory(std::auto_ptr<DocParserFactory>& ioFactory);

// A parser from the installed factory, owning the handler. Without a factory the result is
// empty and the handler stays in `ioHandler`.
VIREO_API std::auto_ptr<AbstractDocParser> GetParser(std::auto_ptr<AbstractParseHandler>& ioHandler);

}  // namespace xml
}  // namespace vireo

#pragma GCC diagnostic pop

#endif
