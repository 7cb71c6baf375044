// A directory: a value holding an absolute path, with its listings. Listings are snapshots,
// taken when an iterator is made; they leave out hidden entries, "." and "..".
#ifndef VIREO_FILESUPPORT_DIR_H
#define VIREO_FILESUPPORT_DIR_H

#include <string>

#include "vireo/Export.h"
#include "vireo/filesupport/FileHelper.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {

class File;

namespace impl {
struct Listing;

// What both listing iterators share: a snapshot of full paths, taken once, and the index of
// the current one. Copies are deep; a moved-from iterator is at end.
class VIREO_API ListingIterator {
 public:
  ListingIterator();  // at end
  ListingIterator(ListingIterator const& inOther);
  ListingIterator& operator=(ListingIterator const& inOther);
  ListingIterator(ListingIterator&& inOther) noexcept;
  ListingIterator& operator=(ListingIterator&& inOther) noexcept;
  ~ListingIterator();

 protected:
  explicit ListingIterator(Listing* inListing);
  UTF16String const& Current() const;
  void Step();
  // Equal when both are at end, or neither is and they list the same entries with the same
  // flags and stand at the same index.
  bool Same(ListingIterator const& inOther) const;

 private:
  Listing* listing_;
};
}  // namespace impl

class VIREO_API Dir {
 public:
  // Subdirectories of a snapshot listing.
  class VIREO_API DirIterator : public impl::ListingIterator {
   public:
    DirIterator() {}
    Dir operator*() const;
    DirIterator& operator++() {
      Step();
      return *this;
    }
    DirIterator operator++(int) {
      DirIterator before(*this);
      Step();
      return before;
    }
    bool operator==(DirIterator const& inOther) const { return Same(inOther); }
    bool operator!=(DirIterator const& inOther) const { return !Same(inOther); }

   private:
    friend class Dir;
    explicit DirIterator(impl::Listing* inListing) : ListingIterator(inListing) {}
  };

  // Files of a snapshot listing.
  class VIREO_API FileIterator : public impl::ListingIterator {
   public:
    FileIterator() {}
    File operator*() const;
    FileIterator& operator++() {
      Step();
      return *this;
    }
    FileIterator operator++(int) {
      FileIterator before(*this);
      Step();
      return before;
    }
    bool operator==(FileIterator const& inOther) const { return Same(inOther); }
    bool operator!=(FileIterator const& inOther) const { return !Same(inOther); }

   private:
    friend class Dir;
    explicit FileIterator(impl::Listing* inListing) : ListingIterator(inListing) {}
  };

  Dir();
  explicit Dir(UTF16String const& inPath);
  // The parent's path, a backslash unless it ends in one, the name.
  Dir(Dir const& inParent, UTF16String const& inName);
  // With inResolveShortcut, a shortcut file of that name that leads to a directory gives the
  // directory; otherwise the same as above.
  Dir(Dir const& inParent, UTF16String const& inName, bool inResolveShortcut);
  explicit Dir(DirHelper const& inHelper);
  Dir(Dir const& inOther);
  Dir& operator=(Dir const& inOther);
  ~Dir();

  // True when a directory exists at the path; a drive ("C:") is tested at its root.
  bool Exists() const;
  // Creates the last level of the path; an existing directory is fine. Throws dir_exception.
  void Create();
  // Deletes the listed files, then the listed subdirectories (recursively), then the
  // directory. Throws dir_exception when the directory itself cannot be removed (it may
  // still hold hidden entries, which are never listed); inner failures pass through.
  void Delete();
  // Throws rename_dir_already_exists when the name is taken, rename_dir otherwise.
  void Rename(UTF16String const& inNewName);
  // As File's; throw dir_not_found_exception or dir_exception.
  unsigned long long Modified() const;
  unsigned long long Created() const;

  UTF16String GetName() const;
  UTF16String FullPath() const;
  std::string FullPathMultiByte() const;
  Dir Parent() const;
  bool IsTopLevelDir() const;

  DirHelper const& Helper() const { return *helper_; }
  DirHelper& Helper() { return *helper_; }

  bool operator==(Dir const& inOther) const;
  bool operator!=(Dir const& inOther) const { return !(*this == inOther); }

  // Listings in the order the system gives. With inResolveShortcuts, ".lnk" files stand for
  // their targets (a file or a directory) and are left out when they cannot be resolved.
  DirIterator BeginSubdirs(bool inResolveShortcuts) const;
  DirIterator EndSubdirs() const;
  FileIterator BeginFiles(bool inResolveShortcuts) const;
  FileIterator EndFiles() const;

  // The fixed and network volumes, each as a drive ("Z:").
  static DirIterator BeginVolumes();
  static DirIterator EndVolumes();

  // Well-known directories. The application directory is the running program's directory
  // (or the one set with commondirs::SetAppDirOverride), cached on first use.
  static Dir AppDir();
  static Dir PackageDir();  // the same as AppDir
  // The machine's common program files; AppDir when the folder cannot be found.
  static Dir CommonFilesDir();
  // The user's documents, created if missing; AppDir when that fails.
  static Dir UserDocsDir();
  // The directory for temporary files.
  static Dir TempDir();
  // GlobalPrefDir, then the client identity's company name, client name and internal
  // version, each level created if missing. Throws dir_exception when a level cannot be made.
  static Dir PrefDir();
  // The user's per-user application data, created if missing; AppDir when that fails.
  static Dir GlobalPrefDir();

 private:
  friend class RecursiveFileIterator;
  // Both listings from one pass over the directory.
  void BeginFilesAndSubdirs(bool inResolveShortcuts, FileIterator& outFiles,
                            DirIterator& outSubdirs) const;

  DirHelper* helper_;
};

}  // namespace filesupport
}  // namespace vireo

// Dir's iterators yield File values: make File complete for their users.
#include "vireo/filesupport/File.h"

#endif
