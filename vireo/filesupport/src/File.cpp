// File: operations on one path, each opening and closing what it needs.
#include "vireo/filesupport/File.h"

#include "vireo/filesupport/FileExceptions.h"
#include "vireo/filesupport/src/Listing.h"
#include "vireo/platform/Files.h"

namespace vireo {
namespace filesupport {

namespace {

// The exception for a failed create, by the system's error number.
void ThrowCreateError(int error, File const& file) {
  switch (error) {
    case 0:
      return;
    case 2: case 6: case 18: case 107:
      throw create_fnf_exception(file);
    case 3:
      throw create_invalidpath_exception(file);
    case 5: case 12: case 29: case 54: case 58: case 64: case 65: case 71: case 80: case 82:
    case 86: case 170: case 183: case 999:
      throw create_accessdenied_exception(file);
    case 19:
      throw create_locked_exception(file);
    default:
      throw create_exception(file);
  }
}

unsigned long long Time(File const& file, bool created) {
  unsigned long long creation = 0, written = 0;
  int const error = impl::ReadTimes(file.Helper().FullNativePath(), creation, written);
  if (error == platform::kErrorFileNotFound) throw file_not_found_exception(file);
  if (error != 0) throw file_exception(file);
  return created ? creation : written;
}

}  // namespace

File::File() : helper_(new FileHelper) {}
File::File(UTF16String const& inPath) : helper_(new FileHelper(inPath)) {}
File::File(Dir const& inDir, UTF16String const& inName) : helper_(new FileHelper(inDir, inName)) {}
File::File(FileHelper const& inHelper) : helper_(new FileHelper(inHelper)) {}
File::File(File const& inOther) : helper_(new FileHelper(*inOther.helper_)) {}

File& File::operator=(File const& inOther) {
  if (this != &inOther) *helper_ = *inOther.helper_;
  return *this;
}

File::~File() { delete helper_; }

bool File::Exists() const {
  UTF16String const native = helper_->FullNativePath();
  unsigned long attributes = 0;
  return platform::QueryAttributes(native.data(), native.size(), attributes) == 0;
}

void File::Create() {
  UTF16String const native = helper_->FullNativePath();
  platform::FileHandle handle = nullptr;
  int const error = platform::OpenFile(native.data(), native.size(), platform::kAccessRead, 0,
                                       platform::kCreateAlways, platform::kOpenInheritable, handle);
  platform::CloseFile(handle);
  ThrowCreateError(error, *this);
}

void File::Delete() {
  UTF16String const native = helper_->FullNativePath();
  if (platform::RemoveFile(native.data(), native.size()) != 0) throw file_delete_exception(*this);
}

void File::Rename(UTF16String const& inNewName) {
  Dir const parent = Parent();
  UTF16String const from = helper_->FullNativePath();
  UTF16String to = parent.Helper().FullNativePath();
  to.append(1, '\\').append(inNewName);
  if (platform::MoveEntry(from.data(), from.size(), to.data(), to.size()) != 0)
    throw rename_file(*this, inNewName);
  *helper_ = FileHelper(parent, inNewName);
}

unsigned long long File::Modified() const { return Time(*this, false); }

unsigned long long File::Created() const { return Time(*this, true); }

unsigned long long File::Size(FileSizeSelector inSelector) const {
  switch (inSelector) {
    case kFileSizeData: case kFileSizeLogical: case kFileSizePhysical: case kFileSizeTotal:
      break;
    default:
      return 0;
  }
  UTF16String const native = helper_->FullNativePath();
  platform::FileHandle handle = nullptr;
  if (platform::OpenFile(native.data(), native.size(), platform::kAccessRead,
                         platform::kShareRead | platform::kShareWrite | platform::kShareDelete,
                         platform::kOpenExisting, platform::kOpenBackupSemantics, handle) != 0)
    return 0;
  unsigned long long size = 0;
  if (platform::FileLength(handle, size) != 0) size = 0;
  platform::CloseFile(handle);
  return size;
}

UTF16String File::GetName() const { return helper_->Name(); }
UTF16String File::GetTitle() const { return helper_->Title(); }
UTF16String File::GetExtension(bool inLowerCase) const { return helper_->Extension(inLowerCase); }
UTF16String File::FullPath() const { return helper_->Path(); }
std::string File::FullPathMultiByte() const { return helper_->MultiBytePath(); }
Dir File::Parent() const { return Dir(helper_->ParentPath()); }

bool File::operator==(File const& inOther) const { return helper_->Path() == inOther.helper_->Path(); }

}  // namespace filesupport
}  // namespace vireo
