// Every file of a directory tree, depth first: a directory's own files before those of its
// subdirectories, a subdirectory's whole tree before its next sibling.
#ifndef VIREO_FILESUPPORT_RECURSIVEFILEITERATOR_H
#define VIREO_FILESUPPORT_RECURSIVEFILEITERATOR_H

#include <vector>

#include "vireo/Export.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"

namespace vireo {
namespace filesupport {

class VIREO_API RecursiveFileIterator {
 public:
  RecursiveFileIterator();  // at end
  // Stands on the first file of the tree under inRoot, or at end when it holds none. A
  // failure while starting leaves it at end.
  RecursiveFileIterator(Dir const& inRoot, bool inResolveShortcuts);

  File operator*() const;
  // The directory whose files are being visited.
  Dir CurrentDir() const;
  RecursiveFileIterator& operator++();
  RecursiveFileIterator operator++(int);
  bool operator==(RecursiveFileIterator const& inOther) const;
  bool operator!=(RecursiveFileIterator const& inOther) const { return !(*this == inOther); }

 private:
  void MoveOn();

  bool atEnd_;
  bool resolveShortcuts_;
  Dir::FileIterator file_;
  // Per level of the walk, the subdirectories still to visit.
  std::vector<Dir::DirIterator> levels_;
  Dir current_;
};

}  // namespace filesupport
}  // namespace vireo

#endif
