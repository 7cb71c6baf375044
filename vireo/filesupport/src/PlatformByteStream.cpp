// File streams over the platform's file services.
#include "vireo/filesupport/PlatformByteStream.h"

#include <limits>

#include "vireo/filesupport/FileExceptions.h"

namespace vireo {
namespace filesupport {

namespace {

platform::FileHandle Open(File const& inFile, unsigned long inAccess, unsigned long inShare) {
  utility::UTF16String native = inFile.Helper().FullNativePath();
  platform::FileHandle handle = nullptr;
  int error = platform::OpenFile(native.data(), native.size(), inAccess, inShare,
                                 platform::kOpenExisting, 0, handle);
  if (error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound) {
    throw file_not_found_exception(inFile);
  }
  if (error != platform::kFileOk) throw io_error();
  return handle;
}

void Check(int inError) {
  if (inError != platform::kFileOk) throw io_error();
}

void Seek(platform::FileHandle inHandle, unsigned long long inPosition) {
  if (inPosition > static_cast<unsigned long long>(std::numeric_limits<long long>::max())) {
    throw io_error();
  }
  unsigned long long reached = 0;
  Check(platform::SeekFile(inHandle, static_cast<long long>(inPosition), platform::kSeekBegin,
                           reached));
}

unsigned long long Tell(platform::FileHandle inHandle) {
  unsigned long long position = 0;
  Check(platform::SeekFile(inHandle, 0, platform::kSeekCurrent, position));
  return position;
}

unsigned long long Size(platform::FileHandle inHandle) {
  unsigned long long size = 0;
  Check(platform::FileLength(inHandle, size));
  return size;
}

}  // namespace

IPlatformByteStream::IPlatformByteStream(File const& inFile)
    : file_(inFile), handle_(Open(inFile, platform::kAccessRead, platform::kShareRead)) {}

IPlatformByteStream::~IPlatformByteStream() { platform::CloseFile(handle_); }

unsigned char IPlatformByteStream::Get() {
  unsigned char byte = 0;
  ReadBlock(&byte, 1);
  return byte;
}

void IPlatformByteStream::ReadBlock(unsigned char* outData, unsigned long inCount) {
  if (inCount == 0) return;
  unsigned long got = 0;
  int error = platform::ReadFile(handle_, outData, inCount, got);
  if (error == platform::kErrorHandleEOF) throw eof_error();
  Check(error);
  if (got < inCount) throw eof_error();
}

void IPlatformByteStream::CurPos(unsigned long long inPosition) { Seek(handle_, inPosition); }

unsigned long long IPlatformByteStream::CurPos() const { return Tell(handle_); }

unsigned long long IPlatformByteStream::Length() const { return Size(handle_); }

OPlatformByteStream::OPlatformByteStream(File const& inFile)
    : file_(inFile), handle_(Open(inFile, platform::kAccessWrite, 0)) {}

OPlatformByteStream::~OPlatformByteStream() { platform::CloseFile(handle_); }

void OPlatformByteStream::Put(unsigned char inByte) { WriteBlock(&inByte, 1); }

void OPlatformByteStream::WriteBlock(unsigned char const* inData, unsigned long inCount) {
  if (inCount == 0) return;
  unsigned long written = 0;
  Check(platform::WriteFile(handle_, inData, inCount, written));
  if (written != inCount) throw io_error();
}

void OPlatformByteStream::CurPos(unsigned long long inPosition) { Seek(handle_, inPosition); }

unsigned long long OPlatformByteStream::CurPos() const { return Tell(handle_); }

unsigned long long OPlatformByteStream::Length() const { return Size(handle_); }

}  // namespace filesupport
}  // namespace vireo
