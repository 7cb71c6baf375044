// Files, directories and volumes. The library hands this layer native paths: its stored form
// (backslash-separated) behind the long-path prefix "\\?\". The layer maps them to POSIX paths,
// calls the system, and reports failures as the error numbers the library expects. Nothing
// here throws; every function is thread-safe unless stated otherwise.
//
// Native path to POSIX (after "\\?\" is removed; a path without the prefix is taken the same):
//   \home\ann\a.txt  -> /home/ann/a.txt  (rooted without a drive)
//   Z:\home\ann      -> /home/ann        (drive table, see MapDrive; Z: is "/" by default)
//   Z:               -> /                (a drive alone is its root)
//   data\a.txt       -> data/a.txt       (relative: resolved against the current directory)
//   \\?\UNC\srv\x, \\srv\x               -> error 53 (no network paths)
// Both separators, "\" and "/", are accepted. An unmapped drive is error 3.
// Paths handed back (module file, listing names) are in stored form:
// "/usr/bin" -> "\usr\bin". A POSIX name holding a backslash, or bytes that are not UTF-8,
// cannot be represented and is left out of listings.
#ifndef VIREO_PLATFORM_FILES_H
#define VIREO_PLATFORM_FILES_H

#include <cstddef>
#include <string>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// UTF-16 text as the layer takes and gives it (std::allocator; callers copy into their own).
typedef std::basic_string<unsigned short> PathUnits;

// Error numbers. 0 is success.
enum FileError {
  kFileOk = 0,
  kErrorFileNotFound = 2,     // the last component is missing
  kErrorPathNotFound = 3,     // a parent is missing or not a directory; unmapped drive
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,     // permissions; a directory opened or deleted as a file
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorNotSameDevice = 17,   // a move across file systems
  kErrorNoMoreFiles = 18,     // the end of a directory search
  kErrorWriteProtect = 19,    // read-only file system
  kErrorGeneralFailure = 31,  // I/O errors and anything without a closer number
  kErrorSharingViolation = 32,
  kErrorHandleEOF = 38,       // a read at or past the end of the file
  kErrorBadNetPath = 53,      // UNC paths
  kErrorFileExists = 80,      // creating a file that must be new
  kErrorInvalidParameter = 87,
  kErrorDiskFull = 112,
  kErrorNegativeSeek = 131,
  kErrorDirNotEmpty = 145,
  kErrorAlreadyExists = 183,  // creating a directory or moving onto an existing name
  kErrorFilenameTooLong = 206,
  kErrorDirectory = 267       // a directory operation on something that is not one
};

// Attribute bits.
enum FileAttribute : unsigned long {
  kAttributeReadOnly = 0x1,   // the owner may not write
  kAttributeHidden = 0x2,     // the name begins with "."
  kAttributeSystem = 0x4,     // never set here
  kAttributeDirectory = 0x10,
  kAttributeNormal = 0x80     // none of the others
};

// ---- paths -------------------------------------------------------------------------------

// The POSIX path (UTF-8) of a native path of `length` units. Returns 0 or an error number
// (53 for UNC, 3 for an unmapped drive, 87 for an empty path or an embedded NUL).
VIREO_API int NativeToPosixPath(unsigned short const* path, std::size_t length, std::string& out);

// The stored form of a POSIX path: "/" becomes "\", UTF-8 becomes UTF-16. False (and `out`
// empty) when the path holds a backslash or bytes that are not UTF-8.
VIREO_API bool PosixToStoredPath(char const* path, std::size_t length, PathUnits& out);

// Maps drive letter A..Z (either case) to a POSIX directory, or removes the mapping when
// `posixRoot` is null. Returns 0, or 87 for a bad letter or a root that is not absolute.
// The default table maps Z: to "/". Thread-safe; lookups see the table as changed.
VIREO_API int MapDrive(char letter, char const* posixRoot);

// ---- attributes and times ------------------------------------------------------------------

// Attribute bits of the entry at the native path, following symbolic links.
VIREO_API int QueryAttributes(unsigned short const* path, std::size_t length,
                                unsigned long& outAttributes);

// ---- open files ----------------------------------------------------------------------------

enum FileAccess : unsigned long { kAccessRead = 0x80000000ul, kAccessWrite = 0x40000000ul };
enum FileShare : unsigned long { kShareRead = 1, kShareWrite = 2, kShareDelete = 4 };
enum FileDisposition {
  kCreateNew = 1,         // fails with 80 when the file exists
  kCreateAlways = 2,      // creates, or truncates an existing file
  kOpenExisting = 3,      // fails with 2 or 3 when missing
  kOpenAlways = 4,        // opens, or creates a missing file
  kTruncateExisting = 5   // opens an existing file and truncates it
};
enum FileOpenFlags : unsigned long {
  kOpenInheritable = 0x1,            // the descriptor survives exec
  kOpenBackupSemantics = 0x02000000  // lets directories open (for their times)
};

struct OpenFileObject;
typedef OpenFileObject* FileHandle;  // null is no handle

// Opens or creates a file. Sharing is enforced among the process's own open handles, as the
// library relies on it: an open conflicts (32) with an earlier one when either asks for
// access the other does not share; deleting or moving a file that is open without
// kShareDelete fails with 32 too. A directory opens only with kOpenBackupSemantics (else 5).
// On success `outHandle` owns the file until CloseFile.
VIREO_API int OpenFile(unsigned short const* path, std::size_t length, unsigned long access,
                       unsigned long share, FileDisposition disposition, unsigned long flags,
                       FileHandle& outHandle);

// A handle's position is its own state: one thread at a time reads, writes or seeks through it.

// Reads up to `size` bytes at the current position. Fewer bytes than asked means the end was
// reached; no byte at all for a non-zero request is error 38.
VIREO_API int ReadFile(FileHandle handle, void* buffer, unsigned long size, unsigned long& outRead);

// Writes all `size` bytes at the current position (112 when the disk is full).
VIREO_API int WriteFile(FileHandle handle, void const* buffer, unsigned long size,
                        unsigned long& outWritten);

enum SeekOrigin { kSeekBegin = 0, kSeekCurrent = 1, kSeekEnd = 2 };
// Moves the position; a result before the start is 131 and leaves the position.
VIREO_API int SeekFile(FileHandle handle, long long distance, SeekOrigin origin,
                       unsigned long long& outPosition);

VIREO_API int FileLength(FileHandle handle, unsigned long long& outSize);

// Cuts or extends the file to the current position.
VIREO_API int SetFileEnd(FileHandle handle);

// Creation and last-write times in 100 ns units since 1601-01-01 UTC. The creation time is
// the birth time where the file system keeps one, else the status-change time.
VIREO_API int FileTimes(FileHandle handle, unsigned long long& outCreated,
                           unsigned long long& outWritten);

// Closes the handle (null is allowed and does nothing).
VIREO_API int CloseFile(FileHandle handle);

// ---- names -----------------------------------------------------------------------------------

// Removes a file (a directory gives 5).
VIREO_API int RemoveFile(unsigned short const* path, std::size_t length);

// Creates one directory level (183 when the name exists, 3 when the parent is missing).
VIREO_API int MakeDirectory(unsigned short const* path, std::size_t length);

// Removes an empty directory (145 when it is not empty, 267 for a file).
VIREO_API int RemoveDirectory(unsigned short const* path, std::size_t length);

// Moves a file or directory; never replaces an existing name (183).
VIREO_API int MoveEntry(unsigned short const* from, std::size_t fromLength,
                       unsigned short const* to, std::size_t toLength);

// ---- directory search ---------------------------------------------------------------------

// One entry of a search. Names hold at most 255 units (the longest POSIX name).
struct SearchEntry {
  unsigned long attributes;   // directory, hidden or normal: what a listing needs
  unsigned short name[256];   // NUL-terminated
  std::size_t nameLength;
};

struct SearchObject;
typedef SearchObject* SearchHandle;  // null is no search

// Starts a search of "<directory>\<pattern>" where the pattern is "*" or "*.*" (every entry,
// "." and ".." included) or a name with the wildcards "*" and "?" (matched ignoring case).
// Entries come in the order of the file system. Returns 3 when the directory is missing or
// not one, 2 when nothing matches; otherwise the first entry and an open search.
VIREO_API int StartSearch(unsigned short const* pattern, std::size_t length,
                            SearchEntry& outData, SearchHandle& outHandle);

// The next entry, or 18 at the end.
VIREO_API int NextSearchEntry(SearchHandle handle, SearchEntry& outData);

// Ends a search (null is allowed).
VIREO_API void EndSearch(SearchHandle handle);

// ---- volumes and well-known paths ---------------------------------------------------------

// The mapped drives as "X:\" strings, each followed by a NUL, the block ended by a second
// NUL, written into `buffer` of `size` units. Returns the units written without the final
// NUL; when the buffer is too small, the size needed (with the final NUL) and nothing written.
VIREO_API unsigned long ListDrives(unsigned long size, unsigned short* buffer);

enum DriveType {
  kDriveUnknown = 0,
  kDriveNoRootDir = 1,  // the drive is not mapped
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,     // network file systems
  kDriveCDRom = 5,
  kDriveRamDisk = 6
};
// The type of the drive whose root is given ("Z:\" or "Z:").
VIREO_API DriveType DriveTypeOf(unsigned short const* root, std::size_t length);

// The running program's file (/proc/self/exe) in stored form, NUL-terminated and cut to the
// buffer. Returns the length written (size when cut), 0 on failure.
VIREO_API unsigned long ModuleFilePath(unsigned long size, unsigned short* buffer);

}  // namespace platform
}  // namespace vireo

#endif
