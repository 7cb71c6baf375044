// The log file singleton: rotation at start-up, header and footer, tick-stamped writes.
#include "vireo/console/ConsoleLogFile.h"

#include <exception>
#include <string>

#include "vireo/config/ClientIdentity.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"
#include "vireo/filesupport/PlatformByteStream.h"
#include "vireo/platform/Time.h"
#include "vireo/threads/RecursiveMutex.h"

namespace vireo {
namespace console {
namespace {

using utility::UTF16String;
using utility::UTF8String;

// One lock for the singleton and every write: made on first use, never destroyed, so that
// a trace from a static destructor still finds it.
threads::RecursiveMutex& LogLock() {
  static threads::RecursiveMutex* lock = new threads::RecursiveMutex("ConsoleLogFile");
  return *lock;
}

UTF16String& DefaultLogFileName() {
  static UTF16String* name = new UTF16String;
  return *name;
}

void Append(UTF8String& text, char const* literal) {
  text.append(reinterpret_cast<unsigned char const*>(literal),
              std::char_traits<char>::length(literal));
}

void Append(UTF8String& text, std::string const& bytes) {
  text.append(reinterpret_cast<unsigned char const*>(bytes.data()), bytes.size());
}

UTF8String Rule(std::size_t length) { return UTF8String(length, '-'); }

}  // namespace

ConsoleLogFile* ConsoleLogFile::mInstance = nullptr;

ConsoleLogFile::ConsoleLogFile()
    : mFile(nullptr), mStream(nullptr), mStartTicks(platform::TickCount()) {}

ConsoleLogFile::ConsoleLogFile(ConsoleLogFile& other)
    : mFile(other.mFile), mStream(other.mStream), mStartTicks(other.mStartTicks) {
  other.mFile = nullptr;
  other.mStream = nullptr;
}

ConsoleLogFile::~ConsoleLogFile() {
  try {
    CloseLogFile();
  } catch (...) {
    // A footer that cannot be written is lost; the handles are released all the same.
  }
  delete mStream;
  delete mFile;
}

ConsoleLogFile* ConsoleLogFile::GetInstance() {
  threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(LogLock(), true);
  if (!mInstance) {
    // Published before the log is opened: a trace raised while opening it (by the error
    // manager, say) finds the instance with no log open instead of making a second one.
    mInstance = new ConsoleLogFile;
    try {
      mInstance->OpenDefaultLog();
    } catch (...) {
      delete mInstance;
      mInstance = nullptr;
      throw;
    }
  }
  return mInstance;
}

void ConsoleLogFile::Terminate() {
  threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(LogLock(), true);
  ConsoleLogFile* const instance = mInstance;
  mInstance = nullptr;
  delete instance;
}

void ConsoleLogFile::SetDefaultLogFileName(UTF16String const& name) {
  threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(LogLock(), true);
  DefaultLogFileName() = name;
}

bool ConsoleLogFile::GetLogFilePath(UTF16String& path, bool last) {
  UTF16String name;
  {
    threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(LogLock(), true);
    name = DefaultLogFileName();
  }
  if (name.empty()) name = config::GetClientName();
  name += utility::AsciiToUTF16(last ? " Log-last.txt" : " Log.txt");
  path = filesupport::File(filesupport::Dir::PrefDir(), name).FullPath();
  return true;
}

void ConsoleLogFile::OpenDefaultLog() {
  if (mStream) return;
  UTF16String currentPath;
  UTF16String lastPath;
  GetLogFilePath(currentPath, false);
  GetLogFilePath(lastPath, true);
  filesupport::File current(currentPath);
  if (!current.Exists()) return;  // logging is off unless the developer made the file

  filesupport::File last(lastPath);
  if (last.Exists()) last.Delete();
  current.Rename(last.GetName());
  OpenLogFile(utility::UTF16to8(currentPath));
}

bool ConsoleLogFile::OpenLogFile(UTF8String const& path) {
  threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(LogLock(), true);
  CloseLogFile();
  filesupport::File* file = new filesupport::File(utility::UTF8to16(path));
  try {
    if (file->Exists()) file->Delete();
    file->Create();
    mStream = new filesupport::OPlatformByteStream(*file);
  } catch (...) {
    delete file;
    throw;
  }
  mFile = file;
  WriteHeader();
  return true;
}

void ConsoleLogFile::CloseLogFile() {
  threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(LogLock(), true);
  if (!mStream) return;
  // The handles go even when the footer cannot be written.
  struct Release {
    ConsoleLogFile* log;
    ~Release() {
      delete log->mStream;
      delete log->mFile;
      log->mStream = nullptr;
      log->mFile = nullptr;
    }
  } release{this};
  WriteFooter();
}

void ConsoleLogFile::WriteToLog(UTF8String const& text, bool withTicks) {
  threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(LogLock(), true);
  if (text.empty() || !mStream) return;
  UTF8String piece;
  if (withTicks) {
    std::uint32_t const elapsed = platform::TickCount() - mStartTicks;
    Append(piece, "Ticks = ");
    Append(piece, std::to_string(elapsed));
    Append(piece, "      ");
  }
  piece += text;
  try {
    mStream->WriteBlock(piece.data(), static_cast<unsigned long>(piece.size()));
  } catch (std::exception const&) {
    // A log that cannot be written (a full disk) must not make every trace throw: logging
    // stops, and the file keeps what was written so far.
    delete mStream;
    delete mFile;
    mStream = nullptr;
    mFile = nullptr;
  }
}

unsigned long ConsoleLogFile::PlatformTickCount() { return platform::TickCount(); }

void ConsoleLogFile::WriteHeader() {
  UTF8String line;
  Append(line, "Log file created: ");
  Append(line, platform::LocalDateTimeText());
  Append(line, "\r\n");
  UTF8String header = line;
  header += Rule(line.size());
  Append(header, "\r\n");
  WriteToLog(header, false);
}

void ConsoleLogFile::WriteFooter() {
  UTF8String closing;
  Append(closing, "Log file closed: ");
  Append(closing, platform::LocalDateTimeText());
  Append(closing, "\r\n\r\n");
  UTF8String rule = Rule(closing.size());
  Append(rule, "\r\n");
  WriteToLog(rule, false);
  WriteToLog(closing, false);
}

}  // namespace console
}  // namespace vireo
