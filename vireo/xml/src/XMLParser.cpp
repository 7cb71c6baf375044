// The handler and parser bases and the process-wide factory slot.
#include "vireo/xml/XMLParser.h"

#include <atomic>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace vireo {
namespace xml {

AbstractParseHandler::~AbstractParseHandler() = default;
void AbstractParseHandler::StartDocument() {}
void AbstractParseHandler::StartElement(utility::UTF16String const&, AttributeMap const&) {}
void AbstractParseHandler::EndElement(utility::UTF16String const&) {}
void AbstractParseHandler::Characters(utility::UTF16String const&) {}
void AbstractParseHandler::EndDocument() {}

AbstractDocParser::AbstractDocParser(std::auto_ptr<AbstractParseHandler>& ioHandler)
    : handler_(ioHandler) {}

AbstractDocParser::~AbstractDocParser() = default;

DocParserFactory::~DocParserFactory() = default;

namespace {
// Owns the installed factory. Filled once at start-up, before other threads parse; the
// factory lives until the process ends (it may be needed by code running at exit).
std::atomic<DocParserFactory*> gFactory{nullptr};
}  // namespace

void SetParserFactory(std::auto_ptr<DocParserFactory>& ioFactory) {
  DocParserFactory* const previous = gFactory.exchange(ioFactory.release());
  if (previous != gFactory.load()) delete previous;
}

std::auto_ptr<AbstractDocParser> GetParser(std::auto_ptr<AbstractParseHandler>& ioHandler) {
  DocParserFactory* const factory = gFactory.load();
  if (!factory) return std::auto_ptr<AbstractDocParser>();
  return factory->GetParser(ioHandler);
}

}  // namespace xml
}  // namespace vireo
