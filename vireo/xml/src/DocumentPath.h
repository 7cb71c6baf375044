// The POSIX path of a document path the parsers accept.
#ifndef VIREO_XML_SRC_DOCUMENTPATH_H
#define VIREO_XML_SRC_DOCUMENTPATH_H

#include <string>

#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace xml {
namespace impl {

// A POSIX path ("/home/ann/a.xml"), the stored form ("\home\ann\a.xml"), a path on a
// drive of the platform's drive table, a relative path or a "file:" URL (local host,
// percent-escapes decoded) as a POSIX path; false when it names nothing local.
bool DocumentPathToPosix(utility::UTF16String const& inPath, std::string& out);

}  // namespace impl
}  // namespace xml
}  // namespace vireo

#endif
