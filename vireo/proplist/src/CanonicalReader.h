// A fast reader for documents exactly as WritePropList writes them, which is what the
// library nearly always loads. It changes the list as the SAX reader driving a
// PropListXMLHandler would; any other document is left to that general path.
#ifndef VIREO_PROPLIST_SRC_CANONICALREADER_H
#define VIREO_PROPLIST_SRC_CANONICALREADER_H

#include <cstddef>

#include "vireo/proplist/PropList.h"

namespace vireo {
namespace proplist {
namespace impl {

// When `data` holds a document in the writer's exact form (its declaration, tags, line
// breaks, either LF or CR LF, and attribute quoting; text that is well-formed XML without
// character references), sets its values into `ioList` as the general reader would, raising
// the version error first when the document is newer, and answers true. Otherwise answers
// false having changed and raised nothing.
bool ReadCanonical(unsigned char const* data, std::size_t size, PropList& ioList);

}  // namespace impl
}  // namespace proplist
}  // namespace vireo

#endif
