// Property lists as XML documents: writing, reading, saving and loading.
//
//   <?xml version='1.0'?>
//   <prop.map version='4'>
//   <prop.list>
//   <prop.pair>
//   <key>width</key>
//   <double>12.5</double>
//   </prop.pair>
//   </prop.list>
//   </prop.map>
//
// One element per line, no indentation; floating values keep six significant digits.
// Loading needs a parser factory installed (vireo::xml::SetParserFactory).
#ifndef VIREO_PROPLIST_PROPLISTXML_H
#define VIREO_PROPLIST_PROPLISTXML_H

#include "vireo/Export.h"
#include "vireo/proplist/PropList.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {
class File;
}
namespace proplist {
namespace utils {

// `out` becomes the whole document for the list.
VIREO_API void WritePropList(utility::UTF8String& out, PropList const& inList);

// Parses the document held in `inXML` into `ioList` (not cleared first). Without a parser
// factory raises "...MissingParserFactory..." (level 1, component 104, code 21) and reads
// nothing; a document that fails to parse raises "...ParsingPropertiesList..." (code 22),
// and the values read before the fault stay in the list.
VIREO_API void ReadPropList(utility::UTF8String const& inXML, PropList& ioList);

// The same for the document in a file (any path form the parser accepts).
VIREO_API void LoadPropList(utility::UTF16String const& inPath, PropList& ioList);

// Writes the document to the file at `inPath` in text mode (line feeds as CR LF on disk, which
// the reader takes back); a file that cannot be written is left as it was.
VIREO_API void SavePropList(utility::UTF16String const& inPath, PropList const& inList);

// Writes the document as the new content of `ioFile`, which is deleted first if it exists and
// created again; bytes go out unchanged (LF line ends). The file exceptions of creation and
// writing propagate.
VIREO_API void SavePropList(filesupport::File& ioFile, PropList const& inList);

}  // namespace utils
}  // namespace proplist
}  // namespace vireo

#endif
