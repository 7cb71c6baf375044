// The file exceptions and their message keys.
#include "vireo/filesupport/FileExceptions.h"

namespace vireo {
namespace filesupport {

file_exception::file_exception(File const& inFile)
    : file_(inFile), key_("$$$/vireo/filesupport/error=Error with file: '@0'.") {}
file_exception::file_exception(File const& inFile, char const* inKey) : file_(inFile), key_(inKey) {}
file_exception::file_exception(file_exception const& inOther)
    : std::exception(inOther), file_(inOther.file_), key_(inOther.key_) {}
file_exception& file_exception::operator=(file_exception const& inOther) {
  std::exception::operator=(inOther);
  file_ = inOther.file_;
  key_ = inOther.key_;
  return *this;
}
file_exception::~file_exception() {}
char const* file_exception::what() const noexcept { return key_; }

file_not_found_exception::file_not_found_exception(File const& inFile)
    : file_exception(inFile, "$$$/vireo/filesupport/FileNotFound=The file '@0' could not be found.") {}

file_delete_exception::file_delete_exception(File const& inFile)
    : file_exception(inFile, "$$$/vireo/filesupport/Delete=Could not delete the file '@0'.") {}

create_exception::create_exception(File const& inFile)
    : file_exception(inFile, "$$$/vireo/filesupport/Create=Could not create the file '@0'.") {}
create_exception::create_exception(File const& inFile, char const* inKey)
    : file_exception(inFile, inKey) {}

create_fnf_exception::create_fnf_exception(File const& inFile)
    : create_exception(inFile,
                       "$$$/vireo/filesupport/Create/fnf=Could not create the file '@0'. The file "
                       "could not be found.") {}

create_locked_exception::create_locked_exception(File const& inFile)
    : create_exception(inFile,
                       "$$$/vireo/filesupport/Create/locked=Could not create the file '@0'. The "
                       "disk is locked.") {}

create_accessdenied_exception::create_accessdenied_exception(File const& inFile)
    : create_exception(inFile,
                       "$$$/vireo/filesupport/Create/accessdenied=Could not create the file '@0'. "
                       "Access was denied.") {}

create_invalidpath_exception::create_invalidpath_exception(File const& inFile)
    : create_exception(inFile,
                       "$$$/vireo/filesupport/Create/invalidpath=Could not create the file '@0'. "
                       "The path is not valid.") {}

rename_file::rename_file(File const& inFile, UTF16String const& inNewName)
    : file_exception(inFile, "$$$/vireo/filesupport/Rename=Could not rename the file '@0' to '@1'."),
      newName_(inNewName) {}
rename_file::rename_file(File const& inFile, UTF16String const& inNewName, char const* inKey)
    : file_exception(inFile, inKey), newName_(inNewName) {}

dir_exception::dir_exception(Dir const& inDir)
    : dir_(inDir), key_("$$$/vireo/filesupport/Dir/error=Error with Directory: '@0'.") {}
dir_exception::dir_exception(Dir const& inDir, char const* inKey) : dir_(inDir), key_(inKey) {}
dir_exception::dir_exception(dir_exception const& inOther)
    : std::exception(inOther), dir_(inOther.dir_), key_(inOther.key_) {}
dir_exception& dir_exception::operator=(dir_exception const& inOther) {
  std::exception::operator=(inOther);
  dir_ = inOther.dir_;
  key_ = inOther.key_;
  return *this;
}
dir_exception::~dir_exception() {}
char const* dir_exception::what() const noexcept { return key_; }

dir_not_found_exception::dir_not_found_exception(Dir const& inDir)
    : dir_exception(inDir, "$$$/vireo/filesupport/DirNotFound=The directory '@0' could not be found.") {}

dir_delete_exception::dir_delete_exception(Dir const& inDir)
    : dir_exception(inDir, "$$$/vireo/filesupport/DirDelete=Could not delete the directory '@0'.") {}
dir_delete_exception::dir_delete_exception(Dir const& inDir, char const* inKey)
    : dir_exception(inDir, inKey) {}

rename_dir::rename_dir(Dir const& inDir, UTF16String const& inNewName)
    : dir_exception(inDir,
                    "$$$/vireo/filesupport/DirRename=Could not rename the directory '@0' to '@1'."),
      newName_(inNewName) {}
rename_dir::rename_dir(Dir const& inDir, UTF16String const& inNewName, char const* inKey)
    : dir_exception(inDir, inKey), newName_(inNewName) {}

rename_dir_already_exists::rename_dir_already_exists(Dir const& inDir, UTF16String const& inNewName)
    : rename_dir(inDir, inNewName,
                 "$$$/vireo/filesupport/DirRename/exists=Could not rename the directory '@0' to "
                 "'@1'. The directory already exists.") {}

}  // namespace filesupport
}  // namespace vireo
