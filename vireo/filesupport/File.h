// A file: a value holding an absolute path. It keeps nothing open; each operation opens and
// closes what it needs and throws the file exceptions when the system refuses.
#ifndef VIREO_FILESUPPORT_FILE_H
#define VIREO_FILESUPPORT_FILE_H

#include <string>

#include "vireo/Export.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/FileHelper.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {

// What File::Size reports: 0, 2, 3 and 5 the size of the data, 1 and 4 (and anything above
// 5) nothing.
enum FileSizeSelector {
  kFileSizeData = 0,
  kFileSizeNone = 1,
  kFileSizeLogical = 2,
  kFileSizePhysical = 3,
  kFileSizeResource = 4,
  kFileSizeTotal = 5
};

class VIREO_API File {
 public:
  File();
  explicit File(UTF16String const& inPath);
  File(Dir const& inDir, UTF16String const& inName);
  // With inResolveShortcut, a shortcut file of that name that leads to a file gives the
  // file; otherwise the same as above.
  File(Dir const& inDir, UTF16String const& inName, bool inResolveShortcut);
  explicit File(FileHelper const& inHelper);
  File(File const& inOther);
  File& operator=(File const& inOther);
  ~File();

  // True when anything, a directory too, exists at the path.
  bool Exists() const;
  // Creates the file, or empties an existing one. Throws create_exception or one of its
  // subclasses.
  void Create();
  // Throws file_delete_exception.
  void Delete();
  // Gives the file the new bare name in its directory; throws rename_file and keeps the old
  // path on failure.
  void Rename(UTF16String const& inNewName);
  // Last-write and creation times in 100 ns units since 1601-01-01 UTC. Throw
  // file_not_found_exception for a missing file, file_exception otherwise.
  unsigned long long Modified() const;
  unsigned long long Created() const;
  // The size of the data (see FileSizeSelector); 0 when the file cannot be read. Never throws.
  unsigned long long Size(FileSizeSelector inSelector) const;

  UTF16String GetName() const;
  UTF16String GetTitle() const;
  UTF16String GetExtension(bool inLowerCase) const;
  UTF16String FullPath() const;
  std::string FullPathMultiByte() const;
  Dir Parent() const;

  FileHelper const& Helper() const { return *helper_; }
  FileHelper& Helper() { return *helper_; }

  // Exact comparison of the stored paths: "C:\a" and "c:\a" differ.
  bool operator==(File const& inOther) const;
  bool operator!=(File const& inOther) const { return !(*this == inOther); }

 private:
  FileHelper* helper_;
};

}  // namespace filesupport
}  // namespace vireo

#endif
