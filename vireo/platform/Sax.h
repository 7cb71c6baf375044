// SAX XML reader: parses a document from memory or from a file and sends its events to a
// content sink. Namespaces are processed (elements and attributes are reported by their local
// names; namespace declarations are not attributes), entity references are replaced, external
// entities are never loaded, and entity expansion that grows far beyond the document is
// refused. Failures come back as a status value; nothing here throws.
#ifndef VIREO_PLATFORM_SAX_H
#define VIREO_PLATFORM_SAX_H

#include <cstddef>
#include <string>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// One attribute of a start tag: its local name and its value (entities replaced, white space
// normalised as XML prescribes), UTF-8, not NUL-terminated.
struct SaxAttribute {
  char const* name;
  std::size_t nameLength;
  char const* value;
  std::size_t valueLength;
};

// Receives the events of one parse, in document order. Every text is UTF-8 and valid only
// during the call. A callback answers true to go on, or false to stop the parse at once (the
// parse then reports kSaxStopped and sends nothing more, not even EndDocument). Callbacks
// must not throw: the reader runs them inside C code; catch and answer false instead.
class VIREO_API SaxContentSink {
 public:
  virtual ~SaxContentSink();
  // Before the first byte is parsed (after the file was opened, for a file).
  virtual bool StartDocument() = 0;
  // After the whole document parsed without error.
  virtual bool EndDocument() = 0;
  virtual bool StartElement(char const* name, std::size_t nameLength,
                            SaxAttribute const* attributes, std::size_t attributeCount) = 0;
  virtual bool EndElement(char const* name, std::size_t nameLength) = 0;
  // Character data of an element (CDATA sections included), never empty. The text between
  // two tags usually comes in one call, but a sink must accept it in several.
  virtual bool Characters(char const* text, std::size_t length) = 0;
};

enum SaxStatus {
  kSaxOk = 0,
  kSaxMalformed = 1,      // not well-formed, not namespace-well-formed, or unknown encoding
  kSaxAmplification = 2,  // entity expansion far larger than the document (refused)
  kSaxTextTooLong = 3,    // one run of character data longer than SaxLimits::maxTextRun
  kSaxCannotRead = 4,     // the file could not be opened or read
  kSaxStopped = 5,        // a sink callback answered false
  kSaxNoMemory = 6
};

// Character data between two tags above this many bytes fails the parse (kSaxTextTooLong),
// so a hostile document cannot make its reader hold gigabytes of text.
constexpr std::size_t kSaxDefaultMaxTextRun = std::size_t(64) << 20;

struct SaxLimits {
  std::size_t maxTextRun = kSaxDefaultMaxTextRun;
};

struct SaxResult {
  SaxStatus status;
  unsigned long line;    // where parsing stopped, from 1 (0 when no byte was parsed)
  unsigned long column;  // from 0, in bytes
};

// Parses `size` bytes at `data` as one document. The encoding is detected from a byte-order
// mark or the XML declaration (UTF-8 when neither names one). Events before a failure have
// been delivered; with a malformed document the character data read just before the fault
// is delivered too. Thread-safe: parses on different threads share nothing.
VIREO_API SaxResult SaxParseBuffer(void const* data, std::size_t size, SaxContentSink& sink,
                                   SaxLimits const& limits = SaxLimits());

// Parses the file at the POSIX `path` (UTF-8, NUL-terminated), read in blocks, so pipes and
// other streams work too. A file that cannot be opened gives kSaxCannotRead and no event.
VIREO_API SaxResult SaxParseFile(char const* path, SaxContentSink& sink,
                                 SaxLimits const& limits = SaxLimits());

// The bytes of the regular file at the POSIX `path` into `out`, for readers that look at a
// whole document before parsing it. False, with `out` unspecified, when the file cannot be
// read, is no regular file (a pipe cannot be read twice), or holds more than `maxSize` bytes.
VIREO_API bool SaxReadDocument(char const* path, std::size_t maxSize, std::string& out);

}  // namespace platform
}  // namespace vireo

#endif
