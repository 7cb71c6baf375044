// Snapshot listings behind Dir's iterators, and the operations File and Dir share.
#ifndef VIREO_FILESUPPORT_SRC_LISTING_H
#define VIREO_FILESUPPORT_SRC_LISTING_H

#include <cstddef>
#include <vector>

#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {
namespace impl {

using utility::UTF16String;

// One iterator's state: full paths gathered once, and where the iterator stands. A null
// listing, or one whose index has passed its entries, is an iterator at end.
struct Listing {
  bool directories = false;  // subdirectories wanted (else files)
  bool resolveShortcuts = false;
  std::vector<UTF16String> entries;
  std::size_t index = 0;
};

// Lists the directory whose stored path is given; never fails (an unreadable directory gives
// an empty listing). One pass fills the files' listing, the subdirectories' or both (null:
// not wanted).
void ListDirectory(UTF16String const& inPath, UTF16String const& inNativePath,
                   bool inResolveShortcuts, Listing* outFiles, Listing* outDirectories);
Listing* ListDirectory(UTF16String const& inPath, UTF16String const& inNativePath,
                       bool inDirectories, bool inResolveShortcuts);

// The fixed and network drives, each "X:\".
Listing* ListVolumes();

// Reads the creation and last-write times through a handle that also opens directories.
// Returns the platform's error number.
int ReadTimes(UTF16String const& inNativePath, unsigned long long& outCreated,
              unsigned long long& outWritten);

// Replaces the path of a shortcut file by its target's and tells whether the target is a
// directory. 0 on success, negative when the link cannot be read or its target is gone.
long ResolveShortcut(UTF16String& ioPath, bool& outIsDirectory);

}  // namespace impl
}  // namespace filesupport
}  // namespace vireo

#endif
