// Dir: operations on one directory path, snapshot listings and the volume list.
#include "vireo/filesupport/Dir.h"

#include "vireo/filesupport/FileExceptions.h"
#include "vireo/filesupport/src/Listing.h"
#include "vireo/platform/Files.h"

#include <memory>
#include <utility>

namespace vireo {
namespace filesupport {

namespace impl {

namespace {

// Listings compare the last four units exactly: "CLIP.LNK" is not followed.
bool EndsInLnk(platform::SearchEntry const& entry) {
  std::size_t const n = entry.nameLength;
  return n >= 4 && entry.name[n - 4] == '.' && entry.name[n - 3] == 'l' &&
         entry.name[n - 2] == 'n' && entry.name[n - 1] == 'k';
}

Listing* CopyListing(Listing const* inListing) {
  return inListing ? new Listing(*inListing) : nullptr;
}

bool AtEnd(Listing const* inListing) {
  return !inListing || inListing->index >= inListing->entries.size();
}

bool SameListing(Listing const* inA, Listing const* inB) {
  bool const aEnd = AtEnd(inA), bEnd = AtEnd(inB);
  if (aEnd || bEnd) return aEnd == bEnd;
  return inA->directories == inB->directories && inA->resolveShortcuts == inB->resolveShortcuts &&
         inA->index == inB->index && inA->entries == inB->entries;
}

}  // namespace

void ListDirectory(UTF16String const& inPath, UTF16String const& inNativePath,
                   bool inResolveShortcuts, Listing* outFiles, Listing* outDirectories) {
  for (Listing* listing : {outFiles, outDirectories}) {
    if (!listing) continue;
    listing->directories = listing == outDirectories;
    listing->resolveShortcuts = inResolveShortcuts;
  }
  UTF16String pattern(inNativePath);
  static unsigned short const kAll[] = {'\\', '*', '.', '*'};
  pattern.append(kAll, 4);
  platform::SearchEntry entry;
  platform::SearchHandle search = nullptr;
  if (platform::StartSearch(pattern.data(), pattern.size(), entry, search) != 0) return;
  struct EndSearch {
    platform::SearchHandle search;
    ~EndSearch() { platform::EndSearch(search); }
  } const end{search};
  // "." and ".." are hidden, so this leaves them out too.
  unsigned long const kSkipped = platform::kAttributeHidden | platform::kAttributeSystem;
  do {
    if ((entry.attributes & kSkipped) != 0) continue;
    bool directory = (entry.attributes & platform::kAttributeDirectory) != 0;
    bool const shortcut = inResolveShortcuts && !directory && EndsInLnk(entry);
    if (!shortcut && !(directory ? outDirectories : outFiles)) continue;
    UTF16String full;
    full.reserve(inPath.size() + 1 + entry.nameLength);
    full.append(inPath).append(1, '\\').append(entry.name, entry.nameLength);
    if (shortcut && ResolveShortcut(full, directory) < 0) continue;
    if (Listing* const listing = directory ? outDirectories : outFiles)
      listing->entries.push_back(std::move(full));
  } while (platform::NextSearchEntry(search, entry) == 0);
}

Listing* ListDirectory(UTF16String const& inPath, UTF16String const& inNativePath,
                       bool inDirectories, bool inResolveShortcuts) {
  std::unique_ptr<Listing> listing(new Listing);
  ListDirectory(inPath, inNativePath, inResolveShortcuts, inDirectories ? nullptr : listing.get(),
                inDirectories ? listing.get() : nullptr);
  return listing.release();
}

Listing* ListVolumes() {
  Listing* listing = new Listing;
  listing->directories = true;
  unsigned short drives[259];
  unsigned long const length = platform::ListDrives(259, drives);
  if (length < 259) {
    for (unsigned long at = 0; at + 3 <= length; at += 4) {
      platform::DriveType const type = platform::DriveTypeOf(drives + at, 3);
      if (type != platform::kDriveFixed && type != platform::kDriveRemote) continue;
      listing->entries.push_back(UTF16String(drives + at, 3));
    }
  }
  return listing;
}

int ReadTimes(UTF16String const& inNativePath, unsigned long long& outCreated,
              unsigned long long& outWritten) {
  platform::FileHandle handle = nullptr;
  int error = platform::OpenFile(
      inNativePath.data(), inNativePath.size(), platform::kAccessRead,
      platform::kShareRead | platform::kShareWrite | platform::kShareDelete,
      platform::kOpenExisting, platform::kOpenBackupSemantics, handle);
  if (error != 0) return error;
  error = platform::FileTimes(handle, outCreated, outWritten);
  platform::CloseFile(handle);
  return error;
}

}  // namespace impl

namespace {

unsigned long long Time(Dir const& dir, bool created) {
  unsigned long long creation = 0, written = 0;
  int const error = impl::ReadTimes(dir.Helper().FullNativePath(), creation, written);
  if (error == platform::kErrorFileNotFound) throw dir_not_found_exception(dir);
  if (error != 0) throw dir_exception(dir);
  return created ? creation : written;
}

}  // namespace

// ---- iterators ------------------------------------------------------------------------------

namespace impl {

ListingIterator::ListingIterator() : listing_(nullptr) {}
ListingIterator::ListingIterator(Listing* inListing) : listing_(inListing) {}
ListingIterator::ListingIterator(ListingIterator const& inOther)
    : listing_(CopyListing(inOther.listing_)) {}
ListingIterator& ListingIterator::operator=(ListingIterator const& inOther) {
  if (this != &inOther) {
    Listing* copy = CopyListing(inOther.listing_);
    delete listing_;
    listing_ = copy;
  }
  return *this;
}
ListingIterator::ListingIterator(ListingIterator&& inOther) noexcept : listing_(inOther.listing_) {
  inOther.listing_ = nullptr;
}
ListingIterator& ListingIterator::operator=(ListingIterator&& inOther) noexcept {
  if (this != &inOther) {
    delete listing_;
    listing_ = inOther.listing_;
    inOther.listing_ = nullptr;
  }
  return *this;
}
ListingIterator::~ListingIterator() { delete listing_; }
UTF16String const& ListingIterator::Current() const { return listing_->entries[listing_->index]; }
void ListingIterator::Step() {
  if (!AtEnd(listing_)) ++listing_->index;
}
bool ListingIterator::Same(ListingIterator const& inOther) const {
  return SameListing(listing_, inOther.listing_);
}

}  // namespace impl

Dir Dir::DirIterator::operator*() const { return Dir(DirHelper(Current())); }
File Dir::FileIterator::operator*() const { return File(FileHelper(Current())); }

// ---- Dir ----------------------------------------------------------------------------------------

Dir::Dir() : helper_(new DirHelper) {}
Dir::Dir(UTF16String const& inPath) : helper_(new DirHelper(inPath)) {}
Dir::Dir(Dir const& inParent, UTF16String const& inName)
    : helper_(new DirHelper(inParent, inName)) {}
Dir::Dir(DirHelper const& inHelper) : helper_(new DirHelper(inHelper)) {}
Dir::Dir(Dir const& inOther) : helper_(new DirHelper(*inOther.helper_)) {}

Dir& Dir::operator=(Dir const& inOther) {
  if (this != &inOther) *helper_ = *inOther.helper_;
  return *this;
}

Dir::~Dir() { delete helper_; }

bool Dir::Exists() const {
  UTF16String native = helper_->FullNativePath();
  UTF16String const& path = helper_->Path();
  if (path.size() == 2 && path[1] == ':') native.append(1, '\\');  // a drive: test its root
  unsigned long attributes = 0;
  return platform::QueryAttributes(native.data(), native.size(), attributes) == 0 &&
         (attributes & platform::kAttributeDirectory) != 0;
}

void Dir::Create() {
  UTF16String const native = helper_->FullNativePath();
  int const error = platform::MakeDirectory(native.data(), native.size());
  if (error != 0 && error != platform::kErrorAlreadyExists) throw dir_exception(*this);
}

void Dir::Delete() {
  for (FileIterator file = BeginFiles(false), end = EndFiles(); file != end; ++file)
    (*file).Delete();
  for (DirIterator dir = BeginSubdirs(false), end = EndSubdirs(); dir != end; ++dir)
    (*dir).Delete();
  UTF16String const native = helper_->FullNativePath();
  if (platform::RemoveDirectory(native.data(), native.size()) != 0) throw dir_exception(*this);
}

void Dir::Rename(UTF16String const& inNewName) {
  Dir const parent = Parent();
  UTF16String const from = helper_->FullNativePath();
  UTF16String to = parent.Helper().FullNativePath();
  to.append(1, '\\').append(inNewName);
  int const error = platform::MoveEntry(from.data(), from.size(), to.data(), to.size());
  if (error == platform::kErrorAlreadyExists) throw rename_dir_already_exists(*this, inNewName);
  if (error != 0) throw rename_dir(*this, inNewName);
  *helper_ = DirHelper(parent, inNewName);
}

unsigned long long Dir::Modified() const { return Time(*this, false); }

unsigned long long Dir::Created() const { return Time(*this, true); }

UTF16String Dir::GetName() const { return helper_->Name(); }
UTF16String Dir::FullPath() const { return helper_->Path(); }
std::string Dir::FullPathMultiByte() const { return helper_->MultiBytePath(); }
Dir Dir::Parent() const { return Dir(helper_->ParentPath()); }
bool Dir::IsTopLevelDir() const { return helper_->IsTopLevel(); }

bool Dir::operator==(Dir const& inOther) const { return helper_->Path() == inOther.helper_->Path(); }

Dir::DirIterator Dir::BeginSubdirs(bool inResolveShortcuts) const {
  return DirIterator(
      impl::ListDirectory(helper_->Path(), helper_->FullNativePath(), true, inResolveShortcuts));
}
Dir::DirIterator Dir::EndSubdirs() const { return DirIterator(); }

Dir::FileIterator Dir::BeginFiles(bool inResolveShortcuts) const {
  return FileIterator(
      impl::ListDirectory(helper_->Path(), helper_->FullNativePath(), false, inResolveShortcuts));
}
Dir::FileIterator Dir::EndFiles() const { return FileIterator(); }

void Dir::BeginFilesAndSubdirs(bool inResolveShortcuts, FileIterator& outFiles,
                               DirIterator& outSubdirs) const {
  std::unique_ptr<impl::Listing> files(new impl::Listing), subdirs(new impl::Listing);
  impl::ListDirectory(helper_->Path(), helper_->FullNativePath(), inResolveShortcuts, files.get(),
                      subdirs.get());
  outFiles = FileIterator(files.release());
  outSubdirs = DirIterator(subdirs.release());
}

Dir::DirIterator Dir::BeginVolumes() { return DirIterator(impl::ListVolumes()); }
Dir::DirIterator Dir::EndVolumes() { return DirIterator(); }

}  // namespace filesupport
}  // namespace vireo
