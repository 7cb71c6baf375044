// Files, directories and volumes on POSIX: native paths mapped through the drive table,
// errno turned into the library's error numbers in one place (ErrorFromErrno), and sharing
// modes kept among the process's own open handles.
#include "vireo/platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace vireo {
namespace platform {

struct OpenFileObject {
  int fd;
  dev_t device;
  ino_t inode;
  unsigned long access;  // kShareRead / kShareWrite bits of what this handle does
  unsigned long share;   // what it lets others do
  // The descriptor's offset while it is known (-1 otherwise): a seek to where the file
  // already is, as buffered streams make before every transfer, then needs no system call.
  // Not kept for inheritable descriptors, whose offset another process may move.
  long long offset = -1;
  bool keepOffset = false;
};

struct SearchObject {
  DIR* dir;
  std::string pattern;  // empty: every entry
};

namespace {

// ---- UTF-16 <-> UTF-8 -------------------------------------------------------------------

// Unpaired surrogates are written as three bytes of their own value, so that every UTF-16
// name has a POSIX name and comes back unchanged from a listing.
void AppendUtf8(unsigned short const* units, std::size_t length, std::string& out) {
  for (std::size_t i = 0; i < length; ++i) {
    unsigned long c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

// Strict UTF-8 (encoded surrogates allowed, see AppendUtf8) into `out`, with "/" turned into
// "\". Returns the units written, or -1 for bytes that are not UTF-8, a backslash, or more
// than `capacity` units.
long DecodeStored(char const* text, std::size_t length, unsigned short* out, std::size_t capacity) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < length;) {
    unsigned char const b = static_cast<unsigned char>(text[i]);
    unsigned long c;
    std::size_t extra;
    if (b < 0x80) {
      if (b == '\\' || b == 0) return -1;
      c = b == '/' ? '\\' : b;
      extra = 0;
    } else if (b >= 0xC2 && b <= 0xDF) {
      c = b & 0x1F;
      extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      c = b & 0x0F;
      extra = 2;
    } else if (b >= 0xF0 && b <= 0xF4) {
      c = b & 0x07;
      extra = 3;
    } else {
      return -1;
    }
    if (extra > 0 && i + extra >= length) return -1;
    for (std::size_t k = 1; k <= extra; ++k) {
      unsigned char const t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) return -1;
      c = (c << 6) | (t & 0x3F);
    }
    if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF))) return -1;
    i += extra + 1;
    if (c >= 0x10000) {
      if (n + 2 > capacity) return -1;
      out[n++] = static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10));
      out[n++] = static_cast<unsigned short>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      if (n + 1 > capacity) return -1;
      out[n++] = static_cast<unsigned short>(c);
    }
  }
  return static_cast<long>(n);
}

// ---- drive table --------------------------------------------------------------------------

class DriveTable {
 public:
  DriveTable() { roots_['Z' - 'A'] = "/"; }

  bool Lookup(int index, std::string& out) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (roots_[index].empty()) return false;
    out = roots_[index];
    return true;
  }
  void Set(int index, char const* root) {
    std::lock_guard<std::mutex> lock(mutex_);
    roots_[index] = root ? root : "";
  }
  std::vector<int> Mapped() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<int> letters;
    for (int i = 0; i < 26; ++i)
      if (!roots_[i].empty()) letters.push_back(i);
    return letters;
  }

 private:
  std::mutex mutex_;
  std::string roots_[26];
};

DriveTable& Drives() {
  static DriveTable table;
  return table;
}

int DriveIndex(unsigned short unit) {
  if (unit >= 'A' && unit <= 'Z') return unit - 'A';
  if (unit >= 'a' && unit <= 'z') return unit - 'a';
  return -1;
}

bool IsSeparator(unsigned short unit) { return unit == '\\' || unit == '/'; }

// ---- errors ---------------------------------------------------------------------------------

enum Operation { kOpGeneral, kOpCreateFile, kOpMakeDirectory, kOpRemoveDirectory, kOpSeek, kOpClose };

bool IsDirectory(char const* path) {
  struct stat st;
  return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool ParentIsDirectory(std::string const& path) {
  std::size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;  // "a/b/" names b
  std::size_t const slash = path.rfind('/', end - 1);
  if (slash == std::string::npos) return true;  // relative to the current directory
  if (slash == 0) return true;                  // the root
  return IsDirectory(path.substr(0, slash).c_str());
}

// The one place where errno becomes an error number. `path` is the POSIX path the failed
// call was about; it decides between "file" and "path" not found.
int ErrorFromErrno(int error, Operation operation, std::string const& path) {
  switch (error) {
    case 0:
      return kFileOk;
    case EINTR:
      // close(2) has released the descriptor even then.
      return operation == kOpClose ? kFileOk : kErrorGeneralFailure;
    case ENOENT:
      return ParentIsDirectory(path) ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR: {
      struct stat st;
      if (operation == kOpRemoveDirectory && ::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
        return kErrorDirectory;
      return kErrorPathNotFound;
    }
    case ELOOP:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case EROFS:
      return kErrorWriteProtect;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case EEXIST:
      if (operation == kOpCreateFile) return kErrorFileExists;
      if (operation == kOpRemoveDirectory) return kErrorDirNotEmpty;
      return kErrorAlreadyExists;
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    case EINVAL:
      return operation == kOpSeek ? kErrorNegativeSeek : kErrorInvalidParameter;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EXDEV:
      return kErrorNotSameDevice;
    case EBADF:
      return kErrorInvalidHandle;
    default:
      return kErrorGeneralFailure;
  }
}

int LastError(Operation operation, std::string const& path) {
  return ErrorFromErrno(errno, operation, path);
}

// ---- sharing among the process's handles ------------------------------------------------------

class OpenFiles {
 public:
  typedef std::pair<dev_t, ino_t> Key;

  std::mutex& Mutex() { return mutex_; }

  // Caller holds the mutex.
  bool Conflicts(Key const& key, unsigned long access, unsigned long share) const {
    auto const found = open_.find(key);
    if (found == open_.end()) return false;
    for (OpenFileObject const* other : found->second)
      if ((access & ~other->share & (kShareRead | kShareWrite)) != 0 ||
          (other->access & ~share & (kShareRead | kShareWrite)) != 0)
        return true;
    return false;
  }
  bool DeleteConflicts(Key const& key) const {
    auto const found = open_.find(key);
    if (found == open_.end()) return false;
    for (OpenFileObject const* other : found->second)
      if ((other->share & kShareDelete) == 0) return true;
    return false;
  }
  void Add(OpenFileObject* file) { open_[Key(file->device, file->inode)].push_back(file); }
  void Remove(OpenFileObject* file) {
    auto const found = open_.find(Key(file->device, file->inode));
    if (found == open_.end()) return;
    std::vector<OpenFileObject*>& list = found->second;
    for (std::size_t i = 0; i < list.size(); ++i)
      if (list[i] == file) {
        list.erase(list.begin() + static_cast<long>(i));
        break;
      }
    if (list.empty()) open_.erase(found);
  }

 private:
  std::mutex mutex_;
  std::map<Key, std::vector<OpenFileObject*>> open_;
};

OpenFiles& Registry() {
  static OpenFiles files;
  return files;
}

// A name may be removed or moved only when every open handle shares deletion.
int CheckDeleteSharing(std::string const& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return kFileOk;  // the call itself reports it
  return Registry().DeleteConflicts(OpenFiles::Key(st.st_dev, st.st_ino)) ? kErrorSharingViolation
                                                                          : kFileOk;
}

// ---- searches -----------------------------------------------------------------------------

bool MatchesEverything(std::string const& pattern) { return pattern == "*" || pattern == "*.*"; }

// The next entry of the search that matches and can be represented; false at the end.
bool ReadEntry(SearchObject& search, SearchEntry& out) {
  while (dirent* entry = ::readdir(search.dir)) {
    char const* name = entry->d_name;
    if (!search.pattern.empty() && ::fnmatch(search.pattern.c_str(), name, FNM_CASEFOLD) != 0)
      continue;
    long const units = DecodeStored(name, std::strlen(name), out.name, 255);
    if (units < 0) continue;
    out.nameLength = static_cast<std::size_t>(units);
    out.name[units] = 0;
    bool directory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st;
      directory = ::fstatat(::dirfd(search.dir), name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    out.attributes = (directory ? static_cast<unsigned long>(kAttributeDirectory) : 0ul) |
                     (name[0] == '.' ? static_cast<unsigned long>(kAttributeHidden) : 0ul);
    if (out.attributes == 0) out.attributes = kAttributeNormal;
    return true;
  }
  return false;
}

unsigned long long ToFileTime(long long seconds, unsigned long nanoseconds) {
  // Seconds from 1601-01-01 to 1970-01-01.
  long long const kEpochDifference = 11644473600LL;
  return static_cast<unsigned long long>(seconds + kEpochDifference) * 10000000ULL +
         nanoseconds / 100;
}

}  // namespace

// ---- paths ------------------------------------------------------------------------------------

int NativeToPosixPath(unsigned short const* path, std::size_t length, std::string& out) {
  out.clear();
  static unsigned short const kLong[] = {'\\', '\\', '?', '\\'};
  static unsigned short const kUnc[] = {'U', 'N', 'C', '\\'};
  if (length >= 4 && std::equal(kLong, kLong + 4, path)) {
    path += 4;
    length -= 4;
    if (length >= 4 && std::equal(kUnc, kUnc + 4, path)) return kErrorBadNetPath;
  }
  if (length == 0) return kErrorInvalidParameter;
  for (std::size_t i = 0; i < length; ++i)
    if (path[i] == 0) return kErrorInvalidParameter;
  if (length >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return kErrorBadNetPath;
  if (length >= 2 && path[1] == ':' && DriveIndex(path[0]) >= 0) {
    if (!Drives().Lookup(DriveIndex(path[0]), out)) return kErrorPathNotFound;
    path += 2;
    length -= 2;
    while (length > 0 && IsSeparator(path[0])) {
      ++path;
      --length;
    }
    if (length > 0 && out[out.size() - 1] != '/') out += '/';
  }
  std::size_t const start = out.size();
  AppendUtf8(path, length, out);
  for (std::size_t i = start; i < out.size(); ++i)
    if (out[i] == '\\') out[i] = '/';
  return kFileOk;
}

bool PosixToStoredPath(char const* path, std::size_t length, PathUnits& out) {
  out.assign(length, 0);  // UTF-8 never needs more units than bytes
  long const units = DecodeStored(path, length, &out[0], length);
  if (units < 0) {
    out.clear();
    return false;
  }
  out.resize(static_cast<std::size_t>(units));
  return true;
}

int MapDrive(char letter, char const* posixRoot) {
  int const index = DriveIndex(static_cast<unsigned char>(letter));
  if (index < 0 || (posixRoot && posixRoot[0] != '/')) return kErrorInvalidParameter;
  Drives().Set(index, posixRoot);
  return kFileOk;
}

// ---- attributes -------------------------------------------------------------------------------

int QueryAttributes(unsigned short const* path, std::size_t length, unsigned long& outAttributes) {
  outAttributes = 0;
  std::string posix;
  if (int const error = NativeToPosixPath(path, length, posix)) return error;
  struct stat st;
  if (::stat(posix.c_str(), &st) != 0) return LastError(kOpGeneral, posix);
  std::size_t end = posix.size();
  while (end > 1 && posix[end - 1] == '/') --end;
  std::size_t const slash = posix.rfind('/', end - 1);
  std::size_t const nameStart = slash == std::string::npos ? 0 : slash + 1;
  unsigned long attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= kAttributeDirectory;
  if (nameStart < end && posix[nameStart] == '.') attributes |= kAttributeHidden;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
  outAttributes = attributes ? attributes : static_cast<unsigned long>(kAttributeNormal);
  return kFileOk;
}

// ---- open files -------------------------------------------------------------------------------

int OpenFile(unsigned short const* path, std::size_t length, unsigned long access,
             unsigned long share, FileDisposition disposition, unsigned long flags,
             FileHandle& outHandle) {
  outHandle = nullptr;
  std::string posix;
  if (int const error = NativeToPosixPath(path, length, posix)) return error;
  bool const read = (access & kAccessRead) != 0;
  bool const write = (access & kAccessWrite) != 0;
  bool const truncate = disposition == kCreateAlways || disposition == kTruncateExisting;
  int mode = (write || truncate) ? (read || truncate ? O_RDWR : O_WRONLY) : O_RDONLY;
  switch (disposition) {
    case kCreateNew: mode |= O_CREAT | O_EXCL; break;
    case kCreateAlways:
    case kOpenAlways: mode |= O_CREAT; break;
    case kOpenExisting:
    case kTruncateExisting: break;
    default: return kErrorInvalidParameter;
  }
  if ((flags & kOpenInheritable) == 0) mode |= O_CLOEXEC;
  // Never wait for the other end of a FIFO.
  int const fd = ::open(posix.c_str(), mode | O_NONBLOCK, 0666);
  if (fd < 0) return LastError(kOpCreateFile, posix);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int const error = LastError(kOpGeneral, posix);
    ::close(fd);
    return error;
  }
  if (S_ISDIR(st.st_mode) && (flags & kOpenBackupSemantics) == 0) {
    ::close(fd);
    return kErrorAccessDenied;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

  OpenFileObject* file = new OpenFileObject;
  file->fd = fd;
  file->keepOffset = (flags & kOpenInheritable) == 0;
  file->device = st.st_dev;
  file->inode = st.st_ino;
  file->access = (read ? kShareRead : 0ul) | (write ? kShareWrite : 0ul);
  file->share = share & (kShareRead | kShareWrite | kShareDelete);
  OpenFiles& registry = Registry();
  {
    std::lock_guard<std::mutex> lock(registry.Mutex());
    // Truncating writes, whatever access was asked for.
    unsigned long const touches = file->access | (truncate ? static_cast<unsigned long>(kShareWrite) : 0ul);
    if (registry.Conflicts(OpenFiles::Key(st.st_dev, st.st_ino), touches, file->share)) {
      ::close(fd);
      delete file;
      return kErrorSharingViolation;
    }
    registry.Add(file);
  }
  if (truncate && st.st_size != 0 && ::ftruncate(fd, 0) != 0) {
    int const error = LastError(kOpGeneral, posix);
    CloseFile(file);
    return error;
  }
  outHandle = file;
  return kFileOk;
}

int ReadFile(FileHandle handle, void* buffer, unsigned long size, unsigned long& outRead) {
  outRead = 0;
  if (!handle) return kErrorInvalidHandle;
  char* at = static_cast<char*>(buffer);
  while (outRead < size) {
    ssize_t const n = ::read(handle->fd, at + outRead, size - outRead);
    if (n < 0) {
      if (errno == EINTR) continue;
      handle->offset = -1;
      return LastError(kOpGeneral, std::string());
    }
    if (n == 0) break;
    outRead += static_cast<unsigned long>(n);
  }
  if (handle->offset >= 0) handle->offset += static_cast<long long>(outRead);
  return (size > 0 && outRead == 0) ? kErrorHandleEOF : kFileOk;
}

int WriteFile(FileHandle handle, void const* buffer, unsigned long size, unsigned long& outWritten) {
  outWritten = 0;
  if (!handle) return kErrorInvalidHandle;
  char const* at = static_cast<char const*>(buffer);
  while (outWritten < size) {
    ssize_t const n = ::write(handle->fd, at + outWritten, size - outWritten);
    if (n < 0) {
      if (errno == EINTR) continue;
      handle->offset = -1;
      return LastError(kOpGeneral, std::string());
    }
    outWritten += static_cast<unsigned long>(n);
  }
  if (handle->offset >= 0) handle->offset += static_cast<long long>(outWritten);
  return kFileOk;
}

int SeekFile(FileHandle handle, long long distance, SeekOrigin origin,
             unsigned long long& outPosition) {
  outPosition = 0;
  if (!handle) return kErrorInvalidHandle;
  int const whence = origin == kSeekBegin ? SEEK_SET : origin == kSeekCurrent ? SEEK_CUR : SEEK_END;
  if (origin != kSeekBegin && origin != kSeekCurrent && origin != kSeekEnd)
    return kErrorInvalidParameter;
  if (handle->offset >= 0 && ((origin == kSeekBegin && distance == handle->offset) ||
                              (origin == kSeekCurrent && distance == 0))) {
    outPosition = static_cast<unsigned long long>(handle->offset);
    return kFileOk;
  }
  off_t const at = ::lseek(handle->fd, static_cast<off_t>(distance), whence);
  if (at < 0) {
    handle->offset = -1;
    return LastError(kOpSeek, std::string());
  }
  if (handle->keepOffset) handle->offset = static_cast<long long>(at);
  outPosition = static_cast<unsigned long long>(at);
  return kFileOk;
}

int FileLength(FileHandle handle, unsigned long long& outSize) {
  outSize = 0;
  if (!handle) return kErrorInvalidHandle;
  struct stat st;
  if (::fstat(handle->fd, &st) != 0) return LastError(kOpGeneral, std::string());
  outSize = S_ISREG(st.st_mode) ? static_cast<unsigned long long>(st.st_size) : 0;
  return kFileOk;
}

int SetFileEnd(FileHandle handle) {
  if (!handle) return kErrorInvalidHandle;
  off_t const at = ::lseek(handle->fd, 0, SEEK_CUR);
  if (at < 0 || ::ftruncate(handle->fd, at) != 0) return LastError(kOpGeneral, std::string());
  return kFileOk;
}

int FileTimes(FileHandle handle, unsigned long long& outCreated, unsigned long long& outWritten) {
  outCreated = outWritten = 0;
  if (!handle) return kErrorInvalidHandle;
  struct statx sx;
  if (::statx(handle->fd, "", AT_EMPTY_PATH, STATX_BTIME | STATX_MTIME | STATX_CTIME, &sx) == 0) {
    statx_timestamp const& created = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime;
    outCreated = ToFileTime(created.tv_sec, created.tv_nsec);
    outWritten = ToFileTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    return kFileOk;
  }
  struct stat st;
  if (::fstat(handle->fd, &st) != 0) return LastError(kOpGeneral, std::string());
  outCreated = ToFileTime(st.st_ctim.tv_sec, static_cast<unsigned long>(st.st_ctim.tv_nsec));
  outWritten = ToFileTime(st.st_mtim.tv_sec, static_cast<unsigned long>(st.st_mtim.tv_nsec));
  return kFileOk;
}

int CloseFile(FileHandle handle) {
  if (!handle) return kFileOk;
  {
    OpenFiles& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.Mutex());
    registry.Remove(handle);
  }
  int const error = ::close(handle->fd) == 0 ? kFileOk : LastError(kOpClose, std::string());
  delete handle;
  return error;
}

// ---- names ----------------------------------------------------------------------------------

int RemoveFile(unsigned short const* path, std::size_t length) {
  std::string posix;
  if (int const error = NativeToPosixPath(path, length, posix)) return error;
  std::lock_guard<std::mutex> lock(Registry().Mutex());
  if (int const error = CheckDeleteSharing(posix)) return error;
  return ::unlink(posix.c_str()) == 0 ? kFileOk : LastError(kOpGeneral, posix);
}

int MakeDirectory(unsigned short const* path, std::size_t length) {
  std::string posix;
  if (int const error = NativeToPosixPath(path, length, posix)) return error;
  return ::mkdir(posix.c_str(), 0777) == 0 ? kFileOk : LastError(kOpMakeDirectory, posix);
}

int RemoveDirectory(unsigned short const* path, std::size_t length) {
  std::string posix;
  if (int const error = NativeToPosixPath(path, length, posix)) return error;
  return ::rmdir(posix.c_str()) == 0 ? kFileOk : LastError(kOpRemoveDirectory, posix);
}

int MoveEntry(unsigned short const* from, std::size_t fromLength, unsigned short const* to,
              std::size_t toLength) {
  std::string source, target;
  if (int const error = NativeToPosixPath(from, fromLength, source)) return error;
  if (int const error = NativeToPosixPath(to, toLength, target)) return error;
  std::lock_guard<std::mutex> lock(Registry().Mutex());
  if (int const error = CheckDeleteSharing(source)) return error;
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return kFileOk;
  int const error = errno;
  struct stat st;
  bool const sourceExists = ::lstat(source.c_str(), &st) == 0;
  int const mapped = ErrorFromErrno(error, kOpGeneral, sourceExists ? target : source);
  if (mapped == kErrorInvalidParameter && sourceExists) {
    // A file system without RENAME_NOREPLACE: check, then move.
    if (::lstat(target.c_str(), &st) == 0) return kErrorAlreadyExists;
    if (::rename(source.c_str(), target.c_str()) == 0) return kFileOk;
    return LastError(kOpGeneral, target);
  }
  return mapped;
}

// ---- searches --------------------------------------------------------------------------------

int StartSearch(unsigned short const* pattern, std::size_t length, SearchEntry& outData,
                SearchHandle& outHandle) {
  outHandle = nullptr;
  std::string posix;
  if (int const error = NativeToPosixPath(pattern, length, posix)) return error;
  std::size_t const slash = posix.rfind('/');
  std::string const directory =
      slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : posix.substr(0, slash);
  std::string const name = slash == std::string::npos ? posix : posix.substr(slash + 1);
  DIR* dir = ::opendir(directory.c_str());
  if (!dir) {
    int const error = LastError(kOpGeneral, posix);
    return error == kErrorFileNotFound ? kErrorPathNotFound : error;
  }
  SearchObject* search = new SearchObject;
  search->dir = dir;
  if (!MatchesEverything(name)) search->pattern = name;
  if (!ReadEntry(*search, outData)) {
    EndSearch(search);
    return kErrorFileNotFound;
  }
  outHandle = search;
  return kFileOk;
}

int NextSearchEntry(SearchHandle handle, SearchEntry& outData) {
  if (!handle) return kErrorInvalidHandle;
  return ReadEntry(*handle, outData) ? kFileOk : kErrorNoMoreFiles;
}

void EndSearch(SearchHandle handle) {
  if (!handle) return;
  ::closedir(handle->dir);
  delete handle;
}

// ---- volumes and well-known paths -------------------------------------------------------------

unsigned long ListDrives(unsigned long size, unsigned short* buffer) {
  std::vector<int> const letters = Drives().Mapped();
  unsigned long const needed = static_cast<unsigned long>(letters.size() * 4 + 1);
  if (size < needed || !buffer) return needed;
  unsigned short* at = buffer;
  for (int const letter : letters) {
    *at++ = static_cast<unsigned short>('A' + letter);
    *at++ = ':';
    *at++ = '\\';
    *at++ = 0;
  }
  *at = 0;
  return needed - 1;
}

DriveType DriveTypeOf(unsigned short const* root, std::size_t length) {
  if (length >= 4 && root[0] == '\\' && root[1] == '\\' && root[2] == '?' && root[3] == '\\') {
    root += 4;
    length -= 4;
  }
  if (length < 2 || root[1] != ':' || (length > 2 && !IsSeparator(root[2]))) return kDriveNoRootDir;
  int const index = DriveIndex(root[0]);
  std::string posix;
  if (index < 0 || !Drives().Lookup(index, posix)) return kDriveNoRootDir;
  struct statfs fs;
  if (::statfs(posix.c_str(), &fs) != 0) return kDriveNoRootDir;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFE534D42:  // SMB2
    case 0xFF534D42:  // CIFS
    case 0x73757245:  // Coda
    case 0x5346414F:  // AFS
    case 0x564C:      // NCP
    case 0x00C36400:  // Ceph
    case 0x01021997:  // 9P
      return kDriveRemote;
    default:
      return kDriveFixed;
  }
}

unsigned long ModuleFilePath(unsigned long size, unsigned short* buffer) {
  if (size == 0 || !buffer) return 0;
  std::vector<char> link(4096);
  for (;;) {
    ssize_t const n = ::readlink("/proc/self/exe", link.data(), link.size());
    if (n < 0) return 0;
    if (static_cast<std::size_t>(n) < link.size()) {
      link.resize(static_cast<std::size_t>(n));
      break;
    }
    link.resize(link.size() * 2);
  }
  PathUnits units;
  if (!PosixToStoredPath(link.data(), link.size(), units)) return 0;
  std::size_t const count = std::min<std::size_t>(units.size(), size - 1);
  std::copy(units.begin(), units.begin() + static_cast<long>(count), buffer);
  buffer[count] = 0;
  return count < units.size() ? size : static_cast<unsigned long>(count);
}

}  // namespace platform
}  // namespace vireo
