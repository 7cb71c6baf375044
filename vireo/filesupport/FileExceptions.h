// Exceptions of file and directory operations. Each carries the File or Dir concerned (and
// the new name of a failed rename) and a message key with its default text; what() returns
// that key unchanged. A catcher that shows it localises the key and fills "@0" with the full
// path and "@1" with the new name.
#ifndef VIREO_FILESUPPORT_FILEEXCEPTIONS_H
#define VIREO_FILESUPPORT_FILEEXCEPTIONS_H

#include <exception>

#include "vireo/Export.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {

class VIREO_API file_exception : public std::exception {
 public:
  explicit file_exception(File const& inFile);
  file_exception(File const& inFile, char const* inKey);
  file_exception(file_exception const& inOther);
  file_exception& operator=(file_exception const& inOther);
  ~file_exception() override;

  char const* what() const noexcept override;
  File const& GetFile() const { return file_; }

 private:
  File file_;
  char const* key_;  // a literal: static lifetime
};

class VIREO_API file_not_found_exception : public file_exception {
 public:
  explicit file_not_found_exception(File const& inFile);
};

class VIREO_API file_delete_exception : public file_exception {
 public:
  explicit file_delete_exception(File const& inFile);
};

class VIREO_API create_exception : public file_exception {
 public:
  explicit create_exception(File const& inFile);

 protected:
  create_exception(File const& inFile, char const* inKey);
};

class VIREO_API create_fnf_exception : public create_exception {
 public:
  explicit create_fnf_exception(File const& inFile);
};

class VIREO_API create_locked_exception : public create_exception {
 public:
  explicit create_locked_exception(File const& inFile);
};

class VIREO_API create_accessdenied_exception : public create_exception {
 public:
  explicit create_accessdenied_exception(File const& inFile);
};

class VIREO_API create_invalidpath_exception : public create_exception {
 public:
  explicit create_invalidpath_exception(File const& inFile);
};

class VIREO_API rename_file : public file_exception {
 public:
  rename_file(File const& inFile, UTF16String const& inNewName);
  rename_file(File const& inFile, UTF16String const& inNewName, char const* inKey);
  UTF16String const& GetNewName() const { return newName_; }

 private:
  UTF16String newName_;
};

class VIREO_API dir_exception : public std::exception {
 public:
  explicit dir_exception(Dir const& inDir);
  dir_exception(Dir const& inDir, char const* inKey);
  dir_exception(dir_exception const& inOther);
  dir_exception& operator=(dir_exception const& inOther);
  ~dir_exception() override;

  char const* what() const noexcept override;
  Dir const& GetDir() const { return dir_; }

 private:
  Dir dir_;
  char const* key_;
};

class VIREO_API dir_not_found_exception : public dir_exception {
 public:
  explicit dir_not_found_exception(Dir const& inDir);
};

class VIREO_API dir_delete_exception : public dir_exception {
 public:
  explicit dir_delete_exception(Dir const& inDir);
  dir_delete_exception(Dir const& inDir, char const* inKey);
};

class VIREO_API rename_dir : public dir_exception {
 public:
  rename_dir(Dir const& inDir, UTF16String const& inNewName);
  rename_dir(Dir const& inDir, UTF16String const& inNewName, char const* inKey);
  UTF16String const& GetNewName() const { return newName_; }

 private:
  UTF16String newName_;
};

class VIREO_API rename_dir_already_exists : public rename_dir {
 public:
  rename_dir_already_exists(Dir const& inDir, UTF16String const& inNewName);
};

}  // namespace filesupport
}  // namespace vireo

#endif
