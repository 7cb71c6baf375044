// The file exception classes: who catches what, the keys, and copies that own their data.
#include "vireo/filesupport/FileExceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vireo {
namespace filesupport {
namespace {

UTF16String U(char const* ascii) { return utility::AsciiToUTF16(ascii); }

// Which handlers of a chain would catch the exception.
template <typename Thrown>
std::string CaughtBy(Thrown const& e) {
  std::string by;
  try { throw e; } catch (create_exception const&) { by += "create "; } catch (...) {}
  try { throw e; } catch (rename_dir const&) { by += "rename_dir "; } catch (...) {}
  try { throw e; } catch (file_exception const&) { by += "file "; } catch (...) {}
  try { throw e; } catch (dir_exception const&) { by += "dir "; } catch (...) {}
  try { throw e; } catch (std::exception const&) { by += "std"; } catch (...) {}
  return by;
}

TEST(FileExceptionsTest, ClassTreeAndKeys) {
  File const f(U("C:\\clip.avi"));
  Dir const d(U("C:\\Media"));
  UTF16String const n = U("new");
  struct Case {
    std::string caughtBy;
    std::string what;
    std::string expectedCaughtBy;
    char const* key;
  } const cases[] = {
      {CaughtBy(file_exception(f)), file_exception(f).what(), "file std",
       "$$$/vireo/filesupport/error=Error with file: '@0'."},
      {CaughtBy(file_not_found_exception(f)), file_not_found_exception(f).what(), "file std",
       "$$$/vireo/filesupport/FileNotFound=The file '@0' could not be found."},
      {CaughtBy(file_delete_exception(f)), file_delete_exception(f).what(), "file std",
       "$$$/vireo/filesupport/Delete=Could not delete the file '@0'."},
      {CaughtBy(create_exception(f)), create_exception(f).what(), "create file std",
       "$$$/vireo/filesupport/Create=Could not create the file '@0'."},
      {CaughtBy(create_fnf_exception(f)), create_fnf_exception(f).what(), "create file std",
       "$$$/vireo/filesupport/Create/fnf=Could not create the file '@0'. The file could not be found."},
      {CaughtBy(create_locked_exception(f)), create_locked_exception(f).what(), "create file std",
       "$$$/vireo/filesupport/Create/locked=Could not create the file '@0'. The disk is locked."},
      {CaughtBy(create_accessdenied_exception(f)), create_accessdenied_exception(f).what(),
       "create file std",
       "$$$/vireo/filesupport/Create/accessdenied=Could not create the file '@0'. Access was denied."},
      {CaughtBy(create_invalidpath_exception(f)), create_invalidpath_exception(f).what(),
       "create file std",
       "$$$/vireo/filesupport/Create/invalidpath=Could not create the file '@0'. The path is not valid."},
      {CaughtBy(rename_file(f, n)), rename_file(f, n).what(), "file std",
       "$$$/vireo/filesupport/Rename=Could not rename the file '@0' to '@1'."},
      {CaughtBy(dir_exception(d)), dir_exception(d).what(), "dir std",
       "$$$/vireo/filesupport/Dir/error=Error with Directory: '@0'."},
      {CaughtBy(dir_not_found_exception(d)), dir_not_found_exception(d).what(), "dir std",
       "$$$/vireo/filesupport/DirNotFound=The directory '@0' could not be found."},
      {CaughtBy(dir_delete_exception(d)), dir_delete_exception(d).what(), "dir std",
       "$$$/vireo/filesupport/DirDelete=Could not delete the directory '@0'."},
      {CaughtBy(rename_dir(d, n)), rename_dir(d, n).what(), "rename_dir dir std",
       "$$$/vireo/filesupport/DirRename=Could not rename the directory '@0' to '@1'."},
      {CaughtBy(rename_dir_already_exists(d, n)), rename_dir_already_exists(d, n).what(),
       "rename_dir dir std",
       "$$$/vireo/filesupport/DirRename/exists=Could not rename the directory '@0' to '@1'. The "
       "directory already exists."},
  };
  for (Case const& c : cases) {
    EXPECT_EQ(c.expectedCaughtBy, c.caughtBy) << c.key;
    EXPECT_EQ(std::string(c.key), c.what);
  }

  // Callers may bring their own key.
  char const* const key = "$$$/client/Custom=Custom.";
  EXPECT_STREQ(key, file_exception(f, key).what());
  EXPECT_STREQ(key, dir_exception(d, key).what());
  EXPECT_STREQ(key, dir_delete_exception(d, key).what());
  EXPECT_STREQ(key, rename_file(f, n, key).what());
  EXPECT_STREQ(key, rename_dir(d, n, key).what());
}

TEST(FileExceptionsTest, CopiesOwnTheirFileDirAndName) {
  std::unique_ptr<rename_file> original(new rename_file(File(U("C:\\a.avi")), U("b.avi")));
  rename_file copy(*original);
  std::unique_ptr<rename_dir_already_exists> dirOriginal(
      new rename_dir_already_exists(Dir(U("C:\\Media")), U("Clips")));
  rename_dir_already_exists dirCopy(*dirOriginal);
  original.reset();
  dirOriginal.reset();
  EXPECT_EQ(U("C:\\a.avi"), copy.GetFile().FullPath());
  EXPECT_EQ(U("b.avi"), copy.GetNewName());
  EXPECT_EQ(U("C:\\Media"), dirCopy.GetDir().FullPath());
  EXPECT_EQ(U("Clips"), dirCopy.GetNewName());

  file_exception assigned(File(U("C:\\x")));
  assigned = file_not_found_exception(File(U("C:\\y")));
  EXPECT_EQ(U("C:\\y"), assigned.GetFile().FullPath());
  EXPECT_STREQ("$$$/vireo/filesupport/FileNotFound=The file '@0' could not be found.",
               assigned.what());
  dir_exception dirAssigned(Dir(U("C:\\x")));
  dirAssigned = dir_not_found_exception(Dir(U("C:\\y")));
  EXPECT_EQ(U("C:\\y"), dirAssigned.GetDir().FullPath());
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
