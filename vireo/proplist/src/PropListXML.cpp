// Writing property lists as XML documents and reading them back through the XML framework.
#include "vireo/proplist/PropListXML.h"

#include <string>
#include <typeinfo>

#include "vireo/filesupport/BufferedByteStream.h"
#include "vireo/filesupport/File.h"
#include "vireo/filesupport/PlatformByteStream.h"
#include "vireo/proplist/PropListXMLHandler.h"
#include "vireo/proplist/src/CanonicalReader.h"
#include "vireo/proplist/src/Numbers.h"
#include "vireo/proplist/src/ReadErrors.h"
#include "vireo/platform/Sax.h"
#include "vireo/proplist/src/XMLText.h"
#include "vireo/utility/FileUtils.h"
#include "vireo/xml/src/DocumentPath.h"
#include "vireo/xml/MSXMLParseHandler.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace vireo {
namespace proplist {
namespace utils {

using utility::UTF16String;
using utility::UTF8String;

void WritePropList(UTF8String& out, PropList const& inList) {
  out.clear();
  impl::Put(out, "<?xml version='1.0'?>\n<prop.map version='");
  impl::AppendNumber(out, inList.GetVersion());
  impl::Put(out, "'>\n");
  inList.OutputAsXMLFragment(out);
  impl::Put(out, "</prop.map>\n");
}

namespace {

// Runs `parse` on a parser from the installed factory, driving a reader for `ioList`.
// `fast` may read the document instead when that parser is the supplied one: it reads only
// documents in the writer's own form, with the same result.
template <class Parse, class Fast>
void Load(PropList& ioList, Parse parse, Fast fast) {
  PropListXMLHandler* const reader = new PropListXMLHandler(ioList);
  std::auto_ptr<xml::AbstractParseHandler> handler(reader);
  std::auto_ptr<xml::AbstractDocParser> parser = xml::GetParser(handler);
  if (!parser.get()) {
    impl::RaiseReadError("$$$/wren/proplist/Error/PropListUtils/MissingParserFactory=Missing XML Parser Factory.",
          21);
    return;
  }
  if (typeid(*parser) == typeid(xml::MSXMLParseHandler) && fast()) return;
  // A text cut short by the reader's limit is a document that was not read.
  if (parse(*parser) != xml::kXMLParseSuccess || reader->TextLimitExceeded())
    impl::RaiseReadError("$$$/wren/proplist/Error/PropListUtils/ParsingPropertiesList="
          "Error parsing properties list.",
          22);
}

}  // namespace

void ReadPropList(UTF8String const& inXML, PropList& ioList) {
  Load(ioList, [&](xml::AbstractDocParser& parser) { return parser.ParseBuffer(inXML); },
       [&] { return impl::ReadCanonical(inXML.data(), inXML.size(), ioList); });
}

void LoadPropList(UTF16String const& inPath, PropList& ioList) {
  Load(ioList, [&](xml::AbstractDocParser& parser) { return parser.ParseDocument(inPath); },
       [&] {
         // Larger files, pipes and anything unreadable go to the streaming parser.
         std::string path, bytes;
         return xml::impl::DocumentPathToPosix(inPath, path) &&
                platform::SaxReadDocument(path.c_str(), platform::kSaxDefaultMaxTextRun, bytes) &&
                impl::ReadCanonical(reinterpret_cast<unsigned char const*>(bytes.data()),
                                    bytes.size(), ioList);
       });
}

void SavePropList(UTF16String const& inPath, PropList const& inList) {
  UTF8String document;
  WritePropList(document, inList);
  utility::FileUtils::SimpleWriteStringToFile(inPath, document);
}

void SavePropList(filesupport::File& ioFile, PropList const& inList) {
  UTF8String document;
  WritePropList(document, inList);
  if (ioFile.Exists()) ioFile.Delete();
  ioFile.Create();
  filesupport::OPlatformByteStream file(ioFile);
  filesupport::OBufferedByteStream buffered(file, 32768, 4096);
  buffered.WriteBlock(document.data(), static_cast<unsigned long>(document.size()));
  // The destructor would swallow a failed last write; flushing here lets it propagate.
  buffered.Flush();
}

}  // namespace utils
}  // namespace proplist
}  // namespace vireo
